#!/usr/bin/env bash
# Builds everything and runs the whole test suite: once in an optimised
# build, once under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# benchmarks once as a smoke test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DRACER_SANITIZE=ON
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

# The file readers, the script parser and whole runs under libFuzzer: a
# minute each, two for the whole run. A failing input is kept as a test.
bash tools/fuzz.sh --all 60

# The Windows programs, cross-compiled and tested under Wine.
bash tools/test-windows.sh

# The two pages, built with Emscripten and tested in headless Chromium.
bash tools/test-web.sh

# The benchmarks as a smoke test: they must run; no time is asserted.
build/bin/frame_bench --benchmark_min_time=0.05
