#!/usr/bin/env bash
# The Windows program in a console window, as Wine shows it: started from a
# terminal, Wine gives the program a console window of its own (as a double
# click does on Windows), whose code page is not UTF-8. Usage:
#   windows_console_test.sh WINE SESSION_STATS_EXE
# A double click: the name typed (Zoë) reaches the program in UTF-8, which
# writes the text report and the page beside it, says so, and on Enter
# opens the page (through a recording opener: no browser starts), or says
# the error and waits for Enter; the name is remembered and offered by the
# next double click; a name in another letter case is asked about, a
# mistyped one asked for again, and a missing log sends the player to the
# client's folder. Started from cmd.exe, which shares the window, it ends at
# once as on Linux.
# Exits 77 (skipped) without script(1) to make a terminal.
set -euo pipefail
wine=$1 exe=$2
command -v script >/dev/null || exit 77
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
# Wine reads what is typed in the terminal's character set.
export LC_ALL=C.UTF-8
# Wine gives APPDATA the Wine prefix's own folder: the remembered player
# is removed from it before and after. The page goes to an opener that
# writes down what it was given.
settings=$("$wine" winepath -u "$("$wine" cmd /c 'echo %APPDATA%' | tr -d '\r')")
settings=${settings%/}/session-stats
rm -rf "$settings"
trap 'rm -rf "$dir" "$settings"' EXIT
export SESSION_STATS_OPENER="Z:${dir//\//\\}\\opener.cmd"
printf '@echo %%~1>"%%~dp0opened.txt"\r\n' >opener.cmd

fail() {
  printf 'FAIL: %s\nscreen:\n' "$1"
  cat screen.txt
  exit 1
}

# Runs the command line $1 in a terminal, typing the lines that follow with
# pauses as a player would; leaves the text of the screen in screen.txt and
# the exit status in $status. A run still going after $limit seconds ends
# with status 124.
limit=120
inTerminal() {
  local command=$1
  shift
  status=0
  {
    for line in "$@"; do
      sleep 2
      printf '%s\r' "$line"
    done
  } | timeout "$limit" script -qec "$command" /dev/null >screen.raw ||
    status=$?
  # The screen's control sequences and carriage returns go; Wine moves the
  # cursor over blanks, which become one blank.
  sed 's/\x1b\[[0-9]*C/ /g; s/\x1b\[[?0-9;]*[a-zA-Z]//g; s/\x1b\][^\x07]*\x07//g' screen.raw |
    tr -d '\r' >screen.txt
}

printf 'Session start. Players: Zo\xc3\xab vs Moth\nPlayer 1 wins match 2-0 : Sion vs Ciel (50 seconds)\n' \
  >sessionlog.txt

inTerminal "'$wine' '$exe'" 'Zoë' ''
[ "$status" -eq 0 ] || fail "double click: status $status"
grep -q 'Generate session_stats.txt for who: ' screen.txt || fail "no prompt"
grep -q 'Wrote session_stats.txt and session_stats.html for Zoë\.' screen.txt ||
  fail "no summary"
grep -q 'Press Enter to open the page in your browser, or close this window\.' \
  screen.txt || fail "no wait"
grep -q 'Stats for: Zoë' session_stats.txt || fail "report not for Zoë"
grep -q '<title>.*Zoë' session_stats.html || fail "no page for Zoë"
for _ in $(seq 100); do [ -s opened.txt ] && break; sleep 0.1; done
[ "$(tr -d '\r\n' <opened.txt)" = session_stats.html ] || fail "page not opened"
grep -q 'Zoë' "$settings/player.txt" || fail "name not remembered"

# The second double click offers the name: Enter alone takes it.
rm session_stats.txt opened.txt
inTerminal "'$wine' '$exe'" '' ''
[ "$status" -eq 0 ] || fail "offered name: status $status"
grep -q 'Generate session_stats.txt for who \[Zoë\]: ' screen.txt ||
  fail "name not offered"
grep -q 'Stats for: Zoë' session_stats.txt || fail "offer not taken"
rm -rf "$settings"

# Without Enter the window stays.
limit=15 inTerminal "'$wine' '$exe' -p Zoë"
[ "$status" -eq 124 ] || fail "did not wait for Enter: status $status"
grep -q 'Wrote session_stats.txt for Zoë\.' screen.txt || fail "no summary"

rm -rf session_stats.txt "$settings"
inTerminal "'$wine' '$exe' -p Nobody" ''
[ "$status" -eq 1 ] || fail "unknown name: status $status"
grep -q 'session-stats: sessionlog.txt names no player Nobody' screen.txt ||
  fail "no error shown"
grep -q 'Press Enter to close this window\.' screen.txt || fail "no wait"
[ ! -e session_stats.txt ] || fail "report written"

# A name in the wrong letter case is asked about; a line of two wrong
# words is one wrong answer, with its hint and the prompt again.
inTerminal "'$wine' '$exe'" 'Zoe Moth' 'zoë' 'y' ''
[ "$status" -eq 0 ] || fail "asked again: status $status"
[ "$(grep -c 'Generate session_stats.txt for who: ' screen.txt)" -eq 2 ] ||
  fail "not asked again"
grep -q 'names no player Zoe Moth' screen.txt || fail "no refusal"
grep -q 'Zoë? \[Y/n\]' screen.txt || fail "not asked about the case"
grep -q 'Stats for: Zoë' session_stats.txt || fail "no report after the retry"
rm -rf "$settings"

# No log beside it: where the program belongs.
mkdir elsewhere
(
  cd elsewhere
  inTerminal "'$wine' '$exe'" ''
  [ "$status" -eq 1 ] || fail "no log: status $status"
  # The console window is narrower than the line.
  tr -d '\n' <screen.txt |
    grep -q "put session-stats.exe in the netplay client's folder and start it there" ||
    fail "no word of the client's folder"
)

# From cmd.exe, which shares the window: no summary, no wait.
windowsExe="Z:${exe//\//\\}"
inTerminal "'$wine' cmd /c '$windowsExe' -p Zoë"
[ "$status" -eq 0 ] || fail "from cmd: status $status"
grep -q 'Press Enter' screen.txt && fail "waited when started from cmd"
grep -q 'Wrote' screen.txt && fail "summary when started from cmd"
grep -q 'Stats for: Zoë' session_stats.txt || fail "from cmd: no report"
echo "double click and cmd.exe behave"
