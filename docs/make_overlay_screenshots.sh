#!/usr/bin/env bash
# Makes docs/overlay-dark.png and docs/overlay-light.png, the pictures of the
# overlay in README.md: Kestrel's session in progress at the end of the
# example log with a few matches more, as headless Chromium draws the
# transparent page over a dark and over a light scene, 720 x 330 pixels.
#
#   bash docs/make_overlay_screenshots.sh [SESSION_STATS]
#
# SESSION_STATS is the binary to use (default: build/dev/session-stats). Needs
# chromium (apt-get install chromium); CHROMIUM names another browser binary.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/headless_chromium.sh

tool=${1:-build/dev/session-stats}
browser=$(find_chromium) || {
  echo "make_overlay_screenshots.sh: no chromium (apt-get install chromium)" >&2
  exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/sessionlog.txt "$work/sessionlog.txt"
printf '%s\n' \
  "2026-11-02 22:10:00 Session start. Players: Kestrel vs Moth" \
  "2026-11-02 22:11:00 Player 1 wins match 2-1 : Hisui and Kohaku vs Ciel (80 seconds)" \
  "2026-11-02 22:13:00 Player 2 wins match 1-2 : Sion vs Len (90 seconds)" \
  "2026-11-02 22:15:00 Player 1 wins match 2-0 : Sion vs Ciel (70 seconds)" \
  "2026-11-02 22:17:00 Player 1 wins match 2-1 : Hisui and Kohaku vs Len (75 seconds)" \
  >>"$work/sessionlog.txt"
"$tool" -l "$work/sessionlog.txt" -p Kestrel --format=overlay -o "$work/overlay.html"
# Background colours as Chromium takes them: RRGGBBAA.
for scene in dark:1e1e2eff light:f2f2f2ff; do
  name=${scene%%:*}
  headless_chromium "$browser" --window-size=720,330 \
    --default-background-color="${scene#*:}" \
    --screenshot="$work/$name.png" "file://$work/overlay.html" >/dev/null
  mv "$work/$name.png" "docs/overlay-$name.png"
  echo "docs/overlay-$name.png: $(stat -c %s "docs/overlay-$name.png") bytes"
done
