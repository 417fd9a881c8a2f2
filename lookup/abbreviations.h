// Abbreviations explained in the data language, from RYAKUG.DAT (file kind
// 4) on the disc of the abbreviations named in the ccar area.
//
// Abbreviation record (one per abbreviation and language):
//   offset  width  content
//   0       20     abbreviation (the key), blank-padded
//   20      2      language code "01".."09"
//   22      80     meaning
//
// The meaning goes to the front end as a 130-byte text of up to three lines
// of at most 40 bytes, word-wrapped, each followed by CR LF (at 40-41,
// 82-83 and 124-125), blanks elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::lookup {

inline constexpr size_t kAbbreviationSize = 20;
inline constexpr size_t kMeaningSize = 80;
inline constexpr size_t kMeaningTextSize = 130;
inline constexpr size_t kMeaningLineSize = 40;
inline constexpr int kMeaningLines = 3;

// `abbreviation` and `meaning` are strings of the front end. *status: 0
// found, 1 no record in the data language, 4 the disc prompt cancelled.
// 0, or the failure of the multi-disc reader (logged as
// ZKSUBR01,ryak_get_mean).
int vb_ryak_get_mean(const char* abbreviation, char* meaning, uint16_t& status);

}  // namespace zk::lookup
