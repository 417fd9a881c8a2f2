// Opening a file set the writer laid out into an engine handle, the way the
// catalog's opening functions do once they hold the set's master entries:
// a fresh handle filled from the entries, block buffers for the data file
// and every present level, and every present file opened read-only through
// open2 (a physical file that holds several of the set's files once).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "catalog/master_file.h"
#include "tools/writer/master_writer.h"
#include "zkall.h"

namespace zk::writer {

// `paths[i]`: the file holding descriptor i's run (ignored for an absent
// one). 0 with *out; 11 with the error number when a file cannot be
// opened; 20 when memory cannot be had. A data file of size 0 opens nothing.
// On failure everything taken is released and *out is null.
int open_set_files(std::span<const catalog::MasterEntry, 4> entries, const std::array<std::string, 4>& paths,
                   int32_t read_mode, zkall_cd_handle** out, int32_t& detail);

// The same for a placed set whose files lie in `dir`.
int open_placed_set(const PlacedSet& placed, const std::string& dir, int32_t read_mode, zkall_cd_handle** out,
                    int32_t& detail);

}  // namespace zk::writer
