#!/usr/bin/env bash
# Builds the windowed game and starts it in play/ beside the build, with the
# shipped config.txt and map.txt (copied once, so a player's edits stay).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target racer_window

mkdir -p play
for f in config.txt config_bak.txt map.txt map_bak.txt; do
  [ -e "play/$f" ] || cp "data/$f" "play/$f"
done
cd play
exec ../build/bin/racer_window
