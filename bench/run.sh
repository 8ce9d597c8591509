#!/usr/bin/env bash
# Measures session-stats on generated logs of 1,000,000 and 10,000,000 lines
# (2,000 opponents each), each phase beside `wc -l` on the same log in the same
# hyperfine run, and peak memory; the same player's report as CSV, JSON and
# HTML and a filtered text report (time, size, peak memory); then a hostile
# log of 40,000 start lines that each name two new players, one match each,
# and one of 2,000,000 alias lines that give one alias two targets by turns
# (peak memory of both); a log of 100,000 names that share a 150-byte prefix
# (a name close to them all beside one close to none); then the pieces with
# the micro benchmarks; and ends with a summary of medians.
#
#   bash bench/run.sh                # the summary of medians
#   bash bench/run.sh table [REV]    # the measures of docs/performance.md
#
# `table` prints the measures that the speed tricks' table in
# docs/performance.md names (wall and CPU time, peak memory, page faults,
# instructions), each the median of runs that alternate between the builds:
# with REV (a commit, e.g. the parent of the one that brought a trick in),
# that revision is built too and measured run for run beside this tree.
# The JSON and HTML runs against a revision before the fitted insights
# (`table cd4a774`) give what the insights cost.
#
# Knobs (environment): RUNS_1M (default 30) and RUNS_10M (default 5) timed
# runs per command, MEMORY_RUNS (default 3) runs for peak memory, MICRO_REPS
# (default 5) micro benchmark repetitions, SIZES (default "1M 10M"; `table`
# measures peak memory at 10M only when SIZES names it).
# Release build in build/benchmark (not build/bench, which a plain
# `cmake -B build` tree uses for this folder); logs and raw results in
# build/benchmark/logs.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS_1M=${RUNS_1M:-30}
RUNS_10M=${RUNS_10M:-5}
MEMORY_RUNS=${MEMORY_RUNS:-3}
MICRO_REPS=${MICRO_REPS:-5}
BROWSER_RUNS=${BROWSER_RUNS:-5}
SIZES=${SIZES:-"1M 10M"}
MODE=${1:-summary}
BASELINE=${2:-}
case $MODE in
  summary | table) ;;
  *) echo "usage: bash bench/run.sh [table [REV]]" >&2; exit 2 ;;
esac
OPPONENTS=2000
LOCAL_PLAYER=Kestrel
NO_PLAYER=NoSuchPlayer

# --- tools -----------------------------------------------------------------
need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/time ] || need+=(time)
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
if [ "$MODE" = summary ]; then
  [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
else
  command -v valgrind >/dev/null || need+=(valgrind)
fi
if [ ${#need[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -q
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -q "${need[@]}"
fi

# --- build -----------------------------------------------------------------
build=$PWD/build/benchmark
bench_option=ON targets=(session-stats generate_log session_stats_benchmarks)
[ "$MODE" = table ] && bench_option=OFF targets=(session-stats generate_log)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DSESSION_STATS_BUILD_BENCH=$bench_option -DSESSION_STATS_BUILD_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"
tool=$build/session-stats
generator=$build/tools/generate_log
micro=$build/bench/session_stats_benchmarks
. tools/headless_chromium.sh
browser=$(find_chromium) || browser=

# Median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END {
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Median seconds of the command named $2 in hyperfine's CSV file $1.
csv_median() { awk -F, -v name="$2" '$1 == name { print $4 }' "$1"; }
# Mean user + system seconds of the command named $2 in CSV file $1: what the
# process itself spent, less sensitive than the wall clock to other work on
# the machine.
cpu() { awk -F, -v name="$2" '$1 == name { print $5 + $6 }' "$1"; }
# printf format $1 applied to expression $4 of a = $2 and b = $3.
calc() { awk -v a="$2" -v b="$3" "BEGIN { printf \"$1\", $4 }"; }

# Generates the log of size $1 (1M or 10M) under build/benchmark/logs once,
# with the answer files beside it; prints its folder.
log_folder() {
  local lines
  case $1 in
    1M) lines=1000000 ;;
    10M) lines=10000000 ;;
    *) echo "unknown size $1 (1M or 10M)" >&2; exit 2 ;;
  esac
  local dir=$build/logs/$1
  mkdir -p "$dir"
  if [ ! -f "$dir/sessionlog.txt" ] || [ "$generator" -nt "$dir/sessionlog.txt" ]; then
    echo "== generating $dir/sessionlog.txt" >&2
    "$generator" --lines "$lines" --opponents "$OPPONENTS" --seed 1 --force \
      -o "$dir/sessionlog.txt"
  fi
  printf '%s\n' "$NO_PLAYER" >"$dir/no_player.txt"
  printf '%s\n' "$LOCAL_PLAYER" >"$dir/local_player.txt"
  echo "$dir"
}

# --- table: the measures of docs/performance.md ----------------------------
if [ "$MODE" = table ]; then
  builds=("$tool") names=(present)
  if [ -n "$BASELINE" ]; then
    rev=$(git rev-parse --short "$BASELINE^{commit}")
    base=$build/baseline-$rev
    if [ ! -x "$base/build/session-stats" ]; then
      echo "== building $rev in $base"
      rm -rf "$base/src"
      mkdir -p "$base/src"
      git archive "$rev" | tar -x -C "$base/src"
      cmake -S "$base/src" -B "$base/build" -DCMAKE_BUILD_TYPE=Release \
        -DSESSION_STATS_BUILD_TESTS=OFF >/dev/null
      cmake --build "$base/build" -j2 --target session-stats
    fi
    builds+=("$base/build/session-stats") names+=("$rev")
  fi
  dir1m=$(log_folder 1M)
  dir200k=$build/logs/200k
  mkdir -p "$dir200k"
  head -n 200000 "$dir1m/sessionlog.txt" >"$dir200k/sessionlog.txt"
  printf '%s\n' "$NO_PLAYER" >"$dir200k/no_player.txt"
  raw=$build/logs/table
  rm -rf "$raw"
  mkdir -p "$raw"
  TIMEFORMAT='%3R %3U %3S'
  # One run of build $1 in folder $2 with standard input $3 and arguments
  # $4...: appends "wall cpu" seconds to $raw/<measure $m>.<build $1>.
  timed() {
    local b=$1 dir=$2 input=$3
    shift 3
    { time (cd "$dir" && "${builds[$b]}" "$@" <"$input" >/dev/null 2>&1 ||
      true); } 2>&1 | awk '{ print $1, $2 + $3 }' >>"$raw/$m.$b"
  }
  # Same, appending "peak-KiB minor-faults" from GNU time.
  counted() {
    local b=$1 dir=$2 input=$3
    shift 3
    (cd "$dir" && /usr/bin/time -f '%M %R' -o "$raw/one" "${builds[$b]}" "$@" \
      <"$input" >/dev/null 2>&1 || true)
    tail -1 "$raw/one" >>"$raw/$m.$b"
  }
  # Runs measure $1 with function $3 over $2 runs, the builds in turn.
  measure() {
    local runs=$2 b
    m=$1
    shift 2
    echo "== $m: $runs runs of each build, in turn" >&2
    for _ in $(seq "$runs"); do
      for b in "${!builds[@]}"; do "$@" "$b"; done
    done
  }
  reading() { timed "$1" "$dir1m" "$dir1m/no_player.txt"; }
  full() { timed "$1" "$dir1m" "$dir1m/local_player.txt"; }
  csv() { timed "$1" "$dir1m" /dev/null -p "$LOCAL_PLAYER" --format=csv -o report.csv; }
  json() { timed "$1" "$dir1m" /dev/null -p "$LOCAL_PLAYER" --format=json -o report.json; }
  html() { timed "$1" "$dir1m" /dev/null -p "$LOCAL_PLAYER" --format=html -o report.html; }
  reading_memory() { counted "$1" "$dir1m" "$dir1m/no_player.txt"; }
  full_memory() { counted "$1" "$dir1m" "$dir1m/local_player.txt"; }
  measure read "$RUNS_1M" reading
  measure full "$RUNS_1M" full
  measure csv "$RUNS_1M" csv
  measure json "$RUNS_1M" json
  measure html "$RUNS_1M" html
  measure read_memory "$MEMORY_RUNS" reading_memory
  measure full_memory "$MEMORY_RUNS" full_memory
  if [[ " $SIZES " == *" 10M "* ]]; then
    dir10m=$(log_folder 10M)
    filtered_memory() { counted "$1" "$dir10m" /dev/null -p "$LOCAL_PLAYER" \
      --since=2000-01-01 -o filtered.txt; }
    json_memory() { counted "$1" "$dir10m" /dev/null -p "$LOCAL_PLAYER" \
      --format=json -o report.json; }
    full10m_memory() { counted "$1" "$dir10m" "$dir10m/local_player.txt"; }
    measure filtered_10m "$MEMORY_RUNS" filtered_memory
    measure json_10m "$MEMORY_RUNS" json_memory
    measure full_10m "$MEMORY_RUNS" full10m_memory
  fi
  # Instructions of the reading phase over the log's first 200,000 lines,
  # both threads together (callgrind runs them one at a time).
  instructions() {
    (cd "$dir200k" && valgrind --tool=callgrind --callgrind-out-file=/dev/null \
      "${builds[$1]}" <no_player.txt 2>&1 >/dev/null || true) |
      awk '/Collected :/ { print $NF }' >>"$raw/$m.$1"
  }
  measure read_200k 1 instructions

  # Column $2 of measure $1 for build $3: the median, scaled by $4, printed
  # with format $5.
  figure() {
    [ -s "$raw/$1.$3" ] || { echo n/a; return; }
    awk -v c="$2" '{ print $c }' "$raw/$1.$3" | median |
      awk -v k="$4" -v f="$5" '{ printf f "\n", $1 * k }'
  }
  line() {
    local label=$1 b
    shift
    printf '%-46s' "$label"
    for b in "${!builds[@]}"; do printf '%14s' "$(figure "$1" "$2" "$b" "$3" "$4")"; done
    echo
  }
  echo
  echo "Medians; 1M-line log with $OPPONENTS opponents; $(uptime | sed 's/.*load/load/')"
  printf '%-46s' measure
  printf '%14s' "${names[@]}"
  echo
  line "read_wall: reading phase, wall (ms)" read 1 1000 %.1f
  line "read_cpu: reading phase, CPU user+sys (ms)" read 2 1000 %.1f
  line "read_rss: reading phase, peak memory (MiB)" read_memory 1 0.0009765625 %.1f
  line "read_faults: reading phase, minor page faults" read_memory 2 1 %.0f
  line "read_200k: reading 200,000 lines (M instr.)" read_200k 1 1e-6 %.1f
  line "full_wall: full run of $LOCAL_PLAYER, wall (ms)" full 1 1000 %.1f
  line "full_cpu: full run, CPU user+sys (ms)" full 2 1000 %.1f
  line "full_rss: full run, peak memory (MiB)" full_memory 1 0.0009765625 %.1f
  line "csv_cpu: CSV of $LOCAL_PLAYER, CPU user+sys (ms)" csv 2 1000 %.1f
  line "json_wall: JSON of $LOCAL_PLAYER, wall (ms)" json 1 1000 %.1f
  line "json_cpu: JSON, CPU user+sys (ms)" json 2 1000 %.1f
  line "html_wall: HTML of $LOCAL_PLAYER, wall (ms)" html 1 1000 %.1f
  line "html_cpu: HTML, CPU user+sys (ms)" html 2 1000 %.1f
  if [[ " $SIZES " == *" 10M "* ]]; then
    line "full_rss_10m: full run at 10M, peak (MiB)" full_10m 1 0.0009765625 %.1f
    line "filtered_rss_10m: filtered text, peak (MiB)" filtered_10m 1 0.0009765625 %.1f
    line "json_rss_10m: JSON at 10M, peak (MiB)" json_10m 1 0.0009765625 %.1f
  fi
  exit 0
fi

declare -A result
for size in $SIZES; do
  case $size in
    1M) lines=1000000 runs=$RUNS_1M ;;
    10M) lines=10000000 runs=$RUNS_10M ;;
    *) echo "unknown size $size (1M or 10M)" >&2; exit 2 ;;
  esac
  dir=$(log_folder "$size")
  log=$dir/sessionlog.txt
  bytes=$(stat -c %s "$log")
  cd "$dir"

  echo "== $size lines: reading phase (answer $NO_PLAYER) beside wc -l"
  # A name no player has ends the run with status 1 once the whole log is
  # read, and writes no report.
  rm -f session_stats.txt
  hyperfine --style basic --warmup 1 --runs "$runs" --ignore-failure \
    --export-csv "$dir/reading.csv" \
    -n session-stats "'$tool' < no_player.txt 2>/dev/null" \
    -n "wc -l" "wc -l sessionlog.txt"
  [ -e session_stats.txt ] && echo "warning: report written for $NO_PLAYER" >&2

  echo "== $size lines: full run (answer $LOCAL_PLAYER) beside wc -l"
  hyperfine --style basic --warmup 1 --runs "$runs" \
    --export-csv "$dir/full.csv" \
    -n session-stats "'$tool' < local_player.txt" \
    -n "wc -l" "wc -l sessionlog.txt"

  echo "== $size lines: peak memory of the full run, $MEMORY_RUNS runs"
  rss=$(for _ in $(seq "$MEMORY_RUNS"); do
    /usr/bin/time -f %M "$tool" <local_player.txt 2>&1 >/dev/null | tail -1
  done | median)

  # The formats and a filter keep 40 bytes per match of the player: time
  # against the plain run in the same hyperfine run, and peak memory.
  echo "== $size lines: $LOCAL_PLAYER as text, CSV, JSON, HTML and filtered text"
  hyperfine --style basic --warmup 1 --runs "$runs" \
    --export-csv "$dir/formats.csv" \
    -n text "'$tool' -p $LOCAL_PLAYER -o report.txt" \
    -n csv "'$tool' -p $LOCAL_PLAYER --format=csv -o report.csv" \
    -n json "'$tool' -p $LOCAL_PLAYER --format=json -o report.json" \
    -n html "'$tool' -p $LOCAL_PLAYER --format=html -o report.html" \
    -n filtered "'$tool' -p $LOCAL_PLAYER --since=2000-01-01 -o filtered.txt"
  # The filtered report names its filter in one line after "Stats for".
  grep -v "^Filters: " filtered.txt | cmp report.txt - ||
    echo "warning: a filter that passes all changed the report" >&2
  peak() { for _ in $(seq "$MEMORY_RUNS"); do
    /usr/bin/time -f %M "$tool" -p $LOCAL_PLAYER "$@" 2>&1 >/dev/null | tail -1
  done | median; }
  text_rss=$(peak -o report.txt)
  csv_rss=$(peak --format=csv -o report.csv)
  json_rss=$(peak --format=json -o report.json)
  html_rss=$(peak --format=html -o report.html)
  filtered_rss=$(peak --since=2000-01-01 -o filtered.txt)
  cd - >/dev/null
  text_s=$(csv_median "$dir/formats.csv" text)
  for kind in text csv json html filtered; do
    kind_s=$(csv_median "$dir/formats.csv" $kind)
    result[$size.$kind]=$(calc %.3f "$kind_s" 0 a)
    result[$size.${kind}_ratio]=$(calc %.2fx "$kind_s" "$text_s" 'a / b')
    result[$size.${kind}_cpu]=$(calc %.3f "$(cpu "$dir/formats.csv" $kind)" 0 a)
  done
  # Each format's output and peak memory beside the text report's; JSON and
  # HTML also beside the CSV run's, which keeps the same match log.
  result[$size.text_mb]=$(calc %.1f "$(stat -c %s "$dir/report.txt")" 0 'a / 1e6')
  result[$size.text_rss]=$(calc %.1f "$text_rss" 0 'a / 1024')
  result[$size.json_over_csv]=$(calc %+.1f "$json_rss" "$csv_rss" '(a - b) / 1024')
  result[$size.html_over_csv]=$(calc %+.1f "$html_rss" "$csv_rss" '(a - b) / 1024')
  result[$size.csv_mb]=$(calc %.1f "$(stat -c %s "$dir/report.csv")" 0 'a / 1e6')
  result[$size.csv_rows]=$(($(wc -l <"$dir/report.csv") - 1))
  result[$size.json_mb]=$(calc %.1f "$(stat -c %s "$dir/report.json")" 0 'a / 1e6')
  result[$size.csv_rss]=$(calc %.1f "$csv_rss" 0 'a / 1024')
  result[$size.json_rss]=$(calc %.1f "$json_rss" 0 'a / 1024')
  result[$size.html_mb]=$(calc %.1f "$(stat -c %s "$dir/report.html")" 0 'a / 1e6')
  result[$size.html_sections]=$(grep -c '^<details' "$dir/report.html" || true)
  # Headless Chromium opening the HTML report and taking a screenshot, as a
  # reader's browser would show it, beside the same for a page of one line:
  # the browser's own start-up.
  if [ -n "$browser" ]; then
    echo "== $size lines: headless Chromium opens the HTML report, $BROWSER_RUNS runs"
    printf '<!DOCTYPE html><title>-</title><p>-\n' >"$dir/blank.html"
    open_s() { for _ in $(seq "$BROWSER_RUNS"); do
      start=$(date +%s.%N)
      headless_chromium "$browser" --window-size=1400,1000 \
        --screenshot="$dir/open.png" "file://$1" >/dev/null
      calc '%.3f\n' "$(date +%s.%N)" "$start" 'a - b'
    done | median; }
    # The example log's page, a few opponents: what a page should cost.
    "$tool" -l examples/sessionlog.txt -p $LOCAL_PLAYER --format=html \
      -o "$dir/example.html"
    result[$size.html_open]=$(open_s "$dir/report.html")
    result[$size.html_example]=$(open_s "$dir/example.html")
    result[$size.html_open_ratio]=$(calc %.2fx "${result[$size.html_open]}" \
      "${result[$size.html_example]}" 'a / b')
    result[$size.html_blank]=$(open_s "$dir/blank.html")
    # From navigation to screenshot, and the renderer's CPU time, which a
    # loaded machine distorts less.
    page_s() { for _ in $(seq "$BROWSER_RUNS"); do
      python3 tests/browser_layout.py "$browser" "$1" 1400 --time
    done; }
    page_s "$dir/report.html" >"$dir/page_times.txt"
    result[$size.html_page]=$(cut -d' ' -f1 "$dir/page_times.txt" | median)
    result[$size.html_cpu_renderer]=$(cut -d' ' -f2 "$dir/page_times.txt" | median)
  else
    for key in html_open html_example html_open_ratio html_blank html_page \
      html_cpu_renderer; do
      result[$size.$key]=n/a
    done
  fi
  result[$size.html_rss]=$(calc %.1f "$html_rss" 0 'a / 1024')
  result[$size.filtered_rss]=$(calc %.1f "$filtered_rss" 0 'a / 1024')

  read_s=$(csv_median "$dir/reading.csv" session-stats)
  wc_s=$(csv_median "$dir/reading.csv" "wc -l")
  full_s=$(csv_median "$dir/full.csv" session-stats)
  full_wc_s=$(csv_median "$dir/full.csv" "wc -l")
  full_cpu=$(cpu "$dir/full.csv" session-stats)
  full_wc_cpu=$(cpu "$dir/full.csv" "wc -l")
  result[$size.mb]=$(calc %.1f "$bytes" 0 'a / 1e6')
  result[$size.read]=$(calc %.3f "$read_s" 0 a)
  result[$size.wc]=$(calc %.3f "$wc_s" 0 a)
  read_cpu=$(cpu "$dir/reading.csv" session-stats)
  wc_cpu=$(cpu "$dir/reading.csv" "wc -l")
  result[$size.read_cpu]=$(calc %.3f "$read_cpu" 0 a)
  result[$size.wc_cpu]=$(calc %.3f "$wc_cpu" 0 a)
  result[$size.cpu_ratio]=$(calc %.2fx "$read_cpu" "$wc_cpu" 'a / b')
  result[$size.ratio]=$(calc %.2fx "$read_s" "$wc_s" 'a / b')
  result[$size.lines_s]=$(calc %.1f "$lines" "$read_s" 'a / b / 1e6')
  result[$size.mb_s]=$(calc %.0f "$bytes" "$read_s" 'a / b / 1e6')
  result[$size.full]=$(calc %.3f "$full_s" 0 a)
  result[$size.full_ratio]=$(calc %.2fx "$full_s" "$full_wc_s" 'a / b')
  result[$size.full_cpu_ratio]=$(calc %.2fx "$full_cpu" "$full_wc_cpu" 'a / b')
  result[$size.report]=$(wc -l <"$dir/session_stats.txt")
  result[$size.sections]=$(grep -c '^\*\{10\} Matchup vs: ' \
    "$dir/session_stats.txt" || true)
  result[$size.rss]=$(calc %.1f "$rss" 0 'a / 1024')
done

# The median peak memory (MiB) of MEMORY_RUNS runs in folder $1, answering
# its answer.txt at the prompt; and the size (MB) of its log.
peak_mib() {
  local kb
  kb=$(cd "$1" && for _ in $(seq "$MEMORY_RUNS"); do
    /usr/bin/time -f %M "$tool" <answer.txt 2>&1 >/dev/null | tail -1
  done | median)
  calc %.1f "$kb" 0 'a / 1024'
}
log_mb() { calc %.1f "$(stat -c %s "$1/sessionlog.txt")" 0 'a / 1e6'; }

# A log that names new players at every start line: memory must follow what
# the log holds, not the number of names times a full record.
hostile_dir=$build/logs/hostile
mkdir -p "$hostile_dir"
awk 'BEGIN {
  for (i = 0; i < 40000; i++) {
    printf "Session start. Players: Host%05d vs Guest%05d\n", i, i
    print "Player 1 wins match 2-1 : Sion vs Ciel (95 seconds)"
  } }' >"$hostile_dir/sessionlog.txt"
printf 'Host00000\n' >"$hostile_dir/answer.txt"
echo "== hostile log: 40,000 start lines with new names, $MEMORY_RUNS runs"
hostile_mib=$(peak_mib "$hostile_dir")
hostile_log_mb=$(log_mb "$hostile_dir")

# A log whose alias lines change one alias's target line after line: only
# the newest target of each alias is kept, so memory must not follow them.
alias_dir=$build/logs/hostile_alias
mkdir -p "$alias_dir"
awk 'BEGIN {
  for (i = 0; i < 1000000; i++) print "alias \"A\" \"B\"\nalias \"A\" \"C\""
  print "Session start. Players: A vs Z"
  print "Player 1 wins match 2-1 : Sion vs Ciel (95 seconds)"
  }' >"$alias_dir/sessionlog.txt"
printf 'C\n' >"$alias_dir/answer.txt"
echo "== hostile log: 2,000,000 alias lines by turns, $MEMORY_RUNS runs"
alias_mib=$(peak_mib "$alias_dir")
alias_log_mb=$(log_mb "$alias_dir")

# 100,000 players whose names share a 150-byte prefix: a name that nearly
# matches them all is compared with each for the close-name hints, which must
# cost each name its length, not its square. Beside it, a name close to none,
# whose run is the reading of the log alone.
prefix_dir=$build/logs/hostile_prefix
prefix=$(printf 'a%.0s' $(seq 150))
mkdir -p "$prefix_dir"
awk -v prefix="$prefix" 'BEGIN {
  for (i = 0; i < 100000; i++)
    printf "Session start. Players: %s%06d vs Z\n", prefix, i
  }' >"$prefix_dir/sessionlog.txt"
echo "== 100,000 names of one long prefix: a near miss beside a far miss"
(cd "$prefix_dir" && hyperfine --style basic --warmup 1 --runs "$RUNS_1M" \
  --ignore-failure --export-csv "$prefix_dir/misses.csv" \
  -n near "'$tool' -p ${prefix}00000 -o - 2>/dev/null" \
  -n far "'$tool' -p Zed -o - 2>/dev/null")
near_s=$(calc %.3f "$(csv_median "$prefix_dir/misses.csv" near)" 0 a)
far_s=$(calc %.3f "$(csv_median "$prefix_dir/misses.csv" far)" 0 a)

echo "== micro benchmarks, $MICRO_REPS repetitions"
"$micro" --benchmark_repetitions="$MICRO_REPS" \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$build/logs/micro.csv" --benchmark_out_format=csv
# Median real time of benchmark $1 in milliseconds (its only run when the
# benchmarks ran once).
micro_ms() {
  awk -F, -v median="\"$1_median\"" -v single="\"$1\"" '
    $1 == median || $1 == single {
      scale = ($5 == "ns") ? 1e-6 : ($5 == "us") ? 1e-3 : ($5 == "s") ? 1e3 : 1
      printf "%.4g\n", $3 * scale }' "$build/logs/micro.csv"
}
report_ms=$(micro_ms BM_WriteReport/real_time)
baseline_ms=$(micro_ms BM_WriteReportBaseline/real_time)

# --- summary ---------------------------------------------------------------
echo
echo "Summary: medians; logs with $OPPONENTS opponents"
row() {
  printf '%-42s' "$1"
  for size in $SIZES; do printf '%14s' "${result[$size.$2]}"; done
  echo
}
for size in $SIZES; do result[$size.title]="$size lines"; done
row "" title
row "log size (MB)" mb
row "reading phase, session-stats (s)" read
row "wc -l on the same log (s)" wc
row "ratio session-stats / wc -l" ratio
row "  CPU user+sys, session-stats (s, mean)" read_cpu
row "  CPU user+sys, wc -l (s, mean)" wc_cpu
row "  ratio of the CPU times" cpu_ratio
row "reading throughput (M lines/s)" lines_s
row "reading throughput (MB/s)" mb_s
row "full run, report of $LOCAL_PLAYER (s)" full
row "  ratio full run / wc -l (same run)" full_ratio
row "  ratio of the CPU times" full_cpu_ratio
row "report lines written" report
row "opponent sections in the report" sections
row "peak memory of the full run (MiB)" rss
row "$LOCAL_PLAYER with -p, text report (s)" text
row "  CPU user+sys (s, mean)" text_cpu
row "  as CSV (s)" csv
row "  ratio to the text report" csv_ratio
row "  CPU user+sys (s, mean)" csv_cpu
row "  as JSON (s)" json
row "  ratio to the text report" json_ratio
row "  CPU user+sys (s, mean)" json_cpu
row "  as HTML (s)" html
row "  ratio to the text report" html_ratio
row "  CPU user+sys (s, mean)" html_cpu
row "  text, filter passing all (s)" filtered
row "  ratio to the text report" filtered_ratio
row "  CPU user+sys (s, mean)" filtered_cpu
row "CSV rows (matches of $LOCAL_PLAYER)" csv_rows
row "text report size (MB)" text_mb
row "CSV size (MB)" csv_mb
row "JSON size (MB)" json_mb
row "HTML size (MB)" html_mb
row "opponent sections in the HTML" html_sections
row "HTML: Chromium open + screenshot (s)" html_open
row "  the example's page, the same way (s)" html_example
row "  ratio to the example's page" html_open_ratio
row "  a blank page, the same way (s)" html_blank
row "  page alone: navigation to screenshot (s)" html_page
row "  renderer CPU for the page (s)" html_cpu_renderer
row "peak memory, text run with -p (MiB)" text_rss
row "peak memory, CSV run (MiB)" csv_rss
row "peak memory, JSON run (MiB)" json_rss
row "  over the CSV run's (MiB)" json_over_csv
row "peak memory, HTML run (MiB)" html_rss
row "  over the CSV run's (MiB)" html_over_csv
row "peak memory, filtered text run (MiB)" filtered_rss
printf '%-42s%14s\n' "hostile log: size (MB)" "$hostile_log_mb" \
  "hostile log: peak memory (MiB)" "$hostile_mib" \
  "alias lines by turns: size (MB)" "$alias_log_mb" \
  "alias lines by turns: peak memory (MiB)" "$alias_mib"
printf '%-42s%14s\n' "long-prefix names: near miss (s)" "$near_s" \
  "  far miss, same log (s)" "$far_s" \
  "  near / far" \
  "$(awk -v a="$near_s" -v b="$far_s" 'BEGIN { printf "%.2fx", a / b }')"
printf '%-42s%14s\n' "report of 2000 opponents, micro (ms)" "$report_ms" \
  "same lines, one write each (ms)" "$baseline_ms" \
  "report / one write per line" \
  "$(awk -v a="$report_ms" -v b="$baseline_ms" 'BEGIN { printf "%.2fx", a / b }')"
