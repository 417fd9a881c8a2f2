// cdopen and fcdopen: the master lookup with its redirections, the handle,
// the drive search and the opening of the set's files.
#include "catalog/cdopen.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "catalog/cd_handle.h"
#include "catalog/discs.h"
#include "catalog/format.h"
#include "catalog/master_file.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/file_handles.h"
#include "startup/path_names.h"
#include "workfiles/file_utils.h"

namespace zk::catalog {

namespace {

enum class Mode { Root, Catalog, Frame };

// Where the set of a master entry was found.
struct Lookup {
  std::array<MasterEntry, kSetEntries> entries{};
  int32_t disc = -1;         // installed disc whose master file listed the set
  std::string master_path;   // full path of a catalog master file
};

constexpr int kHandsOver = 1;  // read_master: the header hands over to another disc

bool hands_over(const MasterHeader& h) {
  return h.second_disc_id[0] != 0 && std::memcmp(h.second_disc_id.data(), h.disc_id.data(), kMasterDiscIdSize) != 0;
}

// Reads a master file whole (or its first `limit` bytes) into `bytes`. With
// `check_header`, the header is read first and a header that hands over to
// another disc ends the read with kHandsOver.
int read_master(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, int32_t& detail,
                bool check_header) {
  int32_t fd = -1;
  int32_t error = 0;
  if (workfiles::open_read(path, fd, error) != 0) {
    detail = error;
    return error == platform::kErrnoNoEntry ? rc::kNotFound : rc::kOpenFailed;
  }
  auto& p = platform::current();
  auto fail = [&](int result, int err) {
    startup::close2(fd);
    detail = err;
    return result;
  };
  int err = 0;
  if (check_header) {
    std::array<uint8_t, kMasterHeaderSize> h{};
    if (p.read(fd, h.data(), h.size(), err) != static_cast<int64_t>(h.size())) return fail(rc::kReadFailed, err);
    if (hands_over(decode_master_header(std::span<const uint8_t, kMasterHeaderSize>(h)))) return fail(kHandsOver, 0);
    if (p.lseek(fd, 0, platform::kSeekSet, err) < 0) return fail(rc::kSeekFailed, err);
  }
  int64_t length = static_cast<int64_t>(limit);
  if (limit == 0) {
    length = p.filelength(fd, err);
    if (length < 0) return fail(rc::kReadFailed, err);
  }
  platform::HeapBlock block;
  if (!p.allocate(static_cast<size_t>(length), block)) return fail(rc::kNoMemory, 0);
  if (p.read(fd, block.data(), block.size(), err) != length) return fail(rc::kReadFailed, err);
  startup::close2(fd);
  bytes.assign(block.data(), block.data() + block.size());
  return rc::kOk;
}

// The index of the first entry named `name` that carries `kind` when its
// name is shared, or -1.
int find_entry(const std::vector<uint8_t>& bytes, size_t entry_limit, const char* name, uint8_t kind) {
  // The header takes the room of one entry.
  const size_t slots = bytes.size() / kMasterEntrySize;
  const size_t count = std::min(entry_limit, slots > 0 ? slots - 1 : 0);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = bytes.data() + kMasterHeaderSize + i * kMasterEntrySize;
    if (std::strncmp(reinterpret_cast<const char*>(e), name, kMasterFileNameSize) != 0) continue;
    const uint8_t same_name = e[master_entry::kSameNameCount];
    if (same_name <= 1 || e[master_entry::kKind] == kind) return static_cast<int>(i);
  }
  return -1;
}

void take_set(const std::vector<uint8_t>& bytes, int index, Lookup& out) {
  for (size_t k = 0; k < kSetEntries; ++k) {
    const uint8_t* e = bytes.data() + kMasterHeaderSize + (static_cast<size_t>(index) - 3 + k) * kMasterEntrySize;
    out.entries[k] = decode_master_entry(std::span<const uint8_t, kMasterEntrySize>(e, kMasterEntrySize));
  }
}

bool installed(const zkall_ctop& c, int32_t disc) {
  const int32_t count = c.disc_count;
  return disc >= 0 && disc < std::min<int32_t>(count, startup::kMaxDiscs);
}

bool same_id(const char* a, const char* b) { return std::memcmp(a, b, kMasterDiscIdSize) == 0; }

// The path kind under which a disc's master and hard-disk files lie.
startup::PathKind installed_kind(const zkall_ctop& c, Mode mode) {
  if (mode != Mode::Frame) return startup::kPathInstalled;
  return c.current_area == 3 ? startup::kPathFrameDomestic : startup::kPathFrameWorld;
}

int lookup_master(Mode mode, const char* name, const char* catalog_code, uint8_t kind, int32_t disc, Lookup& out,
                  int32_t& detail) {
  const zkall_ctop& c = *startup::ctop();
  std::vector<uint8_t> bytes;
  int32_t d = disc;
  for (int lookups = 0; lookups < kMaxMasterLookups; ++lookups) {
    if (!installed(c, d)) return refuse(detail, open_detail::kNotInstalled);

    if (mode == Mode::Catalog) {
      char master[32];
      std::snprintf(master, sizeof master, "ZK%.6s.MST", std::string(catalog_code, strnlen(catalog_code, 6)).c_str());
      if (startup::get_path_name(startup::kPathInstalled, d, master, out.master_path) != 0)
        return refuse(detail, open_detail::kMasterPath);
      if (int r = read_master(out.master_path, kCatalogMasterMinSize, bytes, detail, false); r != 0) return r;
      // Catalog master files list one catalog's files by their main name.
      const int i = find_entry(bytes, kCatalogMasterEntries, name, 1);
      if (i < 0) return refuse(detail, open_detail::kNotListed);
      if (i < 3) return refuse(detail, open_detail::kEntryOutOfPlace);
      take_set(bytes, i, out);
      out.disc = d;
      return rc::kOk;
    }

    std::string path;
    const char* master_name = mode == Mode::Frame ? kFrameMasterName : kRootMasterName;
    if (startup::get_path_name(installed_kind(c, mode), d, master_name, path) != 0)
      return refuse(detail, open_detail::kMasterPath);
    const int r = read_master(path, 0, bytes, detail, true);
    if (r == kHandsOver) {
      // This disc's master file hands over to the first installed disc.
      detail = 0;
      d = setuped_cdno1_to_cdno2(c.discs[0].disc_id, nullptr);
      continue;
    }
    if (r != 0) return r;
    const int i = find_entry(bytes, SIZE_MAX, name, kind);
    if (i < 0) return refuse(detail, open_detail::kNotListed);
    if (i < 3) return refuse(detail, open_detail::kEntryOutOfPlace);
    take_set(bytes, i, out);
    const MasterEntry& data = out.entries[kDataLevel];
    if (data.disc_id[0] != 0 && !same_id(data.disc_id.data(), c.discs[d].disc_id)) {
      // The file lives on another disc: read that disc's master file.
      if (mode == Mode::Frame) {
        d = setuped_cdno1_to_cdno2(c.discs[0].disc_id, nullptr);
      } else {
        const int32_t top = setuped_top_cdno(data.disc_id[0]);
        if (top < 0) return refuse(detail, open_detail::kNotInstalled);
        d = setuped_cdno1_to_cdno2(c.discs[top].disc_id, nullptr);
      }
      continue;
    }
    out.disc = d;
    return rc::kOk;
  }
  return refuse(detail, open_detail::kLookupLoop);
}

bool present(const zkall_cd_level& l) { return l.size > 0; }

int open_by_kind(zkall_cd_handle& h, int level, uint32_t kind, int32_t index, const std::string& name,
                 int32_t& detail) {
  return open_level_file(h, level, kind, index, name, open_detail::kFilePath, detail);
}

std::string level_name(const zkall_cd_level& l) { return std::string(l.file_name, strnlen(l.file_name, 10)); }

// Opens the set's files as their location kinds say.
int open_files(zkall_cd_handle& h, Mode mode, const Lookup& lookup, int32_t& detail) {
  const zkall_ctop& c = *startup::ctop();
  const uint32_t hd_kind = installed_kind(c, mode);
  const int32_t drive = h.drive_index;

  if (mode == Mode::Catalog) {
    const std::string dir = std::string(h.catalog_code, strnlen(h.catalog_code, 6)) + "\\";
    int32_t master_fd = -1;
    for (int i : {kDataLevel, 0, 1, 2}) {
      zkall_cd_level& l = h.levels[i];
      if (!present(l)) continue;
      if (l.location_kind == kLocationInMaster) {
        if (master_fd < 0) {
          if (int r = open_level_path(h, i, lookup.master_path, detail); r != 0) return r;
          master_fd = l.fd;
        }
        l.fd = master_fd;
      } else if (i == kDataLevel || l.location_kind == kLocationOwnFile) {
        // The data file, wherever the entry says it lies, is looked for in
        // the catalog's directory on the disc: with no drive found (no disc
        // needed) that is the bare "CODE\NAME", relative to the current
        // directory.
        if (int r = open_by_kind(h, i, startup::kPathDrive, drive, dir + level_name(l), detail); r != 0) return r;
      }
    }
    return rc::kOk;
  }

  zkall_cd_level& data = h.levels[kDataLevel];
  if (data.location_kind == kLocationHardDisk) {
    if (int r = open_by_kind(h, kDataLevel, hd_kind, h.disc_index, level_name(data), detail); r != 0) return r;
  } else if (data.location_kind == kLocationOwnFile) {
    if (int r = open_by_kind(h, kDataLevel, startup::kPathDrive, drive, level_name(data), detail); r != 0) return r;
  }
  for (int i = 0; i < kMaxLevels; ++i) {
    zkall_cd_level& l = h.levels[i];
    if (!present(l)) continue;
    if (l.location_kind == kLocationHardDisk) {
      // The middle and bottom levels of a hard-disk copy are stored in the
      // top level's file.
      if (i == kTopLevel) {
        if (int r = open_by_kind(h, i, hd_kind, h.disc_index, level_name(l), detail); r != 0) return r;
      } else {
        l.fd = h.levels[kTopLevel].fd;
      }
    } else if (l.location_kind == kLocationOwnFile) {
      if (int r = open_by_kind(h, i, startup::kPathDrive, drive, level_name(l), detail); r != 0) return r;
    }
  }
  return rc::kOk;
}

int open_set(Mode mode, const char* name, const char* catalog_code, uint8_t kind, int32_t read_mode, int32_t drive,
             int32_t disc, int32_t prompt_kind, zkall_cd_handle** out, int32_t& detail) {
  detail = 0;
  if (out) *out = nullptr;
  const zkall_ctop* c = startup::ctop();
  if (!out || !name || !c) return refuse(detail, open_detail::kNotInstalled);

  Lookup lookup;
  if (int r = lookup_master(mode, name, catalog_code, kind, disc, lookup, detail); r != 0) return r;

  HandlePtr h = make_handle();
  if (!h) return rc::kNoMemory;
  fill_from_entries(*h, lookup.entries);
  std::memset(h->file_name, 0, sizeof h->file_name);
  std::memcpy(h->file_name, name, strnlen(name, sizeof h->file_name));
  const zkall_disc& entry = c->discs[lookup.disc];
  std::memcpy(h->disc_id, entry.disc_id, sizeof h->disc_id);
  std::memcpy(h->disc_no, entry.disc_no, sizeof h->disc_no);
  std::memcpy(h->disc_date, entry.date, sizeof h->disc_date);
  h->requested_disc = disc;
  h->disc_index = lookup.disc;
  h->drive_index = -1;
  h->read_mode = read_mode;
  h->prompt_kind = prompt_kind;
  if (mode == Mode::Catalog) {
    h->catalog_flag = 1;
    std::memcpy(h->catalog_code, catalog_code, strnlen(catalog_code, sizeof h->catalog_code));
    std::snprintf(h->master_name, sizeof h->master_name, "ZK%.6s.MST",
                  std::string(h->catalog_code, strnlen(h->catalog_code, 6)).c_str());
  }
  if (!allocate_set_buffers(*h)) return rc::kNoMemory;

  const bool needs_disc = std::any_of(std::begin(h->levels), std::end(h->levels), [](const zkall_cd_level& l) {
    return present(l) && l.location_kind == kLocationOwnFile;
  });
  if (needs_disc) {
    int32_t found = -1;
    int32_t set_detail = 0;
    const int r = cdset_cd(drive, h->disc_id, h->disc_no, h->disc_date, &found, nullptr, nullptr, prompt_kind,
                           &set_detail);
    if (r != 0) {
      detail = set_detail;
      return r;
    }
    h->drive_index = found;
  }

  if (h->levels[kDataLevel].size == 0) {
    *out = h.release();
    return rc::kOk;
  }
  if (int r = open_files(*h, mode, lookup, detail); r != 0) return r;
  *out = h.release();
  return rc::kOk;
}

}  // namespace

int cdopen(const char* name, const char* catalog_code, uint8_t kind, int32_t read_mode, int32_t drive,
           int32_t disc, int32_t prompt_kind, zkall_cd_handle** out, int32_t& detail) {
  const bool catalog = catalog_code && catalog_code[0] != '\0';
  return open_set(catalog ? Mode::Catalog : Mode::Root, name, catalog_code, kind, read_mode, drive, disc,
                  prompt_kind, out, detail);
}

int fcdopen(const char* name, uint8_t kind, int32_t read_mode, int32_t drive, int32_t disc, int32_t prompt_kind,
            zkall_cd_handle** out, int32_t& detail) {
  return open_set(Mode::Frame, name, nullptr, kind, read_mode, drive, disc, prompt_kind, out, detail);
}

}  // namespace zk::catalog
