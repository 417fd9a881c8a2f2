// The one way the C entry points take an optional out-parameter (a detail
// or an error word): the work writes to a local, which goes to the caller's
// place when it gave one.
#pragma once

#include <cstdint>

namespace zk::exports {

class OptionalOut {
 public:
  explicit OptionalOut(int32_t* out) : out_(out) {}
  ~OptionalOut() {
    if (out_ != nullptr) *out_ = value_;
  }
  OptionalOut(const OptionalOut&) = delete;
  OptionalOut& operator=(const OptionalOut&) = delete;
  operator int32_t&() { return value_; }

 private:
  int32_t* out_;
  int32_t value_ = 0;
};

}  // namespace zk::exports
