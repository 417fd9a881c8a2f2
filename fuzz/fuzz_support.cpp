// The input layout, the in-memory machine and the checks shared by the fuzz
// targets.
#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "startup/common_areas.h"
#include "startup/config_file.h"
#include "startup/file_handles.h"
#include "startup/texts.h"

namespace zk::fuzz {

// The demo installation's configuration: the corpora laid out from it find
// their files where this configuration looks for them.
const char* const kStandardConfig =
    "ECRAM=C:\\ZKWORK\n"
    "ECMST=C:\\ZKCAT\\MST\n"
    "ECFIL=C:\\ZKCAT\\LIB\n"
    "LANGUAGE=ENGLISH\n"
    "MENULANG=ENGLISH\n"
    "CDROM=D:,E:,F:\n"
    "CRNTAREA=E\n"
    "FRAMEWLD=C:\\ZKCAT\\FRW\n"
    "FRAMEJPN=C:\\ZKCAT\\FRJ\n"
    "PRICE=C:\n"
    "LOCALP=C:\n";

namespace {
bool g_close_fault = false;  // a failed close leaves its descriptor's bit set
size_t g_log_start = 0;      // the error log's length when the input was laid out
constexpr const char* kLogPath = "C:\\FRONT\\ZKERROR.LOG";
constexpr const char* kFrontDir = "C:\\FRONT";
constexpr const char* kConfigPath = "C:\\FRONT\\ZKDROM.SYS";
constexpr char kCatalogDrives[] = "DEF";
}  // namespace

uint8_t Control::byte() { return pos_ < bytes_.size() ? static_cast<uint8_t>(bytes_[pos_++]) : 0; }

uint16_t Control::u16() {
  const uint16_t lo = byte();
  return static_cast<uint16_t>(lo | (byte() << 8));
}

uint32_t Control::u32() {
  const uint32_t lo = u16();
  return lo | (static_cast<uint32_t>(u16()) << 16);
}

std::string_view Control::take(size_t n) {
  const size_t k = std::min(n, bytes_.size() - std::min(pos_, bytes_.size()));
  std::string_view out = bytes_.substr(std::min(pos_, bytes_.size()), k);
  pos_ += k;
  return out;
}

std::string Control::padded(size_t n, char fill) {
  std::string s(take(n));
  s.resize(n, fill);
  return s;
}

Input split_input(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  Input in;
  size_t start = 0;
  bool first = true;
  while (start <= all.size()) {
    const size_t cut = all.find(kSeparator, start);
    const std::string_view piece = all.substr(start, cut == std::string_view::npos ? cut : cut - start);
    if (first) {
      in.control = piece;
      first = false;
    } else if (in.files.size() < kMaxFiles) {
      const size_t lf = piece.find('\n');
      std::string_view path = piece.substr(0, lf);
      FilePiece file;
      if (lf != std::string_view::npos) file.bytes = std::string(piece.substr(lf + 1));
      if (const size_t star = path.rfind('*'); star != std::string_view::npos) {
        size_t padded = 0;
        for (char c : path.substr(star + 1))
          if (c >= '0' && c <= '9') padded = std::min(padded * 10 + static_cast<size_t>(c - '0'), kMaxPaddedSize);
        if (file.bytes.size() < padded) file.bytes.resize(padded, '\0');
        path = path.substr(0, star);
      }
      file.path = std::string(path);
      if (!path.empty() && path.size() <= kMaxPathLength && path.find('\0') == std::string_view::npos)
        in.files.push_back(std::move(file));
    }
    if (cut == std::string_view::npos) break;
    start = cut + kSeparator.size();
  }
  return in;
}

platform::MemoryPlatform& machine() {
  static platform::MemoryPlatform* m = [] {
    auto* p = new platform::MemoryPlatform();  // lives as long as the process
    platform::install(p);
    return p;
  }();
  return *m;
}

void begin_input(Input& input) {
  platform::MemoryPlatform& m = machine();
  m.reset();
  for (char d : std::string_view(kCatalogDrives)) m.add_drive(d, platform::kDriveCdrom);
  m.add_directory(kFrontDir);
  m.set_current_directory(kFrontDir);
  *startup::handle_table() = 0;
  g_close_fault = false;
  for (FilePiece& f : input.files) {
    if (f.path.size() == 2 && f.path[1] == ':')
      m.insert_disc(f.path[0], f.bytes.substr(0, kMaxLabelLength));
    else
      m.add_file(f.path, std::move(f.bytes));
  }
  const std::string* log = m.file(kLogPath);
  g_log_start = log == nullptr ? 0 : log->size();
}

void start_library(Control* fault) {
  platform::MemoryPlatform& m = machine();
  if (m.file(kConfigPath) == nullptr) m.add_file(kConfigPath, kStandardConfig);
  check(startup::set_table() == 0, "the common areas could not be made");
  if (fault != nullptr) arm_fault(*fault);
  startup::read_config_file();
}

Control begin_catalog_input(const uint8_t* data, size_t size, bool with_texts) {
  Input input = split_input(data, size);
  begin_input(input);
  start_library();
  if (with_texts) {
    ::set_msg();
    ::set_scr();
  }
  Control control(input.control);  // a view of `data`, which outlives the input
  arm_fault(control);
  return control;
}

void finish_input(size_t max_reports) {
  machine().faults().clear();
  check_error_log(max_reports);
  end_input();
}

void end_input() {
  platform::MemoryPlatform& m = machine();
  check(m.open_descriptors() == 0, "a descriptor was left open");
  check(m.open_streams() == 0, "a stream was left open");
  // close2 keeps the bit of a descriptor whose close failed, as the table's
  // rules say; otherwise every bit must be clear again.
  check(g_close_fault || *startup::handle_table() == 0, "the file-handle table still names a descriptor");
  startup::free_msg();
  startup::free_scr();
  startup::free_table();
  // Nothing of the input stays behind (libFuzzer also counts allocations
  // against releases to spot leaks).
  m.reset();
}

void arm_fault(Control& in) {
  const uint8_t b = in.byte();
  if (b < 0x80) return;
  constexpr int kOps = static_cast<int>(platform::Op::Volume) + 1;
  const uint8_t which = in.byte();
  const auto op = static_cast<platform::Op>((b & 0x3F) % kOps);
  g_close_fault = g_close_fault || op == platform::Op::Close;
  machine().faults().add(op, (b & 0x40) ? platform::kErrnoNoEntry : platform::kErrnoIo, {}, 1 + (which & 0x0F),
                         (which & 0x80) != 0);
}

namespace {

bool is_name(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

// Takes a "(n)" with a signed decimal n off the end of `s`.
bool take_number_from_end(std::string_view& s) {
  if (s.empty() || s.back() != ')') return false;
  s.remove_suffix(1);
  size_t digits = 0;
  while (!s.empty() && s.back() >= '0' && s.back() <= '9') s.remove_suffix(1), ++digits;
  if (!s.empty() && s.back() == '-') s.remove_suffix(1);
  if (digits == 0 || digits > 11 || s.empty() || s.back() != '(') return false;
  s.remove_suffix(1);
  return true;
}

// "(MM/DD/YY HH:MM:SS)MODULE,function,call,(n1)(n2)(n3)" stamped with the
// machine's clock; the call may be any text (a path, a message).
bool well_formed_report(std::string_view line) {
  const platform::LocalTime& t = machine().now;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "(%02d/%02d/%02d %02d:%02d:%02d)", t.month, t.day, t.year % 100, t.hour,
                t.minute, t.second);
  if (line.substr(0, std::strlen(stamp)) != stamp) return false;
  line.remove_prefix(std::strlen(stamp));
  for (int i = 0; i < 3; ++i)
    if (!take_number_from_end(line)) return false;
  if (line.empty() || line.back() != ',') return false;
  const size_t module_end = line.find(',');
  const size_t function_end = line.find(',', module_end + 1);
  return function_end != std::string_view::npos && function_end < line.size() - 1 &&
         is_name(line.substr(0, module_end)) &&
         is_name(line.substr(module_end + 1, function_end - module_end - 1));
}

}  // namespace

void check_error_log(size_t max_reports) {
  const std::string* log = machine().file(kLogPath);
  if (log == nullptr || log->size() <= g_log_start) return;
  check(log->back() == '\n', "the error log does not end with a whole line");
  size_t reports = 0;
  for (size_t start = g_log_start; start < log->size(); ++reports) {
    const size_t lf = log->find('\n', start);
    check(well_formed_report(std::string_view(*log).substr(start, lf - start)),
          "an error-log line is not a dated report of module, function, call and three numbers");
    start = lf + 1;
  }
  check(reports <= max_reports, "more error-log reports than the calls can make");
}

std::string work_file(const char* name) {
  const char* work = startup::ctop()->ecram_path;
  return std::string(work, strnlen(work, sizeof startup::ctop()->ecram_path)) + "\\" + name;
}

void answer_retries(int* retries) {
  if (retries == nullptr) return machine().set_message_box_answerer(nullptr);
  machine().set_message_box_answerer([retries](const std::string&, const std::string&, uint32_t) {
    return (*retries)-- > 0 ? platform::kIdRetry : platform::kIdCancel;
  });
}

int32_t documented(const char* call, int32_t r, std::initializer_list<int32_t> codes) {
  if (!one_of(r, codes)) fail((std::string(call) + " answered an undocumented result").c_str());
  return r;
}

void fail(const char* what) {
  std::fprintf(stderr, "\n== fuzz check failed: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

bool step_round_known_findings() {
  static const bool on = [] {
    const char* v = std::getenv("ZKALL_FUZZ_KNOWN");
    return v != nullptr && std::strcmp(v, "1") == 0;
  }();
  return on;
}

}  // namespace zk::fuzz
