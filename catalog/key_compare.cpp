// The folding key comparison and the linear scans over a block's entries.
#include "catalog/key_compare.h"

#include <array>
#include <cstring>

#include "catalog/format.h"

namespace zk::catalog {

namespace {

constexpr std::array<uint8_t, 256> make_fold_table() {
  std::array<uint8_t, 256> t{};
  for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<uint8_t>(i);
  for (size_t c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<uint8_t>(c - 'A' + 'a');
  return t;
}
constexpr std::array<uint8_t, 256> kFold = make_fold_table();

}  // namespace

uint8_t compare_folded(const uint8_t* key, const uint8_t* field, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (kFold[key[i]] != kFold[field[i]]) return kFold[key[i]] < kFold[field[i]] ? kKeyBelow : kKeyAbove;
  }
  return kKeyEqual;
}

ScanStop scan_entries(std::span<const uint8_t> key, size_t offset, uint8_t mask, std::span<const uint8_t> area,
                      size_t entry_length, bool end_at_nul) {
  ScanStop stop;
  if (entry_length == 0) return stop;
  const size_t count = area.size() / entry_length;
  const size_t field_end = offset + key.size();
  for (size_t i = 0; i < count; ++i) {
    const size_t at = i * entry_length;
    if (end_at_nul && area[at] == 0) break;
    if (at + field_end > area.size()) break;
    const uint8_t outcome = compare_folded(key.data(), area.data() + at + offset, key.size());
    if (outcome & mask) {
      stop.outcome = outcome;
      stop.index = static_cast<uint32_t>(i);
      return stop;
    }
  }
  return stop;
}

int32_t d_search(const void* key, int32_t key_length, int32_t offset, int32_t mask, const void* area,
                 uint32_t area_length, uint32_t entry_length, int32_t* entry_index) {
  if (key == nullptr || area == nullptr || key_length < 0 || offset < 0) return 0;
  const ScanStop stop =
      scan_entries({static_cast<const uint8_t*>(key), static_cast<size_t>(key_length)}, static_cast<size_t>(offset),
                   static_cast<uint8_t>(mask), {static_cast<const uint8_t*>(area), area_length}, entry_length, false);
  if (stop.outcome != 0 && entry_index != nullptr) *entry_index = static_cast<int32_t>(stop.index);
  return stop.outcome;
}

int32_t d_search2(const void* key, int32_t key_length, const void* area, int32_t mask, int32_t offset,
                  int32_t area_length, int32_t entry_length, int32_t* entry_index) {
  if (key == nullptr || area == nullptr || key_length < 0 || offset < 0 || entry_length <= 0 || area_length <= 0)
    return 0;
  const auto* k = static_cast<const uint8_t*>(key);
  const auto* a = static_cast<const uint8_t*>(area);
  const size_t klen = static_cast<size_t>(key_length);
  // The pre-check looks at four bytes; a shorter key has only that many.
  constexpr size_t kPrefix = 4;
  const size_t prefix = klen < kPrefix ? klen : kPrefix;
  const int32_t count = area_length / entry_length;
  for (int32_t i = 0; i < count; ++i) {
    const size_t at = static_cast<size_t>(i) * static_cast<size_t>(entry_length);
    if (klen > 1) {
      if (at + prefix > static_cast<size_t>(area_length)) break;
      if (std::memcmp(a + at, k, prefix) != 0) continue;
    }
    if (at + static_cast<size_t>(offset) + klen > static_cast<size_t>(area_length)) break;
    const uint8_t outcome = compare_folded(k, a + at + static_cast<size_t>(offset), klen);
    if (outcome & mask) {
      if (entry_index != nullptr) *entry_index = i;
      return outcome;
    }
  }
  return 0;
}

}  // namespace zk::catalog
