#!/usr/bin/env bash
# racer_window in a real X server: its 640x480 client area, the picture,
# the keys, and the two ways of closing it.
. "$(dirname "$0")/common.sh"
export SDL_AUDIODRIVER=dummy

start_screen 1024x768
start_game "$RACER_WINDOW"
wid=$(wait_window "VELTIX RACE") || { fail "no window titled VELTIX RACE"; finish; }
size=$(xwininfo -id "$wid" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
if [ "$size" = 640x480 ]; then pass "client area 640x480"; else fail "client area $size"; fi

# The road band at the bottom, off the centre line whose dashes pass under
# the car, once the first frames are on screen; white sky above the readouts.
shoot_until "$work_dir/start.png" 60 465 100 10 "$black" 0.99 1
expect_share "black road band" "$work_dir/start.png" 60 465 100 10 "$black" 0.99
expect_share "white sky" "$work_dir/start.png" 0 0 640 20 "$white" 0.99

# Each tap of B halves the speed: four bring it from 6000 to 375, below the
# 640 at which the help lines show in white boxes, from x 240 and row 240:
# a strip of them below the first two lines, clear of the sky in a bend, of
# the grip label and of the centre dash passing under the car.
help_area=(260 292 8 86)
expect_share "no help lines at speed" "$work_dir/start.png" "${help_area[@]}" "$white" 0 0.1
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus --sync "$wid"
xdotool key --delay 150 b b b b
sleep 0.5
shot "$work_dir/slow.png" "$wid"
expect_share "four taps of B bring the help lines" "$work_dir/slow.png" "${help_area[@]}" "$white" 0.5

# The INPUT label's white box follows the controls: the throttle lifts it
# 40 rows, LEFT moves it 40 columns left. A centre-line dash passing under
# the car can whiten that place too, a quarter of each 0.2 s at this speed:
# wait for a picture between dashes.
moved=(242 402 40 18)
shoot_until "$work_dir/slow.png" "${moved[@]}" "$white" 0 0.2
expect_share "INPUT label away from where UP and LEFT put it" "$work_dir/slow.png" "${moved[@]}" "$white" 0 0.2
xdotool keydown Up
sleep 0.3
xdotool keydown Left
sleep 0.4
shot "$work_dir/steer.png" "$wid"
xdotool keyup Left keyup Up
expect_share "UP and LEFT move the INPUT label" "$work_dir/steer.png" "${moved[@]}" "$white" 0.5

close_tests "$RACER_WINDOW" "VELTIX RACE"
finish
