// C entry points of start-up, the common areas, the menu stack, path names,
// the error log, the file-handle table, date and time, and the installed-disc
// check, the message and screen texts and the insert-disc prompt. Each converts its arguments and calls into zk::startup.
#include <string>

#include "platform/platform.h"
#include "startup/clock.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "startup/file_handles.h"
#include "startup/insert_disc_prompt.h"
#include "startup/installed_discs.h"
#include "startup/path_names.h"
#include "startup/startup.h"
#include "startup/texts.h"
#include "zkall.h"

namespace s = zk::startup;

extern "C" {

ZKALL_API int32_t ZKALL_STDCALL drom_init(void) { return s::drom_init(); }
ZKALL_API void ZKALL_STDCALL drom_term(void) { s::drom_term(); }
ZKALL_API int32_t ZKALL_STDCALL drom_set_homedir(void) { return s::drom_set_homedir(); }
ZKALL_API int32_t ZKALL_STDCALL drom_check_setup(uint16_t mode) { return s::drom_check_setup(mode); }
ZKALL_API int32_t ZKALL_STDCALL drom_reset_com(void) { return s::drom_reset_com(); }

ZKALL_API int32_t set_table(void) { return s::set_table(); }
ZKALL_API void free_table(void) { s::free_table(); }
ZKALL_API zkall_ctop* get_ctop_addr(void) { return s::ctop(); }
ZKALL_API zkall_cnext* get_cnext_addr(void) { return s::cnext(); }
ZKALL_API zkall_cnexta* get_cnexta_addr(void) { return s::cnexta(); }
ZKALL_API zkall_ccar* get_ccar_addr(void) { return s::ccar(); }
ZKALL_API zkall_cimg* get_cimg_addr(void) { return s::cimg(); }

ZKALL_API void set_next_menu(uint8_t menu) { s::set_next_menu(menu); }
ZKALL_API void set_back_menu(void) { s::set_back_menu(); }
ZKALL_API void set_main_menu(void) { s::set_main_menu(); }

ZKALL_API int32_t get_path_name(uint32_t kind, int32_t index, char* name) {
  return s::get_path_name(kind, index, name);
}
ZKALL_API void set_path_name(char* field, int32_t length) { s::set_path_name(field, length); }
ZKALL_API int32_t ZKALL_STDCALL VBGetPathName(int16_t kind, zkall_vbstr str) {
  return s::vb_get_path_name(kind, str);
}

ZKALL_API void syerr_message(const char* module, const char* function, const char* call, int32_t n1, int32_t n2,
                             int32_t n3) {
  s::report(module, function, call, n1, n2, n3);
}
ZKALL_API int32_t init_syerr_message(void) { return s::init_error_log(); }
ZKALL_API void ZKALL_STDCALL VBsyerr_message(zkall_vbstr module, zkall_vbstr function, zkall_vbstr call, int32_t n1,
                                             int32_t n2, int32_t n3) {
  using zk::platform::front_end_text;
  s::report(front_end_text(module).c_str(), front_end_text(function).c_str(), front_end_text(call).c_str(), n1, n2,
            n3);
}

ZKALL_API int32_t open2(const char* path, int32_t flags, int32_t perm) {
  return path ? s::open2(path, flags, perm) : -1;
}
ZKALL_API int32_t close2(int32_t fd) { return s::close2(fd); }
ZKALL_API int32_t closeall2(void) { return s::closeall2(); }
ZKALL_API uint32_t* handle_flag(void) { return s::handle_table(); }
ZKALL_API int32_t b_setl(uint32_t* word, int32_t bit) { return s::b_setl(word, bit); }
ZKALL_API int32_t b_resetl(uint32_t* word, int32_t bit) { return s::b_resetl(word, bit); }
ZKALL_API void date2(char* out8) { s::date2(out8); }
ZKALL_API void time2(char* out6) { s::time2(out6); }
ZKALL_API void timer(int32_t seconds) { s::timer(seconds); }

ZKALL_API int32_t setuped_cd_check(void) { return s::setuped_cd_check(); }

}  // extern "C"

// ---- message and screen texts, the insert-disc prompt ------------------------

extern "C" {

ZKALL_API int32_t set_msg(void) { return s::set_msg(); }
ZKALL_API int32_t set_scr(void) { return s::set_scr(); }
ZKALL_API void free_msg(void) { s::free_msg(); }
ZKALL_API void free_scr(void) { s::free_scr(); }
ZKALL_API const char* get_1stmsg_text(uint16_t number) { return s::get_1stmsg_text(number); }
ZKALL_API const char* get_2ndmsg_text(void) { return s::get_2ndmsg_text(); }
ZKALL_API const char* get_scr_text(uint16_t number) { return s::get_scr_text(number); }
ZKALL_API int32_t ZKALL_STDCALL VBGetMsg(int32_t number, zkall_vbstr str) { return s::vb_get_msg(number, str); }
ZKALL_API void ZKALL_STDCALL VBGetScr(int32_t number, zkall_vbstr str) { s::vb_get_scr(number, str); }
ZKALL_API int32_t disp_msgbox(int32_t message, int32_t drive, const char* disc_id, const char* disc_no,
                              int32_t* answer) {
  return s::disp_msgbox(message, drive, disc_id, disc_no, answer);
}

}  // extern "C"
