// File services shared by the library and the front end: opening through the
// file-handle table in the three ways the library needs, fixed-length record
// reads and writes by record number, copying a file, and deleting the files
// of a directory that match a DOS pattern.
#pragma once

#include <cstdint>
#include <string>

namespace zk::workfiles {

// Open flags given to open2 (the Windows runtime's numbers).
inline constexpr int kReadFlags = 0x8000;      // binary, read only
inline constexpr int kWriteFlags = 0x8302;     // binary, read-write, create, truncate
inline constexpr int kWritePerm = 0x0180;      // readable and writable
inline constexpr int kReadWriteFlags = 0x8002; // binary, read-write, existing file

inline constexpr int kCopyBufferSize = 2048;
inline constexpr int kMaxRemovedFiles = 10000;
inline constexpr size_t kRemovePathLimit = 80;  // directory + pattern must stay below

// 0, or 11 with the errno in `error` (the descriptor is stored either way,
// negative on failure).
int open_read(const std::string& path, int32_t& fd, int32_t& error);
int open_write(const std::string& path, int32_t& fd, int32_t& error);
int open_rdwr(const std::string& path, int32_t& fd, int32_t& error);

// Record n of `length` bytes: 0, 15 when the seek fails, 14 (read) or 13
// (write) when another count of bytes moved.
int direct_read(int32_t fd, int32_t record, void* buf, int32_t length, int32_t& error);
int direct_write(int32_t fd, int32_t record, const void* buf, int32_t length, int32_t& error);

// Copies source to destination (created or emptied first): 0, 20, 11, 14,
// 13, or 12 when the destination cannot be closed. Both descriptors leave the
// handle table on every path. Source and destination naming the same file
// (by identity: another spelling, another case, a link) is a copy already
// made: 0 and nothing touched.
int file_copy(const std::string& destination, const std::string& source, int32_t& error);

// Deletes the files of `directory` matching `pattern` ("*.*" when null or
// blank): 0; 401 without a directory; 402 when directory and pattern
// together have 80 characters or more. Failed deletions are ignored; at most
// 10000 files are deleted in one call.
int file_remove(const char* directory, const char* pattern);

}  // namespace zk::workfiles
