// The part-name file as the group functions read it.
#include "workfiles/group_part_names.h"

#include <cstring>
#include <string>

#include "catalog/cdopen.h"
#include "catalog/cdread.h"
#include "catalog/format.h"
#include "startup/common_areas.h"

namespace zk::workfiles {

namespace {
constexpr uint8_t kPartNameKind = 7;
constexpr int32_t kAnyDrive = -1;
constexpr int32_t kPromptKind = 700;
constexpr int32_t kCodeSize = 6;
}  // namespace

int32_t vehicle_catalog_disc() {
  const zkall_ccar* car = startup::ccar();
  return car != nullptr ? car->catalog_disc : -1;
}

PartNameFile::~PartNameFile() {
  int32_t detail = 0;
  close(detail);
}

int PartNameFile::open(int32_t disc, int32_t& detail) {
  std::string name = "HINM";
  if (const zkall_ctop* c = startup::ctop()) name.append(c->lang, strnlen(c->lang, 2));
  name += ".DAT";
  return catalog::cdopen(name.c_str(), nullptr, kPartNameKind, catalog::kReadModeRecord, kAnyDrive, disc,
                         kPromptKind, &handle_, detail);
}

int PartNameFile::reopen(int32_t& detail) { return catalog::cdreopen(handle_, detail); }

int PartNameFile::read(const char* code, lookup::Record& rec, int32_t& detail) {
  const int r = catalog::cdread(handle_, rec.data(), code, kCodeSize, 0, nullptr, nullptr, detail);
  if (r == 0) rec.set_length(handle_);
  return r;
}

int PartNameFile::close(int32_t& detail) {
  if (handle_ == nullptr) return 0;
  return catalog::cdclose(&handle_, detail);
}

}  // namespace zk::workfiles
