// Reading, writing and clearing SELECT.TMP and LCPSEL.TMP, raw and through
// the selection lists.
#include "workfiles/select_tmp.h"

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "startup/error_log.h"
#include "startup/path_names.h"
#include "workfiles/selection_lists.h"
#include "workfiles/whole_file.h"
#include "zkall.h"

namespace zk::workfiles {

static_assert(kWorkFileSize == ZKALL_WORK_FILE_SIZE && kWorkRecordSize == ZKALL_WORK_FILE_RECORD);

namespace {

constexpr int kOpenFailed = 11;
constexpr int kWriteFailed = 13;
constexpr int kReadFailed = 14;
constexpr int kNoMemoryCode = 20;

// The report sites of one front-end function pair and its clear.
struct Sites {
  const char* module;
  const char* read_function;
  int32_t read_path, read_open, read_alloc, read_read, read_add;
  const char* write_function;
  int32_t write_alloc, write_path, write_open, write_write;
  const char* clear_module;
  const char* clear_function;
  const char* raw_write;
};

constexpr Sites kSelectSites{"ZKSUBF21", "VBReadSelectTmp", 35, 42, 49, 57, 77,
                             "VBWriteSelectTmp", 122, 140, 147, 154,
                             "ZKSUBF20", "clear_select_tmp", "write_select_tmp"};
constexpr Sites kLcpselSites{"ZKSUBF23", "VBReadLcpselTmp", 34, 41, 48, 56, 76,
                             "VBWriteLcpselTmp", 118, 137, 144, 151,
                             "ZKSUBF24", "clear_lcpsel_tmp", "write_lcpsel_tmp"};

// A failure on its way to the caller: the code, the error word, the failing
// call and its report site.
struct Failure {
  int code = 0;
  int32_t error = 0;
  const char* call = "";
  int32_t site = 0;
};

int path_of(const char* name, std::string& path) { return startup::get_path_name(startup::kPathWork, -1, name, path); }

// Reads the file into `image` (at most its size): 0, or the failure.
int read_image(const std::string& path, uint8_t* image, Failure& f) {
  int err = 0;
  platform::StreamPtr in = platform::current().fopen(path, "rb", err);
  if (!in) {
    f = {kOpenFailed, err, "fopen", 0};
    return f.code;
  }
  in->read(image, kWorkFileSize);
  // Only an error fails the read; the end of the file does not.
  const int read_error = in->error() ? in->error_number() : 0;
  const bool failed = in->error();
  in->close();
  if (failed) {
    f = {kReadFailed, read_error, "fread", 0};
    return f.code;
  }
  return 0;
}

// Writes the whole image as the file's new content, through a temporary
// file that replaces the file once complete (see whole_file.h): a write that
// fails half-way leaves the old selection in place.
int write_image(const std::string& path, const uint8_t* image, Failure& f) {
  WholeFileRewrite rewrite(path);
  int err = 0;
  if (!rewrite.open(err)) {
    f = {kOpenFailed, err, "fopen", 0};
    return f.code;
  }
  const size_t put = rewrite.stream().write(image, kWorkFileSize);
  if (put != kWorkFileSize) {
    f = {kWriteFailed, rewrite.stream().error_number(), "fwrite", 0};
    return f.code;
  }
  switch (rewrite.commit(err)) {
    case WholeFileRewrite::Step::None: return 0;
    case WholeFileRewrite::Step::Close: f = {kWriteFailed, err, "fclose", 0}; break;  // what it held may be lost
    case WholeFileRewrite::Step::Open: f = {kOpenFailed, err, "fopen", 0}; break;     // the file refuses it
  }
  return f.code;
}

int raw_read(const char* name, void* buffer, int32_t& error) {
  error = 0;
  if (buffer == nullptr) {
    error = platform::kErrnoInvalid;
    return kReadFailed;
  }
  std::string path;
  if (int r = path_of(name, path); r != 0) return r;
  Failure f;
  const int r = read_image(path, static_cast<uint8_t*>(buffer), f);
  error = f.error;
  return r;
}

int raw_write(const char* name, const void* buffer, int32_t& error) {
  error = 0;
  if (buffer == nullptr) {
    error = platform::kErrnoInvalid;
    return kWriteFailed;
  }
  std::string path;
  if (int r = path_of(name, path); r != 0) return r;
  Failure f;
  const int r = write_image(path, static_cast<const uint8_t*>(buffer), f);
  error = f.error;
  return r;
}

int clear(const char* name, const Sites& s) {
  platform::HeapBlock zeros;
  if (!platform::current().allocate(kWorkFileSize, zeros)) {
    startup::report(s.clear_module, s.clear_function, "malloc", kNoMemoryCode, static_cast<int32_t>(kWorkFileSize),
                    115);
    return kNoMemoryCode;
  }
  int32_t error = 0;
  const int r = raw_write(name, zeros.data(), error);
  if (r != 0) startup::report(s.clear_module, s.clear_function, s.raw_write, r, error, 124);
  return r;
}

int16_t get16(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}
void put16(uint8_t* p, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  p[0] = static_cast<uint8_t>(u & 0xFF);
  p[1] = static_cast<uint8_t>(u >> 8);
}

// The record layouts, as the front-end functions read and write them.
struct SelectFile {
  static constexpr const char* kName = kSelectTmpName;
  static bool append(const uint8_t* r) {
    zkall_sel_tmp_item item{};
    item.kind = r[select_record::kKind];
    item.value = get16(r + select_record::kValue);
    std::memset(item.key, ' ', sizeof item.key);
    std::memcpy(item.key, r + select_record::kKey, item.kind == 0 ? kNameCodeSize : kSelKeySize);
    return append_sel_tmp(item);
  }
  static zkall_item_list& list() { return sel_tmp(); }
  static void put(uint8_t* r, const zkall_item* i) {
    const zkall_sel_tmp_item& d = reinterpret_cast<const zkall_sel_tmp_node*>(i)->data;
    std::memcpy(r + select_record::kKey, d.key, kSelKeySize);
    put16(r + select_record::kValue, d.value);
    r[select_record::kKind] = static_cast<uint8_t>(d.kind & 0xFF);
  }
};

struct LcpselFile {
  static constexpr const char* kName = kLcpselTmpName;
  static bool append(const uint8_t* r) {
    zkall_lcp_tmp_item item{};
    item.kind = r[lcpsel_record::kKind];
    item.value = get16(r + lcpsel_record::kValue);
    std::memcpy(item.partno, r + lcpsel_record::kPartNo, kPartNoSize);
    std::memcpy(item.code, r + lcpsel_record::kCode, kLcpCodeSize);
    return append_lcp_tmp(item);
  }
  static zkall_item_list& list() { return lcp_tmp(); }
  static void put(uint8_t* r, const zkall_item* i) {
    const zkall_lcp_tmp_item& d = reinterpret_cast<const zkall_lcp_tmp_node*>(i)->data;
    std::memcpy(r + lcpsel_record::kCode, d.code, kLcpCodeSize);
    std::memcpy(r + lcpsel_record::kPartNo, d.partno, kPartNoSize);
    put16(r + lcpsel_record::kValue, d.value);
    r[lcpsel_record::kKind] = static_cast<uint8_t>(d.kind & 0xFF);
  }
};

template <class File>
int vb_read(const Sites& s) {
  std::string path;
  if (int r = path_of(File::kName, path); r != 0) {
    startup::report(s.module, s.read_function, "get_path_name", r, 0, s.read_path);
    return r;
  }
  int err = 0;
  platform::StreamPtr in = platform::current().fopen(path, "rb", err);
  if (!in) {
    startup::report(s.module, s.read_function, "fopen", kOpenFailed, err, s.read_open);
    return kOpenFailed;
  }
  platform::HeapBlock image;
  if (!platform::current().allocate(kWorkFileSize, image)) {
    in->close();
    startup::report(s.module, s.read_function, "malloc", kNoMemoryCode, static_cast<int32_t>(kWorkFileSize),
                    s.read_alloc);
    return kNoMemoryCode;
  }
  in->read(image.data(), kWorkFileSize);
  const bool failed = in->error();
  const int read_error = in->error_number();
  in->close();
  if (failed) {
    startup::report(s.module, s.read_function, "fread", kReadFailed, read_error, s.read_read);
    return kReadFailed;
  }
  for (size_t i = 0; i < kWorkRecords; ++i) {
    const uint8_t* r = image.data() + i * kWorkRecordSize;
    if (r[0] == 0) break;
    if (!File::append(r)) {
      startup::report(s.module, s.read_function, "AddItem", kNoMemoryCode, 0, s.read_add);
      return kNoMemoryCode;
    }
  }
  return 0;
}

template <class File>
int vb_write(const Sites& s) {
  platform::HeapBlock image;
  if (!platform::current().allocate(kWorkFileSize, image)) {
    startup::report(s.module, s.write_function, "malloc", kNoMemoryCode, static_cast<int32_t>(kWorkFileSize),
                    s.write_alloc);
    return kNoMemoryCode;
  }
  size_t n = 0;
  for (const zkall_item* i = File::list().first; i != nullptr && n < kWorkRecords; i = i->next, ++n)
    File::put(image.data() + n * kWorkRecordSize, i);
  std::string path;
  if (int r = path_of(File::kName, path); r != 0) {
    startup::report(s.module, s.write_function, "get_path_name", r, 0, s.write_path);
    return r;
  }
  Failure f;
  if (write_image(path, image.data(), f) != 0) {
    startup::report(s.module, s.write_function, f.call, f.code, f.error,
                    f.code == kOpenFailed ? s.write_open : s.write_write);
    return f.code;
  }
  return 0;
}

}  // namespace

int read_select_tmp(void* buffer, int32_t& error) { return raw_read(kSelectTmpName, buffer, error); }
int write_select_tmp(const void* buffer, int32_t& error) { return raw_write(kSelectTmpName, buffer, error); }
int read_lcpsel_tmp(void* buffer, int32_t& error) { return raw_read(kLcpselTmpName, buffer, error); }
int write_lcpsel_tmp(const void* buffer, int32_t& error) { return raw_write(kLcpselTmpName, buffer, error); }
int clear_select_tmp() { return clear(kSelectTmpName, kSelectSites); }
int clear_lcpsel_tmp() { return clear(kLcpselTmpName, kLcpselSites); }

int vb_read_select_tmp() { return vb_read<SelectFile>(kSelectSites); }
int vb_write_select_tmp() { return vb_write<SelectFile>(kSelectSites); }
int vb_read_lcpsel_tmp() { return vb_read<LcpselFile>(kLcpselSites); }
int vb_write_lcpsel_tmp() { return vb_write<LcpselFile>(kLcpselSites); }

}  // namespace zk::workfiles
