#!/usr/bin/env bash
# Velloria's one entry point for a fresh Debian 12 machine:
#   ./build.sh run [GAME_DIR] [options]   install what is missing, build, run a game (default games/demo)
#   ./build.sh test                       install what is missing, build, run the whole test suite; then build
#                                         again with AddressSanitizer, UndefinedBehaviorSanitizer and the fuzz
#                                         targets (clang) and run the suite and a short run of every fuzz target
#                                         there (VELLORIA_QUICK=1 skips that second pass)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$root/build"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/install-deps.sh"

werror="OFF"
[ "${CI:-}" = "true" ] && werror="ON"

configure_and_build() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORIA_WERROR="$werror" >/dev/null
    cmake --build "$build" -j "$jobs"
}

# The second pass: every test again under the sanitizers (the engine runs of the end-to-end tests included, so a
# leak in a whole demo run fails them), then each fuzz target for VELLORIA_FUZZ_SECONDS (default 30).
sanitized_tests() {
    local sanitized="$root/build-asan"
    CC=clang CXX=clang++ cmake -S "$root" -B "$sanitized" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORIA_WERROR="$werror" \
        -DVELLORIA_SANITIZE=ON -DVELLORIA_FUZZ=ON -DVELLORIA_BENCH=OFF \
        -DVELLORIA_FUZZ_SECONDS="${VELLORIA_FUZZ_SECONDS:-30}" >/dev/null
    cmake --build "$sanitized" -j "$jobs"
    cd "$sanitized"
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" \
        LSAN_OPTIONS="suppressions=$root/scripts/leak-suppressions.txt:print_suppressions=0" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        ctest --output-on-failure -j "$jobs" --timeout 600
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
    # The share of tests in the code, for the log; the test suite's TestRatio fails when it passes the limit.
    "$root/scripts/test-ratio.sh" "$root" || true
    (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 300)
    [ "${VELLORIA_QUICK:-}" = "1" ] || sanitized_tests
    ;;
*)
    echo "usage: $0 run [GAME_DIR] [options] | test" >&2
    exit 2
    ;;
esac
