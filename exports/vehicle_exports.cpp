// C entry points of vehicle identification: the current-vehicle accessors,
// VIN editing, the work file JOUHOU.TMP and the symbol list VCLINF.TMP.
#include <cstdint>

#include "exports/out_param.h"
#include "vehicle/catalog_disc.h"
#include "vehicle/current_vehicle.h"
#include "vehicle/jouhou_tmp.h"
#include "vehicle/narrowing.h"
#include "vehicle/vclinf_list.h"
#include "vehicle/vin.h"
#include "vehicle/vinf_file.h"
#include "zkall.h"

namespace v = zk::vehicle;
using zk::exports::Out;
using v::VehicleField;

extern "C" {

// ---- the current vehicle ------------------------------------------------------

ZKALL_API void ZKALL_STDCALL VBGetCat(zkall_vbstr str) { v::get_field(VehicleField::Catalog, str); }
ZKALL_API void ZKALL_STDCALL VBGetModel(zkall_vbstr str) { v::get_field(VehicleField::Model, str); }
ZKALL_API void ZKALL_STDCALL VBGetFrameModel(zkall_vbstr str) { v::get_field(VehicleField::FrameModel, str); }
ZKALL_API void ZKALL_STDCALL VBGetFrameNo(zkall_vbstr str) { v::get_field(VehicleField::FrameNo, str); }
ZKALL_API void ZKALL_STDCALL VBGetAd(zkall_vbstr str) { v::get_field(VehicleField::Ad, str); }
ZKALL_API void ZKALL_STDCALL VBGetColorNo(zkall_vbstr str) { v::get_field(VehicleField::ColorNo, str); }
ZKALL_API void ZKALL_STDCALL VBGetTrimNo(zkall_vbstr str) { v::get_field(VehicleField::TrimNo, str); }
ZKALL_API void ZKALL_STDCALL VBGetNotes(zkall_vbstr str) { v::get_field(VehicleField::Notes, str); }
ZKALL_API void ZKALL_STDCALL VBGetVName(zkall_vbstr str) { v::get_field(VehicleField::VName, str); }
ZKALL_API void ZKALL_STDCALL VBGetProDateF(zkall_vbstr str) { v::get_field(VehicleField::ProDateF, str); }
ZKALL_API void ZKALL_STDCALL VBGetProDateT(zkall_vbstr str) { v::get_field(VehicleField::ProDateT, str); }
ZKALL_API void ZKALL_STDCALL VBGetCharact1(zkall_vbstr first, zkall_vbstr second) { v::get_charact1(first, second); }
ZKALL_API void ZKALL_STDCALL VBGetCharact2(int16_t index, zkall_vbstr str) { v::get_charact2(index, str); }
ZKALL_API int32_t ZKALL_STDCALL VBGetVin(zkall_vbstr str) { return v::get_vin(str); }
ZKALL_API void ZKALL_STDCALL VBGetCrntCatCDDate(zkall_vbstr str) { v::get_current_disc_date(str); }

// ---- VIN and frame numbers ----------------------------------------------------

ZKALL_API int32_t ZKALL_CDECL v_set_vin_len(const char* vin) { return v::vin_key_length(vin); }
ZKALL_API char ZKALL_CDECL v_set_vin_char(const char* vin) { return v::vin_fill_char(vin); }
ZKALL_API int32_t ZKALL_CDECL v_copy_vin(const char* vin, char* key) { return v::copy_vin(vin, key); }
ZKALL_API void ZKALL_CDECL v_edit_vin(char* vin) { v::edit_vin(vin); }
ZKALL_API int32_t ZKALL_CDECL v_valid_frameno(const char* frame_no) { return v::valid_frameno(frame_no); }

// ---- JOUHOU.TMP -------------------------------------------------------------------

ZKALL_API int32_t ZKALL_CDECL v_make_jouhou_tmp_name(char* buffer) { return v::make_jouhou_tmp_name(buffer); }
ZKALL_API int32_t ZKALL_CDECL v_open_jouhou_tmp(int32_t mode, zkall_jouhou_slot* slot, int32_t* count,
                                                int32_t* detail) {
  return v::open_jouhou_tmp(mode, slot, count, Out<int32_t>(detail));
}
ZKALL_API int32_t ZKALL_CDECL v_close_jouhou_tmp(zkall_jouhou_slot* slot, int32_t* detail) {
  return v::close_jouhou_tmp(slot, Out<int32_t>(detail));
}
ZKALL_API int32_t ZKALL_CDECL v_jtmp_sign(int32_t criteria, uint32_t value32, uint32_t value64, const char* vin,
                                          const char* code6, const char* code15, const char* codes125,
                                          const char* date6, int32_t* detail) {
  return v::jtmp_sign(criteria, value32, value64, vin, code6, code15, codes125, date6, Out<int32_t>(detail));
}
ZKALL_API int32_t ZKALL_CDECL v_check_shamei_d(const char* catalog_code, const int32_t* discs, int32_t count,
                                               char* record, int32_t* disc, int32_t* detail) {
  return v::check_shamei_d(catalog_code, discs, count, record, disc, Out<int32_t>(detail));
}

// ---- VCLINF.TMP ---------------------------------------------------------------------

ZKALL_API int32_t ZKALL_CDECL init_VINFT(zkall_vinf_control* block) { return v::init_vinft(block).answer; }
ZKALL_API int32_t ZKALL_CDECL get_hdr_VINFT(zkall_vinf_control* block, void* header) {
  return v::get_hdr_vinft(block, header).answer;
}
ZKALL_API int32_t ZKALL_CDECL put_hdr_VINFT(zkall_vinf_control* block, const void* header) {
  return v::put_hdr_vinft(block, header).answer;
}
ZKALL_API int32_t ZKALL_CDECL get_rec_VINFT(zkall_vinf_control* block, int32_t line, void* buffer) {
  return v::get_rec_vinft(block, line, buffer).answer;
}
ZKALL_API int32_t ZKALL_CDECL put_rec_VINFT(zkall_vinf_control* block, int32_t line, const void* buffer) {
  return v::put_rec_vinft(block, line, buffer).answer;
}
ZKALL_API void ZKALL_CDECL term_VINFT(zkall_vinf_control* block) { v::term_vinft(block); }
ZKALL_API int32_t ZKALL_CDECL chk_ext_VINFT(void) { return v::chk_ext_vinft(); }
ZKALL_API int32_t ZKALL_CDECL v_pop_make_vclinf_tmp(zkall_vinf_control* block, const void* header) {
  return v::pop_make_vclinf_tmp(block, header);
}
ZKALL_API int32_t ZKALL_CDECL v_pop_del_vclinftmp(void) { return v::pop_del_vclinftmp(); }
ZKALL_API int32_t ZKALL_STDCALL vinf_get_path(char* buffer) { return v::vinf_get_path(buffer); }

}  // extern "C"
