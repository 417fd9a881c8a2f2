// Fuzz target of the saved lists: a master ZKIFSMST.SAV and data files of
// any size and content, numbers given out and deleted, the current saved
// list opened, reset and handed to an interface program whose exit code the
// input chooses.
//
// Files: C:\ZKCAT\MST\ZKIFSMST.SAV and ZKIFnnnn.SAV there (the standard
// configuration's installed catalog directory), ZKINTF.TMP, others. Control
// bytes: a fault to inject, then operations, each a byte choosing it and its
// arguments:
//   0 get_save_no                      5 reset_save_mst_flag
//   1 deldata_save_mst_file  number    6 intf_pro          exit code
//   2 check_save_dat_file_exist        7 close_save_dat_file (the current)
//   3 make_save_mst                    8 drom_check_setup  mode 5
//   4 open_save_dat_file     number, sub-mode, mode (as the current list)
// Numbers are mostly 0..9 and sometimes any 16-bit value.
//
// Checks: every result is one of its function's documented codes; a number
// given out is 1..9999 and its entry is marked saved; the count left after a
// deletion is never negative; the current list's fields in the ctop area
// agree with check_save_dat_file_handle; nothing is left open.

#include "fuzz/fuzz_support.h"
#include "startup/common_areas.h"

namespace {

using namespace zk::fuzz;

constexpr int kMaxOperations = 24;
// Where the library keeps the master: in the installed catalog directory,
// or, when the configuration gives none (an unreadable ZKDROM.SYS, say), in
// the current directory.
std::string master_path() {
  char path[260] = {};
  return make_save_mst_file_name(path) == 0 ? std::string(path) : std::string();
}

int32_t number(Control& in) {
  const uint8_t b = in.byte();
  return b < 0xE0 ? b % 10 : static_cast<int16_t>(in.u16());
}

void run_operation(Control& in, size_t& reports) {
  int32_t error = 0;
  switch (in.byte() % 9) {
    case 0: {
      int32_t n = -7;
      const int32_t r = documented("get_save_no", get_save_no(&n, &error), {0, -1, -2, 11, 13, 14, 15});
      if (r == 0) {
        check(n >= 1 && n <= 9999, "get_save_no gave out a number outside 1..9999");
        const std::string* m = machine().file(master_path());
        check(m != nullptr && m->size() >= 16u * static_cast<size_t>(n) + 16 && (*m)[16u * n] == 1,
              "the entry of the number given out is not marked saved");
      }
      break;
    }
    case 1: {
      int32_t left = -7;
      const int32_t r = deldata_save_mst_file(number(in), &left, &error);
      documented("deldata_save_mst_file", r, {0, -1, -2, 11, 12, 13, 14, 15});
      // A damaged master may count more lists than numbers exist; the count
      // is lowered by one all the same, never below 0.
      if (r == 0) check(left >= 0, "the count left is negative");
      break;
    }
    case 2: {
      int32_t count = 0;
      documented("check_save_dat_file_exist", check_save_dat_file_exist(&count, &error), {0, -1, -2, 11, 12, 14});
      break;
    }
    case 3: documented("make_save_mst", make_save_mst(&error), {0, -1, -2, 11, 13, 14, 12}); break;
    case 4: {
      const int32_t n = number(in);
      const auto sub = static_cast<int16_t>(in.byte() % 4), mode = static_cast<int16_t>(in.byte() % 5);
      documented("open_save_dat_file", open_save_dat_file(n, sub, mode, nullptr, &error), {0, -1, -2, 11});
      break;
    }
    case 5: reports += documented("drom_reset_com", drom_reset_com(), {0, -1, 11, 13, 14, 15}) != 0; break;
    case 6: {
      const uint32_t exit_code = in.byte() % 4;
      machine().run_program_hook = [exit_code](const std::string&, const std::string&) {
        return zk::platform::ProgramRun{true, exit_code, 0};
      };
      const int32_t r = intf_pro(&error);
      machine().run_program_hook = nullptr;
      documented("intf_pro", r, {0, -1, -2, 11, 12, 13, 14, 15, 888, 999});
      break;
    }
    case 7: documented("close_save_dat_file", close_save_dat_file(nullptr, &error), {0, 12}); break;
    case 8:
      documented("drom_check_setup", drom_check_setup(5), {0, 876, 891, 999});
      reports += 1;  // the installed-disc check may log again
      break;
  }
  const zkall_ctop& c = *zk::startup::ctop();
  check((check_save_dat_file_handle() == 0) == (c.save_data_handle != 0),
        "the save-data handle field disagrees with the current stream");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Control control = begin_catalog_input(data, size);
  size_t reports = 2;  // the configuration's and the installed-disc check's
  const int operations = control.byte() % kMaxOperations;
  for (int i = 0; i < operations; ++i) run_operation(control, reports);
  machine().faults().clear();
  int32_t error = 0;
  close_save_dat_file(nullptr, &error);
  finish_input(reports);
  return 0;
}
