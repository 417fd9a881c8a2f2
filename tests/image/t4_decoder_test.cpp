// The decoder on hand-built bit streams: the EOL and its fill bits, tag bits,
// one- and two-dimensional lines, the end of the image, the status words,
// the refusal of broken lines and of arguments it cannot use, the held-back
// byte and the decoder's life (a second start, the release of an abandoned
// image).
#include <gtest/gtest.h>

#include "image/stream_helpers.h"
#include "image/t4_decoder.h"
#include "zkall.h"

namespace zk::test {
namespace {

using namespace code;

// An EOL tagged 1 and the start of a further EOL: the end of an image.
const std::string kRtc = kEol1D + kEol1D;

class T4Decoder : public ::testing::Test {
 protected:
  void TearDown() override { decode_release(); }

  static DecodeRun decode(const BitWriter& w, int32_t width, size_t piece = 1 << 20, int32_t out = 1 << 16) {
    return decode_stream(w.bytes(), width, piece, out);
  }

  static int32_t start(int32_t width) {
    int32_t w = width, in = 0, out = 0, status = 0;
    decode_exec(0, &w, nullptr, &in, nullptr, &out, &status);
    return status;
  }
};

// No input (a length of zero, a null pointer) asks for input and leaves the
// width alone; no room for output (zero, negative) asks for output and
// reports the width. Neither takes a bit of the stream nor touches the buffer.
TEST_F(T4Decoder, AnEmptyInputOrOutputTakesNothing) {
  ASSERT_EQ(start(16), 0x1F02);
  const auto stream = BitWriter().bits(kEol1D + white(3) + black(2) + white(11) + kRtc).bytes();
  const int32_t whole = static_cast<int32_t>(stream.size());
  const struct { bool null_input; int32_t in_len, out_len, status, width; } cases[] = {
      {false, 0, 4, 0x2000, 999}, {true, whole, 4, 0x2000, 999}, {false, whole, 0, 0x1500, 16},
      {false, whole, -1, 0x1500, 16}};
  uint8_t out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  int32_t width = 999, status = 0;
  for (const auto& c : cases) {
    int32_t in_len = c.in_len, out_len = c.out_len;
    EXPECT_EQ(decode_exec(1, &width, c.null_input ? nullptr : stream.data(), &in_len, out, &out_len, &status), 0);
    EXPECT_EQ(status, c.status) << c.in_len << "/" << c.out_len;
    EXPECT_EQ(std::pair(out_len, width), std::pair(0, c.width));
    EXPECT_EQ(out[0], 0xAA);  // not even the first clearing happened
  }
  // The image then decodes from its first bit into a buffer cleared first.
  int32_t in_len = whole, out_len = 4;
  EXPECT_EQ(decode_exec(1, &width, stream.data(), &in_len, out, &out_len, &status), 0);
  EXPECT_EQ(std::pair(status, out_len), std::pair(0x9F00, 2));
  EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{0x18, 0x00, 0x00, 0x00}));
}

TEST_F(T4Decoder, AMissingWidthLengthOrStatusPointerIsRefused) {
  const auto stream = BitWriter().bits(kEol1D + white(16) + kRtc).bytes();
  for (int missing = 0; missing < 4; ++missing) {
    int32_t v[4] = {16, static_cast<int32_t>(stream.size()), 8, 0x5A5A};  // width, lengths, status
    int32_t* p[4] = {&v[0], &v[1], &v[2], &v[3]};
    p[missing] = nullptr;
    uint8_t out[8] = {};
    EXPECT_EQ(decode_exec(0, p[0], stream.data(), p[1], out, p[2], p[3]), -1) << missing;
    EXPECT_EQ(decode_release(), -1) << missing;  // nothing was started
    EXPECT_EQ(v[3], 0x5A5A) << missing;
  }
}

// Hand-built streams of 16-pixel lines and what they decode to: the status
// at their end, the rows and the width reported last.
TEST_F(T4Decoder, StreamsAndWhatTheyDecodeTo) {
  const std::string line = white(3) + black(2) + white(11);  // ...##...........
  const std::string zero_pair = kHorizontal + white(0) + black(0);
  const std::string zero_runs = white(0) + black(0);
  std::string too_wide = kEol1D, widest = kEol1D, many, many_1d;
  for (int i = 0; i < 12; ++i) too_wide += white(2560), widest += white(2560);
  // The line arrays hold 5733 entries: a line with more changing elements
  // than fit in front of the end marks is refused, whichever code adds the
  // last change (pass codes add none). 5728 changes are two short.
  for (int i = 0; i < zk::image::kMaxChanges / 2 - 1; ++i) many += zero_pair, many_1d += zero_runs;
  using B = std::vector<uint8_t>;
  const struct { const char* what; std::string bits; int32_t status; B bytes; int32_t width = 16; } cases[] = {
      // An EOL is eleven or more 0 bits and a 1 (ten are too few).
      {"10 zeros", std::string(10, '0') + "11" + line + kRtc, 0x8F0E, {}},
      // An EOL, its tag and eight 0 bits end the image.
      {"eight zeros end", kEol2D + "00000000", 0x9F00, {}},
      // A one-dimensional line sets the width from its runs.
      {"24 pixels", kEol1D + white(16) + black(8) + kEol2D + kV0 + kV0 + kRtc, 0x9F00,
       {0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF}, 24},
      {"32512 pixels", widest + white(1728) + white(64) + white(0) + kRtc, 0x9F00, B(32512 / 8), 32512},
      // The most changes a line holds, and one more by each kind of code.
      {"limit by vertical", many + kVL1 + kV0 + kRtc, 0x9F00, {0x00, 0x01}},
      {"past the limit by horizontal", many + zero_pair + zero_pair + kPass + kRtc, 0x8F0E, {}},
      {"past the limit by vertical", many + kVL2 + kVL1 + kV0 + kRtc, 0x8F0E, {}},
      {"past the limit by runs", kEol1D + many_1d + white(8) + black(4) + white(4) + kRtc, 0x8F0E, {}},
      // Lines running past the width are overruns.
      {"VR1 at the end", kVR1 + kRtc, 0x8F0C, {}},
      {"horizontal past", kHorizontal + white(16) + black(1) + kRtc, 0x8F0C, {}},
      {"34176 pixels", too_wide + white(1728) + white(1728) + kRtc, 0x8F0C, {}},
      // Broken codes are invalid.
      {"extension code", "0000001111" + white(16) + kRtc, 0x8F0E, {}},
      {"EOL in a 2-D line", kHorizontal + white(3) + black(2) + kEol2D + kV0 + kRtc, 0x8F0E, {}},
      {"a1 before pixel 0", kHorizontal + white(0) + black(16) + kVL1 + kRtc, 0x8F0E, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DecodeRun r = decode(BitWriter().bits(c.bits), 16);
    EXPECT_EQ(r.status, c.status);
    if (c.status != 0x9F00) continue;
    EXPECT_EQ(r.bytes, c.bytes);
    EXPECT_EQ(r.width, c.width);
  }
}

// Rows of two black bytes into three-byte buffers: the second row would
// begin its pair on the last byte, which is held back and opens the next
// buffer.
TEST_F(T4Decoder, TheLastByteOfABufferIsHeldBackWhenAPairWouldBeginOnIt) {
  const std::string same = kEol2D + kV0 + kV0;
  const DecodeRun r = decode(BitWriter().bits(kEol1D + white(0) + black(16) + same + same + same + kRtc), 16, 1 << 20, 3);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_EQ(r.piece_lengths, (std::vector<int32_t>{2, 2, 2}));
  EXPECT_EQ(r.bytes, std::vector<uint8_t>(8, 0xFF));
}

// A second start while an image is in progress is refused with a message,
// and so are widths outside the sixteen-bit range.
TEST_F(T4Decoder, ASecondStartAndWidthsOutOfRangeAreRefused) {
  ASSERT_EQ(start(16), 0x1F02);
  testing::internal::CaptureStderr();
  int32_t width = 16, in = 0, out = 0, status = 0;
  EXPECT_EQ(decode_exec(0, &width, nullptr, &in, nullptr, &out, &status), -1);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(decode_init(16), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "PROGRAM ERROR (decode_init)\nPROGRAM ERROR (decode_init)\n");

  EXPECT_EQ(decode_release(), 0);
  EXPECT_EQ(decode_release(), -1);
  EXPECT_EQ(decode_init(-1) + decode_init(32768), -2);
  EXPECT_EQ(decode_init(32767), 0);
  EXPECT_EQ(decode_release(), 0);
  EXPECT_EQ(start(16), 0x1F02);
}

// A zero-width image takes no pixel per line: lines of V0 codes end at once,
// rows are empty, and the image still ends at its RTC.
TEST_F(T4Decoder, AZeroWidthImageDecodesToNothing) {
  const DecodeRun r = decode_stream(BitWriter().bits("1111" + kEol1D + kEol1D).bytes(), 0, 1, 1);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_TRUE(r.bytes.empty());
}

}  // namespace
}  // namespace zk::test
