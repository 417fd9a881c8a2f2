// Running ZKINTF.EXE and acting on its exit code.
#include "workfiles/interface_program.h"

#include <cstring>

#include "platform/platform.h"
#include "startup/path_names.h"
#include "workfiles/saved_lists.h"

namespace zk::workfiles {

namespace {
constexpr uint32_t kExitClearNumber = 1;
constexpr uint32_t kExitDeleteList = 2;
constexpr size_t kNumberAt = 96;
}  // namespace

int make_zkintf_tmp_file_name(std::string& path) {
  return startup::get_path_name(startup::kPathInstalled, -1, "ZKINTF.TMP", path);
}

int make_intf_tmp_file_name(std::string& path) {
  return startup::get_path_name(startup::kPathWork, -1, "INTF.TMP", path);
}

int intf_pro(int32_t& error) {
  error = 0;
  std::string tmp;
  if (const int r = make_zkintf_tmp_file_name(tmp); r != 0) {
    error = kInterfaceTmpPathError;
    return r;
  }
  const int32_t number = current_save_number();
  std::string data = kNoSavedList;
  if (number != 0) {
    if (const int r = make_save_dat_file_name(number, data); r != 0) {
      error = kInterfaceDataPathError;
      return r;
    }
  }
  const std::string command_line = std::string(kInterfaceProgram) + " " + data + " " + tmp;
  const platform::ProgramRun run = platform::current().run_program(kInterfaceProgram, command_line);
  if (!run.started) return 0;

  if (run.exit_code == kExitClearNumber) {
    if (number == 0) return 0;
    platform::Stream* s = current_save_stream();
    char record[kVehicleRecordSize];
    int32_t position = 0;
    if (const int r = seek_save_dat_file(s, 0, position, error); r != 0) return r;
    if (const int r = read_save_dat_file(s, record, sizeof record, error); r != 0) return r;
    std::memcpy(record + kNumberAt, "000", 3);
    if (const int r = seek_save_dat_file(s, 0, position, error); r != 0) return r;
    return write_save_dat_file(s, record, sizeof record, error);
  }
  if (run.exit_code == kExitDeleteList) {
    // Without a current saved list nothing is deleted or counted: the lists
    // there were are taken to be there still.
    if (number == 0) return kSavedListsLeft;
    int32_t left = 0;
    if (const int r = deldata_save_mst_file(number, left, error); r != 0) return r;
    return left > 0 ? kSavedListsLeft : kNoSavedListLeft;
  }
  return 0;
}

}  // namespace zk::workfiles
