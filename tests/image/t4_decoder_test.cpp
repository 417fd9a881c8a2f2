// The decoder on hand-built bit streams: the EOL and its fill bits, tag bits,
// one- and two-dimensional lines, the end of the image, every status word,
// the refusal of broken lines and of arguments it cannot use, the held-back
// byte and the decoder's life (a second start, a failed allocation, the
// release of an abandoned image).
#include <gtest/gtest.h>

#include "image/stream_helpers.h"
#include "image/t4_decoder.h"
#include "platform/platform.h"
#include "zkall.h"

namespace zk::test {
namespace {

using namespace code;

// An EOL tagged 1 and the start of a further EOL: the end of an image.
const std::string kRtc = kEol1D + kEol1D;

class T4Decoder : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::current().faults().clear();
    decode_release();
  }

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
  const struct {
    bool null_input;
    int32_t in_len, out_len, status, width;
  } cases[] = {{false, 0, 4, 0x2000, 999}, {true, whole, 4, 0x2000, 999}, {false, whole, 0, 0x1500, 16},
               {false, whole, -1, 0x1500, 16}};
  uint8_t out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  int32_t width = 999, status = 0;
  for (const auto& c : cases) {
    int32_t in_len = c.in_len, out_len = c.out_len;
    EXPECT_EQ(decode_exec(1, &width, c.null_input ? nullptr : stream.data(), &in_len, out, &out_len, &status), 0);
    EXPECT_EQ(status, c.status) << c.in_len << "/" << c.out_len;
    EXPECT_EQ(out_len, 0);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(out[0], 0xAA);  // not even the first clearing happened
  }
  // The image then decodes from its first bit.
  int32_t in_len = whole, out_len = 4;
  EXPECT_EQ(decode_exec(1, &width, stream.data(), &in_len, out, &out_len, &status), 0);
  EXPECT_EQ(status, 0x9F00);
  ASSERT_EQ(out_len, 2);
  EXPECT_EQ(out[0], 0x18);
  EXPECT_EQ(out[1], 0x00);
}

TEST_F(T4Decoder, AMissingWidthLengthOrStatusPointerIsRefused) {
  const auto stream = BitWriter().bits(kEol1D + white(16) + kRtc).bytes();
  for (int missing = 0; missing < 4; ++missing) {
    int32_t width = 16, in_len = static_cast<int32_t>(stream.size()), out_len = 8, status = 0x5A5A;
    uint8_t out[8] = {};
    int32_t* const w = missing == 0 ? nullptr : &width;
    int32_t* const in = missing == 1 ? nullptr : &in_len;
    int32_t* const ol = missing == 2 ? nullptr : &out_len;
    int32_t* const st = missing == 3 ? nullptr : &status;
    EXPECT_EQ(decode_exec(0, w, stream.data(), in, out, ol, st), -1) << missing;
    EXPECT_EQ(decode_release(), -1) << missing;  // nothing was started
    if (missing != 3) {
      EXPECT_EQ(status, 0x5A5A) << missing;
    }
  }
}

// An EOL is eleven or more 0 bits and a 1; fill bits make it longer. Fewer
// than eleven 0 bits before the 1 is no EOL.
TEST_F(T4Decoder, EolNeedsElevenZeroBitsAndTakesAnyNumberMore) {
  const struct {
    int zeros;
    int32_t status;
  } cases[] = {{11, 0x9F00}, {12, 0x9F00}, {13, 0x9F00}, {14, 0x9F00}, {18, 0x9F00},
               {31, 0x9F00}, {10, 0x8F0E}, {9, 0x8F0E},  {8, 0x8F0E}};
  for (const auto& c : cases) {
    BitWriter w;
    w.bits(std::string(static_cast<size_t>(c.zeros), '0') + "1" + "1");  // EOL, tag 1
    w.bits(white(3) + black(2) + white(11) + kRtc);
    const DecodeRun r = decode(w, 16);
    EXPECT_EQ(r.status, c.status) << c.zeros << " zeros";
    if (c.status == 0x9F00) {
      EXPECT_EQ(r.bytes, (std::vector<uint8_t>{0x18, 0x00})) << c.zeros;
    }
  }
}

// Seven 0 bits and a 1 where a line starts is no EOL; as a mode code it
// begins with six 0 bits and is refused.
TEST_F(T4Decoder, SevenZeroBitsWhereALineStartsAreInvalidCode) {
  EXPECT_EQ(decode(BitWriter().bits("00000001" + kRtc), 16).status, 0x8F0E);
}

TEST_F(T4Decoder, TagOneAnnouncesAOneDimensionalLineAndTagZeroATwoDimensionalOne) {
  BitWriter w;
  w.bits(kEol1D + white(3) + black(2) + white(11));  // ...##...........
  w.bits(kEol2D + kV0 + kVR1 + kV0);                 // ...###..........
  w.bits(kEol1D + white(0) + black(0) + white(0) + black(16));  // zero-length runs, then black
  w.bits(kRtc);
  const DecodeRun r = decode(w, 16);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_EQ(r.bytes, (std::vector<uint8_t>{0x18, 0x00, 0x1C, 0x00, 0xFF, 0xFF}));
}

TEST_F(T4Decoder, AnEolTagAndEightZeroBitsEndTheImageAndReleaseTheDecoder) {
  const DecodeRun r = decode(BitWriter().bits(kEol2D + "00000000"), 16);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_EQ(decode_release(), -1);  // already released by the end of the image
}

// A stream without EOLs is two-dimensional from its first line, against an
// all-white line above; EOFB ends it (T.6).
TEST_F(T4Decoder, AStreamWithoutEolsDecodesAsTwoDimensional) {
  BitWriter w;
  w.bits(kHorizontal + white(3) + black(2) + kV0);  // b1 is the width on the white line above
  w.bits(kV0 + kV0 + kV0);                          // the same again
  w.bits(kVL1 + kVR2 + kV0);                        // ..#####.........
  w.bits(kEol + kEol);
  const DecodeRun r = decode(w, 16);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_EQ(r.bytes, (std::vector<uint8_t>{0x18, 0x00, 0x18, 0x00, 0x3E, 0x00}));
}

// The horizontal mode at the start of a line codes the first white run as it
// is; vertical codes there may put a1 on pixel 0.
TEST_F(T4Decoder, ALineMayBeginBlack) {
  BitWriter w;
  w.bits(kHorizontal + white(0) + black(4) + kV0);  // ####............
  w.bits(kV0 + kV0 + kV0);                          // a1 on pixel 0: b1 is 0
  w.bits(kEol + kEol);
  EXPECT_EQ(decode(w, 16).bytes, (std::vector<uint8_t>{0xF0, 0x00, 0xF0, 0x00}));
}

TEST_F(T4Decoder, AOneDimensionalLineSetsTheWidthFromItsRuns) {
  BitWriter w;
  w.bits(kEol1D + white(16) + black(8));  // 24 pixels
  w.bits(kEol2D + kV0 + kV0);             // the same line, now 3 bytes a row
  w.bits(kRtc);
  const DecodeRun r = decode(w, 16);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_EQ(r.width, 24);
  EXPECT_EQ(r.bytes, (std::vector<uint8_t>{0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF}));
}

TEST_F(T4Decoder, TheWidthIsReportedAfterEveryDecodeCall) {
  const auto stream = BitWriter().bits(kEol1D + white(8) + kEol2D + kV0 + kRtc).bytes();
  int32_t width = 16, in_len = 0, out_len = 0, status = 0;
  ASSERT_EQ(start(16), 0x1F02);
  uint8_t out[16];
  in_len = 4;  // the EOL, the tag, the white run and the next EOL's 0 bits
  out_len = 16;
  decode_exec(1, &width, stream.data(), &in_len, out, &out_len, &status);
  EXPECT_EQ(status, 0x2000);
  EXPECT_EQ(width, 8);
}

TEST_F(T4Decoder, ALineRunningPastTheWidthIsAnOverrun) {
  const struct {
    const char* what;
    std::string bits;
  } cases[] = {
      {"VR1 from the end of the line", kVR1},
      {"VR3 from the end of the line", kVR3},
      {"horizontal runs past the width", kHorizontal + white(16) + black(1)},
      {"make-up code past the width", kHorizontal + white(64) + black(0)},
      {"make-up codes adding up past the width", kHorizontal + white(8) + black(8) + kV0 + kHorizontal + white(8) + black(64)},
      {"after a two-dimensional line", kEol2D + kHorizontal + white(3) + black(2) + kVR3},
  };
  for (const auto& c : cases) EXPECT_EQ(decode(BitWriter().bits(c.bits + kRtc), 16).status, 0x8F0C) << c.what;
}

TEST_F(T4Decoder, AOneDimensionalLineOf32768PixelsOrMoreIsAnOverrun) {
  BitWriter ok, over;
  ok.bits(kEol1D).repeat(white(2560), 12).bits(white(1728) + white(1728) + kRtc);  // 34176: too wide
  EXPECT_EQ(decode(ok, 16).status, 0x8F0C);
  over.bits(kEol1D).repeat(white(2560), 12).bits(white(1728) + white(64) + white(0) + kRtc);  // 32512
  const DecodeRun r = decode(over, 16);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_EQ(r.width, 32512);
  EXPECT_EQ(r.bytes.size(), 32512u / 8);
}

TEST_F(T4Decoder, BrokenCodesAreInvalid) {
  const struct {
    const char* what;
    std::string bits;
  } cases[] = {
      {"extension code", "0000001111" + white(16)},
      {"EOL inside a two-dimensional line", kHorizontal + white(3) + black(2) + kEol2D + kV0},
      {"EOL inside the first run of horizontal mode", kHorizontal + kEol2D},
      {"EOL between the runs of horizontal mode", kHorizontal + white(3) + kEol2D},
      {"a1 before pixel 0", kHorizontal + white(0) + black(16) + kVL1},
      {"a1 before a0", kHorizontal + white(3) + black(2) + kV0 + kV0 + kVL3},
      {"ten 0 bits before the 1 of an EOL", "00000000001" "1" + white(16)},
  };
  for (const auto& c : cases) EXPECT_EQ(decode(BitWriter().bits(c.bits + kRtc), 16).status, 0x8F0E) << c.what;
}

// The line arrays hold 5733 entries: a line with more changing elements than
// fit in front of the end marks is refused, at the exact limit, whichever
// code adds the last change (pass codes add none).
TEST_F(T4Decoder, ALineWithMoreChangingElementsThanTheLineArraysHoldIsInvalid) {
  constexpr int kPairs = zk::image::kMaxChanges / 2 - 1;  // 5728 changes, two short of the limit
  const std::string zero_pair = kHorizontal + white(0) + black(0);
  const std::string zero_runs = white(0) + black(0);
  const struct {
    const char* what;
    std::string lead;  // before the zero pairs
    std::string last;  // after them, ending the line at the width of 16
    int32_t status;
  } cases[] = {
      {"horizontal reaches the limit", "", zero_pair + kPass, 0x9F00},
      {"horizontal passes it", "", zero_pair + zero_pair + kPass, 0x8F0E},
      {"vertical reaches the limit", "", kVL1 + kV0, 0x9F00},
      {"vertical passes it", "", kVL2 + kVL1 + kV0, 0x8F0E},
      {"one-dimensional runs reach the limit", kEol1D, white(8) + black(8), 0x9F00},
      {"one-dimensional runs pass it", kEol1D, white(8) + black(4) + white(4), 0x8F0E},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const bool one_d = !c.lead.empty();
    BitWriter w;
    w.bits(c.lead).repeat(one_d ? zero_runs : zero_pair, kPairs).bits(c.last + kRtc);
    const DecodeRun r = decode(w, 16);
    EXPECT_EQ(r.status, c.status);
    if (c.status == 0x9F00) {
      EXPECT_EQ(r.bytes.size(), 2u);
    }
  }
}

// b1 and b2 at the end marks of the reference line: the pass code moves a0
// to the width, VL codes count back from it.
TEST_F(T4Decoder, PassAndVerticalCodesAtTheEndOfTheReferenceLine) {
  BitWriter w;
  w.bits(kPass);               // b1 and b2 are both the width: an empty line
  w.bits(kVL3 + kV0);          // .............###
  w.bits(kPass);               // b1 13, b2 16: white to the end
  w.bits(kV0 + kVR3);          // a1 at 16 (b1 is the width), then past it
  const DecodeRun r = decode(w.bits(kRtc), 16);
  EXPECT_EQ(r.status, 0x8F0C);
  const DecodeRun whole = decode(BitWriter().bits(kPass + kVL3 + kV0 + kPass + kRtc), 16);
  EXPECT_EQ(whole.bytes, (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x07, 0x00, 0x00}));
}

// A stream cut anywhere (a missing RTC, a cut inside a code or between the
// two runs of horizontal mode) leaves the decoder asking for more input, and
// what it handed over is the start of the bitmap.
TEST_F(T4Decoder, AStreamCutAnywhereAsksForMoreInput) {
  BitWriter w;
  w.bits(kEol1D + white(3) + black(2) + white(11));
  w.bits(kEol2D + kHorizontal + white(5) + black(2) + kV0);
  w.bits(kHorizontal + white(1) + black(3) + kVR1 + kV0 + kV0);
  const auto whole = w.bits(kRtc).bytes();
  const DecodeRun full = decode_stream(whole, 16, whole.size(), 3);
  ASSERT_EQ(full.status, 0x9F00);
  for (size_t cut = 1; cut + 2 < whole.size(); ++cut) {
    const std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(cut));
    const DecodeRun r = decode_stream(part, 16, 1, 3);
    EXPECT_TRUE(r.starved) << cut;
    EXPECT_EQ(r.status, 0x2000) << cut;
    EXPECT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), full.bytes.begin())) << cut;
  }
}

// Rows of two black bytes into three-byte buffers: the second row would
// begin its pair on the last byte, which is held back and opens the next
// buffer.
TEST_F(T4Decoder, TheLastByteOfABufferIsHeldBackWhenAPairWouldBeginOnIt) {
  BitWriter w;
  w.bits(kEol1D + white(0) + black(16));
  w.bits(kEol2D + kV0 + kV0).bits(kEol2D + kV0 + kV0).bits(kEol2D + kV0 + kV0).bits(kRtc);
  const DecodeRun r = decode(w, 16, 1 << 20, 3);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_EQ(r.piece_lengths, (std::vector<int32_t>{2, 2, 2}));
  EXPECT_EQ(r.bytes, std::vector<uint8_t>(8, 0xFF));
}

TEST_F(T4Decoder, AnOutputBufferIsClearedBeforeTheDecoderWritesIntoIt) {
  ASSERT_EQ(start(16), 0x1F02);
  const auto stream = BitWriter().bits(kEol1D + white(3) + black(2) + white(11) + kRtc).bytes();
  std::vector<uint8_t> out(8, 0xEE);
  int32_t width = 16, in_len = static_cast<int32_t>(stream.size()), out_len = 8, status = 0;
  decode_exec(1, &width, stream.data(), &in_len, out.data(), &out_len, &status);
  EXPECT_EQ(status, 0x9F00);
  EXPECT_EQ(out, (std::vector<uint8_t>{0x18, 0x00, 0, 0, 0, 0, 0, 0}));
}

TEST_F(T4Decoder, ASecondStartWhileAnImageIsInProgressIsRefusedWithAMessage) {
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
  EXPECT_EQ(start(16), 0x1F02);
}

TEST_F(T4Decoder, WidthsOutsideTheSixteenBitRangeAreRefused) {
  EXPECT_EQ(decode_init(-1), -1);
  EXPECT_EQ(decode_init(32768), -1);
  EXPECT_EQ(decode_init(32767), 0);
}

TEST_F(T4Decoder, NoMemoryForTheLineArraysIs0x8F08) {
  auto& faults = platform::current().faults();
  faults.add(platform::Op::Alloc, platform::kErrnoNoMemory, {}, 1);
  int32_t width = 16, in = 0, out = 0, status = 0;
  EXPECT_EQ(decode_exec(0, &width, nullptr, &in, nullptr, &out, &status), -1);
  EXPECT_EQ(status, 0x8F08);
  EXPECT_EQ(decode_release(), -1);  // nothing was allocated

  // The second array failing leaves the first: the decoder is busy until
  // it is released.
  faults.clear();
  faults.add(platform::Op::Alloc, platform::kErrnoNoMemory, {}, 2);
  EXPECT_EQ(decode_init(16), 0x8F08);
  testing::internal::CaptureStderr();
  EXPECT_EQ(decode_init(16), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "PROGRAM ERROR (decode_init)\n");
  EXPECT_EQ(decode_release(), 0);
  EXPECT_EQ(decode_init(16), 0);
}

TEST_F(T4Decoder, AnErrorIsFinalUntilTheDecoderIsReleased) {
  ASSERT_EQ(start(16), 0x1F02);
  const auto stream = BitWriter().bits(kVR3 + kRtc).bytes();
  uint8_t out[8];
  int32_t width = 16, in_len = static_cast<int32_t>(stream.size()), out_len = 8, status = 0;
  EXPECT_EQ(decode_exec(1, &width, stream.data(), &in_len, out, &out_len, &status), -1);
  EXPECT_EQ(status, 0x8F0C);
  EXPECT_EQ(out_len, 8);  // unchanged
  const auto good = BitWriter().bits(kV0 + kRtc).bytes();
  in_len = static_cast<int32_t>(good.size());
  EXPECT_EQ(decode_exec(1, &width, good.data(), &in_len, out, &out_len, &status), -1);
  EXPECT_EQ(status, 0x8F0C);
  EXPECT_EQ(decode_release(), 0);
  EXPECT_EQ(decode_exec(1, &width, good.data(), &in_len, out, &out_len, &status), -1);
  EXPECT_EQ(status, 0x8F0E);  // no image in progress
}

}  // namespace
}  // namespace zk::test
