// Test helper for the text utilities: runs an edit on a field that lies
// between guard bytes, so a test sees that nothing outside the given length
// was touched.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

namespace zk::test {

inline const std::string kGuard = "~~~~";

// Runs `edit(address, length)` on a guarded copy of `field` and gives the
// field afterwards, paired with the result when `edit` has one.
template <class Edit>
auto edited(const std::string& field, Edit edit) {
  std::string buffer = kGuard + field + kGuard;
  char* address = buffer.data() + kGuard.size();
  const auto length = static_cast<int32_t>(field.size());
  const auto check = [&] {
    EXPECT_EQ(buffer.substr(0, kGuard.size()) + buffer.substr(kGuard.size() + field.size()), kGuard + kGuard)
        << "written outside " << field;
    return buffer.substr(kGuard.size(), field.size());
  };
  if constexpr (std::is_void_v<decltype(edit(address, length))>) {
    edit(address, length);
    return check();
  } else {
    const auto result = edit(address, length);
    return std::pair(check(), result);
  }
}

}  // namespace zk::test
