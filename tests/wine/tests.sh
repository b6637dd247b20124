# The Windows programs as a player runs them, and the pictures GDI draws
# against the software back buffer's, under Wine. Sourced by
# tools/test-windows.sh after env.sh's wine_setup; needs $host_bin
# (racer_sim, gdi_compare).

debug_blue='r<0.1 && b>0.9 && g>0.5 && g<0.7'  # RGB 5, 155, 255; 0, 154, 255 in 16 bits

# A short look at the running game: the road's black band across the bottom
# rows (broken only by a centre dash), white sky above, and D bringing up
# the debug readouts in their own blue.
check_running_game() {
  local name=$1 id=$2 shot=$wine_root/logs/$1 x y
  read -r x y < <(client_geometry "$id")
  sleep 1.5
  shot "$shot-start.png"
  expect_share "$name shows the road" "$shot-start.png" "$x" $((y + 460)) 640 20 "$black" 0.6
  expect_share "$name shows the sky" "$shot-start.png" "$x" "$y" 640 200 "$white" 0.2
  expect_share "$name: no debug readouts at first" "$shot-start.png" "$x" "$y" 640 480 "$debug_blue" 0 0.0001
  xdotool key d
  sleep 0.5
  shot "$shot-debug.png"
  expect_share "$name: D brings up the debug readouts" "$shot-debug.png" "$x" "$y" 640 480 "$debug_blue" 0.002
}

# A look at the running game, then Escape and the close button each end it
# with status 0.
test_closing() {
  local name=$1 title=$2
  start_game "$name"
  if ! wid=$(wait_window "$title" 40); then
    fail "$name: no window \"$title\" ($(tr '\n' ' ' <"$game_dir/stderr" | cut -c1-300))"
    kill_game
    return
  fi
  check_running_game "$name" "$wid"
  closing_tests "$name" "$title" 20 start_game "$name"
}

# Without a sound device: the device's own box (captioned エラー発生), then
# the entry's, each on standard error too, and status 1. That no frame comes
# first is the shell tests' to see.
test_sound_failure() {
  local name=$1 text
  local device="DirectSoundが生成できませんDirectSoundの使用が不可能です" entry="ダイレクトサウンドの初期化に失敗しました"
  start_game "$name" HOME="$wine_root/nosound-home"
  for text in "$device" "$entry"; do
    if wait_for 40 grep -qF "$text" "$game_dir/stderr" && { [ "$text" = "$entry" ] || wait_window "エラー発生" 10 >/dev/null; }; then
      pass "$name without sound: \"$text\""
    else
      fail "$name without sound: no \"$text\""
    fi
    sleep 0.5
    xdotool key Return
  done
  wait_exit 20 || kill_game
  if [ "$exit_status" = 1 ]; then pass "$name without sound ends with status 1"; else fail "$name without sound: status $exit_status"; fi
}

# The layer's own checks, in a console program; those of the full-screen
# display in a virtual desktop, whose mode can change.
test_layer_checks() {
  local run out
  for run in "" "explorer /desktop=checks,1024x768 $bin/racer_wine_checks.exe --lost"; do
    out=$wine_root/logs/layer_checks${run:+_lost}.txt
    # Through explorer the exit status is lost: the last line tells.
    (cd "$wine_root" && wine ${run:-$bin/racer_wine_checks.exe} >"$out" 2>&1)
    if tail -n1 "$out" | grep -q ' 0 failed'; then
      pass "Windows layer checks${run:+ (lost surface)}: $(tail -n1 "$out")"
    else
      fail "Windows layer checks${run:+ (lost surface)}: $(grep FAIL "$out" | head -n5 | tr '\n' ' ') $(tail -n1 "$out")"
    fi
  done
}

# Below this share of identical pixels a picture fails: far under what the
# known differences (text baseline, wide-line edges) cost, far above what a
# wrong colour order or a missing element would leave.
min_identical=97

# check_report LABEL REPORT: gdi_compare's share of identical pixels, and
# what differs, for the log.
check_report() {
  local share
  grep -E '^  (DIFFER|[a-zA-Z].* differ:)' "$2" | cut -c1-150 | sed 's/^/    /'
  share=$(grep -E '^(pattern|frame):' "$2" | sed 's/.*(\(.*\)%)/\1/')
  if [ -n "$share" ] && at_least "$share" "$min_identical"; then
    pass "$1: $share% of the pixels identical (report: $2)"
  else
    fail "$1: ${share:-no}% of the pixels identical (report: $2)"
  fi
}

# The test card of tools/gdi_compare, drawn by GDI and by ours.
test_pattern() {
  local depth=$1 out=$wine_root/pictures flags=() host=()
  [ "$depth" = 16 ] && flags=(--16) && host=(--fullscreen)
  if ! (cd "$out" && wine "$bin/racer_wine_checks.exe" --pattern "pattern$depth.ppm" "${flags[@]}" \
      >/dev/null 2>"$out/pattern$depth.stderr"); then
    fail "test card in $depth bits: not drawn ($(head -c 300 "$out/pattern$depth.stderr"))"
    return
  fi
  "$host_bin/gdi_compare" pattern --gdi "$out/pattern$depth.ppm" "${host[@]}" \
    --diff "$out/pattern$depth-diff.ppm" >"$out/pattern$depth.txt" 2>&1
  check_report "test card in $depth bits" "$out/pattern$depth.txt"
}

# test_frame PROGRAM SCRIPT FRAME: the program's test mode plays the script
# to FRAME and writes its back buffer; racer_sim and gdi_compare draw ours.
test_frame() {
  local name=$1 frame=$3 mode=()
  [ "$name" = racer ] && mode=(--fullscreen)
  local label="$name $(basename "$2" .txt) frame $frame" out=$wine_root/pictures/$name-$(basename "$2" .txt)
  # Relative names: Wine reads a Unix path as one on drive C.
  cp "$2" "$wine_root/script.txt"
  game_extra=$wine_root/script.txt start_game "$name" RACER_TEST_SCRIPT=script.txt \
    RACER_TEST_FRAME="$frame" RACER_TEST_PICTURE=gdi.ppm
  wait_exit 60 || kill_game
  if [ "$exit_status" != 0 ] || [ ! -s "$game_dir/gdi.ppm" ]; then
    fail "$label: the test mode ended with status $exit_status and no picture ($(head -c 300 "$game_dir/stderr"))"
    return
  fi
  cp "$game_dir/gdi.ppm" "$out-gdi.ppm"
  (cd "$game_dir" && "$host_bin/racer_sim" --frames "$frame" --input script.txt --png ours.png "${mode[@]}" &&
    "$host_bin/gdi_compare" frame --frames "$frame" --input script.txt "${mode[@]}" --gdi gdi.ppm \
      --ours ours.png --diff "$out-diff.ppm") >"$out.txt" 2>&1
  check_report "$label" "$out.txt"
}

run_wine_tests() {
  test_layer_checks
  local program
  for program in "racer_window:VELTIX RACE" "racer:DEFAULT"; do
    test_closing "${program%%:*}" "${program#*:}"
    test_sound_failure "${program%%:*}"
  done
  test_pattern 32
  test_pattern 16
  for program in racer_window racer; do
    test_frame "$program" "$wine_dir/scripts/slow_texts.txt" 100
    test_frame "$program" "$wine_dir/scripts/debug_map.txt" 150
  done
}
