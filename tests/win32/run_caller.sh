#!/bin/sh
# Runs the 32-bit DLL caller (zkall_caller.exe, built by the i686 build) under
# Wine's 32-bit support, in a Wine prefix inside the build tree and a fresh
# working directory. Where this machine cannot run 32-bit programs, or
# Wine's 32-bit support is not installed, says so in one line and exits 0:
# the caller is then not run, and that line is all it reports.
# Usage: run_caller.sh WIN32_BUILD_DIR
# Exit status: 0 passed or not run (the last line says which), 1 failed.
set -eu
build=$(cd "$1" && pwd)
exe=$build/zkall_caller.exe
dll=$build/ZKALL.dll
[ -f "$exe" ] && [ -f "$dll" ] || { echo "32-bit DLL caller: FAILED ($exe or $dll was not built)"; exit 1; }

# Can this kernel run a 32-bit program at all? A five-instruction program
# (exit 0) is assembled and linked for i386 and run.
probe=$build/ia32-probe
if [ ! -x "$probe" ]; then
  printf '.globl _start\n_start:\n  movl $1, %%eax\n  xorl %%ebx, %%ebx\n  int $0x80\n' > "$probe.s"
  as --32 -o "$probe.o" "$probe.s" && ld -m elf_i386 -o "$probe" "$probe.o" 2> /dev/null || {
    echo "32-bit DLL caller: not run (cannot build an i386 probe program with as/ld)"; exit 0; }
fi
if ! "$probe" 2> /dev/null; then
  echo "32-bit DLL caller: not run (this machine's kernel does not run 32-bit programs)"
  exit 0
fi
# Wine with its 32-bit support, installed when missing (by package name,
# through the project's installer; i386 packages need that architecture).
if ! dpkg-query -W -f='${Status}' wine32:i386 2> /dev/null | grep -q 'install ok installed'; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 || true
  "$(dirname "$0")/../../scripts/deps.sh" wine wine32:i386 > "$build/wine32-install.log" 2>&1 || true
fi
if ! command -v wine > /dev/null 2>&1 || ! dpkg-query -W -f='${Status}' wine32:i386 2> /dev/null | grep -q 'install ok installed'; then
  echo "32-bit DLL caller: not run (Wine's 32-bit support, Debian's wine32:i386, could not be installed: $build/wine32-install.log)"
  exit 0
fi

# A short working directory: the installation's directories must fit the
# configuration's 64-byte fields.
run=$(mktemp -d /tmp/zkcaller.XXXXXX)
trap 'rm -rf "$run"' EXIT
cp "$dll" "$run/"
export WINEPREFIX="$build/wine32-prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
cd "$run"
log=$build/caller.log
if timeout 300 wine "$exe" ZKALL.dll > "$log" 2>&1; then
  grep -v '^ok: ' "$log" || true
  echo "32-bit DLL caller: passed ($(grep -c '^ok: ' "$log") checks)"
  exit 0
fi
cat "$log"
echo "32-bit DLL caller: FAILED"
exit 1
