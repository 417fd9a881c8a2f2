// VIN and frame-number editing.
#include "vehicle/vin.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "textutil/chars.h"
#include "textutil/fields.h"
#include "vehicle/manufacturer_table.h"

namespace zk::vehicle {

namespace {
constexpr size_t kShortKey = 8;
// Positions (from 1) that v_edit_vin completes, and the one that decides.
constexpr size_t kNinth = 8;
constexpr size_t kTenth = 9;
constexpr size_t kEleventh = 10;
}  // namespace

int32_t vin_key_length(const char* vin) {
  if (vin == nullptr) return kShortKey;
  const bool listed = std::any_of(kManufacturerIds.begin(), kManufacturerIds.end(), [vin](std::string_view id) {
    return std::memcmp(vin, id.data(), kManufacturerIdSize) == 0;
  });
  return listed ? static_cast<int32_t>(kVinKeySize) : static_cast<int32_t>(kShortKey);
}

char vin_fill_char(const char* vin) { return vin_key_length(vin) == static_cast<int32_t>(kVinKeySize) ? '0' : ' '; }

int32_t copy_vin(const char* vin, char* key) {
  const int32_t length = vin_key_length(vin);
  if (key == nullptr) return length;
  std::memset(key, ' ', kVinKeySize);
  if (vin != nullptr) std::memcpy(key, vin, static_cast<size_t>(length));
  return length;
}

void edit_vin(char* vin) {
  if (vin == nullptr || textutil::is_blank_like(vin[kEleventh])) return;
  if (textutil::is_blank_like(vin[kNinth])) vin[kNinth] = vin_fill_char(vin);
  if (textutil::is_blank_like(vin[kTenth])) vin[kTenth] = vin_fill_char(vin);
}

int32_t valid_frameno(const char* frame_no) {
  if (frame_no == nullptr) return 0;
  const std::span<const char> f(frame_no, kFrameNoSize);
  const bool valid = textutil::memlenb(f) == kFrameNoSize && textutil::memclen(f, ' ') < 0 &&
                     textutil::memisalnum(f.first(1)) && textutil::memisdigit(f.subspan(1));
  return valid ? 1 : 0;
}

}  // namespace zk::vehicle
