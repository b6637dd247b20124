# The two programs as a player runs them, under Wine. Sourced by
# tools/test-windows.sh after env.sh's wine_setup.

# A short look at the game: the road on screen, and the D key (debug
# readouts, drawn in their own blue) changing the picture.
check_running_game() {
  local name=$1 title=$2 id=$3 shot=$wine_root/logs/$name
  local x y before after
  read -r x y < <(client_geometry "$id")
  sleep 1.5
  screenshot "$shot-start.png"
  # The game alone, with the window's frame where it has one.
  if [ "$name" = racer ]; then
    convert "$shot-start.png" -crop "640x480+$x+$y" +repage "$shot-game.png" 2>/dev/null
  else
    convert "$shot-start.png" -crop "$(xwininfo -id "$id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print w "x" h "+" x "+" y}')" +repage "$shot-game.png" 2>/dev/null
  fi
  if looks_like_road "$shot-start.png" "$x" "$y"; then
    wine_pass "$name shows the road (bottom rows $road_black black, sky $road_white white)"
  else
    wine_fail "$name does not show the road (bottom rows $road_black black, sky $road_white white; see $shot-start.png)"
  fi
  before=$(debug_blue "$shot-start.png" "$x" "$y")
  xdotool key d
  sleep 0.5
  screenshot "$shot-debug.png"
  after=$(debug_blue "$shot-debug.png" "$x" "$y")
  if at_least "$before" 0.0001 || ! at_least "$after" 0.002; then
    wine_fail "$name: D did not bring up the debug readouts (their blue: $before before, $after after)"
  else
    wine_pass "$name: D brings up the debug readouts (their blue: $before before, $after after)"
  fi
}

test_program_escape() {
  local name=$1 title=$2 id status
  start_game "$name"
  if ! id=$(wait_window "$title" 40); then
    wine_fail "$name: no window \"$title\" ($(tr '\n' ' ' <"$game_dir/stderr" | cut -c1-300))"
    wait_exit 5 >/dev/null
    return
  fi
  check_running_game "$name" "$title" "$id"
  xdotool key Escape
  status=$(wait_exit 20)
  if [ "$status" = 0 ]; then
    wine_pass "$name ends with status 0 on Escape"
  else
    wine_fail "$name ended with status $status on Escape"
  fi
}

test_program_close_button() {
  local name=$1 title=$2 id status
  start_game "$name"
  if ! id=$(wait_window "$title" 40); then
    wine_fail "$name: no window \"$title\""
    wait_exit 5 >/dev/null
    return
  fi
  sleep 1
  "$close_helper" "$id"
  status=$(wait_exit 20)
  if [ "$status" = 0 ]; then
    wine_pass "$name ends with status 0 on the close button"
  else
    wine_fail "$name ended with status $status on the close button"
  fi
}

# Waits until standard error holds TEXT; false after SECONDS.
wait_stderr() {
  local text=$1 seconds=${2:-30}
  for _ in $(seq $((seconds * 10))); do
    grep -qF "$text" "$game_dir/stderr" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Without a sound device: the device's own box ("エラー発生"), then the
# entry's, each on standard error too, no frame, and status 1.
test_sound_failure() {
  local name=$1 title=$2 id status
  local device_text="DirectSoundが生成できませんDirectSoundの使用が不可能です"
  local entry_text="ダイレクトサウンドの初期化に失敗しました"
  start_game "$name" HOME="$wine_root/nosound-home"
  if wait_stderr "$device_text" 40 && wait_window "エラー発生" 10 >/dev/null; then
    wine_pass "$name without sound: \"$device_text\" in a box titled エラー発生"
  else
    wine_fail "$name without sound: no box with \"$device_text\""
  fi
  sleep 0.5
  xdotool key Return
  if wait_stderr "$entry_text" 10; then
    wine_pass "$name without sound: then \"$entry_text\""
  else
    wine_fail "$name without sound: no second message \"$entry_text\""
  fi
  if [ "$name" = racer_window ] && id=$(wait_window "$title" 5); then
    local x y shot=$wine_root/logs/$name-nosound.png black
    read -r x y < <(client_geometry "$id")
    screenshot "$shot"
    # The upper part: the second box stands over the lower right.
    black=$(share "$shot" "$x" "$y" 640 300 'r<0.1 && g<0.1 && b<0.1')
    if at_least "$black" 0.999; then
      wine_pass "$name without sound draws no frame (client area $black black)"
    else
      wine_fail "$name without sound drew something (client area $black black; see $shot)"
    fi
  fi
  sleep 0.5
  xdotool key Return
  status=$(wait_exit 20)
  if [ "$status" = 1 ]; then
    wine_pass "$name without sound ends with status 1"
  else
    wine_fail "$name without sound ended with status $status"
  fi
}

# The layer's own checks, in a console program.
test_layer_checks() {
  local out=$wine_root/logs/layer_checks.txt
  (cd "$wine_root" && wine "$bin/racer_wine_checks.exe" >"$out" 2>&1)
  local status=$?
  if [ "$status" = 0 ]; then
    wine_pass "Windows layer checks: $(tail -n1 "$out")"
  else
    wine_fail "Windows layer checks: $(grep FAIL "$out" | head -n5 | tr '\n' ' ') $(tail -n1 "$out")"
  fi
}

run_program_tests() {
  test_layer_checks
  test_program_escape racer_window "VELTIX RACE"
  test_program_close_button racer_window "VELTIX RACE"
  test_sound_failure racer_window "VELTIX RACE"
  test_program_escape racer DEFAULT
  test_program_close_button racer DEFAULT
  test_sound_failure racer DEFAULT
}
