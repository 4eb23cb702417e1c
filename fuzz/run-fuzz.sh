#!/usr/bin/env bash
# One bounded fuzzing run: TARGET SECONDS SEEDS [FINDINGS]. New inputs go to a scratch corpus, so the committed seeds
# stay as they are; a crashing input is kept in fuzz-findings/ under the working folder and fails the run.
set -euo pipefail
target="$1"
seconds="$2"
shift 2
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
corpus="$scratch/corpus"
mkdir "$corpus"
# The targets make their scratch files under TMPDIR, so they go with the run.
export TMPDIR="$scratch"
findings="$PWD/fuzz-findings"
# Leaks inside the libraries the engine uses are known and listed there.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/scripts/leak-suppressions.txt}"
inputs=()
for folder in "$@"; do
    [ -d "$folder" ] && inputs+=("$folder")
done
mkdir -p "$findings"
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$(basename "$target")-" "$corpus" "${inputs[@]}"
