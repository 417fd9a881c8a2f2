#!/bin/sh
# The demo: installs what is missing, builds the library and the zkall tool,
# lays the demo installation out in a temporary directory and runs the
# guided tour through it. Usage: scripts/demo.sh [<dir>] (default: a new
# temporary directory, kept so it can be explored with zkall afterwards).
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

scripts/deps.sh cmake g++ make pkg-config libtiff-dev libpng-dev

cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DZKALL_BUILD_TESTS=OFF >/dev/null
cmake --build build/demo -j"$jobs" --target zkall_tool >/dev/null

dir=${1:-$(mktemp -d "${TMPDIR:-/tmp}/zkall-demo.XXXXXX")}
build/demo/tools/zkall build data/demo/installation.zkd "$dir"
echo
build/demo/tools/zkall tour --install "$dir"
echo
echo "The demo installation stays in $dir; explore it with, for example:"
echo "  build/demo/tools/zkall discs --install $dir"
echo "  build/demo/tools/zkall find E1 HINM04.DAT 3000 --install $dir"
echo "  build/demo/tools/zkall vin SZKSL16GL0A123456 199805 --install $dir"
