// The POSIX implementation of the platform layer (Wine's conventions for
// drives, labels and paths). Declared here so tests can derive from it to
// replace the clock or the sleep.
//
// A drive's link may also point at an ISO 9660 image file: the drive then
// holds that disc, read by the image reader of platform/posix/iso_volume.h.
// Its label is the image's volume identifier (no .windows-label), names are
// matched without regard to case and without the ";1" version, listings
// give directories the directory attribute and files the read-only one, a
// file's reads are reads of its extent in the image, and every write,
// create or delete is refused (EACCES, or access denied) as on a CD-ROM. An
// image the reader refuses is a disc that cannot be read: the drive
// answers "not ready" (21) to the label and listings and EACCES to opens,
// as a drive with an unreadable disc does. The drive type is CD-ROM, its
// free space 0; it cannot be made the current directory.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dos_names.h"
#include "platform/platform.h"
#include "platform/posix/iso_volume.h"

namespace zk::platform {

// The outcome of turning one of the library's Windows paths into a host path.
struct HostPath {
  std::string path;        // the host path (valid when error is 0)
  uint32_t error = 0;      // Windows error: 3 no such drive, 21 drive not ready
  bool drive_root = false; // the path names a drive's root directory
  // The path lies on a drive holding a disc image: `path` is the image
  // file, `image_parts` the path's components below the image's root.
  bool on_image = false;
  std::vector<std::string> image_parts;
};

class PosixPlatform : public Platform {
 public:
  // `dosdevices`: the directory of drive links; empty means the environment's
  // choice ($ZKALL_DOSDEVICES, $WINEPREFIX/dosdevices, ~/.wine/dosdevices),
  // looked up afresh on every call.
  explicit PosixPlatform(std::string dosdevices = {});

  // Resolves a Windows path (drive letter, relative, or POSIX absolute with
  // either separator), matching each existing component without regard to
  // case (an exact match first) and keeping missing components as written.
  HostPath resolve(const std::string& path) const;
  std::string dosdevices_dir() const;

  LocalTime local_time() override;
  int64_t time_seconds() override;
  void sleep_ms(uint32_t ms) override;
  bool get_env(const char* name, std::string& value) override;
  WindowHandle active_window() override { return nullptr; }
  intptr_t send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
  // The windows and memory device contexts are the platform's rasters
  // (platform/raster.h); a handle that names none is refused.
  DeviceContext get_dc(WindowHandle window) override;
  int release_dc(WindowHandle window, DeviceContext dc) override;
  bool bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int source_x,
               int source_y, uint32_t rop) override;

 protected:
  StreamPtr do_fopen(const std::string& path, const char* mode, int& error) override;
  int do_open(const std::string& path, int flags, int perm, int& error) override;
  int64_t do_read(int fd, void* buf, size_t n, int& error) override;
  int64_t do_write(int fd, const void* buf, size_t n, int& error) override;
  int64_t do_lseek(int fd, int64_t offset, int origin, int& error) override;
  int do_close(int fd, int& error) override;
  int64_t do_filelength(int fd, int& error) override;
  int do_remove(const std::string& path, int& error) override;
  int do_replace_file(const std::string& from, const std::string& to, int& error) override;
  bool do_delete_file(const std::string& path, uint32_t& error) override;
  bool do_exists(const std::string& path) override;
  bool do_file_id(const std::string& path, FileId& id) override;
  std::unique_ptr<Finder> do_find_first(const std::string& pattern, FindEntry& first, uint32_t& error) override;
  uint32_t do_drive_type(const std::string& root) override;
  bool do_volume_label(const std::string& root, std::string& label, uint32_t& error) override;
  bool do_disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) override;
  ProgramRun do_run_program(const std::string& program, const std::string& command_line) override;
  std::string do_current_directory() override;
  bool do_set_current_directory(const std::string& path) override;
  // Asks on the terminal when standard input and standard error are both
  // terminals; answers Cancel otherwise, so a script never hangs.
  int do_message_box(WindowHandle owner, const std::string& text, const std::string& title,
                     uint32_t style) override;
  // Whether a user can answer on the terminal (standard input and standard
  // error both terminals).
  virtual bool interactive() const;

 private:
  // A disc image as last read, kept while its file is unchanged.
  struct ImageVolume {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t mtime_ns = 0;
    std::shared_ptr<const iso::Volume> volume;
  };
  // A file of a disc image open as a descriptor: the image's own descriptor
  // and the file's extent.
  struct ImageFile {
    uint64_t offset = 0;
    uint32_t size = 0;
    int64_t pos = 0;
  };
  // The volume of the image at `image` (a host path), read again when the
  // file changed; null when it cannot be read or is refused.
  std::shared_ptr<const ImageVolume> image_volume(const std::string& image) const;
  // The node a path on an image names (null: none), with its volume; false
  // when the image cannot be read.
  bool image_node(const HostPath& hp, std::shared_ptr<const ImageVolume>& volume, const iso::Node*& node) const;
  std::unique_ptr<Finder> image_find_first(const HostPath& dir, const std::string& pattern, FindEntry& first,
                                           uint32_t& error);

  std::string dosdevices_;
  mutable std::map<std::string, std::shared_ptr<const ImageVolume>> images_;
  std::map<int, ImageFile> image_fds_;
};

}  // namespace zk::platform
