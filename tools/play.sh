#!/usr/bin/env bash
# Builds the two programs and starts the windowed one in play/ beside the
# build, with the shipped config.txt and map.txt (copied once, so a
# player's edits stay). Installs only what building and playing need.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh play
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRACER_BUILD_TESTS=OFF -DRACER_BUILD_TOOLS=OFF
cmake --build build -j"$(nproc)" --target racer_window racer

mkdir -p play
for f in config.txt config_bak.txt map.txt map_bak.txt; do
  [ -e "play/$f" ] || cp "data/$f" "play/$f"
done
cd play
exec ../build/bin/racer_window
