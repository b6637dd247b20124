#!/usr/bin/env bash
# racer in a real X server: the whole screen, the picture scaled up with its
# aspect kept and black bars, and the two ways of closing it.
. "$(dirname "$0")/common.sh"
export SDL_AUDIODRIVER=dummy

# 5:4, so the 4:3 picture is scaled by exactly 2 to 1280x960 with 32-row
# bars above and below.
start_x 1280x1024
start_game "$RACER"
if ! wid=$(find_window "DEFAULT"); then
  fail "no window"; finish
fi
pass "window appeared"

sleep 1
geometry=$(xwininfo -id "$wid")
width=$(awk '/Width:/ {print $2}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
if [ "$width" = 1280 ] && [ "$height" = 1024 ]; then
  pass "covers the screen"
else
  fail "window ${width}x${height}, not the screen's 1280x1024"
fi

shot "$work_dir/screen.png"
expect_pixel "$work_dir/screen.png" 640 10 black "black bar at the top"
expect_pixel "$work_dir/screen.png" 640 1015 black "black bar at the bottom"
expect_pixel "$work_dir/screen.png" 640 52 white "white sky"
expect_pixel "$work_dir/screen.png" 20 52 white "white sky at the left edge"
# Off the centre line, whose dashes pass under the car.
expect_pixel "$work_dir/screen.png" 200 972 black "black road band at the bottom of the picture"
# Nearest neighbour: every pixel of the picture is doubled, no blending.
colours=$(convert "$work_dir/screen.png" -crop 1280x960+0+32 +repage -unique-colors -format "%w" info:)
if [ "$colours" -eq 2 ]; then
  pass "nearest neighbour: only the picture's black and white ($colours colours)"
else
  fail "$colours colours in the scaled picture: it was blended"
fi

closing_tests "$RACER" "DEFAULT"
finish
