// A record read from an indexed catalog file, and its fields.
//
// The record length of a file set comes from its master entry (the handle's
// record_length), not from the layout a lookup expects: a figure-name file
// listed with 71-byte records still has its name field described as 60
// bytes at offset 15. The engine copies exactly one record into a buffer of
// the block size (it refuses record lengths above one block), and a field is
// taken only from the bytes that record covers; the part of a field that
// lies behind the record's end is filled, never read from the buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "catalog/format.h"
#include "zkall.h"

namespace zk::lookup {

class Record {
 public:
  // The buffer a read fills (one block: the longest record the engine reads).
  void* data() { return bytes_.data(); }
  // Takes the record length of the handle that read the record.
  void set_length(const zkall_cd_handle* h) { set_length(h != nullptr ? h->record_length : 0); }
  void set_length(int32_t n) {
    length_ = n < 0 ? 0 : static_cast<size_t>(n) > bytes_.size() ? bytes_.size() : static_cast<size_t>(n);
  }
  size_t length() const { return length_; }
  const char* bytes() const { return bytes_.data(); }

  // Copies the field at `offset` of `width` bytes into `out`: the bytes the
  // record covers, then `fill` for the rest of the width.
  void field(size_t offset, size_t width, char* out, char fill) const {
    const size_t have = offset < length_ ? (length_ - offset < width ? length_ - offset : width) : 0;
    if (have > 0) std::memcpy(out, bytes_.data() + offset, have);
    std::memset(out + have, fill, width - have);
  }
  // True when the record covers the whole field and it holds `value`.
  bool field_is(size_t offset, const void* value, size_t width) const {
    return offset + width <= length_ && std::memcmp(bytes_.data() + offset, value, width) == 0;
  }

 private:
  std::array<char, catalog::kBlockSize> bytes_{};
  size_t length_ = 0;
};

}  // namespace zk::lookup
