#!/usr/bin/env bash
# Skip mode over a long story, headless with every frame lasting 1/60 s:
#   bench/skip.sh [LINES]
# Writes a generated game of LINES speech lines (default 100,000: 1,000 scenes of 100 lines, two characters, a
# background change every 20 lines, no choices; bench/make-game.sh), marks every line read by skipping through it
# once with the "skip unread text" preference on (so the engine's own writer makes read.dfn), then times a second
# run that skips through the story with the preference off, from start-up to the frame after the last line. Prints
# the wall time and the lines skipped per second of it, and the same for the run's CPU time (user + system), which
# other work on the machine does not inflate. Needs /usr/bin/time. VELLORIA names the program (default
# build/velloria).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
velloria="$(realpath "${VELLORIA:-$root/build/velloria}")"
lines=${1:-100000}
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
game="$scratch/game"
user="$scratch/user"

CHOICES=no "$root/bench/make-game.sh" "$lines" "$game"
"$velloria" compile "$game"
echo "1 key tab" >"$scratch/skip.replay"
scenes=$(((lines + 99) / 100))
# The pause after the last line: reached once every line has gone by.
last="command s$scenes [0-9]* Pause"

run() { # FRAMES TRACE
    "$velloria" "$game" --headless --user-dir "$user" --frames "$1" --input "$scratch/skip.replay" --trace "$2"
}

# The marking run: generous frames, as read.dfn is only written at the end.
mkdir -p "$user"
printf '[player]\nskipunread=yes\n' >"$user/settings.ini"
run $((lines * 4 + 600)) "$scratch/mark.trace"
end=$(grep -m1 " $last" "$scratch/mark.trace" | cut -d' ' -f1 || true)
[[ -n $end && -s $user/read.dfn ]] || { echo "the marking run did not reach the last line" >&2; exit 1; }
printf '[player]\nskipunread=no\n' >"$user/settings.ini"

start=$(date +%s.%N)
/usr/bin/time -o "$scratch/cpu" -f "%U %S" "$velloria" "$game" --headless --user-dir "$user" --frames $((end + 1)) \
    --input "$scratch/skip.replay" --trace "$scratch/skip.trace"
stop=$(date +%s.%N)
if ! grep -q " $last" "$scratch/skip.trace" || grep -q " skip off" "$scratch/skip.trace"; then
    echo "the timed run stopped before the last line" >&2
    exit 1
fi
read -r user_s system_s <"$scratch/cpu"
awk -v a="$start" -v b="$stop" -v n="$lines" -v f="$((end + 1))" -v cpu="$(awk -v u="$user_s" -v s="$system_s" 'BEGIN { print u + s }')" 'BEGIN {
    printf "skip: %d lines in %d frames, %.2f s wall time, %.0f lines/s (%.2f s CPU, %.0f lines per CPU second)\n",
        n, f, b - a, n / (b - a), cpu, n / cpu
}'
