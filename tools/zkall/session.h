// A running library inside an installation, for the commands that read
// catalog data: drom_init on entry, drom_term on exit, and the helpers the
// commands share (installed-disc indexes by disc id, records as text).
#pragma once

#include <ostream>
#include <string>

#include "zkall.h"

namespace zk::tool {

class Session {
 public:
  // Starts the library in the current directory (see use_installation);
  // std::runtime_error when drom_init fails.
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  zkall_ctop& ctop() { return *get_ctop_addr(); }
  // The installed-disc index of a disc id; std::runtime_error if it is not
  // installed.
  int32_t disc_index(const std::string& disc_id);
};

// A record as one line of text: bytes outside 32..126 shown as '.'.
std::string printable(const char* bytes, size_t n);
// The text of a result code with its detail ("128 (detail 104)").
std::string result_text(int result, int32_t detail);
// Prompts are shown on `out` and answered Cancel (scripts never hang).
void answer_prompts_with_cancel(std::ostream& out);

}  // namespace zk::tool
