// Building, deleting and naming VCLINF.TMP.
#include "vehicle/vclinf_list.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/cdopen.h"
#include "catalog/cdread.h"
#include "catalog/format.h"
#include "lookup/record.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "startup/path_names.h"
#include "textutil/chars.h"
#include "textutil/split.h"
#include "vehicle/vinf_file.h"

namespace zk::vehicle {

namespace {

constexpr const char* kModule = "ZKSUBV30";
constexpr int32_t kAnyDrive = -1;
constexpr int32_t kPromptKind = 700;
constexpr uint8_t kUniqueKind = 0;

namespace header {
constexpr size_t kCatalogCode = 17;
constexpr size_t kCatalogCodeSize = 6;
constexpr size_t kLineCount = 100;
}  // namespace header

namespace tokume {
constexpr size_t kGroup = 6;
constexpr size_t kLanguage = 8;
constexpr size_t kText = 10;
constexpr size_t kTextSize = 20;
}  // namespace tokume

namespace kigouu {
constexpr size_t kGroup = 6;
constexpr size_t kCode = 8;
constexpr size_t kCodeSize = 10;
constexpr size_t kLanguage = 18;
constexpr size_t kExplanation = 20;
constexpr size_t kExplanationSize = 70;
}  // namespace kigouu

namespace line {
constexpr size_t kBlankPart = 28;  // an empty line: 28 blanks, then 4 zero bytes
constexpr size_t kPiece = 10;
constexpr size_t kPieceSize = 19;
constexpr size_t kApplies = 29;
}  // namespace line

constexpr size_t kLanguageSize = 2;
constexpr size_t kGroupSize = 2;
constexpr int kAppliesCodes = 21;  // second-characteristic codes a symbol is compared with
constexpr size_t kCharact2Size = 5;

// The open flags and permission of the build: read-write, create, truncate,
// binary; readable and writable.
constexpr int32_t kBuildFlags =
    platform::kOpenReadWrite | platform::kOpenCreate | platform::kOpenTruncate | platform::kOpenBinary;
constexpr int32_t kBuildPerm = platform::kPermRead | platform::kPermWrite;

using Line = std::array<char, kVinfLineSize>;

// The error hook of a build: a failure of the file layer closes both
// catalog files.
int32_t ZKALL_CDECL close_catalog_files(zkall_vinf_control* block) {
  int32_t detail = 0;
  catalog::cdclose(&block->tokume, detail);
  catalog::cdclose(&block->kigouu, detail);
  return -1;
}

struct Heading {
  char group[kGroupSize];
  char text[tokume::kTextSize];
};

bool in_language(const lookup::Record& rec, size_t offset) {
  const zkall_ctop* c = startup::ctop();
  return c != nullptr && rec.field_is(offset, c->lang, kLanguageSize);
}

// Lays the lines out one after another through the file layer.
class ListWriter {
 public:
  explicit ListWriter(zkall_vinf_control* block) : block_(block) {}
  int32_t count() const { return count_; }

  bool heading(const char* text) {
    Line l;
    if (!start_line(230, l)) return false;
    if (text[0] != ' ') {
      size_t length = tokume::kTextSize;
      while (length > 0 && textutil::is_blank_like(text[length - 1])) --length;
      const std::string shown = "** " + std::string(text, length) + " **";
      std::memcpy(l.data(), shown.data(), shown.size());
    } else {
      std::memcpy(l.data(), text, tokume::kTextSize);
      l[line::kApplies] = applies(text) ? 1 : 0;
    }
    return put_rec_vinft(block_, count_ - 1, l.data()).ok;
  }

  bool code(const char* code) {
    Line l;
    if (!start_line(230, l)) return false;
    std::memcpy(l.data(), code, kigouu::kCodeSize);
    l[line::kApplies] = applies(code) ? 1 : 0;
    return put_rec_vinft(block_, count_ - 1, l.data()).ok;
  }

  // The explanation of the code line just added: its first piece on that
  // line, the others on continuation lines.
  bool explanation(const char* text) {
    const std::span<const char> source(text, kigouu::kExplanationSize);
    size_t position = 0;
    char piece[line::kPieceSize];
    Line l;
    if (!textutil::memory_edit_2_n_data(source, piece, position)) return true;  // only blanks
    if (!get_rec_vinft(block_, count_ - 1, l.data()).ok) return false;
    std::memcpy(l.data() + line::kPiece, piece, sizeof piece);
    if (!put_rec_vinft(block_, count_ - 1, l.data()).ok) return false;
    while (textutil::memory_edit_2_n_data(source, piece, position)) {
      if (!start_line(282, l)) return false;
      std::memcpy(l.data() + line::kPiece, piece, sizeof piece);
      if (!put_rec_vinft(block_, count_ - 1, l.data()).ok) return false;
    }
    return true;
  }

 private:
  // A new line: written empty, then read back to be filled.
  bool start_line(int32_t site, Line& l) {
    if (++count_ > kMaxVinfLines) {
      startup::report(kModule, "v_pop_tblset", "Area over", 0, 0, site);
      return false;
    }
    Line empty{};
    std::memset(empty.data(), ' ', line::kBlankPart);
    return put_rec_vinft(block_, count_ - 1, empty.data()).ok && get_rec_vinft(block_, count_ - 1, l.data()).ok;
  }

  // Whether a code (or a heading that begins with a blank) applies to the
  // current vehicle.
  static bool applies(const char* code) {
    const zkall_ccar* c = startup::ccar();
    if (c == nullptr) return false;
    if (std::memcmp(code, c->char1_first, sizeof c->char1_first) == 0) return true;
    for (int i = 0; i < kAppliesCodes; ++i)
      if (std::memcmp(code, c->char2[i], kCharact2Size) == 0) return true;
    return false;
  }

  zkall_vinf_control* block_;
  int32_t count_ = 0;
};

bool read_catalog(zkall_vinf_control& b, const char* catalog_code, ListWriter& list) {
  auto report = [](const char* function, const char* call, int32_t r, int32_t d, int32_t site) {
    startup::report(kModule, function, call, r, d, site);
  };
  int32_t detail = 0;
  const std::string code(catalog_code, header::kCatalogCodeSize);
  int r = catalog::cdopen("TOKUME.DAT", code.c_str(), kUniqueKind, catalog::kReadModeRecord, kAnyDrive, b.disc,
                          kPromptKind, &b.tokume, detail);
  if (r != 0) {
    report("v_pop_read", "cdopen", r, detail, 111);
    return false;
  }
  std::vector<Heading> headings;
  lookup::Record rec;
  while (headings.size() < static_cast<size_t>(kMaxVinfLines)) {
    r = catalog::cdread(b.tokume, rec.data(), nullptr, 0, 0, nullptr, nullptr, detail);
    if (r == catalog::rc::kNotFound) break;
    if (r != 0) {
      report("v_pop_read", "cdread", r, detail, 122);
      return false;
    }
    rec.set_length(b.tokume);
    if (!in_language(rec, tokume::kLanguage)) continue;
    Heading& h = headings.emplace_back();
    rec.field(tokume::kGroup, kGroupSize, h.group, '\0');
    rec.field(tokume::kText, tokume::kTextSize, h.text, ' ');
  }
  catalog::cdclose(&b.tokume, detail);

  r = catalog::cdopen("KIGOUU.DAT", code.c_str(), kUniqueKind, catalog::kReadModeRecord, kAnyDrive, b.disc,
                      kPromptKind, &b.kigouu, detail);
  if (r != 0) {
    report("v_pop_read", "cdopen", r, detail, 141);
    return false;
  }
  for (const Heading& h : headings) {
    if (!list.heading(h.text)) return false;
    if (r = catalog::cdreopen(b.kigouu, detail); r != 0) {
      report("v_pop_read2", "cdreopen", r, detail, 177);
      return false;
    }
    for (;;) {
      r = catalog::cdread(b.kigouu, rec.data(), nullptr, 0, 0, nullptr, nullptr, detail);
      if (r == catalog::rc::kNotFound) break;
      if (r != 0) {
        report("v_pop_read2", "cdread", r, detail, 191);
        return false;
      }
      rec.set_length(b.kigouu);
      if (!in_language(rec, kigouu::kLanguage) || !rec.field_is(kigouu::kGroup, h.group, kGroupSize)) continue;
      char symbol[kigouu::kCodeSize];
      char explanation[kigouu::kExplanationSize];
      rec.field(kigouu::kCode, sizeof symbol, symbol, ' ');
      rec.field(kigouu::kExplanation, sizeof explanation, explanation, ' ');
      if (!list.code(symbol) || !list.explanation(explanation)) return false;
    }
  }
  catalog::cdclose(&b.kigouu, detail);
  return true;
}

}  // namespace

int32_t pop_make_vclinf_tmp(zkall_vinf_control* block, const void* caller_header) {
  if (block == nullptr || caller_header == nullptr) return -1;
  block->open_flags = kBuildFlags;
  block->perm = kBuildPerm;
  block->error_hook = close_catalog_files;
  block->tokume = nullptr;
  block->kigouu = nullptr;
  auto done = [block](int32_t result) {
    term_vinft(block);
    close_catalog_files(block);
    return result;
  };
  if (!init_vinft(block).ok) return done(-1);

  std::array<char, kVinfHeaderSize> hdr;
  std::memcpy(hdr.data(), caller_header, hdr.size());
  if (textutil::is_blank_like(hdr[header::kCatalogCode])) {
    // No catalog: the header and 250 lines of zero bytes.
    if (!put_hdr_vinft(block, hdr.data()).ok) return done(-1);
    const Line zero{};
    for (int32_t n = 0; n < kMaxVinfLines; ++n)
      if (!put_rec_vinft(block, n, zero.data()).ok) return done(-1);
    return done(0);
  }
  ListWriter list(block);
  if (!read_catalog(*block, hdr.data() + header::kCatalogCode, list)) return done(-1);
  const int32_t count = list.count();
  std::memcpy(hdr.data() + header::kLineCount, &count, sizeof count);
  return done(put_hdr_vinft(block, hdr.data()).ok ? 0 : -1);
}

int32_t pop_del_vclinftmp() {
  std::string path;
  if (!vclinf_path(path)) return -1;
  int error = 0;
  return platform::current().remove(path, error) == 0 ? 0 : -1;
}

int32_t vinf_get_path(char* buffer) {
  if (buffer == nullptr) return -1;
  std::memset(buffer, 0, startup::kNameBufferSize);
  std::memcpy(buffer, "VCLINF.TMP", 10);
  return startup::get_path_name(startup::kPathWork, -1, buffer);
}

}  // namespace zk::vehicle
