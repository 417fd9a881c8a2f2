// Start and stop of the library (drom_init, drom_term), the home directory,
// the set-up check, and the menu stack of the cnext area.
#pragma once

#include <cstdint>
#include <string>

namespace zk::startup {

inline constexpr size_t kHomeDirSize = 256;

// drom_init: makes the common areas, reads ZKDROM.SYS (which runs the
// installed-disc check), loads the message and screen texts, rewrites
// SELECT.TMP as 20000 zero bytes (reset_select_tmp), starts the error log
// and remembers the current directory. 0, or the code of the step
// that failed: 20 when the common areas cannot be had (nothing else can run
// without them), 1 when the message or screen file cannot be loaded.
int drom_init();
// drom_term: removes the work directory's *.TMP files, releases the texts
// and the common areas.
void drom_term();
// Makes the directory remembered by drom_init current again; non-zero when
// it was changed.
int drom_set_homedir();
// Re-runs the installed-disc check: 891 when the installation is not usable,
// else 0.
int drom_check_setup(uint16_t mode);
// Releases the current saved list: 0 or the failure (logged).
int drom_reset_com();

const std::string& home_directory();

// drom_init's reset of the selection work file: SELECT.TMP written as 20000
// zero bytes; a failure is logged as ZKDROM,select_tmp and nothing more.
void reset_select_tmp();

void set_next_menu(uint8_t menu);
void set_back_menu();
void set_main_menu();

}  // namespace zk::startup
