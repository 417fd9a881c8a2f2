// libFuzzer target of the illustration decoder. The first bytes of the input
// choose the line width and the sizes of the input pieces and output buffers
// (cycled through); the rest is the coded stream. Each input is decoded
// twice, whole into one large buffer and in the chosen pieces, and the two
// must agree: same status, same width, and on a clean end the same bitmap.
// Any disagreement, an output length outside the contract or a call that
// makes no progress aborts; the sanitizers catch the rest.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/t4_decoder.h"

namespace {

using zk::image::DecodeResult;
using zk::image::T4Decoder;

constexpr size_t kHeader = 2 + 8 + 8;   // width, input pieces, output sizes
constexpr size_t kMaxOutput = 1 << 22;  // bytes kept for the comparison

struct Outcome {
  int32_t status = 0;
  int32_t width = 0;
  bool starved = false;
  std::vector<uint8_t> bytes;
};

void check(bool ok) {
  if (!ok) std::abort();
}

Outcome decode(const uint8_t* stream, size_t size, int32_t width, const uint8_t* pieces, const uint8_t* outputs,
               bool whole) {
  static T4Decoder decoder;
  Outcome o;
  check(decoder.init(width) == 0);
  std::vector<uint8_t> out;
  size_t pos = 0;
  size_t k = 0;
  auto piece = [&] {
    const size_t n = whole ? size - pos : 1 + pieces[k % 8] % 97;
    return static_cast<int32_t>(n < size - pos ? n : size - pos);
  };
  auto out_size = [&] { return whole ? int32_t{1 << 16} : static_cast<int32_t>(1 + outputs[k % 8] % 211); };
  int32_t in_len = piece();
  int32_t size_now = out_size();
  out.resize(static_cast<size_t>(size_now));
  for (long calls = 0;; ++calls) {
    check(calls < 100000000);
    const DecodeResult r = decoder.decode(stream + pos, in_len, out.data(), size_now);
    o.status = r.status;
    o.width = decoder.width();
    if (r.status == zk::image::kStatusNeedInput) {
      check(r.output_length == 0);
      pos += static_cast<size_t>(in_len);
      ++k;
      if (pos >= size) {
        o.starved = true;
        break;
      }
      in_len = piece();
      continue;  // the same output buffer, untouched
    }
    if (r.status == zk::image::kStatusOutputFull || r.status == zk::image::kStatusEnd) {
      if (r.status == zk::image::kStatusOutputFull) {
        check(r.output_length == size_now || (size_now > 1 && r.output_length == size_now - 1));
      } else {
        check(r.output_length >= 0 && r.output_length < size_now);
      }
      const size_t keep = std::min(static_cast<size_t>(r.output_length), kMaxOutput - o.bytes.size());
      o.bytes.insert(o.bytes.end(), out.begin(), out.begin() + static_cast<long>(keep));
      if (r.status == zk::image::kStatusEnd) break;
      ++k;
      size_now = out_size();  // a new buffer may be of another size
      out.assign(static_cast<size_t>(size_now), 0xA5);
      continue;
    }
    check(zk::image::is_error_status(r.status));
    break;
  }
  decoder.release();
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return 0;
  const int32_t width = ((data[0] << 8) | data[1]) % 2200;
  const uint8_t* pieces = data + 2;
  const uint8_t* outputs = data + 10;
  const uint8_t* stream = data + kHeader;
  const size_t n = size - kHeader;
  if (n == 0) return 0;
  const Outcome whole = decode(stream, n, width, pieces, outputs, true);
  const Outcome cut = decode(stream, n, width, pieces, outputs, false);
  check(whole.status == cut.status);
  check(whole.starved == cut.starved);
  check(whole.width == cut.width);
  if (whole.status == zk::image::kStatusEnd) check(whole.bytes == cut.bytes);
  return 0;
}
