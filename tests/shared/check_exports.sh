#!/bin/sh
# Checks that the shared library exports exactly the functions declared in
# the public header (plus "memmem", the versioned second name of
# zkall_memmem), all in the version node ZKALL_1.0, and nothing else.
set -eu
lib=$1
header=$2
tmp=${TMPDIR:-/tmp}/zkall-exports.$$
trap 'rm -f "$tmp".*' EXIT

grep -v '^[[:space:]]*#' "$header" | perl -0777 -ne 'while (/ZKALL_API\b[^;{(]*?\b([A-Za-z_][A-Za-z0-9_]*)\s*\(/g) { print "$1\n" }' |
  sort -u > "$tmp.declared"
echo memmem >> "$tmp.declared"
sort -u -o "$tmp.declared" "$tmp.declared"

nm -D --defined-only --with-symbol-versions "$lib" | awk '$2 ~ /^[TWDBR]$/ {print $3}' |
  grep -v '^ZKALL_1\.0@@ZKALL_1\.0$' > "$tmp.raw" || true
if grep -v '@@ZKALL_1\.0$' "$tmp.raw"; then
  echo "FAIL: the symbols above are exported outside the version node ZKALL_1.0" >&2
  exit 1
fi
sed 's/@@ZKALL_1\.0$//' "$tmp.raw" | sort -u > "$tmp.exported"

if ! diff -u "$tmp.declared" "$tmp.exported"; then
  echo "FAIL: exports differ from the header (- declared only, + exported only)" >&2
  exit 1
fi
echo "OK: $(wc -l < "$tmp.exported") exported functions match the header"
