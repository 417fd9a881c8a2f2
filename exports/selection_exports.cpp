// C entry points of the item lists, the selection lists, the selection work
// files and the local price files: thin wrappers over zk::workfiles.
#include <cstdint>

#include "exports/optional_out.h"
#include "workfiles/item_list.h"
#include "workfiles/local_prices.h"
#include "workfiles/select_tmp.h"
#include "workfiles/selection_lists.h"
#include "zkall.h"

namespace w = zk::workfiles;

using ErrorWord = zk::exports::OptionalOut;

extern "C" {

// ---- item lists ------------------------------------------------------------------
ZKALL_API zkall_item* ZKALL_CDECL AddItem(zkall_item_list* list, int16_t size) { return w::add_item(list, size); }
ZKALL_API void ZKALL_CDECL DeleteItem(zkall_item_list* list, zkall_item* item) { w::delete_item(list, item); }
ZKALL_API int32_t ZKALL_CDECL AllDeleteItem(zkall_item_list* list) { return w::all_delete_item(list); }

// ---- selection list -----------------------------------------------------------------
ZKALL_API int32_t ZKALL_CDECL InitSelTmp(void) {
  w::sel_tmp() = zkall_item_list{};
  return 0;
}
ZKALL_API int32_t ZKALL_CDECL TermSelTmp(void) { return w::all_delete_item(&w::sel_tmp()); }
ZKALL_API int32_t ZKALL_STDCALL VBClearSelTmp(void) { return w::all_delete_item(&w::sel_tmp()); }
ZKALL_API zkall_item_list* ZKALL_CDECL GetPtrSelTmp(void) { return &w::sel_tmp(); }
ZKALL_API int16_t ZKALL_STDCALL VBGetNumSelTmp(void) { return w::sel_tmp().count; }
ZKALL_API int32_t ZKALL_CDECL SetSelTmp(const char* key, const int16_t* value) { return w::set_sel_tmp(key, value); }
ZKALL_API zkall_sel_tmp_node* ZKALL_CDECL SearchSelTmp(const char* key) { return w::search_sel_tmp(key); }
ZKALL_API void ZKALL_CDECL DelSelTmp(const char* key) { w::del_sel_tmp(key); }

// ---- local-price selection list ------------------------------------------------------
ZKALL_API int32_t ZKALL_CDECL InitLcpTmp(void) {
  w::lcp_tmp() = zkall_item_list{};
  return 0;
}
ZKALL_API int32_t ZKALL_CDECL TermLcpTmp(void) { return w::all_delete_item(&w::lcp_tmp()); }
ZKALL_API int32_t ZKALL_STDCALL VBClearLcpTmp(void) { return w::all_delete_item(&w::lcp_tmp()); }
ZKALL_API zkall_item_list* ZKALL_CDECL GetPtrLcpTmp(void) { return &w::lcp_tmp(); }
ZKALL_API int16_t ZKALL_STDCALL VBGetNumLcpTmp(void) { return w::lcp_tmp().count; }
ZKALL_API int32_t ZKALL_CDECL SetLcpTmp(const char* partno, const int16_t* value, const char* code) {
  return w::set_lcp_tmp(partno, value, code);
}
ZKALL_API zkall_lcp_tmp_node* ZKALL_CDECL SearchLcpTmp(const char* code, const char* partno) {
  return w::search_lcp_tmp(code, partno);
}
ZKALL_API void ZKALL_CDECL DelLcpTmp(const char* code, const char* partno) { w::del_lcp_tmp(code, partno); }

// ---- selected-figure list ----------------------------------------------------------------
ZKALL_API int32_t ZKALL_CDECL init_selfgn(void) {
  w::sel_fgn() = zkall_item_list{};
  return 0;
}
ZKALL_API int32_t ZKALL_CDECL term_selfgn(void) { return w::all_delete_item(&w::sel_fgn()); }
ZKALL_API zkall_item_list* ZKALL_CDECL get_selfgn(void) { return &w::sel_fgn(); }
ZKALL_API int16_t ZKALL_CDECL get_num_selfgn(void) { return w::sel_fgn().count; }
ZKALL_API int32_t ZKALL_CDECL set_selfgn(const uint32_t* figno) { return w::set_selfgn(figno); }
ZKALL_API int32_t ZKALL_STDCALL VBset_selfgn(const uint32_t* figno) { return w::set_selfgn(figno); }
ZKALL_API zkall_sel_fgn_node* ZKALL_CDECL search_selfgn(const uint32_t* figno) { return w::search_selfgn(figno); }
ZKALL_API int32_t ZKALL_STDCALL VBcheck_selfgn(const uint32_t* figno) {
  return w::search_selfgn(figno) != nullptr ? 1 : 0;
}
ZKALL_API void ZKALL_CDECL del_selfgn(const uint32_t* figno) { w::del_selfgn(figno); }
ZKALL_API void ZKALL_STDCALL VBdel_selfgn(const uint32_t* figno) { w::del_selfgn(figno); }
ZKALL_API int32_t ZKALL_STDCALL VBread_figno(void) { return w::read_figno(); }
ZKALL_API void ZKALL_STDCALL VBwrite_figno(int16_t* count) { w::write_figno(count); }
ZKALL_API void ZKALL_STDCALL VBclear_figno(void) { w::clear_figno(); }

// ---- selection work files -------------------------------------------------------------------
ZKALL_API int32_t ZKALL_CDECL read_select_tmp(void* buffer, int32_t* error) {
  return w::read_select_tmp(buffer, ErrorWord(error));
}
ZKALL_API int32_t ZKALL_CDECL write_select_tmp(const void* buffer, int32_t* error) {
  return w::write_select_tmp(buffer, ErrorWord(error));
}
ZKALL_API int32_t ZKALL_CDECL clear_select_tmp(void) { return w::clear_select_tmp(); }
ZKALL_API int32_t ZKALL_CDECL read_lcpsel_tmp(void* buffer, int32_t* error) {
  return w::read_lcpsel_tmp(buffer, ErrorWord(error));
}
ZKALL_API int32_t ZKALL_CDECL write_lcpsel_tmp(const void* buffer, int32_t* error) {
  return w::write_lcpsel_tmp(buffer, ErrorWord(error));
}
ZKALL_API int32_t ZKALL_CDECL clear_lcpsel_tmp(void) { return w::clear_lcpsel_tmp(); }
ZKALL_API int32_t ZKALL_STDCALL VBReadSelectTmp(void) { return w::vb_read_select_tmp(); }
ZKALL_API int32_t ZKALL_STDCALL VBWriteSelectTmp(void) { return w::vb_write_select_tmp(); }
ZKALL_API int32_t ZKALL_STDCALL VBClearSelectTmp(void) { return w::clear_select_tmp(); }
ZKALL_API int32_t ZKALL_STDCALL VBReadLcpselTmp(void) { return w::vb_read_lcpsel_tmp(); }
ZKALL_API int32_t ZKALL_STDCALL VBWriteLcpselTmp(void) { return w::vb_write_lcpsel_tmp(); }
ZKALL_API int32_t ZKALL_STDCALL VBClearLcpselTmp(void) { return w::clear_lcpsel_tmp(); }

// ---- local price files ----------------------------------------------------------------------
ZKALL_API int32_t ZKALL_CDECL LCPOpen(zkall_lcp_handle* handle, int16_t pair) { return w::lcp_open(handle, pair); }
ZKALL_API int32_t ZKALL_CDECL LCPKeyRead(zkall_lcp_handle* handle, const char* key, int16_t key_length, void* out) {
  return w::lcp_key_read(handle, key, key_length, out);
}
ZKALL_API int32_t ZKALL_CDECL LCPSeqRead(zkall_lcp_handle* handle, void* out) { return w::lcp_seq_read(handle, out); }
ZKALL_API void ZKALL_CDECL LCP3PrtNoRead(zkall_lcp_handle* handle, const char* partno, void* out) {
  w::lcp3_prtno_read(handle, partno, out);
}
ZKALL_API int32_t ZKALL_CDECL LCPClose(zkall_lcp_handle* handle) { return w::lcp_close(handle); }

}  // extern "C"
