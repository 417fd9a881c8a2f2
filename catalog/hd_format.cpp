// Decoding the master file of a hard-disk indexed file set.
#include "catalog/hd_format.h"

#include <algorithm>

namespace zk::catalog {

namespace {
uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

std::array<HdEntry, 4> decode_hd_master(std::span<const uint8_t, kHdMasterSize> bytes) {
  std::array<HdEntry, 4> out{};
  for (size_t i = 0; i < out.size(); ++i) {
    const uint8_t* e = bytes.data() + i * kHdEntrySize;
    HdEntry& d = out[i];
    std::copy_n(e + hd_entry::kName, kHdNameSize, reinterpret_cast<uint8_t*>(d.name.data()));
    d.kind = e[hd_entry::kKind];
    d.mask = e[hd_entry::kMask];
    d.key_length = e[hd_entry::kKeyLength];
    d.key_offset = e[hd_entry::kKeyOffset];
    d.block_size = static_cast<int16_t>(u16(e + hd_entry::kBlockSize));
    d.size = u32(e + hd_entry::kSize);
    d.base_block = u32(e + hd_entry::kBaseBlock);
    d.record_length = u16(e + hd_entry::kRecordLength);
    d.levels = e[hd_entry::kLevels];
    d.location = e[hd_entry::kLocation];
  }
  return out;
}

uint32_t hd_per_block(int32_t block_size, int32_t length) {
  if (length < 1 || block_size < 1) return 0;
  return static_cast<uint32_t>(block_size / length) % kHdPerBlockModulus;
}

}  // namespace zk::catalog
