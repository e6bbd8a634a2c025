#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang and libFuzzer in build-fuzz, and runs them.
#
#   scripts/fuzz.sh        every target for FUZZ_SECONDS (default 60) in turn, on its seed corpus
#                          (fuzz/corpus/<target>) and the inputs earlier runs found
#                          (build-fuzz/corpus/<target>); a crash leaves its input in
#                          build-fuzz/artifacts/
#   scripts/fuzz.sh --ci   the brief run of the tests: first every kept regression input
#                          (fuzz/regressions/<target>) once, then every target for FUZZ_SECONDS
#                          (default 10), JOBS targets at a time
#
# A target's extra libFuzzer flags are in fuzz/options/<target>, its dictionary in
# fuzz/dict/<target>.dict. The summary gives per target the runs, the executions per second and the outcome. The exit
# status is not 0 when a target crashed or broke one of its properties.
set -euo pipefail
cd "$(dirname "$0")/.."

MODE=full
[ "${1:-}" = "--ci" ] && MODE=ci
BUILD=${FUZZ_BUILD:-build-fuzz}
if [ "$MODE" = ci ]; then SECONDS_EACH=${FUZZ_SECONDS:-10}; PARALLEL=${JOBS:-$(nproc)}; else
  SECONDS_EACH=${FUZZ_SECONDS:-60}; PARALLEL=1; fi
CLANG=${FUZZ_CLANG:-clang-14}

if ! command -v "$CLANG" >/dev/null || ! command -v "${CLANG/clang/clang++}" >/dev/null; then
  echo "fuzz: $CLANG is needed (apt-get install clang-14)" >&2
  exit 1
fi
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$BUILD" -G Ninja -DKV_FUZZ=ON -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCHMARKS=OFF \
  -DCMAKE_C_COMPILER="$CLANG" -DCMAKE_CXX_COMPILER="${CLANG/clang/clang++}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
  "${LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD" -j "${JOBS:-$(nproc)}" --target fuzz_targets

TARGETS=$(sed -n 's/^set(KV_FUZZ_TARGETS \(.*\))$/\1/p' fuzz/CMakeLists.txt)
mkdir -p "$BUILD/logs" "$BUILD/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# Runs the kept regression inputs of a target once each.
replay() {
  local target=$1 dir=fuzz/regressions/$1
  [ -d "$dir" ] && [ -n "$(ls -A "$dir")" ] || return 0
  if ! "$BUILD/fuzz/fuzz_$target" "$dir"/* >"$BUILD/logs/$target.regressions.log" 2>&1; then
    echo "fuzz: $target fails on a kept regression input; see $BUILD/logs/$target.regressions.log" >&2
    return 1
  fi
}

# Fuzzes one target for SECONDS_EACH; writes its summary line to logs/<target>.summary.
fuzz_one() {
  local target=$1 log=$BUILD/logs/$1.log dict=() options=()
  [ -f "fuzz/dict/$target.dict" ] && dict=(-dict="fuzz/dict/$target.dict")
  # shellcheck disable=SC2207
  [ -f "fuzz/options/$target" ] && options=($(cat "fuzz/options/$target"))
  mkdir -p "$BUILD/corpus/$target" "fuzz/corpus/$target"
  local status=ok
  "$BUILD/fuzz/fuzz_$target" "${dict[@]}" "${options[@]}" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/$target-" \
    "$BUILD/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1 || status=FAILED
  local runs rate
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  printf '%-24s %12s runs %8s exec/s  %s\n' "$target" "${runs:-?}" "${rate:-?}" "$status" >"$BUILD/logs/$target.summary"
  [ "$status" = ok ] || { echo "fuzz: $target failed; see $log" >&2; return 1; }
}
export -f fuzz_one
export BUILD SECONDS_EACH

failed=0
if [ "$MODE" = ci ]; then
  for t in $TARGETS; do replay "$t" || failed=1; done
fi
# shellcheck disable=SC2086
printf '%s\n' $TARGETS | xargs -P "$PARALLEL" -I{} bash -c 'fuzz_one {}' || failed=1

echo "fuzz: $SECONDS_EACH s per target"
for t in $TARGETS; do cat "$BUILD/logs/$t.summary" 2>/dev/null || echo "$t: no summary"; done
exit $failed
