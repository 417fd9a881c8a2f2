// kakaku_open, kakaku_read and kakaku_check.
#include "catalog/hd_price.h"

#include <array>
#include <cstring>

#include "catalog/format.h"
#include "catalog/hd_format.h"
#include "catalog/hd_open.h"
#include "catalog/hd_read.h"
#include "startup/path_names.h"

namespace zk::catalog {

namespace {

constexpr auto kPriceKind = static_cast<int32_t>(startup::kPathPrice);

// Where the price record's bytes come from in the record of each format:
// offset in the price record, offset in the file's record, width. Format 1
// is the price record itself; format 2 has the part number, then the rest
// behind its three prices, and the price the selector picks.
struct Field {
  size_t to;
  size_t from;
  size_t width;
};
constexpr size_t kSelectedPrice = 12;
constexpr size_t kPriceWidth = 8;
constexpr int32_t kPrices = 3;
constexpr Field kFormat1{0, 0, kPriceRecordSize};
constexpr std::array<Field, 2> kFormat2{{{0, 0, 12}, {20, 36, 30}}};

int open_as(const char* name, int32_t format, zkall_cd_handle** out, int32_t& detail) {
  const int r = hdopen(name, kPriceKind, out, detail);
  if (r == rc::kOk) (*out)->price_format = format;
  return r;
}

}  // namespace

int kakaku_open(int32_t which, zkall_cd_handle** out, int32_t& detail) {
  if (which == 0) {
    const int r = open_as(kPriceFile1, kPriceFormat1, out, detail);
    // Only "not there" (not listed, missing, empty) falls back.
    if (r != rc::kNotFound) return r;
  }
  return open_as(kPriceFile2, kPriceFormat2, out, detail);
}

int kakaku_read(zkall_cd_handle* h, char* price, const char* key, int32_t key_length, int32_t selector,
                int32_t& detail) {
  detail = 0;
  if (h == nullptr || price == nullptr) return refuse(detail, hd_detail::kRefusedHandle);
  if (h->record_length > static_cast<int32_t>(kPriceAreaSize)) return refuse(detail, hd_detail::kPriceRecordTooLong);
  std::array<uint8_t, kPriceAreaSize> area{};
  if (int r = hdread(h, area.data(), key, key_length, detail); r != rc::kOk) return r;

  std::memset(price, ' ', kPriceRecordSize);
  auto copy = [&](const Field& f) { std::memcpy(price + f.to, area.data() + f.from, f.width); };
  if (h->price_format == kPriceFormat1) {
    copy(kFormat1);
  } else if (h->price_format == kPriceFormat2) {
    for (const Field& f : kFormat2) copy(f);
    if (selector >= 0 && selector < kPrices)
      copy({kSelectedPrice, kSelectedPrice + static_cast<size_t>(selector) * kPriceWidth, kPriceWidth});
  }
  return rc::kOk;
}

int kakaku_check(int32_t& detail) {
  zkall_cd_handle* h = nullptr;
  const int r = kakaku_open(0, &h, detail);
  if (r == rc::kOk) catalog::hdclose(&h);
  return r;
}

}  // namespace zk::catalog
