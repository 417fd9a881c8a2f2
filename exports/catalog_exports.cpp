// C entry points of the indexed-file engine: each supplies a place for a
// detail the caller may leave out and calls into zk::catalog.
#include <cstdint>

#include "catalog/block_io.h"
#include "catalog/cdread.h"
#include "catalog/data_scan.h"
#include "catalog/index_search.h"
#include "catalog/key_compare.h"
#include "zkall.h"

namespace c = zk::catalog;

namespace {

// The detail goes to the caller's place, or nowhere when it gave none.
class Detail {
 public:
  explicit Detail(int32_t* out) : out_(out) {}
  ~Detail() {
    if (out_ != nullptr) *out_ = value_;
  }
  Detail(const Detail&) = delete;
  Detail& operator=(const Detail&) = delete;
  operator int32_t&() { return value_; }

 private:
  int32_t* out_;
  int32_t value_ = 0;
};

}  // namespace

extern "C" {

ZKALL_API int32_t ZKALL_CDECL cdclose(zkall_cd_handle** handle, int32_t* detail) {
  return c::cdclose(handle, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdread(void* buffer, const char* key, int32_t key_length, int32_t blocks,
                                     int32_t* blocks_read, int32_t* record_index, zkall_cd_handle* handle,
                                     int32_t* detail) {
  return c::cdread(handle, buffer, key, key_length, blocks, blocks_read, record_index, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdreopen(zkall_cd_handle* handle, int32_t* detail) {
  return c::cdreopen(handle, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdseek(int32_t level, uint32_t block, zkall_cd_handle* handle, int32_t* detail) {
  return c::cdseek(handle, level, block, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdseek_only(int32_t level, uint32_t block, zkall_cd_handle* handle,
                                          int32_t* detail) {
  return c::cdseek_only(handle, level, block, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdseek_key(const char* key, int32_t key_length, zkall_cd_handle* handle,
                                         int32_t* detail) {
  return c::cdseek_key(handle, key, key_length, Detail(detail));
}

ZKALL_API uint32_t ZKALL_CDECL cdfilelen(const zkall_cd_handle* handle) { return c::cdfilelen(handle); }

ZKALL_API int32_t ZKALL_CDECL cdread_initial_set(const char* key, int32_t key_length, zkall_cd_handle* handle,
                                                 zkall_cd_level** levels, int32_t* detail) {
  return c::cdread_initial_set(handle, key, key_length, levels, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdread_search_index(zkall_cd_handle* handle, int32_t* detail) {
  return c::cdread_search_index(handle, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdread_search_data(void* buffer, int32_t blocks, int32_t* blocks_read,
                                                 int32_t* record_index, zkall_cd_handle* handle, int32_t* detail) {
  return c::cdread_search_data(handle, buffer, blocks, blocks_read, record_index, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdread_read_block(int32_t level, void* buffer, int32_t blocks,
                                                zkall_cd_handle* handle, int32_t* detail) {
  return c::cdread_read_block(handle, level, buffer, blocks, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL d_search(const void* key, int32_t key_length, int32_t offset, int32_t mask,
                                       const void* area, uint32_t area_length, uint32_t entry_length,
                                       int32_t* entry_index) {
  return c::d_search(key, key_length, offset, mask, area, area_length, entry_length, entry_index);
}

ZKALL_API int32_t ZKALL_CDECL d_search2(const void* key, int32_t key_length, const void* area, int32_t mask,
                                        int32_t offset, int32_t area_length, int32_t entry_length,
                                        int32_t* entry_index) {
  return c::d_search2(key, key_length, area, mask, offset, area_length, entry_length, entry_index);
}

}  // extern "C"
