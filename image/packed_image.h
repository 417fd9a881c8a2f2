// The packed image file of an illustration and what is made of it: the
// header record, the monochrome bitmap file that decord_img writes from the
// coded image, and the coded-text records that decord_text converts.
//
// Packed image file (numbers big-endian):
//
//   offset  size  content
//        0     3  header number
//        3     1  header byte
//        4     7  identifier
//       11     2  width in pixels
//       13     2  height in pixels
//       15     1  coding type; '3' is the T.4 two-dimensional / T.6 stream
//       16     3  length of the coded image in bytes
//       19     2  length of the coded-text records in bytes
//       21     -  the coded image, then the coded-text records
//
// The file is a copy of whole 2048-byte catalog blocks, so bytes that belong
// to nothing may follow.
//
// Coded-text record on file (22 bytes, numbers big-endian):
//
//   offset  size  content
//        0     8  four 16-bit numbers (left, top, right, bottom)
//        8     1  code byte
//        9     1  count byte
//       10    12  text
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "zkall.h"

namespace zk::image {

inline constexpr size_t kHeaderSize = 21;
inline constexpr size_t kTextRecordSize = 22;
inline constexpr size_t kIdentSize = 7;
inline constexpr size_t kTextSize = 12;
inline constexpr char kCodingTwoDimensional = '3';
inline constexpr int32_t kMaxImageWidth = 1616;
inline constexpr int32_t kMaxImageHeight = 1158;

// decord_img reads the coded image in pieces of this size and takes the
// decoded bytes out through a buffer of this size.
inline constexpr int32_t kInputPiece = 2048;
inline constexpr int32_t kOutputPiece = 7168;

// Result codes of decord_img and decord_text.
inline constexpr int32_t kErrNoMemory = 20;
inline constexpr int32_t kErrOpen = 201;
inline constexpr int32_t kErrCreate = 202;
inline constexpr int32_t kErrHeader = 203;
inline constexpr int32_t kErrRead = 204;
inline constexpr int32_t kErrSeek = 205;
inline constexpr int32_t kErrClose = 206;
inline constexpr int32_t kErrWrite = 207;
inline constexpr int32_t kErrDecode = 208;
inline constexpr int32_t kErrSize = 209;
inline constexpr int32_t kErrCodingType = 210;

// Bitmap file: 14-byte file header, 40-byte information header, two colour
// table entries (0 white, 1 black), then the pixel rows.
inline constexpr size_t kBmpHeaderSize = 62;

// The header record of the 21 header bytes of a packed image file.
zkall_image_header parse_header(std::span<const uint8_t, kHeaderSize> bytes);

// The 36-byte record of a 22-byte coded-text record (its last 13 bytes are
// left as they are).
void convert_text_record(std::span<const uint8_t, kTextRecordSize> bytes, zkall_coded_text& record);

// Bytes of one row in the bitmap file: the row of the image padded with 0
// bytes to a multiple of 4.
constexpr size_t bmp_stride(int32_t width) { return ((static_cast<size_t>(width) + 7) / 8 + 3) & ~size_t{3}; }

// The 62 bytes in front of the pixel data of a width x height bitmap.
std::array<uint8_t, kBmpHeaderSize> bmp_headers(int32_t width, int32_t height);

// Lays the rows of `image` (height rows of (width + 7) / 8 bytes, first row
// first) into `pixels` (height rows of bmp_stride(width) bytes) bottom-up.
void bmp_pixels(std::span<const uint8_t> image, int32_t width, int32_t height, std::span<uint8_t> pixels);

// The entry points (contracts in zkall.h). A null output_path only reads the
// header.
int32_t decord_img(const char* input_path, const char* output_path, zkall_image_header& header);
int32_t decord_text(const char* path, zkall_coded_text* records, int32_t length, int32_t offset);

}  // namespace zk::image
