# A private X server for the tests that drive the programs as a player
# would, and the helpers they share to look at the screen. Sourced by the
# end-to-end tests (tests/e2e) and the Windows tests (tests/wine).

set -u
failures=0
xvfb_pid=
wm_pid=

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
