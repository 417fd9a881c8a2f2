#!/bin/sh
# Installs a build tree into a fresh prefix and builds the consumer against
# the installed tree twice, through find_package(zkall) and through
# pkg-config, then runs both.
# Usage: check_install.sh BUILD_DIR WORK_DIR C_COMPILER
set -eu
build=$1
work=$2
cc=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
prefix=$(cd "$work" && pwd)/prefix

cmake --install "$build" --prefix "$prefix" > "$work/install.log"
for f in include/zkall.h lib/libzkall.so lib/libzkall.so.1 lib/cmake/zkall/zkallConfig.cmake lib/pkgconfig/zkall.pc; do
  [ -e "$prefix/$f" ] || { echo "FAIL: the installed tree lacks $f"; exit 1; }
done

# find_package(zkall) -> zkall::zkall
cmake -S "$here/consumer" -B "$work/cmake" -DCMAKE_C_COMPILER="$cc" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release > "$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; exit 1; }
cmake --build "$work/cmake" > "$work/cmake-build.log" 2>&1 || { cat "$work/cmake-build.log"; exit 1; }
"$work/cmake/consumer" "$prefix"

# pkg-config zkall
PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --exists zkall || { echo "FAIL: pkg-config does not find zkall"; exit 1; }
flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs zkall)
# shellcheck disable=SC2086
"$cc" -o "$work/pc-consumer" "$here/consumer/consumer.c" $flags -ldl -Wl,-rpath,"$prefix/lib"
"$work/pc-consumer" "$prefix"
echo "OK: the installed tree serves find_package and pkg-config"
