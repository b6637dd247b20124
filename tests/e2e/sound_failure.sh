#!/usr/bin/env bash
# Both programs with a sound device that will not open: the device's own
# message in a box captioned エラー発生, then the entry's message, both on
# standard error too, and status 1.
. "$(dirname "$0")/common.sh"

start_screen 1024x768

# dismiss_boxes: closes each message box once it is up, until the game
# ends. Sets boxes_seen to the number of boxes captioned エラー発生.
dismiss_boxes() {
  boxes_seen=0
  local focused name
  for _ in $(seq 200); do
    kill -0 "$game_pid" 2>/dev/null || return 0
    sleep 0.1
    # A box has the keyboard once it is up; the game's window never is a dialog.
    focused=$(xdotool getwindowfocus 2>/dev/null) || continue
    xprop -id "$focused" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG || continue
    # Settle first: the caption may be set just after the box is mapped.
    sleep 0.1
    name=$(xprop -id "$focused" _NET_WM_NAME WM_NAME 2>/dev/null)
    # The device's box has the caption; the entry's own box has none.
    if grep -qF 'エラー発生' <<<"$name"; then boxes_seen=$((boxes_seen + 1)); fi
    # Return is the box's OK button.
    xdotool key Return 2>/dev/null
    # Wait for it to go before looking for the next one.
    for _ in $(seq 20); do
      [ "$(xdotool getwindowfocus 2>/dev/null)" = "$focused" ] || break
      sleep 0.05
    done
  done
}

check() {  # check NAME DRIVER_MESSAGE
  local name=$1 own=$2
  dismiss_boxes
  if ! wait_exit 5; then fail "$name still running"; return; fi
  if [ "$exit_status" -eq 1 ]; then pass "$name: status 1"; else fail "$name: status $exit_status"; fi
  local want
  want=$(printf '%s\n%s' "$own" "ダイレクトサウンドの初期化に失敗しました")
  if [ "$(cat "$work_dir/stderr")" = "$want" ]; then
    pass "$name: both messages, in turn"
  else
    fail "$name: standard error was: $(cat "$work_dir/stderr")"
  fi
  if [ "$boxes_seen" -ge 1 ]; then pass "$name: a box captioned エラー発生"; else fail "$name: no box captioned エラー発生"; fi
}

for program in "$RACER" "$RACER_WINDOW"; do
  name=$(basename "$program")
  # An audio driver that does not exist: SDL's audio cannot start.
  SDL_AUDIODRIVER=no_such_driver start_game "$program"
  check "$name, no audio driver" "DirectSoundが生成できませんDirectSoundの使用が不可能です"
  # A driver that starts but whose device cannot open.
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/nonexistent-dir/out.raw start_game "$program"
  check "$name, device will not open" "DirectSoundの協調に失敗しました"
done
finish
