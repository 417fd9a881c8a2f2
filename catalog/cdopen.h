// Opening an indexed catalog file set through the catalog master files:
// cdopen (the disc's root master file ZKROOTMF.MST, or a catalog directory's
// master file "ZK" + catalog code + ".MST") and fcdopen (the frame-number
// master file ZKFRNOMF.MST). The master file tells where the set's files lie
// and how they are laid out; the lookup follows it to another installed disc
// when the file lives there, has the disc put in a drive when a file lies on
// the disc itself, opens the files and hands back a ready handle.
//
// Results: 0 with the handle; -1 when the master file does not exist (detail
// 2); 4 the user cancelled the insert-disc prompt; 11 a master or catalog
// file could not be opened; 14 the master file could not be read whole (a
// catalog master file shorter than 2048 bytes included); 15 it could not be
// rewound; 20 out of memory; 128 with
//   101 the master file's path cannot be built
//   102 the disc holding the master file or the file is not installed (also
//       an installed-disc index outside the table)
//   103 the path of one of the set's files cannot be built
//   104 the file is not listed (or its file kind number does not match)
//   105 the data file's entry is among the first three entries of the
//       master file, where no three level entries can stand before it
//   106 the master files send the lookup round in a loop: after 16 master
//       files the lookup gives up
//   2001, 2002 refused by the drive search.
// A failed open releases everything it took and leaves the handle null.
//
// In a catalog master file, a data file of any location kind but 2 is opened
// as "CODE\NAME" on the drive found (path kind 5); when no disc was needed
// there is no drive and the name stays relative to the current directory,
// so the open normally fails with 11. Files that can never be read are not
// opened: files stored inside a master file (location kind 2) or of an
// unknown kind listed in a root or frame-number master file, and index
// levels of location kind 1 or of an unknown kind listed in a catalog master
// file. Reading them fails at the seek that comes first (128/503).
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

inline constexpr int kMaxMasterLookups = 16;

namespace open_detail {
inline constexpr int32_t kMasterPath = 101;
inline constexpr int32_t kNotInstalled = 102;
inline constexpr int32_t kFilePath = 103;
inline constexpr int32_t kNotListed = 104;
inline constexpr int32_t kEntryOutOfPlace = 105;
inline constexpr int32_t kLookupLoop = 106;
}  // namespace open_detail

int cdopen(const char* name, const char* catalog_code, uint8_t kind, int32_t read_mode, int32_t drive,
           int32_t disc, int32_t prompt_kind, zkall_cd_handle** out, int32_t& detail);

int fcdopen(const char* name, uint8_t kind, int32_t read_mode, int32_t drive, int32_t disc, int32_t prompt_kind,
            zkall_cd_handle** out, int32_t& detail);

}  // namespace zk::catalog
