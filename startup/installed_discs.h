// The installed-disc check: finds the copies of catalog discs installed on
// the hard disk (one directory per disc, named by its disc id) and the
// frame-number discs, reads the header of each one's master file and
// rebuilds the installed-disc table of the ctop area, in the order every
// disc lookup relies on: by area (E, G, U, J), then by disc id.
//
//   directory kind     where                              name
//   catalog            ecmst_path on the area's drive     area letter + digit
//   world frame no.    framewld_path                      E + letter
//   domestic frame no. framejpn_path                      J + letter
//
// Master-file header bytes used: 0-7 disc date, 24-25 disc number, 26 a byte
// copied to entry byte 13.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::startup {

inline constexpr size_t kMasterHeaderSize = 32;

// Rebuilds the table; 0, or 11 (a master file cannot be opened), 12 (a
// directory listing fails), 14 (a master header cannot be read), each
// logged as module "ZKSUBS01". On failure the table holds the entries filled
// so far, disc_count the number of candidates, and setup_ok is unchanged.
//
// A frame-number directory (FRAMEWLD, FRAMEJPN) or the installed catalog
// directory (ECMST) that is not configured is not listed at all, rather than
// listing the current directory in its place.
int setuped_cd_check();

}  // namespace zk::startup
