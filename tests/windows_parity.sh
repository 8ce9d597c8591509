#!/usr/bin/env bash
# The Windows program against the Linux one: for the example log and a
# generated one, every format and a few filters, both must write the same
# bytes, to the report file and to standard output; a reader that stops at
# once ends a run or a follow quietly on both. Usage:
#   windows_parity.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR WINE
# LINUX_BUILD_DIR holds session-stats and tools/generate_log;
# WINDOWS_BUILD_DIR session-stats.exe.
set -euo pipefail
linux=$(realpath "$1/session-stats") generator=$(realpath "$1/tools/generate_log")
windows=$(realpath "$2/session-stats.exe") wine=$3
source=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$generator" -n 200000 --opponents=300 --seed=22 -o "$work/generated.txt"
cp "$source/examples/sessionlog.txt" "$work/example.txt"

# One run per line: the log, the player, then the options.
runs=(
  "example.txt Kestrel"
  "example.txt Kestrel --format=csv"
  "example.txt Kestrel --format=json"
  "example.txt Kestrel --format=html"
  "example.txt Kestrel --opponent=Moth --since=2026-11-02 --character=Sion"
  "example.txt Moth --last-sessions=1 --format=json"
)
# The generated log's two most frequent players.
mapfile -t names < <("$linux" --list -l "$work/generated.txt" |
  awk 'NR > 1 && NR <= 3 { print $4 }')
for format in text csv json html; do
  runs+=("generated.txt ${names[0]} --format=$format")
done
runs+=("generated.txt ${names[0]} --opponent=${names[1]}")

compared=0
for run in "${runs[@]}"; do
  read -r log player options <<<"$run"
  for side in linux windows; do
    mkdir -p "$work/$side"
    cd "$work/$side"
    rm -f report
    if [ "$side" = linux ]; then
      tool=("$linux")
    else
      tool=("$wine" "$windows")
    fi
    # shellcheck disable=SC2086 # the options are words
    "${tool[@]}" -l "../$log" -p "$player" -o report $options
    # shellcheck disable=SC2086
    "${tool[@]}" -l "../$log" -p "$player" -o - $options >stdout
  done
  for output in report stdout; do
    if ! cmp "$work/linux/$output" "$work/windows/$output"; then
      echo "differs: $output of $run"
      exit 1
    fi
  done
  cmp -s "$work/windows/report" "$work/windows/stdout" ||
    { echo "report file and standard output differ: $run"; exit 1; }
  compared=$((compared + 1))
done
for side in linux windows; do
  cd "$work/$side"
  if [ "$side" = linux ]; then
    "$linux" --list -l ../generated.txt >list
  else
    "$wine" "$windows" --list -l ../generated.txt >list
  fi
done
cmp "$work/linux/list" "$work/windows/list"

# A reader that stops at once ends the run quietly, and a follow as soon.
cd "$work/windows"
for args in "--help" "-l ../example.txt -p Kestrel -o - --follow"; do
  # shellcheck disable=SC2086 # the options are words
  { timeout 120 "$wine" "$windows" $args 2>err; echo $? >status; } | head -c 0
  [ "$(cat status)" = 0 ] || { echo "$args | head: status $(cat status)"; cat err; exit 1; }
  if grep -v '^session-stats: following ' err; then
    echo "$args | head: more than the follow's first line"
    exit 1
  fi
done
echo "$compared runs and the list byte-identical on Linux and Windows"
