// make_pack_image_file: the location record and the block copy out of
// IMAGEF.DAT.
#include "image/pack_image_file.h"

#include "catalog/cd_handle.h"
#include "catalog/cdopen.h"
#include "catalog/cdread.h"
#include "catalog/format.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/file_handles.h"
#include "workfiles/file_utils.h"

namespace zk::image {

namespace {

// Any drive may hold the disc; the insert-disc prompt of a catalog disc.
constexpr int32_t kAnyDrive = -1;
constexpr int32_t kPromptKind = 700;
constexpr uint8_t kImageFileKind = 0;

static_assert(kCopyBufferSize == kCopyBlocks * catalog::kBlockSize);

bool blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A group of the location record read as atoi reads it, within its width.
int64_t group_number(std::string_view field) {
  size_t i = 0;
  while (i < field.size() && blank(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  int64_t value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) value = value * 10 + (field[i] - '0');
  return negative ? -value : value;
}

// The output file's descriptor, closed through the file-handle table on
// every way out.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() {
    if (fd >= 0) startup::close2(fd);
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  int32_t fd = -1;
};

// Reads `blocks` blocks from the handle's position into the buffer and
// writes them to the output: 0; cdread's result; 128 with `short_detail`
// when fewer blocks came; 13 with the error number when the write failed.
int32_t copy_blocks(zkall_cd_handle* h, platform::HeapBlock& buffer, int32_t blocks, int32_t fd,
                    int32_t short_detail, int32_t& detail) {
  int32_t delivered = 0;
  if (int r = catalog::cdread(h, buffer.data(), nullptr, 0, blocks, &delivered, nullptr, detail); r != 0) return r;
  if (delivered < blocks) return catalog::refuse(detail, short_detail);
  const size_t bytes = static_cast<size_t>(blocks) * catalog::kBlockSize;
  int error = 0;
  if (platform::current().write(fd, buffer.data(), bytes, error) != static_cast<int64_t>(bytes)) {
    // A write that stops short without an error number ran out of room.
    detail = error != 0 ? error : platform::kErrnoNoSpace;
    return 13;
  }
  return 0;
}

}  // namespace

ImageLocation parse_location(std::string_view record) {
  record = record.substr(0, kLocationSize);
  const std::string_view block_field = record.substr(0, kLocationBlockDigits);
  const std::string_view length_field =
      record.size() > kLocationBlockDigits ? record.substr(kLocationBlockDigits, kLocationLengthDigits) : "";
  return {group_number(block_field), group_number(length_field)};
}

int32_t make_pack_image_file(const char* output_path, const char* location, int32_t& detail) {
  detail = 0;
  if (location == nullptr) return catalog::refuse(detail, kDetailBadLocation);
  size_t length = 0;
  while (length < kLocationSize && location[length] != '\0') ++length;
  const ImageLocation where = parse_location({location, length});
  if (where.first_block < 0 || where.blocks < 0) return catalog::refuse(detail, kDetailBadLocation);
  if (output_path == nullptr) {
    detail = platform::kErrnoInvalid;
    return 13;
  }

  // The image file of the current vehicle's installed disc.
  const zkall_ccar* ccar = startup::ccar();
  const int32_t disc = ccar != nullptr ? ccar->catalog_disc : -1;
  zkall_cd_handle* opened = nullptr;
  if (int r = catalog::cdopen(kImageFileName, nullptr, kImageFileKind, catalog::kReadModeBlock, kAnyDrive, disc,
                              kPromptKind, &opened, detail);
      r != 0)
    return r;
  const catalog::HandlePtr handle(opened);
  if (int r = catalog::cdseek(opened, catalog::kDataLevel, static_cast<uint32_t>(where.first_block), detail); r != 0)
    return r;

  OutputFile out;
  int32_t error = 0;
  if (workfiles::open_write(output_path, out.fd, error) != 0) {
    detail = error;
    return 13;
  }
  platform::HeapBlock buffer;
  if (!platform::current().allocate(kCopyBufferSize, buffer)) return catalog::rc::kNoMemory;

  const auto blocks = static_cast<int32_t>(where.blocks);
  for (int32_t i = 0; i < blocks / kCopyBlocks; ++i) {
    if (int32_t r = copy_blocks(opened, buffer, kCopyBlocks, out.fd, kDetailShortCopy, detail); r != 0) return r;
  }
  if (const int32_t rest = blocks % kCopyBlocks; rest != 0)
    return copy_blocks(opened, buffer, rest, out.fd, kDetailShortLast, detail);
  return 0;
}

}  // namespace zk::image
