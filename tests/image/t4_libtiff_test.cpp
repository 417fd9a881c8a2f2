// The decoder against libtiff's encoder: every bitmap, coded as Group 3 with
// two-dimensional coding (K 2 and 4, with and without byte-aligned EOLs) and
// as Group 4, decodes back to itself, whatever the sizes of the input pieces
// and of the output buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "image/stream_helpers.h"
#include "tools/imaging/bitmaps.h"
#include "tools/imaging/tiff_codec.h"

namespace zk::test {
namespace {

using namespace imaging;

struct CodingCase { const char* name; EncodeOptions options; };

const CodingCase kCodings[] = {{"g3_k2", {Coding::G3TwoDimensional, 98.0f}},
                                {"g3_k4", {Coding::G3TwoDimensional, 196.0f}},
                                {"g3_k4_aligned", {Coding::G3TwoDimensionalAligned, 196.0f}},
                                {"g3_k2_aligned", {Coding::G3TwoDimensionalAligned, 98.0f}},
                                {"g4", {Coding::G4, 196.0f}}};

constexpr int32_t kLargeOutput = 1 << 22;

void expect_same(const Bitmap& expected, const DecodeRun& run, const std::string& what) {
  ASSERT_EQ(run.status, 0x9F00) << what << (run.starved ? " (decoder wanted more input)" : "");
  ASSERT_EQ(run.width, expected.width) << what;
  ASSERT_EQ(run.bytes.size(), expected.bytes.size()) << what;
  const auto diff = std::mismatch(run.bytes.begin(), run.bytes.end(), expected.bytes.begin()).first;
  ASSERT_TRUE(diff == run.bytes.end()) << what << ": row " << (diff - run.bytes.begin()) / expected.row_bytes()
                                       << " differs";
}

// Every kind of bitmap at a width that is not a multiple of 8, the full-size
// illustrations, widths from 1 to 1616, and lines wider than the catalog's
// whose runs need the extended make-up codes 1792..2560, several in a row
// for the longest.
TEST(T4LibtiffRoundTrip, EveryBitmapInEveryCodingDecodesToItself) {
  std::vector<NamedBitmap> bitmaps = {
      {"noise", noise(803, 157, 7)},        {"sparse_noise", noise(803, 157, 8, 0.05)},
      {"text", text_page(803, 157, 9)},     {"drawing", line_drawing(803, 157, 10)},
      {"white", all_white(803, 157)},       {"black", all_black(803, 157)},
      {"vertical_stripes", vertical_stripes(803, 157)}, {"horizontal_stripes", horizontal_stripes(803, 157)},
  };
  for (auto& [name, bitmap] : illustration_set())
    if (name != "drawing_b" && name != "drawing_c") bitmaps.push_back({name, bitmap});  // b and c are alike
  std::vector<int> widths = {127, 128, 129, 255, 256, 257, 1023, 1024, 1025, 1607, 1608, 1609, 1615, 1616};
  for (int w = 1; w <= 70; ++w) widths.push_back(w);
  for (int w = 71; w < 1616; w += 53) widths.push_back(w);
  for (int w : widths) {
    const std::string n = "width " + std::to_string(w);
    for (const Bitmap& b : {noise(w, 9, static_cast<uint32_t>(w)), noise(w, 9, static_cast<uint32_t>(w), 0.02),
                            vertical_stripes(w, 3), all_black(w, 3)})
      bitmaps.push_back({n, b});
  }
  for (int w : {1729, 2561, 5000, 9000}) {
    Bitmap b(w, 4);
    for (int x = 0; x < w; ++x) b.set(x, 1);      // one black run over the whole width
    for (int x = w / 3; x < w; ++x) b.set(x, 2);  // a long white run, then black
    b.set(w - 1, 3);
    bitmaps.push_back({"wide " + std::to_string(w), b});
  }
  for (const auto& coding : kCodings) {
    for (const auto& [name, bitmap] : bitmaps) {
      const auto stream = tiff_encode(bitmap, coding.options);
      expect_same(bitmap, decode_stream(stream, bitmap.width, 2048, kLargeOutput), std::string(coding.name) + "/" + name);
      if (HasFatalFailure()) return;
    }
  }
}

// Input pieces: every size for a small stream, a spread for a large one.
std::vector<size_t> piece_sizes(size_t stream_size) {
  std::set<size_t> sizes;
  if (stream_size <= 160) {
    for (size_t n = 1; n <= stream_size; ++n) sizes.insert(n);
  } else {
    for (size_t n : {1, 2, 3, 4, 5, 7, 8, 9, 13, 31, 64, 100, 257, 1000, 2048}) sizes.insert(std::min(n, stream_size));
    sizes.insert(stream_size);
  }
  return {sizes.begin(), sizes.end()};
}

TEST(T4LibtiffRoundTrip, AnyInputPiecesAndOutputBuffersJoinToTheSameBitmap) {
  const std::vector<NamedBitmap> bitmaps = {{"small_noise", noise(37, 11, 3)}, {"small_drawing", line_drawing(150, 40, 4)},
                                            {"text", text_page(421, 120, 5)}, {"drawing", line_drawing(1616, 300, 6)}};
  for (const auto& coding : kCodings) {
    for (const auto& [name, bitmap] : bitmaps) {
      const auto stream = tiff_encode(bitmap, coding.options);
      const int rb = bitmap.row_bytes();
      const std::string what = std::string(coding.name) + "/" + name;
      for (size_t piece : piece_sizes(stream.size())) {
        expect_same(bitmap, decode_stream(stream, bitmap.width, piece, kLargeOutput),
                    what + " input pieces of " + std::to_string(piece));
        if (HasFatalFailure()) return;
      }
      std::set<int32_t> outputs = {1, 2, 3, 5, rb - 1, rb + 1, 2 * rb + 3, 1000, 7168};
      if (bitmap.bytes.size() > 20000) outputs.erase(1);  // a byte per call is covered by the small ones
      for (int32_t out : outputs) {
        if (out < 1) continue;
        expect_same(bitmap, decode_stream(stream, bitmap.width, stream.size(), out),
                    what + " output buffers of " + std::to_string(out));
        expect_same(bitmap, decode_stream(stream, bitmap.width, 3, out),
                    what + " input pieces of 3, output buffers of " + std::to_string(out));
        if (HasFatalFailure()) return;
      }
    }
  }
}

}  // namespace
}  // namespace zk::test
