#!/usr/bin/env bash
# The bash completion as a user meets it: each row gives the words bash hands
# the completion function for a command line typed up to a Tab (COMP_WORDS,
# split as bash splits them, "--log=x" into "--log" "=" "x") and the
# completions expected in COMPREPLY, in any order. The words run from a
# folder that holds the example log, some files with blanks in their names
# and a home folder with a second log.
#
#   bash tests/completion_test.sh SESSION_STATS COMPLETION_SCRIPT
# The rows hold tildes as typed, which the completion, not this shell, expands.
# shellcheck disable=SC2088
set -uo pipefail
tool=$(cd "$(dirname "$1")" && pwd)
completion=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
example=$(cd "$(dirname "$0")/../examples" && pwd)/sessionlog.txt

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home PATH=$tool:$PATH
mkdir -p "$HOME/old logs" "$work/run/sub dir"
cd "$work/run" || exit 1
cp "$example" sessionlog.txt
touch 'my file.txt' fox.txt "$HOME/fox.txt"
cat >"$HOME/old logs/rotated log.txt" <<'LOG'
2026-10-01 20:00:00 Session start. Players: Ana Lee vs Bob O'Neil
2026-10-01 20:01:00 Player 1 wins match 2-0 : Sion vs Ciel (60 seconds)
LOG
# shellcheck source=/dev/null
source "$completion"

failures=0
# check WORD... :: COMPLETION...: completes the last WORD.
check() {
  local words=() expected=() line='' word
  while [[ $1 != '::' ]]; do
    words+=("$1")
    shift
  done
  shift
  expected=("$@")
  for word in "${words[@]}"; do
    if [[ $word == = || $line == *= ]]; then line+=$word; else line+=" $word"; fi
  done
  COMP_WORDS=("${words[@]}")
  COMP_CWORD=$((${#words[@]} - 1))
  COMP_LINE=${line# }
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  # Standard input holds a log here; at a prompt it is the terminal, which
  # a completion must never read.
  _session_stats session-stats "${words[COMP_CWORD]}" \
    "${words[COMP_CWORD - 1]}" <"$example"
  local got want
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
  want=$(printf '%s\n' "${expected[@]}" | sort)
  if [[ $got != "$want" ]]; then
    printf 'FAIL: %s\n  expected: %s\n  got:      %s\n' "$COMP_LINE" \
      "${want//$'\n'/ | }" "${got//$'\n'/ | }"
    failures=$((failures + 1))
  fi
}

rotated='~/old\ logs/rotated\ log.txt'
# Options.
check session-stats --ver :: --version
check session-stats --l :: --log --list --last-sessions
check session-stats --format = j :: json
# Files apart, after '=' and attached, quoted or not, and from ~; readline
# quotes them (compopt -o filenames) from what follows an open quote.
check session-stats -l "'my fi" :: 'my file.txt'
check session-stats -l 'my\ fi' :: 'my file.txt'
check session-stats --log = '"my f' :: 'my file.txt'
check session-stats -o "my' 'f" :: 'my file.txt'
check session-stats -lmy\\\ f :: '-lmy file.txt'
check session-stats "-l'my f" :: 'my file.txt'
check session-stats -l '~/fo' :: '~/fox.txt'
check session-stats --output = '~/' :: '~/fox.txt' '~/old logs'
check session-stats '-o~/o' :: '-o~/old logs/'
check session-stats -ls :: -lsessionlog.txt '-lsub dir/'
# Characters: the report's short name, or the long name when only that one
# begins with what is typed; any letter case; quoted for the shell or for
# the quote left open.
check session-stats --character = '' :: Sion Arcueid Ciel Akiha 'H\&K' \
  Hisui Kohaku Shiki Miyako Warakia Nrvnqsr V.Sion Warcueid V.Akiha M.Hisui \
  Nanaya Satsuki Len Aoko W.Len Kouma N.A.Chaos Neco-Arc
check session-stats --character = h :: 'H\&K' Hisui
check session-stats --against 'hisui\ a' :: 'Hisui\ and\ Kohaku'
check session-stats --against = "'neco" :: 'Neco-Arc Chaos' Neco-Arc
check session-stats --character '"n.a' :: N.A.Chaos
check session-stats --character = WARC :: Warcueid
check session-stats --character = zelda ::
# Players of the logs the command line names: sessionlog.txt by default,
# another through a quoted, ~ or attached path, or both as one history.
check session-stats -p K :: Kestrel
check session-stats -pK :: -pKestrel
check session-stats --player = "'He" :: Heron
check session-stats --opponent '' :: Kestrel Moth Heron Wren
check session-stats -l "$rotated" -p '' :: 'Ana\ Lee' "Bob\\ O\\'Neil"
check session-stats --log = "'$HOME/old logs/rotated log.txt'" -p A :: 'Ana\ Lee'
check session-stats -l sessionlog.txt "-l$rotated" --opponent "'B" :: "Bob O'\\''Neil"
check session-stats -l sessionlog.txt "-l$rotated" -p '"' :: 'Ana Lee' \
  "Bob O'Neil" Kestrel Moth Heron Wren
check session-stats -p K -l "$rotated" :: '~/old logs/rotated log.txt'
check session-stats -l - -p '' ::
check session-stats -l missing.txt -p '' ::

if ((failures > 0)); then
  echo "$failures completion rows failed"
  exit 1
fi
echo "completion rows passed"
