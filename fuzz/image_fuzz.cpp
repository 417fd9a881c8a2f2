// Fuzz target of the packed image file readers: decord_img (the header, and
// the coded image decoded into a bitmap file) and decord_text (the coded-text
// records).
//
// Files: the first file piece is the packed image file (its path is not
// used: the file is laid at C:\ZKWORK\FIGURE.PCK). Control bytes: a fault to
// inject, then a byte choosing the call:
//   0 decord_img into C:\ZKWORK\FIGURE.BMP
//   1 decord_img with no output (the header only)
//   2 decord_text over the records the header announces (offset: the coded
//     image's length, length: the text length), as the front end calls it
//   3 decord_text with a length and an offset from the next four bytes
//
// Checks: the results are the documented ones; a decoded bitmap has the size
// its header gives and zero padding behind each row;
// the 13 bytes of each record decord_text does not write stay as they were,
// and it writes no record past the ones the length asks for (the caller's
// array holds exactly those); the decoder is not left busy; nothing is left
// open.

#include "fuzz/fuzz_support.h"
#include "image/packed_image.h"
#include "image/t4_decoder.h"

namespace {

using namespace zk::fuzz;

constexpr const char* kPacked = "C:\\ZKWORK\\FIGURE.PCK";
constexpr const char* kBitmap = "C:\\ZKWORK\\FIGURE.BMP";
constexpr uint8_t kUnwritten = 0xA5;

void check_bitmap(const zkall_image_header& h) {
  const std::string* bmp = machine().file(kBitmap);
  check(bmp != nullptr, "decord_img answered 0 without a bitmap file");
  const size_t row = (static_cast<size_t>(h.width) + 7) / 8;
  const size_t stride = zk::image::bmp_stride(h.width);
  check(bmp->size() == zk::image::kBmpHeaderSize + stride * static_cast<size_t>(h.height),
        "the bitmap file's size disagrees with its header");
  // (The bits past the width in a row's last byte are not checked: a
  // one-dimensional line of another width changes the row length, and the
  // rows behind it are laid out in the header's width all the same.)
  const auto* pixels = reinterpret_cast<const uint8_t*>(bmp->data()) + zk::image::kBmpHeaderSize;
  for (size_t r = 0; r < static_cast<size_t>(h.height); ++r)
    for (size_t i = row; i < stride; ++i) check(pixels[r * stride + i] == 0, "a bitmap row's padding is not zero");
}

void read_texts(int32_t length, int32_t offset) {
  const size_t count = length > 0 ? (static_cast<size_t>(length) + 21) / 22 : 0;
  // Exactly the records asked for: a record written past them is caught.
  std::vector<zkall_coded_text> records(count);
  if (count > 0) std::memset(records.data(), kUnwritten, count * sizeof(zkall_coded_text));
  documented("decord_text", decord_text(kPacked, count ? records.data() : nullptr, length, offset),
             {0, 201, 204, 205, 206});
  for (const zkall_coded_text& t : records)
    for (uint8_t b : t.reserved) check(b == kUnwritten, "decord_text wrote the reserved bytes of a record");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input = split_input(data, size);
  Input laid{input.control, {}};
  if (!input.files.empty()) laid.files.push_back({kPacked, std::move(input.files.front().bytes)});
  begin_input(laid);
  machine().add_directory("C:\\ZKWORK");
  Control control(input.control);
  arm_fault(control);

  zkall_image_header header{};
  switch (control.byte() % 4) {
    case 0: {
      const int32_t r = decord_img(kPacked, kBitmap, &header);
      check(r == 0 || r == 20 || (r >= 201 && r <= 210), "decord_img answered an undocumented code");
      if (r == 0) check_bitmap(header);
      break;
    }
    case 1:  // the header only
      documented("decord_img", decord_img(kPacked, nullptr, &header), {0, 201, 203});
      check(machine().file(kBitmap) == nullptr, "decord_img without output made a file");
      break;
    case 2: if (decord_img(kPacked, nullptr, &header) == 0) read_texts(header.text_length, header.image_length); break;
    case 3: {
      const auto length = static_cast<int16_t>(control.u16());
      const auto offset = static_cast<int16_t>(control.u16());
      read_texts(length, offset);
      break;
    }
  }
  check(!zk::image::decoder().busy(), "the decoder was left busy");
  machine().faults().clear();
  end_input();
  return 0;
}
