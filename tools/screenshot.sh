#!/usr/bin/env bash
# Walks the program's screens under a virtual X display with a copy of the sample data: one log-in, clock-in,
# both sheets, the maintenance menu and its editors, and log-off, saving a picture of each screen at 100 % and
# at 200 % scaling, so a person can look at them.
#   tools/screenshot.sh [build folder] [output folder] [scales]      (defaults: build, screenshots, "1 2")
# The guide's pictures:  tools/screenshot.sh build docs/images 1
# The walk is the program tsumiki-screenshots, built beside the program and never installed; no data folder of
# the program's own is touched.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="${2:-screenshots}"
scales="${3:-1 2}"
walk="$build/bin/tsumiki-screenshots"
[ -x "$walk" ] || { echo "build the program first (make build)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cp "$walk" "$work/"

for scale in $scales; do
    # Fresh sample data for each pass, so that each one shows the clock screen before and after a clock-in.
    rm -rf "$work/DB" && mkdir "$work/DB" && cp data/DB/*.csv "$work/DB/"
    folder="$out/$((scale * 100))"
    rm -rf "$folder"
    QT_SCALE_FACTOR="$scale" QT_QPA_PLATFORM=xcb HOME="$work/home" \
        timeout 60 xvfb-run -a -s "-screen 0 2560x1600x24" "$work/tsumiki-screenshots" "$(realpath -m "$folder")"
done
echo "Pictures are in: $(for scale in $scales; do printf '%s ' "$out/$((scale * 100))"; done)"
