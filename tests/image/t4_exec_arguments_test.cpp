// decode_exec with arguments it cannot use: a missing width, length or status
// pointer, and an output buffer of no size.
#include <gtest/gtest.h>

#include "image/stream_helpers.h"
#include "zkall.h"

namespace zk::test {
namespace {

using namespace code;

class T4DecodeExec : public ::testing::Test {
 protected:
  void TearDown() override { decode_release(); }
};

TEST_F(T4DecodeExec, AMissingWidthLengthOrStatusPointerIsRefused) {
  const auto stream = BitWriter().bits(kEol1D + white(16) + kEol1D + kEol1D).bytes();
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

TEST_F(T4DecodeExec, AnOutputBufferOfNoSizeTakesNothingAndAsksForOutput) {
  int32_t width = 16, in_len = 0, out_len = 0, status = 0;
  ASSERT_EQ(decode_exec(0, &width, nullptr, &in_len, nullptr, &out_len, &status), 0);
  const auto stream = BitWriter().bits(kEol1D + white(3) + black(2) + white(11) + kEol1D + kEol1D).bytes();
  uint8_t out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  for (const int32_t size : {0, -1}) {
    in_len = static_cast<int32_t>(stream.size());
    out_len = size;
    EXPECT_EQ(decode_exec(1, &width, stream.data(), &in_len, out, &out_len, &status), 0);
    EXPECT_EQ(status, 0x1500) << size;
    EXPECT_EQ(out_len, 0) << size;
    EXPECT_EQ(out[0], 0xEE) << size;
  }
  // Nothing of the stream was taken: with room, the image decodes from its
  // first bit.
  out_len = 4;
  EXPECT_EQ(decode_exec(1, &width, stream.data(), &in_len, out, &out_len, &status), 0);
  EXPECT_EQ(status, 0x9F00);
  ASSERT_EQ(out_len, 2);
  EXPECT_EQ(out[0], 0x18);
  EXPECT_EQ(out[1], 0x00);
}

}  // namespace
}  // namespace zk::test
