// v_jtmp_sign: one narrowing step over JOUHOU.TMP.
#include "vehicle/narrowing.h"

#include <array>
#include <cstring>
#include <span>
#include <string>

#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/path_names.h"
#include "textutil/chars.h"
#include "textutil/dates_areas.h"
#include "textutil/fields.h"
#include "vehicle/jouhou_tmp.h"
#include "vehicle/vin.h"

namespace zk::vehicle {

namespace {

using Rec = std::array<char, kJouhouRecordSize>;

enum Criterion : int32_t {
  kByVin = 1,
  kByCode6 = 2,
  kByCode15 = 4,
  kByCodes125 = 8,
  kByPeriod = 16,
  kByValue32 = 32,
  kByValue64 = 64,
};

constexpr size_t kDateSize = 6;  // CCYYMM
constexpr size_t kYymm = 4;

struct Given {
  uint32_t value32;
  uint32_t value64;
  const char* vin;
  const char* code6;
  const char* code15;
  const char* codes125;
  const char* date6;
};

bool field_is(const Rec& r, size_t offset, const char* value, size_t width) {
  return value != nullptr && std::memcmp(r.data() + offset, value, width) == 0;
}

// A YYMM date with its century: "19" or "20" and the four characters.
std::array<char, kDateSize> with_century(const char* yymm) {
  std::array<char, kDateSize> d{};
  const bool twenties = textutil::check_2000(std::span<const char, 2>(yymm, 2)) == textutil::kCentury20;
  std::memcpy(d.data(), twenties ? "20" : "19", 2);
  std::memcpy(d.data() + 2, yymm, kYymm);
  return d;
}

bool blanks(const char* p, size_t n) { return textutil::memall({p, n}, ' '); }

bool in_period(const Rec& r, const char* date) {
  if (date == nullptr) return false;
  const auto from = with_century(r.data() + jouhou::kDateFrom);
  const char* to = r.data() + (blanks(r.data() + jouhou::kDateTo, kYymm) ? jouhou::kDateTo2 : jouhou::kDateTo);
  if (std::memcmp(date, from.data(), kDateSize) < 0) return false;
  if (blanks(to, kYymm)) return true;  // an open end
  return std::memcmp(date, with_century(to).data(), kDateSize) <= 0;
}

// Tests the selected criteria in the order of their bits, stopping at the
// first that fails.
bool matches(const Rec& r, int32_t criteria, const Given& g) {
  if (criteria & kByVin) {
    char key[kVinKeySize];
    if (g.vin == nullptr) return false;
    copy_vin(g.vin, key);
    if (!field_is(r, jouhou::kVinKey, key, kVinKeySize)) return false;
  }
  if ((criteria & kByCode6) && !field_is(r, jouhou::kCode6, g.code6, 6)) return false;
  if ((criteria & kByCode15) && !field_is(r, jouhou::kCode15, g.code15, 15)) return false;
  if ((criteria & kByCodes125) && !field_is(r, jouhou::kCodes125, g.codes125, 125)) return false;
  if ((criteria & kByPeriod) && !in_period(r, g.date6)) return false;
  if ((criteria & kByValue32) && std::memcmp(r.data() + jouhou::kValue32, &g.value32, 4) != 0) return false;
  if ((criteria & kByValue64) && std::memcmp(r.data() + jouhou::kValue64, &g.value64, 4) != 0) return false;
  return true;
}

// The sign character of the current step, or 0 when the step number or its
// code lies outside the tables.
char step_sign() {
  const zkall_ccar* c = startup::ccar();
  if (c == nullptr) return 0;
  const int32_t step = c->step_no;
  if (step < 0 || static_cast<size_t>(step) >= sizeof c->step_codes) return 0;
  const auto code = static_cast<unsigned char>(c->step_codes[step]);
  return code < kStepCodes ? kSignCharacters[code] : 0;
}

// The open file of a step, closed on every path; a failed close shows only
// when the step asks for it.
class StepFile {
 public:
  ~StepFile() { close(); }
  int open(const std::string& path, int& error) {
    fd_ = platform::current().open(path, platform::kOpenReadWrite | platform::kOpenBinary, 0, error);
    return fd_;
  }
  int close() {
    if (fd_ < 0) return 0;
    int error = 0;
    const int r = platform::current().close(fd_, error);
    fd_ = -1;
    return r == 0 ? 0 : (error != 0 ? error : platform::kErrnoIo);
  }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace

int jtmp_sign(int32_t criteria, uint32_t value32, uint32_t value64, const char* vin, const char* code6,
              const char* code15, const char* codes125, const char* date6, int32_t& detail) {
  detail = 0;
  auto fail = [&detail](int result, int32_t d) {
    detail = d;
    return result;
  };
  std::string path;
  if (startup::get_path_name(startup::kPathWork, -1, "JOUHOU.TMP", path) != 0) return fail(-1, 11);
  auto& p = platform::current();
  StepFile file;
  int error = 0;
  if (file.open(path, error) < 0) return fail(11, error);
  const int64_t length = p.filelength(file.fd(), error);
  if (length < 0) return fail(14, 12);
  const int64_t count = length / static_cast<int64_t>(kJouhouRecordSize);
  if (count > INT32_MAX) return fail(20, INT32_MAX);
  platform::HeapBlock matched;
  if (!p.allocate(static_cast<size_t>(count), matched)) return fail(20, static_cast<int32_t>(count));

  const Given given{value32, value64, vin, code6, code15, codes125, date6};
  bool any = false;
  bool all = true;  // every record matched: the step signs nothing
  Rec rec;
  for (int64_t i = 0; i < count; ++i) {
    if (p.read(file.fd(), rec.data(), rec.size(), error) != static_cast<int64_t>(rec.size())) return fail(14, 12);
    // A record excluded by an earlier step stays unflagged: it takes this
    // step's sign too.
    if (textutil::is_blank_like(rec[jouhou::kSign]) && matches(rec, criteria, given)) {
      matched[static_cast<size_t>(i)] = 1;
      any = true;
    } else {
      all = false;
    }
  }
  if (!any) return 1;

  const char sign = step_sign();
  if (sign == 0 && !all) return fail(128, 18);
  for (int64_t i = 0; i < count; ++i) {
    if (matched[static_cast<size_t>(i)] != 0) continue;
    const int64_t at = i * static_cast<int64_t>(kJouhouRecordSize);
    if (p.lseek(file.fd(), at, platform::kSeekSet, error) < 0) return fail(15, 13);
    if (p.read(file.fd(), rec.data(), rec.size(), error) != static_cast<int64_t>(rec.size())) return fail(14, 14);
    rec[jouhou::kSign] = sign;
    if (p.lseek(file.fd(), at, platform::kSeekSet, error) < 0) return fail(15, 15);
    if (p.write(file.fd(), rec.data(), rec.size(), error) != static_cast<int64_t>(rec.size())) return fail(13, 16);
  }
  if (file.close() != 0) return fail(12, 17);
  return 0;
}

}  // namespace zk::vehicle
