// The manufacturer table: the world manufacturer identifiers (the first
// three characters of a VIN) of the makes this catalog covers. The catalog
// keys the vehicle information of these makes by the first 9 characters of
// the VIN and that of every other make by its first 8 (see vin.h).
//
// This is configuration: the one place where the identifiers are kept. They
// are compared exactly, byte by byte (letter case counts). The values are
// the catalog maker's own prefixes, one per factory region:
//   J..  built in Japan         S.., V.., W..  built in Europe
//   1.., 2.., 3..  built in North America        9..  built in South America
#pragma once

#include <array>
#include <string_view>

namespace zk::vehicle {

inline constexpr size_t kManufacturerIdSize = 3;

inline constexpr std::array<std::string_view, 15> kManufacturerIds = {
    "JZK", "JZL", "JZM", "JZN", "JZP",  // Japan: passenger cars, vans, trucks, export, special
    "SZK", "SZL",                       // United Kingdom
    "VZK", "VZL",                       // France, Spain
    "WZK", "WZL",                       // Germany
    "1ZK", "2ZK", "3ZK",                // United States, Canada, Mexico
    "9ZK",                              // Brazil
};

static_assert([] {
  for (std::string_view id : kManufacturerIds)
    if (id.size() != kManufacturerIdSize) return false;
  return true;
}());

}  // namespace zk::vehicle
