// The subcommands of zkall that go through the catalog lookups and the
// vehicle functions (names, figures, abbreviations, a VIN narrowed through
// JOUHOU.TMP, the symbol list VCLINF.TMP), and their parts of the tour.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zk::tool {

class Session;

// Where a lookup reads: a disc id ("" for the first installed disc of the
// current area) and a data language ("" for the configured one).
struct LookupOptions {
  std::string disc;
  std::string lang;
};

int command_name(const std::string& code, const LookupOptions& o, std::ostream& out);
int command_figure(const std::string& catalog, const std::string& figure, const LookupOptions& o, std::ostream& out);
int command_abbr(const std::string& abbreviation, const LookupOptions& o, std::ostream& out);
// Fills JOUHOU.TMP with the vehicles of the VIN's key and narrows them by
// each criterion given: a production month CCYYMM, then a model code.
int command_vin(const std::string& vin, const std::vector<std::string>& criteria, const LookupOptions& o,
                std::ostream& out);
int command_symbols(const std::string& catalog, const LookupOptions& o, std::ostream& out);

// The tour's parts, inside its running session.
void tour_names(Session& s, std::ostream& out);
void tour_vehicle(Session& s, std::ostream& out);

}  // namespace zk::tool
