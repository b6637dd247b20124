# Shared by the end-to-end tests: a private X server with a window manager,
# a working directory with the shipped data files, the game started in it,
# and small helpers to look at the screen. Sourced, not run.
#
# The scripts take: RACER RACER_WINDOW X11_CLOSE_WINDOW DATA_DIR

set -u

RACER=$1
RACER_WINDOW=$2
X11_CLOSE_WINDOW=$3
DATA_DIR=$4

failures=0
# The tools read and match the game's Japanese window titles in UTF-8.
export LC_ALL=C.UTF-8
# A sanitizer build keeps its exit status for the game's own faults: the
# leak check is left to the unit tests, since the graphics drivers that SDL
# loads and unloads keep allocations that cannot be told apart at exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
game_pid=
xvfb_pid=
wm_pid=
work_dir=$(mktemp -d /tmp/racer_e2e_XXXXXX)

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

pass() { echo "ok: $*"; }

need() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed (tools/install-deps.sh installs it)"
      exit 77
    fi
  done
}

cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid" 2>/dev/null; fi
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; fi
  wait 2>/dev/null
  rm -rf "$work_dir"
}
trap cleanup EXIT

# start_x [WIDTHxHEIGHT]: Xvfb on a free display, and openbox on it.
start_x() {
  need Xvfb xdotool openbox xwininfo import convert
  local size=${1:-1024x768}
  local fifo=$work_dir/display
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" 2>"$work_dir/xvfb.log" &
  xvfb_pid=$!
  local n
  for _ in $(seq 100); do
    n=$(head -n1 "$fifo" 2>/dev/null)
    [ -n "$n" ] && break
    sleep 0.05
  done
  if [ -z "$n" ]; then
    echo "FAIL: Xvfb did not start"; cat "$work_dir/xvfb.log"; exit 1
  fi
  export DISPLAY=:$n
  unset WAYLAND_DISPLAY
  openbox >"$work_dir/openbox.log" 2>&1 &
  wm_pid=$!
  # The window manager is up once it owns the screen's manager selection.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
}

# start_game PROGRAM: in a folder with the shipped config.txt and map.txt.
start_game() {
  local game_dir=$work_dir/game
  mkdir -p "$game_dir"
  for f in config.txt map.txt; do
    [ -f "$DATA_DIR/$f" ] && cp "$DATA_DIR/$f" "$game_dir/"
  done
  (cd "$game_dir" && exec "$1" >"$work_dir/stdout" 2>"$work_dir/stderr") &
  game_pid=$!
}

# find_window NAME: prints the id of the game's visible window named NAME.
# SDL may make the X window anew when the renderer starts, so the id
# counts once it stays the same for a while.
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

# wait_exit SECONDS: waits for the game to end; sets exit_status, or
# returns 1 when it is still running after SECONDS.
wait_exit() {
  local deadline_ms=$(( $(date +%s%3N) + ${1%.*} * 1000 ))
  while kill -0 "$game_pid" 2>/dev/null; do
    if [ "$(date +%s%3N)" -gt "$deadline_ms" ]; then return 1; fi
    sleep 0.02
  done
  wait "$game_pid"
  exit_status=$?
  game_pid=
  return 0
}

# shot FILE [WINDOW]: a screenshot of the window, or of the whole screen.
shot() {
  if [ $# -ge 2 ]; then
    import -window "$2" "$1" 2>/dev/null
  else
    import -window root "$1" 2>/dev/null
  fi
}

# pixel FILE X Y: "r,g,b" of one pixel, 0 to 255.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# count_white FILE WxH+X+Y: how many pixels of the area are white, give or
# take what a 16-bit picture loses.
count_white() {
  convert "$1" -crop "$2" +repage -fuzz 3% -fill black +opaque white -fill white -opaque white \
    -format "%[fx:int(mean*w*h+0.5)]" info:
}

# colour R,G,B: black, white or other; a 16-bit picture is a step off.
colour() {
  local r g b
  IFS=, read -r r g b <<<"$1"
  if [ "$r" -le 8 ] && [ "$g" -le 8 ] && [ "$b" -le 8 ]; then echo black
  elif [ "$r" -ge 247 ] && [ "$g" -ge 247 ] && [ "$b" -ge 247 ]; then echo white
  else echo other; fi
}

# expect_pixel FILE X Y black|white WHAT
expect_pixel() {
  local got
  got=$(pixel "$1" "$2" "$3")
  if [ "$(colour "$got")" = "$4" ]; then pass "$5 ($got at $2,$3)"; else fail "$5: $got at $2,$3, wanted $4"; fi
}

# ends_within_a_second WHAT COMMAND...: runs COMMAND, which asks the running
# game to close, and expects it gone within a second with status 0.
ends_within_a_second() {
  local what=$1 start_ms took
  shift
  start_ms=$(date +%s%3N)
  "$@"
  if wait_exit 1; then
    took=$(( $(date +%s%3N) - start_ms ))
    if [ "$exit_status" -eq 0 ]; then pass "$what ends it in ${took} ms with status 0"; else fail "$what: status $exit_status"; fi
  else
    fail "still running a second after $what"
  fi
}

# closing_tests PROGRAM WINDOW_NAME: with PROGRAM running in the window
# WINDOW_ID ($wid), Escape ends it; started again, so does the close button.
closing_tests() {
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus --sync "$wid"
  ends_within_a_second "Escape" xdotool key Escape
  start_game "$1"
  if wid=$(find_window "$2"); then
    sleep 0.5
    ends_within_a_second "the close button" "$X11_CLOSE_WINDOW" "$wid"
  else
    fail "no window the second time"
  fi
  if [ -s "$work_dir/stderr" ]; then fail "something on standard error"; fi
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "--- game's standard error:"; cat "$work_dir/stderr" 2>/dev/null
    exit 1
  fi
  exit 0
}
