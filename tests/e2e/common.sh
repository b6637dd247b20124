# Shared by the end-to-end tests: a private X server, a working directory
# with the shipped data files, the game started in it, and the ways of
# ending it. Sourced; the scripts take RACER RACER_WINDOW X11_CLOSE_WINDOW
# DATA_DIR.

. "$(dirname "${BASH_SOURCE[0]}")/../support/x_session.sh"

RACER=$1
RACER_WINDOW=$2
X11_CLOSE_WINDOW=$3
DATA_DIR=$4
game_files=("$DATA_DIR/config.txt" "$DATA_DIR/map.txt")

# A sanitizer build keeps its exit status for the game's own faults: the
# leak check is left to the unit tests, since the graphics drivers that SDL
# loads and unloads keep allocations that cannot be told apart at exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
work_dir=$(mktemp -d /tmp/racer_e2e_XXXXXX)

cleanup() {
  kill_game
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
start_game() { launch "$work_dir/game" "$1"; }

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

# close_tests PROGRAM WINDOW_NAME: Escape and the close button each end
# PROGRAM within a second with status 0, and nothing came on standard error.
close_tests() {
  closing_tests "$(basename "$1")" "$2" 1 start_game "$1"
  if [ -s "$game_dir/stderr" ]; then fail "something on standard error: $(head -c 300 "$game_dir/stderr")"; fi
}

finish() {
  [ "$failures" -eq 0 ] && exit 0
  echo "--- game's standard error:"
  cat "$game_dir/stderr" 2>/dev/null
  exit 1
}
