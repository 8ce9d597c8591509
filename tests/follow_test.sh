#!/usr/bin/env bash
# The story of a stream, through the binary: session-stats --follow in a
# fresh folder while a client appends to the log as it plays. Each step
# waits (polling the output, with a time limit) for the output to change,
# then checks its figures. Then the log is truncated, removed and made again,
# stood in for by a FIFO and a device, and written anew in place (the report
# then equals a fresh run's); SIGTERM and SIGINT end the followers with
# status 0 and no temporary file.
#
#   bash tests/follow_test.sh SESSION_STATS
set -euo pipefail
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
command -v python3 >/dev/null || { echo "SKIPPED: no python3"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for DESCRIPTION COMMAND...: runs COMMAND every 20 ms until it
# succeeds; fails after 60 s (the machine may be loaded).
wait_for() {
  local what=$1 deadline=$((SECONDS + 60))
  shift
  until "$@" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.02
  done
}

# json EXPRESSION: EXPRESSION (Python, over the document `d`) of live.json;
# the values of a tuple one blank apart.
json() {
  python3 -c '
import json, sys
d = json.load(open("live.json"))
v = eval(sys.argv[1])
print(" ".join(map(str, v)) if isinstance(v, tuple) else v)' "$1"
}
# is EXPRESSION VALUE: whether EXPRESSION of live.json prints VALUE.
is() { [ "$(json "$1")" = "$2" ]; }

append() { printf '%s' "$1" >>sessionlog.txt; }

printf '%s\n' \
  "2026-11-01 20:00:00 Session start. Players: Kestrel vs Moth" \
  "2026-11-01 20:01:00 Player 1 wins match 2-0 : Sion vs Ciel (50 seconds)" \
  "2026-11-01 20:02:00 Player 2 wins match 1-2 : Sion vs Len (60 seconds)" \
  "2026-11-01 20:03:00 Session results: Kestrel vs Moth, 2 matches" \
  >sessionlog.txt

# With job control, a background job keeps SIGINT as it was rather than
# ignoring it, as a follower started at a terminal does.
set -m
"$tool" -p Kestrel --follow --format=json -o live.json 2>json.err &
pids+=($!)
"$tool" -p Kestrel --follow --format=overlay 2>overlay.err &
pids+=($!)
"$tool" -p Newcomer --follow -o newcomer.txt 2>text.err &
pids+=($!)
# A filter that no match passes yet waits for one.
"$tool" -p Kestrel --since=2026-11-02 --follow -o since.txt 2>/dev/null &
pids+=($!)

# A name that the log leads to another is a slip: no follow of nobody.
status=0
"$tool" -p kestrel --follow -o slip.txt 2>slip.err || status=$?
[ "$status" = 1 ] && [ ! -e slip.txt ] || fail "a slip was followed: $status"
grep -qx "session-stats: letter case counts: did you mean Kestrel?" slip.err \
  || fail "the slip got no hint: $(cat slip.err)"
rm slip.err

echo "== the log as it stands"
wait_for "the first output" is 'd["summary"]["matches"]' 2
is '"current_session" in d' False || fail "a session in progress before any"
wait_for "the overlay of the last session" grep -q "Last session" session_overlay.html
wait_for "the newcomer's report" grep -q "No match of Newcomer has passed yet" newcomer.txt
grep -qx "session-stats: sessionlog.txt has no match of Newcomer yet" text.err \
  || fail "the newcomer went unsaid: $(cat text.err)"

echo "== a session starts"
append $'2026-11-02 20:00:00 Session start. Players: Moth vs Kestrel\n'
wait_for "the session in progress" is 'd.get("current_session", {}).get("opponent")' Moth
wait_for "the filter's wait" grep -q "No match of Kestrel has passed yet" since.txt
is 'd["current_session"]["wins"] + d["current_session"]["losses"]' 0 || fail "a match before any"
in_progress() { ! grep -q "Last session" session_overlay.html; }
wait_for "the overlay's session" in_progress
grep -q '<span class="opponent"><bdi>Moth</bdi></span>' session_overlay.html || fail "not against Moth"

echo "== a result line written in two parts"
append '2026-11-02 20:01:00 Player 2 wins match 0-2 : Len vs Sion (1'
# The client pauses; the half line must not count (as a 1-second match).
sleep 0.5
is 'd["summary"]["matches"]' 2 || fail "a half-written line was counted"
append $'5 seconds)\n'
wait_for "the finished line" is 'd["summary"]["matches"]' 3
wait_for "the first match since the filter's day" grep -q "Total matches: 1" since.txt
is 'd["summary"]["shortest_seconds"]' 15 || fail "the match is not 15 seconds long"
is 'd["current_session"]["wins"], d["current_session"]["round_wins"]' "1 2" || fail "score"
is 'd["current_session"]["streak"], d["current_session"]["streak_is_winning"]' "1 True" || fail "streak"
is 'd["current_session"]["record_wins"], d["current_session"]["record_losses"]' "2 1" || fail "record"
wait_for "the overlay's score" grep -q 'class="score"><span class="win">1</span>' session_overlay.html

echo "== a burst of results"
for seconds in 71 72 73; do
  append "2026-11-02 20:0${seconds#7}:00 Player 1 wins match 2-1 : Len vs Ciel ($seconds seconds)"$'\n'
done
wait_for "the burst" is 'd["summary"]["matches"]' 6
is '"".join(d["current_session"]["last_results"])' "WLWLLL" || fail "last results"
is 'd["current_session"]["streak"], d["current_session"]["streak_is_winning"]' "3 False" || fail "streak of losses"
is '"/".join(d["current_session"]["characters"])' "Sion/Ciel" || fail "characters"
wait_for "the newcomer still waiting" grep -q "No match of Newcomer" newcomer.txt

echo "== the session ends"
append $'2026-11-02 20:10:00 Session results: Moth vs Kestrel, 4 matches\n'
wait_for "no session in progress" is '"current_session" in d' False
wait_for "the overlay of the last session" grep -q "Last session" session_overlay.html

echo "== the log is truncated and written again"
: >sessionlog.txt
wait_for "figures from nothing" is 'd["summary"]["matches"]' 0
grep -qx "session-stats: sessionlog.txt was truncated or replaced: reading it again from its start" \
  json.err || fail "the truncation went unsaid: $(cat json.err)"
printf '%s\n' \
  "2026-11-03 20:00:00 Session start. Players: Newcomer vs Kestrel" \
  "2026-11-03 20:01:00 Player 2 wins match 1-2 : Akiha vs Sion (90 seconds)" \
  >>sessionlog.txt
wait_for "figures of the new log" is 'd["summary"]["matches"]' 1
is 'd["current_session"]["opponent"], d["current_session"]["wins"]' "Newcomer 1" || fail "new session"
wait_for "the newcomer's first match" grep -q "Stats for: Newcomer" newcomer.txt

echo "== the log is removed, stood in for by a FIFO and a device, and made again"
rm sessionlog.txt
wait_for "one message about the log" grep -q "waiting for the log sessionlog.txt" json.err
# Neither may hold the follow: opening the FIFO would wait for a writer,
# reading the device would never end.
mkfifo sessionlog.txt
sleep 0.3
rm sessionlog.txt
ln -s /dev/zero sessionlog.txt
sleep 0.3
printf '%s\n' \
  "2026-11-04 20:00:00 Session start. Players: Kestrel vs Heron" \
  "2026-11-04 20:01:00 Player 1 wins match 2-0 : Sion vs Aoko (40 seconds)" \
  "2026-11-04 20:02:00 Player 1 wins match 2-0 : Sion vs Aoko (41 seconds)" \
  >sessionlog.tmp
mv sessionlog.tmp sessionlog.txt
wait_for "figures of the recreated log" is 'd["summary"]["matches"]' 2
is 'd["current_session"]["opponent"], d["current_session"]["wins"]' "Heron 2" || fail "recreated"
# Where the output goes once it is written, then one line for each event.
[ "$(cat json.err)" = "session-stats: following sessionlog.txt for Kestrel: live.json is rewritten after each result; Ctrl-C to stop
session-stats: sessionlog.txt was truncated or replaced: reading it again from its start
session-stats: waiting for the log sessionlog.txt" ] || fail "said: $(cat json.err)"

echo "== the log is written anew in place, longer, with other players"
{
  echo "2026-11-05 20:00:00 Session start. Players: Kestrel vs Newbie"
  for minute in $(seq 10 59); do
    echo "2026-11-05 20:$minute:00 Player 1 wins match 2-0 : Sion vs Ciel ($minute seconds)"
  done
} >longer.txt
# Stopped, the follower sees the file only once it is whole: the same file,
# grown, with other bytes where it had read.
kill -STOP "${pids[0]}"
cp longer.txt sessionlog.txt
kill -CONT "${pids[0]}"
"$tool" -p Kestrel --format=json -o fresh.json
wait_for "the report of a fresh run" cmp -s live.json fresh.json
rm longer.txt fresh.json

echo "== SIGTERM and SIGINT end the followers"
kill -TERM "${pids[0]}"
kill -INT "${pids[1]}"
kill -TERM "${pids[2]}"
kill -TERM "${pids[3]}"
for pid in "${pids[@]}"; do
  status=0
  wait "$pid" || status=$?
  [ "$status" = 0 ] || fail "a follower ended with status $status"
done
pids=()
names=$(ls -A | tr '\n' ' ')
[ "$names" = "json.err live.json newcomer.txt overlay.err session_overlay.html sessionlog.txt since.txt text.err " ] \
  || fail "left behind: $names"
python3 -c 'import json; json.load(open("live.json"))' || fail "the last output is not whole"
# Said once, though the log came back without him.
[ "$(grep -c "has no match of Newcomer yet" text.err)" = 1 ] \
  || fail "the newcomer was announced again: $(cat text.err)"
[ "$(head -1 overlay.err)" = "session-stats: following sessionlog.txt for Kestrel: session_overlay.html is rewritten after each result; Ctrl-C to stop" ] \
  || fail "overlay said: $(cat overlay.err)"
echo "PASS"
