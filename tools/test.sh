#!/usr/bin/env bash
# The test suite, each part building what it needs:
#   bash tools/test.sh          everything: the optimised build's tests (unit,
#                               golden, end to end in a private X server),
#                               the same under AddressSanitizer and
#                               UndefinedBehaviorSanitizer, the fuzzers, a
#                               sample of mutants, the Windows programs
#                               under Wine, the pages, the release, and the
#                               benchmarks once
#   bash tools/test.sh --quick  the optimised build's tests only
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  --quick) quick=true ;;
  "") quick=false ;;
  *) echo "usage: tools/test.sh [--quick]" >&2; exit 2 ;;
esac
start=$(date +%s)
step() { echo; echo "== $* (at $(($(date +%s) - start)) s)"; }

bash tools/install-deps.sh test
jobs=$(nproc)

step "the optimised build and its tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRACER_BUILD_TESTS=ON -DRACER_BUILD_TOOLS=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
if $quick; then step "done"; exit 0; fi

# The programs and the tests only. The fuzz corpora are replayed under the
# same sanitizers by the fuzzers below, so the sanitizer run leaves them out.
step "the tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DRACER_SANITIZE=ON
cmake --build build-sanitize -j"$jobs" --target core_tests check_tests extreme_tests shell_tests media_tests sdl_tests \
  racer racer_window racer_sim x11_close_window
ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -E 'FuzzReplay|fuzz_replay_tests'

# The readers, the script parser and whole runs under libFuzzer: a minute
# each, two for the whole run beside them. A failing input is kept as a test.
step "fuzzing"
bash tools/fuzz.sh --all 60

# A fixed sample of one-line faults in the sources: each must fail a test
# or be listed, with its reason, as unable to change what the game does.
step "mutants"
python3 tools/mutants.py --sample 80 --seed 24

step "the Windows programs under Wine"
bash tools/test-windows.sh

step "the two pages, built with Emscripten, in headless Chromium"
bash tools/test-web.sh

# The release files, built from a clean copy of the commit, tried as a
# player would: the package installed with apt and purged, the Windows zip
# under Wine, the web zip from a sub-path in Chromium.
step "the release files, installed and played"
bash tests/release/release_test.sh

# The benchmarks as a smoke test: they must run; no time is asserted.
step "the benchmarks, once"
build/bin/frame_bench --benchmark_min_time=0.05
step "all passed"
