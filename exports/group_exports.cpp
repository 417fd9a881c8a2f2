// C entry points of the group list and the group files.
#include "exports/out_param.h"
#include "platform/platform.h"
#include "workfiles/group_files.h"
#include "workfiles/group_list.h"
#include "workfiles/item_list.h"
#include "zkall.h"

namespace w = zk::workfiles;
using zk::exports::Out;

extern "C" {

ZKALL_API int32_t ZKALL_STDCALL VBInitGrpTmp(void) {
  w::grp_tmp() = zkall_item_list{};
  return 0;
}
ZKALL_API int32_t ZKALL_STDCALL VBTermGrpTmp(void) { return w::all_delete_item(&w::grp_tmp()); }
ZKALL_API int16_t ZKALL_STDCALL VBGetGrpNum(void) { return w::grp_tmp().count; }
ZKALL_API int32_t ZKALL_STDCALL VBCheckGrpCd(const char* code) { return w::search_grptmp(code) != nullptr ? 1 : 0; }
ZKALL_API int32_t ZKALL_STDCALL VBSetGrpCd(const char* code, zkall_vbstr name) {
  return w::set_grp_cd(code, name, zk::platform::sys_string_byte_len(name));
}
ZKALL_API int32_t ZKALL_STDCALL VBDelGrpCd(const char* code) {
  w::del_grp_cd(code);
  return 0;
}
ZKALL_API int32_t ZKALL_STDCALL VBGetGrpName(const char* code, zkall_vbstr name) {
  return w::get_grp_name(code, name, zk::platform::sys_string_byte_len(name));
}
ZKALL_API int32_t ZKALL_STDCALL VBMakeListGrpMei(void* box) {
  w::make_list_grp_mei(box);
  return 0;
}
ZKALL_API int32_t ZKALL_STDCALL VBMakeListGrpPnc(const char* code, void* box, int16_t* flag) {
  return w::make_list_grp_pnc(code, box, Out<int16_t>(flag));
}
ZKALL_API int32_t ZKALL_STDCALL VBSetGrpPnc(void* box, const char* code, const char* pnc, int16_t* slot) {
  return w::set_grp_pnc(box, code, pnc, Out<int16_t>(slot));
}
ZKALL_API int32_t ZKALL_STDCALL VBDelGrpPnc(void* box, const char* code) { return w::del_grp_pnc(box, code); }
ZKALL_API int32_t ZKALL_STDCALL VBread_group_file(int16_t* count) {
  return w::read_group_file(Out<int16_t>(count));
}
ZKALL_API int32_t ZKALL_STDCALL VBwrite_group_file(void) { return w::write_group_file(); }
ZKALL_API int32_t ZKALL_STDCALL VBRemakeGpFile(void) { return w::remake_gp_file(); }

ZKALL_API zkall_grp_tmp_node* ZKALL_CDECL search_grptmp(const char* code) { return w::search_grptmp(code); }
ZKALL_API int32_t ZKALL_CDECL g_mei_f_check(void) { return w::g_mei_f_check(); }
ZKALL_API int32_t ZKALL_CDECL g_mei_f_read(const char* code, char* name) {
  int32_t index = -1;
  const int r = w::g_mei_f_find(code, name, index);
  if (r == 0) return index;
  // A failure never looks like an index or "no such group": below -1.
  return r > 0 ? -r : -2;
}
ZKALL_API int32_t ZKALL_CDECL g_pnc_f_read(const char* code, char* records) { return w::g_pnc_f_read(code, records); }

}  // extern "C"
