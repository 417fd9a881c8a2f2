// Key comparison and the in-block scan. Catalog keys compare byte by byte as
// unsigned values over the length of the search key, with the letters A to Z
// folded to a to z and every other byte (NUL included) taken as it is; the
// order of entries and records in the files follows that comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zk::catalog {

// Outcome bit of the folding comparison of `key` with the same number of
// bytes at `field`: 1 key below, 2 equal, 4 above.
uint8_t compare_folded(const uint8_t* key, const uint8_t* field, size_t length);

// Where a scan stopped: the outcome bit (0 when nothing stopped it) and the
// index of the entry, counted from the start of the area.
struct ScanStop {
  uint8_t outcome = 0;
  uint32_t index = 0;
};

// One scan over `count` entries of `entry_length` bytes at `area`, comparing
// `key` with the key.size() bytes at `offset` in each; the first outcome in
// `mask` stops it. With `end_at_nul` an entry whose first byte is NUL ends
// the scan, as it ends a block of the files. An entry whose field would run
// past `area` ends the scan as well, so no byte outside the area is read.
ScanStop scan_entries(std::span<const uint8_t> key, size_t offset, uint8_t mask, std::span<const uint8_t> area,
                      size_t entry_length, bool end_at_nul);

// The exported scans: d_search counts entries with an unsigned division,
// d_search2 with a signed one and passes over entries whose first four bytes
// (as many as the key has, when fewer) differ from the key's, unfolded.
// Result: the outcome bit, 0 when no entry stopped the scan.
int32_t d_search(const void* key, int32_t key_length, int32_t offset, int32_t mask, const void* area,
                 uint32_t area_length, uint32_t entry_length, int32_t* entry_index);
int32_t d_search2(const void* key, int32_t key_length, const void* area, int32_t mask, int32_t offset,
                  int32_t area_length, int32_t entry_length, int32_t* entry_index);

}  // namespace zk::catalog
