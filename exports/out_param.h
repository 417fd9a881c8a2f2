// The optional out-parameters of the C entry points: a value the C++ layer
// writes by reference goes to the caller's place, or nowhere when the caller
// passed null.
#pragma once

namespace zk::exports {

template <typename T>
class Out {
 public:
  explicit Out(T* place) : place_(place), value_(place != nullptr ? *place : T{}) {}
  ~Out() {
    if (place_ != nullptr) *place_ = value_;
  }
  Out(const Out&) = delete;
  Out& operator=(const Out&) = delete;
  operator T&() { return value_; }

 private:
  T* place_;
  T value_;
};

}  // namespace zk::exports
