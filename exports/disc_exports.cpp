// C entry points of disc identification, disc switching and the
// installed-disc lookups.
#include "catalog/discs.h"
#include "zkall.h"

namespace c = zk::catalog;

extern "C" {

ZKALL_API int32_t cdread_head(int32_t drive, char* head, int32_t* detail) {
  return c::cdread_head(drive, head, detail);
}
ZKALL_API int32_t cdread_head_alldrive(char* heads, char letter, int32_t* detail) {
  return c::cdread_head_alldrive(heads, letter, detail);
}
ZKALL_API int32_t cdmake_cdidtbl_alldrive(int32_t* list, int32_t* count, int32_t* detail) {
  return c::cdmake_cdidtbl_alldrive(list, count, detail);
}
ZKALL_API int32_t cdset_cd(int32_t drive, const char* disc_id, const char* disc_no, const char* disc_date,
                           int32_t* drive_found, char* id_found, char* date_found, int32_t prompt_kind,
                           int32_t* detail) {
  return c::cdset_cd(drive, disc_id, disc_no, disc_date, drive_found, id_found, date_found, prompt_kind, detail);
}
ZKALL_API int32_t cdmsgid(int32_t prompt_kind) { return c::cdmsgid(prompt_kind); }
ZKALL_API int32_t setuped_cdno1_to_cdno2(const char* disc_id, char* disc_no) {
  return c::setuped_cdno1_to_cdno2(disc_id, disc_no);
}
ZKALL_API int32_t setuped_cdno2_to_cdno1(char letter, char* disc_id, const char* disc_no) {
  return c::setuped_cdno2_to_cdno1(letter, disc_id, disc_no);
}
ZKALL_API int32_t setuped_top_cdno(char letter) { return c::setuped_top_cdno(letter); }
ZKALL_API int32_t setuped_top_fcdno(char letter) { return c::setuped_top_fcdno(letter); }
ZKALL_API int32_t make_setuped_top_cdid_table(int32_t* index, int32_t* found) {
  return c::make_setuped_top_cdid_table(index, found);
}

}  // extern "C"
