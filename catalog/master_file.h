// The catalog master files: ZKROOTMF.MST (the files of a disc), the catalog
// master files "ZK" + catalog code + ".MST" (the files of one catalog
// directory) and ZKFRNOMF.MST (frame-number files). Each is a 32-byte header
// followed by 32-byte master entries: to the end of the file, or in a
// catalog master file to the end of its first 2048 bytes (the file is at
// least that long; files of the catalog may be stored behind them).
//
// Header (numbers little-endian):
//   offset  width  content
//   0       8      disc date
//   8       14     not read
//   22      2      disc id
//   24      2      disc number
//   26      1      copied into the installed-disc table
//   27      1      not read
//   28      2      second disc id: when set and unlike the one at 22, the
//                  lookup turns to the first installed disc (root files)
//   30      2      not read
//
// Master entry:
//   offset  width  content
//   0       10     file name ("SHAMEI.IA1", "FIGM01.DAT")
//   10      1      attribute byte (not interpreted)
//   11      1      file kind number
//   12      1      match mask (2 or 3)
//   13      1      key length (index levels: the index key length)
//   14      1      key offset within a data record
//   15      1      entries carrying this file name; above 1 the file kind
//                  number tells them apart
//   16      4      base block
//   20      4      size in blocks; 0: absent level, or empty data file
//   24      2      record length (index levels: the index entry length)
//   26      1      number of index levels (data file entry)
//   27      1      location kind (0 own file, 1 hard-disk copy, 2 inside
//                  the catalog master file)
//   28      2      disc id of the disc holding the file (root files; first
//                  byte 0: this disc)
//   30      2      not read
//
// A file set's entries stand together: top, middle, bottom level, data file.
// The index key length and entry length of the set come from the entry just
// before the data file's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace zk::catalog {

inline constexpr size_t kMasterHeaderSize = 32;
inline constexpr size_t kMasterEntrySize = 32;
inline constexpr size_t kCatalogMasterMinSize = 2048;
inline constexpr size_t kCatalogMasterEntries = (kCatalogMasterMinSize - kMasterHeaderSize) / kMasterEntrySize;
inline constexpr size_t kMasterFileNameSize = 10;
inline constexpr size_t kMasterDateSize = 8;
inline constexpr size_t kMasterDiscIdSize = 2;
inline constexpr size_t kMasterDiscNoSize = 2;
inline constexpr size_t kSetEntries = 4;  // top, middle, bottom, data

inline constexpr char kRootMasterName[] = "ZKROOTMF.MST";
inline constexpr char kFrameMasterName[] = "ZKFRNOMF.MST";
inline constexpr char kCatalogMasterPrefix[] = "ZK";
inline constexpr char kMasterExtension[] = ".MST";

namespace master_header {
inline constexpr size_t kDate = 0;
inline constexpr size_t kDiscId = 22;
inline constexpr size_t kDiscNo = 24;
inline constexpr size_t kInstalledByte = 26;
inline constexpr size_t kSecondDiscId = 28;
}  // namespace master_header

namespace master_entry {
inline constexpr size_t kName = 0;
inline constexpr size_t kAttribute = 10;
inline constexpr size_t kKind = 11;
inline constexpr size_t kMask = 12;
inline constexpr size_t kKeyLength = 13;
inline constexpr size_t kKeyOffset = 14;
inline constexpr size_t kSameNameCount = 15;
inline constexpr size_t kBaseBlock = 16;
inline constexpr size_t kSize = 20;
inline constexpr size_t kRecordLength = 24;
inline constexpr size_t kLevels = 26;
inline constexpr size_t kLocation = 27;
inline constexpr size_t kDiscId = 28;
}  // namespace master_entry

struct MasterHeader {
  std::array<char, kMasterDateSize> date{};
  std::array<char, kMasterDiscIdSize> disc_id{};
  std::array<char, kMasterDiscNoSize> disc_no{};
  uint8_t installed_byte = 0;
  std::array<char, kMasterDiscIdSize> second_disc_id{};
};

struct MasterEntry {
  std::array<char, kMasterFileNameSize> name{};
  uint8_t attribute = 0;
  uint8_t kind = 0;
  uint8_t mask = 0;
  uint8_t key_length = 0;
  uint8_t key_offset = 0;
  uint8_t same_name_count = 0;
  uint32_t base_block = 0;
  uint32_t size = 0;
  uint16_t record_length = 0;
  uint8_t levels = 0;
  uint8_t location = 0;
  std::array<char, kMasterDiscIdSize> disc_id{};
};

// Decoders of the 32 bytes at the start of `bytes` (which must hold them).
MasterHeader decode_master_header(std::span<const uint8_t, kMasterHeaderSize> bytes);
MasterEntry decode_master_entry(std::span<const uint8_t, kMasterEntrySize> bytes);

// The entry's name as a string, cut at the first NUL.
std::string entry_name(const MasterEntry& entry);

}  // namespace zk::catalog
