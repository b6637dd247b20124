#!/usr/bin/env bash
# Installs the Debian packages the project needs, and nothing it does not:
#   tools/install-deps.sh play     what building and playing the game needs
#   tools/install-deps.sh web      that and what building the browser pages needs
#   tools/install-deps.sh release  play's and web's, and what tools/release.sh needs
#   tools/install-deps.sh test     all of it and what the whole test suite needs
# Idempotent: apt-get is only called for what is missing.
set -euo pipefail

play=(
  build-essential cmake pkg-config
  libsdl2-dev libfreetype-dev libpng-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
)
web=(emscripten node-acorn python3)
release=(
  git debhelper libcairo2-dev g++-mingw-w64-x86-64 icoutils
  lintian desktop-file-utils appstream diffoscope-minimal
)
test=(
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev ninja-build ccache
  wine wine64 fonts-wine
  xvfb xdotool x11-utils openbox imagemagick tesseract-ocr tesseract-ocr-jpn
  chromium
)

case "${1:-}" in
  play) packages=("${play[@]}") ;;
  web) packages=("${play[@]}" "${web[@]}") ;;
  release) packages=("${play[@]}" "${web[@]}" "${release[@]}") ;;
  test) packages=("${play[@]}" "${web[@]}" "${release[@]}" "${test[@]}") ;;
  *) echo "usage: tools/install-deps.sh play|web|release|test" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
