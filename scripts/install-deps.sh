#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Run as root; packages already present are not fetched again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    unixodbc unixodbc-dev
    # Readers of Access, Excel and dBase files.
    mdbtools-dev libfreexl-dev libshp-dev
    xvfb xauth
    # SQLite files, and the database servers and ODBC drivers of the tests
    # (scripts/test-services.sh).
    libsqlite3-dev sqlite3 libsqliteodbc
    postgresql odbc-postgresql mariadb-server odbc-mariadb
    # The preview host: its script engine and HTTP server.
    qt6-declarative-dev libcpp-httplib-dev
    # The generation engine's tests parse the generated scripts with Node; the
    # browser suite (tests/browser) drives Debian's Chromium from Node.
    nodejs chromium fonts-dejavu-core
    # The fuzz targets (scripts/fuzz.sh): clang with libFuzzer and the sanitizers.
    clang libclang-rt-14-dev
    # The Debian package (scripts/package.sh) and its checks (tests/package.sh).
    dpkg-dev lintian desktop-file-utils appstream
)
# npm comes with some builds of nodejs; Debian's own package only where it did not.
if ! command -v npm >/dev/null 2>&1; then
    packages+=(npm)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing: ${missing[*]}" >&2
    echo "Run this script as root (or with sudo) to install them." >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
