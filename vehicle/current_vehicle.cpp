// The current-vehicle accessors.
#include "vehicle/current_vehicle.h"

#include <algorithm>
#include <optional>
#include <span>

#include "catalog/discs.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "textutil/dates_areas.h"
#include "textutil/fields.h"

namespace zk::vehicle {

namespace {

// Copies `width` bytes, NUL made blank.
void blank_nuls(char* out, const char* field, size_t width) {
  textutil::memrep({out, width}, {field, width}, '\0', ' ');
}

std::span<const char> field_of(const zkall_ccar& c, VehicleField f) {
  switch (f) {
    case VehicleField::Catalog: return c.catalog_code;
    case VehicleField::Model: return c.model;
    case VehicleField::FrameModel: return c.frame_model;
    case VehicleField::FrameNo: return c.frame_no;
    case VehicleField::Ad: return c.ad;
    case VehicleField::ColorNo: return c.colour_no;
    case VehicleField::TrimNo: return c.trim_no;
    case VehicleField::Notes: return c.notes;
    case VehicleField::VName: return c.vehicle_name;
    case VehicleField::ProDateF: return c.prod_from;
    case VehicleField::ProDateT: return c.prod_to;
  }
  return {};
}

}  // namespace

void get_field(VehicleField f, char* out) {
  const zkall_ccar* c = startup::ccar();
  if (c == nullptr || out == nullptr) return;
  const std::span<const char> field = field_of(*c, f);
  blank_nuls(out, field.data(), field.size());
}

void get_charact1(char* first, char* second) {
  const zkall_ccar* c = startup::ccar();
  if (c == nullptr) return;
  if (first != nullptr) blank_nuls(first, c->char1_first, sizeof c->char1_first);
  if (second != nullptr) blank_nuls(second, c->char1_second, sizeof c->char1_second);
}

void get_charact2(int16_t index, char* out) {
  const zkall_ccar* c = startup::ccar();
  if (c == nullptr || out == nullptr || index < 0 || static_cast<size_t>(index) >= kCharact2Codes) return;
  blank_nuls(out, c->char2[index], sizeof c->char2[index]);
}

int32_t get_vin(char* vbstr) {
  const zkall_ccar* c = startup::ccar();
  if (vbstr == nullptr) return 0;
  const uint32_t length = platform::sys_string_byte_len(vbstr);
  if (c == nullptr) return static_cast<int32_t>(length);
  char vin[kVinSize];
  blank_nuls(vin, c->vin10, sizeof c->vin10);
  blank_nuls(vin + sizeof c->vin10, c->frame_no, sizeof c->frame_no);
  std::copy_n(vin, std::min<size_t>(length, kVinSize), vbstr);
  return static_cast<int32_t>(length);
}

void get_current_disc_date(char* out) {
  const zkall_ctop* c = startup::ctop();
  if (c == nullptr || out == nullptr) return;
  const std::optional<char> letter = textutil::GetAreaChar(c->current_area);
  if (!letter) return;
  const int32_t disc = catalog::setuped_top_cdno(*letter);
  if (disc < 0 || disc >= startup::kMaxDiscs) return;
  blank_nuls(out, c->discs[disc].date, sizeof c->discs[disc].date);
}

}  // namespace zk::vehicle
