// Laying an installation out from its description: the drive links in the
// Wine-style dosdevices directory, the hard disk, every disc's contents and
// label, ZKDROM.SYS and the language files, and for each disc its master
// files and hard-disk copies, written with the catalog writer.
//
//   <dir>/dosdevices/c:     -> <dir>/drives/c   (the hard disk)
//   <dir>/dosdevices/d: ... -> <dir>/discs/<id> (the disc in the drive), or
//                              a link to nowhere (a drive without a disc)
//   <dir>/discs/<id>/       the disc's files and its .windows-label
//   <dir>/front/            the front end's current directory (ZKDROM.SYS)
//   <dir>/illustrations.txt the illustrations laid out: one line each, disc
//                           id, identifier, location record, figure number
//                           and title
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/zkall/description.h"

namespace zk::tool {

// Writes the installation into `dir` (created; existing contents of the
// parts it writes are replaced). std::runtime_error (or DescriptionError)
// when the description cannot be laid out. With `iso`, each disc is also
// written as an ISO 9660 image <dir>/discs/<id>.iso (made by xorriso, its
// volume identifier the disc's label) and the drives hold the images.
void build_installation(const Description& d, const std::filesystem::path& dir, std::ostream& log,
                        bool iso = false);

// The price directory of a ZKDROM.SYS value (PRICE or LOCALP) as the
// library completes it at start-up: empty, the installed catalog directory
// (ECMST); otherwise its first character is a drive letter, followed by
// ":\" and ECMST's directory part.
std::string price_directory(const Description& d, const std::string& key);

// Writes the hard-disk sets (PRICE.MST / LOCALP.MST with their files) and
// the local price pairs of the description; `host_path` maps a Windows path
// of the installation to the host's.
void build_prices(const Description& d, const std::function<std::filesystem::path(const std::string&)>& host_path,
                  std::ostream& log);

// One line of <dir>/illustrations.txt.
struct IllustrationEntry {
  std::string disc;
  std::string ident;
  std::string location;  // the 9-character location record
  std::string figure;
  std::string title;
};
std::vector<IllustrationEntry> read_illustrations(const std::filesystem::path& dir);

// Points the library at an installation laid out by build_installation:
// its dosdevices directory and its front end's current directory.
void use_installation(const std::filesystem::path& dir);

// Puts a disc into drive `letter`: `disc` is a disc id of the installation
// (its image <dir>/discs/<id>.iso when there is one, else its directory) or
// the path of an ISO 9660 image file; empty: takes the disc out.
void change_disc(const std::filesystem::path& dir, char letter, const std::string& disc);

}  // namespace zk::tool
