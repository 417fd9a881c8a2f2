// drom_init, drom_term and the other calls the front end makes at the start
// and end of its work; the menu stack.
#include "startup/startup.h"

#include <cstring>

#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/config_file.h"
#include "startup/error_log.h"
#include "startup/installed_discs.h"
#include "startup/texts.h"
#include "workfiles/file_utils.h"
#include "workfiles/saved_lists.h"
#include "workfiles/select_tmp.h"

namespace zk::startup {

namespace {
constexpr int kNoBlock = 20;
constexpr int kNoMemory = 20;
constexpr int kSetupNotUsable = 891;
constexpr int kNoSavedList = 876;
constexpr int kSavedListCheckFailed = 999;
constexpr uint16_t kModeSavedLists = 5;
std::string g_home;
}  // namespace

const std::string& home_directory() { return g_home; }

// Start-up empties the selection work file: 20000 zero bytes. A failure is
// logged and start-up goes on.
void reset_select_tmp() {
  constexpr int32_t kSite = 156;
  platform::HeapBlock zeros;
  if (!platform::current().allocate(workfiles::kWorkFileSize, zeros)) {
    report("ZKDROM", "select_tmp", "malloc", kNoMemory, static_cast<int32_t>(workfiles::kWorkFileSize), kSite);
    return;
  }
  int32_t error = 0;
  if (const int rc = workfiles::write_select_tmp(zeros.data(), error); rc != 0)
    report("ZKDROM", "select_tmp", "write_select_tmp", rc, error, kSite);
}

int drom_init() {
  if (set_table() != 0) return kNoBlock;
  read_config_file();
  struct TextFile {
    int (*load)();
    const char* failure;
  };
  for (const TextFile& t : {TextFile{set_msg, "Invalid or not found MESSAGE FILE"},
                            TextFile{set_scr, "Invalid or not found SCREEN FILE"}}) {
    if (const int rc = t.load(); rc != 0) {
      report("ZKDROM", "zkdrom", t.failure, rc, 0, 0);
      free_msg();
      free_scr();
      return rc;
    }
  }
  reset_select_tmp();
  init_error_log();
  // GetCurrentDirectoryA with 256 bytes fills nothing for a longer path.
  std::string cwd = platform::current().current_directory();
  g_home = cwd.size() < kHomeDirSize ? cwd : std::string();
  return 0;
}

void drom_term() {
  if (const zkall_ctop* c = ctop()) {
    const std::string work(c->ecram_path, strnlen(c->ecram_path, kDirFieldSize));
    workfiles::file_remove(work.c_str(), "*.TMP");
  }
  free_msg();
  free_scr();
  free_table();
}

int drom_set_homedir() { return platform::current().set_current_directory(g_home) ? 1 : 0; }

int drom_check_setup(uint16_t mode) {
  setuped_cd_check();
  const zkall_ctop* c = ctop();
  if (!c || c->setup_ok == 0) return kSetupNotUsable;
  if (mode != kModeSavedLists) return 0;
  int32_t count = 0, error = 0;
  const int r = workfiles::check_save_dat_file_exist(count, error);
  if (r == 0) return 0;
  if (r == -1) return kNoSavedList;
  report("ZKDROM", "drom_check_setup", "check_save_dat_file_exist", r, error, 807);
  return kSavedListCheckFailed;
}

int drom_reset_com() {
  int32_t error = 0;
  const int r = workfiles::reset_save_mst_flag(error);
  if (r != 0) report("ZKDROM", "drom_reset_com", "reset_save_mst_flag", r, error, 828);
  return r;
}

void set_next_menu(uint8_t menu) {
  zkall_cnext* n = cnext();
  if (!n || n->depth >= kMenuStackSize || n->depth < 0) return;
  n->menus[n->depth] = menu;
  ++n->depth;
}

void set_back_menu() {
  zkall_cnext* n = cnext();
  if (n && n->depth >= 1) --n->depth;
}

void set_main_menu() {
  if (zkall_cnext* n = cnext()) n->depth = 0;
}

}  // namespace zk::startup
