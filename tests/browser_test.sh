#!/usr/bin/env bash
# Loads HTML reports in headless Chromium: the example log's report of
# Kestrel, the report of the local player of a generated log of 200,000 lines
# (five years, 40 opponents), and the reports of players whose names are
# markup or broken UTF-8, or whose opponents' names reverse the text after
# them or are as long as a line allows. The DOM the browser built must show
# the figures and names as text and hold no element that came from a name,
# and one heatmap cell per non-empty grid cell of the classic report; a
# screenshot must not be blank; at 1,400 and 400 px the layout must hold
# (browser_layout.py: no sideways overflow outside scroll boxes, no
# overlapping chart labels, the opponents sorted by matches, sections for the
# 30 most played alone with a line on how to see the others, the matchups'
# Wilson intervals, all 23 heatmap columns in view and no heatmap scrolling
# sideways at 1,400 px, what changes the results with its chart and its nine
# conditions, the last 20 sessions or fewer, the newest first; at 400 px no
# table but a heatmap scrolling sideways, every table's figures in view and
# the heatmaps' counts shown on a tap); at 1,000 px
# the page's own text reads left to right and the opponents table fits.
#
#   bash tests/browser_test.sh SESSION_STATS SOURCE_DIR GENERATE_LOG [PART]
#
# PART, one of example, big and names, checks that part alone, so that the
# three can run side by side; without it, all three run.
# Without a browser or python3 the test is skipped (status 77), unless
# SESSION_STATS_REQUIRE_BROWSER=1 (as CI sets it) makes that a failure.
set -euo pipefail
tool=$1 source=$2 generator=$3 part=${4:-all}
wants() { [ "$part" = all ] || [ "$part" = "$1" ]; }
case $part in all | example | big | names) ;; *)
  echo "unknown part: $part" >&2
  exit 2
  ;;
esac
. "$source/tools/headless_chromium.sh"

missing=
browser=$(find_chromium) || missing="chromium (apt-get install chromium)"
command -v python3 >/dev/null || missing="python3 (apt-get install python3)"
if [ -n "$missing" ]; then
  if [ "${SESSION_STATS_REQUIRE_BROWSER:-0}" = 1 ]; then
    echo "FAIL: no $missing, and SESSION_STATS_REQUIRE_BROWSER=1" >&2
    exit 1
  fi
  echo "SKIPPED: no $missing"
  exit 77
fi
"$browser" --version 2>/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check() { python3 "$source/tests/browser_check.py" "$@"; }
layout() { python3 "$source/tests/browser_layout.py" "$browser" "$@"; }

# report NAME LOG BASE: the HTML and the classic report of NAME, and the DOM
# the browser built from the HTML.
report() {
  "$tool" -l "$2" -p "$1" --format=html -o "$work/$3.html"
  "$tool" -l "$2" -p "$1" -o "$work/$3.txt"
  headless_chromium "$browser" --dump-dom "file://$work/$3.html" >"$work/$3.dom"
}

if wants example; then
  echo "== example report of Kestrel"
  report Kestrel "$source/examples/sessionlog.txt" kestrel
  check dom "$work/kestrel.dom" "$work/kestrel.txt" \
    "Kestrel" "30 matches" "53.3% win rate" "16 / 14 won / lost" \
    "37 / 36 rounds won / lost" "0h 49m 28s time played" \
    "98.9333s average match" "39s shortest match" "189s longest match" \
    "Hisui and Kohaku" "Moth" "Wren" "Heron" "Longest winning streak: 4" \
    "Sion vs Ciel: 1 win, 3 losses (25.0%)"
  headless_chromium "$browser" --window-size=1280,2000 \
    --screenshot="$work/kestrel.png" "file://$work/kestrel.html" >/dev/null
  check png "$work/kestrel.png"
  layout "$work/kestrel.html" 1400 --sections 3 --recent 4
  layout "$work/kestrel.html" 400 --recent 4 --narrow
  layout "$work/kestrel.html" 720 --print
fi

if wants big; then
  echo "== report of a generated log of 200,000 lines"
  "$generator" --lines 200000 --opponents 40 --seed 1 --out "$work/big_log.txt"
  report Kestrel "$work/big_log.txt" big
  check dom "$work/big.dom" "$work/big.txt" "Kestrel" "113,998 matches" \
    "Sorted by matches, most first"
  layout "$work/big.html" 1400 --columns 23 --sections 30 --matchups --recent 20
  layout "$work/big.html" 400 --recent 20 --narrow
fi

if wants names; then
  echo "== reports of hostile names"
  script='<script>alert(1)</script>'
  image='<img src=x onerror=alert(1)>'
  printf '%s\n' \
    "2026-11-02 20:05:16 Session start. Players: $script vs $image" \
    "2026-11-02 20:06:13 Player 1 wins match 2-0 : Sion vs Ciel (55 seconds)" \
    "2026-11-02 20:07:13 Player 2 wins match 1-2 : Sion vs Ciel (75 seconds)" \
    "2026-11-02 20:08:13 Player 1 wins match 2-1 : Neco-Arc Chaos vs Ciel (65 seconds)" \
    "2026-11-03 20:05:16 Session start. Players: $script vs Br"$'\xff'"ok"$'\xe2\x82' \
    "2026-11-03 20:06:13 Player 2 wins match 0-2 : Sion vs Len (55 seconds)" \
    >"$work/hostile_log.txt"
  # K meets an opponent whose name ends in a right-to-left override, which must
  # not turn the figures after it around, and one of the longest name a line
  # holds, which must not push them out of view.
  override=Moth$'\xe2\x80\xae'
  longest=$(printf 'W%.0s' $(seq 170))
  {
    echo "Session start. Players: K vs $override"
    for score in 2-0 2-1 0-2 2-0 1-2 2-1; do
      winner=1
      [ "${score%-*}" = 2 ] || winner=2
      echo "Player $winner wins match $score : Sion vs Ciel (60 seconds)"
    done
    echo "Session start. Players: K vs $longest"
    echo "Player 1 wins match 2-0 : Sion vs Ciel (60 seconds)"
  } >>"$work/hostile_log.txt"
  report "$script" "$work/hostile_log.txt" script
  check dom "$work/script.dom" "$work/script.txt" \
    "$script" "$image" "Br"$'\xef\xbf\xbd'"ok"$'\xef\xbf\xbd' "4 matches"
  report "$image" "$work/hostile_log.txt" image
  check dom "$work/image.dom" "$work/image.txt" "$image" "$script" "3 matches"
  report K "$work/hostile_log.txt" names
  check dom "$work/names.dom" "$work/names.txt" "6 matches, 4 won, 2 lost"
  layout "$work/names.html" 1000 --reading-order --names-fit
fi
echo "PASS"
