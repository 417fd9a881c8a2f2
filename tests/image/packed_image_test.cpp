// decord_img and decord_text over packed image files written by the test:
// the header record, the bitmap file byte for byte, the size and coding-type
// checks, more or fewer rows than the header says, the coded-text records,
// and the result codes of what the file itself gets wrong.
#include <gtest/gtest.h>

#include <cstring>

#include "image/stream_helpers.h"
#include "support/temp_dir.h"
#include "tools/writer/image_file.h"
#include "zkall.h"
#include "tools/imaging/bitmaps.h"
#include "tools/imaging/tiff_codec.h"

namespace zk::test {
namespace {

using namespace imaging;

void put_le(std::string& s, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

using TextRecord = writer::CodedText;

// A packed image file as the writer packs it, with a coded length that may
// lie about the coded image.
struct PackedFile : writer::PackedImageSpec {
  PackedFile() {
    header_no = 0x0A0B0C;
    header_byte = 0x5A;
    ident = "FIG0123";
  }
  int image_length = -1;  // -1: the image's size

  // The file as a copy of whole 2048-byte blocks, the rest filled with junk.
  std::string bytes() const {
    std::string s = writer::pack_image(*this);
    if (image_length >= 0) {
      for (int i = 0; i < 3; ++i) s[16 + i] = static_cast<char>((image_length >> (8 * (2 - i))) & 0xFF);
    }
    while (s.size() % 2048 != 0) s += static_cast<char>(0xA5);
    return s;
  }
};

// The bitmap file decord_img must write for `b`, built here from the BMP
// layout: file header, information header, colour table, rows bottom-up.
std::string expected_bmp(const Bitmap& b) {
  const int height = b.height;
  const int row = b.row_bytes();
  const int stride = (row + 3) / 4 * 4;
  std::string s = "BM";
  // File size, reserved, pixel offset, header size, width, height, planes,
  // bits, compression, image size, resolutions, colours used and important.
  const std::pair<int, int> fields[] = {{stride * height + 62, 4}, {0, 4}, {62, 4}, {40, 4}, {b.width, 4}, {height, 4},
                                        {1, 2}, {1, 2}, {0, 4}, {0, 4}, {0, 4}, {0, 4}, {2, 4}, {2, 4}};
  for (const auto& [v, n] : fields) put_le(s, static_cast<uint32_t>(v), n);
  s += std::string("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8);
  for (int y = height - 1; y >= 0; --y) {
    for (int i = 0; i < stride; ++i) {
      s += static_cast<char>(i < row ? b.bytes[static_cast<size_t>(y) * row + i] : 0);
    }
  }
  return s;
}

class PackedImage : public ::testing::Test {
 protected:
  void TearDown() override { decode_release(); }
  std::string write(const PackedFile& f, const std::string& name = "IMG.PAK") {
    return dir.write(name, f.bytes()).string();
  }
  std::string out_path() const { return (dir.path() / "OUT.BMP").string(); }
  std::string out() const { return dir.read("OUT.BMP"); }

  static PackedFile coded(const Bitmap& b, Coding coding = Coding::G3TwoDimensionalAligned) {
    PackedFile f;
    f.width = b.width;
    f.height = b.height;
    f.coded = tiff_encode(b, {coding, 196.0f});
    return f;
  }

  TempDir dir;
};

TEST_F(PackedImage, WithoutAnOutputFileOnlyTheHeaderIsRead) {
  PackedFile f;
  f.width = 0xFFFF;  // neither the size nor the coding type is looked at
  f.height = 0x8000;
  f.coding_type = 'X';
  f.coded.assign(70000, 0x11);
  f.texts.push_back({{1, 2, 3, 4}, 9, 8, "ABCDEFGHIJKL"});
  // The record as a separately built caller sees it: 28 bytes, each number
  // little-endian on a boundary of its own size.
  alignas(zkall_image_header) uint8_t raw[28];
  std::memset(raw, 0xEE, sizeof raw);
  ASSERT_EQ(decord_img(write(f).c_str(), nullptr, reinterpret_cast<zkall_image_header*>(raw)), 0);
  std::string head, tail;  // bytes 18 and 19 are padding
  for (const auto& [v, n] : {std::pair{0x0A0B0Cu, 4}, {0xFFFFu, 2}, {0x8000u, 2}}) put_le(head, v, n);
  head += std::string("FIG0123\0\x5AX", 10);
  put_le(tail, 70000, 4);
  put_le(tail, 22, 4);
  EXPECT_EQ(std::string(raw, raw + 18), head);
  EXPECT_EQ(std::string(raw + 20, raw + 28), tail);
}

// Rows of 2 bytes (padded to 4), of exactly 4 bytes (no padding), from
// Group 3 and Group 4; the largest illustration there is (rows of 202 bytes
// padded to 204), and a coded image of many input pieces whose bitmap spans
// many output pieces.
TEST_F(PackedImage, TheBitmapFileIsMonochromeBottomUpWithRowsPaddedToFourBytes) {
  const std::pair<Bitmap, Coding> cases[] = {
      {line_drawing(13, 9, 1), Coding::G3TwoDimensionalAligned}, {text_page(32, 21, 2), Coding::G3TwoDimensional},
      {line_drawing(1616, 1158, 5), Coding::G4}, {noise(700, 300, 7), Coding::G4},
  };
  for (const auto& [b, coding] : cases) {
    zkall_image_header h{};
    ASSERT_EQ(decord_img(write(coded(b, coding)).c_str(), out_path().c_str(), &h), 0) << b.width;
    EXPECT_EQ(+h.width, b.width);
    const std::string bmp = out(), want = expected_bmp(b);
    EXPECT_EQ(bmp.substr(0, 62), want.substr(0, 62)) << b.width;
    EXPECT_TRUE(bmp == want) << "pixel data differs at width " << b.width;
  }
}

TEST_F(PackedImage, SizeIsCheckedBeforeTheCodingType) {
  const struct { int width, height; char coding; int32_t result; } cases[] = {
      {1617, 10, '3', 209}, {10, 1159, '3', 209}, {0, 10, '3', 209}, {10, 0, '3', 209}, {1617, 10, '4', 209},
      {10, 10, '4', 210}};
  for (const auto& c : cases) {
    PackedFile f = coded(all_white(10, 10));
    f.width = c.width;
    f.height = c.height;
    f.coding_type = c.coding;
    zkall_image_header h{};
    EXPECT_EQ(decord_img(write(f).c_str(), out_path().c_str(), &h), c.result) << c.width << "x" << c.height << c.coding;
    EXPECT_FALSE(std::filesystem::exists(out_path()));  // refused before the bitmap file is created
  }
}

// The header's height sizes the bitmap: rows the stream yields beyond it are
// dropped.
TEST_F(PackedImage, TheHeaderHeightDecidesTheRows) {
  const Bitmap b = text_page(100, 40, 6);
  PackedFile more = coded(b);
  more.height = 25;
  zkall_image_header h{};
  ASSERT_EQ(decord_img(write(more).c_str(), out_path().c_str(), &h), 0);
  Bitmap top(100, 25);
  std::copy(b.bytes.begin(), b.bytes.begin() + 25 * b.row_bytes(), top.bytes.begin());
  EXPECT_TRUE(out() == expected_bmp(top));
}

// A coded length the file cannot give whole, one shorter than the decoder
// needs, or 0: 204, the decoder left free.
TEST_F(PackedImage, ACodedImageThatCannotBeReadWholeIs204) {
  for (int extra : {60000, -3, -1}) {
    PackedFile lying = coded(noise(300, 100, 8), Coding::G4);
    lying.image_length = extra == -1 ? 0 : static_cast<int>(lying.coded.size()) + extra;
    zkall_image_header h{};
    EXPECT_EQ(decord_img(write(lying).c_str(), out_path().c_str(), &h), 204) << extra;
    EXPECT_EQ(decode_release(), -1);
  }
}

// A decoder error is 208 and releases the decoder (the bitmap file stays);
// a decoder already busy with an image the caller started is not ours to
// release.
TEST_F(PackedImage, ADecoderErrorOrABusyDecoderIs208) {
  PackedFile f = coded(all_black(16, 4), Coding::G4);
  f.coded[0] = 0x01;  // seven 0 bits and a 1 where the first line starts
  zkall_image_header h{};
  EXPECT_EQ(decord_img(write(f).c_str(), out_path().c_str(), &h), 208);
  EXPECT_TRUE(std::filesystem::exists(out_path()));
  EXPECT_EQ(decode_release(), -1);
  ASSERT_EQ(decode_init(100), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(decord_img(write(coded(all_white(16, 4))).c_str(), out_path().c_str(), &h), 208);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "PROGRAM ERROR (decode_init)\n");
  EXPECT_EQ(decode_release(), 0);
}

// ---- coded texts ------------------------------------------------------------

PackedFile with_texts() {
  PackedFile f;
  f.width = 16;
  f.height = 1;
  f.coded.assign(37, 0x77);  // the records follow the coded image
  f.texts = {{{1, 0x0102, 0x8000, 0xFFFF}, 0x41, 200, "BOLT M8x25  "},
             {{10, 20, 30, 40}, 0x00, 0, "WASHER      "},
             {{1616, 1158, 0, 7}, 0xFF, 3, "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C"}};
  return f;
}

void expect_record(const zkall_coded_text& r, const TextRecord& t) {
  for (int i = 0; i < 4; ++i) EXPECT_EQ(+r.numbers[i], t.numbers[i]) << i;
  EXPECT_EQ(+r.count, t.count);
  EXPECT_EQ(std::string(r.text, 12), t.text);
  EXPECT_EQ(+r.code, t.code);
  for (uint8_t b : r.reserved) EXPECT_EQ(b, 0xCC);  // never written
}

// Records of 22 bytes are converted one by one; a length that is not a
// multiple of 22 reads one record more, one of zero or less none; nothing
// behind them is written.
TEST_F(PackedImage, CodedTextRecordsAreConverted) {
  const PackedFile f = with_texts();
  for (const auto& [length, records] : {std::pair{66, 3}, std::pair{23, 2}, std::pair{44, 2}, std::pair{45, 3},
                                         std::pair{1, 1}, std::pair{0, 0}, std::pair{-22, 0}}) {
    zkall_coded_text recs[4];
    std::memset(recs, 0xCC, sizeof recs);
    ASSERT_EQ(decord_text(write(f).c_str(), recs, length, 37), 0) << length;
    for (int i = 0; i < records; ++i) expect_record(recs[i], f.texts[static_cast<size_t>(i)]);
    const auto* untouched = reinterpret_cast<const uint8_t*>(&recs[records]);
    for (size_t i = 0; i < sizeof recs[records]; ++i) EXPECT_EQ(untouched[i], 0xCC) << length;
  }
}

TEST_F(PackedImage, CodedTextsBeforeTheStartOfTheFileAre205) {
  zkall_coded_text recs[1];
  EXPECT_EQ(decord_text(write(with_texts()).c_str(), recs, 22, -22), 205);  // before the start of the file
}

}  // namespace
}  // namespace zk::test
