// C entry points of the hard-disk engine and the price functions: each
// supplies a place for a detail the caller may leave out and calls into
// zk::catalog.
#include <cstdint>

#include "catalog/hd_open.h"
#include "catalog/hd_price.h"
#include "catalog/hd_read.h"
#include "exports/optional_out.h"
#include "zkall.h"

namespace c = zk::catalog;

using Detail = zk::exports::OptionalOut;

extern "C" {

ZKALL_API int32_t ZKALL_CDECL hdopen(const char* name, int32_t kind, zkall_cd_handle** handle, int32_t* detail) {
  return c::hdopen(name, kind, handle, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL hdropen(zkall_cd_handle* handle) { return c::hdropen(handle); }

ZKALL_API int32_t ZKALL_CDECL hdread(void* buffer, const char* key, int32_t key_length, zkall_cd_handle* handle,
                                     int32_t* detail) {
  return c::hdread(handle, buffer, key, key_length, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL hd_search_index(zkall_cd_handle* handle, int32_t* detail) {
  return c::hd_search_index(handle, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL hd_search_data(void* buffer, zkall_cd_handle* handle, int32_t* detail) {
  return c::hd_search_data(handle, buffer, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL hdclose(zkall_cd_handle** handle) { return c::hdclose(handle); }

ZKALL_API int32_t ZKALL_CDECL kakaku_open(int32_t which, zkall_cd_handle** handle, int32_t* detail) {
  return c::kakaku_open(which, handle, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL kakaku_reopen(zkall_cd_handle* handle) { return c::hdropen(handle); }

ZKALL_API int32_t ZKALL_CDECL kakaku_read(char* price, const char* key, int32_t key_length, int32_t selector,
                                          zkall_cd_handle* handle, int32_t* detail) {
  return c::kakaku_read(handle, price, key, key_length, selector, Detail(detail));
}

ZKALL_API int32_t ZKALL_CDECL kakaku_close(zkall_cd_handle** handle) { return c::hdclose(handle); }

ZKALL_API int32_t ZKALL_CDECL kakaku_check(int32_t* detail) { return c::kakaku_check(Detail(detail)); }

}  // extern "C"
