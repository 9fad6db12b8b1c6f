#!/usr/bin/env bash
# Runs every golden case with the Windows build of boreflex under Wine, as a
# user would with the answers redirected from a file and no console attached
# (so the final key wait returns at once), and compares what it leaves with
# the expected files. Windows writes text files and the console in text mode,
# so "\r\n" is read as "\n"; nothing else may differ.
# Usage: run_golden_under_wine.sh path/to/boreflex.exe
set -uo pipefail
exe=$(realpath "$1")
golden=$(cd "$(dirname "$0")/../golden" && pwd)

export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$(mktemp -d)/wineprefix}
unset DISPLAY
source "$(dirname "$0")/find_wine.sh"
wine=$(wine_command) || { echo "Wine is not installed" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0
for case_dir in "$golden"/*/; do
  name=$(basename "$case_dir")
  work="$scratch/$name"
  mkdir -p "$work"
  (cd "$work" && setsid "$wine" "$exe" < "$case_dir/answers.txt" > "$scratch/$name.console" 2>/dev/null)
  status=$?
  ok=1
  for expected in "$case_dir"*; do
    file=$(basename "$expected")
    case $file in
      answers.txt) continue ;;
      console.txt) actual="$scratch/$name.console" ;;
      status.txt) printf '%s\n' "$status" > "$scratch/$name.status"; actual="$scratch/$name.status" ;;
      *) actual="$work/$file" ;;
    esac
    if ! perl -pe 's/\r\n/\n/g' "$actual" 2>/dev/null | cmp -s - "$expected"; then
      echo "FAILED $name: $file differs"
      perl -pe 's/\r\n/\n/g' "$actual" 2>/dev/null | diff - "$expected" | head -n 10
      ok=0
    fi
  done
  if [ $ok = 1 ]; then passed=$((passed + 1)); echo "ok $name"; else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
