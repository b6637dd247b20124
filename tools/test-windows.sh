#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64 (build-win) and tests them under
# Wine, in a private X server with a fresh Wine prefix: both programs start,
# show the road, react to keys, end with status 0 on Escape and on the close
# button and with status 1 and both messages without a sound device; the
# Windows layer's own checks; and the pictures GDI draws against the
# software back buffer's (drawn by racer_sim and gdi_compare of the host
# build in build/, the tree of tools/test.sh).
# Installs nothing: tools/install-deps.sh provides what it needs.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
wine_dir=$repo/tests/wine
build_win=${RACER_BUILD_WIN:-$repo/build-win}
build_host=${RACER_BUILD_HOST:-$repo/build}
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

source "$wine_dir/env.sh"
need cmake x86_64-w64-mingw32-g++ wine wineserver Xvfb xdotool xwininfo import convert iconv wrestool icotool || exit 1

set -e
cmake -S . -B "$build_win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release
cmake --build "$build_win" -j"$jobs"
cmake -S . -B "$build_host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRACER_BUILD_TESTS=ON -DRACER_BUILD_TOOLS=ON
cmake --build "$build_host" -j"$jobs" --target racer_sim gdi_compare x11_close_window
set +e

bin=$build_win/bin
host_bin=$build_host/bin
# A script that does not load must not pass for one whose tests passed.
source "$wine_dir/tests.sh" || { echo "tests/wine/tests.sh does not load" >&2; exit 1; }
trap wine_teardown EXIT
wine_setup "$build_win" || exit 1
run_wine_tests

echo
echo "pictures and reports: $wine_root/pictures, screenshots: $wine_root/logs"
if [ "$failures" -gt 0 ]; then
  echo "$failures Windows test(s) failed"
  exit 1
fi
echo "all Windows tests passed"
