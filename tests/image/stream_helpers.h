// Helpers of the decoder tests: hand-built bit streams, and a caller of
// decode_exec that feeds a stream in pieces of a chosen size and drains the
// output through a buffer of a chosen size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zk::test {

// Writes bits most significant first; spaces in the text are ignored.
class BitWriter {
 public:
  BitWriter& bits(const std::string& text);
  std::vector<uint8_t> bytes() const;

 private:
  std::vector<uint8_t> out_;
  size_t n_ = 0;
};

// Code words used to build streams by hand.
namespace code {
inline const std::string kEol = "000000000001";
inline const std::string kEol1D = kEol + "1";
inline const std::string kEol2D = kEol + "0";
inline const std::string kV0 = "1";
inline const std::string kVR1 = "011";
inline const std::string kVL1 = "010";
inline const std::string kVR2 = "000011";
inline const std::string kVL2 = "000010";
inline const std::string kVR3 = "0000011";
inline const std::string kVL3 = "0000010";
inline const std::string kPass = "0001";
inline const std::string kHorizontal = "001";
// Modified Huffman codes of the runs the hand-built tests use.
std::string white(int run);
std::string black(int run);
}  // namespace code

struct DecodeRun {
  std::vector<uint8_t> bytes;   // the pieces delivered, joined
  int32_t status = 0;           // the last status (0x9F00 at a clean end)
  int32_t width = 0;            // the width reported by the last call
  bool starved = false;         // the stream ran out while the decoder wanted more
  std::vector<int32_t> piece_lengths;  // output length of every 0x1500
};

// Decodes `stream` with decode_exec: pieces of `input_piece` bytes, an output
// buffer of `output_size` bytes. The decoder is released at the end whatever
// happened, so the next test starts afresh.
DecodeRun decode_stream(const std::vector<uint8_t>& stream, int32_t width, size_t input_piece, int32_t output_size);

}  // namespace zk::test
