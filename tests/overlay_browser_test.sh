#!/usr/bin/env bash
# Loads the overlay in headless Chromium as a streaming program's browser
# source would: a session in progress, and between sessions the last one.
# The page must show the figures as text, hold no element that came from a
# name, and leave its background transparent with the figures drawn on it;
# an opponent's name must not turn the figures after it around.
#
#   bash tests/overlay_browser_test.sh SESSION_STATS SOURCE_DIR
#
# Without a browser or python3 the test is skipped (status 77), unless
# SESSION_STATS_REQUIRE_BROWSER=1 (as CI sets it) makes that a failure.
set -euo pipefail
tool=$1 source=$2
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

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check() { python3 "$source/tests/overlay_check.py" "$@"; }

cp "$source/examples/sessionlog.txt" "$work/sessionlog.txt"
printf '%s\n' \
  "2026-11-02 22:10:00 Session start. Players: Kestrel vs <img src=x onerror=alert(1)>" \
  "2026-11-02 22:11:00 Player 1 wins match 2-1 : Hisui and Kohaku vs Ciel (80 seconds)" \
  "2026-11-02 22:13:00 Player 2 wins match 1-2 : Sion vs Len (90 seconds)" \
  "2026-11-02 22:15:00 Player 1 wins match 2-0 : Sion vs Ciel (70 seconds)" \
  >>"$work/sessionlog.txt"

echo "== a session in progress"
"$tool" -l "$work/sessionlog.txt" -p Kestrel --format=overlay -o "$work/live.html"
headless_chromium "$browser" --dump-dom "file://$work/live.html" >"$work/live.dom"
check dom "$work/live.dom" "Kestrel vs <img src=x onerror=alert(1)>" \
  "2 - 1" "Rounds 5 - 3" "Streak: 1 win" \
  "All-time vs <img src=x onerror=alert(1)>: 2 - 1" "W W W L L L W W L W" \
  "Hisui and Kohaku, Sion"
headless_chromium "$browser" --default-background-color=00000000 \
  --window-size=900,420 --screenshot="$work/live.png" \
  "file://$work/live.html" >/dev/null
check transparent "$work/live.png"

echo "== between sessions"
printf '%s\n' "2026-11-02 22:20:00 Session results: Kestrel vs x, 3 matches" \
  >>"$work/sessionlog.txt"
"$tool" -l "$work/sessionlog.txt" -p Kestrel --format=overlay -o "$work/wait.html"
headless_chromium "$browser" --dump-dom "file://$work/wait.html" >"$work/wait.dom"
check dom "$work/wait.dom" "Last session Kestrel vs <img src=x onerror=alert(1)>" \
  "2 - 1" "Streak: 1 win" "All-time vs <img src=x onerror=alert(1)>: 2 - 1" \
  "Last 10: W W W L L L W W L W"
# Each mark in a box of its own, none wider than its box.
python3 "$source/tests/browser_layout.py" "$browser" "$work/wait.html" 1200

echo "== an opponent whose name ends in a right-to-left override"
printf '%s\n' \
  "2026-11-02 22:30:00 Session start. Players: Kestrel vs Moth"$'\xe2\x80\xae' \
  "2026-11-02 22:31:00 Player 1 wins match 2-1 : Sion vs Ciel (80 seconds)" \
  >>"$work/sessionlog.txt"
"$tool" -l "$work/sessionlog.txt" -p Kestrel --format=overlay -o "$work/moth.html"
python3 "$source/tests/browser_layout.py" "$browser" "$work/moth.html" 1200 \
  --reading-order
echo "PASS"
