#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz and
# runs one of them, or all, for a given time.
#
#   tools/fuzz.sh TARGET SECONDS [-- LIBFUZZER_ARGS...]   one target
#   tools/fuzz.sh --all SECONDS                          every target: SECONDS each,
#                                                         twice that for `run`, which
#                                                         runs beside the others
#   tools/fuzz.sh --build                                 only build
#
# Targets: settings (config.txt reader), course (map.txt reader), script
# (racer_sim's input scripts), run (settings + course + script, 2000 drawn
# frames). The seeds in tests/fuzz/corpus/TARGET and the former failures in
# tests/fuzz/regressions/TARGET are read first, never written;
# what the fuzzer learns goes to build-fuzz/corpus/TARGET. An input that
# fails is copied to tests/fuzz/regressions/TARGET/, where the ordinary test
# suite replays it, and the script exits with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build-fuzz
targets=(settings course script run)

usage() {
  sed -n '4,10p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

cc=$(command -v clang-14 || command -v clang || true)
cxx=$(command -v clang++-14 || command -v clang++ || true)
if [[ -z "$cc" || -z "$cxx" ]]; then
  echo "fuzz.sh: clang is needed (apt-get install clang libclang-rt-14-dev)" >&2
  exit 2
fi

build_targets() {
  mkdir -p "$build"
  local flags="-O2 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  flags+=" -fsanitize-coverage-ignorelist=$root/tests/fuzz/coverage_ignore.txt"
  nice -n 19 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DRACER_FUZZ=ON \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 2; }
  nice -n 19 cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}" >"$build/build.log" 2>&1 ||
    { tail -50 "$build/build.log" >&2; exit 2; }
}

max_len() {
  case $1 in
    settings) echo 4096 ;;
    course) echo 32768 ;;
    script) echo 16384 ;;
    run) echo 40000 ;;
  esac
}

# Under the sanitizers a run of 2000 drawn frames takes a few seconds, and
# the course smoothing's worst case within it (half the course at +2000,
# half at -2000: half a second optimised) up to some twenty; far longer is a
# hang. The course target smooths on a coarse step, in milliseconds.
time_limit() { [[ $1 == run ]] && echo 120 || echo 30; }

# The former failures of a target, when there are any.
regressions() { [[ -d $root/tests/fuzz/regressions/$1 ]] && echo "$root/tests/fuzz/regressions/$1" || true; }

run_target() {
  local target=$1 seconds=$2
  shift 2
  local work=$build/corpus/$target artifacts=$build/artifacts/$target/ log=$build/fuzz-$target.log
  mkdir -p "$work" "$artifacts"
  echo "== fuzz $target for ${seconds}s (log $log)"
  local status=0
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
    nice -n 19 "$build/bin/fuzz_$target" "$work" "$root/tests/fuzz/corpus/$target" $(regressions "$target") \
    -dict="$root/tests/fuzz/dict/$target.dict" -max_len="$(max_len "$target")" \
    -timeout="$(time_limit "$target")" -rss_limit_mb=2560 -max_total_time="$seconds" \
    -artifact_prefix="$artifacts" -print_final_stats=1 "$@" >"$log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+(DONE|INITED)|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log" || true
  echo "corpus: $(find "$work" -type f | wc -l) files"
  if [[ $status -ne 0 ]]; then
    echo "fuzz $target FAILED (status $status):" >&2
    grep -E 'ERROR|broken rule|runtime error|SUMMARY' "$log" | head -20 >&2 || true
    mkdir -p "$root/tests/fuzz/regressions/$target"
    local saved=0 file
    for file in "$artifacts"crash-* "$artifacts"timeout-* "$artifacts"oom-* "$artifacts"leak-*; do
      [[ -f "$file" ]] || continue
      cp "$file" "$root/tests/fuzz/regressions/$target/"
      echo "saved as regression: tests/fuzz/regressions/$target/$(basename "$file")" >&2
      rm "$file"
      saved=1
    done
    [[ $saved -eq 1 ]] || tail -30 "$log" >&2
    return 1
  fi
}

[[ $# -ge 1 ]] || usage
case $1 in
  --build)
    build_targets
    ;;
  --all)
    [[ $# -eq 2 && $2 =~ ^[0-9]+$ ]] || usage
    build_targets
    # Each fuzzer takes one core: the whole run beside the three readers.
    run_target run $((2 * $2)) >"$build/run.out" 2>&1 &
    lane=$!
    failed=0
    for target in settings course script; do
      run_target "$target" "$2" || failed=1
    done
    wait "$lane" || failed=1
    cat "$build/run.out"
    exit $failed
    ;;
  -*)
    usage
    ;;
  *)
    [[ $# -ge 2 && $2 =~ ^[0-9]+$ ]] || usage
    [[ " ${targets[*]} " == *" $1 "* ]] || { echo "fuzz.sh: no target $1 (${targets[*]})" >&2; exit 2; }
    target=$1 seconds=$2
    shift 2
    [[ ${1-} == -- ]] && shift
    build_targets
    run_target "$target" "$seconds" "$@"
    ;;
esac
