// Laying whole discs out into directories: the installed directory of a
// disc on the hard disk (its root master file, its catalog master files and
// the hard-disk copies) and the disc itself (the files that lie on it, the
// catalog files in a directory named by the catalog code).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/master_file.h"
#include "tools/writer/file_set.h"

namespace zk::writer {

// A set listed in the disc's root master file.
struct RootSet {
  FileSet set;
  uint8_t location = 0;  // 0: on the disc, in its root; 1: hard-disk copy in the installed directory
  std::string on_disc;   // disc id of another disc holding the files: only the entries are written
};

// A set listed in a catalog master file.
struct CatalogSet {
  FileSet set;
  uint8_t location = 2;  // 2: stored inside the catalog master file; 0: in the catalog directory on the disc
};

struct CatalogDir {
  std::string code;  // 6 characters
  std::vector<CatalogSet> sets;
};

struct Disc {
  catalog::MasterHeader header;
  std::vector<RootSet> root_sets;
  std::vector<CatalogDir> catalogs;
};

// Writes `master_name` (ZKROOTMF.MST, or ZKFRNOMF.MST for a frame-number
// disc), the catalog master files and the hard-disk copies into
// `installed_dir`, and the files that lie on the disc below `disc_root`.
void lay_out_disc(const Disc& disc, const std::string& installed_dir, const std::string& disc_root,
                  const std::string& master_name = catalog::kRootMasterName);

}  // namespace zk::writer
