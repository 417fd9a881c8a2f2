// The format of a hard-disk indexed file set (the price files and the
// local-price sets) and the detail codes of the engine that reads it.
//
// Master file (PRICE.MST in the price directory, LOCALP.MST in the
// local-price directory): exactly four 32-byte entries and no header, the
// top (offset 0), middle (32) and bottom index level (64), then the data
// file (96). Numbers little-endian.
//
//   offset  width  content
//   0       11     file name in fixed 8.3 form: 8 name and 3 extension
//                  characters, blank padded ("KAKAKU  D  " is KAKAKU.D)
//   11      1      file kind number (data entry)
//   12      1      match mask
//   13      1      key length (data entry); index key length (bottom entry)
//   14      1      key offset within a data record (data entry)
//   15      1      not read
//   16      2      block size in bytes, signed (data entry; every file)
//   18      2      not read
//   20      4      size in blocks; 0: level absent, or no data
//   24      4      base block
//   28      2      record length (data entry); index entry length (bottom)
//   30      1      number of index levels (data entry)
//   31      1      location kind (copied, never used to find a file)
//
// The data file is a file of its own; the index levels all lie in the top
// level's file, each from its base block. Index entry (entry length = index
// key length + 6):
//
//   0       ikl    the key
//   ikl     4      child block number, from the next level's (below the
//                  bottom: the data file's) base block
//   ikl+4   2      child block count, signed
//
// Blocks of every file are of the master's block size; entries and records
// per block are the block size divided by their length, modulo 256. Index
// entries are in ascending key order and one whose first byte is NUL ends
// its block; the top level is one block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zk::catalog {

inline constexpr size_t kHdEntrySize = 32;
inline constexpr size_t kHdMasterSize = 4 * kHdEntrySize;
inline constexpr size_t kHdNameSize = 11;  // fixed 8.3 form
inline constexpr size_t kHdChildPointerSize = 6;
inline constexpr size_t kHdPerBlockModulus = 256;
inline constexpr char kPriceMasterName[] = "PRICE.MST";
inline constexpr char kLocalPriceMasterName[] = "LOCALP.MST";

namespace hd_entry {
inline constexpr size_t kName = 0;
inline constexpr size_t kKind = 11;
inline constexpr size_t kMask = 12;
inline constexpr size_t kKeyLength = 13;
inline constexpr size_t kKeyOffset = 14;
inline constexpr size_t kBlockSize = 16;
inline constexpr size_t kSize = 20;
inline constexpr size_t kBaseBlock = 24;
inline constexpr size_t kRecordLength = 28;
inline constexpr size_t kLevels = 30;
inline constexpr size_t kLocation = 31;
}  // namespace hd_entry

struct HdEntry {
  std::array<char, kHdNameSize> name{};
  uint8_t kind = 0;
  uint8_t mask = 0;
  uint8_t key_length = 0;
  uint8_t key_offset = 0;
  int16_t block_size = 0;
  uint32_t size = 0;
  uint32_t base_block = 0;
  uint16_t record_length = 0;
  uint8_t levels = 0;
  uint8_t location = 0;
};

// The four entries of a master file: top, middle, bottom, data.
std::array<HdEntry, 4> decode_hd_master(std::span<const uint8_t, kHdMasterSize> bytes);

// Entries or records a block holds: block size / length, modulo 256 (0 for
// a length below 1).
uint32_t hd_per_block(int32_t block_size, int32_t length);

// Detail codes that go with result 128 (see zkall.h).
namespace hd_detail {
inline constexpr int32_t kNoPath = 50;
inline constexpr int32_t kBadBlockSize = 51;
inline constexpr int32_t kBadIndexLayout = 52;
inline constexpr int32_t kKeyOutsideRecord = 53;
inline constexpr int32_t kChildRangePastEnd = 54;
inline constexpr int32_t kKeyTooLong = 55;
inline constexpr int32_t kBadSearchKey = 56;
inline constexpr int32_t kPriceRecordTooLong = 57;
inline constexpr int32_t kRefusedHandle = 58;
inline constexpr int32_t kBadPathKind = 59;
inline constexpr int32_t kWalkTooLong = 60;
}  // namespace hd_detail

}  // namespace zk::catalog
