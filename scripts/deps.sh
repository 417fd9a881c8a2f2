#!/bin/sh
# Installs the Debian packages the build, the tests, the tools and the
# benchmarks need, each only when it is missing. Usage: scripts/deps.sh [pkg...]
# (no arguments: the packages of the test command).
set -eu

packages=${*:-"cmake g++ make pkg-config libgtest-dev libtiff-dev libpng-dev libbenchmark-dev libsqlite3-dev xorriso g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine64"}
missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# shellcheck disable=SC2086
if ! $SUDO apt-get install -y --no-install-recommends $missing; then
  $SUDO apt-get update
  # shellcheck disable=SC2086
  $SUDO apt-get install -y --no-install-recommends $missing
fi
