#!/usr/bin/env bash
# Runs every benchmark of the build folder given (default: build) and fails when one fails or prints a line
# `ratio <name> <value> <target>` whose value is over its target.
set -euo pipefail
build=${1:-build}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
failures=()
for b in "$build"/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    name=$(basename "$b")
    echo "== $name"
    if ! QT_QPA_PLATFORM=offscreen "$b" | tee "$log"; then
        failures+=("$name did not finish")
        status=1
    fi
    while read -r line; do
        failures+=("$name: $line")
        status=1
    done < <(awk '$1 == "ratio" && NF != 4 { print "malformed line: " $0 }
                  $1 == "ratio" && NF == 4 && $3 + 0 > $4 + 0 { print $2 " " $3 " is over its target " $4 }' "$log")
done
if [ "$status" -ne 0 ]; then
    echo "== benchmarks that missed:"
    printf '  %s\n' "${failures[@]}"
fi
exit "$status"
