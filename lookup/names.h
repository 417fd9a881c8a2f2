// Figure names and part names: the name of an illustration of the current
// vehicle's catalog from its figure number (FIGMnn.DAT), and the name of a
// part from its part name code (HINMnn.DAT), nn being the data language.
//
// Figure-name record (file kind 14, key: catalog code and section digit):
//   offset  width  content
//   0       6      catalog code
//   6       1      section digit "1" to "6"
//   7       4      not read
//   11      4      figure number
//   15      60     figure name (as far as the record reaches)
// The figures of a catalog are spread over sections by figure number,
// compared as four characters: below "3000" sections 1, 2, 3 in turn;
// "3000" to below "5000" section 4; to below "8000" section 5; above 6.
//
// Part-name record (file kind 7, key: the part name code):
//   0       6      part name code
//   6       60     part name
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::lookup {

inline constexpr size_t kNameSize = 60;
inline constexpr size_t kFigureNoSize = 4;
inline constexpr size_t kPartCodeSize = 6;

// get_hinmei's status word.
inline constexpr uint16_t kStatusFound = 0;
inline constexpr uint16_t kStatusNoSuchCode = 1;
inline constexpr uint16_t kStatusCancelled = 4;

// The figure name into `name` (60 bytes, zeroed first: a record shorter
// than 75 bytes leaves the rest of the name NUL). 0 found, -1 not found, or
// the failing catalog call's result, logged as ZKSUBC30,get_figmei.
int get_figmei(const char* figure_no, char* name, int32_t& detail);

// The part name into `name` (60 bytes). `status` on entry: 0 the current
// vehicle's disc, else the first installed disc of the current area; on
// return 0 found, 1 no such code (60 blanks), 4 the disc prompt cancelled.
// 0, 14 (no area letter or no disc of the area), or the failing catalog
// call's result, logged as ZKSUBC30,get_hinmei.
int get_hinmei(const char* code, char* name, uint16_t& status);

}  // namespace zk::lookup
