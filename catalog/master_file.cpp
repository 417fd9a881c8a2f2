// Decoding of the catalog master files' header and entries.
#include "catalog/master_file.h"

#include <algorithm>

namespace zk::catalog {

namespace {

template <size_t N>
std::array<char, N> chars_at(std::span<const uint8_t> bytes, size_t offset) {
  std::array<char, N> out{};
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), N, out.begin());
  return out;
}

uint32_t u32_at(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint16_t u16_at(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

}  // namespace

MasterHeader decode_master_header(std::span<const uint8_t, kMasterHeaderSize> bytes) {
  MasterHeader h;
  h.date = chars_at<kMasterDateSize>(bytes, master_header::kDate);
  h.disc_id = chars_at<kMasterDiscIdSize>(bytes, master_header::kDiscId);
  h.disc_no = chars_at<kMasterDiscNoSize>(bytes, master_header::kDiscNo);
  h.installed_byte = bytes[master_header::kInstalledByte];
  h.second_disc_id = chars_at<kMasterDiscIdSize>(bytes, master_header::kSecondDiscId);
  return h;
}

MasterEntry decode_master_entry(std::span<const uint8_t, kMasterEntrySize> bytes) {
  namespace e = master_entry;
  MasterEntry m;
  m.name = chars_at<kMasterFileNameSize>(bytes, e::kName);
  m.attribute = bytes[e::kAttribute];
  m.kind = bytes[e::kKind];
  m.mask = bytes[e::kMask];
  m.key_length = bytes[e::kKeyLength];
  m.key_offset = bytes[e::kKeyOffset];
  m.same_name_count = bytes[e::kSameNameCount];
  m.base_block = u32_at(bytes, e::kBaseBlock);
  m.size = u32_at(bytes, e::kSize);
  m.record_length = u16_at(bytes, e::kRecordLength);
  m.levels = bytes[e::kLevels];
  m.location = bytes[e::kLocation];
  m.disc_id = chars_at<kMasterDiscIdSize>(bytes, e::kDiscId);
  return m;
}

std::string entry_name(const MasterEntry& entry) {
  const auto end = std::find(entry.name.begin(), entry.name.end(), '\0');
  return std::string(entry.name.begin(), end);
}

}  // namespace zk::catalog
