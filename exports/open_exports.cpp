// C entry points that open indexed catalog file sets: through the master
// files (cdopen, fcdopen) and straight from a disc (cdopen_direct,
// cdfile_get).
#include "catalog/cdopen.h"
#include "catalog/direct_open.h"
#include "zkall.h"

namespace c = zk::catalog;

namespace {
int32_t discard_detail = 0;
}

extern "C" {

ZKALL_API int32_t cdopen(const char* name, const char* catalog_code, uint8_t kind, int32_t read_mode, int32_t drive,
                         int32_t disc, int32_t prompt_kind, zkall_cd_handle** handle, int32_t* detail) {
  return c::cdopen(name, catalog_code, kind, read_mode, drive, disc, prompt_kind, handle,
                   detail ? *detail : discard_detail);
}

ZKALL_API int32_t fcdopen(const char* name, const char* unused, uint8_t kind, int32_t read_mode, int32_t drive,
                          int32_t disc, int32_t prompt_kind, zkall_cd_handle** handle, int32_t* detail) {
  (void)unused;
  return c::fcdopen(name, kind, read_mode, drive, disc, prompt_kind, handle, detail ? *detail : discard_detail);
}

ZKALL_API int32_t cdopen_direct(const char* name, const char* catalog_code, uint8_t kind, int32_t read_mode,
                                int32_t drive, const char* disc_id, const char* disc_no, const char* disc_date,
                                uint32_t base_block, uint32_t size, int32_t prompt_kind, zkall_cd_handle** handle,
                                int32_t* detail) {
  return c::cdopen_direct(name, catalog_code, kind, read_mode, drive, disc_id, disc_no, disc_date, base_block, size,
                          prompt_kind, handle, detail ? *detail : discard_detail);
}

ZKALL_API int32_t cdfile_get(const char* name, const char* catalog_code, int32_t drive, int32_t* detail,
                             uint32_t* size, void* unused1, void* unused2, void* unused3) {
  (void)unused1;
  (void)unused2;
  (void)unused3;
  return c::cdfile_get(name, catalog_code, drive, detail ? *detail : discard_detail, size);
}

}  // extern "C"
