#!/usr/bin/env bash
# racer in a real X server: the whole screen, the picture scaled up with its
# aspect kept and black bars, and the two ways of closing it.
. "$(dirname "$0")/common.sh"
export SDL_AUDIODRIVER=dummy

# 5:4, so the 4:3 picture is scaled by exactly 2 to 1280x960 with 32-row
# bars above and below.
start_screen 1280x1024
start_game "$RACER"
wid=$(wait_window "DEFAULT") || { fail "no window"; finish; }
sleep 1
size=$(xwininfo -id "$wid" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
if [ "$size" = 1280x1024 ]; then pass "covers the screen"; else fail "window $size, not the screen's"; fi

shot "$work_dir/screen.png"
expect_share "black bar at the top" "$work_dir/screen.png" 0 0 1280 32 "$black" 1
expect_share "black bar at the bottom" "$work_dir/screen.png" 0 992 1280 32 "$black" 1
expect_share "white sky" "$work_dir/screen.png" 0 32 1280 40 "$white" 0.99
expect_share "black road band" "$work_dir/screen.png" 120 962 200 20 "$black" 0.99
# Nearest neighbour: every pixel of the picture is doubled, no blending.
colours=$(convert "$work_dir/screen.png" -crop 1280x960+0+32 +repage -unique-colors -format "%w" info:)
if [ "$colours" -eq 2 ]; then pass "only the picture's black and white"; else fail "$colours colours: blended"; fi

close_tests "$RACER" "DEFAULT"
stop_x

# 16:9 at 1920x1080: scaled by 2.25 to 1440x1080, black at the sides. Every
# one-pixel line of the scene is the same width on screen, 2.25 pixels,
# where nearest neighbour alone would draw some two and some three wide:
# measured across the walls' steep lines in the sky, once the first walls
# are in view.
start_screen 1920x1080
start_game "$RACER"
wid=$(wait_window "DEFAULT") || { fail "no window at 1920x1080"; finish; }
widths=
for _ in $(seq 40); do
  shot "$work_dir/wide.png"
  # Below the readouts at the top, above the horizon (row 180 of 480).
  widths=$(python3 "$(dirname "$0")/line_widths.py" "$work_dir/wide.png" 240 1680 180 390)
  [ "$(wc -l <<<"$widths")" -ge 20 ] && break
  sleep 0.1
done
expect_share "black bar at the left" "$work_dir/wide.png" 0 0 240 1080 "$black" 1
expect_share "black bar at the right" "$work_dir/wide.png" 1680 0 240 1080 "$black" 1
# The top rows are sky but for the odd wall passing through them.
expect_share "the picture's first columns: sky" "$work_dir/wide.png" 240 0 4 40 "$white" 0.8
expect_share "the picture's last columns: sky" "$work_dir/wide.png" 1676 0 4 40 "$white" 0.8
range=$(sort -n <<<"$widths" | sed -n '1p;$p' | tr '\n' ' ')
count=$(grep -c . <<<"$widths")
if [ "$count" -ge 20 ] && awk '$1 < 2.05 || $1 > 2.45 { bad = 1 } END { exit bad }' <<<"$widths"; then
  pass "$count line crossings all 2.25 wide, within 0.2 ($range)"
else
  fail "$count line crossings, widths $range (see $work_dir/wide.png)"
fi
finish
