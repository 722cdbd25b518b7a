#!/usr/bin/env bash
# Checks a built package without installing it: lintian, desktop-file-validate and appstreamcli validate on its
# files, then the program unpacked into a temporary root and started offscreen with a temporary HOME, which must
# create the new shop's data folder there from the package's own starting folder.
#   tools/check-package.sh <tsumiki_VERSION_amd64.deb>
set -euo pipefail
deb="$(realpath "$1")"
work="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

echo "== lintian"
# Errors fail the check; the warnings that stay are listed with their reasons in the README.
LC_ALL=C.UTF-8 lintian --fail-on error "$deb"

root="$work/root"
dpkg-deb -x "$deb" "$root"
echo "== desktop-file-validate"
desktop-file-validate "$root"/usr/share/applications/*.desktop
echo "== appstreamcli validate"
# No network: the screenshot's address is checked for its form only.
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml

echo "== first start of the unpacked program"
home="$work/home"
mkdir -p "$home"
env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen "$root/usr/bin/tsumiki" >"$work/out" 2>&1 &
pid=$!
data="$home/.local/share/tsumiki"
# The notice is printed once the folder is complete and its tables have been read.
for _ in $(seq 300); do
    grep -q 0001 "$work/out" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/out"; echo "the program ended at its first start" >&2; exit 1; }
    sleep 0.1
done
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""
cat "$work/out"
# Every starting file, byte for byte, and the output folder.
starting="$(cd "$root/usr/share/tsumiki" && find . -type f)"
[ -n "$starting" ]
while read -r f; do cmp "$root/usr/share/tsumiki/$f" "$data/$f"; done <<<"$starting"
[ -d "$data/出力帳票" ]
echo "package check passed: $(basename "$deb")"
