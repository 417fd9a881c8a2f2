// Rewriting a work file whole through a temporary file that replaces it.
#include "workfiles/whole_file.h"

#include <utility>

namespace zk::workfiles {

std::string temporary_name(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t separator = path.find_last_of("\\/:");
  const bool has_extension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
  return (has_extension ? path.substr(0, dot) : path) + ".$$$";
}

WholeFileRewrite::WholeFileRewrite(std::string path) : path_(std::move(path)), temporary_(temporary_name(path_)) {}

WholeFileRewrite::~WholeFileRewrite() {
  if (committed_) return;
  int ignored = 0;
  if (stream_) {
    stream_->close();
    platform::current().remove(temporary_, ignored);
  }
}

bool WholeFileRewrite::open(int& error) {
  stream_ = platform::current().fopen(temporary_, "w+b", error);
  return stream_ != nullptr;
}

WholeFileRewrite::Step WholeFileRewrite::commit(int& error) {
  error = stream_->close();
  if (error != 0) return Step::Close;
  if (platform::current().replace_file(temporary_, path_, error) != 0) return Step::Open;
  committed_ = true;
  return Step::None;
}

}  // namespace zk::workfiles
