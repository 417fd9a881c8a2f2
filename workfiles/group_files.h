// The group files ZKGRPMEI.D (names) and ZKGRPPNC.D (part name codes) of the
// installed catalog directory: loading them into the group list and writing
// the list back, making and repairing them, and the direct readers of single
// groups for the catalog's other programs.
//
// ZKGRPMEI.D: 1001 records of 63 bytes (63063). Record 0: the number of
//   groups (16-bit signed, 0..1000) and 61 zero bytes; record 1 + i: group
//   i's code (3) and name (60); records past the number are zero.
// ZKGRPPNC.D: 1000 records of 600 bytes (600000), record i the 100 slots of
//   6 characters of group i; unused slots and records blank (zero when the
//   file was just made).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::workfiles {

inline constexpr size_t kGroupRecordSize = 63;
inline constexpr size_t kGroupNameFileRecords = 1001;
inline constexpr size_t kGroupNameFileSize = kGroupRecordSize * kGroupNameFileRecords;  // 63063
inline constexpr size_t kGroupCodeFileRecords = 1000;
inline constexpr size_t kGroupCodeFileSize = 600 * kGroupCodeFileRecords;  // 600000
// A file this size or smaller is no group file and is made afresh.
inline constexpr int64_t kNameFileRemakeLimit = 6363;
inline constexpr int64_t kCodeFileRemakeLimit = 30000;
inline constexpr size_t kReadBlockRecords = 100;

int read_group_file(int16_t& count);
int write_group_file();
int remake_gp_file();

// 1 no groups, 0 some, -1 unreadable, or the path's failure code.
int g_mei_f_check();
// The group's index 0..999 in `index` (name copied to `name`, 60 bytes),
// or -1 in `index` when there is none; returns 0, or the failure code
// (logged), which is never an index.
int g_mei_f_find(const char* code, char* name, int32_t& index);
// The part names of the group's codes into `records` (100 of 66 bytes).
int g_pnc_f_read(const char* code, char* records);

}  // namespace zk::workfiles
