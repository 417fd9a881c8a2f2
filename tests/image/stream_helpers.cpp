// Hand-built bit streams and a piecewise caller of decode_exec (see
// stream_helpers.h).
#include "image/stream_helpers.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "zkall.h"

namespace zk::test {

BitWriter& BitWriter::bits(const std::string& text) {
  for (char c : text) {
    if (c == ' ') continue;
    if (c != '0' && c != '1') throw std::invalid_argument("bit text");
    if (n_ % 8 == 0) out_.push_back(0);
    if (c == '1') out_.back() = static_cast<uint8_t>(out_.back() | (0x80 >> (n_ % 8)));
    ++n_;
  }
  return *this;
}

std::vector<uint8_t> BitWriter::bytes() const { return out_; }

namespace code {

// The codes of T.4 for the runs the tests need, written out independently of
// the library's tables.
std::string white(int run) {
  static const std::map<int, std::string> codes = {
      {0, "00110101"}, {1, "000111"}, {2, "0111"}, {3, "1000"}, {4, "1011"}, {5, "1100"}, {6, "1110"}, {7, "1111"},
      {8, "10011"}, {10, "00111"}, {11, "01000"}, {16, "101010"}, {64, "11011"}, {128, "10010"}, {1728, "010011011"},
      {2560, "000000011111"}};
  return codes.at(run);  // throws for a run the table does not hold
}

std::string black(int run) {
  static const std::map<int, std::string> codes = {
      {0, "0000110111"}, {1, "010"}, {2, "11"}, {3, "10"}, {4, "011"}, {5, "0011"}, {6, "0010"}, {8, "000101"},
      {16, "0000010111"}, {64, "0000001111"}, {1728, "0000001100101"}};
  return codes.at(run);
}

}  // namespace code

DecodeRun decode_stream(const std::vector<uint8_t>& stream, int32_t width, size_t input_piece, int32_t output_size) {
  DecodeRun r;
  long calls = 0;
  int32_t w = width;
  int32_t in_len = 0;
  int32_t out_len = 0;
  int32_t status = 0;
  if (decode_exec(0, &w, nullptr, &in_len, nullptr, &out_len, &status) != 0) {
    r.status = status;
    decode_release();
    return r;
  }
  std::vector<uint8_t> out(static_cast<size_t>(std::max(output_size, 1)));
  size_t pos = 0;
  in_len = static_cast<int32_t>(std::min(input_piece, stream.size() - pos));
  // Every call either consumes input, delivers output or ends, so the stream
  // and the bitmap bound the calls; the limit only turns a hang into a failure.
  const long limit = 64 + 16 * static_cast<long>(stream.size()) + 4 * static_cast<long>(stream.size() * 8 + 1024) * 1024 / std::max(output_size, 1);
  for (;;) {
    if (++calls > limit) throw std::runtime_error("decoder does not progress");
    out_len = output_size;
    const uint8_t* in = stream.data() + pos;
    decode_exec(1, &w, in, &in_len, out.data(), &out_len, &status);
    r.status = status;
    r.width = w;
    if (status == 0x2000) {
      pos += static_cast<size_t>(in_len);
      if (pos >= stream.size()) {
        r.starved = true;
        break;
      }
      in_len = static_cast<int32_t>(std::min(input_piece, stream.size() - pos));
      continue;
    }
    if (status == 0x1500 || status == 0x9F00) {
      r.bytes.insert(r.bytes.end(), out.begin(), out.begin() + out_len);
      if (status == 0x1500) {
        r.piece_lengths.push_back(out_len);
        continue;
      }
    }
    break;
  }
  decode_release();
  return r;
}

}  // namespace zk::test
