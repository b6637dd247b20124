#!/usr/bin/env bash
# Builds the two pages and runs their tests in Debian's headless Chromium,
# holding the pages' pictures to racer_sim's (built in build/ if need be).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

bash tools/install-deps.sh test
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRACER_BUILD_TESTS=ON -DRACER_BUILD_TOOLS=ON > /dev/null
cmake --build build -j"$jobs" --target racer_sim racer_check
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build-web -j"$jobs"
npm ci --prefix tests/web --no-audit --no-fund
node --test tests/web/

echo "pages built and tested in $((SECONDS - start)) s"
