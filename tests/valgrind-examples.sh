#!/usr/bin/env bash
# Runs the built programs on the example networks under valgrind (memcheck): every run must end
# with status 0 and without a memory error or a leak.
# Usage: tests/valgrind-examples.sh <build folder>
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:?usage: $0 <build folder>}" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp "$root/examples/marsh.dat" "$root/examples/pond.dat" "$scratch/"
cd "$scratch"

failed=0
check() {  # check <title> <program> <answers>
  local status=0
  printf '%b' "$3" | valgrind --quiet --error-exitcode=99 --leak-check=full \
    --errors-for-leak-kinds=definite,indirect "$build/$2" > "$1.console" 2> "$1.valgrind" ||
    status=$?
  if [ "$status" -ne 0 ]; then
    echo "valgrind: $1 ended with status $status" >&2
    cat "$1.valgrind" >&2
    failed=1
  else
    echo "valgrind: $1 clean"
  fi
}

check "flowanalysis-marsh" flowanalysis/flowanalysis "$(cat "$root/examples/marsh.answers")\n"
check "flowanalysis-pond" flowanalysis/flowanalysis 'pond.dat\ny\npond-report.txt\ny\n'
check "flowanalysis2-marsh" flowanalysis2/flowanalysis2 'marsh.dat\ny\nmarsh-report2.txt\ny\n'
check "flowentry-pond" flowentry/flowentry '2\npond.dat\nn\npond2.dat\n'
# Two compartments typed in, out of steady state, balanced on request.
check "flowentry-keyboard" flowentry/flowentry \
  '1\nTWO BOXES\n2\n1\nALGAE\nDETRITUS\n100\n50\nn\n0.01\n1\n10\n-1\nn\n1\n1\n-1\nn\n1\n2\n2\n5\n-1\nn\n1\n2\n8\n-1\nn\ntemp.dat\ny\nboxes.dat\n'
for f in marsh-report.txt marsh-report2.txt pond-report.txt pond2.dat temp.dat boxes.dat; do
  [ -s "$f" ] || { echo "valgrind: $f was not written" >&2; failed=1; }
done
exit "$failed"
