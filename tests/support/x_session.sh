# A private X server for the tests that drive the programs as a player
# would, and the helpers they share to start a game, find its window, close
# it and look at the screen. Sourced by the end-to-end tests (tests/e2e) and
# the Windows tests (tests/wine), which set X11_CLOSE_WINDOW to the close
# button's helper (tests/e2e/x11_close_window.c).

set -u
failures=0
xvfb_pid=
wm_pid=
game_pid=
game_dir=
game_files=()

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

pass() { echo "ok: $*"; }

# need TOOL...: false, naming the first missing tool.
need() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "missing: $tool (tools/install-deps.sh installs it)"
      return 1
    fi
  done
}

# start_x SIZE LOG_DIR: Xvfb on a free display.
start_x() {
  local fifo=$2/display n=
  # -noreset: a waiting tool that connects and leaves before anyone else
  # would otherwise reset the server under the next client to connect.
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$fifo" 2>"$2/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    n=$(head -n1 "$fifo" 2>/dev/null)
    [ -n "$n" ] && break
    sleep 0.05
  done
  if [ -z "$n" ]; then
    echo "FAIL: Xvfb did not start"
    cat "$2/xvfb.log"
    return 1
  fi
  export DISPLAY=:$n LC_ALL=C.UTF-8
  unset WAYLAND_DISPLAY
}

# start_wm LOG_DIR: openbox, once it shows a window. It names itself on the
# root window before it has finished starting, and a window mapped in that
# time may never be shown: SDL then waits for it for good. So a probe window
# must have been shown first, openbox started again should it have gone;
# false when no probe is shown within a few tries.
start_wm() {
  local try probe shown=
  for try in 1 2 3 4 5; do
    if [ -z "$wm_pid" ] || ! kill -0 "$wm_pid" 2>/dev/null; then
      openbox >>"$1/openbox.log" 2>&1 &
      wm_pid=$!
      for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
      done
    fi
    xmessage -name x_session_probe "$try" >/dev/null 2>&1 &
    probe=$!
    for _ in $(seq 20); do
      xwininfo -name x_session_probe 2>/dev/null | grep -q IsViewable && shown=1 && break
      sleep 0.1
    done
    kill "$probe" 2>/dev/null
    wait "$probe" 2>/dev/null
    [ -n "$shown" ] && break
  done
  [ -n "$shown" ] || { echo "FAIL: openbox shows no window"; return 1; }
  # Gone from the screen before the caller looks at it.
  while xwininfo -name x_session_probe >/dev/null 2>&1; do sleep 0.02; done
}

stop_x() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  wm_pid= xvfb_pid=
}

# launch DIR COMMAND...: COMMAND in the background from the fresh folder DIR
# with the files of game_files in it, its output in DIR/stdout and
# DIR/stderr; sets game_pid and game_dir.
launch() {
  game_dir=$1
  shift
  mkdir -p "$game_dir"
  [ "${#game_files[@]}" = 0 ] || cp "${game_files[@]}" "$game_dir/"
  (cd "$game_dir" && exec "$@" >stdout 2>stderr) &
  game_pid=$!
}

# wait_window TITLE [SECONDS]: the id of the visible window titled TITLE,
# within SECONDS (15). A program may make its X window anew while it
# starts, so the id counts once it stays the same for a while.
wait_window() {
  local id previous=
  for _ in $(seq $((${2:-15} * 10 / 3))); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n1)
    if [ -n "$id" ] && [ "$id" = "$previous" ]; then echo "$id"; return 0; fi
    previous=$id
    sleep 0.3
  done
  return 1
}

# close_window ID: the close button's message, WM_DELETE_WINDOW.
close_window() { "$X11_CLOSE_WINDOW" "$1"; }

# wait_exit SECONDS: waits for the game to end and sets exit_status; false,
# the game left running and exit_status "timeout", after SECONDS.
wait_exit() {
  local deadline_ms=$(( $(date +%s%3N) + $1 * 1000 ))
  exit_status=timeout
  while kill -0 "$game_pid" 2>/dev/null; do
    [ "$(date +%s%3N)" -gt "$deadline_ms" ] && return 1
    sleep 0.02
  done
  wait "$game_pid"
  exit_status=$?
  game_pid=
}

# kill_game: ends a game that would not end, then runs $on_kill (if set)
# for what it leaves behind.
kill_game() {
  [ -n "$game_pid" ] || return 0
  kill -KILL "$game_pid" 2>/dev/null
  wait "$game_pid" 2>/dev/null
  game_pid=
  ${on_kill:-}
}

# ends_by NAME SECONDS WAY COMMAND...: COMMAND, the player's way out, ends
# the game within SECONDS with status 0; a game that stays is killed.
ends_by() {
  local name=$1 limit=$2 way=$3 start_ms
  shift 3
  start_ms=$(date +%s%3N)
  "$@"
  if ! wait_exit "$limit"; then
    fail "$name: still running $limit s after $way"
    kill_game
  elif [ "$exit_status" -ne 0 ]; then
    fail "$name: $way: status $exit_status"
  else
    pass "$name: $way ends it in $(( $(date +%s%3N) - start_ms )) ms with status 0"
  fi
}

# escape_ends NAME SECONDS: Escape, pressed in the game's window $wid.
escape_ends() {
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus --sync "$wid"
  ends_by "$1" "$2" Escape xdotool key Escape
}

# closing_tests NAME TITLE SECONDS START...: with the game running in window
# $wid, Escape ends it; started again with START..., so does the close
# button.
closing_tests() {
  local name=$1 title=$2 limit=$3
  shift 3
  escape_ends "$name" "$limit"
  "$@"
  wid=$(wait_window "$title" 40) || { fail "$name: no window the second time"; kill_game; return; }
  sleep 1
  ends_by "$name" "$limit" "the close button" close_window "$wid"
}

# shot FILE [WINDOW]: a screenshot of the window, or of the whole screen.
shot() { import -window "${2:-root}" "$1" 2>/dev/null; }

# share FILE X Y W H EXPR: the share (0..1) of the box's pixels for which
# the ImageMagick -fx expression holds.
share() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -fx "$6" -format '%[fx:mean]' info: 2>/dev/null
}

# Pixel classes for share: a 16-bit picture is a step off full black and white.
black='r<0.04 && g<0.04 && b<0.04'
white='r>0.96 && g>0.96 && b>0.96'

# at_least A B: whether the decimal A >= B.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# expect_share WHAT FILE X Y W H EXPR MIN [MAX]: passes when the share of
# the box for which EXPR holds lies within MIN and MAX (default 1).
expect_share() {
  local got
  got=$(share "$2" "$3" "$4" "$5" "$6" "$7")
  if at_least "$got" "$8" && at_least "${9:-1}" "$got"; then
    pass "$1 ($got)"
  else
    fail "$1: $got, wanted ${8} to ${9:-1} (see $2)"
  fi
}
