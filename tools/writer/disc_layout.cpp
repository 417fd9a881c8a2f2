// Laying discs and their installed directories out.
#include "tools/writer/disc_layout.h"

#include <filesystem>
#include <string_view>

#include "catalog/format.h"
#include "tools/writer/master_writer.h"

namespace zk::writer {

namespace {
std::string_view disc_id_of(const catalog::MasterHeader& h) { return {h.disc_id.data(), h.disc_id.size()}; }
}  // namespace

void lay_out_disc(const Disc& disc, const std::string& installed_dir, const std::string& disc_root,
                  const std::string& master_name) {
  MasterFile root(disc.header);
  for (const RootSet& rs : disc.root_sets) {
    const PlacedSet placed = place_set(rs.set, rs.location);
    if (!rs.on_disc.empty() && rs.on_disc != disc_id_of(disc.header)) {
      root.add(placed, rs.on_disc);
      continue;
    }
    write_files(rs.location == catalog::kLocationHardDisk ? installed_dir : disc_root, placed.contents);
    root.add(placed);
  }
  write_files(installed_dir, {{master_name, root.bytes()}});

  for (const CatalogDir& dir : disc.catalogs) {
    const std::string name = catalog_master_name(dir.code);
    MasterFile master(disc.header, true);
    for (const CatalogSet& cs : dir.sets) {
      if (cs.location == catalog::kLocationInMaster) {
        master.store(cs.set, name);
        continue;
      }
      const PlacedSet placed = place_set(cs.set, cs.location);
      write_files((std::filesystem::path(disc_root) / dir.code).string(), placed.contents);
      master.add(placed);
    }
    write_files(installed_dir, {{name, master.bytes()}});
  }
}

}  // namespace zk::writer
