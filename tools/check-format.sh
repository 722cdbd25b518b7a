#!/usr/bin/env bash
# Fails, listing them, when clang-format (with the repository's .clang-format) would change any C++ file of the tree.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
fi
report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1) && exit 0
mapfile -t unformatted < <(printf '%s\n' "$report" |
    sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#unformatted[@]} -eq 0 ]; then
    # clang-format failed for another reason (a missing file, a broken .clang-format): show what it said.
    printf '%s\n' "$report" >&2
    exit 1
fi
echo "clang-format would change these files (run 'make format' and commit the result):" >&2
printf '  %s\n' "${unformatted[@]}" >&2
exit 1
