// The front end's list-box helpers: deselect every line, fill a box from a
// text file, fill a box from a help file of the menu language.
//
// Lines are read into fixed buffers (127 characters for text files, 119 for
// help files); the last character read is always dropped, which is the line
// feed of a line that fits, so a longer line is split over several list-box
// lines and the last character of each piece is lost, and a last line without
// a line feed loses its last character. Front ends rely on that shape.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace zk::workfiles {

inline constexpr int kTextLineBuffer = 128;
inline constexpr int kHelpLineBuffer = 120;

// Deselects every line: the box's answer to the last deselection, or the line
// count when it is below 1.
intptr_t all_reset_list_box(platform::WindowHandle box);

// Fills the box from a text file: 0, 11 (cannot open), 14 (read error).
int set_list_box(platform::WindowHandle box, const char* path);

// Fills the box from the help file <topic><menu language>.HLP in the library's
// data directory: 0, 11, 14. A name that would not fit the 80-byte name
// buffer is refused with 11 (logged with errno EINVAL) and nothing is read.
int read_help_file(platform::WindowHandle box, const char* topic);

}  // namespace zk::workfiles
