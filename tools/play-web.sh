#!/usr/bin/env bash
# Builds the pages of the game and serves them on this machine, with the
# shipped config.txt and map.txt, and prints their addresses, the front
# page's first. PORT picks the port (8000); BIND=0.0.0.0 serves them to the
# local network too, for a phone; Ctrl-C stops.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh web
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release
cmake --build build-web -j"$(nproc)"

port=${PORT:-8000}
bind=${BIND:-127.0.0.1}
echo
echo "the game's front page:            http://localhost:$port/index.html"
echo "racer_window, the windowed game:  http://localhost:$port/racer_window.html"
echo "racer, the full-screen game:      http://localhost:$port/racer.html"
echo "the course workshop:              http://localhost:$port/workshop.html"
if [ "$bind" != 127.0.0.1 ]; then
  echo "from another device: this machine's address instead of localhost ($(hostname -I 2>/dev/null | cut -d' ' -f1))"
fi
echo
exec python3 -m http.server "$port" --bind "$bind" --directory build-web/www
