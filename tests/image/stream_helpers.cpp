// Hand-built bit streams and a piecewise caller of decode_exec (see
// stream_helpers.h).
#include "image/stream_helpers.h"

#include <algorithm>
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
  switch (run) {
    case 0: return "00110101";
    case 1: return "000111";
    case 2: return "0111";
    case 3: return "1000";
    case 4: return "1011";
    case 5: return "1100";
    case 6: return "1110";
    case 7: return "1111";
    case 8: return "10011";
    case 10: return "00111";
    case 11: return "01000";
    case 16: return "101010";
    case 64: return "11011";
    case 128: return "10010";
    case 1728: return "010011011";
    case 2560: return "000000011111";
  }
  throw std::invalid_argument("no white code in the test table");
}

std::string black(int run) {
  switch (run) {
    case 0: return "0000110111";
    case 1: return "010";
    case 2: return "11";
    case 3: return "10";
    case 4: return "011";
    case 5: return "0011";
    case 6: return "0010";
    case 8: return "000101";
    case 16: return "0000010111";
    case 64: return "0000001111";
    case 1728: return "0000001100101";
  }
  throw std::invalid_argument("no black code in the test table");
}

}  // namespace code

DecodeRun decode_stream(const std::vector<uint8_t>& stream, int32_t width, size_t input_piece, int32_t output_size) {
  DecodeRun r;
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
    if (++r.calls > limit) throw std::runtime_error("decoder does not progress");
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

std::string row_text(const std::vector<uint8_t>& bytes, int width, int row) {
  const int rb = (width + 7) / 8;
  std::string s;
  for (int x = 0; x < width; ++x) {
    const size_t i = static_cast<size_t>(row) * rb + x / 8;
    s += i < bytes.size() && (bytes[i] & (0x80 >> (x % 8))) ? '#' : '.';
  }
  return s;
}

}  // namespace zk::test
