#!/usr/bin/env bash
# Turns the checked-out commit into the files a player downloads, in dist/:
#   veltix-race_VERSION_amd64.deb            the Debian package
#   veltix-race-VERSION-windows-x86_64.zip   both programs for Windows
#   veltix-race-VERSION-web.zip              the pages for any static host
#   SHA256SUMS
# Each is built from a clean copy of the commit in a fresh folder, dated by
# the commit (SOURCE_DATE_EPOCH) and with the folder's name mapped away, so
# that the same commit always gives the same bytes.
#
#   bash tools/release.sh           build them
#   bash tools/release.sh --check   build them, then again in another folder,
#                                   and compare (diffoscope shows differences)
# RELEASE_DIST names another output folder than dist/, RELEASE_COMMIT another
# commit than the checked-out one.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
case "${1:-}" in
  --check) check=true ;;
  "") check=false ;;
  *) echo "usage: tools/release.sh [--check]" >&2; exit 2 ;;
esac
start=$SECONDS
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

bash tools/install-deps.sh release

# The version lives in CMakeLists.txt; the Debian changelog must agree.
version=$(sed -n 's/^project(veltix_race VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
deb_version=$(dpkg-parsechangelog -l debian/changelog -S Version)
if [ -z "$version" ] || [ "$deb_version" != "$version" ]; then
  echo "release: CMakeLists.txt says version '$version', debian/changelog '$deb_version'" >&2
  exit 1
fi

# Uncommitted changes to tracked files go in, with a word: such a release
# is not the commit's.
# is not the commit's. RELEASE_COMMIT names what to build instead.
commit=${RELEASE_COMMIT:-$(git stash create)}
if [ -z "$commit" ]; then
  commit=$(git rev-parse HEAD)
elif [ -z "${RELEASE_COMMIT:-}" ]; then
  echo "release: uncommitted changes are included; this is not a release of $(git rev-parse --short HEAD)" >&2
fi
export SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
export TZ=UTC LC_ALL=C.UTF-8

dist=${RELEASE_DIST:-$repo/dist}
work=$(mktemp -d /tmp/veltix-release-XXXXXX)
trap 'rm -rf "$work"' EXIT
src=$work/veltix-race-$version
mkdir -p "$src" "$work/stage"
git archive "$commit" | tar -x -C "$src"
# The compilers see the random folder's name only as /build.
export CFLAGS="-ffile-prefix-map=$work=/build" CXXFLAGS="-ffile-prefix-map=$work=/build"
log=$work/log

step() { echo "== $* (at $((SECONDS - start)) s)"; }
run() {  # run COMMAND...: quiet, but its output shown when it fails
  if ! nice -n 10 "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "release: failed: $*" >&2
    exit 1
  fi
}
# text FILE: FILE with @VERSION@ filled in.
text() { sed "s/@VERSION@/$version/g" "$src/packaging/$1"; }

step "the Windows programs"
win=$work/stage/veltix-race-$version-windows-x86_64
# No time stamp in the PE headers and no symbols: a player needs neither.
run env LDFLAGS="-s -Wl,--no-insert-timestamp" cmake -S "$src" -B "$work/build-win" \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
run cmake --build "$work/build-win" -j"$jobs" --target racer racer_window
mkdir -p "$win"
cp "$work/build-win/bin/racer.exe" "$work/build-win/bin/racer_window.exe" "$win/"
cp "$src"/data/{config,config_bak,map,map_bak}.txt "$win/"
cp -r "$src/data/courses" "$win/courses"
text windows/README.txt | sed 's/$/\r/' >"$win/README.txt"
sed 's/$/\r/' "$src/LICENSE" >"$win/LICENSE.txt"

step "the pages"
web=$work/stage/veltix-race-$version-web
run emcmake cmake -S "$src" -B "$work/build-web" -DCMAKE_BUILD_TYPE=Release
run cmake --build "$work/build-web" -j"$jobs"
cp -r "$work/build-web/www" "$web"

step "the Debian package"
(cd "$src" && run env -u CFLAGS -u CXXFLAGS DEB_BUILD_OPTIONS="noautodbgsym parallel=$jobs" dpkg-buildpackage -us -uc -b)

step "the artefacts in $dist"
rm -rf "$dist"
mkdir -p "$dist"
deb=veltix-race_${version}_amd64.deb
cp "$work/$deb" "$dist/"
for folder in "$win" "$web"; do
  python3 "$src/packaging/reproducible_zip.py" "$dist/$(basename "$folder").zip" "$folder"
done
(cd "$dist" && sha256sum "$deb" "$(basename "$win").zip" "$(basename "$web").zip" >SHA256SUMS)
(cd "$dist" && ls -l --time-style=+ "$deb" ./*.zip | awk '{print "  " $NF ": " $5 " bytes"}')
echo "built in $((SECONDS - start)) s"

if $check; then
  step "again, in another folder, to compare"
  again=$work/again
  RELEASE_DIST=$again RELEASE_COMMIT=$commit bash "$repo/tools/release.sh" >"$work/again.log" 2>&1 ||
    { tail -n 40 "$work/again.log" >&2; exit 1; }
  if cmp -s "$dist/SHA256SUMS" "$again/SHA256SUMS"; then
    echo "reproducible: both builds give the same SHA256SUMS ($((SECONDS - start)) s in all)"
  else
    echo "NOT reproducible:"
    diff "$dist/SHA256SUMS" "$again/SHA256SUMS" || true
    if command -v diffoscope >/dev/null; then
      while read -r _ file; do
        cmp -s "$dist/$file" "$again/$file" || diffoscope "$dist/$file" "$again/$file" | head -n 80
      done <"$dist/SHA256SUMS"
    fi
    exit 1
  fi
fi
