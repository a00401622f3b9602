#!/usr/bin/env bash
# Installs what is missing, builds, and writes the Debian package
# build/tessaline_<version>_<arch>.deb (or into $BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
bash "$root/scripts/install-deps.sh"
BUILD_DIR="$build" bash "$root/scripts/build.sh"
cd "$build"
rm -f tessaline_*.deb
cpack -G DEB
