// libFuzzer target of the illustration decoder. The first bytes of the input
// choose the line width and the sizes of the input pieces and output buffers
// (cycled through); the rest is the coded stream. Each input is decoded
// twice, whole into one large buffer by a decoder of its own, and in the
// chosen pieces by the process-wide decoder through the exported
// decode_exec, and the two must agree: same status, same width, and on a
// clean end the same bitmap. Any disagreement, an output length outside the
// contract, a call that makes no progress, an error that is not final or a
// decoder left busy aborts; the sanitizers catch the rest.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/t4_decoder.h"
#include "zkall.h"

namespace {

using zk::image::DecodeResult;
using zk::image::T4Decoder;

#if defined(__clang__)
#define ZK_NOT_STEERING __attribute__((noinline, no_sanitize("coverage")))
#else
#define ZK_NOT_STEERING
#endif

constexpr size_t kHeader = 2 + 8 + 8;   // width, input pieces, output sizes

struct Outcome {
  int32_t status = 0;
  int32_t width = 0;
  bool starved = false;
  // The bitmap, compared by its length and a 64-bit FNV-1a hash (keeping
  // megabytes of rows for a byte-wise comparison cost more than the decoding).
  uint64_t length = 0;
  uint64_t hash = 0xCBF29CE484222325u;
  // Not instrumented: its loop adds no coverage worth steering by, and its
  // comparisons cost more than the decoding did.
  ZK_NOT_STEERING void add(const uint8_t* p, size_t n) {
    length += n;
    for (size_t i = 0; i < n; ++i) hash = (hash ^ p[i]) * 0x100000001B3u;
  }
};

void check(bool ok) {
  if (!ok) std::abort();
}

// One decode call, through the decoder's class or through decode_exec.
DecodeResult call(T4Decoder* own, const uint8_t* input, int32_t input_length, uint8_t* output, int32_t size) {
  if (own != nullptr) return own->decode(input, input_length, output, size);
  int32_t width = 0, length = input_length, output_length = size, status = 0;
  const int32_t r = decode_exec(1, &width, input, &length, output, &output_length, &status);
  check(r == (zk::image::is_error_status(status) ? -1 : 0));
  return {status, zk::image::is_error_status(status) ? 0 : output_length};
}

Outcome decode(const uint8_t* stream, size_t size, int32_t width, const uint8_t* pieces, const uint8_t* outputs,
               bool whole) {
  static T4Decoder own_decoder;
  T4Decoder* own = whole ? &own_decoder : nullptr;
  T4Decoder& decoder = whole ? own_decoder : zk::image::decoder();
  Outcome o;
  int32_t w = width, unused_in = 0, unused_out = 0, status = 0;
  check(whole ? decoder.init(width) == 0
              : decode_exec(0, &w, nullptr, &unused_in, nullptr, &unused_out, &status) == 0 &&
                    status == zk::image::kStatusInitialised);
  std::vector<uint8_t> out;
  size_t pos = 0, k = 0;
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
    const DecodeResult r = call(own, stream + pos, in_len, out.data(), size_now);
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
      check(r.status == zk::image::kStatusOutputFull
                ? r.output_length == size_now || (size_now > 1 && r.output_length == size_now - 1)
                : r.output_length >= 0 && r.output_length < size_now);
      o.add(out.data(), static_cast<size_t>(r.output_length));
      if (r.status == zk::image::kStatusEnd) break;
      ++k;
      size_now = out_size();  // a new buffer may be of another size
      out.assign(static_cast<size_t>(size_now), 0xA5);
      continue;
    }
    check(zk::image::is_error_status(r.status));
    // An error is final: the next call answers it again.
    check(call(own, stream, 1, out.data(), size_now).status == r.status);
    break;
  }
  // The end of the image released the decoder; otherwise it is released here.
  check(o.status == zk::image::kStatusEnd ? !decoder.busy() : decoder.release());
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
  if (whole.status == zk::image::kStatusEnd) check(whole.length == cut.length && whole.hash == cut.hash);
  return 0;
}
