#!/usr/bin/env bash
# Starts the program under a virtual X display with a copy of the sample data, walks it through one log-in and
# clock-in, and saves a picture of each screen at 100 % and at 200 % scaling, so a person can look at them.
#   tools/screenshot.sh [build folder] [output folder]      (defaults: build, screenshots)
# The program's own application folder (build/app) is not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="${2:-screenshots}"
program="$build/src/app/tsumiki"
[ -x "$program" ] || { echo "build the program first (make build)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cp "$program" "$work/tsumiki"

for scale in 1 2; do
    # Fresh sample data for each pass, so that each one shows the clock screen before and after a clock-in.
    rm -rf "$work/DB" && mkdir "$work/DB" && cp data/DB/*.csv "$work/DB/"
    folder="$out/$((scale * 100))"
    rm -rf "$folder"
    TSUMIKI_SCREENSHOT_DIR="$(realpath -m "$folder")" QT_SCALE_FACTOR="$scale" QT_QPA_PLATFORM=xcb \
        timeout 60 xvfb-run -a -s "-screen 0 2560x1600x24" "$work/tsumiki"
done
echo "Pictures are in $out/100 and $out/200."
