// setuped_cd_check: listing the installed directories and filling the
// installed-disc table from their master-file headers.
#include "startup/installed_discs.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "startup/path_names.h"

namespace zk::startup {

namespace {

constexpr const char* kModule = "ZKSUBS01";
constexpr const char* kFunction = "setuped_cd_check";
constexpr char kAreaLetters[] = "EGUJ";
constexpr int kAreaCount = 4;
constexpr size_t kClearedBytes = 12;  // disc id, disc number and date of an entry

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int area_rank(char letter) {
  const char* p = std::strchr(kAreaLetters, letter);
  return p && letter ? static_cast<int>(p - kAreaLetters) : kAreaCount;
}

// The drive that holds an area's catalog directories: the ECMSTALL letter,
// or the drive of ecmst_path.
char area_drive(const zkall_ctop& c, int area) {
  return c.ecmstall[area][0] ? c.ecmstall[area][0] : c.ecmst_path[0];
}

// A path below the installed catalog directory, moved to the area's drive.
bool installed_path(char drive, const std::string& name, std::string& out) {
  if (get_path_name(kPathInstalled, -1, name, out) != 0) return false;
  if (drive && !out.empty()) out[0] = drive;
  return true;
}

enum class ListResult { Done, Full, Failed };

// Lists a "*." pattern and adds, by its first two characters, every entry
// that is exactly a directory and whose name `accept` takes.
template <typename Accept>
ListResult list_candidates(const std::string& pattern, Accept accept, std::vector<std::string>& out) {
  auto& p = platform::current();
  platform::FindEntry e;
  uint32_t error = 0;
  auto finder = p.find_first(pattern, e, error);
  if (!finder) return ListResult::Done;  // nothing matches: the area is skipped
  for (;;) {
    if (e.attributes == platform::kAttrDirectory && e.name.size() >= 2 && accept(e.name)) {
      if (out.size() >= static_cast<size_t>(kMaxDiscs)) return ListResult::Full;
      out.push_back(e.name.substr(0, 2));
    }
    if (!finder->next(e, error)) break;
  }
  return error == platform::kErrorNoMoreFiles ? ListResult::Done : ListResult::Failed;
}

bool read_header(const std::string& path, uint8_t (&header)[kMasterHeaderSize], int& result) {
  auto& p = platform::current();
  int err = 0;
  platform::StreamPtr f = p.fopen(path, "rb", err);
  if (!f) {
    report(kModule, kFunction, path.c_str(), 11, err, 328);
    result = 11;
    return false;
  }
  if (f->read(header, kMasterHeaderSize) != kMasterHeaderSize) {
    report(kModule, kFunction, path.c_str(), 14, f->error_number(), 335);
    f->close();
    result = 14;
    return false;
  }
  f->close();
  return true;
}

}  // namespace

int setuped_cd_check() {
  zkall_ctop* cp = ctop();
  if (!cp) return 0;
  zkall_ctop& c = *cp;
  std::vector<std::string> candidates;
  bool full = false;

  // 1. Catalog directories, area by area, each on its area's drive.
  for (int area = 0; area < kAreaCount && !full && c.ecmst_path[0]; ++area) {
    const char letter = kAreaLetters[area];
    std::string pattern;
    if (!installed_path(area_drive(c, area), "*.", pattern)) continue;
    auto r = list_candidates(pattern, [letter](const std::string& n) { return n[0] == letter && is_digit(n[1]); },
                             candidates);
    if (r == ListResult::Failed) {
      report(kModule, kFunction, "FindNextFile", 12, 0, 113);
      return 12;
    }
    full = r == ListResult::Full;
  }

  // 2. Frame-number directories, world then domestic.
  struct FrameDirs {
    PathKind kind;
    const char* field;
    char letter;
    int32_t site;
  };
  const FrameDirs frames[] = {{kPathFrameWorld, c.framewld_path, 'E', 159},
                              {kPathFrameDomestic, c.framejpn_path, 'J', 204}};
  for (const auto& f : frames) {
    if (full || !f.field[0]) continue;
    std::string pattern;
    if (get_path_name(f.kind, -1, "*.", pattern) != 0) continue;
    const char letter = f.letter;
    auto r = list_candidates(pattern, [letter](const std::string& n) { return n[0] == letter && is_letter(n[1]); },
                             candidates);
    if (r == ListResult::Failed) {
      report(kModule, kFunction, "FindNextFile", 12, 0, f.site);
      return 12;
    }
    full = r == ListResult::Full;
  }

  // 4. Order: by area letter, then by the two characters as bytes.
  c.disc_count = static_cast<int32_t>(candidates.size());
  std::sort(candidates.begin(), candidates.end(), [](const std::string& a, const std::string& b) {
    const int ra = area_rank(a[0]);
    const int rb = area_rank(b[0]);
    if (ra != rb) return ra < rb;
    return std::memcmp(a.data(), b.data(), 2) < 0;
  });

  // 5. Clear the table up to its first empty entry.
  for (int i = 0; i < kMaxDiscs && c.discs[i].disc_id[0] != 0; ++i)
    std::memset(&c.discs[i], 0, kClearedBytes);

  // 6. Read each candidate's master-file header into the next entry.
  auto& p = platform::current();
  int catalogs = 0;
  int filled = 0;
  char previous_letter = 0;
  bool area_has_names = false;
  for (const auto& name : candidates) {
    const bool catalog = is_digit(name[1]);
    bool on_hard_disk = false;
    std::string master;
    if (catalog) {
      const int area = area_rank(name[0]);
      const char drive = area < kAreaCount ? area_drive(c, area) : 0;
      std::string path;
      on_hard_disk = installed_path(drive, name + "\\IMAGEF.DAT", path) && p.exists(path);
      if (name[0] != previous_letter) {
        // The first catalog directory of an area decides, through its
        // vehicle-name file, whether the area's catalogs are usable.
        previous_letter = name[0];
        area_has_names = installed_path(drive, name + "\\SHAMEI.DAT", path) && p.exists(path);
      }
      if (!area_has_names) continue;
      ++catalogs;
      if (!installed_path(drive, name + "\\ZKROOTMF.MST", master)) continue;
    } else {
      const PathKind kind = name[0] == 'E' ? kPathFrameWorld : kPathFrameDomestic;
      std::string path;
      on_hard_disk = get_path_name(kind, -1, name + "\\FRKATA.DAT", path) == 0 && p.exists(path);
      if (get_path_name(kind, -1, name + "\\ZKFRNOMF.MST", master) != 0) continue;
    }
    uint8_t header[kMasterHeaderSize];
    int result = 0;
    if (!read_header(master, header, result)) return result;
    zkall_disc& d = c.discs[filled++];
    std::memcpy(d.disc_id, name.data(), 2);
    std::memcpy(d.disc_no, header + 24, 2);
    std::memcpy(d.date, header, 8);
    d.zero_char = '0';
    d.header_byte = static_cast<char>(header[26]);
    d.hd_flag = on_hard_disk ? 1 : 0;
  }

  // 7. The installation is usable with one catalog and a known area.
  c.disc_count = filled;
  c.setup_ok = (catalogs > 0 && c.current_area != -1) ? 1 : 0;
  return 0;
}

}  // namespace zk::startup
