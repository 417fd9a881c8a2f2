// C entry points of the catalog record lookups: figure and part names, the
// multi-disc reader, the disc-number table and abbreviations.
#include <cstdint>

#include "exports/out_param.h"
#include "lookup/abbreviations.h"
#include "lookup/cdno_table.h"
#include "lookup/names.h"
#include "lookup/some_cd_data.h"
#include "zkall.h"

namespace l = zk::lookup;
using zk::exports::Out;

extern "C" {

ZKALL_API int32_t ZKALL_CDECL get_figmei(const char* figure_no, char* name, int32_t* detail) {
  return l::get_figmei(figure_no, name, Out<int32_t>(detail));
}

ZKALL_API int32_t ZKALL_CDECL get_hinmei(const char* code, char* name, uint16_t* status) {
  return l::get_hinmei(code, name, Out<uint16_t>(status));
}

ZKALL_API int32_t ZKALL_CDECL cdget_some_cd_data(const char* file, const char* catalog_code, uint8_t kind,
                                                 int32_t mode, int32_t drive, const int32_t* discs,
                                                 int32_t disc_count, void* buffer, const char* key,
                                                 int32_t key_length, int32_t blocks, int32_t* blocks_read,
                                                 int32_t* record_index, int32_t prompt_kind, uint32_t* state,
                                                 int32_t* detail) {
  l::SomeCdRequest q;
  q.file = file;
  q.catalog = catalog_code;
  q.kind = kind;
  q.mode = mode;
  q.drive = drive;
  q.discs = discs;
  q.disc_count = disc_count;
  q.buffer = buffer;
  q.key = key;
  q.key_length = key_length;
  q.blocks = blocks;
  q.blocks_read = blocks_read;
  q.record_index = record_index;
  q.prompt_kind = prompt_kind;
  return l::cdget_some_cd_data(q, state, Out<int32_t>(detail));
}

ZKALL_API int32_t ZKALL_CDECL cdmake_cdno_table(int32_t drive, const char* disc_id, const char* disc_no,
                                                const char* disc_date, zkall_cdno_entry** table, int32_t* count,
                                                int32_t prompt_kind, int32_t* detail) {
  return l::cdmake_cdno_table(drive, disc_id, disc_no, disc_date, table, count, prompt_kind, Out<int32_t>(detail));
}

ZKALL_API int32_t ZKALL_STDCALL VBryak_get_mean(zkall_vbstr abbreviation, zkall_vbstr meaning, uint16_t* status) {
  return l::vb_ryak_get_mean(abbreviation, meaning, Out<uint16_t>(status));
}

}  // extern "C"
