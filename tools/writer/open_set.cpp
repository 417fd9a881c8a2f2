// Opening a written file set into a handle.
#include "tools/writer/open_set.h"

#include <cstring>
#include <filesystem>

#include "catalog/cd_handle.h"
#include "catalog/format.h"
#include "platform/platform.h"
#include "startup/file_handles.h"

namespace zk::writer {

namespace cat = zk::catalog;

int open_set_files(std::span<const cat::MasterEntry, 4> entries, const std::array<std::string, 4>& paths,
                   int32_t read_mode, zkall_cd_handle** out, int32_t& detail) {
  detail = 0;
  *out = nullptr;
  cat::HandlePtr h = cat::make_handle();
  if (!h) return cat::rc::kNoMemory;
  cat::fill_from_entries(*h, entries);
  std::memcpy(h->file_name, entries[cat::kDataLevel].name.data(), sizeof h->file_name);
  h->read_mode = read_mode;
  h->requested_disc = -1;
  h->disc_index = -1;
  h->drive_index = -1;
  if (!cat::allocate_set_buffers(*h)) return cat::rc::kNoMemory;
  if (h->levels[cat::kDataLevel].size > 0) {
    for (int i : {cat::kDataLevel, 0, 1, 2}) {
      zkall_cd_level& d = h->levels[i];
      if (d.size == 0) continue;
      const std::string& path = paths[static_cast<size_t>(i)];
      for (int j : {cat::kDataLevel, 0, 1, 2}) {
        if (j != i && h->levels[j].fd >= 0 && paths[static_cast<size_t>(j)] == path) d.fd = h->levels[j].fd;
      }
      if (d.fd >= 0) continue;
      int error = 0;
      d.fd = startup::open2(path, platform::kOpenReadOnly | platform::kOpenBinary, 0, error);
      if (d.fd < 0) {
        detail = error;
        return cat::rc::kOpenFailed;
      }
    }
  }
  *out = h.release();
  return cat::rc::kOk;
}

int open_placed_set(const PlacedSet& placed, const std::string& dir, int32_t read_mode, zkall_cd_handle** out,
                    int32_t& detail) {
  std::array<std::string, 4> paths;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!placed.files[i].empty()) paths[i] = (std::filesystem::path(dir) / placed.files[i]).string();
  }
  return open_set_files(placed.entries, paths, read_mode, out, detail);
}

}  // namespace zk::writer
