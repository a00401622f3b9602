#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-sanitize/ (or $SANITIZE_BUILD_DIR) and runs the test suite there,
# the database servers included (scripts/test-services.sh; its TESSALINE_*
# variables move them). Not part of CI: the instrumented build and suite take
# much longer than the plain ones.
#
#   scripts/sanitize.sh [ctest arguments]    e.g. -R tst_projectfile
#
# SANITIZE_TARGETS: build only these targets (default: everything).
# SANITIZE_SERVICES=0: start no database servers (for tests that need none).
#
# By default the browser suite, the fuzzing and the package are left out
# (-LE 'browser|fuzz|package'): Chromium is not built with the sanitizers, the
# fuzz targets have their own sanitizer build (scripts/fuzz.sh), and a package
# is made of the release build (scripts/package.sh), not of this one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${SANITIZE_BUILD_DIR:-$root/build-sanitize}"
bash "$root/scripts/install-deps.sh"

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
if [ -n "${SANITIZE_TARGETS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build "$build" --parallel "$(nproc)" --target $SANITIZE_TARGETS
else
    cmake --build "$build" --parallel "$(nproc)"
fi

if [ "${SANITIZE_SERVICES:-1}" != 0 ]; then
    trap 'bash "$root/scripts/test-services.sh" stop' EXIT
    if services="$(bash "$root/scripts/test-services.sh" start)"; then
        eval "$services"
    else
        echo "sanitize.sh: the test database servers did not start; the tests that need them will fail." >&2
        export TESSALINE_TEST_SERVICES=1
    fi
fi

# Leaks are reported; a sanitizer report fails the test that made it. The
# engine library is loaded by programs that are instrumented themselves, so the
# runtime is always there first.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
if [ $# -eq 0 ]; then
    set -- -LE 'browser|fuzz|package'
fi
ctest --output-on-failure --timeout 1200 -j "$(nproc)" "$@"
