// The built-in file table: the layout of the file sets that are opened
// straight from a disc without a master file. One row per file, the index
// levels of a set (top, middle, bottom) before its data file, in two ranges:
// the root range (72 rows) used without a catalog code, the catalog range
// (28 rows) used with one.
//
// A row stands for the 40-byte record of the table:
//   offset  width  content
//   0       10     file name
//   10      3      not read (byte 12 is 1 in the JOUHOU rows)
//   13      1      file kind number
//   14      1      match mask
//   15      1      not read
//   16      4      rows carrying this same file name; above 1 the file kind
//                  number must match the caller's
//   20      4      record length (index entry length in level rows)
//   24      4      number of index levels (data rows; level rows: the level)
//   28      4      key length (index key length in level rows)
//   32      4      key offset within a data record
//   36      4      block size, always 2048
// As in the master files, a set's index key length and entry length are
// those of the row just before its data row.
#pragma once

#include <cstdint>
#include <span>

namespace zk::catalog {

struct BuiltinRow {
  char name[11];  // 10 characters and a NUL
  uint8_t kind;
  uint8_t mask;
  uint32_t same_name_count;
  uint32_t record_length;
  uint32_t levels;
  uint32_t key_length;
  uint32_t key_offset;
  uint32_t block_size;
};

inline constexpr size_t kBuiltinRowSize = 40;
inline constexpr size_t kRootRows = 72;
inline constexpr size_t kCatalogRows = 28;

std::span<const BuiltinRow> builtin_root_rows();
std::span<const BuiltinRow> builtin_catalog_rows();

}  // namespace zk::catalog
