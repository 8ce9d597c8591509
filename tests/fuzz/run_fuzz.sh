#!/usr/bin/env bash
# Builds the libFuzzer target with clang and the sanitizers, then fuzzes for
# a bounded time starting from the seed corpus. Any finding fails the run and
# leaves its input in build/fuzz/artifacts/.
#   usage: tests/fuzz/run_fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/fuzz"

CXX=clang++ cmake -S "$root" -B "$build" -DSESSION_STATS_FUZZ=ON \
  -DSESSION_STATS_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target session_stats_fuzzer -j"$(nproc)"

# New inputs go to a scratch corpus; the checked-in seeds stay as they are.
work="$build/corpus"
mkdir -p "$work" "$build/artifacts"
"$build/tests/fuzz/session_stats_fuzzer" "$work" "$root/tests/fuzz/corpus" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
  -dict="$root/tests/fuzz/session_stats.dict" \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1
