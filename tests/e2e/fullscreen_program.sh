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

# 16:9 at 1920x1080: scaled by 2.25 to 1440x1080, black at the sides, and
# the smooth step past the doubling blends the lines' edges (the widths it
# gives them are media_tests' to measure): more than black and white.
start_screen 1920x1080
start_game "$RACER"
wid=$(wait_window "DEFAULT") || { fail "no window at 1920x1080"; finish; }
sleep 1
shot "$work_dir/wide.png"
expect_share "black bar at the left" "$work_dir/wide.png" 0 0 240 1080 "$black" 1
expect_share "black bar at the right" "$work_dir/wide.png" 1680 0 240 1080 "$black" 1
expect_share "the picture's first columns: sky" "$work_dir/wide.png" 240 0 4 40 "$white" 0.8
expect_share "the picture's last columns: sky" "$work_dir/wide.png" 1676 0 4 40 "$white" 0.8
colours=$(convert "$work_dir/wide.png" -crop 1440x1080+240+0 +repage -unique-colors -format "%w" info:)
if [ "$colours" -gt 2 ]; then pass "$colours colours: the edges blended"; else fail "only $colours colours: not blended"; fi
finish
