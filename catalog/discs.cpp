// Disc labels, present discs, the drive search with its insert-disc prompt,
// and the installed-disc table lookups.
#include "catalog/discs.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/insert_disc_prompt.h"
#include "startup/installed_discs.h"
#include "startup/path_names.h"

namespace zk::catalog {

namespace {

constexpr char kAreaLetters[] = "EGUJ";
constexpr size_t kRootMasterIdOffset = 22;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool byte_above_space(char c) { return static_cast<unsigned char>(c) > ' '; }

// The entries of the installed-disc table that are in use (a corrupt count
// is kept within the table).
int disc_count(const zkall_ctop& c) {
  const int32_t n = c.disc_count;  // a copy: the packed field is never bound by reference
  return std::clamp<int32_t>(n, 0, startup::kMaxDiscs);
}
int drive_count(const zkall_ctop& c) { return std::min<int>(c.drive_count, startup::kMaxDrives); }

char current_letter(const zkall_ctop& c) {
  return c.current_area >= 0 && c.current_area < 4 ? kAreaLetters[c.current_area] : '\0';
}

// The first entry of `letter` whose second character `second` accepts.
template <typename Accept>
int32_t first_entry(char letter, Accept second) {
  const zkall_ctop* c = startup::ctop();
  if (!c || static_cast<unsigned char>(letter) < 33) return -1;
  for (int i = 0; i < disc_count(*c); ++i)
    if (c->discs[i].disc_id[0] == letter && second(c->discs[i].disc_id[1])) return i;
  return -1;
}

bool is_e_or_j(char letter) { return letter == 'E' || letter == 'J'; }

bool head_empty(const char* head) {
  return std::all_of(head, head + kHeadSize, [](char b) { return b == 0; });
}

// The disc-date rule of cdset_cd.
struct DateRule {
  enum Kind { Any, OlderThan, Equal } kind = Any;
  char date[kDiscDateSize] = {};
  size_t length = 0;

  bool accepts(const char* disc_date) const {
    switch (kind) {
      case OlderThan: return std::memcmp(date, disc_date, kDiscDateSize) > 0;
      case Equal: return std::memcmp(date, disc_date, length) == 0;
      default: return true;
    }
  }
};

// Leading characters up to the first at or below a space, at most `max`.
size_t leading_length(const char* s, size_t max) {
  size_t n = 0;
  while (n < max && byte_above_space(s[n])) ++n;
  return n;
}

}  // namespace

int cdread_head(int32_t drive, char* head, int32_t* detail) {
  const zkall_ctop* c = startup::ctop();
  // Only the configured drives are drives: an index past them names no
  // drive name at all, so it is refused like a negative one.
  if (!c || drive < 0 || drive >= drive_count(*c)) return kRefused;
  const std::string root = std::string(1, c->drives[drive][0]) + ":\\";
  std::string label;
  uint32_t error = 0;
  if (!platform::current().volume_label(root, label, error)) {
    if (detail) *detail = static_cast<int32_t>(error);
    return error == platform::kErrorNotReady ? kDriveNotReady : kVolumeReadFailed;
  }
  label.resize(std::max(label.size(), kHeadSize), '\0');
  if (head) {
    std::memcpy(head, label.data() + kDiscDateSize, kDiscIdSize);
    std::memcpy(head + kDiscIdSize, label.data(), kDiscDateSize);
  }
  return 0;
}

int cdread_head_alldrive(char* heads, char letter, int32_t* detail) {
  const zkall_ctop* c = startup::ctop();
  if (!c || !heads) return kRefused;
  std::memset(heads, 0, kHeadListSize * kHeadSize);
  const int drives = drive_count(*c);
  for (int d = 0; d < drives; ++d) {
    const int rc = cdread_head(d, heads + static_cast<size_t>(d) * kHeadSize, detail);
    if (rc == kDriveNotReady) {
      std::memset(heads + static_cast<size_t>(d) * kHeadSize, 0, kHeadSize);
      if (detail) *detail = 0;
    } else if (rc != 0) {
      return rc;
    }
  }

  // Discs copied to the hard disk count as present: their root master file
  // names them.
  int32_t top = -1;
  int32_t found = 0;
  make_setuped_top_cdid_table(&top, &found);
  if (!found) return 0;
  size_t used = static_cast<size_t>(drives);
  for (int i = top; i < disc_count(*c) && c->discs[i].disc_id[0] == letter; ++i) {
    const zkall_disc& e = c->discs[i];
    if (!is_digit(e.disc_id[1]) || e.hd_flag != 1) continue;
    std::string path;
    if (startup::get_path_name(startup::kPathInstalled, -1, std::string(e.disc_id, 2) + "\\ZKROOTMF.MST", path) != 0)
      continue;
    int err = 0;
    platform::StreamPtr f = platform::current().fopen(path, "rb", err);
    if (!f) {
      if (detail) *detail = err;
      return 11;
    }
    char header[startup::kMasterHeaderSize];
    const size_t got = f->read(header, sizeof header);
    const int read_error = f->error_number();
    f->close();
    if (got != sizeof header) {
      if (detail) *detail = read_error;
      return 14;
    }
    char head[kHeadSize];
    std::memcpy(head, header + kRootMasterIdOffset, kDiscIdSize);
    std::memcpy(head + kDiscIdSize, header, kDiscDateSize);
    bool known = false;
    for (size_t k = 0; k < used && !known; ++k) known = std::memcmp(heads + k * kHeadSize, head, kHeadSize) == 0;
    if (known || used >= kHeadListSize) continue;
    std::memcpy(heads + used * kHeadSize, head, kHeadSize);
    ++used;
  }
  return 0;
}

int cdmake_cdidtbl_alldrive(int32_t* list, int32_t* count, int32_t* detail) {
  if (count) *count = 0;
  const zkall_ctop* c = startup::ctop();
  if (!c) return kRefused;
  const char letter = current_letter(*c);
  if (!letter) return 0;
  char heads[kHeadListSize * kHeadSize];
  const int rc = cdread_head_alldrive(heads, letter, detail);
  if (rc != 0) return rc;
  int32_t n = 0;
  for (int i = 0; i < disc_count(*c); ++i) {
    const zkall_disc& e = c->discs[i];
    if (e.disc_id[0] != letter || !is_digit(e.disc_id[1])) continue;
    for (size_t h = 0; h < kHeadListSize; ++h) {
      const char* head = heads + h * kHeadSize;
      if (!head_empty(head) && std::memcmp(head, e.disc_id, kDiscIdSize) == 0 &&
          std::memcmp(head + kDiscIdSize, e.date, kDiscDateSize) == 0) {
        if (list) list[n] = i;
        ++n;
        break;
      }
    }
  }
  if (count) *count = n;
  return 0;
}

int cdset_cd(int32_t drive, const char* disc_id, const char* disc_no, const char* disc_date, int32_t* drive_found,
             char* id_found, char* date_found, int32_t prompt_kind, int32_t* detail) {
  if (!disc_id || static_cast<unsigned char>(disc_id[0]) < ' ') {
    if (detail) *detail = kDetailNoDiscId;
    return kRefused;
  }
  if (detail) *detail = 0;
  const zkall_ctop* c = startup::ctop();
  if (!c) return kRefused;
  if (drive != -1 && (drive < 0 || drive >= drive_count(*c))) {
    if (detail) *detail = kDetailNoSuchDrive;
    return kRefused;
  }

  const size_t id_length = leading_length(disc_id, kDiscIdSize);
  DateRule rule;
  if (disc_date && std::memcmp(disc_date, "********", kDiscDateSize) == 0) {
    const int32_t main = setuped_top_cdno(disc_id[0]);
    if (main < 0) {
      if (detail) *detail = kDetailNoMainDisc;
      return kRefused;
    }
    rule.kind = DateRule::OlderThan;
    std::memcpy(rule.date, c->discs[main].date, kDiscDateSize);
  } else if (disc_date) {
    rule.length = leading_length(disc_date, kDiscDateSize);
    if (rule.length > 0) {
      rule.kind = DateRule::Equal;
      std::memcpy(rule.date, disc_date, rule.length);
    }
  }

  const int32_t first = drive == -1 ? 0 : drive;
  const int32_t last = drive == -1 ? drive_count(*c) - 1 : drive;
  for (;;) {
    int32_t not_ready = -1;
    for (int32_t d = first; d <= last; ++d) {
      char head[kHeadSize];
      int32_t head_detail = 0;
      const int rc = cdread_head(d, head, &head_detail);
      if (rc == kDriveNotReady) {
        if (not_ready < 0) not_ready = d;
        continue;
      }
      if (rc != 0) {
        if (detail && rc != kRefused) *detail = head_detail;
        return rc;
      }
      if (std::memcmp(head, disc_id, id_length) == 0 && rule.accepts(head + kDiscIdSize)) {
        if (drive_found) *drive_found = d;
        if (id_found) std::memcpy(id_found, head, kDiscIdSize);
        if (date_found) std::memcpy(date_found, head + kDiscIdSize, kDiscDateSize);
        return 0;
      }
    }

    int32_t answer = 0;
    if (startup::disp_msgbox(cdmsgid(prompt_kind), drive, disc_id, disc_no, &answer) != 0) {
      if (detail) *detail = kDetailNoPrompt;
      return kRefused;
    }
    if (answer == startup::kAnswerCancel) return kCancelled;
    if (answer == startup::kAnswerRetry) {
      // Give the drive a moment to spin up the disc just inserted.
      const int32_t waited = drive != -1 ? drive : (not_ready >= 0 ? not_ready : first);
      for (int poll = 0; poll < kRetryPolls; ++poll) {
        platform::current().sleep_ms(kRetrySleepMs);
        if (cdread_head(waited, nullptr, nullptr) != kDriveNotReady) break;
      }
    }
  }
}

int32_t cdmsgid(int32_t prompt_kind) {
  switch (prompt_kind) {
    case -4:
    case -2: return 883;
    case -3:
    case -1: return 882;
    default: return 881;
  }
}

int32_t setuped_cdno1_to_cdno2(const char* disc_id, char* disc_no_out) {
  const zkall_ctop* c = startup::ctop();
  if (!c || !disc_id) return -1;
  for (int i = 0; i < disc_count(*c); ++i) {
    if (std::memcmp(c->discs[i].disc_id, disc_id, kDiscIdSize) == 0) {
      if (disc_no_out) std::memcpy(disc_no_out, c->discs[i].disc_no, 2);
      return i;
    }
  }
  return -1;
}

int32_t setuped_cdno2_to_cdno1(char letter, char* disc_id_out, const char* disc_no) {
  const zkall_ctop* c = startup::ctop();
  if (!c || !disc_no || static_cast<unsigned char>(letter) < 33) return -1;
  for (int i = 0; i < disc_count(*c); ++i) {
    if (c->discs[i].disc_id[0] == letter && std::memcmp(c->discs[i].disc_no, disc_no, 2) == 0) {
      if (disc_id_out) std::memcpy(disc_id_out, c->discs[i].disc_id, kDiscIdSize);
      return i;
    }
  }
  return -1;
}

int32_t setuped_top_cdno(char letter) {
  return first_entry(letter, [letter](char second) { return !is_e_or_j(letter) || is_digit(second); });
}

int32_t setuped_top_fcdno(char letter) {
  return first_entry(letter,
                     [letter](char second) { return !is_e_or_j(letter) || second == 'F' || second == 'G'; });
}

int32_t make_setuped_top_cdid_table(int32_t* index, int32_t* found) {
  if (!index) return -1;
  const zkall_ctop* c = startup::ctop();
  const char letter = c ? current_letter(*c) : '\0';
  const int32_t i = letter ? first_entry(letter, is_digit) : -1;
  *index = i;
  if (found) *found = i >= 0 ? 1 : 0;
  return 0;
}

}  // namespace zk::catalog
