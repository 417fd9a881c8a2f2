// Reading ZKDROM.SYS into the ctop area.
#include "startup/config_file.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/installed_discs.h"
#include "startup/error_log.h"
#include "startup/path_names.h"
#include "textutil/dates_areas.h"

namespace zk::startup {

namespace {

constexpr const char* kModule = "ZKDROM";
constexpr const char* kFunction = "kankyo_set";
constexpr const char* kConfigName = "zkdrom.sys";

enum Key {
  kEcram, kEcmst, kLanguage, kMenulang, kCdrom, kEcfil, kPrice, kLocalp,
  kCrntarea, kEcmstall, kFramewld, kFramejpn, kExpgpnho, kExpgfsad, kKeyCount
};
constexpr std::array<std::string_view, kKeyCount> kKeywords = {
    "ECRAM", "ECMST", "LANGUAGE", "MENULANG", "CDROM", "ECFIL", "PRICE", "LOCALP",
    "CRNTAREA", "ECMSTALL", "FRAMEWLD", "FRAMEJPN", "EXPGPNHO", "EXPGFSAD"};

// Language words; the position p gives the code "0" p+1. The three single
// blanks take positions 5 to 7, so only the first of them (code "06") can be
// matched, and "07" and "08" are never produced.
constexpr std::array<std::string_view, 9> kLanguages = {
    "ENGLISH", "JAPANESE", "FRENCH", "GERMANY", "SPANISH", " ", " ", " ", "OTHER"};

constexpr size_t kTextLimit = 64;      // ECRAM, ECMST, ECFIL, FRAMEWLD, FRAMEJPN
constexpr size_t kLongTextLimit = 256; // EXPGFSAD
constexpr size_t kPriceLimit = 3;
constexpr size_t kAreaLimit = 3;
constexpr size_t kExpgSlots = 8;
constexpr size_t kExpgSlotSize = 256;
constexpr size_t kEcmstallOffset = 3;  // the drive letter stands three places after the area letter

struct Failure {
  int32_t error;
  std::string text;
  int32_t site;
};

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& ch : out)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return out;
}

// The value without its line feed (everything before the first one).
std::string_view until_lf(std::string_view raw) {
  size_t lf = raw.find('\n');
  return lf == std::string_view::npos ? raw : raw.substr(0, lf);
}

void store_text(char* field, size_t width, const std::string& value) {
  std::memset(field, 0, width);
  std::memcpy(field, value.data(), std::min(value.size(), width - 1));
}

// The position (1-9) of the language word the value begins with, or 0.
uint16_t language_number(const std::string& value) {
  for (size_t p = 0; p < kLanguages.size(); ++p)
    if (value.compare(0, kLanguages[p].size(), kLanguages[p]) == 0) return static_cast<uint16_t>(p + 1);
  return 0;
}

void set_language(char* code, uint16_t number) {
  code[0] = '0';
  code[1] = static_cast<char>('0' + number);
  code[2] = '\0';
}

void apply_drives(zkall_ctop& c, const std::string& value) {
  std::memset(c.drives, 0, sizeof c.drives);
  int count = 0;
  size_t start = 0;
  while (start <= value.size() && count < kMaxDrives) {
    size_t comma = value.find(',', start);
    std::string item = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    std::string name = item.substr(0, 2);
    if (!name.empty() && platform::current().drive_type(name + "\\") > platform::kDriveNoRootDir) {
      std::memcpy(c.drives[count], name.data(), name.size());
      ++count;
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  c.drive_count_high = 0;
  c.drive_count = static_cast<uint8_t>(count);
}

void apply_ecmstall(zkall_ctop& c, std::string_view raw) {
  std::memset(c.ecmstall, 0, sizeof c.ecmstall);
  for (size_t i = 0; i < raw.size();) {
    const char ch = raw[i];
    if (ch == '\n') break;
    const int area = textutil::area_id(&ch);
    if (area < 0) {
      ++i;
      continue;
    }
    // An item "E..F": the letter three places after the area letter is that
    // area's drive; the scan goes on behind it. An item cut short by the end
    // of the line sets nothing.
    const size_t at = i + kEcmstallOffset;
    if (at >= raw.size() || raw[at] == '\n') break;
    c.ecmstall[area][0] = raw[at];
    c.ecmstall[area][1] = '\0';
    i = at + 1;
  }
}

void apply_expgpnho(zkall_ctop& c, std::string_view raw) {
  std::memset(c.expgpnho, 0, sizeof c.expgpnho);
  char* last = nullptr;
  size_t start = 0;
  for (size_t slot = 0; slot < kExpgSlots && start < raw.size(); ++slot) {
    size_t comma = raw.find(',', start);
    size_t end = comma == std::string_view::npos ? raw.size() : comma;
    size_t n = std::min(end - start, kExpgSlotSize);
    std::memcpy(c.expgpnho[slot], raw.data() + start, n);
    if (n > 0) last = &c.expgpnho[slot][n - 1];
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  // The last character copied is the line feed of the line: it becomes the
  // terminator of the last text.
  if (last) *last = '\0';
}

// Applies one line; a Failure when the line is refused.
bool apply_line(zkall_ctop& c, const std::string& line, Failure& fail) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) {
    fail = {2, std::string(until_lf(line)), 434};
    return false;
  }
  const std::string_view key(line.data(), eq);
  size_t k = 0;
  while (k < kKeyCount && kKeywords[k] != key) ++k;
  if (k == kKeyCount) return true;

  const std::string_view raw(line.data() + eq + 1, line.size() - eq - 1);
  const std::string raw_text(until_lf(raw));
  const std::string value = upper(raw_text);

  auto path_value = [&](char* field, int32_t too_long, int32_t too_long_site, int32_t bad, int32_t bad_site) {
    if (raw.size() > kTextLimit) {
      fail = {too_long, raw_text, too_long_site};
      return false;
    }
    if (!config_path_ok(value.data(), value.size())) {
      fail = {bad, value, bad_site};
      return false;
    }
    store_text(field, kDirFieldSize, value);
    return true;
  };
  auto plain_value = [&](char* field, size_t width, size_t limit, int32_t too_long, int32_t site) {
    if (raw.size() > limit) {
      fail = {too_long, raw_text, site};
      return false;
    }
    store_text(field, width, value);
    return true;
  };
  auto price_value = [&](char* field, int32_t error, int32_t site) {
    const bool ok = !raw.empty() && raw.size() <= kPriceLimit && value.size() >= 2 &&
                    ((value[0] >= 'A' && value[0] <= 'Z')) && value[1] == ':';
    if (!ok) {
      fail = {error, raw_text, site};
      return false;
    }
    field[0] = value[0];
    return true;
  };

  switch (k) {
    case kEcram: return path_value(c.ecram_path, 3, 457, 4, 465);
    case kEcmst: return path_value(c.ecmst_path, 5, 478, 6, 486);
    case kEcfil: return path_value(c.ecfil_path, 9, 568, 10, 576);
    case kLanguage:
    case kMenulang: {
      const uint16_t number = language_number(value);
      if (number == 0) {
        fail = k == kLanguage ? Failure{7, value, 509} : Failure{8, value, 534};
        return false;
      }
      set_language(k == kLanguage ? c.lang : c.menu_lang, number);
      (k == kLanguage ? c.lang_no : c.menu_lang_no) = number;
      return true;
    }
    case kCdrom: apply_drives(c, value); return true;
    case kPrice: return price_value(c.price_path, 11, 593);
    case kLocalp: return price_value(c.localp_path, 12, 609);
    case kCrntarea:
      if (raw.size() > kAreaLimit) {
        fail = {13, raw_text, 620};
        return false;
      }
      c.current_area = value.empty() ? -1 : textutil::area_id(value.data());
      return true;
    case kEcmstall: apply_ecmstall(c, raw); return true;
    case kFramewld: return plain_value(c.framewld_path, kDirFieldSize, kTextLimit, 16, 645);
    case kFramejpn: return plain_value(c.framejpn_path, kDirFieldSize, kTextLimit, 17, 656);
    case kExpgpnho: apply_expgpnho(c, raw); return true;
    case kExpgfsad: return plain_value(c.expgfsad, sizeof c.expgfsad, kLongTextLimit, 14, 683);
    default: return true;
  }
}

void set_defaults(zkall_ctop& c) {
  std::memcpy(c.lang, "01", 3);
  std::memcpy(c.menu_lang, "01", 3);
  c.lang_no = 1;
  c.menu_lang_no = 1;
  c.current_area = 0;
  c.drive_count_high = 0;
  c.drive_count = 0;
  std::memset(c.drives, 0, sizeof c.drives);
  std::memset(c.ecram_path, 0, sizeof c.ecram_path);
  std::memset(c.ecmst_path, 0, sizeof c.ecmst_path);
  std::memset(c.price_path, 0, sizeof c.price_path);
  std::memset(c.ecmstall, 0, sizeof c.ecmstall);
  std::memset(c.framewld_path, 0, sizeof c.framewld_path);
  std::memset(c.framejpn_path, 0, sizeof c.framejpn_path);
  std::memset(c.expgpnho, 0, sizeof c.expgpnho);
  std::memset(c.expgfsad, 0, sizeof c.expgfsad);
}

}  // namespace

bool config_path_ok(const char* value, size_t length) {
  size_t last_backslash = std::string::npos;
  for (size_t i = 0; i < length; ++i) {
    const auto ch = static_cast<unsigned char>(value[i]);
    if (ch < 32 || ch > 127) return false;
    if (ch == '\\') {
      if (last_backslash != std::string::npos && i - last_backslash - 1 > 8) return false;
      last_backslash = i;
    }
  }
  return true;
}

int read_config_file() {
  zkall_ctop* c = ctop();
  if (!c) return 0;
  set_defaults(*c);

  int err = 0;
  platform::StreamPtr f = platform::current().fopen(kConfigName, "rt", err);
  if (!f) {
    report(kModule, kFunction, "Failed to open zkdrom.sys", 1, 0, 426);
    return 0;
  }
  char buf[kConfigLineBuffer];
  while (f->gets(buf, sizeof buf)) {
    Failure fail;
    if (!apply_line(*c, std::string(buf), fail)) {
      report(kModule, kFunction, fail.text.c_str(), fail.error, 0, fail.site);
      f->close();
      return 0;
    }
  }
  setuped_cd_check();
  set_path_name(c->price_path, static_cast<int32_t>(kDirFieldSize));
  set_path_name(c->localp_path, static_cast<int32_t>(kDirFieldSize));
  f->close();
  return 0;
}

}  // namespace zk::startup
