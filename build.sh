#!/usr/bin/env bash
# Velloria's one entry point for a fresh Debian 12 machine:
#   ./build.sh run [GAME_DIR] [options]   install what is missing, build, run a game (default games/demo)
#   ./build.sh test                       install what is missing, build, run the whole test suite
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$root/build"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/install-deps.sh"

configure_and_build() {
    local werror="OFF"
    [ "${CI:-}" = "true" ] && werror="ON"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORIA_WERROR="$werror" >/dev/null
    cmake --build "$build" -j "$jobs"
}

command="${1:-run}"
shift || true
case "$command" in
run)
    configure_and_build
    game="$root/games/demo"
    if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
        game="$1"
        shift
    fi
    exec "$build/velloria" "$game" "$@"
    ;;
test)
    configure_and_build
    cd "$build"
    ctest --output-on-failure -j "$jobs" --timeout 300
    ;;
*)
    echo "usage: $0 run [GAME_DIR] [options] | test" >&2
    exit 2
    ;;
esac
