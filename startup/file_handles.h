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
// (registered when below 32) or -1 with the errno in `error`.
int open2(const std::string& path, int flags, int perm, int& error);
int open2(const std::string& path, int flags, int perm);

// Closes a registered descriptor: 0, or the close result when it fails (the
// bit then stays set). A descriptor whose bit is clear is left alone (0).
// Descriptors of 32 and above can never be registered; they are closed
// directly, so a file opened there is not leaked.
int close2(int fd, int& error);
int close2(int fd);

// Closes every registered descriptor: 0, or -1 when at least one failed.
int closeall2();

}  // namespace zk::startup
