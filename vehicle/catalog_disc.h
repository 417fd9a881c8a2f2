// Which installed disc holds a vehicle's catalog (v_check_shamei_d): the
// catalog code is looked up in the vehicle names SHAMEI.DAT of the discs
// given, one after another; the record found names the vehicle's catalog
// disc by its number within the area (bytes 87-88), which is then looked up
// among the installed discs of the area of the disc that had the record.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::vehicle {

inline constexpr size_t kVehicleNameRecordSize = 97;
inline constexpr size_t kCatalogCodeSize = 6;

// 0 found and the catalog disc installed; 1 not on any of the discs (also
// for a count of 0 or less); 6 found but its catalog disc is not installed;
// or the failure of the lookup (multi-disc reader). The 97-byte record goes
// to `record` and the catalog disc's index (-1 when not installed) to
// `disc` whenever a record was found; both may be null.
int check_shamei_d(const char* catalog_code, const int32_t* discs, int32_t count, char* record, int32_t* disc,
                   int32_t& detail);

}  // namespace zk::vehicle
