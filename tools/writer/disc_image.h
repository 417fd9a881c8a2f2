// Disc images of laid-out discs: a directory holding a disc's files made
// into an ISO 9660 image with xorriso (Debian package xorriso), a producer
// other than the library's own image reader, so that what the reader
// accepts is what a standard tool writes.
#pragma once

#include <string>

namespace zk::writer {

// The most characters a volume identifier holds.
inline constexpr size_t kVolumeIdMax = 32;

// Writes `image` from the files below `dir` (names as they stand, ISO level
// 1: 8.3 upper-case names; a ".windows-label" file is left out), with the
// volume identifier `volume_id` (cut to 32 characters). std::runtime_error
// with xorriso's messages when it cannot be run or fails.
void write_disc_image(const std::string& dir, const std::string& volume_id, const std::string& image);

}  // namespace zk::writer
