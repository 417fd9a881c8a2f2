// The price functions on top of the hard-disk engine: the price file is
// KAKAKU.D (format 1: one price) or PRICE3.D (format 2: three prices), found
// through PRICE.MST in the price directory; a read returns the 50-byte price
// record of zkall.h, whatever the format.
//
//   price record  format 1 (KAKAKU.D)   format 2 (PRICE3.D)
//   0   12        record 0-11           record 0-11
//   12  8         record 12-19          record 12-19, 20-27, 28-35 (selector 0, 1, 2)
//   20  8         record 20-27          record 36-43
//   28  2         record 28-29          record 44-45
//   30  20        record 30-49          record 46-65
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

inline constexpr char kPriceFile1[] = "KAKAKU  D  ";  // price format 1
inline constexpr char kPriceFile2[] = "PRICE3  D  ";  // price format 2
inline constexpr int32_t kPriceFormat1 = 1;
inline constexpr int32_t kPriceFormat2 = 2;
inline constexpr size_t kPriceRecordSize = ZKALL_PRICE_RECORD_SIZE;
inline constexpr size_t kPriceAreaSize = ZKALL_PRICE_AREA_SIZE;

int kakaku_open(int32_t which, zkall_cd_handle** out, int32_t& detail);
int kakaku_read(zkall_cd_handle* h, char* price, const char* key, int32_t key_length, int32_t selector,
                int32_t& detail);
int kakaku_check(int32_t& detail);

}  // namespace zk::catalog
