#!/usr/bin/env bash
# velloria explore over a long generated story:
#   bench/explore.sh
# Writes a game of 1,000 scenes of 100 speech lines (bench/make-game.sh) with a two-way choice every 20 scenes from
# scene 10 on (50 choices) whose entries both go on at the next scene, so that every fork rejoins; then times `velloria explore` on
# it and prints its report's first lines and the wall time. The generated story ends in a pause without a next scene,
# which explore rightly reports as one dead end. VELLORIA names the program (default build/velloria).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
velloria="$(realpath "${VELLORIA:-$root/build/velloria}")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

CHOICE_SCENES=20 CHOICE_FROM=10 REJOIN=yes "$root/bench/make-game.sh" 100000 "$scratch/game"
"$velloria" compile "$scratch/game"
start=$(date +%s.%N)
status=0
"$velloria" explore "$scratch/game" --seconds 600 >"$scratch/report.txt" || status=$?
stop=$(date +%s.%N)
head -n 2 "$scratch/report.txt"
awk -v a="$start" -v b="$stop" -v s="$status" 'BEGIN { printf "explore: %.2f s wall time, exit status %d\n", b - a, s }'
