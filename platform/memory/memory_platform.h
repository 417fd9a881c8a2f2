// The in-memory platform: a `Platform` with no file system behind it, for
// the tests and the fuzz targets (it is not part of the shipped library).
//
// Files are byte buffers in one map keyed by the library's Windows paths,
// matched without regard to case as on the POSIX platform; directories are
// entries of the same map, made on demand for every file's parents. Drives
// are letters with a type, a disc (ready or not) and a volume label; C: is a
// hard disk. Streams, descriptors, DOS-pattern listings with attributes, the
// runtime's text mode and the fault plan behave as on the other platforms,
// with the Windows runtime's and kernel's error numbers. Nothing sleeps and
// nothing touches the host: `reset` brings it back to its first state in
// microseconds, so a fuzz target can run tens of thousands of inputs a
// second.
//
// Two limits keep the work of one input bounded: a file never grows beyond
// `max_file_size` (a write past it fails with ENOSPC), and an optional read
// budget makes every read past it fail with EIO (so a caller that reads
// without end is stopped and can be told apart).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace zk::platform {

class MemoryPlatform : public Platform {
 public:
  MemoryPlatform();
  ~MemoryPlatform() override;

  // Back to the first state: only drive C: (a hard disk, empty), current
  // directory C:\, no environment, no open files, no faults, no read budget,
  // the clock at its start.
  void reset();

  // ---- files and directories (paths as the library writes them) ----------
  // These reach the files of a drive whether a disc is in it or not.
  // Writes a file, replacing one of that name; the missing parent
  // directories are made. False when the path names no file on a known
  // drive (no drive, a directory of that name, a file standing where a
  // parent directory should be).
  bool add_file(const std::string& path, std::string bytes, uint32_t attributes = kAttrArchive);
  // Makes a directory and its missing parents.
  bool add_directory(const std::string& path, uint32_t attributes = kAttrDirectory);
  // The bytes of a file, or null (also for a directory).
  const std::string* file(const std::string& path) const;
  bool is_directory(const std::string& path) const;
  // Removes a file or a directory with everything below it.
  void erase(const std::string& path);
  // The paths of the files held (as the map keys them).
  std::vector<std::string> file_paths() const;
  // The files held and their bytes in all.
  size_t file_count() const;
  uint64_t stored_bytes() const;

  // ---- drives ----------------------------------------------------------------
  // A drive without a disc (not ready): `type` kDriveCdrom or kDriveFixed.
  void add_drive(char letter, uint32_t type = kDriveCdrom);
  // Puts a disc with this volume label into the drive (added when missing);
  // the files below the drive stand for the disc's contents.
  void insert_disc(char letter, const std::string& label);
  void eject(char letter);

  // ---- the rest of the machine -------------------------------------------------
  std::map<std::string, std::string> env;  // a variable not listed is unset
  LocalTime now{2024, 3, 9, 14, 5, 7};
  int64_t seconds = 1000000;  // calendar time; time_seconds adds one each call
  int sleeps = 0;             // sleep_ms calls (none of them waits)
  int message_boxes = 0;      // message boxes shown without an answerer
  // The button a message box without an answerer returns for Retry/Cancel.
  int default_answer = kIdCancel;
  // What every ready drive reports as its free space.
  DiskSpace free_space{8, 512, 100000, 200000};
  // Starts "programs": without a hook none can be started (error 2).
  std::function<ProgramRun(const std::string& program, const std::string& command_line)> run_program_hook;
  // The size no file grows beyond.
  static constexpr size_t kDefaultMaxFileSize = size_t{64} << 20;
  size_t max_file_size = kDefaultMaxFileSize;

  // Reads (descriptor reads, stream reads and lines) since the last reset.
  uint64_t reads() const { return reads_; }
  // From now on at most `reads` further reads succeed; negative: no limit.
  // Clears budget_exhausted().
  void set_read_budget(int64_t reads);
  // Whether a read failed because the budget was used up.
  bool budget_exhausted() const { return budget_exhausted_; }

  // Descriptors and streams open now.
  size_t open_descriptors() const;
  size_t open_streams() const { return streams_open_; }

  LocalTime local_time() override { return now; }
  int64_t time_seconds() override { return seconds++; }
  void sleep_ms(uint32_t) override { ++sleeps; }
  bool get_env(const char* name, std::string& value) override;
  WindowHandle active_window() override { return nullptr; }
  // List boxes, windows and device contexts are the platform's own
  // (platform/list_box.h, platform/raster.h), as on POSIX.
  intptr_t send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
  DeviceContext get_dc(WindowHandle window) override;
  int release_dc(WindowHandle window, DeviceContext dc) override;
  bool bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int source_x,
               int source_y, uint32_t rop) override;

  struct Node;
  struct Location;

 protected:
  StreamPtr do_fopen(const std::string& path, const char* mode, int& error) override;
  int do_open(const std::string& path, int flags, int perm, int& error) override;
  int64_t do_read(int fd, void* buf, size_t n, int& error) override;
  int64_t do_write(int fd, const void* buf, size_t n, int& error) override;
  int64_t do_lseek(int fd, int64_t offset, int origin, int& error) override;
  int do_close(int fd, int& error) override;
  int64_t do_filelength(int fd, int& error) override;
  int do_remove(const std::string& path, int& error) override;
  bool do_delete_file(const std::string& path, uint32_t& error) override;
  int do_replace_file(const std::string& from, const std::string& to, int& error) override;
  bool do_exists(const std::string& path) override;
  bool do_file_id(const std::string& path, FileId& id) override;
  bool do_disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) override;
  ProgramRun do_run_program(const std::string& program, const std::string& command_line) override;
  std::unique_ptr<Finder> do_find_first(const std::string& pattern, FindEntry& first, uint32_t& error) override;
  uint32_t do_drive_type(const std::string& root) override;
  bool do_volume_label(const std::string& root, std::string& label, uint32_t& error) override;
  std::string do_current_directory() override { return cwd_; }
  bool do_set_current_directory(const std::string& path) override;
  int do_message_box(WindowHandle owner, const std::string& text, const std::string& title,
                     uint32_t style) override;

 private:
  friend class MemoryStream;
  struct Drive {
    uint32_t type = kDriveCdrom;
    bool ready = false;
    std::string label;
  };
  struct Descriptor {
    std::shared_ptr<std::string> bytes;
    int64_t position = 0;
    bool can_read = false;
    bool can_write = false;
    bool append = false;
  };

  // Where a path leads: its key in the map, or a Windows error (a drive not
  // ready is one unless `any_drive_state`).
  Location locate(const std::string& path, bool any_drive_state = false) const;
  Node* node(const std::string& key);
  const Node* node(const std::string& key) const;
  bool make_parents(const std::string& key);
  // A read counted against the budget: false when it must fail.
  bool take_read();
  // Opens the file at `path` for a stream or a descriptor: the bytes, or
  // null with the errno (a read-only file is not opened for writing).
  std::shared_ptr<std::string> open_bytes(const std::string& path, bool writing, bool create, bool truncate,
                                          bool exclusive, int& error);
  bool write_at(std::string& bytes, int64_t position, const void* buf, size_t n);
  // Files that are removed, replaced or reset give their storage back to a
  // small pool that new files are made from. A fuzz target resets the
  // machine for every input and the library rewrites whole files of up to
  // 600 KB through temporary files: without the pool each of them is a fresh
  // mapping under AddressSanitizer, and page faults took most of the time.
  std::shared_ptr<std::string> new_bytes();
  void retire(std::shared_ptr<std::string>& bytes);
  void erase_node(const std::string& key);

  std::map<std::string, Node> nodes_;
  std::vector<std::shared_ptr<std::string>> spare_bytes_;
  std::map<char, Drive> drives_;
  std::vector<Descriptor> descriptors_;  // index: descriptor number
  std::string cwd_;
  size_t streams_open_ = 0;
  uint64_t reads_ = 0;
  int64_t budget_ = -1;
  bool budget_exhausted_ = false;
};

}  // namespace zk::platform
