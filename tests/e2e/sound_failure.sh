#!/usr/bin/env bash
# Both programs with a sound device that will not open: the device's own
# message in a box captioned エラー発生, then the entry's message, both on
# standard error too, and status 1. Each box is read off the screen and
# answered as a player would: one with Enter, the other with a click on OK.
. "$(dirname "$0")/common.sh"

need tesseract || exit 77
if ! tesseract --list-langs 2>/dev/null | grep -qx jpn; then
  echo "missing: tesseract's Japanese (tools/install-deps.sh installs it)"
  exit 77
fi
start_screen 1024x768

now_ms() { date +%s%3N; }

# wait_box PREVIOUS: sets box to the window that has the keyboard and is
# transient for another, the game's box over its window, once it is not
# PREVIOUS. False when the game ends first or no box comes in 10 seconds.
wait_box() {
  local deadline=$(( $(now_ms) + 10000 )) focused
  box=
  while [ "$(now_ms)" -lt "$deadline" ]; do
    kill -0 "$game_pid" 2>/dev/null || return 1
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
# OK button (the blue-edged one) until it reads WANT, whitespace aside, or
# for 3 seconds. Sets seen to what was read and button to the button's
# middle in the box, as "X Y".
read_box() {
  local deadline=$(( $(now_ms) + 3000 )) width geometry bw bh bx by
  seen= button=
  while :; do
    if shot "$1" "$box"; then
      width=$(identify -format %w "$1" 2>/dev/null)
      geometry=$(convert "$1" -fill black +opaque 'rgb(0,120,215)' -format %@ info: 2>/dev/null)
      if [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
        bw=${BASH_REMATCH[1]} bh=${BASH_REMATCH[2]} bx=${BASH_REMATCH[3]} by=${BASH_REMATCH[4]}
        if [ "$bw" -gt 0 ] && [ "$by" -gt 0 ]; then
          button="$((bx + bw / 2)) $((by + bh / 2))"
          seen=$(convert "$1" -crop "${width}x${by}+0+0" +repage png:- |
                 tesseract - stdout -l jpn --psm 6 2>/dev/null | tr -d '[:space:]')
          [ "$seen" = "$2" ] && return 0
        fi
      fi
    fi
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# answer_box WAY: Return, or a click in the middle of the OK button; then
# waits up to 5 seconds for the box to go.
answer_box() {
  if [ "$1" = Return ]; then
    xdotool key Return
  else
    xdotool mousemove --window "$box" "${button% *}" "${button#* }" click 1
  fi
  local deadline=$(( $(now_ms) + 5000 ))
  while xwininfo -id "$box" >/dev/null 2>&1; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# one_box NAME N CAPTION WANT WAY: the game's Nth box, its caption, its text
# and its answer.
one_box() {
  local name=$1 n=$2 caption=$3 want=$4 way=$5 previous=${box:-}
  if ! wait_box "$previous"; then fail "$name: no box $n"; return 1; fi
  local got
  got=$(xprop -id "$box" -notype _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p')
  if [ "$got" = "$caption" ]; then
    pass "$name: box $n captioned '$caption'"
  else
    fail "$name: box $n captioned '$got'"
  fi
  local picture="$work_dir/$(tr ' ,' '__' <<<"$name")-box$n.png"
  if read_box "$picture" "$want"; then
    pass "$name: box $n reads $want"
  else
    fail "$name: box $n reads '$seen' (see $picture)"
  fi
  if [ -z "$button" ]; then
    fail "$name: box $n has no OK button to be seen (see $picture)"
    way=Return
  fi
  if answer_box "$way"; then
    pass "$name: box $n answered by $way"
  else
    fail "$name: box $n still up after $way"
    return 1
  fi
}

check() {  # check NAME DRIVER_MESSAGE FIRST_WAY SECOND_WAY
  local name=$1 own=$2 box=
  one_box "$name" 1 "エラー発生" "$own" "$3" &&
    one_box "$name" 2 "" "ダイレクトサウンドの初期化に失敗しました" "$4"
  if ! wait_exit 5; then
    fail "$name still running"
    kill "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    game_pid=
    return
  fi
  if [ "$exit_status" -eq 1 ]; then pass "$name: status 1"; else fail "$name: status $exit_status"; fi
  local want
  want=$(printf '%s\n%s' "$own" "ダイレクトサウンドの初期化に失敗しました")
  if [ "$(cat "$work_dir/stderr")" = "$want" ]; then
    pass "$name: both messages, in turn"
  else
    fail "$name: standard error was: $(cat "$work_dir/stderr")"
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
