# The world the Windows programs are tested in, sourced by
# tools/test-windows.sh: a private X server without a window manager (Wine
# draws the frames itself), a fresh Wine prefix under the build folder with
# its own wineserver, a private HOME, and the programs started from it.

. "$repo/tests/support/x_session.sh"

# wine_setup BUILD_DIR: everything below lives in BUILD_DIR/wine-test.
wine_setup() {
  wine_root=$1/wine-test
  rm -rf "$wine_root"
  mkdir -p "$wine_root/home" "$wine_root/nosound-home" "$wine_root/logs" "$wine_root/pictures"
  start_x 1024x768 "$wine_root/logs" || return 1
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
    printf '<?xml version="1.0"?>\n<fontconfig><match target="font"><edit name="antialias" mode="assign"><bool>false</bool></edit></match></fontconfig>\n' \
      >"$home/.config/fontconfig/fonts.conf"
  done
  export HOME=$wine_root/home
  echo "making a Wine prefix on $DISPLAY (takes a while the first time)"
  wine wineboot --init >"$wine_root/logs/wineboot.log" 2>&1
  wineserver -w
  wineserver -p  # kept running, so that each start of a program is quick
  # UTF-16 with a byte order mark: regedit's format for the Japanese names.
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$wine_dir/settings.reg"; } >"$wine_root/settings.reg"
  wine regedit /S "$wine_root/settings.reg" >>"$wine_root/logs/wineboot.log" 2>&1
  # The close button's message, as a window manager sends it.
  close_helper=$host_bin/x11_close_window
}

wine_teardown() {
  if [ -n "${game_pid:-}" ] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid" 2>/dev/null; fi
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  stop_x
}

# start_game NAME [ENV=VALUE ...]: NAME.exe from a fresh folder with the
# shipped config.txt and map.txt (and the files in $game_extra), in the
# background; its exit status goes to $game_dir/status.
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

# wait_for SECONDS COMMAND...: true once COMMAND succeeds, false after SECONDS.
wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# wait_window TITLE [SECONDS]: the X window id of the game's window.
wait_window() {
  local id
  for _ in $(seq $((${2:-30} * 10))); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$id" ] && echo "$id" && return 0
    sleep 0.1
  done
  return 1
}

# wait_exit [SECONDS]: the game's exit status, or "timeout".
wait_exit() {
  if wait_for "${1:-20}" test -s "$game_dir/status"; then
    cat "$game_dir/status"
    wait "$game_pid" 2>/dev/null
  else
    echo timeout
    kill "$game_pid" 2>/dev/null
    wineserver -k 2>/dev/null
    wineserver -p
  fi
  game_pid=
}

# client_geometry WINDOW_ID: "X Y" of the 640x480 client area on the
# screen: Wine's own frame has equal borders left, right and below, and
# the caption above.
client_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {b = (w - 640) / 2; print x + b, y + h - b - 480}'
}
