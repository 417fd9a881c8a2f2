// The one interface between the library and the operating system.
//
// Every file, directory listing, drive, clock, environment variable, window
// and message box the library touches is reached through `Platform`. Two
// implementations exist: Win32 (the real API calls) and POSIX, which follows
// Wine's conventions so one test installation serves both builds:
//
//  * drive letters are the entries "c:", "d:" ... of a dosdevices directory
//    ($ZKALL_DOSDEVICES, else $WINEPREFIX/dosdevices, else ~/.wine/dosdevices),
//    each a symbolic link to the directory standing for the drive's root; a
//    letter without an entry is no drive, a link that points nowhere is a
//    drive without a disc (not ready, error 21);
//  * a volume label is the first line of ".windows-label" in the drive root;
//  * paths are the library's Windows paths, matched without regard to case;
//  * otherwise it answers as Windows does, with Wine as the reference (the
//    platform tests run on both builds): a read-only file is not deleted, a
//    text-mode stream ends at Ctrl-Z and writes CR LF, listing patterns
//    follow the DOS rules (`?` also matches nothing before a '.' or at the
//    end, "*." asks for names without an extension), and a program is
//    started from the current directory with its arguments split at the
//    command line's spaces.
//
// The public methods are not virtual: they consult the fault plan first (the
// test seam that makes any file operation fail on demand) and then call the
// protected `do_*` implementation. Errors come back as the numbers the
// catalog code tests: Windows error numbers for the kernel-style calls
// (2 file not found, 3 path not found, 18 no more files, 21 not ready) and
// the runtime's errno values for the runtime-style calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zk::platform {

// ---- numbers shared with the Windows runtime and kernel -------------------

// Flags of the runtime's unbuffered open, as the Windows runtime numbers them;
// separately built callers pass these values on every platform.
inline constexpr int kOpenReadOnly = 0x0000;
inline constexpr int kOpenWriteOnly = 0x0001;
inline constexpr int kOpenReadWrite = 0x0002;
inline constexpr int kOpenAppend = 0x0008;
inline constexpr int kOpenCreate = 0x0100;
inline constexpr int kOpenTruncate = 0x0200;
inline constexpr int kOpenExclusive = 0x0400;
inline constexpr int kOpenText = 0x4000;
inline constexpr int kOpenBinary = 0x8000;
inline constexpr int kPermRead = 0x0100;
inline constexpr int kPermWrite = 0x0080;

// Seek origins of the runtime.
inline constexpr int kSeekSet = 0;
inline constexpr int kSeekCur = 1;
inline constexpr int kSeekEnd = 2;

// Windows error numbers the library tests.
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorNoMoreFiles = 18;
inline constexpr uint32_t kErrorNotReady = 21;
inline constexpr uint32_t kErrorBadPathName = 161;
inline constexpr uint32_t kErrorBadExeFormat = 193;

// Runtime errno values (the same numbers on the Windows runtime and Linux for
// the ones the library reports).
inline constexpr int kErrnoNoEntry = 2;   // ENOENT
inline constexpr int kErrnoIo = 5;        // EIO
inline constexpr int kErrnoBadFile = 9;   // EBADF
inline constexpr int kErrnoNoMemory = 12; // ENOMEM
inline constexpr int kErrnoAccess = 13;   // EACCES
inline constexpr int kErrnoInvalid = 22;  // EINVAL
inline constexpr int kErrnoNoSpace = 28;  // ENOSPC

// File attributes of a directory listing.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;

// Drive types of GetDriveTypeA.
inline constexpr uint32_t kDriveUnknown = 0;
inline constexpr uint32_t kDriveNoRootDir = 1;
inline constexpr uint32_t kDriveFixed = 3;
inline constexpr uint32_t kDriveCdrom = 5;

// Message box styles and answers used by the insert-disc prompt.
inline constexpr uint32_t kMbRetryCancel = 0x05;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;

// ---- value types ------------------------------------------------------------

struct LocalTime {
  int year = 1970;  // four digits
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// One entry of a directory listing (FindFirstFileA / FindNextFileA).
struct FindEntry {
  std::string name;
  uint32_t attributes = 0;
  uint64_t size = 0;
};

// The identity of a file, whatever path names it (another spelling, another
// case, a link): the device and file number (on Windows the volume serial
// number and the file index).
struct FileId {
  uint64_t device = 0;
  uint64_t file = 0;
  bool operator==(const FileId&) const = default;
};

// The free space of a drive as GetDiskFreeSpaceA reports it: the cluster
// size in sectors and bytes per sector, and the clusters free to the caller
// and in all (each held to 32 bits, as that call holds them).
struct DiskSpace {
  uint32_t sectors_per_cluster = 0;
  uint32_t bytes_per_sector = 0;
  uint32_t free_clusters = 0;
  uint32_t total_clusters = 0;
};

// The outcome of starting a program and waiting for it: either it could not
// be started (with the Windows error: 2 no such program, 5 not allowed, 193
// not a program), or it ran and ended with an exit code.
struct ProgramRun {
  bool started = false;
  uint32_t exit_code = 0;  // when started
  uint32_t error = 0;      // when not started
};

// Window handles are opaque values; on Win32 they are HWND and HDC.
using WindowHandle = void*;
using DeviceContext = void*;

// ---- fault injection: the test seam -----------------------------------------

enum class Op {
  Open,       // fopen, open, FindFirstFileA
  Read,       // a read fails outright
  ShortRead,  // a read delivers less than asked (half, rounded down)
  Write,      // a write fails (nothing written)
  Seek,       // fseek / lseek fails
  Close,      // fclose / close fails (the file is closed all the same)
  Delete,     // remove / DeleteFileA fails
  List,       // FindNextFileA ends with an error other than "no more files"
  Alloc,      // a heap allocation through the platform fails
  Volume,     // GetVolumeInformationA fails
  DiskSpace,  // GetDiskFreeSpaceA fails (Windows error; path: the root)
  Start,      // a program cannot be started (Windows error; path: its name)
  Rename,     // a file cannot replace another (path: the name replaced)
  Length,     // filelength fails
};

// Fails the `nth` (1-based) call of `op` whose path contains `path_part`
// (empty: any path), then every following matching call while `sticky`.
struct FaultRule {
  Op op = Op::Open;
  int nth = 1;
  int error = kErrnoIo;  // errno, or Windows error for List/Volume/Delete-by-API
  std::string path_part;
  bool sticky = false;
  int seen = 0;  // matching calls so far
};

class FaultPlan {
 public:
  void add(FaultRule rule) { rules_.push_back(std::move(rule)); }
  // Fails the nth call of `op` on a path containing `path_part` with `error`.
  void add(Op op, int error, std::string path_part = {}, int nth = 1, bool sticky = false) {
    FaultRule r;
    r.op = op;
    r.error = error;
    r.path_part = std::move(path_part);
    r.nth = nth;
    r.sticky = sticky;
    rules_.push_back(std::move(r));
  }
  void clear() { rules_.clear(); }
  bool empty() const { return rules_.empty(); }
  // The rules with the matching calls each has seen so far.
  const std::vector<FaultRule>& rules() const { return rules_; }
  // The error to fail this call with, or 0 to let it through.
  int check(Op op, const std::string& path);

 private:
  std::vector<FaultRule> rules_;
};

// ---- files --------------------------------------------------------------------

class Platform;

// A buffered stream of the runtime (FILE*). Text mode ("rt", "a+t") works as
// the Windows runtime's: a carriage return before a line feed reads as
// nothing, a Ctrl-Z (0x1A) ends the input, and a line feed is written as a
// carriage return and a line feed.
class Stream {
 public:
  Stream(Platform& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
  virtual ~Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // fgets: at most size-1 bytes, up to and including a line feed, then NUL.
  // False at end of input with nothing read, or on a read error (see error()).
  bool gets(char* buf, int size);
  // fread of bytes; returns the count delivered (short at end or on error).
  size_t read(void* buf, size_t n);
  // fwrite; returns the count written.
  size_t write(const void* buf, size_t n);
  // fseek; 0 or the errno.
  int seek(int64_t offset, int origin);
  int64_t tell();
  bool error() const { return error_ != 0; }
  int error_number() const { return error_; }
  // fclose; 0 or the errno. The stream is closed either way.
  int close();
  const std::string& path() const { return path_; }

 protected:
  virtual bool do_gets(char* buf, int size) = 0;
  virtual size_t do_read(void* buf, size_t n) = 0;
  virtual size_t do_write(const void* buf, size_t n) = 0;
  virtual int do_seek(int64_t offset, int origin) = 0;
  virtual int64_t do_tell() = 0;
  virtual int do_close() = 0;
  void set_error(int e) { error_ = e; }

 private:
  Platform& owner_;
  std::string path_;
  int error_ = 0;
  bool closed_ = false;
};

using StreamPtr = std::unique_ptr<Stream>;

// An open directory listing; ends with FindClose when destroyed.
class Finder {
 public:
  virtual ~Finder() = default;
  // Next entry; false with the Windows error (18 at the end of the listing).
  virtual bool next(FindEntry& out, uint32_t& error) = 0;
};

// A block of memory from the platform's heap (the allocations whose failure
// the library reports as "out of memory"). Zero-filled.
class HeapBlock {
 public:
  HeapBlock() = default;
  explicit HeapBlock(size_t n) : bytes_(n) {}
  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }
  size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  uint8_t& operator[](size_t i) { return bytes_[i]; }

 private:
  std::vector<uint8_t> bytes_;
};

// ---- list boxes and message boxes (the front end's windows) -----------------

// List-box messages the library sends (the Windows numbers).
inline constexpr uint32_t kLbAddString = 0x0180;
inline constexpr uint32_t kLbInsertString = 0x0181;
inline constexpr uint32_t kLbDeleteString = 0x0182;
inline constexpr uint32_t kLbResetContent = 0x0184;
inline constexpr uint32_t kLbSetSel = 0x0185;
inline constexpr uint32_t kLbGetSel = 0x0187;
inline constexpr uint32_t kLbGetText = 0x0189;
inline constexpr uint32_t kLbGetTextLen = 0x018A;
inline constexpr uint32_t kLbGetCount = 0x018B;
inline constexpr uint32_t kLbGetHorizontalExtent = 0x0193;
inline constexpr uint32_t kLbSetHorizontalExtent = 0x0194;
inline constexpr intptr_t kLbErr = -1;

// Answers the insert-disc message box in place of a user: given the text, the
// title and the style, returns the button pressed (kIdRetry, kIdCancel ...).
using MessageBoxAnswerer = std::function<int(const std::string& text, const std::string& title, uint32_t style)>;

// ---- device contexts (an illustration drawn on the screen) -------------------

// The BitBlt raster operations the library uses (the Windows numbers).
inline constexpr uint32_t kRopDstInvert = 0x00550009;  // DSTINVERT: the destination inverted
inline constexpr uint32_t kRopSrcCopy = 0x00CC0020;    // SRCCOPY: the source copied

// ---- the interface -------------------------------------------------------------

class Platform {
 public:
  virtual ~Platform() = default;

  FaultPlan& faults() { return faults_; }

  // Runtime streams. `mode` as fopen's ("rt", "rb", "a+t", "wb", "r+b" ...).
  // Null on failure with the errno in `error`.
  StreamPtr fopen(const std::string& path, const char* mode, int& error);

  // Runtime descriptors. `flags` and `perm` in the Windows runtime's numbers.
  // The platform follows where each binary, non-appending descriptor it
  // opened stands (its opens, reads, writes and seeks), and a seek from the
  // start to where the descriptor already stands returns at once, without
  // the system call, unless a fault plan is set (the test seam then sees
  // every seek). A descriptor moved behind the platform's back (the
  // runtime's own calls on a number the library opened) would be taken to
  // stand where the platform left it.
  int open(const std::string& path, int flags, int perm, int& error);
  // read/write return the count, or -1 with the errno.
  int64_t read(int fd, void* buf, size_t n, int& error);
  int64_t write(int fd, const void* buf, size_t n, int& error);
  int64_t lseek(int fd, int64_t offset, int origin, int& error);
  int close(int fd, int& error);
  int64_t filelength(int fd, int& error);

  // Runtime remove(); 0 or -1 with the errno.
  int remove(const std::string& path, int& error);
  // DeleteFileA; false with the Windows error.
  bool delete_file(const std::string& path, uint32_t& error);
  // Gives the file `from` the name `to`, replacing a file of that name (as
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING; both on one drive): 0, or
  // -1 with the errno. A whole file is rewritten this way, so that a write
  // that fails half-way leaves the old content in place.
  int replace_file(const std::string& from, const std::string& to, int& error);
  // Whether a file or directory exists at the path (the runtime's access()).
  bool exists(const std::string& path);
  // The identity of the file at the path; false when there is none.
  bool file_id(const std::string& path, FileId& id) { return do_file_id(path, id); }

  // FindFirstFileA with a DOS pattern ("C:\\CAT\\*.", "*.TMP"); null with the
  // Windows error when nothing matches or the directory is missing.
  std::unique_ptr<Finder> find_first(const std::string& pattern, FindEntry& first, uint32_t& error);

  // Drives (root given as "D:\\").
  uint32_t drive_type(const std::string& root) { return do_drive_type(root); }
  // GetVolumeInformationA: the label, or false with the Windows error.
  bool volume_label(const std::string& root, std::string& label, uint32_t& error);

  // GetDiskFreeSpaceA of a drive root ("D:\\"); false with the Windows error
  // (3 no such drive, 21 not ready).
  bool disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error);

  // Starts `program`, a file of the current directory ("ZKINTF.EXE"), with
  // `command_line` (its own name first, the arguments after it separated by
  // single spaces) and waits until it ends.
  ProgramRun run_program(const std::string& program, const std::string& command_line);

  // Current directory of the process.
  std::string current_directory() { return do_current_directory(); }
  bool set_current_directory(const std::string& path) { return do_set_current_directory(path); }

  // Clock, sleep, environment.
  virtual LocalTime local_time() = 0;
  virtual int64_t time_seconds() = 0;
  virtual void sleep_ms(uint32_t ms) = 0;
  virtual bool get_env(const char* name, std::string& value) = 0;

  // The heap allocations the library reports as out-of-memory when they fail.
  // False (and an empty block) when the allocation fails.
  bool allocate(size_t n, HeapBlock& block);

  // User interface.
  virtual WindowHandle active_window() = 0;
  // MessageBoxA. An installed answerer (tests, tools) replaces the user.
  int message_box(WindowHandle owner, const std::string& text, const std::string& title, uint32_t style);
  void set_message_box_answerer(MessageBoxAnswerer answerer) { answerer_ = std::move(answerer); }
  // SendMessageA to a window of the front end (list boxes).
  virtual intptr_t send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) = 0;
  // Device contexts: GetDC of a window (null when it has none), ReleaseDC
  // (1 released, 0 not) and BitBlt with a raster operation above (false when
  // it fails). On POSIX they are the rasters of platform/raster.h.
  virtual DeviceContext get_dc(WindowHandle window) = 0;
  virtual int release_dc(WindowHandle window, DeviceContext dc) = 0;
  virtual bool bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int source_x,
                       int source_y, uint32_t rop) = 0;

  // Used by Stream to consult the fault plan.
  int fault(Op op, const std::string& path) { return faults_.empty() ? 0 : faults_.check(op, path); }

 protected:
  virtual StreamPtr do_fopen(const std::string& path, const char* mode, int& error) = 0;
  virtual int do_open(const std::string& path, int flags, int perm, int& error) = 0;
  virtual int64_t do_read(int fd, void* buf, size_t n, int& error) = 0;
  virtual int64_t do_write(int fd, const void* buf, size_t n, int& error) = 0;
  virtual int64_t do_lseek(int fd, int64_t offset, int origin, int& error) = 0;
  virtual int do_close(int fd, int& error) = 0;
  virtual int64_t do_filelength(int fd, int& error) = 0;
  virtual int do_remove(const std::string& path, int& error) = 0;
  virtual bool do_delete_file(const std::string& path, uint32_t& error) = 0;
  virtual int do_replace_file(const std::string& from, const std::string& to, int& error) = 0;
  virtual bool do_exists(const std::string& path) = 0;
  virtual bool do_file_id(const std::string& path, FileId& id) = 0;
  virtual std::unique_ptr<Finder> do_find_first(const std::string& pattern, FindEntry& first,
                                                uint32_t& error) = 0;
  virtual uint32_t do_drive_type(const std::string& root) = 0;
  virtual bool do_volume_label(const std::string& root, std::string& label, uint32_t& error) = 0;
  virtual bool do_disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) = 0;
  virtual ProgramRun do_run_program(const std::string& program, const std::string& command_line) = 0;
  virtual std::string do_current_directory() = 0;
  virtual bool do_set_current_directory(const std::string& path) = 0;
  virtual int do_message_box(WindowHandle owner, const std::string& text, const std::string& title,
                             uint32_t style) = 0;

 private:
  MessageBoxAnswerer answerer_;
  std::string fd_path(int fd) const;
  FaultPlan faults_;
  std::map<int, std::string> fd_paths_;  // for path-filtered fault rules
  static constexpr int64_t kUnknownPosition = -1;
  std::map<int, int64_t> positions_;     // where each followed descriptor stands
  // Follows a read or write of `result` bytes (`relative`) or a seek to
  // `result`; a negative result leaves the position unknown.
  void moved(int fd, int64_t result, bool relative);
};

// The platform the library uses: the operating system's own unless a test
// has installed another.
Platform& current();
// Installs `p` (not owned) as the current platform; null restores the default.
void install(Platform* p);
// The operating system's platform (POSIX or Win32), created on first use.
Platform& system_platform();

// ---- front-end strings ------------------------------------------------------------

// SysStringByteLen: the 32-bit byte length stored just before the first byte
// of a string the front end allocated (OLE layout). 0 for a null string.
uint32_t sys_string_byte_len(const char* s);
// The text of a front-end string: its bytes up to the first NUL within its
// byte length, never beyond (the front end's strings need not end in a NUL).
// Empty for a null string.
std::string front_end_text(const char* s);

// Makes strings in the front end's layout, for tests and tools: a 32-bit
// length, the bytes, and two NUL bytes behind them.
class FrontEndString {
 public:
  explicit FrontEndString(uint32_t byte_len, char fill = ' ');
  explicit FrontEndString(const std::string& text);
  char* get() { return reinterpret_cast<char*>(storage_.data() + 4); }
  uint32_t byte_len() const { return len_; }
  std::string str() const { return std::string(reinterpret_cast<const char*>(storage_.data() + 4), len_); }

 private:
  std::vector<uint8_t> storage_;
  uint32_t len_;
};

}  // namespace zk::platform
