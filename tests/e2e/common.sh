# Shared by the end-to-end tests: a private X server, a working directory
# with the shipped data files, the game started in it, and the ways of
# ending it. Sourced; the scripts take RACER RACER_WINDOW X11_CLOSE_WINDOW
# DATA_DIR.

. "$(dirname "${BASH_SOURCE[0]}")/../support/x_session.sh"

RACER=$1
RACER_WINDOW=$2
X11_CLOSE_WINDOW=$3
DATA_DIR=$4

# A sanitizer build keeps its exit status for the game's own faults: the
# leak check is left to the unit tests, since the graphics drivers that SDL
# loads and unloads keep allocations that cannot be told apart at exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
game_pid=
work_dir=$(mktemp -d /tmp/racer_e2e_XXXXXX)

cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid" 2>/dev/null; fi
  stop_x
  # A failed run keeps its pictures for the messages that name them.
  [ -n "${KEEP_E2E:-}" ] || [ "$failures" -ne 0 ] || rm -rf "$work_dir"
}
trap cleanup EXIT

# start_screen SIZE: the X server, or skip the test (77) without its tools.
start_screen() {
  need Xvfb xdotool openbox xwininfo xprop xmessage import convert || exit 77
  start_x "$1" "$work_dir" || exit 1
  start_wm "$work_dir" || exit 1
}

# start_game PROGRAM: in a folder with the shipped config.txt and map.txt.
start_game() {
  mkdir -p "$work_dir/game"
  cp "$DATA_DIR/config.txt" "$DATA_DIR/map.txt" "$work_dir/game/"
  (cd "$work_dir/game" && exec "$1" >"$work_dir/stdout" 2>"$work_dir/stderr") &
  game_pid=$!
}

# find_window NAME: the id of the game's visible window named NAME. SDL may
# make the X window anew when the renderer starts, so the id counts once it
# stays the same for a while.
find_window() {
  local id previous=
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n1)
    if [ -n "$id" ] && [ "$id" = "$previous" ]; then echo "$id"; return 0; fi
    previous=$id
    sleep 0.3
  done
  return 1
}

# shoot_until FILE X Y W H EXPR MIN MAX: shoots the window $wid into FILE
# until the box's share for EXPR lies within MIN and MAX, at most 50 times;
# the caller's expect_share then judges the last picture.
shoot_until() {
  local got
  for _ in $(seq 50); do
    shot "$1" "$wid"
    got=$(share "$1" "$2" "$3" "$4" "$5" "$6")
    at_least "$got" "$7" && at_least "$8" "$got" && return
    sleep 0.05
  done
}

# wait_exit SECONDS: waits for the game to end and sets exit_status; false
# when it still runs after SECONDS.
wait_exit() {
  local deadline_ms=$(( $(date +%s%3N) + $1 * 1000 ))
  while kill -0 "$game_pid" 2>/dev/null; do
    [ "$(date +%s%3N)" -gt "$deadline_ms" ] && return 1
    sleep 0.02
  done
  wait "$game_pid"
  exit_status=$?
  game_pid=
}

# closing_tests PROGRAM WINDOW_NAME: with PROGRAM running in window $wid,
# Escape ends it within a second with status 0; started again, so does the
# close button; and nothing came on standard error.
closing_tests() {
  local way start_ms
  for way in Escape "the close button"; do
    if [ "$way" = Escape ]; then
      xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus --sync "$wid"
      start_ms=$(date +%s%3N)
      xdotool key Escape
    else
      start_game "$1"
      wid=$(find_window "$2") || { fail "no window the second time"; return; }
      sleep 0.5
      start_ms=$(date +%s%3N)
      "$X11_CLOSE_WINDOW" "$wid"
    fi
    if ! wait_exit 1; then
      fail "still running a second after $way"
    elif [ "$exit_status" -ne 0 ]; then
      fail "$way: status $exit_status"
    else
      pass "$way ends it in $(( $(date +%s%3N) - start_ms )) ms with status 0"
    fi
  done
  if [ -s "$work_dir/stderr" ]; then fail "something on standard error: $(head -c 300 "$work_dir/stderr")"; fi
}

finish() {
  [ "$failures" -eq 0 ] && exit 0
  echo "--- game's standard error:"
  cat "$work_dir/stderr" 2>/dev/null
  exit 1
}
