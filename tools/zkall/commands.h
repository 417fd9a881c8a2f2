// The subcommands of zkall that read an installation: listing the installed
// discs and drives, the sets a master file lists, finding records by key,
// dumping a set in order, and the guided tour of the demo.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zk::tool {

struct SetQuery {
  std::string disc;     // disc id whose master file lists the set
  std::string file;     // data file name
  std::string catalog;  // catalog code, or empty
  int kind = 0;         // file kind number
  bool frame = false;   // through the frame-number master file
};

class Session;

int command_discs(std::ostream& out);
// The listing of command_discs inside a running session.
void list_discs(Session& s, std::ostream& out);
int command_sets(const std::string& disc, const std::string& catalog, std::ostream& out);
int command_find(const SetQuery& q, const std::string& key, std::ostream& out);
int command_dump(const SetQuery& q, std::ostream& out);
// Copies the illustration at `location` (a 9-character location record) of
// disc `disc`'s image file out, decodes it and writes <out_prefix>.bmp and
// <out_prefix>.png; lists its coded texts.
int command_image(const std::string& disc, const std::string& location, const std::string& out_prefix,
                  std::ostream& out);
// The same inside a running session; 0 or the failing call's result.
int show_image(Session& s, const std::string& disc, const std::string& location, const std::string& out_prefix,
               std::ostream& out);
int command_tour(std::ostream& out);
// The prices of a part number through the price master (every record of
// the key, the format-2 price picked by the selector).
int command_price(const std::string& key, int selector, std::ostream& out);
// The local prices of a key in pair 1 to 3.
int command_local_price(int pair, const std::string& key, std::ostream& out);
// The tour's prices (both price formats, local prices) and its saved and
// reloaded selection.
void tour_prices(Session& s, std::ostream& out);
void tour_selection(std::ostream& out);
// A group of parts made and listed; a parts list saved under a number and
// handed to the interface program (`interface_program` is copied into the
// current directory as ZKINTF.EXE when none is there).
void tour_groups(std::ostream& out);
void tour_saved_list(std::ostream& out, const std::string& interface_program);

}  // namespace zk::tool
