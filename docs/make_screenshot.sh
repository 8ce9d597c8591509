#!/usr/bin/env bash
# Makes the pictures of the HTML report in README.md: the report of Kestrel,
# the local player of a generated log of 200,000 lines (five years, 40
# opponents), as headless Chromium shows it in a window of 1280 x 1900
# pixels (docs/report.png) and on a phone's 400 x 1600 (docs/report-phone.png),
# and its sections on what changes the results and the recent sessions at
# 1280 px (docs/insights.png) and at 400 px (docs/insights-phone.png).
#
#   bash docs/make_screenshot.sh [SESSION_STATS [GENERATE_LOG]]
#
# SESSION_STATS and GENERATE_LOG are the binaries to use (default:
# build/dev/session-stats and build/dev/tools/generate_log, made by
# `cmake --workflow --preset dev`). Needs chromium (apt-get install
# chromium); CHROMIUM names another browser binary.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/headless_chromium.sh

tool=${1:-build/dev/session-stats}
generator=${2:-build/dev/tools/generate_log}
browser=$(find_chromium) || {
  echo "make_screenshot.sh: no chromium (apt-get install chromium)" >&2
  exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" --lines 200000 --opponents 40 --seed 1 --out "$work/sessionlog.txt"
"$tool" -l "$work/sessionlog.txt" -p Kestrel --format=html -o "$work/report.html"
shoot() {
  headless_chromium "$browser" --window-size="$1" \
    --screenshot="$work/shot.png" "file://$work/report.html" >/dev/null
  mv "$work/shot.png" "$2"
  echo "$2: $(stat -c %s "$2") bytes"
}
shoot 1280,1900 docs/report.png
shoot 400,1600 docs/report-phone.png
for shot in 1280:docs/insights.png 400:docs/insights-phone.png; do
  python3 tests/browser_layout.py "$browser" "$work/report.html" "${shot%%:*}" \
    --recent 20 --shot "${shot#*:}" >/dev/null
  echo "${shot#*:}: $(stat -c %s "${shot#*:}") bytes"
done
