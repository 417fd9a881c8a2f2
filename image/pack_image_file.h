// make_pack_image_file: copies one illustration out of the catalog's image
// file IMAGEF.DAT into a packed image file of its own on the hard disk.
//
// An illustration is a run of whole 2048-byte blocks of IMAGEF.DAT (kind 0,
// no index levels, opened through the disc's root master file and read in
// block mode). Callers name it by a 9-character location record:
//
//   offset  width  content
//        0      6  first block of the run, decimal
//        6      3  length of the run in blocks, decimal
//
// Each group is read as the runtime's atoi reads a number: blanks first,
// then an optional sign, then digits up to the first other character, so
// "  12 " is 12 and a group without digits is 0. A NUL ends the record: the
// groups behind it are empty (0), and nothing past a NUL or past the ninth
// character is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zk::image {

inline constexpr char kImageFileName[] = "IMAGEF.DAT";
inline constexpr size_t kLocationSize = 9;
inline constexpr size_t kLocationBlockDigits = 6;
inline constexpr size_t kLocationLengthDigits = 3;

// The copy goes through one buffer of four blocks.
inline constexpr int32_t kCopyBlocks = 4;
inline constexpr size_t kCopyBufferSize = 8192;

// Details that go with result 128.
inline constexpr int32_t kDetailBadLocation = 90;  // a negative number in the location record
inline constexpr int32_t kDetailShortCopy = 94;    // a 4-block read gave fewer blocks
inline constexpr int32_t kDetailShortLast = 112;   // the read of the last 1 to 3 blocks gave fewer

struct ImageLocation {
  int64_t first_block = 0;
  int64_t blocks = 0;
};

// The two numbers of a location record (see above); `record` may be shorter
// than 9 characters, and only its first 9 are looked at.
ImageLocation parse_location(std::string_view record);

// The entry point (contract in zkall.h). `location` is read up to its ninth
// character or its first NUL.
int32_t make_pack_image_file(const char* output_path, const char* location, int32_t& detail);

}  // namespace zk::image
