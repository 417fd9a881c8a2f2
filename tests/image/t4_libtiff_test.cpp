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

struct CodingCase {
  const char* name;
  EncodeOptions options;
};

const CodingCase kCodings[] = {
    {"g3_k2", {Coding::G3TwoDimensional, 98.0f}},
    {"g3_k4", {Coding::G3TwoDimensional, 196.0f}},
    {"g3_k4_aligned", {Coding::G3TwoDimensionalAligned, 196.0f}},
    {"g3_k2_aligned", {Coding::G3TwoDimensionalAligned, 98.0f}},
    {"g4", {Coding::G4, 196.0f}},
};

constexpr int32_t kLargeOutput = 1 << 22;

void expect_same(const Bitmap& expected, const DecodeRun& run, const std::string& what) {
  ASSERT_EQ(run.status, 0x9F00) << what << (run.starved ? " (decoder wanted more input)" : "");
  ASSERT_EQ(run.width, expected.width) << what;
  ASSERT_EQ(run.bytes.size(), expected.bytes.size()) << what;
  for (int y = 0; y < expected.height; ++y) {
    const auto begin = static_cast<size_t>(y) * expected.row_bytes();
    if (!std::equal(expected.bytes.begin() + begin, expected.bytes.begin() + begin + expected.row_bytes(),
                    run.bytes.begin() + begin)) {
      FAIL() << what << ": row " << y << " differs\n expected " << row_text(expected.bytes, expected.width, y)
             << "\n decoded  " << row_text(run.bytes, expected.width, y);
    }
  }
}

// The first bitmaps: each kind at a width that is not a multiple of 8.
std::vector<NamedBitmap> kinds(int width, int height) {
  return {
      {"noise", noise(width, height, 7)},
      {"sparse_noise", noise(width, height, 8, 0.05)},
      {"text", text_page(width, height, 9)},
      {"drawing", line_drawing(width, height, 10)},
      {"white", all_white(width, height)},
      {"black", all_black(width, height)},
      {"vertical_stripes", vertical_stripes(width, height)},
      {"horizontal_stripes", horizontal_stripes(width, height)},
  };
}

TEST(T4LibtiffRoundTrip, EveryKindOfBitmapInEveryCodingDecodesToItself) {
  for (const auto& coding : kCodings) {
    for (const auto& [name, bitmap] : kinds(803, 157)) {
      const auto stream = tiff_encode(bitmap, coding.options);
      expect_same(bitmap, decode_stream(stream, bitmap.width, stream.size(), kLargeOutput),
                  std::string(coding.name) + "/" + name);
    }
  }
}

TEST(T4LibtiffRoundTrip, FullSizeIllustrationsDecodeToThemselves) {
  for (const auto& coding : kCodings) {
    for (const auto& [name, bitmap] : illustration_set()) {
      if (name == "drawing_b" || name == "drawing_c") continue;  // alike; the benchmark covers them
      const auto stream = tiff_encode(bitmap, coding.options);
      expect_same(bitmap, decode_stream(stream, bitmap.width, 2048, 7168), std::string(coding.name) + "/" + name);
    }
  }
}

TEST(T4LibtiffRoundTrip, WidthsFromOneTo1616) {
  std::vector<int> widths;
  for (int w = 1; w <= 70; ++w) widths.push_back(w);
  for (int w = 71; w < 1616; w += 53) widths.push_back(w);
  for (int w : {127, 128, 129, 255, 256, 257, 1023, 1024, 1025, 1607, 1608, 1609, 1615, 1616}) widths.push_back(w);
  for (const auto& coding : kCodings) {
    for (int w : widths) {
      for (const auto& bitmap : {noise(w, 9, static_cast<uint32_t>(w)), noise(w, 9, static_cast<uint32_t>(w), 0.02),
                                 vertical_stripes(w, 3), all_black(w, 3)}) {
        const auto stream = tiff_encode(bitmap, coding.options);
        expect_same(bitmap, decode_stream(stream, w, stream.size(), kLargeOutput),
                    std::string(coding.name) + " width " + std::to_string(w));
        if (HasFatalFailure()) return;
      }
    }
  }
}

// Runs longer than the biggest make-up code of T.4 (1728) use the extended
// make-up codes 1792..2560, several of them in a row for the longest.
TEST(T4LibtiffRoundTrip, LinesWiderThanTheCatalogUseTheExtendedMakeUpCodes) {
  for (const auto& coding : kCodings) {
    for (int w : {1729, 2561, 5000, 9000}) {
      Bitmap b(w, 4);
      for (int x = 0; x < w; ++x) b.set(x, 1);          // one black run over the whole width
      for (int x = w / 3; x < w; ++x) b.set(x, 2);      // a long white run, then black
      b.set(w - 1, 3);
      const auto stream = tiff_encode(b, coding.options);
      expect_same(b, decode_stream(stream, w, stream.size(), kLargeOutput),
                  std::string(coding.name) + " width " + std::to_string(w));
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
  const std::vector<NamedBitmap> bitmaps = {
      {"small_noise", noise(37, 11, 3)},
      {"small_drawing", line_drawing(150, 40, 4)},
      {"text", text_page(421, 120, 5)},
      {"drawing", line_drawing(1616, 300, 6)},
  };
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

// A pair of bytes that would begin at the last byte of a buffer holds that
// byte back: such a buffer is handed over one byte short, never longer than
// its size, and nothing is lost.
TEST(T4LibtiffRoundTrip, ABufferEndingInsideABlackRunIsHandedOverOneByteShort) {
  const Bitmap b = all_black(64, 20);
  const auto stream = tiff_encode(b, {Coding::G4, 196.0f});
  // Rows of 8 bytes put the pairs of a black row at even offsets, so only
  // odd sizes end a buffer where a pair begins.
  for (int32_t out : {3, 7, 9, 13}) {
    const DecodeRun run = decode_stream(stream, 64, stream.size(), out);
    expect_same(b, run, "output buffers of " + std::to_string(out));
    const bool short_piece = std::any_of(run.piece_lengths.begin(), run.piece_lengths.end(),
                                         [&](int32_t n) { return n == out - 1; });
    EXPECT_TRUE(short_piece) << out;
    for (int32_t n : run.piece_lengths) EXPECT_TRUE(n == out || n == out - 1) << n;
  }
}

// The tag bits after the EOLs of a Group 3 stream, found by looking for
// eleven 0 bits and a 1 (which no code inside a line contains).
std::vector<int> eol_tags(const std::vector<uint8_t>& stream) {
  std::vector<int> tags;
  int zeros = 0;
  const size_t nbits = stream.size() * 8;
  for (size_t i = 0; i < nbits; ++i) {
    const bool one = (stream[i / 8] & (0x80 >> (i % 8))) != 0;
    if (!one) {
      ++zeros;
      continue;
    }
    if (zeros >= 11 && i + 1 < nbits) tags.push_back((stream[(i + 1) / 8] & (0x80 >> ((i + 1) % 8))) ? 1 : 0);
    zeros = 0;
  }
  return tags;
}

// What libtiff's Group 3 encoder does, which the tests above rely on: every
// line follows an EOL; the first line and then every K-th line are
// one-dimensional, K being 2 at 98 and 4 at 196 lines per inch; and with
// FAXMODE_CLASSIC the strip ends with RTC, six EOLs tagged 1.
TEST(T4LibtiffRoundTrip, LibtiffCodesEveryKthLineOneDimensionallyAndEndsWithRtc) {
  const Bitmap b = text_page(200, 12, 1);
  for (const auto& [coding, k] : {std::pair{Coding::G3TwoDimensional, 2}, std::pair{Coding::G3TwoDimensional, 4},
                                   std::pair{Coding::G3TwoDimensionalAligned, 4}}) {
    const auto tags = eol_tags(tiff_encode(b, {coding, k == 2 ? 98.0f : 196.0f}));
    ASSERT_EQ(tags.size(), 12u + 6u);
    for (int y = 0; y < 12; ++y) EXPECT_EQ(tags[y], y % k == 0 ? 1 : 0) << "line " << y << " K " << k;
    for (int i = 12; i < 18; ++i) EXPECT_EQ(tags[i], 1);
  }
}

}  // namespace
}  // namespace zk::test
