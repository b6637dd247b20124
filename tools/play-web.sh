#!/usr/bin/env bash
# Builds the two pages of the game and serves them on this machine, with the
# shipped config.txt and map.txt. PORT picks the port (8000); Ctrl-C stops.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh web
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release
cmake --build build-web -j"$(nproc)"

port=${PORT:-8000}
echo
echo "racer_window, the windowed game:  http://localhost:$port/racer_window.html"
echo "racer, the full-screen game:      http://localhost:$port/racer.html"
echo
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/www
