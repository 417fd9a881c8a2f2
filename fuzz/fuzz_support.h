// What every fuzz target shares: the layout of an input, the in-memory
// machine the library runs on, a standard installation, and the checks made
// after each input.
//
// An input is pieces separated by kSeparator. The first piece is the
// target's control bytes (the operations to run and their arguments, read
// with Control; bytes past its end read as 0). Every further piece is a file:
// its full Windows path, a line feed, then its bytes. A path may end in "*"
// and a size: the bytes are then filled up with NULs to that size (at most
// kMaxPaddedSize), so the blocks of catalog files, mostly NUL behind their
// records, take little room in an input. A piece whose path is a drive alone
// ("D:") puts a disc into that drive, its bytes being the volume label. So a
// fuzzer that mutates an input changes file contents, file names, disc
// labels and operations alike, and a starting corpus laid out from a real
// installation reaches deep at once.
//
// The header brings the standard headers and the library's header the
// targets use, so a target includes only what is its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "zkall.h"

namespace zk::fuzz {

inline constexpr std::string_view kSeparator = "\n=ZK=\n";
inline constexpr size_t kMaxFiles = 64;
inline constexpr size_t kMaxPathLength = 79;  // the library's paths never exceed it
inline constexpr size_t kMaxLabelLength = 32;
inline constexpr size_t kMaxPaddedSize = 256 * 1024;

// Reads the control piece front to back; past its end every read gives 0.
class Control {
 public:
  explicit Control(std::string_view bytes) : bytes_(bytes) {}
  uint8_t byte();
  uint16_t u16();  // little-endian
  uint32_t u32();
  // Up to n bytes (fewer at the end).
  std::string_view take(size_t n);
  // Exactly n bytes: those take(n) gives, filled up with `fill`.
  std::string padded(size_t n, char fill = ' ');
  bool empty() const { return pos_ >= bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

struct FilePiece {
  std::string path;
  std::string bytes;
};

struct Input {
  std::string_view control;
  std::vector<FilePiece> files;  // at most kMaxFiles, paths of at most kMaxPathLength
};

Input split_input(const uint8_t* data, size_t size);

// The machine every target runs on, installed as the library's platform on
// first use.
platform::MemoryPlatform& machine();

// Starts an input: the machine reset, with the catalog drives D:, E: and F:
// (CD-ROM drives without a disc) and the front end's current directory
// C:\FRONT; the file-handle table empty. Then lays the input's files and
// discs out on it (taking their bytes over).
void begin_input(Input& input);

// The front end's start for the catalog targets: the common areas made and
// ZKDROM.SYS read (which runs the installed-disc check). When the input
// brings no C:\FRONT\ZKDROM.SYS, kStandardConfig is written first. With
// `fault`, a fault is armed from it (arm_fault) once the areas exist, so
// the reading itself can fail.
void start_library(Control* fault = nullptr);
extern const char* const kStandardConfig;

// The start most catalog targets share: the input split and laid out, the
// library started under the standard configuration (`with_texts`: and the
// message and screen files loaded), then a fault armed from the control's
// first byte; gives the control to read on from.
Control begin_catalog_input(const uint8_t* data, size_t size, bool with_texts = false);

// Ends an input: every descriptor and stream the library opened must be
// closed again and the file-handle table empty (unless a close was made to
// fail: close2 then keeps the bit); then the common areas and texts are
// released.
void end_input();

// The end most targets share: the fault plan cleared, the error log checked
// for at most `max_reports` new reports (check_error_log), then end_input.
void finish_input(size_t max_reports);

// Reads a byte of the control: from 0x80 on it arms one fault of the
// machine's fault plan, so the paths of failing file operations are fuzzed
// too. The low bits choose the operation (in the order of platform::Op) and
// the error (bit 6: "no such file", else "I/O error"); the next byte which
// call fails (1 to 16) and, in its top bit, whether every later one fails
// as well. Below 0x80 nothing is armed.
void arm_fault(Control& in);

// What the input's calls added to the error log (TMP is unset, so it is
// C:\FRONT\ZKERROR.LOG; an input may bring one) is at most `max_reports`
// reports, each one whole line "(MM/DD/YY HH:MM:SS)MODULE,function,call,
// (n1)(n2)(n3)\n" stamped with the machine's clock.
void check_error_log(size_t max_reports);

// Stops the run with a message naming the broken rule (a finding).
[[noreturn]] void fail(const char* what);
inline void check(bool ok, const char* what) {
  if (!ok) fail(what);
}
// That the two NUL bytes behind a front-end string's length are intact.
inline void check_string_end(platform::FrontEndString& s, const char* what) {
  const char* end = s.get() + s.byte_len();
  check(end[0] == 0 && end[1] == 0, what);
}
// Whether a result is one of a function's documented codes.
inline bool one_of(int32_t r, std::initializer_list<int32_t> codes) {
  for (int32_t c : codes)
    if (r == c) return true;
  return false;
}
// Checks that `r`, what `call` answered, is one of its documented codes,
// and gives it back.
int32_t documented(const char* call, int32_t r, std::initializer_list<int32_t> codes);
// A caller's buffer of n bytes with a guard behind it, so a write past the
// n bytes is found.
struct Guarded {
  explicit Guarded(size_t n, char fill = '\x5A') : bytes(std::string(n, fill) + std::string(8, '\x5A')), size(n) {}
  char* data() { return bytes.data(); }
  void check_intact(const char* what) const { check(bytes.find_first_not_of('\x5A', size) == std::string::npos, what); }
  std::string bytes;
  size_t size;
};

// The path of a file in the configured work directory (ECRAM).
std::string work_file(const char* name);
// Answers the insert-disc prompt Retry `retries` times, then Cancel (null:
// back to the machine's default answer).
void answer_retries(int* retries);

// ZKALL_FUZZ_KNOWN=1 in the environment: the targets step round the open
// findings listed in fuzz/README.md instead of stopping on them, so a long
// run can look for new ones.
bool step_round_known_findings();

}  // namespace zk::fuzz
