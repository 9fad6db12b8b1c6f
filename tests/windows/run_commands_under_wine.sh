#!/usr/bin/env bash
# Runs analyze, sweep and batch on the example barrels with the Windows build
# under Wine and with the Linux build, and compares what they print: every
# number within 1e-12 relative, everything else to the letter ("\r\n" read as
# "\n").
# Usage: run_commands_under_wine.sh path/to/boreflex path/to/boreflex.exe
set -uo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
examples=$(cd "$(dirname "$0")/../../examples" && pwd)
source "$(dirname "$0")/find_wine.sh"
wine=$(wine_command) || { echo "Wine is not installed" >&2; exit 1; }
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$(mktemp -d)/wineprefix}
unset DISPLAY

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$examples"/*.toml "$scratch"
printf 'length,attachment[0].mass,attachment[0].overhang\n26,0.9,3.5\n22,1.2,2\n18,0.5,4\n' > "$scratch/designs.csv"

commands=(
  "analyze reference.toml --format json"
  "analyze suppressor.toml --format json --modes 4"
  "analyze action_springs.toml --format json"
  "analyze suppressor-mm.toml --format json"
  "sweep suppressor.toml --vary attachment[0].mass=0:1:0.25 --vary length=20:26:3"
  "sweep action_springs.toml --vary length=24:26:1 --format json"
  "batch suppressor.toml designs.csv --modes 2"
)
passed=0 failed=0
for command in "${commands[@]}"; do
  # shellcheck disable=SC2086 # each command is a list of words
  (cd "$scratch" && "$linux" $command > linux.out; echo $? > linux.status)
  # shellcheck disable=SC2086
  (cd "$scratch" && setsid "$wine" "$windows" $command > windows.out 2>/dev/null; echo $? > windows.status)
  if cmp -s "$scratch/linux.status" "$scratch/windows.status" &&
     python3 - "$scratch/linux.out" "$scratch/windows.out" <<'PYTHON'
import re, sys
number = re.compile(r"-?\d+(?:\.\d+)?(?:[eE][-+]?\d+)?")
linux, windows = (open(name, newline="").read().replace("\r\n", "\n") for name in sys.argv[1:3])
if number.sub("#", linux) != number.sub("#", windows):
    sys.exit(1)
for a, b in zip(number.findall(linux), number.findall(windows)):
    x, y = float(a), float(b)
    if abs(x - y) > 1e-12 * max(abs(x), abs(y)):
        sys.exit(1)
PYTHON
  then
    echo "ok $command"; passed=$((passed + 1))
  else
    echo "FAILED $command"; failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
