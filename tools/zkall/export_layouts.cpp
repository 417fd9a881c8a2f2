// The known record layouts of the catalog's file sets.
#include "tools/zkall/export_layouts.h"

#include <cstdint>

namespace zk::tool {

namespace {

// Part names HINMnn: the part name code (the key) and the name.
constexpr Field kPartNames[] = {{"part_name_code", 0, 6}, {"part_name", 6, 60}};
// Figure names FIGMnn: keyed by catalog code and section digit; bytes 7 to
// 10 are not known.
constexpr Field kFigureNames[] = {
    {"catalog_code", 0, 6}, {"section", 6, 1}, {"figure_number", 11, 4}, {"figure_name", 15, 60}};
// Abbreviations: one record per language.
constexpr Field kAbbreviations[] = {{"abbreviation", 0, 20}, {"language", 20, 2}, {"meaning", 22, 80}};
// Vehicle names: the catalog code (the key) and the number of the disc
// within its area that holds the catalog.
constexpr Field kVehicleNames[] = {{"catalog_code", 23, 6}, {"disc_number", 87, 2}};
// Frame numbers: the key, seven characters at offset 6.
constexpr Field kFrameNumbers[] = {{"frame_key", 6, 7}};
// Vehicle information: the fields the narrowing compares.
constexpr Field kVehicleInfo[] = {{"code", 0, 6},          {"vin_key", 6, 9},       {"code_15", 15, 15},
                                  {"produced_from", 30, 4}, {"produced_to", 34, 4},  {"codes", 48, 125},
                                  {"produced_to_2", 177, 4}, {"value_181", 181, 4},   {"value_185", 185, 4}};
// Group headings and symbol codes of a catalog.
constexpr Field kGroupHeadings[] = {{"group_number", 6, 2, true}, {"language", 8, 2}, {"heading", 10, 20}};
constexpr Field kSymbolCodes[] = {
    {"group_number", 6, 2, true}, {"symbol_code", 8, 10}, {"language", 18, 2}, {"explanation", 20, 70}};
// Prices: one price (KAKAKU.D) or three (PRICE3.D) per part number.
constexpr Field kOnePrice[] = {
    {"part_number", 0, 12}, {"price", 12, 8}, {"field_20", 20, 8}, {"field_28", 28, 2}, {"field_30", 30, 20}};
constexpr Field kThreePrices[] = {{"part_number", 0, 12}, {"price_1", 12, 8},  {"price_2", 20, 8},
                                  {"price_3", 28, 8},     {"field_36", 36, 8}, {"field_44", 44, 2},
                                  {"field_46", 46, 20}};

struct Layout {
  std::string_view pattern;  // '?' matches any character
  std::span<const Field> fields;
};

constexpr Layout kLayouts[] = {
    {"HINM??.DAT", kPartNames},     {"FIGM??.DAT", kFigureNames},   {"RYAKUG.DAT", kAbbreviations},
    {"SHAMEI.DAT", kVehicleNames},  {"FRAMNO.DAT", kFrameNumbers},  {"JOUHOU.DAT", kVehicleInfo},
    {"TOKUME.DAT", kGroupHeadings}, {"KIGOUU.DAT", kSymbolCodes},   {"KAKAKU.D", kOnePrice},
    {"PRICE3.D", kThreePrices},
};

bool matches(std::string_view pattern, std::string_view name) {
  if (pattern.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (pattern[i] != '?' && pattern[i] != name[i]) return false;
  return true;
}

}  // namespace

std::span<const Field> fields_of(std::string_view file) {
  for (const Layout& l : kLayouts)
    if (matches(l.pattern, file)) return l.fields;
  return {};
}

std::string field_text(std::string_view record, const Field& f) {
  if (f.offset >= record.size()) return {};
  std::string s(record.substr(f.offset, f.width));
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

int field_int16(std::string_view record, const Field& f) {
  if (f.offset + 2 > record.size()) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(record.data() + f.offset);
  return static_cast<int16_t>(p[0] | (p[1] << 8));
}

}  // namespace zk::tool
