// Justifying, copying, replacing, testing and measuring fixed-width
// character fields.
#include "textutil/fields.h"

#include <algorithm>
#include <cstring>

#include "textutil/chars.h"

namespace zk::textutil {
namespace {

// Length of the run of `c` at the front of the field.
std::size_t leading_run(std::span<const char> field, char c) {
  const auto end = std::find_if(field.begin(), field.end(), [c](char b) { return b != c; });
  return static_cast<std::size_t>(end - field.begin());
}

}  // namespace

std::size_t memlft(std::span<char> field, char c) {
  const std::size_t n = leading_run(field, c);
  // Rotating the run to the back is exactly "the rest moves to the front and
  // the last n bytes become c".
  std::rotate(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(n), field.end());
  return n;
}

std::size_t memlft2(std::span<char> dest, std::span<char> src, char c, char f) {
  const std::size_t width = std::min(dest.size(), src.size());
  if (width == 0) {
    return 0;
  }
  src = src.first(width);
  const std::size_t n = leading_run(src, c);
  std::replace(src.begin(), src.end(), c, f);
  std::memmove(dest.data(), src.data() + n, width - n);
  std::fill_n(dest.begin() + static_cast<std::ptrdiff_t>(width - n), n, f);
  return n;
}

std::size_t strlft(char* text, char c) {
  if (text == nullptr) {
    return 0;
  }
  return memlft(std::span<char>(text, std::strlen(text)), c);
}

void memrep(std::span<char> dest, std::span<const char> src, char a, char b) {
  const std::size_t width = std::min(dest.size(), src.size());
  if (width == 0) {
    return;
  }
  std::memmove(dest.data(), src.data(), width);
  std::replace(dest.begin(), dest.begin() + static_cast<std::ptrdiff_t>(width), a, b);
}

std::size_t strrep(char* text, char a, char b) {
  if (text == nullptr) {
    return 0;
  }
  const std::span<char> field(text, std::strlen(text));
  std::size_t replaced = 0;
  for (char& byte : field) {
    if (byte == a) {
      byte = b;
      ++replaced;
    }
  }
  return replaced;
}

void memncpy(std::span<char> dest, std::span<const char> src) {
  src = src.first(std::min(dest.size(), src.size()));
  const auto nul = std::find(src.begin(), src.end(), '\0');
  const auto n = static_cast<std::size_t>(nul - src.begin());
  if (n != 0) {
    std::memmove(dest.data(), src.data(), n);
  }
}

void last_space2null(std::span<char> field) {
  for (auto it = field.rbegin(); it != field.rend() && is_blank_like(*it); ++it) {
    *it = '\0';
  }
}

bool memall(std::span<const char> field, char c) { return leading_run(field, c) == field.size(); }

std::ptrdiff_t memclen(std::span<const char> field, char c) {
  const auto it = std::find(field.begin(), field.end(), c);
  return it == field.end() ? -1 : it - field.begin();
}

std::size_t memlenf(std::span<const char> field) {
  const auto it = std::find_if(field.begin(), field.end(), is_blank_like);
  return static_cast<std::size_t>(it - field.begin());
}

std::size_t memlenb(std::span<const char> field) {
  const auto it = std::find_if_not(field.rbegin(), field.rend(), is_blank_like);
  return static_cast<std::size_t>(field.rend() - it);
}

bool memisdigit(std::span<const char> field) { return std::all_of(field.begin(), field.end(), is_digit); }

bool memisalnum(std::span<const char> field) { return std::all_of(field.begin(), field.end(), is_alnum); }

bool memcatcheck(std::span<const char> field) {
  for (std::size_t i = 0; i < field.size(); ++i) {
    const bool fits = i == kCatalogCodeLetterIndex ? is_alnum(field[i]) : is_digit(field[i]);
    if (!fits) {
      return false;
    }
  }
  return true;
}

std::ptrdiff_t memmem(std::span<const char> area, std::span<const char> pattern) {
  if (pattern.empty()) {
    return 0;
  }
  // A pattern longer than the area finds no place to start: -1.
  const auto it = std::search(area.begin(), area.end(), pattern.begin(), pattern.end());
  return it == area.end() ? -1 : it - area.begin();
}

}  // namespace zk::textutil
