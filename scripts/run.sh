#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Tessaline wizard.
# Arguments are passed to the program (for example a project file).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
bash "$root/scripts/install-deps.sh"
BUILD_DIR="$build" bash "$root/scripts/build.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the program on a virtual screen (Xvfb)." >&2
    exec xvfb-run -a "$build/bin/ordwick" "$@"
fi
exec "$build/bin/ordwick" "$@"
