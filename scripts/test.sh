#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through CTest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
bash "$root/scripts/install-deps.sh"
BUILD_DIR="$build" bash "$root/scripts/build.sh"

# The database servers the ODBC tests reach (scripts/test-services.sh), stopped
# again however the run ends. Should they not start, the tests that need them
# fail and say so; every other test still runs.
trap 'bash "$root/scripts/test-services.sh" stop' EXIT
if services="$(bash "$root/scripts/test-services.sh" start)"; then
    eval "$services"
else
    echo "test.sh: the test database servers did not start; the tests that need them will fail." >&2
    export TESSALINE_TEST_SERVICES=1
fi

cd "$build"
ctest --output-on-failure --timeout 600 -j "$(nproc)"
