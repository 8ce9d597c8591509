# Sourced by the scripts that load HTML reports in a real browser: defines
# find_chromium and headless_chromium. Bash only.
#
# The browser runs headless with no sandbox (CI runs as root), no GPU, and
# nothing that reaches the network on its own (no QUIC, no background
# networking, no component updates, no sync), each run in a fresh profile
# that is removed afterwards.

# Prints the browser's path: $CHROMIUM when set, else the first of chromium
# and chromium-browser on PATH. Status 1 when there is none.
find_chromium() {
  if [ -n "${CHROMIUM:-}" ]; then
    command -v "$CHROMIUM" && return 0
    return 1
  fi
  command -v chromium || command -v chromium-browser
}

# headless_chromium BROWSER ARG...: runs BROWSER headless with ARG... and a
# time limit of 120 s; its own chatter on standard error is dropped unless
# it fails.
headless_chromium() {
  local browser=$1 profile log status=0
  shift
  profile=$(mktemp -d)
  log=$(mktemp)
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --hide-scrollbars \
    --user-data-dir="$profile" "$@" 2>"$log" || status=$?
  [ "$status" -eq 0 ] || cat "$log" >&2
  rm -rf "$profile" "$log"
  return "$status"
}
