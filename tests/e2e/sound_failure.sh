#!/usr/bin/env bash
# Both programs with a sound device that will not open: the device's own
# message in a box captioned エラー発生, then the entry's message, both on
# standard error too, and status 1. Each box is read off the screen with
# Tesseract and answered as a player would: with Enter or a click on OK.
. "$(dirname "$0")/common.sh"

need tesseract || exit 77
tesseract --list-langs 2>/dev/null | grep -qx jpn || { echo "missing: tesseract-ocr-jpn"; exit 77; }
start_screen 1024x768

now_ms() { date +%s%3N; }

# wait_box PREVIOUS: sets box to the window that has the keyboard and is
# transient for another (the game's box over its window) once it is not
# PREVIOUS; false when the game ends first or after 10 seconds.
wait_box() {
  local deadline=$(( $(now_ms) + 10000 )) focused
  while kill -0 "$game_pid" 2>/dev/null && [ "$(now_ms)" -lt "$deadline" ]; do
    focused=$(xdotool getwindowfocus 2>/dev/null)
    if [ -n "$focused" ] && [ "$focused" != "$1" ] &&
       xprop -id "$focused" WM_TRANSIENT_FOR 2>/dev/null | grep -q 'window id'; then
      box=$focused
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# read_box FILE WANT: shoots the box into FILE and reads the text above its
# OK button (the blue-edged one) until that is WANT, whitespace aside, or 3
# seconds have passed. Sets seen to what was read, button to "X Y", the
# button's middle in the box.
read_box() {
  local deadline=$(( $(now_ms) + 3000 )) edge
  seen= button=
  until [ "$seen" = "$2" ] || [ "$(now_ms)" -gt "$deadline" ]; do
    sleep 0.1
    shot "$1" "$box" || continue
    edge=$(convert "$1" -fill black +opaque 'rgb(0,120,215)' -format '%@ %w' info: 2>/dev/null)
    [[ $edge =~ ^([1-9][0-9]*)x([0-9]+)\+([0-9]+)\+([1-9][0-9]*)\ ([0-9]+)$ ]] || continue
    local m=("${BASH_REMATCH[@]}")
    button="$((m[3] + m[1] / 2)) $((m[4] + m[2] / 2))"
    seen=$(convert "$1" -crop "${m[5]}x${m[4]}+0+0" +repage png:- |
           tesseract - stdout -l jpn --psm 6 2>/dev/null | tr -d '[:space:]')
  done
  [ "$seen" = "$2" ]
}

# one_box NAME N CAPTION WANT WAY: the game's Nth box, its caption and its
# text, then the answer (Return, or a click on OK) and the box gone.
one_box() {
  local name="$1: box $2" picture="$work_dir/${1//[ ,]/_}-box$2.png" got deadline
  wait_box "${box:-}" || { fail "$name never came"; return 1; }
  got=$(xprop -id "$box" -notype _NET_WM_NAME | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p')
  if [ "$got" = "$3" ]; then pass "$name captioned '$3'"; else fail "$name captioned '$got'"; fi
  if read_box "$picture" "$4"; then pass "$name reads $4"; else fail "$name reads '$seen' (see $picture)"; fi
  if [ "$5" = click ] && [ -n "$button" ]; then
    xdotool mousemove --window "$box" ${button% *} ${button#* } click 1
  else
    [ "$5" = click ] && fail "$name: no OK button to be seen (see $picture)"
    xdotool key Return
  fi
  deadline=$(( $(now_ms) + 5000 ))
  while xwininfo -id "$box" >/dev/null 2>&1; do
    [ "$(now_ms)" -lt "$deadline" ] || { fail "$name still up after $5"; return 1; }
    sleep 0.05
  done
  pass "$name answered by $5"
}

check() {  # check NAME DRIVER_MESSAGE FIRST_WAY SECOND_WAY
  local name=$1 own=$2 box=
  one_box "$name" 1 "エラー発生" "$own" "$3" &&
    one_box "$name" 2 "" "ダイレクトサウンドの初期化に失敗しました" "$4"
  if ! wait_exit 5; then
    fail "$name still running"
    kill_game  # a box may still be up, waiting
    return
  fi
  if [ "$exit_status" -eq 1 ]; then pass "$name: status 1"; else fail "$name: status $exit_status"; fi
  local want
  want=$(printf '%s\n%s' "$own" "ダイレクトサウンドの初期化に失敗しました")
  if [ "$(cat "$game_dir/stderr")" = "$want" ]; then
    pass "$name: both messages, in turn"
  else
    fail "$name: standard error was: $(cat "$game_dir/stderr")"
  fi
}

for program in "$RACER" "$RACER_WINDOW"; do
  name=$(basename "$program")
  # An audio driver that does not exist: SDL's audio cannot start.
  SDL_AUDIODRIVER=no_such_driver start_game "$program"
  check "$name, no audio driver" "DirectSoundが生成できませんDirectSoundの使用が不可能です" Return click
  # A driver that starts but whose device cannot open.
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/nonexistent-dir/out.raw start_game "$program"
  check "$name, device will not open" "DirectSoundの協調に失敗しました" click Return
done
finish
