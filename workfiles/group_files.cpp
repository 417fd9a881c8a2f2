// Loading, writing, making and reading the group files.
#include "workfiles/group_files.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "catalog/format.h"
#include "lookup/record.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "startup/path_names.h"
#include "workfiles/group_list.h"
#include "workfiles/group_part_names.h"
#include "workfiles/whole_file.h"

namespace zk::workfiles {

static_assert(kGroupRecordSize == kGroupCodeSize + kGroupNameSize);
static_assert(kGroupCodeFileSize == kSlotBytes * kGroupCodeFileRecords);

namespace {

constexpr const char* kListModule = "ZKSUBG02";
constexpr const char* kFileModule = "ZKSUBG01";
constexpr const char* kNameFile = "ZKGRPMEI.D";
constexpr const char* kCodeFile = "ZKGRPPNC.D";
constexpr int kOpenFailed = 11;
constexpr int kWriteFailed = 13;
constexpr int kReadFailed = 14;
constexpr int kSeekFailed = 15;
constexpr int kNoMemoryCode = 20;
constexpr uint64_t kMegabyte = 1048576;
constexpr size_t kPartRecordSize = kSlotSize + kGroupNameSize;  // 66, as g_pnc_f_read hands it out

int path_of(const char* name, std::string& path) {
  return startup::get_path_name(startup::kPathInstalled, -1, name, path);
}

platform::StreamPtr open_stream(const std::string& path, const char* mode, int& error) {
  return platform::current().fopen(path, mode, error);
}

// The number of groups of a name-file header, held to 0..1000 so that a
// damaged header never names records the file cannot have.
int16_t group_count(const uint8_t* header) {
  int16_t n = 0;
  std::memcpy(&n, header, sizeof n);
  return std::clamp<int16_t>(n, 0, kGroupLimit);
}

// Reports of one function of one module.
struct Reporter {
  const char* module;
  const char* function;
  int operator()(const char* call, int32_t code, int32_t detail, int32_t site) const {
    startup::report(module, function, call, code, detail, site);
    return code;
  }
};

// Writes `n` bytes; the stream's error number (or no space) on a short write.
bool write_all(platform::Stream& s, const void* data, size_t n, int& error) {
  if (s.write(data, n) == n) return true;
  error = s.error_number() != 0 ? s.error_number() : platform::kErrnoNoSpace;
  return false;
}

// One of the two files as the make and remake steps see it.
struct FileSpec {
  const char* name;
  size_t record_size;
  size_t records;
  int64_t remake_limit;
  const char* open_mode;  // the remake step's open
  const char* make_function;
  int32_t make_path_site, make_open_site, make_write_site;
  const char* remake_function;
  int32_t remake_path_site, remake_open_site;
};

constexpr FileSpec kNameSpec{kNameFile, kGroupRecordSize, kGroupNameFileRecords, kNameFileRemakeLimit, "rb",
                             "make_gpmei_file", 559, 568, 577, "remake_gpmei_file", 345, 352};
constexpr FileSpec kCodeSpec{kCodeFile, kSlotBytes, kGroupCodeFileRecords, kCodeFileRemakeLimit, "r+b",
                             "make_gppnc_file", 608, 617, 626, "remake_gppnc_file", 461, 467};

// Makes the file of zero records unless a file of that name exists.
int make_file(const FileSpec& f) {
  const Reporter report{kFileModule, f.make_function};
  std::string path;
  if (const int r = path_of(f.name, path); r != 0) return report("get_path_name", r, 0, f.make_path_site);
  if (platform::current().exists(path)) return 0;
  int err = 0;
  platform::StreamPtr out = open_stream(path, "w+b", err);
  if (!out) return report("fopen", kOpenFailed, err, f.make_open_site);
  const std::string zero(f.record_size, '\0');
  for (size_t i = 0; i < f.records; ++i)
    if (!write_all(*out, zero.data(), zero.size(), err)) return report("fwrite", kWriteFailed, err, f.make_write_site);
  if (const int e = out->close(); e != 0) return report("fclose", kWriteFailed, e, f.make_write_site);
  return 0;
}

// Makes the file if missing; replaces it when it is too short to be one.
int remake_file(const FileSpec& f) {
  if (const int r = make_file(f); r != 0) return r;
  const Reporter report{kFileModule, f.remake_function};
  std::string path;
  if (const int r = path_of(f.name, path); r != 0) return report("get_path_name", r, 0, f.remake_path_site);
  int err = 0;
  platform::StreamPtr in = open_stream(path, f.open_mode, err);
  if (!in) return report("fopen", kOpenFailed, err, f.remake_open_site);
  const int64_t length = in->seek(0, platform::kSeekEnd) == 0 ? in->tell() : -1;
  in->close();
  if (length < 0 || length > f.remake_limit) return 0;
  platform::current().remove(path, err);
  return make_file(f);
}

}  // namespace

int read_group_file(int16_t& count) {
  const Reporter report{kListModule, "VBread_group_file"};
  std::string names, codes;
  if (const int r = path_of(kNameFile, names); r != 0) return report("get_path_name", r, 0, 60);
  if (const int r = path_of(kCodeFile, codes); r != 0) return report("get_path_name", r, 0, 67);

  int err = 0;
  platform::StreamPtr in = open_stream(names, "rb", err);
  if (!in) return report("fopen", kOpenFailed, err, 74);
  platform::HeapBlock image;
  if (!platform::current().allocate(kGroupNameFileSize, image)) return report("malloc", kNoMemoryCode, 0, 82);
  if (in->read(image.data(), image.size()) != image.size())
    return report("fread", kReadFailed, in->error_number(), 89);
  in->close();

  platform::StreamPtr slots = open_stream(codes, "rb", err);
  if (!slots) return report("fopen", kOpenFailed, err, 100);
  const int16_t n = group_count(image.data());
  for (int16_t i = 0; i < n; ++i) {
    const uint8_t* record = image.data() + kGroupRecordSize * (1 + static_cast<size_t>(i));
    zkall_grp_tmp_node* node = append_group(reinterpret_cast<const char*>(record));
    if (node == nullptr) return report("AddItem", kNoMemoryCode, 0, 112);
    std::memcpy(node->data.name, record + kGroupCodeSize, kGroupNameSize);
    char buf[kSlotBytes];
    if (slots->read(buf, sizeof buf) != sizeof buf) return report("fread", kReadFailed, slots->error_number(), 123);
    std::memcpy(node->data.pnc, buf, sizeof buf);
  }
  count = n;
  return 0;
}

int write_group_file() {
  const Reporter report{kListModule, "VBwrite_group_file"};
  std::string names, codes;
  if (const int r = path_of(kNameFile, names); r != 0) return report("get_path_name", r, 0, 169);
  if (const int r = path_of(kCodeFile, codes); r != 0) return report("get_path_name", r, 0, 176);

  // Each file is rewritten whole through a temporary file that replaces it
  // once complete (whole_file.h): a write that fails half-way leaves the
  // file as it was.
  int err = 0;
  WholeFileRewrite code_file(codes);
  if (!code_file.open(err)) return report("fopen", kOpenFailed, err, 183);
  platform::Stream* slots = &code_file.stream();
  platform::HeapBlock image;
  if (!platform::current().allocate(kGroupNameFileSize, image)) return report("malloc", kNoMemoryCode, 0, 191);
  int16_t n = 0;
  for (zkall_item* i = grp_tmp().first; i != nullptr && n < kGroupLimit; i = i->next, ++n) {
    const zkall_grp_tmp_item& g = reinterpret_cast<zkall_grp_tmp_node*>(i)->data;
    uint8_t* record = image.data() + kGroupRecordSize * (1 + static_cast<size_t>(n));
    std::memcpy(record, g.code, kGroupCodeSize);
    std::memcpy(record + kGroupCodeSize, g.name, kGroupNameSize);
    if (!write_all(*slots, g.pnc, kSlotBytes, err)) return report("fwrite", kWriteFailed, err, 210);
  }
  std::memcpy(image.data(), &n, sizeof n);

  platform::HeapBlock blank;
  if (!platform::current().allocate(kSlotBytes, blank)) return report("malloc", kNoMemoryCode, 0, 221);
  std::memset(blank.data(), ' ', blank.size());
  for (int16_t i = n; i < kGroupLimit; ++i)
    if (!write_all(*slots, blank.data(), blank.size(), err)) return report("fwrite", kWriteFailed, err, 230);
  // A close that fails may have lost what was written; a file that refuses
  // to be replaced (read only, say) answers as one that cannot be opened.
  if (code_file.commit(err) == WholeFileRewrite::Step::Close) return report("fclose", kWriteFailed, err, 230);
  if (err != 0) return report("fopen", kOpenFailed, err, 183);

  WholeFileRewrite name_file(names);
  if (!name_file.open(err)) return report("fopen", kOpenFailed, err, 247);
  if (!write_all(name_file.stream(), image.data(), image.size(), err))
    return report("fwrite", kWriteFailed, err, 254);
  if (name_file.commit(err) == WholeFileRewrite::Step::Close) return report("fclose", kWriteFailed, err, 254);
  if (err != 0) return report("fopen", kOpenFailed, err, 247);
  return 0;
}

int remake_gp_file() {
  const zkall_ctop* c = startup::ctop();
  const std::string root = std::string(1, c != nullptr ? c->ecmst_path[0] : '\0') + ":\\";
  platform::DiskSpace space;
  uint32_t error = 0;
  if (!platform::current().disk_free_space(root, space, error)) {
    startup::report(kFileModule, "VBRemakeGpFile", "GetDiskFreeSpace", -1, static_cast<int32_t>(error), 0);
    return -1;
  }
  const uint64_t free_bytes = uint64_t{space.sectors_per_cluster} * space.bytes_per_sector * space.free_clusters;
  if (free_bytes / kMegabyte < 1) return 0;
  if (const int r = remake_file(kNameSpec); r != 0) return r;
  return remake_file(kCodeSpec);
}

int g_mei_f_check() {
  std::string path;
  if (const int r = path_of(kNameFile, path); r != 0)
    return Reporter{kFileModule, "g_mei_f_check"}("get_path_name", r, 0, 240);
  int err = 0;
  platform::StreamPtr in = open_stream(path, "rb", err);
  uint8_t head[4];
  if (!in || in->read(head, sizeof head) != sizeof head) return -1;
  return std::all_of(head, head + sizeof head, [](uint8_t b) { return b == 0; }) ? 1 : 0;
}

int g_mei_f_find(const char* code, char* name, int32_t& index) {
  const Reporter report{kFileModule, "g_mei_f_read"};
  index = -1;
  platform::HeapBlock block;
  if (!platform::current().allocate(kGroupRecordSize * kReadBlockRecords, block))
    return report("malloc", kNoMemoryCode, 0, 55);
  std::string path;
  if (const int r = path_of(kNameFile, path); r != 0) return report("get_path_name", r, 0, 62);
  int err = 0;
  platform::StreamPtr in = open_stream(path, "rb", err);
  if (!in) return report("fopen", kOpenFailed, err, 69);
  uint8_t header[kGroupRecordSize];
  if (in->read(header, sizeof header) != sizeof header) return report("fread", kReadFailed, in->error_number(), 76);
  if (code == nullptr) return 0;
  const size_t n = static_cast<size_t>(group_count(header));
  for (size_t base = 0; base < n; base += kReadBlockRecords) {
    // The last block need only hold the records up to the number of groups.
    const size_t want = std::min(kReadBlockRecords, n - base);
    if (in->read(block.data(), block.size()) < want * kGroupRecordSize)
      return report("fread", kReadFailed, in->error_number(), 84);
    for (size_t j = 0; j < want; ++j) {
      const uint8_t* record = block.data() + j * kGroupRecordSize;
      if (std::memcmp(record, code, kGroupCodeSize) != 0) continue;
      if (name != nullptr) std::memcpy(name, record + kGroupCodeSize, kGroupNameSize);
      index = static_cast<int32_t>(base + j);
      return 0;
    }
  }
  return 0;
}

int g_pnc_f_read(const char* code, char* records) {
  const Reporter report{kFileModule, "g_pnc_f_read"};
  int32_t index = -1;
  char name[kGroupNameSize];
  if (const int r = g_mei_f_find(code, name, index); r != 0) return r;
  if (index < 0) return -1;

  std::string path;
  if (const int r = path_of(kCodeFile, path); r != 0) return report("get_path_name", r, 0, 150);
  int err = 0;
  platform::StreamPtr in = open_stream(path, "rb", err);
  if (!in) return report("fopen", kOpenFailed, err, 157);
  if (const int e = in->seek(static_cast<int64_t>(kSlotBytes) * index, platform::kSeekSet); e != 0)
    return report("fseek", kSeekFailed, e, 164);
  char slots[kSlotBytes];
  if (in->read(slots, sizeof slots) != sizeof slots) return report("fread", kReadFailed, in->error_number(), 170);
  in->close();
  auto all = [](const char* s, char c) { return std::all_of(s, s + kSlotSize, [c](char b) { return b == c; }); };
  if (all(slots, '\0')) return -1;

  PartNameFile file;
  int32_t detail = 0;
  if (const int r = file.open(vehicle_catalog_disc(), detail); r != 0) return report("cdopen", r, detail, 184);
  for (size_t i = 0; i < kGroupSlots; ++i) {
    const char* slot = slots + i * kSlotSize;
    if (all(slot, '\0') || all(slot, ' ')) break;
    if (const int r = file.reopen(detail); r != 0) return report("cdreopen", r, detail, 194);
    lookup::Record rec;
    const int r = file.read(slot, rec, detail);
    if (r == catalog::rc::kNotFound) continue;
    if (r != 0) return report("cdread", r, detail, 206);
    if (records != nullptr) rec.field(0, kPartRecordSize, records + i * kPartRecordSize, ' ');
  }
  if (const int r = file.close(detail); r != 0) return report("cdclose", r, detail, 211);
  return 0;
}

}  // namespace zk::workfiles
