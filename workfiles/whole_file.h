// Rewriting a work file whole without losing its old content when the
// write fails: the new content goes to a temporary file beside it, which
// replaces the file once it is complete.
#pragma once

#include <string>

#include "platform/platform.h"

namespace zk::workfiles {

// The temporary name a work file is written under before it replaces the
// file: the same name with the extension "$$$" (never longer than the name).
std::string temporary_name(const std::string& path);

// One rewrite of the file at `path`. open() creates the temporary file;
// write through stream(); commit() closes it and lets it replace the file.
// A rewrite that is not committed (a failure on the way) closes and
// removes the temporary file and leaves the old file as it was.
class WholeFileRewrite {
 public:
  explicit WholeFileRewrite(std::string path);
  ~WholeFileRewrite();
  WholeFileRewrite(const WholeFileRewrite&) = delete;
  WholeFileRewrite& operator=(const WholeFileRewrite&) = delete;

  // False with the error number when the temporary file cannot be made.
  bool open(int& error);
  platform::Stream& stream() { return *stream_; }
  // 0; or the failing step with its error number: Close (what the stream
  // still held may be lost) or Open (the file refuses to be replaced: read
  // only, say; it answers as a file that cannot be opened for writing).
  enum class Step { None, Open, Close };
  Step commit(int& error);

 private:
  std::string path_;
  std::string temporary_;
  platform::StreamPtr stream_;
  bool committed_ = false;
};

}  // namespace zk::workfiles
