# The pictures GDI draws under Wine against the software back buffer's for
# the same calls: the test card, and whole frames of both programs driven by
# an input script through the programs' test mode. Sourced by
# tools/test-windows.sh; needs $host_bin (racer_sim, gdi_compare).

# Below this share of identical pixels a picture fails: far under what the
# known differences (text baseline, wide-line edges) cost, far above what a
# wrong colour order or a missing element would leave.
min_identical=97

compare_summary() {
  local report=$1
  grep -E '^(pattern|frame):' "$report" | sed 's/.*(\(.*\)%)/\1/'
}

check_share() {
  local label=$1 report=$2 share
  # What differs, for the log: the cells of the test card, the kinds of
  # call in a frame.
  grep -E '^  (DIFFER|[a-zA-Z].* differ:)' "$report" | cut -c1-150 | sed 's/^/    /'
  share=$(compare_summary "$report")
  if [ -n "$share" ] && at_least "$share" "$min_identical"; then
    wine_pass "$label: $share% of the pixels identical (report: $report)"
  else
    wine_fail "$label: ${share:-no}% of the pixels identical (report: $report)"
  fi
}

test_pattern() {
  local depth=$1 flag=() host_flag=()
  if [ "$depth" = 16 ]; then
    flag=(--16)
    host_flag=(--fullscreen)
  fi
  local out=$wine_root/pictures
  mkdir -p "$out"
  if ! (cd "$out" && wine "$bin/racer_wine_checks.exe" --pattern "pattern$depth.ppm" "${flag[@]}" \
      >/dev/null 2>"$out/pattern$depth.stderr"); then
    wine_fail "test card in $depth bits: not drawn ($(head -c 300 "$out/pattern$depth.stderr"))"
    return
  fi
  "$host_bin/gdi_compare" pattern --gdi "$out/pattern$depth.ppm" "${host_flag[@]}" \
    --diff "$out/pattern$depth-diff.ppm" >"$out/pattern$depth.txt" 2>&1
  check_share "test card in $depth bits" "$out/pattern$depth.txt"
}

# test_frame PROGRAM SCRIPT FRAME: the program runs the script to FRAME,
# writes its back buffer and quits; racer_sim and gdi_compare draw ours.
test_frame() {
  local name=$1 script=$2 frame=$3 mode=() status
  [ "$name" = racer ] && mode=(--fullscreen)
  local label="$name $(basename "$script" .txt) frame $frame"
  local out=$wine_root/pictures/$name-$(basename "$script" .txt)
  mkdir -p "$wine_root/pictures"
  # Relative names: Wine reads a Unix path as one on drive C.
  cp "$script" "$wine_root/script.txt"
  game_extra=$wine_root/script.txt
  start_game "$name" RACER_TEST_SCRIPT=script.txt RACER_TEST_FRAME="$frame" RACER_TEST_PICTURE=gdi.ppm
  game_extra=
  status=$(wait_exit 60)
  if [ "$status" != 0 ] || [ ! -s "$game_dir/gdi.ppm" ]; then
    wine_fail "$label: the test mode ended with status $status and no picture ($(head -c 300 "$game_dir/stderr"))"
    return
  fi
  cp "$game_dir/gdi.ppm" "$out-gdi.ppm"
  (cd "$game_dir" && "$host_bin/racer_sim" --frames "$frame" --input script.txt --png ours.png "${mode[@]}") ||
    { wine_fail "$label: racer_sim failed"; return; }
  cp "$game_dir/ours.png" "$out-ours.png"
  (cd "$game_dir" && "$host_bin/gdi_compare" frame --frames "$frame" --input script.txt "${mode[@]}" \
      --gdi gdi.ppm --ours ours.png --diff "$out-diff.ppm") >"$out.txt" 2>&1
  check_share "$label" "$out.txt"
}

run_picture_tests() {
  test_pattern 32
  test_pattern 16
  test_frame racer_window "$wine_dir/scripts/slow_texts.txt" 100
  test_frame racer_window "$wine_dir/scripts/debug_map.txt" 150
  test_frame racer "$wine_dir/scripts/slow_texts.txt" 100
  test_frame racer "$wine_dir/scripts/debug_map.txt" 150
}
