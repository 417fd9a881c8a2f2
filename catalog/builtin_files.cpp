// The rows of the built-in file table, generated from one line per set.
#include "catalog/builtin_files.h"

#include <array>
#include <cstring>

namespace zk::catalog {

namespace {

// One file set: its data file and the layout of its levels.
struct SetLine {
  const char* data_name;   // "SHAMEI.DAT"
  const char* level_stem;  // levels are <stem>1 .. <stem>3 ("SHAMEI.IA")
  uint8_t kind;
  uint32_t same_name_count;
  uint8_t level_masks[3];
  uint8_t data_mask;
  uint32_t index_key_length;
  uint32_t entry_length;
  uint32_t key_length;
  uint32_t record_length;
  uint32_t levels;
  uint32_t key_offset;
};

constexpr uint32_t kBlock = 2048;

constexpr SetLine kRootSets[] = {
    {"SHAMEI.DAT", "SHAMEI.IA", 1, 1, {3, 3, 2}, 2, 5, 14, 6, 97, 3, 23},
    {"JOUHOU.DAT", "JOUHOU.IA", 1, 3, {3, 3, 3}, 2, 5, 14, 6, 186, 3, 0},
    {"JOUHOU.DAT", "JOUHOU.IS", 2, 3, {3, 3, 2}, 2, 9, 18, 9, 186, 3, 6},
    {"JOUHOU.DAT", "JOUHOU.IK", 3, 3, {3, 3, 2}, 2, 15, 24, 15, 186, 3, 15},
    {"FRAMNO.DAT", "FRAMNO.IA", 13, 1, {3, 3, 3}, 2, 7, 16, 7, 107, 3, 6},
    {"RYAKUG.DAT", "RYAKUG.IA", 4, 1, {3, 3, 3}, 2, 20, 29, 20, 102, 3, 0},
    {"FIGM01.DAT", "FIGM01.IA", 14, 1, {3, 3, 3}, 2, 6, 15, 7, 71, 1, 0},
    {"FIGM02.DAT", "FIGM02.IA", 14, 1, {3, 3, 3}, 2, 6, 15, 7, 71, 1, 0},
    {"FIGM03.DAT", "FIGM03.IA", 14, 1, {3, 3, 3}, 2, 6, 15, 7, 71, 1, 0},
    {"FIGM04.DAT", "FIGM04.IA", 14, 1, {3, 3, 3}, 2, 6, 15, 7, 71, 1, 0},
    {"FIGM05.DAT", "FIGM05.IA", 14, 1, {3, 3, 3}, 2, 6, 15, 7, 71, 1, 0},
    {"HINM01.DAT", "HINM01.IA", 7, 1, {3, 3, 3}, 2, 6, 15, 6, 66, 3, 0},
    {"HINM02.DAT", "HINM02.IA", 7, 1, {3, 3, 3}, 2, 6, 15, 6, 66, 3, 0},
    {"HINM03.DAT", "HINM03.IA", 7, 1, {3, 3, 3}, 2, 6, 15, 6, 66, 3, 0},
    {"HINM04.DAT", "HINM04.IA", 7, 1, {3, 3, 3}, 2, 6, 15, 6, 66, 3, 0},
    {"HINM05.DAT", "HINM05.IA", 7, 1, {3, 3, 3}, 2, 6, 15, 6, 66, 3, 0},
    {"FIGIND.DAT", "FIGIND.IA", 15, 1, {3, 3, 3}, 2, 17, 26, 18, 28, 3, 0},
    {"IMAGEF.DAT", "IMAGEF.IA", 0, 1, {2, 2, 2}, 2, 0, 0, 0, 0, 3, 0},
};

constexpr SetLine kCatalogSets[] = {
    {"EMINDE.DAT", "EMINDE.IA", 10, 1, {3, 3, 3}, 2, 4, 13, 4, 30, 3, 6},
    {"HCODEH.DAT", "HCODEH.IA", 7, 1, {3, 3, 3}, 2, 6, 15, 6, 16, 3, 10},
    {"BUINDE.DAT", "BUINDE.IA", 11, 1, {3, 3, 3}, 2, 4, 13, 4, 256, 3, 6},
    {"HINBAN.DAT", "HINBAN.IA", 7, 1, {3, 3, 3}, 2, 6, 15, 6, 256, 3, 6},
    {"KIRIKA.DAT", "KIRIKA.IA", 6, 1, {3, 3, 3}, 2, 4, 13, 4, 75, 3, 6},
    {"TOKUME.DAT", "TOKUME.IA", 0, 0, {2, 2, 2}, 2, 0, 30, 0, 30, 0, 0},
    {"KIGOUU.DAT", "KIGOUU.IA", 0, 0, {2, 2, 2}, 2, 0, 90, 0, 90, 0, 0},
};

void copy_name(char (&out)[11], const char* a, const char* b = "") {
  std::memset(out, 0, sizeof out);
  const size_t la = std::strlen(a);
  std::memcpy(out, a, la);
  std::memcpy(out + la, b, std::strlen(b));
}

template <size_t N>
std::array<BuiltinRow, N * 4> expand(const SetLine (&sets)[N]) {
  std::array<BuiltinRow, N * 4> rows{};
  size_t r = 0;
  for (const SetLine& s : sets) {
    for (uint32_t level = 1; level <= 3; ++level) {
      BuiltinRow& row = rows[r++];
      const char digit[2] = {static_cast<char>('0' + level), '\0'};
      copy_name(row.name, s.level_stem, digit);
      row.kind = s.kind;
      row.mask = s.level_masks[level - 1];
      row.same_name_count = s.same_name_count;
      row.record_length = s.entry_length;
      row.levels = level;
      row.key_length = s.index_key_length;
      row.block_size = kBlock;
    }
    BuiltinRow& data = rows[r++];
    copy_name(data.name, s.data_name);
    data.kind = s.kind;
    data.mask = s.data_mask;
    data.same_name_count = s.same_name_count;
    data.record_length = s.record_length;
    data.levels = s.levels;
    data.key_length = s.key_length;
    data.key_offset = s.key_offset;
    data.block_size = kBlock;
  }
  return rows;
}

const auto kRootTable = expand(kRootSets);
const auto kCatalogTable = expand(kCatalogSets);
static_assert(std::size(kRootSets) * 4 == kRootRows);
static_assert(std::size(kCatalogSets) * 4 == kCatalogRows);

}  // namespace

std::span<const BuiltinRow> builtin_root_rows() { return kRootTable; }
std::span<const BuiltinRow> builtin_catalog_rows() { return kCatalogTable; }

}  // namespace zk::catalog
