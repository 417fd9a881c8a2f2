// Building an installation from its description.
#include "tools/zkall/build.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>

#include "catalog/format.h"
#include "platform/posix/posix_platform.h"
#include "tools/imaging/catalog_image.h"
#include "tools/writer/disc_layout.h"
#include "tools/writer/image_file.h"
#include "tools/writer/file_set.h"
#include "tools/writer/master_writer.h"

namespace zk::tool {

namespace fs = std::filesystem;

namespace {

std::string lower_letter(char c) { return std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(c)))); }

void write_text(const fs::path& p, const std::vector<std::string>& lines) {
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  for (const auto& l : lines) out << l << "\r\n";
  if (!out) throw std::runtime_error("cannot write " + p.string());
}

void link(const fs::path& target, const fs::path& at) {
  std::error_code ec;
  fs::remove(at, ec);
  fs::create_directory_symlink(target, at);
}

bool frame_disc(const std::string& id) { return std::isalpha(static_cast<unsigned char>(id[1])) != 0; }

writer::SetSpec spec_of(const SetDescription& s) {
  writer::SetSpec spec;
  spec.name = s.name;
  spec.level_suffix = s.suffix;
  spec.kind = static_cast<uint8_t>(s.kind);
  spec.record_length = static_cast<uint32_t>(s.record_length);
  spec.key_offset = static_cast<uint32_t>(s.key_offset);
  spec.key_length = static_cast<uint32_t>(s.key_length);
  if (s.index_key_length) spec.index_key_length = static_cast<uint32_t>(*s.index_key_length);
  spec.levels = s.levels;
  for (size_t i = 0; i < 3; ++i) spec.level_masks[i] = static_cast<uint8_t>(s.level_masks[i]);
  spec.data_mask = static_cast<uint8_t>(s.data_mask);
  spec.index_key_case = s.index_case == KeyCase::Lower    ? writer::IndexKeyCase::Lower
                        : s.index_case == KeyCase::Record ? writer::IndexKeyCase::Record
                                                          : writer::IndexKeyCase::Upper;
  spec.records = s.records;
  return spec;
}

// The set and, behind it, its alternate index sets over its data file
// (searched with masks 3, 3, 2 as the built-in file table's are).
std::vector<writer::FileSet> build(const SetDescription& s) {
  try {
    std::vector<writer::FileSet> sets{writer::build_set(spec_of(s))};
    for (const AlternateIndex& a : s.alternates) {
      writer::SetSpec alt = spec_of(s);
      alt.level_suffix = a.suffix;
      alt.kind = static_cast<uint8_t>(a.kind);
      alt.key_offset = static_cast<uint32_t>(a.key_offset);
      alt.key_length = static_cast<uint32_t>(a.key_length);
      alt.index_key_length.reset();
      alt.level_masks = {3, 3, 2};
      sets.push_back(writer::build_alternate_set(alt, sets.front()));
    }
    return sets;
  } catch (const std::invalid_argument& e) {
    throw DescriptionError(s.line, "set " + s.name + ": " + e.what());
  }
}

}  // namespace

void build_installation(const Description& d, const fs::path& dir_in, std::ostream& log) {
  const fs::path dir = fs::absolute(dir_in);
  const fs::path dosdevices = dir / "dosdevices";
  fs::create_directories(dosdevices);
  fs::create_directories(dir / "drives" / "c");
  fs::create_directories(dir / "front");
  link(dir / "drives" / "c", dosdevices / "c:");
  for (const auto& disc : d.discs) {
    const fs::path root = dir / "discs" / disc.id;
    fs::create_directories(root);
    std::ofstream(root / ".windows-label", std::ios::trunc)
        << disc.date << disc.id << (disc.label_text.empty() ? "" : " " + disc.label_text) << "\n";
  }
  for (const auto& [letter, id] : d.drives) change_disc(dir, letter, id);

  platform::PosixPlatform host(dosdevices.string());
  auto host_path = [&](const std::string& windows) { return fs::path(host.resolve(windows).path); };

  write_text(dir / "front" / "ZKDROM.SYS", d.config);
  for (const auto& [lang, lines] : d.screens) write_text(dir / "front" / ("ZKDROM" + lang + ".SCR"), lines);
  const std::string ecfil = d.config_value("ECFIL");
  for (const auto& [lang, lines] : d.messages)
    write_text(host_path(ecfil.empty() ? "ZKDROM" + lang + ".MSG" : ecfil + "\\ZKDROM" + lang + ".MSG"), lines);
  for (const char* key : {"ECRAM", "ECMST", "ECFIL", "FRAMEWLD", "FRAMEJPN"}) {
    const std::string v = d.config_value(key);
    if (!v.empty()) fs::create_directories(host_path(v));
  }

  build_prices(d, host_path, log);

  std::ofstream listing(dir / "illustrations.txt", std::ios::trunc);
  for (const auto& disc : d.discs) {
    writer::Disc w;
    w.header = writer::master_header(disc.date, disc.id, disc.number, '1', disc.second_id);
    std::map<std::string, writer::CatalogDir> catalogs;
    for (const auto& s : d.sets) {
      if (s.disc != disc.id) continue;
      if (!s.catalog.empty()) {
        if (s.where == Where::HardDisk || s.where == Where::OtherDisc)
          throw DescriptionError(s.line, "a catalog's sets lie on its disc or inside its master file");
        auto& cat = catalogs[s.catalog];
        cat.code = s.catalog;
        for (auto& set : build(s))
          cat.sets.push_back({std::move(set), s.where == Where::Master ? catalog::kLocationInMaster
                                                                       : catalog::kLocationOwnFile});
        continue;
      }
      if (s.where == Where::Master) throw DescriptionError(s.line, "a root set cannot lie inside a master file");
      for (auto& set : build(s))
        w.root_sets.push_back({std::move(set),
                               s.where == Where::HardDisk ? catalog::kLocationHardDisk : catalog::kLocationOwnFile,
                               s.where == Where::OtherDisc ? s.other_disc : std::string()});
    }
    for (auto& [code, cat] : catalogs) w.catalogs.push_back(cat);

    // The disc's illustrations, in its image file IMAGEF.DAT.
    const ImageSetDescription* images = nullptr;
    for (const auto& im : d.images) {
      if (im.disc != disc.id) continue;
      if (images) throw DescriptionError(im.line, "disc " + disc.id + " has one image file: one [images] section");
      images = &im;
    }
    if (images) {
      std::vector<std::string> packed;
      std::vector<imaging::Illustration> drawn;
      for (const auto& [ident, number] : images->images) {
        drawn.push_back(imaging::catalog_illustration(images->width, images->height, number));
        packed.push_back(writer::pack_image(imaging::packed_illustration(drawn.back(), ident)));
      }
      const writer::ImageFile file = writer::build_image_file(packed);
      w.root_sets.push_back({file.set,
                             images->where == Where::HardDisk ? catalog::kLocationHardDisk : catalog::kLocationOwnFile,
                             ""});
      for (size_t i = 0; i < drawn.size(); ++i)
        listing << disc.id << " " << images->images[i].first << " " << file.locations[i].record() << " "
                << drawn[i].figure << " " << drawn[i].title << "\n";
    }

    std::string installed;
    if (frame_disc(disc.id)) {
      installed = d.config_value(disc.id[0] == 'J' ? "FRAMEJPN" : "FRAMEWLD");
    } else {
      installed = d.config_value("ECMST");
    }
    fs::path installed_dir = dir / "not-installed" / disc.id;
    if (disc.installed) {
      if (installed.empty()) throw DescriptionError(disc.line, "disc " + disc.id + " is installed, but its directory is not configured");
      installed_dir = host_path(installed + "\\" + disc.id);
    }
    writer::lay_out_disc(w, installed_dir.string(), (dir / "discs" / disc.id).string(),
                         frame_disc(disc.id) ? catalog::kFrameMasterName : catalog::kRootMasterName);
    log << "disc " << disc.id << ": " << w.root_sets.size() << " root sets, " << w.catalogs.size()
        << " catalogs" << (disc.installed ? ", installed in " + installed + "\\" + disc.id : ", not installed") << "\n";
  }
}

std::vector<IllustrationEntry> read_illustrations(const fs::path& dir) {
  std::vector<IllustrationEntry> out;
  std::ifstream in(fs::absolute(dir) / "illustrations.txt");
  IllustrationEntry e;
  while (in >> e.disc >> e.ident >> e.location >> e.figure && std::getline(in, e.title)) {
    e.title.erase(0, e.title.find_first_not_of(' '));
    out.push_back(e);
  }
  return out;
}

void use_installation(const fs::path& dir) {
  const fs::path abs = fs::absolute(dir);
  if (!fs::is_directory(abs / "dosdevices") || !fs::is_directory(abs / "front"))
    throw std::runtime_error(abs.string() + " holds no installation (run 'zkall build' first)");
  ::setenv("ZKALL_DOSDEVICES", (abs / "dosdevices").c_str(), 1);
  fs::current_path(abs / "front");
}

void change_disc(const fs::path& dir, char letter, const std::string& id) {
  const fs::path at = fs::absolute(dir) / "dosdevices" / (lower_letter(letter) + ":");
  if (id.empty())
    link(fs::absolute(dir) / "no-disc" / lower_letter(letter), at);
  else
    link(fs::absolute(dir) / "discs" / id, at);
}

}  // namespace zk::tool
