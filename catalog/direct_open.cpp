// cdfile_get and cdopen_direct.
#include "catalog/direct_open.h"

#include <cstring>
#include <string>

#include "catalog/builtin_files.h"
#include "catalog/cd_handle.h"
#include "catalog/discs.h"
#include "catalog/format.h"
#include "platform/platform.h"
#include "startup/path_names.h"

namespace zk::catalog {

namespace {

constexpr size_t kDataNameLetter = 7;  // "SHAMEI.DAT": the D of the extension marks a data file

bool has_code(const char* code) { return code && code[0] != '\0'; }

// "%6.6s\%10.10s" with a catalog code, else "%10.10s".
std::string disc_name(const char* name, const char* code) {
  std::string n(name, strnlen(name, kMasterFileNameSize));
  if (!has_code(code)) return n;
  return std::string(code, strnlen(code, 6)) + "\\" + n;
}

// The row of `name` (and, for shared names, `kind`) and its index, or -1.
int find_row(std::span<const BuiltinRow> rows, const char* name, uint8_t kind) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (std::strncmp(rows[i].name, name, kMasterFileNameSize) != 0) continue;
    if (rows[i].same_name_count <= 1 || rows[i].kind == kind) return static_cast<int>(i);
  }
  return -1;
}

int open_on_drive(zkall_cd_handle& h, int level, const std::string& name, int32_t path_detail, int32_t& detail) {
  return open_level_file(h, level, startup::kPathDrive, h.drive_index, name, path_detail, detail);
}

}  // namespace

int cdfile_get(const char* name, const char* catalog_code, int32_t drive, int32_t& detail, uint32_t* size) {
  detail = 0;
  if (!size) return refuse(detail, direct_detail::kNoSizeOutput);
  *size = 0;
  std::string path;
  if (!name || startup::get_path_name(startup::kPathDrive, drive, disc_name(name, catalog_code), path) != 0)
    return refuse(detail, direct_detail::kSizePath);
  platform::FindEntry e;
  uint32_t error = 0;
  if (!platform::current().find_first(path, e, error)) {
    detail = static_cast<int32_t>(error);
    const bool missing = error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound ||
                         error == platform::kErrorNoMoreFiles;
    return missing ? rc::kNotFound : rc::kRefused;
  }
  *size = static_cast<uint32_t>((e.size + kBlockSize - 1) / kBlockSize);
  return rc::kOk;
}

int cdopen_direct(const char* name, const char* catalog_code, uint8_t kind, int32_t read_mode, int32_t drive,
                  const char* disc_id, const char* disc_no, const char* disc_date, uint32_t base_block,
                  uint32_t size, int32_t prompt_kind, zkall_cd_handle** out, int32_t& detail) {
  if (out) *out = nullptr;
  detail = 0;
  if (!disc_id || static_cast<unsigned char>(disc_id[0]) < ' ') return refuse(detail, direct_detail::kNoDiscId);
  if (!out || !name) return refuse(detail, direct_detail::kDataPath);

  const auto rows = has_code(catalog_code) ? builtin_catalog_rows() : builtin_root_rows();
  const int row = find_row(rows, name, kind);

  HandlePtr h = make_handle();
  if (!h) {
    detail = direct_detail::kNoHandleMemory;
    return rc::kNoMemory;
  }

  int32_t found_drive = -1;
  char found_id[kMasterDiscIdSize] = {};
  char found_date[kMasterDateSize] = {};
  if (int r = cdset_cd(drive, disc_id, disc_no, disc_date, &found_drive, found_id, found_date, prompt_kind, &detail);
      r != 0)
    return r;

  uint32_t data_base = base_block;
  uint32_t data_size = size;
  if (size == 0) {
    data_base = 0;
    const int r = cdfile_get(name, catalog_code, found_drive, detail, &data_size);
    if (r == rc::kNotFound)
      data_size = 0;
    else if (r != 0)
      return r;
  }

  zkall_cd_handle& hd = *h;
  std::memcpy(hd.file_name, name, strnlen(name, sizeof hd.file_name));
  std::memcpy(hd.disc_id, found_id, sizeof hd.disc_id);
  std::memcpy(hd.disc_date, found_date, sizeof hd.disc_date);
  if (disc_no) std::memcpy(hd.disc_no, disc_no, sizeof hd.disc_no);
  hd.requested_disc = -1;
  hd.disc_index = -1;
  hd.drive_index = found_drive;
  hd.block_size = static_cast<int32_t>(kBlockSize);
  if (row >= 0) {
    const BuiltinRow& data = rows[static_cast<size_t>(row)];
    hd.file_kind = data.kind;
    hd.data_mask = data.mask;
    hd.key_length = static_cast<int32_t>(data.key_length);
    hd.record_length = static_cast<int32_t>(data.record_length);
    hd.level_count = static_cast<int32_t>(data.levels);
    hd.block_size = static_cast<int32_t>(data.block_size);
    hd.key_offset = static_cast<int32_t>(data.key_offset);
    if (row > 0) {
      hd.index_key_length = static_cast<int32_t>(rows[static_cast<size_t>(row) - 1].key_length);
      hd.entry_length = static_cast<int32_t>(rows[static_cast<size_t>(row) - 1].record_length);
    }
    hd.levels[kDataLevel].match_mask = data.mask;
  }
  hd.catalog_flag = has_code(catalog_code) ? 1 : 0;
  if (has_code(catalog_code)) std::memcpy(hd.catalog_code, catalog_code, strnlen(catalog_code, 6));
  hd.read_mode = read_mode;
  hd.prompt_kind = prompt_kind;
  hd.direct_flag = 1;
  zkall_cd_level& dl = hd.levels[kDataLevel];
  std::memcpy(dl.file_name, name, strnlen(name, sizeof dl.file_name));
  dl.base_block = data_base;
  dl.size = data_size;
  dl.location_kind = kLocationOwnFile;

  if (!allocate_buffer(hd, kDataLevel)) {
    detail = direct_detail::kNoDataBuffer;
    return rc::kNoMemory;
  }
  if (int r = open_on_drive(hd, kDataLevel, disc_name(name, catalog_code), direct_detail::kDataPath, detail); r != 0)
    return r;

  // The index levels, only for a data file asked for by its size on disc.
  if (size == 0 && row >= 3 && name[kDataNameLetter] == 'D') {
    int lowest = 0;
    for (int i = 0; i < kMaxLevels; ++i) {
      const BuiltinRow& lr = rows[static_cast<size_t>(row - 3 + i)];
      zkall_cd_level& l = hd.levels[i];
      std::memcpy(l.file_name, lr.name, sizeof l.file_name);
      l.match_mask = lr.mask;
      l.location_kind = kLocationOwnFile;
      // The same disc must still be in the drive found.
      if (int r = cdset_cd(found_drive, found_id, disc_no, found_date, nullptr, nullptr, nullptr, prompt_kind,
                           &detail);
          r != 0)
        return r;
      uint32_t level_size = 0;
      const int r = cdfile_get(lr.name, catalog_code, found_drive, detail, &level_size);
      if (r == rc::kNotFound) {
        detail = 0;  // a missing level: the set has fewer levels
        continue;
      }
      if (r != 0) return r;
      l.base_block = 0;
      l.size = level_size;
      if (!allocate_buffer(hd, i)) {
        detail = direct_detail::kNoLevelBuffer;
        return rc::kNoMemory;
      }
      if (int o = open_on_drive(hd, i, disc_name(lr.name, catalog_code), direct_detail::kLevelPath, detail); o != 0)
        return o;
      lowest = i + 1;
    }
    hd.level_count = lowest;
    hd.levels[kTopLevel].scan_start = hd.levels[kTopLevel].base_block;
    hd.levels[kTopLevel].scan_count = hd.levels[kTopLevel].size;
  }
  *out = h.release();
  return rc::kOk;
}

}  // namespace zk::catalog
