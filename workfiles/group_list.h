// The group list: the user's groups of parts held in memory while the front
// end edits them. A group is a three-character code, a name of 60
// characters and up to 100 part name codes of 6 characters (the record
// GrpTmpItem of zkall.h, the payload of an item of one process-wide item
// list of at most 1000 groups). The list fills the front end's list boxes
// with fixed-width lines:
//   group line (70): 2 blanks, code (3), 5 blanks, name (60)
//   part line  (68): part name code (6), 2 blanks, part name (60)
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "zkall.h"

namespace zk::workfiles {

inline constexpr int16_t kGroupLimit = 1000;
inline constexpr size_t kGroupCodeSize = 3;
inline constexpr size_t kGroupNameSize = 60;
inline constexpr size_t kGroupSlots = 100;
inline constexpr size_t kSlotSize = 6;
inline constexpr size_t kSlotBytes = kGroupSlots * kSlotSize;  // 600
inline constexpr int16_t kAppendSlot = -1;

zkall_item_list& grp_tmp();

// The group whose code equals the 3 bytes given, or null.
zkall_grp_tmp_node* search_grptmp(const char* code);
// Adds a group (blank name, blank slots) at the end: null when memory is
// exhausted. No limit is applied here.
zkall_grp_tmp_node* append_group(const char* code);

// Renames the group, or adds it: 0; 1 the list holds 1000 groups; 20 out of
// memory (logged). At most 60 bytes of the name are used.
int set_grp_cd(const char* code, const char* name, size_t name_length);
// Copies at most `length` (and 60) bytes of the name, no terminator: 1, or
// 0 when the group is missing.
int get_grp_name(const char* code, char* out, size_t length);
void del_grp_cd(const char* code);

// One group line per group, in list order.
void make_list_grp_mei(platform::WindowHandle box);
// One part line per code of the group, the names read from the part-name
// file of the disc `flag` chooses (non-zero: the first installed disc of the
// current area; 0: the current vehicle's). 0, 14 or the failing catalog
// call's result, logged as ZKSUBG02.
int make_list_grp_pnc(const char* code, platform::WindowHandle box, int16_t& flag);
// Appends (slot -1) or replaces (slot 0..99) a part name code and its line.
int set_grp_pnc(platform::WindowHandle box, const char* code, const char* pnc, int16_t& slot);
// Removes the selected lines of the box and their codes from the group: 0,
// or 20 (logged).
int del_grp_pnc(platform::WindowHandle box, const char* code);

}  // namespace zk::workfiles
