# The world the Windows programs are tested in, sourced by
# tools/test-windows.sh: a private X server (display :70 to :79), a fresh
# Wine prefix under the build folder with its own wineserver, a private
# HOME, and helpers to start the games, look at the screen and end them.
#
# Needs: wine (64-bit), Xvfb, xdotool, xwininfo, ImageMagick (import,
# convert), gcc with the X11 headers for the close-button helper.

set -u

wine_fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

wine_pass() { echo "ok: $*"; }

wine_need() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "missing: $tool (tools/install-deps.sh installs it)"
      return 1
    fi
  done
}

# wine_setup BUILD_DIR: everything below lives in BUILD_DIR/wine-test.
wine_setup() {
  local build=$1
  failures=${failures:-0}
  wine_root=$build/wine-test
  rm -rf "$wine_root"
  mkdir -p "$wine_root/home" "$wine_root/nosound-home" "$wine_root/logs"
  xvfb_pid=
  # Wine's processes must all see the one display of this prefix.
  local n
  for n in 70 71 72 73 74 75 76 77 78 79; do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$wine_root/logs/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local tries
    for tries in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      break
    fi
    xvfb_pid=
  done
  if [ -z "$xvfb_pid" ]; then
    echo "FAIL: no free display from :70 to :79 for Xvfb"
    return 1
  fi
  unset WAYLAND_DISPLAY
  export LC_ALL=C.UTF-8
  export WINEPREFIX=$wine_root/prefix WINEARCH=win64 WINEDEBUG=-all
  # No Mono or Gecko installer dialogs while the prefix is made.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The machine may have no sound card: ALSA's null device stands in for
  # one. The sound-failure test runs with a HOME that has none.
  printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$wine_root/home/.asoundrc"
  # The game's texts are drawn without anti-aliasing, as the software back
  # buffer draws them; fontconfig would otherwise ask Wine for grey edges.
  local home
  for home in "$wine_root/home" "$wine_root/nosound-home"; do
    mkdir -p "$home/.config/fontconfig"
    cat >"$home/.config/fontconfig/fonts.conf" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <match target="font"><edit name="antialias" mode="assign"><bool>false</bool></edit></match>
</fontconfig>
CONF
  done
  export HOME=$wine_root/home

  echo "making a Wine prefix on $DISPLAY (takes a while the first time)"
  wine wineboot --init >"$wine_root/logs/wineboot.log" 2>&1
  wineserver -w
  # Kept running, so that each start of a program is quick.
  wineserver -p
  # UTF-16 with a byte order mark: regedit's format for the Japanese names.
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$wine_dir/settings.reg"; } >"$wine_root/settings.reg"
  wine regedit /S "$wine_root/settings.reg" >>"$wine_root/logs/wineboot.log" 2>&1

  # The close button's message, as a window manager sends it.
  close_helper=$wine_root/x11_close_window
  gcc -O2 -o "$close_helper" "$repo/tests/e2e/x11_close_window.c" -lX11 || {
    echo "FAIL: cannot build the X11 close helper"
    return 1
  }
}

wine_teardown() {
  if [ -n "${game_pid:-}" ] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid" 2>/dev/null; fi
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null; fi
  wait 2>/dev/null
  true
}

# start_game NAME [ENV=VALUE ...]: runs NAME.exe from a fresh game folder
# with the shipped config.txt and map.txt (and the files named in
# $game_extra), in the background; its exit status goes to
# $game_dir/status, its standard error to $game_dir/stderr.
start_game() {
  local name=$1
  shift
  game_dir=$wine_root/run-$name-$RANDOM
  mkdir -p "$game_dir"
  cp "$bin/config.txt" "$bin/map.txt" ${game_extra:-} "$game_dir/"
  (
    cd "$game_dir" && env "$@" wine "$bin/$name.exe" >"$game_dir/stdout" 2>"$game_dir/stderr"
    echo $? >"$game_dir/status"
  ) &
  game_pid=$!
}

# wait_window TITLE [SECONDS]: the X window id of the game's window.
wait_window() {
  local title=$1 seconds=${2:-30} id
  for _ in $(seq $((seconds * 10))); do
    id=$(xdotool search --name "^$title\$" 2>/dev/null | head -n1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# wait_exit [SECONDS]: the game's exit status, or "timeout".
wait_exit() {
  local seconds=${1:-20}
  for _ in $(seq $((seconds * 10))); do
    if [ -s "$game_dir/status" ]; then
      cat "$game_dir/status"
      wait "$game_pid" 2>/dev/null
      game_pid=
      return 0
    fi
    sleep 0.1
  done
  echo timeout
  kill "$game_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  wineserver -p
  game_pid=
}

# client_geometry WINDOW_ID: "X Y" of the 640x480 client area on the
# screen. Without a window manager Wine draws the frame itself, inside the
# X window: equal borders left, right and below, the caption above.
client_geometry() {
  local info x y w h border
  info=$(xwininfo -id "$1")
  x=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
  y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
  w=$(echo "$info" | awk '/Width:/ {print $2}')
  h=$(echo "$info" | awk '/Height:/ {print $2}')
  border=$(((w - 640) / 2))
  echo "$((x + border)) $((y + h - border - 480))"
}

# screenshot FILE: the whole screen.
screenshot() { import -window root "$1" 2>/dev/null; }

# share FILE X Y W H EXPR: the share (0..1) of the box's pixels for which
# the ImageMagick -fx expression holds.
share() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -fx "$6" -format '%[fx:mean]' info: 2>/dev/null
}

# at_least A B: whether the decimal A >= B.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# looks_like_road FILE X Y: the road's black band across the bottom rows
# (broken only by a centre-line dash) and white sky in the upper part of
# the 640x480 picture at X Y.
looks_like_road() {
  local black white
  black=$(share "$1" "$2" $(($3 + 460)) 640 20 'r<0.1 && g<0.1 && b<0.1')
  white=$(share "$1" "$2" "$3" 640 200 'r>0.95 && g>0.95 && b>0.95')
  road_black=$black road_white=$white
  at_least "$black" 0.6 && at_least "$white" 0.2
}

# debug_blue FILE X Y: the share of the picture in the debug readouts' blue
# (RGB 5, 155, 255; 0, 154, 255 in 16 bits).
debug_blue() {
  share "$1" "$2" "$3" 640 480 'r<0.1 && b>0.9 && g>0.5 && g<0.7'
}
