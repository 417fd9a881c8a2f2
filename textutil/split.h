// Splitting a long text field into pieces: word wrapping into lines of a
// fixed width, and pieces separated by semicolons.
//
// Both splitters are called repeatedly with the same source and a position
// carried from call to call (start it at 0). Each call blanks the
// destination, copies the next piece to its front and moves the position
// behind the piece; when no piece is left it answers false.
#pragma once

#include <cstddef>
#include <span>

namespace zk::textutil {

// Word wrapping. Blank-like bytes at the position are skipped first. The
// rest of the source goes whole when it fits the destination (inner blanks
// included). Otherwise the piece ends at the last NUL, blank or comma among
// the destination's width: before a NUL or blank (the separator stays in the
// source, to be skipped next time), behind a comma (the comma ends the
// piece). With no such separator, or only one at the very start, or a blank
// just behind the width, the piece is cut at the full width.
//
// An empty destination gives an empty piece (true, nothing copied, the
// position left behind the skipped blank-like bytes).
bool memory_edit_2_n_data(std::span<const char> source, std::span<char> dest, std::size_t& position);

// Pieces separated by semicolons. Blank-like bytes and semicolons at the
// position are skipped; the piece runs up to the next semicolon (which it
// does not include), the end of the source, or the destination's width,
// whichever comes first.
//
// An empty destination gives true without touching the position while the
// position is before the end of the source, false once it is not.
bool memory_edit_2_n_data_by_scolon(std::span<const char> source, std::span<char> dest,
                                    std::size_t& position);

}  // namespace zk::textutil
