#!/usr/bin/env bash
# Measures --follow on the 1M-line benchmark log (2,000 opponents) of
# bench/run.sh: the time from a result line appended to the output replaced
# (median and 95th percentile over APPENDS appends) for the overlay and for
# the full text report of the log's local player; the CPU of 10 s of idle
# following; the memory before and after 100,000 appended matches.
#
#   bash bench/follow.sh
#
# Knobs (environment): APPENDS (default 100), IDLE_SECONDS (default 10),
# MATCHES (default 100000). Release build and logs in build/benchmark, as
# bench/run.sh has them; each measure runs on a fresh copy of the log.
set -euo pipefail
cd "$(dirname "$0")/.."

APPENDS=${APPENDS:-100}
IDLE_SECONDS=${IDLE_SECONDS:-10}
MATCHES=${MATCHES:-100000}
PLAYER=Kestrel

build=$PWD/build/benchmark
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DSESSION_STATS_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target session-stats generate_log >/dev/null
tool=$build/session-stats
log=$build/logs/1M/sessionlog.txt
if [ ! -f "$log" ] || [ "$build/tools/generate_log" -nt "$log" ]; then
  mkdir -p "$(dirname "$log")"
  "$build/tools/generate_log" --lines 1000000 --opponents 2000 --seed 1 \
    --force -o "$log"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# measure ARG...: follow_measure.py ARG... on a fresh copy of the log.
measure() {
  rm -rf "$work/run"
  mkdir "$work/run"
  cp "$log" "$work/run/sessionlog.txt"
  python3 bench/follow_measure.py "$1" "$tool" "$work/run" "$PLAYER" "${@:2}"
}

echo "load before: $(uptime)"
read -r overlay_median overlay_p95 < <(measure latency overlay "$APPENDS")
echo "overlay latency: median $overlay_median ms, p95 $overlay_p95 ms (goal: median <= 50 ms)"
read -r text_median text_p95 < <(measure latency text "$APPENDS")
echo "text report latency: median $text_median ms, p95 $text_p95 ms (goal: <= 150 ms)"
idle=$(measure idle "$IDLE_SECONDS")
echo "idle CPU over ${IDLE_SECONDS} s: $idle% of a core (goal: < 0.1%)"
for format in text overlay; do
  read -r before after < <(measure memory "$format" "$MATCHES")
  echo "memory of the $format follower: $before MiB, after $MATCHES appended matches $after MiB"
done
echo "load after: $(uptime)"
