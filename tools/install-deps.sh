#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with.
# Idempotent: apt-get is only called for what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 wine wine64 fonts-wine
  libsdl2-dev libfreetype-dev libpng-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xdotool x11-utils openbox imagemagick
  emscripten node-acorn chromium python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
