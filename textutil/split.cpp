// Splitting a long text field into wrapped lines or semicolon-separated
// pieces.
#include "textutil/split.h"

#include <algorithm>

#include "textutil/chars.h"

namespace zk::textutil {
namespace {

// The steps both splitters share: refuse at the end, blank the destination,
// skip what `skip` accepts, copy the piece of the length `piece_length`
// chooses for the rest of the source and the destination's width.
template <class Skip, class PieceLength>
bool next_piece(std::span<const char> source, std::span<char> dest, std::size_t& position, Skip skip,
                PieceLength piece_length) {
  if (position >= source.size()) {
    return false;
  }
  std::fill(dest.begin(), dest.end(), kBlank);
  while (position < source.size() && skip(source[position])) {
    ++position;
  }
  if (position == source.size()) {
    return false;
  }
  const std::span<const char> rest = source.subspan(position);
  const std::size_t length = piece_length(rest, dest.size());
  std::copy_n(rest.begin(), length, dest.begin());
  position += length;
  return true;
}

bool is_wrap_point(char c) { return c == '\0' || c == kBlank || c == ','; }

// Length of the next wrapped line of `rest` in a line of `width` bytes.
std::size_t wrapped_length(std::span<const char> rest, std::size_t width) {
  if (rest.size() <= width) {
    return rest.size();
  }
  if (width == 0) {
    return 0;
  }
  // Index of the last wrap point below the width; a wrap point at index 0
  // would give an empty line, so it counts as none.
  std::size_t last = width;
  while (last > 0 && !is_wrap_point(rest[last - 1])) {
    --last;
  }
  if (last <= 1 || rest[width] == kBlank) {
    return width;
  }
  --last;
  return rest[last] == ',' ? last + 1 : last;
}

bool is_semicolon_skip(char c) { return is_blank_like(c) || c == ';'; }

std::size_t semicolon_length(std::span<const char> rest, std::size_t width) {
  const std::span<const char> window = rest.first(std::min(rest.size(), width));
  return static_cast<std::size_t>(std::find(window.begin(), window.end(), ';') - window.begin());
}

}  // namespace

bool memory_edit_2_n_data(std::span<const char> source, std::span<char> dest, std::size_t& position) {
  return next_piece(source, dest, position, is_blank_like, wrapped_length);
}

bool memory_edit_2_n_data_by_scolon(std::span<const char> source, std::span<char> dest,
                                    std::size_t& position) {
  if (dest.empty()) {
    return position < source.size();
  }
  return next_piece(source, dest, position, is_semicolon_skip, semicolon_length);
}

}  // namespace zk::textutil
