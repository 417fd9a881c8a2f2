// get_figmei and get_hinmei.
#include "lookup/names.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/cdopen.h"
#include "catalog/cdread.h"
#include "catalog/discs.h"
#include "lookup/record.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "textutil/dates_areas.h"

namespace zk::lookup {

namespace {

constexpr const char* kModule = "ZKSUBC30";
constexpr uint8_t kFigureNameKind = 14;
constexpr uint8_t kPartNameKind = 7;
constexpr int32_t kAnyDrive = -1;
constexpr int32_t kPromptKind = 700;
constexpr int kNoAreaDisc = 14;

namespace figure_record {
constexpr size_t kKeySize = 7;  // catalog code and section digit
constexpr size_t kFigureNo = 11;
constexpr size_t kName = 15;
}  // namespace figure_record

namespace part_record {
constexpr size_t kName = 6;
}

// "<stem><data language>.DAT" ("FIGM01.DAT").
std::string language_file(const char* stem) {
  const zkall_ctop* c = startup::ctop();
  std::string name = stem;
  if (c != nullptr) name.append(c->lang, strnlen(c->lang, 2));
  return name + ".DAT";
}

// The sections holding a figure number, in the order they are searched.
std::string_view sections_of(const char* figure_no) {
  auto below = [&](const char* bound) { return std::memcmp(figure_no, bound, kFigureNoSize) < 0; };
  if (below("3000")) return "123";
  if (below("5000")) return "4";
  if (below("8000")) return "5";
  return "6";
}

int32_t vehicle_disc() {
  const zkall_ccar* car = startup::ccar();
  return car != nullptr ? car->catalog_disc : -1;
}

}  // namespace

int get_figmei(const char* figure_no, char* name_out, int32_t& detail) {
  detail = 0;
  char name[kNameSize] = {};
  auto report = [](const char* call, int32_t r, int32_t d, int32_t site) {
    startup::report(kModule, "get_figmei", call, r, d, site);
  };
  auto finish = [&](int result) {
    if (name_out != nullptr) std::memcpy(name_out, name, kNameSize);
    return result;
  };
  if (figure_no == nullptr) return finish(catalog::rc::kNotFound);

  char key[figure_record::kKeySize] = {};
  if (const zkall_ccar* car = startup::ccar()) std::memcpy(key, car->catalog_code, sizeof car->catalog_code);
  zkall_cd_handle* h = nullptr;
  int result = catalog::cdopen(language_file("FIGM").c_str(), nullptr, kFigureNameKind, catalog::kReadModeRecord,
                               kAnyDrive, vehicle_disc(), kPromptKind, &h, detail);
  if (result != 0) {
    report("cdopen", result, detail, 80);
    return finish(result);
  }

  Record rec;
  bool done = false;
  for (char section : sections_of(figure_no)) {
    key[figure_record::kKeySize - 1] = section;
    if (int r = catalog::cdreopen(h, detail); r != 0) {
      report("cdreopen", r, detail, 93);
      result = r;
      break;
    }
    for (;;) {
      const int r = catalog::cdread(h, rec.data(), key, sizeof key, 0, nullptr, nullptr, detail);
      if (r == catalog::rc::kNotFound) break;
      if (r != 0) {
        report("cdread", r, detail, 114);
        result = r;
        done = true;
        break;
      }
      rec.set_length(h);
      // Records of the section that carry another figure number are passed
      // over.
      if (rec.field_is(figure_record::kFigureNo, figure_no, kFigureNoSize)) {
        rec.field(figure_record::kName, kNameSize, name, '\0');
        done = true;
        break;
      }
    }
    if (done) break;
  }
  if (result == 0 && name[0] == '\0') result = catalog::rc::kNotFound;

  // A failed close is the answer only when nothing failed before it.
  int32_t close_detail = 0;
  const int closed = catalog::cdclose(&h, close_detail);
  if (closed != 0 && (result == 0 || result == catalog::rc::kNotFound)) {
    detail = close_detail;
    report("cdclose", closed, close_detail, 129);
    return finish(closed);
  }
  return finish(result);
}

int get_hinmei(const char* code, char* name, uint16_t& status) {
  auto report = [](const char* call, int32_t r, int32_t d, int32_t site) {
    startup::report(kModule, "get_hinmei", call, r, d, site);
  };
  int32_t disc = vehicle_disc();
  if (status != kStatusFound) {
    const zkall_ctop* c = startup::ctop();
    const int32_t area = c != nullptr ? c->current_area : -1;
    const std::optional<char> letter = textutil::GetAreaChar(area);
    if (!letter) {
      report("GetAreaChar", kNoAreaDisc, area, 167);
      return kNoAreaDisc;
    }
    disc = catalog::setuped_top_cdno(*letter);
    if (disc < 0) {
      report("setuped_top_cdno", kNoAreaDisc, 1, 172);
      return kNoAreaDisc;
    }
  }

  status = kStatusFound;
  const std::string file = language_file("HINM");
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  const int opened = catalog::cdopen(file.c_str(), nullptr, kPartNameKind, catalog::kReadModeRecord, kAnyDrive,
                                     disc, kPromptKind, &h, detail);
  if (opened == catalog::kCancelled) {
    status = kStatusCancelled;
    return 0;
  }
  if (opened != 0) {
    report(file.c_str(), opened, detail, 190);
    return opened;
  }

  Record rec;
  // A failed rewind shows in the read: every read positions its file first.
  catalog::cdreopen(h, detail);
  const int r = code != nullptr ? catalog::cdread(h, rec.data(), code, kPartCodeSize, 0, nullptr, nullptr, detail)
                                : catalog::rc::kNotFound;
  int result = 0;
  if (r == 0) {
    rec.set_length(h);
    if (name != nullptr) rec.field(part_record::kName, kNameSize, name, ' ');
  } else if (r == catalog::rc::kNotFound) {
    status = kStatusNoSuchCode;
    if (name != nullptr) std::memset(name, ' ', kNameSize);
  } else if (r == catalog::kCancelled) {
    status = kStatusCancelled;
  } else {
    report("cdread", r, detail, 214);
    result = r;
  }
  int32_t close_detail = 0;
  catalog::cdclose(&h, close_detail);
  return result;
}

}  // namespace zk::lookup
