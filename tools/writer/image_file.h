// The catalog writer's illustrations: packed image files (the header, the
// coded image and the coded-text records) and the image file IMAGEF.DAT
// that holds them, each a run of whole 2048-byte blocks named by a
// 9-character location record. The coding itself is the caller's (the
// imaging library codes bitmaps); the writer only lays the bytes out.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image/packed_image.h"
#include "tools/writer/file_set.h"

namespace zk::writer {

// A coded text: a 12-character text at a rectangle of the illustration.
struct CodedText {
  std::array<uint16_t, 4> numbers{};  // left, top, right, bottom
  uint8_t code = 0;
  uint8_t count = 0;
  std::string text;  // at most 12 characters, blank-padded
};

struct PackedImageSpec {
  uint32_t header_no = 0;  // 3 bytes
  uint8_t header_byte = 0;
  std::string ident;       // at most 7 characters, blank-padded
  uint16_t width = 0;
  uint16_t height = 0;
  char coding_type = image::kCodingTwoDimensional;
  std::vector<uint8_t> coded;    // the coded image, below 2^24 bytes
  std::vector<CodedText> texts;  // 22 bytes each on file, at most 65535 bytes in all
};

// The bytes of a packed image file: the 21-byte header, the coded image, and
// the coded-text records right behind it (so decord_text takes the coded
// image's length as its offset). std::invalid_argument when a field does
// not fit its width.
std::string pack_image(const PackedImageSpec& spec);

// Where an illustration lies in IMAGEF.DAT.
struct ImageLocation {
  uint32_t first_block = 0;
  uint32_t blocks = 0;
  // The location record make_pack_image_file takes: "%06u%03u".
  std::string record() const;
};

struct ImageFile {
  FileSet set;                           // IMAGEF.DAT, for a disc's root sets
  std::vector<ImageLocation> locations;  // one per packed file, in order
};

// IMAGEF.DAT holding the packed files one after another, each padded with 0
// bytes to whole blocks (an empty one is a run of no blocks), laid out as
// the built-in file table describes the image file: kind 0, no keys, no
// index files. std::invalid_argument when a run would pass 999 blocks or
// start beyond block 999999.
ImageFile build_image_file(const std::vector<std::string>& packed_files);

}  // namespace zk::writer
