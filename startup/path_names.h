// Path names: every file the library opens lives in one of eight places, the
// path kinds, named by the configuration or by the installed-disc table.
// Callers put a bare name (or a short relative path such as E1\SHAMEI.DAT)
// in an 80-byte buffer and have the kind's directory put in front of it.
//
//   kind  directory                 appended after it
//   0     ecram_path (work)         -
//   1     ecmst_path (installed)    disc id of discs[index] and "\" (not for -1)
//   2     price_path                -
//   3     localp_path               -
//   4     ecfil_path (library data) -
//   5     drives[index] ("D:")      -
//   6     framewld_path             disc id of discs[index] and "\" (not for -1)
//   7     framejpn_path             disc id of discs[index] and "\" (not for -1)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zk::startup {

inline constexpr size_t kNameBufferSize = 80;  // a full path has at most 79 characters
inline constexpr uint32_t kPathKindCount = 8;

enum PathKind : uint32_t {
  kPathWork = 0,
  kPathInstalled = 1,
  kPathPrice = 2,
  kPathLocalPrice = 3,
  kPathLibraryFiles = 4,
  kPathDrive = 5,
  kPathFrameWorld = 6,
  kPathFrameDomestic = 7,
};

// Completes the NUL-terminated name in the 80-byte buffer `name`:
//  0  done (the full path, NUL-padded to 80 bytes), or nothing to do: an
//     unknown kind or an empty directory leaves the name relative;
// -1  the full path would exceed 79 characters, or the index names no entry
//     of the table it indexes (0..29 for discs, 0..9 for drives); the buffer
//     is unchanged.
int get_path_name(uint32_t kind, int32_t index, char* name);

// The same for C++ callers: completes `name` into `out` (at most 79 chars).
int get_path_name(uint32_t kind, int32_t index, const std::string& name, std::string& out);

// Completes a price directory field at start-up: an empty field becomes
// ecmst_path; a drive letter becomes that letter, ":\" and the directory part
// of ecmst_path. The field stays NUL-terminated within `length`.
void set_path_name(char* field, int32_t length);

// The kind's directory with its closing backslash (or empty) for the front
// end's string, at most its byte length and never more than 80 bytes; the
// number of bytes written.
int32_t vb_get_path_name(int16_t kind, char* vbstr);

}  // namespace zk::startup
