#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers, then fuzzes for
# a bounded time: the whole pipeline for SECONDS from the seed corpus, and
# the result line matcher against the C library for a third of that beside
# it. Any finding fails the run and leaves its input in build/fuzz/artifacts/.
#   usage: tests/fuzz/run_fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/fuzz"

# Line tables are all a finding's stack needs, and compile faster than full
# debug information.
CXX=clang++ cmake -G Ninja -S "$root" -B "$build" -DSESSION_STATS_FUZZ=ON \
  -DSESSION_STATS_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" >/dev/null
cmake --build "$build" --target session_stats_fuzzer result_matcher_fuzzer \
  -j"$(nproc)"

# New inputs go to scratch corpora; the checked-in seeds stay as they are.
mkdir -p "$build/corpus" "$build/matcher_corpus" "$build/artifacts"
common=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1
  -dict="$root/tests/fuzz/session_stats.dict"
  -artifact_prefix="$build/artifacts/")
# The two fuzzers run side by side, one core each; the matcher's output is
# shown once it ends.
"$build/tests/fuzz/result_matcher_fuzzer" "$build/matcher_corpus" \
  -max_total_time="$(( seconds / 3 > 10 ? seconds / 3 : 10 ))" -max_len=256 \
  "${common[@]}" >"$build/matcher.log" 2>&1 &
matcher=$!
trap 'kill "$matcher" 2>/dev/null || true' EXIT
"$build/tests/fuzz/session_stats_fuzzer" "$build/corpus" \
  "$root/tests/fuzz/corpus" -max_total_time="$seconds" -max_len=8192 \
  "${common[@]}"
status=0
wait "$matcher" || status=$?
trap - EXIT
cat "$build/matcher.log"
exit "$status"
