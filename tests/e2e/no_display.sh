#!/usr/bin/env bash
# Both programs with no display at all: the display's start-up message on
# standard error, status 1, and no window.
. "$(dirname "$0")/common.sh"
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy

for program in "$RACER" "$RACER_WINDOW"; do
  name=$(basename "$program")
  start_game "$program"
  if ! wait_exit 10; then fail "$name still running"; continue; fi
  if [ "$exit_status" -eq 1 ]; then pass "$name: status 1"; else fail "$name: status $exit_status"; fi
  # Libraries probing for a display may add lines of their own.
  if grep -qFx "ダイレクトドローの初期化に失敗しました" "$game_dir/stderr"; then
    pass "$name: the start-up message"
  else
    fail "$name: standard error was: $(cat "$game_dir/stderr")"
  fi
done
finish
