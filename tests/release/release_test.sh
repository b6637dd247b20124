#!/usr/bin/env bash
# The release files as players get them, made by tools/release.sh from the
# checked-out commit (or, with RELEASE_TEST_DIST, those already in a folder):
# the Debian package checked by lintian and installed for real with apt,
# started from its menu entry in a private X server with a fresh HOME, and
# purged; the Windows zip under Wine from a folder whose path has spaces and
# non-ASCII letters; the web zip from a sub-path of a plain static server,
# in headless Chromium. Needs root (apt) and tools/install-deps.sh test;
# RELEASE_TEST_KEEP keeps its pictures and logs.
set -u
cd "$(dirname "$0")/../.."
repo=$PWD
wine_dir=$repo/tests/wine
work=$(mktemp -d /tmp/veltix-release-test-XXXXXX)
. "$wine_dir/env.sh"   # the X session's helpers, and Wine's
. "$wine_dir/tests.sh"
host_bin=

if [ -z "${RELEASE_TEST_DIST:-}" ]; then
  bash tools/release.sh || exit 1
fi
dist=$(realpath "${RELEASE_TEST_DIST:-dist}")
version=$(sed -n 's/^project(veltix_race VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
deb=$dist/veltix-race_${version}_amd64.deb
desktop=/usr/share/applications/org.veltixrace.VeltixRace.desktop

# The X session's teardown waits for every child: the server goes first.
cleanup() {
  [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null
  dpkg -s veltix-race >/dev/null 2>&1 && apt-get purge -y -qq veltix-race >/dev/null 2>&1
  wine_teardown
  if [ "$failures" -eq 0 ] && [ -z "${RELEASE_TEST_KEEP:-}" ]; then rm -rf "$work"; fi
}
trap cleanup EXIT

# --- the package, as a file -------------------------------------------------
lint=$(lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges')
if [ -z "$lint" ]; then pass "lintian says nothing"; else fail "lintian: $lint"; fi
dpkg-deb -x "$deb" "$work/root"
for check in "desktop-file-validate $work/root$desktop" \
  "appstreamcli validate --no-net $work/root/usr/share/metainfo/org.veltixrace.VeltixRace.metainfo.xml"; do
  if out=$($check 2>&1); then pass "${check%% *}"; else fail "${check%% *}: $out"; fi
done
# Exactly what a player needs, where a Debian game keeps it.
expected=$(
  for p in racer racer_window racer_check racer_sim veltix-race; do echo "/usr/games/$p"; done
  for f in config config_bak map map_bak; do echo "/usr/share/games/veltix-race/$f.txt"; done
  for f in data/courses/*.txt; do echo "/usr/share/games/veltix-race/courses/${f##*/}"; done
  echo "$desktop"
  echo /usr/share/metainfo/org.veltixrace.VeltixRace.metainfo.xml
  for s in 16 24 32 48 64 128 256; do echo "/usr/share/icons/hicolor/${s}x$s/apps/veltix-race.png"; done
  for m in veltix-race racer racer_window racer_check racer_sim; do echo "/usr/share/man/man6/$m.6.gz"; done
  echo /usr/share/doc/veltix-race/changelog.gz
  echo /usr/share/doc/veltix-race/copyright
  echo /usr/share/lintian/overrides/veltix-race
)
listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}')
if [ "$(sort <<<"$listed")" = "$(sort <<<"$expected")" ]; then
  pass "the package holds the programs, launcher, shipped files, menu entry, metadata, icons and manual pages, and nothing else"
else
  fail "the package's files differ from the expected ones: $(diff <(sort <<<"$expected") <(sort <<<"$listed") | grep '^[<>]' | tr '\n' ' ')"
fi

# --- installed for real, started from the menu entry ------------------------
export DEBIAN_FRONTEND=noninteractive
dpkg -s veltix-race >/dev/null 2>&1 && apt-get purge -y -qq veltix-race >/dev/null
if apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1; then pass "apt installs the package"; else fail "apt install: $(tail -n 5 "$work/apt.log")"; fi
# Its files and own folders, to be gone after the purge.
installed=$(dpkg -L veltix-race 2>/dev/null | while read -r path; do
  { [ -f "$path" ] || [ -L "$path" ] || [[ "$path" == */veltix-race ]]; } && echo "$path"
done)
command=$(sed -n 's/^Exec=//p' "$desktop" | head -n1)
home=$work/home
folder=$home/.local/share/veltix-race
mkdir -p "$home" "$work/x"
start_x 1024x768 "$work/x" && start_wm "$work/x" || exit 1

# play_from_menu NAME: the entry's command as a desktop starts it, with a
# player's environment and no sound card; its window's id in $wid.
play_from_menu() {
  launch "$work/$1" env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games \
    LANG=C.UTF-8 SDL_AUDIODRIVER=dummy $command
  wid=$(wait_window "VELTIX RACE" 20) || fail "$1: no window ($(head -c 300 "$game_dir/stderr"))"
}

play_from_menu first
if [ -n "$wid" ]; then
  sleep 1
  shot "$work/first.png" "$wid"
  # The ground left of the road, black wherever the car is in its first
  # seconds: a busy machine may take the picture a few seconds in, past the
  # start straight.
  expect_share "first start: the ground beside the road" "$work/first.png" 0 300 60 40 "$black" 0.99
  # Slow, the car shows a missing file's warning in a white box: none here.
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus --sync "$wid"
  xdotool key --delay 150 b b b b
  sleep 0.5
  shot "$work/slow.png" "$wid"
  expect_share "slow: the help lines" "$work/slow.png" 260 292 8 86 "$white" 0.5
  expect_share "no \"config.txt\" not found" "$work/slow.png" 350 436 110 12 "$white" 0 0.3
  expect_share "no \"map.txt\" not found" "$work/slow.png" 350 460 110 12 "$white" 0 0.3
  escape_ends "first start" 20
fi
if cmp -s "$folder/config.txt" /usr/share/games/veltix-race/config.txt && cmp -s "$folder/map_bak.txt" /usr/share/games/veltix-race/map_bak.txt; then
  pass "the player's folder holds the shipped files"
else
  fail "no shipped files in $folder: $(ls -A "$folder" 2>&1)"
fi
if grep -qF "$folder" "$game_dir/stdout"; then pass "it says where the files are"; else fail "stdout: $(cat "$game_dir/stdout")"; fi

# A player's edit survives the next start.
printf '# mine\nSPEED 20000\n' >"$folder/config.txt"
cp "$folder/config.txt" "$work/edited.txt"
play_from_menu second
[ -n "$wid" ] && escape_ends "second start" 20
if cmp -s "$folder/config.txt" "$work/edited.txt"; then pass "a second start keeps the edited config.txt"; else fail "config.txt was replaced"; fi

# A folder that cannot be made: a message and status 1.
touch "$work/a-file"
out=$(env -i HOME="$home" XDG_DATA_HOME="$work/a-file" /usr/games/veltix-race 2>&1)
status=$?
if [ "$status" = 1 ] && grep -q "cannot make.*$work/a-file/veltix-race" <<<"$out"; then
  pass "an impossible folder: status 1 and \"$out\""
else
  fail "an impossible folder: status $status, \"$out\""
fi
stop_x

if apt-get purge -y -qq veltix-race >>"$work/apt.log" 2>&1; then pass "apt purges the package"; else fail "apt purge: $(tail -n 5 "$work/apt.log")"; fi
left=$(while read -r path; do [ -e "$path" ] || [ -L "$path" ] && echo "$path"; done <<<"$installed")
if [ -n "$installed" ] && [ -z "$left" ]; then pass "nothing of it is left"; else fail "left behind: $left"; fi

# --- the Windows zip under Wine ---------------------------------------------
place="$work/Veltix Race 1.0/José"
mkdir -p "$place"
unzip -q "$dist/veltix-race-$version-windows-x86_64.zip" -d "$place"
for text in README.txt LICENSE.txt; do
  file=$place/veltix-race-$version-windows-x86_64/$text
  if [ -s "$file" ] && [ "$(grep -c $'\r$' "$file")" = "$(wc -l <"$file")" ]; then
    pass "$text has Windows line endings"
  else
    fail "$text: not every line ends in CR LF"
  fi
done
wine_setup "$work" || exit 1
launch "$place/veltix-race-$version-windows-x86_64" wine racer_window.exe
if wid=$(wait_window "VELTIX RACE" 40); then
  pass "racer_window.exe starts from \"${place#"$work/"}\""
  check_running_game racer_window.exe "$wid"
  escape_ends racer_window.exe 20
else
  fail "racer_window.exe: no window ($(head -c 300 "$game_dir/stderr"))"
fi
wine_teardown

# --- the web zip from a sub-path ---------------------------------------------
site=$work/site/games/veltix
mkdir -p "$site"
unzip -q "$dist/veltix-race-$version-web.zip" -d "$site"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" >"$work/http.log" 2>&1 &
server_pid=$!
[ -d tests/web/node_modules/playwright-core ] || npm ci --prefix tests/web --no-audit --no-fund --no-update-notifier >/dev/null
if node tests/release/web_bundle.mjs "http://127.0.0.1:$port/games/veltix/veltix-race-$version-web/" "$work"; then
  pass "the web bundle plays from a sub-path"
else
  fail "the web bundle"
fi

[ "$failures" -eq 0 ] && echo "all release tests passed" && exit 0
echo "$failures release test(s) failed; files in $work"
exit 1
