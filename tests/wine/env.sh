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
  # Room for the window of a display scaled to 200 %.
  start_x 1600x1200 "$wine_root/logs" || return 1
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
  X11_CLOSE_WINDOW=$host_bin/x11_close_window
}

wine_teardown() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  stop_x
}

# start_game NAME [ENV=VALUE ...]: NAME.exe from a fresh folder with the
# shipped config.txt and map.txt (and the files in $game_extra), in the
# background.
start_game() {
  local name=$1
  shift
  game_files=("$bin/config.txt" "$bin/map.txt" ${game_extra:-})
  launch "$wine_root/run-$name-$RANDOM" env "$@" wine "$bin/$name.exe"
}

# A program killed under Wine lives on in the wineserver.
restart_wineserver() {
  wineserver -k 2>/dev/null
  wineserver -p
}
on_kill=restart_wineserver

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

# client_geometry WINDOW_ID: "X Y" of the 640x480 client area on the
# screen: Wine's own frame has equal borders left, right and below, and
# the caption above.
client_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {b = (w - 640) / 2; print x + b, y + h - b - 480}'
}
