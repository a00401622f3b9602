#!/usr/bin/env bash
# The browser suite: installs its npm packages from the lock file when they
# are missing or the lock file changed ("setup"), or runs the suite ("test").
# CTest runs both (tests/browser.cmake); by hand: bash tests/browser/run.sh setup test
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for step in "$@"; do
    case "$step" in
    setup)
        if ! cmp -s package-lock.json node_modules/.installed-lock 2>/dev/null; then
            npm ci --no-audit --no-fund
            cp package-lock.json node_modules/.installed-lock
        fi
        ;;
    test)
        node --test tests/*.test.js
        ;;
    *)
        echo "usage: run.sh setup|test ..." >&2
        exit 2
        ;;
    esac
done
