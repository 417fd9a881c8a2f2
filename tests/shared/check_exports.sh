#!/bin/sh
# Checks the library's exports against its one table of exported functions
# (exports/export_table.txt):
#   - the table against the catalog's interface names (exports/
#     interface_names.txt): a table name the list lacks fails (unless the row
#     is marked own); the listed names the table lacks are printed as not
#     built yet, and fail with --strict;
#   - the table against the public header: every function the header
#     exports is in the table and every table function is declared;
#   - --so: the dynamic symbols of libzkall.so, each in the version node
#     ZKALL_1.0 (a c-library-name row only as the non-default version);
#   - --dll: the export table of the 32-bit ZKALL.dll (decorated names for
#     standard-call rows);
#   - --cxx: compiles the header with the 32-bit Windows compiler and checks
#     each row's convention and argument bytes against the C declaration
#     (the decorated symbol the compiler emits, and the bytes of the
#     declared arguments).
# Each list that differs is shown as a diff (- the table only, + found only).
# Usage: check_exports.sh --table FILE --names FILE [--header zkall.h]
#                         [--so libzkall.so] [--dll ZKALL.dll] [--cxx i686-w64-mingw32-g++] [--strict]
set -eu

table="" names="" header="" so="" dll="" cxx="" strict=0
while [ $# -gt 0 ]; do
  case $1 in
    --table) table=$2; shift 2 ;;
    --names) names=$2; shift 2 ;;
    --header) header=$2; shift 2 ;;
    --so) so=$2; shift 2 ;;
    --dll) dll=$2; shift 2 ;;
    --cxx) cxx=$2; shift 2 ;;
    --strict) strict=1; shift ;;
    *) echo "check_exports.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -n "$table" ] && [ -n "$names" ] || { echo "check_exports.sh: --table and --names are needed" >&2; exit 2; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/zkall-exports.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failed=0

# Prints a failure and the difference of two sorted lists.
differ() { # what expected actual
  if ! diff "$2" "$3" > "$tmp/diff"; then
    echo "FAIL: $1 (- table only, + found only):"
    grep '^[<>]' "$tmp/diff" | sed 's/^</  -/; s/^>/  +/'
    failed=1
    return 1
  fi
  return 0
}

# The table's rows: name call bytes note ("-" for none).
grep -v '^[[:space:]]*#' "$table" | awk 'NF { print $1, $2, $3, (NF > 3 ? $4 : "-") }' > "$tmp/rows"
rows=$(wc -l < "$tmp/rows")
# The name each row has in C: a c-library-name row is zkall_<name>.
awk '{ print ($4 == "c-library-name" ? "zkall_" $1 : $1) }' "$tmp/rows" | sort -u > "$tmp/c_names"
# The name the 32-bit DLL exports.
awk '{ print ($2 == "stdcall" ? "_" $1 "@" $3 : $1) }' "$tmp/rows" | sort > "$tmp/dll_names"

# ---- the table against the interface names ----------------------------------
grep -v '^[[:space:]]*#' "$names" | awk 'NF { print $1 }' | sort -u > "$tmp/interface"
awk '$4 != "own" { print ($2 == "stdcall" ? "_" $1 "@" $3 : $1) }' "$tmp/rows" | sort > "$tmp/interface_rows"
awk '$4 == "own" { print $1 }' "$tmp/rows" | sort > "$tmp/own"
comm -23 "$tmp/interface_rows" "$tmp/interface" > "$tmp/unknown"
if [ -s "$tmp/unknown" ]; then
  echo "FAIL: table rows (as exported) that the interface names do not have (a wrong name, convention or argument bytes; or mark a function of the library's own 'own'):"
  sed 's/^/  /' "$tmp/unknown"
  failed=1
fi
comm -12 "$tmp/own" "$tmp/interface" > "$tmp/own_listed"
if [ -s "$tmp/own_listed" ]; then
  echo "FAIL: rows marked own that are interface names (drop the mark):"
  sed 's/^/  /' "$tmp/own_listed"
  failed=1
fi
comm -13 "$tmp/interface_rows" "$tmp/interface" > "$tmp/missing"
missing=$(wc -l < "$tmp/missing")
if [ "$missing" -gt 0 ]; then
  echo "interface functions not in the table yet ($missing of $(wc -l < "$tmp/interface")):"
  fmt -w 100 "$tmp/missing" | sed 's/^/  /'
  if [ "$strict" = 1 ]; then
    echo "FAIL: --strict: every interface function must be in the table"
    failed=1
  fi
fi
if [ -s "$tmp/own" ]; then
  echo "the library's own exports: $(tr '\n' ' ' < "$tmp/own")"
fi

# ---- the table against the header -------------------------------------------
if [ -n "$header" ]; then
  grep -v '^[[:space:]]*#' "$header" |
    perl -0777 -ne 's{/\*.*?\*/}{}gs; while (/ZKALL_API\b[^;{(]*?\b([A-Za-z_][A-Za-z0-9_]*)\s*\(/g) { print "$1\n" }' |
    sort -u > "$tmp/declared"
  differ "functions declared in $(basename "$header") (ZKALL_API) and the table's C names" \
    "$tmp/c_names" "$tmp/declared" || true
fi

# ---- libzkall.so --------------------------------------------------------------
if [ -n "$so" ]; then
  awk '{ print $1 ($4 == "c-library-name" ? "@" : "@@") "ZKALL_1.0" }' "$tmp/rows" | sort > "$tmp/so_expected"
  # Every defined dynamic symbol but the version node's own.
  nm -D --defined-only --with-symbol-versions "$so" | awk '$2 != "A" { print $3 }' | sort > "$tmp/so_found"
  differ "dynamic symbols of $(basename "$so")" "$tmp/so_expected" "$tmp/so_found" && \
    echo "OK: $(basename "$so") exports the $rows functions of the table"
fi

# ---- ZKALL.dll ----------------------------------------------------------------
if [ -n "$dll" ]; then
  objdump=objdump
  command -v i686-w64-mingw32-objdump > /dev/null 2>&1 && objdump=i686-w64-mingw32-objdump
  "$objdump" -p "$dll" > "$tmp/pe"
  if ! grep -q 'pei-i386' "$tmp/pe"; then
    echo "FAIL: $dll is not a 32-bit Windows DLL"
    failed=1
  fi
  # The export name table: lines "[   n] name" after its heading.
  awk '/^\[Ordinal\/Name Pointer\] Table/ { t = 1; next } t && /^[[:space:]]*\[ *[0-9]+\]/ { print $NF; next } t { t = 0 }' \
    "$tmp/pe" | sort > "$tmp/dll_found"
  differ "export table of $(basename "$dll")" "$tmp/dll_names" "$tmp/dll_found" && \
    echo "OK: $(basename "$dll") exports the $rows functions of the table under their decorated names"
fi

# ---- conventions and argument bytes of the declarations ----------------------
if [ -n "$cxx" ]; then
  [ -n "$header" ] || { echo "check_exports.sh: --cxx needs --header" >&2; exit 2; }
  {
    echo '#include "zkall.h"'
    echo '// Bytes of arguments on 32-bit Windows: each argument takes a multiple of 4.'
    echo 'template <class R, class... A> constexpr int arg_bytes(R (*)(A...)) { return (0 + ... + int((sizeof(A) + 3) / 4 * 4)); }'
    echo 'template <class R, class... A> constexpr int arg_bytes(R (__stdcall *)(A...)) { return (0 + ... + int((sizeof(A) + 3) / 4 * 4)); }'
    echo 'void* const referenced[] = {'
    awk '{ n = ($4 == "c-library-name" ? "zkall_" $1 : $1); print "  reinterpret_cast<void*>(&" n "),"; }' "$tmp/rows"
    echo '};'
    awk '{ n = ($4 == "c-library-name" ? "zkall_" $1 : $1)
           print "static_assert(arg_bytes(&" n ") == " $3 ", \"" n ": the table says " $3 " bytes of arguments\");" }' "$tmp/rows"
  } > "$tmp/decl.cpp"
  if ! "$cxx" -std=c++20 -c -DZKALL_STATIC_LINK -I"$(dirname "$header")" -o "$tmp/decl.o" "$tmp/decl.cpp" \
       2> "$tmp/decl.err"; then
    echo "FAIL: the table's argument bytes differ from the declarations:"
    grep -o "static assertion failed: .*" "$tmp/decl.err" | sed 's/^/  /' || sed 's/^/  /' "$tmp/decl.err"
    failed=1
  else
    nm=nm
    command -v i686-w64-mingw32-nm > /dev/null 2>&1 && nm=i686-w64-mingw32-nm
    # The symbols the compiler calls: _name for cdecl, _name@bytes for stdcall.
    awk '{ n = ($4 == "c-library-name" ? "zkall_" $1 : $1); print "_" n ($2 == "stdcall" ? "@" $3 : "") }' \
      "$tmp/rows" | sort -u > "$tmp/decl_expected"
    "$nm" -u "$tmp/decl.o" | awk '{ print $NF }' | grep -v '^___' | sort > "$tmp/decl_found"
    differ "conventions of the declarations in $(basename "$header") as the 32-bit compiler decorates them" \
      "$tmp/decl_expected" "$tmp/decl_found" && \
      echo "OK: the header declares the $rows functions with the table's conventions and argument bytes"
  fi
fi

if [ "$failed" != 0 ]; then
  echo "export check: FAILED"
  exit 1
fi
echo "export check: passed"
