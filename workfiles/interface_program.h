// The hand-over to the catalog's interface program ZKINTF.EXE: it is started
// from the current directory with the current saved list's data file (or
// "@@@@@" without one) and the path of ZKINTF.TMP, and its exit code says
// what the library does next: 1 the data file's vehicle record loses its
// number ("000" in bytes 96-98), 2 the saved list is deleted from the master.
#pragma once

#include <cstdint>
#include <string>

namespace zk::workfiles {

inline constexpr const char* kInterfaceProgram = "ZKINTF.EXE";
inline constexpr const char* kNoSavedList = "@@@@@";
inline constexpr int32_t kInterfaceTmpPathError = 36;
inline constexpr int32_t kInterfaceDataPathError = 45;
inline constexpr int kSavedListsLeft = 999;
inline constexpr int kNoSavedListLeft = 888;

int make_zkintf_tmp_file_name(std::string& path);
int make_intf_tmp_file_name(std::string& path);
int intf_pro(int32_t& error);

}  // namespace zk::workfiles
