// Packed image files and the image file IMAGEF.DAT.
#include "tools/writer/image_file.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "catalog/builtin_files.h"
#include "catalog/format.h"
#include "image/pack_image_file.h"

namespace zk::writer {

namespace cat = zk::catalog;

namespace {

constexpr uint32_t kMaxThreeBytes = 0xFFFFFF;
constexpr size_t kMaxTextBytes = 0xFFFF;

void fail(const std::string& what) { throw std::invalid_argument(what); }

void put_be(std::string& out, uint32_t value, size_t bytes) {
  for (size_t i = bytes; i-- > 0;) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A text field: at most `width` characters, blank-padded.
void put_field(std::string& out, const std::string& text, size_t width, const char* what) {
  if (text.size() > width) fail(std::string(what) + " longer than " + std::to_string(width) + " characters");
  out += text;
  out.append(width - text.size(), ' ');
}

// The master entry of a row of the built-in file table.
cat::MasterEntry entry_of(const cat::BuiltinRow& row, uint8_t levels) {
  cat::MasterEntry e;
  const std::string_view name(row.name);
  std::copy(name.begin(), name.end(), e.name.begin());
  e.kind = row.kind;
  e.mask = row.mask;
  e.key_length = static_cast<uint8_t>(row.key_length);
  e.key_offset = static_cast<uint8_t>(row.key_offset);
  e.record_length = static_cast<uint16_t>(row.record_length);
  e.levels = levels;
  return e;
}

// The image file's four entries as the built-in file table lays them out.
std::array<cat::MasterEntry, 4> image_file_entries() {
  const auto rows = cat::builtin_root_rows();
  const auto data = std::find_if(rows.begin(), rows.end(), [](const cat::BuiltinRow& r) {
    return std::string_view(r.name) == image::kImageFileName;
  });
  if (data == rows.end() || data - rows.begin() < cat::kMaxLevels) fail("the built-in file table has no image file");
  const auto levels = static_cast<uint8_t>(data->levels);
  std::array<cat::MasterEntry, 4> entries{};
  for (int i = 0; i < cat::kDescriptors; ++i)
    entries[static_cast<size_t>(i)] = entry_of(*(data - cat::kDataLevel + i), levels);
  return entries;
}

}  // namespace

std::string pack_image(const PackedImageSpec& spec) {
  if (spec.header_no > kMaxThreeBytes) fail("header number above 3 bytes");
  if (spec.coded.size() > kMaxThreeBytes) fail("coded image longer than 3 bytes can say");
  const size_t text_bytes = spec.texts.size() * image::kTextRecordSize;
  if (text_bytes > kMaxTextBytes) fail("coded texts longer than 2 bytes can say");

  std::string out;
  out.reserve(image::kHeaderSize + spec.coded.size() + text_bytes);
  put_be(out, spec.header_no, 3);
  out += static_cast<char>(spec.header_byte);
  put_field(out, spec.ident, image::kIdentSize, "identifier");
  put_be(out, spec.width, 2);
  put_be(out, spec.height, 2);
  out += spec.coding_type;
  put_be(out, static_cast<uint32_t>(spec.coded.size()), 3);
  put_be(out, static_cast<uint32_t>(text_bytes), 2);
  out.append(spec.coded.begin(), spec.coded.end());
  for (const CodedText& t : spec.texts) {
    for (uint16_t n : t.numbers) put_be(out, n, 2);
    out += static_cast<char>(t.code);
    out += static_cast<char>(t.count);
    put_field(out, t.text, image::kTextSize, "coded text");
  }
  return out;
}

std::string ImageLocation::record() const {
  char text[16];
  std::snprintf(text, sizeof text, "%06u%03u", static_cast<unsigned>(first_block), static_cast<unsigned>(blocks));
  return std::string(text, image::kLocationSize);
}

ImageFile build_image_file(const std::vector<std::string>& packed_files) {
  ImageFile file;
  file.set.spec.name = image::kImageFileName;
  file.set.entries = image_file_entries();
  std::string& data = file.set.data;
  for (const std::string& packed : packed_files) {
    const auto first = static_cast<uint32_t>(data.size() / cat::kBlockSize);
    const auto blocks = static_cast<uint32_t>((packed.size() + cat::kBlockSize - 1) / cat::kBlockSize);
    if (first > cat::kMaxChildBlock) fail("an illustration starting beyond block 999999");
    if (blocks > cat::kMaxChildCount) fail("an illustration of more than 999 blocks");
    data += packed;
    data.resize(static_cast<size_t>(first + blocks) * cat::kBlockSize, '\0');
    file.locations.push_back({first, blocks});
  }
  file.set.entries[cat::kDataLevel].size = static_cast<uint32_t>(data.size() / cat::kBlockSize);
  return file;
}

}  // namespace zk::writer
