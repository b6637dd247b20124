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

expect_equal() { if [ "$2" = "$3" ]; then pass "$1: $2"; else fail "$1: '$2', wanted '$3'"; fi; }  # WHAT GOT WANTED

# What Explorer shows of each program, read back from the file: the icon in
# every size, the version information and the manifest.
test_resources() {
  local exe version icon=$wine_root/logs/icon.ico
  for exe in racer racer_window; do
    expect_equal "$exe.exe: icon sizes" "$(wrestool -x --type=group_icon "$bin/$exe.exe" >"$icon" &&
      icotool -l "$icon" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | tr '\n' ' ')" "16 24 32 48 64 128 256 "
    version=$(wrestool -x --raw --type=version "$bin/$exe.exe" | tr -d '\0' |
      grep -o "CompanyNamethe VELTIX RACE authors\|FileVersion1.0.0\|OriginalFilename$exe.exe\|ProductNameVELTIX RACE")
    expect_equal "$exe.exe: version" "$(echo $version)" \
      "CompanyNamethe VELTIX RACE authors FileVersion1.0.0 OriginalFilename$exe.exe ProductNameVELTIX RACE"
    expect_equal "$exe.exe: per-monitor DPI awareness in the manifest" \
      "$(wrestool -x --raw --type=24 "$bin/$exe.exe" | grep -o 'PerMonitorV2')" PerMonitorV2
  done
}

# first_white FILE column X | FILE row Y, from FROM: where the screenshot
# first turns pure white.
first_white() {
  convert "$1" -crop "$([ "$2" = column ] && echo "1x2000+$3+0" || echo "4000x1+0+$3")" -depth 8 txt:- |
    awk -F'[ ,:]+' -v from="$4" -v i="$([ "$2" = column ] && echo 2 || echo 1)" 'NR > 1 && /#FFFFFF/ && $i >= from { print $i; exit }'
}

# On a display scaled to 200 % and 150 % (Wine's LogPixels 192 and 144) the
# window's client area is the size Windows would stretch the picture to, at
# 100 % 640x480, read from a screenshot: the white sky's first row under the
# caption, and the frame's border, the same left, right and below. At 200 %
# every game pixel is a square of 2x2 screen pixels.
test_scaled_display() {
  local case dpi want wid ox oy w h top b shot client
  for case in 192:1280x960 144:960x720 96:640x480; do
    dpi=${case%%:*} want=${case#*:} shot=$wine_root/logs/racer_window-${case%%:*}-dpi.png
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    start_game racer_window
    wid=$(wait_window "VELTIX RACE" 40) && sleep 1.5 || { fail "racer_window at $dpi dpi: no window"; kill_game; continue; }
    read -r ox oy w h < <(xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
      /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}')
    import -window root -crop "${w}x${h}+$ox+$oy" +repage "$shot" 2>/dev/null
    top=$(first_white "$shot" column $((w / 2)) 3)
    b=$(first_white "$shot" row $((${top:-0} + 5)) 2)
    expect_equal "racer_window at $dpi dpi: the client area (see $shot)" "$((w - 2 * ${b:-0}))x$((h - ${b:-0} - ${top:-0}))" "$want"
    if [ "$dpi" = 192 ]; then
      client=$wine_root/logs/client.png && convert "$shot" -crop "$want+${b:-0}+${top:-0}" +repage "$client"
      expect_equal "racer_window at $dpi dpi: pixels off their game pixel's 2x2 square" \
        "$(convert "$client" -sample 50% -sample 200% png:- | compare -metric AE "$client" - null: 2>&1)" 0
    fi
    xdotool key Escape
    wait_exit 20 || kill_game
  done  # 96 dpi last: as the other tests find it
}

run_wine_tests() {
  test_resources
  test_scaled_display  # before the checks' virtual desktop of 1024x768
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
