// The file-handle table: one process-wide 32-bit word whose bit n is set
// while the runtime descriptor n is open through open2, so a caller can close
// everything still open with one call and a second close is harmless.
#pragma once

#include <cstdint>
#include <string>

namespace zk::startup {

inline constexpr int kTableBits = 32;

// The table word (handed out by handle_flag).
uint32_t* handle_table();

// Sets / clears bit n of a word; -1 when n is outside 0..31 (nothing changes).
int b_setl(uint32_t* word, int32_t n);
int b_resetl(uint32_t* word, int32_t n);

// Opens through the platform with the runtime's flag numbers; the descriptor
// or -1 with the errno in `error`. A descriptor below 32 gets its bit in the
// table word; one of 32 or above, which has no bit, is kept in a registry of
// the library's own beside the word.
int open2(const std::string& path, int flags, int perm, int& error);
int open2(const std::string& path, int flags, int perm);

// Closes a descriptor open2 registered: 0, or the close result when it fails
// (it then stays registered). Any other descriptor, whatever its number, is
// left alone (0): it may be a caller's own file.
int close2(int fd, int& error);
int close2(int fd);

// close2 for a descriptor whose owner forgets it afterwards (a copy's file,
// a released file set): it leaves the table even when the close fails, since
// the system releases a descriptor whose close failed all the same and a
// later closeall2 must not close whatever file is given its number next.
int release2(int fd, int& error);

// The serial number of the open that gave `fd`, while it is open through
// open2: every open gets a new one, so a number that names the same open
// file names the same file (the block cache keys on it). 0 for a descriptor
// not open through open2.
uint64_t open_serial(int fd);

// Closes every registered descriptor: 0, or -1 when at least one failed.
int closeall2();

}  // namespace zk::startup
