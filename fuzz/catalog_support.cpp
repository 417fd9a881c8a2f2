// Opening file sets for the catalog targets.
#include "fuzz/catalog_support.h"

#include <array>

namespace zk::fuzz {

namespace {

// The catalog's file names: the root files, the per-catalog files and the
// frame-number files.
constexpr std::array<std::string_view, 16> kNames = {
    "SHAMEI.DAT", "FIGM01.DAT", "HINM01.DAT", "RYAKUG.DAT", "FRAMNO.DAT", "JOUHOU.DAT",
    "IMAGEF.DAT", "TOKUME.DAT", "KIGOUU.DAT", "EMINDE.DAT", "BUINDE.DAT", "HINBAN.DAT",
    "HCODEH.DAT", "KIRIKA.DAT", "FIGIND.DAT", "HINM02.DAT"};
constexpr std::array<std::string_view, 4> kCatalogCodes = {"4711A0", "5200B1", "6100C2", "4711J0"};
constexpr std::array<int32_t, 6> kPromptKinds = {700, -1, -2, -3, -4, 0};

}  // namespace

OpenRequest read_open_request(Control& in) {
  OpenRequest r;
  r.way = static_cast<OpenWay>(in.byte() % 4);
  const uint8_t name = in.byte();
  r.name = name < 0xF0 ? std::string(kNames[name % kNames.size()]) : in.padded(10, '\0');
  r.name.resize(10, '\0');
  const uint8_t code = in.byte();
  if (code % 4 == 1) r.catalog_code = kCatalogCodes[(code / 4) % kCatalogCodes.size()];
  if (code % 4 == 2) r.catalog_code = in.padded(6, '\0');
  // A catalog code makes cdopen open in the catalog's directory: only the
  // catalog way and cdopen_direct take one.
  if (r.way == OpenWay::Catalog && r.catalog_code.empty()) r.catalog_code = kCatalogCodes[0];
  if (r.way == OpenWay::Root || r.way == OpenWay::Frame) r.catalog_code.clear();
  r.kind = in.byte();
  r.read_mode = in.byte() % 2;
  r.drive = in.byte() % 4 - 1;
  r.disc = in.byte() % 6 - 1;
  r.prompt_kind = kPromptKinds[in.byte() % kPromptKinds.size()];
  r.retries = in.byte() % 3;
  if (r.way == OpenWay::Direct) {
    r.disc_id = in.padded(2, '\0');
    const uint8_t form = in.byte();
    if (form & 1) r.disc_no = in.padded(2, '\0');
    if (form & 2) r.disc_date = (form & 4) ? std::string(8, '*') : in.padded(8, '\0');
    r.base_block = in.u16();
    r.size = (form & 8) ? in.u16() : 0;
  }
  return r;
}

int open_set(const OpenRequest& r, zkall_cd_handle** handle, int32_t& detail) {
  int retries_left = r.retries;
  answer_retries(&retries_left);
  const char* code = r.catalog_code.empty() ? nullptr : r.catalog_code.c_str();
  int result = 0;
  if (r.way == OpenWay::Direct)
    result = cdopen_direct(r.name.c_str(), code, r.kind, r.read_mode, r.drive, r.disc_id.c_str(),
                           r.disc_no.empty() ? nullptr : r.disc_no.c_str(),
                           r.disc_date.empty() ? nullptr : r.disc_date.c_str(), r.base_block, r.size, r.prompt_kind,
                           handle, &detail);
  else if (r.way == OpenWay::Frame)
    result = fcdopen(r.name.c_str(), nullptr, r.kind, r.read_mode, r.drive, r.disc, r.prompt_kind, handle, &detail);
  else
    result = cdopen(r.name.c_str(), code, r.kind, r.read_mode, r.drive, r.disc, r.prompt_kind, handle, &detail);
  answer_retries(nullptr);
  check(one_of(result, {0, -1, 4, 11, 14, 15, 20, 80, 81, 128}), "an open answered an undocumented result");
  check((result == 0) == (*handle != nullptr), "an open's handle disagrees with its result");
  return result;
}

bool same_folded(const char* a, const char* b, size_t n) {
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < n; ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

void bound_reads(uint64_t discs) {
  const uint64_t blocks = machine().stored_bytes() / ZKALL_CD_BLOCK_SIZE + machine().file_count();
  machine().set_read_budget(static_cast<int64_t>(8 * blocks * discs + 64));
}

void check_reads(const char* what) {
  if (machine().budget_exhausted() && !step_round_known_findings()) fail(what);
}

}  // namespace zk::fuzz
