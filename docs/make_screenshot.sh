#!/usr/bin/env bash
# Makes docs/report.png, the picture of the HTML report in README.md: the
# example log's report of Kestrel, as headless Chromium shows it in a window
# of 1280 x 1900 pixels.
#
#   bash docs/make_screenshot.sh [SESSION_STATS]
#
# SESSION_STATS is the binary to use (default: build/dev/session-stats, made
# by `cmake --workflow --preset dev`). Needs chromium (apt-get install
# chromium); CHROMIUM names another browser binary.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/headless_chromium.sh

tool=${1:-build/dev/session-stats}
browser=$(find_chromium) || {
  echo "make_screenshot.sh: no chromium (apt-get install chromium)" >&2
  exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" -l examples/sessionlog.txt -p Kestrel --format=html -o "$work/report.html"
headless_chromium "$browser" --window-size=1280,1900 \
  --screenshot="$work/report.png" "file://$work/report.html" >/dev/null
mv "$work/report.png" docs/report.png
echo "docs/report.png: $(stat -c %s docs/report.png) bytes"
