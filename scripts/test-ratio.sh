#!/usr/bin/env bash
# Prints the lines of the tests against the lines of the engine (src/ and include/), blank and comment-only lines
# left out, and fails when the tests pass the given share of the code (default 0.40).
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
limit="${2:-0.40}"
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | grep -c -v -E '^\s*(//.*)?$'
}
tests=$(count "$root/tests")
code=$(count "$root/src" "$root/include")
ratio=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.3f", t / c }')
echo "test lines: $tests, code lines: $code, tests / code: $ratio (at most $limit)"
awk -v r="$ratio" -v l="$limit" 'BEGIN { exit !(r <= l) }'
