// Drive letters of a Windows test run under Wine, defined the way Wine's own
// configuration program defines them: through the mount manager, which
// links the letter in the prefix's dosdevices directory to a host directory.
// Wine then reads a drive's volume label from ".windows-label" in its root,
// so one fixture serves both builds.
#pragma once

#include <filesystem>

namespace zk::test::wine {

// Links drive `letter` to `root`, a directory of this process (Windows
// path), as a fixed disk. Fails the running test when Wine's mount manager
// is not there (not running under Wine) or refuses.
void define_drive(char letter, const std::filesystem::path& root);
// Removes drive `letter`: afterwards it is no drive at all.
void remove_drive(char letter);

}  // namespace zk::test::wine
