// decord_img (packed image file to monochrome bitmap file), decord_text
// (coded-text records) and the bitmap writer.
#include "image/packed_image.h"

#include <algorithm>
#include <cstring>

#include "image/t4_decoder.h"
#include "platform/platform.h"

namespace zk::image {

// The records callers see have the natural layout of the 32-bit DLL's
// compiler (no pointers: the same offsets on every build).
static_assert(sizeof(zkall_image_header) == 28);
static_assert(offsetof(zkall_image_header, header_no) == 0);
static_assert(offsetof(zkall_image_header, width) == 4);
static_assert(offsetof(zkall_image_header, height) == 6);
static_assert(offsetof(zkall_image_header, ident) == 8);
static_assert(offsetof(zkall_image_header, header_byte) == 16);
static_assert(offsetof(zkall_image_header, coding_type) == 17);
static_assert(offsetof(zkall_image_header, reserved18) == 18);
static_assert(offsetof(zkall_image_header, image_length) == 20);
static_assert(offsetof(zkall_image_header, text_length) == 24);
static_assert(sizeof(zkall_coded_text) == 36);
static_assert(offsetof(zkall_coded_text, numbers) == 0);
static_assert(offsetof(zkall_coded_text, count) == 8);
static_assert(offsetof(zkall_coded_text, text) == 10);
static_assert(offsetof(zkall_coded_text, code) == 22);
static_assert(offsetof(zkall_coded_text, reserved) == 23);
static_assert(sizeof(zkall_image_header::ident) == kIdentSize + 1);
static_assert(sizeof(zkall_coded_text::text) == kTextSize);

namespace {

// Header bytes.
constexpr size_t kOffHeaderNo = 0;
constexpr size_t kOffHeaderByte = 3;
constexpr size_t kOffIdent = 4;
constexpr size_t kOffWidth = 11;
constexpr size_t kOffHeight = 13;
constexpr size_t kOffCodingType = 15;
constexpr size_t kOffImageLength = 16;
constexpr size_t kOffTextLength = 19;
// Coded-text record bytes.
constexpr size_t kOffNumbers = 0;
constexpr size_t kOffCode = 8;
constexpr size_t kOffCount = 9;
constexpr size_t kOffText = 10;

uint32_t big_endian(const uint8_t* p, size_t n) {
  uint32_t v = 0;
  for (size_t i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}

void put_le(uint8_t* p, uint32_t v, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Closes a stream when it goes out of scope, so every return path closes.
class StreamCloser {
 public:
  explicit StreamCloser(platform::StreamPtr s) : s_(std::move(s)) {}
  ~StreamCloser() {
    if (s_) s_->close();
  }
  StreamCloser(const StreamCloser&) = delete;
  StreamCloser& operator=(const StreamCloser&) = delete;
  platform::Stream* operator->() { return s_.get(); }
  platform::Stream& operator*() { return *s_; }
  explicit operator bool() const { return s_ != nullptr; }
  // Closes now: 0 or the error.
  int close() {
    const int rc = s_->close();
    s_.reset();
    return rc;
  }

 private:
  platform::StreamPtr s_;
};

// Releases the decoder when an image this caller started is left unfinished.
class DecoderGuard {
 public:
  DecoderGuard() = default;
  ~DecoderGuard() {
    if (active_) decode_release();
  }
  DecoderGuard(const DecoderGuard&) = delete;
  DecoderGuard& operator=(const DecoderGuard&) = delete;
  void arm() { active_ = true; }
  void disarm() { active_ = false; }

 private:
  bool active_ = false;
};

// Decodes the coded image from `in` into `image` (rows of the header's row
// length, zero-filled beforehand) through the input and output pieces. Bytes
// beyond the image buffer are dropped.
int32_t decode_image(platform::Stream& in, const zkall_image_header& header, platform::HeapBlock& input,
                     platform::HeapBlock& output, std::span<uint8_t> image) {
  DecoderGuard guard;
  int32_t width = header.width;
  int32_t input_length = 0;
  int32_t output_length = 0;
  int32_t status = 0;
  decode_exec(0, &width, nullptr, &input_length, nullptr, &output_length, &status);
  if (status != kStatusInitialised) {
    // A failed allocation leaves a line array behind; a busy decoder belongs
    // to an image someone else started and is left alone.
    if (status == kStatusNoMemory) decode_release();
    return kErrDecode;
  }
  guard.arm();

  int64_t remaining = header.image_length;
  auto read_piece = [&] {
    input_length = static_cast<int32_t>(std::min<int64_t>(remaining, kInputPiece));
    remaining -= input_length;
    return in.read(input.data(), static_cast<size_t>(input_length)) == static_cast<size_t>(input_length);
  };
  if (!read_piece()) return kErrRead;

  size_t filled = 0;
  for (;;) {
    output_length = kOutputPiece;
    decode_exec(1, &width, input.data(), &input_length, output.data(), &output_length, &status);
    if (status == kStatusNeedInput) {
      if (remaining <= 0 || !read_piece()) return kErrRead;
      continue;
    }
    if (status != kStatusOutputFull && status != kStatusEnd) return kErrDecode;
    const size_t take = std::min(static_cast<size_t>(output_length), image.size() - filled);
    std::memcpy(image.data() + filled, output.data(), take);
    filled += take;
    if (status == kStatusEnd) break;
  }
  guard.disarm();  // the end of the image released the decoder
  return 0;
}

int32_t write_bitmap(platform::Stream& out, const zkall_image_header& header, std::span<const uint8_t> image) {
  platform::HeapBlock pixels;
  const size_t size = bmp_stride(header.width) * static_cast<size_t>(header.height);
  if (!platform::current().allocate(size, pixels)) return kErrNoMemory;
  bmp_pixels(image, header.width, header.height, {pixels.data(), size});
  const auto headers = bmp_headers(header.width, header.height);
  if (out.write(headers.data(), headers.size()) != headers.size()) return kErrWrite;
  if (out.write(pixels.data(), size) != size) return kErrWrite;
  return 0;
}

}  // namespace

zkall_image_header parse_header(std::span<const uint8_t, kHeaderSize> bytes) {
  const uint8_t* p = bytes.data();
  zkall_image_header h{};
  h.header_no = big_endian(p + kOffHeaderNo, 3);
  h.width = static_cast<int16_t>(big_endian(p + kOffWidth, 2));
  h.height = static_cast<int16_t>(big_endian(p + kOffHeight, 2));
  std::memcpy(h.ident, p + kOffIdent, kIdentSize);
  h.ident[kIdentSize] = '\0';
  h.header_byte = p[kOffHeaderByte];
  h.coding_type = static_cast<char>(p[kOffCodingType]);
  h.image_length = static_cast<int32_t>(big_endian(p + kOffImageLength, 3));
  h.text_length = static_cast<int32_t>(big_endian(p + kOffTextLength, 2));
  return h;
}

void convert_text_record(std::span<const uint8_t, kTextRecordSize> bytes, zkall_coded_text& record) {
  const uint8_t* p = bytes.data();
  for (size_t i = 0; i < 4; ++i) record.numbers[i] = static_cast<uint16_t>(big_endian(p + kOffNumbers + 2 * i, 2));
  record.count = p[kOffCount];
  std::memcpy(record.text, p + kOffText, kTextSize);
  record.code = p[kOffCode];
}

std::array<uint8_t, kBmpHeaderSize> bmp_headers(int32_t width, int32_t height) {
  const auto pixel_bytes = static_cast<uint32_t>(bmp_stride(width) * static_cast<size_t>(height));
  std::array<uint8_t, kBmpHeaderSize> h{};
  uint8_t* p = h.data();
  // File header.
  p[0] = 'B';
  p[1] = 'M';
  put_le(p + 2, pixel_bytes + static_cast<uint32_t>(kBmpHeaderSize), 4);  // file size
  put_le(p + 10, static_cast<uint32_t>(kBmpHeaderSize), 4);               // pixel data offset
  // Information header: positive height, so the rows are stored bottom-up.
  put_le(p + 14, 40, 4);
  put_le(p + 18, static_cast<uint32_t>(width), 4);
  put_le(p + 22, static_cast<uint32_t>(height), 4);
  put_le(p + 26, 1, 2);  // planes
  put_le(p + 28, 1, 2);  // bits per pixel
  // compression 0, image size 0, resolutions 0
  put_le(p + 46, 2, 4);  // colours used
  put_le(p + 50, 2, 4);  // colours important
  // Colour table: entry 0 white (blue, green, red, reserved), entry 1 black.
  p[54] = p[55] = p[56] = 0xFF;
  return h;
}

void bmp_pixels(std::span<const uint8_t> image, int32_t width, int32_t height, std::span<uint8_t> pixels) {
  const size_t row = (static_cast<size_t>(width) + 7) / 8;
  const size_t stride = bmp_stride(width);
  const auto rows = static_cast<size_t>(height);
  for (size_t r = 0; r < rows; ++r) {
    uint8_t* dst = pixels.data() + (rows - 1 - r) * stride;
    std::memcpy(dst, image.data() + r * row, row);
    std::memset(dst + row, 0, stride - row);
  }
}

int32_t decord_img(const char* input_path, const char* output_path, zkall_image_header& header) {
  auto& platform = platform::current();
  int error = 0;
  StreamCloser in(input_path ? platform.fopen(input_path, "rb", error) : nullptr);
  if (!in) return kErrOpen;
  std::array<uint8_t, kHeaderSize> raw{};
  if (in->read(raw.data(), raw.size()) != raw.size()) return kErrHeader;
  header = parse_header(raw);
  if (output_path == nullptr) return 0;

  if (header.width < 1 || header.width > kMaxImageWidth || header.height < 1 || header.height > kMaxImageHeight)
    return kErrSize;
  if (header.coding_type != kCodingTwoDimensional) return kErrCodingType;
  StreamCloser out(platform.fopen(output_path, "wb", error));
  if (!out) return kErrCreate;

  platform::HeapBlock input;
  platform::HeapBlock output;
  platform::HeapBlock image;
  const size_t image_size = (static_cast<size_t>(header.width) + 7) / 8 * static_cast<size_t>(header.height);
  if (!platform.allocate(kInputPiece, input) || !platform.allocate(kOutputPiece, output) ||
      !platform.allocate(image_size, image))
    return kErrNoMemory;
  if (int32_t rc = decode_image(*in, header, input, output, {image.data(), image.size()})) return rc;
  input = platform::HeapBlock();
  output = platform::HeapBlock();
  if (int32_t rc = write_bitmap(*out, header, {image.data(), image.size()})) return rc;
  // Data the runtime still buffers is written at the close.
  if (out.close() != 0) return kErrWrite;
  return 0;
}

int32_t decord_text(const char* path, zkall_coded_text* records, int32_t length, int32_t offset) {
  int error = 0;
  StreamCloser in(path ? platform::current().fopen(path, "rb", error) : nullptr);
  if (!in) return kErrOpen;
  if (in->seek(static_cast<int64_t>(kHeaderSize) + offset, platform::kSeekSet) != 0) return kErrSeek;
  for (int32_t left = length, i = 0; left > 0; left -= static_cast<int32_t>(kTextRecordSize), ++i) {
    std::array<uint8_t, kTextRecordSize> raw{};
    if (records == nullptr || in->read(raw.data(), raw.size()) != raw.size()) return kErrRead;
    convert_text_record(raw, records[i]);
  }
  if (in.close() != 0) return kErrClose;
  return 0;
}

}  // namespace zk::image
