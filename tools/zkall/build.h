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
#pragma once

#include <filesystem>
#include <ostream>

#include "tools/zkall/description.h"

namespace zk::tool {

// Writes the installation into `dir` (created; existing contents of the
// parts it writes are replaced). std::runtime_error (or DescriptionError)
// when the description cannot be laid out.
void build_installation(const Description& d, const std::filesystem::path& dir, std::ostream& log);

// Points the library at an installation laid out by build_installation:
// its dosdevices directory and its front end's current directory.
void use_installation(const std::filesystem::path& dir);

// Puts disc `id` into drive `letter` (empty id: takes the disc out).
void change_disc(const std::filesystem::path& dir, char letter, const std::string& id);

}  // namespace zk::tool
