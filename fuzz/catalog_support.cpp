// Opening file sets for the catalog targets.
#include "fuzz/catalog_support.h"

#include <array>
#include <cstring>
#include <string_view>

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

std::string padded(std::string_view s, size_t n) {
  std::string out(s.substr(0, n));
  out.resize(n, '\0');
  return out;
}

}  // namespace

OpenRequest read_open_request(Control& in) {
  OpenRequest r;
  r.way = static_cast<OpenWay>(in.byte() % 4);
  const uint8_t name = in.byte();
  r.name = name < 0xF0 ? std::string(kNames[name % kNames.size()]) : padded(in.take(10), 10);
  r.name.resize(10, '\0');
  const uint8_t code = in.byte();
  if (code % 4 == 1) r.catalog_code = kCatalogCodes[(code / 4) % kCatalogCodes.size()];
  if (code % 4 == 2) r.catalog_code = padded(in.take(6), 6);
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
    r.disc_id = padded(in.take(2), 2);
    const uint8_t form = in.byte();
    if (form & 1) r.disc_no = padded(in.take(2), 2);
    if (form & 2) r.disc_date = (form & 4) ? std::string(8, '*') : padded(in.take(8), 8);
    r.base_block = in.u16();
    r.size = (form & 8) ? in.u16() : 0;
  }
  return r;
}

std::string write_open_request(const OpenRequest& r) {
  std::string out;
  auto put = [&out](int b) { out += static_cast<char>(b); };
  auto put16 = [&put](uint32_t v) {
    put(static_cast<int>(v & 0xFF));
    put(static_cast<int>((v >> 8) & 0xFF));
  };
  put(static_cast<int>(r.way));
  const std::string name(r.name.c_str());
  size_t n = 0;
  while (n < kNames.size() && kNames[n] != name) ++n;
  if (n < kNames.size()) {
    put(static_cast<int>(n));
  } else {
    put(0xF0);
    out += padded(r.name, 10);
  }
  size_t c = 0;
  while (c < kCatalogCodes.size() && kCatalogCodes[c] != r.catalog_code) ++c;
  if (r.catalog_code.empty()) {
    put(0);
  } else if (c < kCatalogCodes.size()) {
    put(static_cast<int>(1 + 4 * c));
  } else {
    put(2);
    out += padded(r.catalog_code, 6);
  }
  put(r.kind);
  put(r.read_mode);
  put(r.drive + 1);
  put(r.disc + 1);
  size_t p = 0;
  while (p < kPromptKinds.size() && kPromptKinds[p] != r.prompt_kind) ++p;
  put(static_cast<int>(p % kPromptKinds.size()));
  put(r.retries);
  if (r.way == OpenWay::Direct) {
    out += padded(r.disc_id, 2);
    const bool stars = r.disc_date == std::string(8, '*');
    put((r.disc_no.empty() ? 0 : 1) | (r.disc_date.empty() ? 0 : 2) | (stars ? 4 : 0) | (r.size ? 8 : 0));
    if (!r.disc_no.empty()) out += padded(r.disc_no, 2);
    if (!r.disc_date.empty() && !stars) out += padded(r.disc_date, 8);
    put16(r.base_block);
    if (r.size) put16(r.size);
  }
  return out;
}

int open_set(const OpenRequest& r, zkall_cd_handle** handle, int32_t& detail) {
  int retries_left = r.retries;
  machine().set_message_box_answerer([&retries_left](const std::string&, const std::string&, uint32_t) {
    return retries_left-- > 0 ? platform::kIdRetry : platform::kIdCancel;
  });
  const char* code = r.catalog_code.empty() ? nullptr : r.catalog_code.c_str();
  int result = 0;
  switch (r.way) {
    case OpenWay::Root:
    case OpenWay::Catalog:
      result = cdopen(r.name.c_str(), code, r.kind, r.read_mode, r.drive, r.disc, r.prompt_kind, handle, &detail);
      break;
    case OpenWay::Frame:
      result = fcdopen(r.name.c_str(), nullptr, r.kind, r.read_mode, r.drive, r.disc, r.prompt_kind, handle, &detail);
      break;
    case OpenWay::Direct:
      result = cdopen_direct(r.name.c_str(), code, r.kind, r.read_mode, r.drive, r.disc_id.c_str(),
                             r.disc_no.empty() ? nullptr : r.disc_no.c_str(),
                             r.disc_date.empty() ? nullptr : r.disc_date.c_str(), r.base_block, r.size,
                             r.prompt_kind, handle, &detail);
      break;
  }
  machine().set_message_box_answerer(nullptr);
  trace("open %d %.10s code %s kind %d disc %d: %d detail %d", static_cast<int>(r.way), r.name.c_str(),
        r.catalog_code.c_str(), r.kind, r.disc, result, detail);
  check(one_of(result, {0, -1, 4, 11, 14, 15, 20, 80, 81, 128}), "an open answered an undocumented result");
  check((result == 0) == (*handle != nullptr), "an open's handle disagrees with its result");
  return result;
}

bool known_open_finding(const zkall_cd_handle& h) {
  for (const zkall_cd_level& l : h.levels)
    if (l.size > 0 && l.location_kind > 2) return true;
  return false;
}

bool same_folded(const char* a, const char* b, size_t n) {
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < n; ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

uint64_t machine_blocks() { return machine().stored_bytes() / ZKALL_CD_BLOCK_SIZE + machine().file_count(); }

}  // namespace zk::fuzz
