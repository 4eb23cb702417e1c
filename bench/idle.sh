#!/usr/bin/env bash
# Start-up, memory and idle CPU of the engine in a real window:
#   bench/idle.sh [GAME_DIR ...]
# Default games: the bundled demo and a generated game of 100,000 speech lines (bench/make-game.sh). Each game is
# copied to a scratch folder and compiled first, so every run reads up-to-date compiled scripts. Per game, the
# median of RUNS runs (default 3) of:
#   start  wall time of `velloria GAME --frames 1`: exec to the end of a normal exit after the first frame was drawn
#          and presented (the exit is included, so this is a little more than the time to the first screen)
#   peak   the run's peak resident memory (ru_maxrss from /usr/bin/time, the VmHWM the kernel keeps)
#   idle   CPU seconds (user + system, all threads, from /proc/PID/stat) the running game uses in IDLE_SECONDS
#          (default 10) once it has stood SETTLE_SECONDS (default 3) at its first screen; "music" is the game as it
#          is, "silent" a copy with every playlist( statement removed
#   check  wall time of `velloria check GAME`
# Runs under xvfb-run when no display is set. VELLORIA names the program (default build/velloria); the SDL_*
# variables of the calling environment are passed on, e.g. SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$@"
fi
# Without a sound card OpenAL Soft mixes into its null device, so the music is decoded and mixed as it would be.
[[ -e /dev/snd ]] || export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
velloria="$(realpath "${VELLORIA:-$root/build/velloria}")"
runs=${RUNS:-3}
settle=${SETTLE_SECONDS:-3}
idle=${IDLE_SECONDS:-10}
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f\n", b - a }'; }

# CPU ticks of the process so far: utime + stime, fields 14 and 15 (counted after the name's closing bracket).
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }

start_run() {
    local game=$1 user="$scratch/user$RANDOM"
    local t0 t1
    t0=$(now)
    /usr/bin/time -f %M -o "$scratch/rss" "$velloria" "$game" --frames 1 --user-dir "$user" >/dev/null 2>&1
    t1=$(now)
    echo "$(elapsed "$t0" "$t1") $(awk '{ printf "%.1f", $1 / 1024 }' "$scratch/rss")"
}

idle_run() {
    local game=$1 user="$scratch/user$RANDOM" pid before after
    "$velloria" "$game" --user-dir "$user" >/dev/null 2>&1 &
    pid=$!
    sleep "$settle"
    before=$(cpu_ticks "$pid")
    sleep "$idle"
    after=$(cpu_ticks "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f\n", t / hz }'
}

check_run() {
    local t0 t1
    t0=$(now)
    "$velloria" check "$1" >/dev/null 2>&1
    t1=$(now)
    elapsed "$t0" "$t1"
}

measure() {
    local name=$1 game=$2 silent="$2-silent" starts=() peaks=() music=() quiet=() checks=() i
    cp -r "$game" "$silent"
    find "$silent" -name '*.vls' -exec sed -i '/^[[:space:]]*playlist(/d' {} +
    "$velloria" compile "$game" >/dev/null 2>&1
    "$velloria" compile "$silent" >/dev/null 2>&1
    for ((i = 0; i < runs; ++i)); do
        read -r s p < <(start_run "$game")
        starts+=("$s") peaks+=("$p")
        checks+=("$(check_run "$game")")
        music+=("$(idle_run "$game")")
        quiet+=("$(idle_run "$silent")")
    done
    printf '%-12s %8s %10s %12s %13s %8s\n' "$name" \
        "$(printf '%s\n' "${starts[@]}" | median)" "$(printf '%s\n' "${peaks[@]}" | median)" \
        "$(printf '%s\n' "${music[@]}" | median)" "$(printf '%s\n' "${quiet[@]}" | median)" \
        "$(printf '%s\n' "${checks[@]}" | median)"
}

games=("$@")
if [[ ${#games[@]} -eq 0 ]]; then
    "$root/bench/make-game.sh" 100000 "$scratch/source-100k"
    games=("$root/games/demo" "$scratch/source-100k")
fi

echo "velloria: $velloria; SDL_RENDER_DRIVER=${SDL_RENDER_DRIVER:-} SDL_FRAMEBUFFER_ACCELERATION=${SDL_FRAMEBUFFER_ACCELERATION:-}"
echo "medians of $runs runs; idle CPU over ${idle} s after ${settle} s at the first screen"
printf '%-12s %8s %10s %12s %13s %8s\n' game "start s" "peak MiB" "idle music s" "idle silent s" "check s"
for game in "${games[@]}"; do
    name="$(basename "$game")"
    copy="$scratch/game$RANDOM"
    cp -r "$game" "$copy"
    find "$copy" -name '*.cvls' -delete
    measure "${name#source-}" "$copy"
done
