// zkintf: an interface program to put in place of the catalog's own
// ZKINTF.EXE. The library starts it from the current directory as
//
//   ZKINTF.EXE <data file of the current saved list, or @@@@@> <ZKINTF.TMP>
//
// and acts on its exit code (1: the saved list's number is cleared in its
// vehicle record; 2: the saved list is deleted; anything else: nothing).
// This one prints what it was handed: the saved list's vehicle record, the
// rest of its data file and ZKINTF.TMP. It ends with the exit code a line
// "EXIT=<n>" of ZKINTF.TMP asks for, else the one in the environment
// variable ZKINTF_EXIT, else 0. Paths are the library's Windows paths; on
// POSIX they are found through the same drive mapping the library uses
// (ZKALL_DOSDEVICES, else the Wine prefix's dosdevices).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace {

constexpr size_t kVehicleRecordSize = 99;

// The whole file, or false when it cannot be opened.
bool slurp(const std::string& path, std::string& out) {
  int error = 0;
  zk::platform::StreamPtr in = zk::platform::system_platform().fopen(path, "rb", error);
  if (!in) return false;
  char buf[4096];
  for (size_t n; (n = in->read(buf, sizeof buf)) > 0;) out.append(buf, n);
  return true;
}

// The number of a line "EXIT=<n>", or -1 when there is none.
int exit_line(const std::string& text) {
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (text.compare(at, 5, "EXIT=") == 0) return std::atoi(text.c_str() + at + 5);
    at = end + 1;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ZKINTF.EXE <saved-list data file | @@@@@> <ZKINTF.TMP>\n");
    return 0;
  }
  const std::string data_path = argv[1], tmp_path = argv[2];
  if (data_path == "@@@@@") {
    std::printf("no saved list\n");
  } else {
    std::string data;
    if (!slurp(data_path, data)) {
      std::printf("saved list %s: cannot be read\n", data_path.c_str());
    } else {
      const std::string vehicle = data.substr(0, kVehicleRecordSize);
      std::printf("saved list %s\nvehicle  [%s]\n", data_path.c_str(), vehicle.c_str());
      if (vehicle.size() == kVehicleRecordSize)
        std::printf("catalog  %.6s  frame %.15s  number %.3s\n", vehicle.c_str() + 32, vehicle.c_str() + 44,
                    vehicle.c_str() + 96);
      if (data.size() > kVehicleRecordSize) std::printf("parts\n%s\n", data.c_str() + kVehicleRecordSize);
    }
  }
  std::string tmp;
  int code = -1;
  if (slurp(tmp_path, tmp)) {
    std::printf("%s\n%s", tmp_path.c_str(), tmp.c_str());
    code = exit_line(tmp);
  }
  if (code < 0) {
    const char* env = std::getenv("ZKINTF_EXIT");
    code = env != nullptr ? std::atoi(env) : 0;
  }
  std::printf("exit code %d\n", code);
  return code;
}
