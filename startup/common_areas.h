// The common areas: one zero-filled block of 5051 bytes holding the ctop,
// cnext, cnexta, ccar and cimg areas back to back. The catalog's programs
// read and write these areas at fixed offsets through the addresses the
// library hands out, so the layout (declared in zkall.h) is checked here
// field by field.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::startup {

static_assert(std::endian::native == std::endian::little,
              "the common areas hold little-endian numbers read in place");

inline constexpr size_t kBlockSize = 5051;
inline constexpr size_t kCtopSize = 3497;
inline constexpr size_t kCnextSize = 78;
inline constexpr size_t kCnextaSize = 500;
inline constexpr size_t kCcarSize = 632;
inline constexpr size_t kCimgSize = 344;
inline constexpr int kMaxDiscs = 30;
inline constexpr int kMaxDrives = 10;
inline constexpr size_t kDirFieldSize = 64;
inline constexpr int kMenuStackSize = 64;

// ---- the block -------------------------------------------------------------
static_assert(sizeof(zkall_common_block) == kBlockSize);
static_assert(offsetof(zkall_common_block, ctop) == 0);
static_assert(offsetof(zkall_common_block, cnext) == 3497);
static_assert(offsetof(zkall_common_block, cnexta) == 3575);
static_assert(offsetof(zkall_common_block, ccar) == 4075);
static_assert(offsetof(zkall_common_block, cimg) == 4707);

// ---- an installed-disc table entry (16 bytes) ------------------------------
static_assert(sizeof(zkall_disc) == 16);
static_assert(offsetof(zkall_disc, disc_id) == 0);
static_assert(offsetof(zkall_disc, disc_no) == 2);
static_assert(offsetof(zkall_disc, date) == 4);
static_assert(offsetof(zkall_disc, zero_char) == 12);
static_assert(offsetof(zkall_disc, header_byte) == 13);
static_assert(offsetof(zkall_disc, hd_flag) == 14);
static_assert(offsetof(zkall_disc, unused) == 15);

// ---- the ctop area ---------------------------------------------------------
static_assert(sizeof(zkall_ctop) == kCtopSize);
static_assert(offsetof(zkall_ctop, marker) == 0);
static_assert(offsetof(zkall_ctop, lang) == 4);
static_assert(offsetof(zkall_ctop, menu_lang) == 7);
static_assert(offsetof(zkall_ctop, lang_no) == 10);
static_assert(offsetof(zkall_ctop, menu_lang_no) == 12);
static_assert(offsetof(zkall_ctop, setup_ok) == 14);
static_assert(offsetof(zkall_ctop, reserved15) == 15);
static_assert(offsetof(zkall_ctop, reserved16) == 16);
static_assert(offsetof(zkall_ctop, drive_count_high) == 20);
static_assert(offsetof(zkall_ctop, drive_count) == 21);
static_assert(offsetof(zkall_ctop, drives) == 22);
static_assert(offsetof(zkall_ctop, ecram_path) == 42);
static_assert(offsetof(zkall_ctop, ecmst_path) == 106);
static_assert(offsetof(zkall_ctop, ecfil_path) == 170);
static_assert(offsetof(zkall_ctop, price_path) == 234);
static_assert(offsetof(zkall_ctop, localp_path) == 298);
static_assert(offsetof(zkall_ctop, reserved362) == 362);
static_assert(offsetof(zkall_ctop, discs) == 426);
static_assert(offsetof(zkall_ctop, disc_count) == 906);
static_assert(offsetof(zkall_ctop, current_area) == 910);
static_assert(offsetof(zkall_ctop, ecmstall) == 914);
static_assert(offsetof(zkall_ctop, framewld_path) == 922);
static_assert(offsetof(zkall_ctop, framejpn_path) == 986);
static_assert(offsetof(zkall_ctop, expgpnho) == 1050);
static_assert(offsetof(zkall_ctop, expgfsad) == 3098);
static_assert(offsetof(zkall_ctop, reserved3354) == 3354);
static_assert(offsetof(zkall_ctop, save_list_flag) == 3355);
static_assert(offsetof(zkall_ctop, save_data_handle) == 3359);
static_assert(offsetof(zkall_ctop, msg_table) == 3363);
static_assert(offsetof(zkall_ctop, msg_count) == 3367);
static_assert(offsetof(zkall_ctop, scr_table) == 3369);
static_assert(offsetof(zkall_ctop, scr_count) == 3373);
static_assert(offsetof(zkall_ctop, reserved3375) == 3375);

// ---- the cnext, cnexta and cimg areas ----------------------------------------
static_assert(sizeof(zkall_cnext) == kCnextSize);
static_assert(offsetof(zkall_cnext, depth) == 0);
static_assert(offsetof(zkall_cnext, menus) == 4);
static_assert(offsetof(zkall_cnext, unused) == 68);
static_assert(sizeof(zkall_cnexta) == kCnextaSize);
static_assert(offsetof(zkall_cnexta, figure_count) == 4);
static_assert(offsetof(zkall_cnexta, figures) == 6);
static_assert(offsetof(zkall_cnexta, unused406) == 406);
static_assert(sizeof(zkall_cimg) == kCimgSize);

// ---- the ccar area -----------------------------------------------------------
static_assert(sizeof(zkall_ccar) == kCcarSize);
static_assert(offsetof(zkall_ccar, catalog_code) == 0);
static_assert(offsetof(zkall_ccar, unused6) == 6);
static_assert(offsetof(zkall_ccar, vehicle_data) == 15);
static_assert(offsetof(zkall_ccar, frame_model) == 30);
static_assert(offsetof(zkall_ccar, frame_no) == 37);
static_assert(offsetof(zkall_ccar, ad) == 44);
static_assert(offsetof(zkall_ccar, unused50) == 50);
static_assert(offsetof(zkall_ccar, colour_no) == 51);
static_assert(offsetof(zkall_ccar, trim_no) == 54);
static_assert(offsetof(zkall_ccar, unused58) == 58);
static_assert(offsetof(zkall_ccar, notes) == 60);
static_assert(offsetof(zkall_ccar, char1_first) == 90);
static_assert(offsetof(zkall_ccar, char1_second) == 100);
static_assert(offsetof(zkall_ccar, char2) == 110);
static_assert(offsetof(zkall_ccar, vehicle_name) == 340);
static_assert(offsetof(zkall_ccar, unused360) == 360);
static_assert(offsetof(zkall_ccar, prod_from) == 364);
static_assert(offsetof(zkall_ccar, prod_to) == 368);
static_assert(offsetof(zkall_ccar, vin10) == 372);
static_assert(offsetof(zkall_ccar, abbr_disc) == 382);
static_assert(offsetof(zkall_ccar, catalog_disc) == 386);
static_assert(offsetof(zkall_ccar, step_no) == 390);
static_assert(offsetof(zkall_ccar, step_codes) == 394);
static_assert(offsetof(zkall_ccar, model) == 612);

// Makes the block: zero-filled, "COMN" in the first four bytes. 0, or -1
// when the memory cannot be had (everything then stays null).
int set_table();
// Releases the block; every area address becomes null.
void free_table();

// The block and its areas, null before set_table and after free_table.
zkall_common_block* block();
zkall_ctop* ctop();
zkall_cnext* cnext();
zkall_cnexta* cnexta();
zkall_ccar* ccar();
zkall_cimg* cimg();

// Address fields of the ctop area (msg_table, scr_table, save_data_handle):
// the value stored for a live pointer. On a 32-bit build the address itself;
// on a 64-bit build a non-zero token (the pointer stays with the library).
uint32_t address_field_value(const void* p);

}  // namespace zk::startup
