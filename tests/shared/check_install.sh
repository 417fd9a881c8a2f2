#!/bin/sh
# Installs a build tree into a fresh prefix and builds the consumer against
# the installed tree twice, through find_package(zkall) and through
# pkg-config, then runs both. With "windows" (a build of the 32-bit DLL):
# checks the installed files and links a program through pkg-config and the
# import library, which must import the decorated names from ZKALL.dll.
# Usage: check_install.sh BUILD_DIR WORK_DIR C_COMPILER [windows]
set -eu
build=$1
work=$2
cc=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
prefix=$(cd "$work" && pwd)/prefix

cmake --install "$build" --prefix "$prefix" > "$work/install.log"
if [ "${4:-}" = windows ]; then
  for f in include/zkall.h bin/ZKALL.dll lib/libZKALL.dll.a lib/cmake/zkall/zkallConfig.cmake lib/pkgconfig/zkall.pc; do
    [ -e "$prefix/$f" ] || { echo "FAIL: the installed tree lacks $f"; exit 1; }
  done
  printf '#include "zkall.h"\nint main(void) { char s[160]; return drom_init() + VBGetMsg(881, s) + cdmsgid(700); }\n' \
    > "$work/win-consumer.c"
  flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs zkall)
  # shellcheck disable=SC2086
  "$cc" -o "$work/win-consumer.exe" "$work/win-consumer.c" $flags
  objdump -p "$work/win-consumer.exe" | awk '/DLL Name: ZKALL.dll/ { t = 1; next } t && NF == 0 { t = 0 } t && NF == 3 && $2 ~ /^[0-9]+$/ { print $3 }' |
    sort > "$work/imports"
  printf '_VBGetMsg@8\n_drom_init@0\ncdmsgid\n' > "$work/expected"
  diff "$work/expected" "$work/imports" || { echo "FAIL: the import library does not import the exported names"; exit 1; }
  echo "OK: the installed DLL tree links a program importing _drom_init@0, _VBGetMsg@8 and cdmsgid"
  exit 0
fi
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
