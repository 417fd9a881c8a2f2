// Streams cut short ask for more input, having delivered only rows of the
// whole image, and a zero-width image. (Random damage, with the outcome not
// depending on how the stream is cut into pieces or the output into
// buffers, is the decoder fuzz target's: its corpus replays in every test
// run, under the sanitizers too.)
#include <gtest/gtest.h>

#include "image/stream_helpers.h"
#include "tools/imaging/bitmaps.h"
#include "tools/imaging/tiff_codec.h"

namespace zk::test {
namespace {

using namespace imaging;

struct Sample { std::string name; int width; std::vector<uint8_t> stream; };

std::vector<Sample> sample_streams() {
  const Bitmap drawing = line_drawing(200, 60, 21);
  return {{"g3 drawing", 200, tiff_encode(drawing, {Coding::G3TwoDimensional, 196.0f})},
          {"g3 aligned text", 131, tiff_encode(text_page(131, 40, 22), {Coding::G3TwoDimensionalAligned, 98.0f})},
          {"g4 drawing", 200, tiff_encode(drawing, {Coding::G4, 196.0f})},
          {"g4 noise", 61, tiff_encode(noise(61, 20, 23), {Coding::G4, 196.0f})}};
}

// A zero-width image takes no pixel per line: lines of V0 codes end at once,
// rows are empty, and the image still ends at its RTC.
TEST(T4DamagedStreams, AZeroWidthImageDecodesToNothing) {
  const auto stream = BitWriter().bits("1111" + code::kEol1D + code::kEol1D).bytes();
  const DecodeRun r = decode_stream(stream, 0, 1, 1);
  EXPECT_EQ(r.status, 0x9F00);
  EXPECT_TRUE(r.bytes.empty());
}

TEST(T4DamagedStreams, StreamsCutShortAskForMoreInput) {
  for (const auto& [name, width, stream] : sample_streams()) {
    const DecodeRun full = decode_stream(stream, width, stream.size(), 1 << 20);
    ASSERT_EQ(full.status, 0x9F00) << name;
    for (size_t cut = 0; cut + 3 < stream.size(); cut += 1 + cut / 4) {
      const std::vector<uint8_t> part(stream.begin(), stream.begin() + static_cast<long>(cut) + 1);
      const DecodeRun r = decode_stream(part, width, 7, 5);
      EXPECT_TRUE(r.starved) << name << " cut " << cut;
      EXPECT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), full.bytes.begin())) << name << " cut " << cut;
    }
  }
}

}  // namespace
}  // namespace zk::test
