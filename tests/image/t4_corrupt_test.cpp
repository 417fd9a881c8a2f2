// Damaged streams: random bit flips, random bytes and cuts in libtiff's
// streams end with an error status, a clean end or a request for more input,
// never a crash, a hang or a write outside the buffers (the sanitizer build
// runs these too), and the outcome does not depend on how the stream is cut
// into pieces or the output into buffers.
#include <gtest/gtest.h>

#include <random>

#include "image/stream_helpers.h"
#include "tools/imaging/bitmaps.h"
#include "tools/imaging/tiff_codec.h"

namespace zk::test {
namespace {

using namespace imaging;

bool acceptable(const DecodeRun& r) {
  return r.status == 0x9F00 || r.status == 0x8F0C || r.status == 0x8F0E || (r.starved && r.status == 0x2000);
}

void check_damaged(const std::vector<uint8_t>& stream, int width, const std::string& what) {
  const DecodeRun whole = decode_stream(stream, width, stream.size(), 1 << 20);
  ASSERT_TRUE(acceptable(whole)) << what << " status " << std::hex << whole.status;
  for (const auto& [piece, out] : {std::pair<size_t, int32_t>{1, 7}, {5, 3}, {64, 1}, {2048, 7168}}) {
    const DecodeRun r = decode_stream(stream, width, piece, out);
    ASSERT_EQ(r.status, whole.status) << what << " pieces " << piece << " output " << out;
    ASSERT_EQ(r.starved, whole.starved) << what;
    ASSERT_EQ(r.width, whole.width) << what;
    if (whole.status == 0x9F00) {
      ASSERT_EQ(r.bytes, whole.bytes) << what << " pieces " << piece << " output " << out;
    }
  }
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> sample_streams() {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> s;
  const Bitmap drawing = line_drawing(200, 60, 21);
  const Bitmap text = text_page(131, 40, 22);
  s.push_back({"g3 drawing", tiff_encode(drawing, {Coding::G3TwoDimensional, 196.0f})});
  s.push_back({"g3 aligned text", tiff_encode(text, {Coding::G3TwoDimensionalAligned, 98.0f})});
  s.push_back({"g4 drawing", tiff_encode(drawing, {Coding::G4, 196.0f})});
  s.push_back({"g4 noise", tiff_encode(noise(61, 20, 23), {Coding::G4, 196.0f})});
  return s;
}

constexpr int kWidths[] = {200, 131, 200, 61};

TEST(T4DamagedStreams, RandomBitFlipsEndCleanlyWhateverThePieces) {
  const auto streams = sample_streams();
  std::mt19937 rng(1234);
  for (size_t i = 0; i < streams.size(); ++i) {
    const auto& [name, stream] = streams[i];
    for (int trial = 0; trial < 60; ++trial) {
      auto damaged = stream;
      const int flips = 1 + trial % 6;
      for (int f = 0; f < flips; ++f) {
        const size_t bit = std::uniform_int_distribution<size_t>(0, damaged.size() * 8 - 1)(rng);
        damaged[bit / 8] = static_cast<uint8_t>(damaged[bit / 8] ^ (0x80 >> (bit % 8)));
      }
      check_damaged(damaged, kWidths[i], name + " trial " + std::to_string(trial));
      if (HasFatalFailure()) return;
    }
  }
}

TEST(T4DamagedStreams, RandomBytesEndCleanly) {
  std::mt19937 rng(99);
  for (int trial = 0; trial < 150; ++trial) {
    std::vector<uint8_t> junk(std::uniform_int_distribution<size_t>(1, 400)(rng));
    // Mostly 1 bits decode as long runs of V0; mostly 0 bits as EOLs and
    // long codes: vary the density.
    std::bernoulli_distribution one(0.2 + 0.6 * (trial % 5) / 4.0);
    for (auto& b : junk) {
      for (int k = 0; k < 8; ++k) b = static_cast<uint8_t>((b << 1) | (one(rng) ? 1 : 0));
    }
    check_damaged(junk, 1 + trial * 11 % 1616, "junk " + std::to_string(trial));
    if (HasFatalFailure()) return;
  }
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
  for (const auto& [name, stream] : sample_streams()) {
    const int width = name == "g3 aligned text" ? 131 : name == "g4 noise" ? 61 : 200;
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
