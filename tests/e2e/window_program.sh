#!/usr/bin/env bash
# racer_window in a real X server: its 640x480 client area, the picture,
# the keys, and the two ways of closing it.
. "$(dirname "$0")/common.sh"
export SDL_AUDIODRIVER=dummy

start_x 1024x768
start_game "$RACER_WINDOW"
if ! wid=$(find_window "VELTIX RACE"); then
  fail "no window titled VELTIX RACE"; finish
fi
pass "window appeared"

geometry=$(xwininfo -id "$wid")
width=$(awk '/Width:/ {print $2}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
if [ "$width" = 640 ] && [ "$height" = 480 ]; then
  pass "client area 640x480"
else
  fail "client area ${width}x${height}"
fi

sleep 1
shot "$work_dir/start.png" "$wid"
# Off the centre line, whose dashes pass under the car.
expect_pixel "$work_dir/start.png" 100 470 black "black road band at the bottom"
expect_pixel "$work_dir/start.png" 320 10 white "white sky"
expect_pixel "$work_dir/start.png" 10 10 white "white sky at the left"

# The help lines sit at x 240, rows 240 to 380, black on white boxes; at
# start-up the car is fast and they are absent.
help_area=300x120+240+242
white_before=$(count_white "$work_dir/start.png" $help_area)

xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus --sync "$wid"
# Each tap of B halves the speed: 6000 -> 375, below the 640 that shows the help.
xdotool key --delay 150 b b b b
sleep 0.5
shot "$work_dir/slow.png" "$wid"
white_after=$(count_white "$work_dir/slow.png" $help_area)
echo "white pixels in the help area: $white_before before, $white_after after B x4"
if [ $((white_after - white_before)) -gt 1500 ]; then
  pass "four taps of B bring the help lines"
else
  fail "help lines did not appear after four taps of B"
fi

# The INPUT label follows the controls: throttle on lifts it 40 rows, left
# moves it 40 columns left.
label_home=40x18+282+442
label_moved=40x18+242+402
home_before=$(count_white "$work_dir/slow.png" $label_home)
xdotool keydown Up
sleep 0.3
xdotool keydown Left
sleep 0.4
shot "$work_dir/steer.png" "$wid"
xdotool keyup Left
xdotool keyup Up
moved_after=$(count_white "$work_dir/steer.png" $label_moved)
diff_pixels=$(compare -metric AE "$work_dir/slow.png" "$work_dir/steer.png" null: 2>&1 | cut -d' ' -f1)
echo "INPUT label: $home_before white at home before, $moved_after white at the moved place; $diff_pixels pixels changed"
if [ "${diff_pixels%.*}" -gt 500 ] && [ "$moved_after" -gt 100 ]; then
  pass "UP and LEFT change the picture"
else
  fail "UP and LEFT did not move the INPUT label"
fi

closing_tests "$RACER_WINDOW" "VELTIX RACE"
finish
