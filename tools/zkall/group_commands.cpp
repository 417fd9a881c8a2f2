// The tour's stops for the user's own work files: a group of parts made,
// listed and written to the group files, and a parts list saved under a
// number and handed to the interface program ZKINTF.EXE (the stand-in
// tools/zkintf, put into the front end's directory when none is there).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/list_box.h"
#include "platform/platform.h"
#include "tools/zkall/commands.h"
#include "zkall.h"

namespace zk::tool {

namespace {

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

void show_box(std::ostream& out, platform::ListBox& box) {
  for (const std::string& line : box.lines()) out << "   | " << trimmed(line) << "\n";
}

}  // namespace

void tour_groups(std::ostream& out) {
  out << "\n-- The group files made (VBRemakeGpFile answered " << VBRemakeGpFile() << ") and a group of parts added\n";
  platform::FrontEndString name("OIL SERVICE");
  out << "   VBSetGrpCd(\"G01\", \"OIL SERVICE\") answered " << VBSetGrpCd("G01", name.get()) << "\n";
  platform::ListBox parts;
  for (const char* code : {"100120", "100010", "999999"}) {
    int16_t slot = -1;
    const int32_t r = VBSetGrpPnc(parts.handle(), "G01", code, &slot);
    out << "   VBSetGrpPnc(" << code << ") answered " << r << ", slot word " << slot
        << (slot == 1 ? " (no such part name code: not stored)" : "") << "\n";
  }
  platform::ListBox groups;
  VBMakeListGrpMei(groups.handle());
  out << "   the groups (VBMakeListGrpMei):\n";
  show_box(out, groups);
  platform::ListBox listed;
  int16_t flag = 0;
  out << "   its parts (VBMakeListGrpPnc answered " << VBMakeListGrpPnc("G01", listed.handle(), &flag) << "):\n";
  show_box(out, listed);
  out << "   VBwrite_group_file answered " << VBwrite_group_file() << "; ";
  char found[60];
  const int32_t index = g_mei_f_read("G01", found);
  out << "g_mei_f_read(\"G01\") finds group " << index << " \"" << trimmed(std::string(found, 60)) << "\"\n";
  VBTermGrpTmp();
}

void tour_saved_list(std::ostream& out, const std::string& interface_program) {
  int32_t error = 0, number = 0;
  out << "\n-- A parts list saved under a number\n";
  out << "   make_save_mst answered " << make_save_mst(&error);
  out << ", get_save_no answered " << get_save_no(&number, &error) << ": number " << number << "\n";
  void* stream = nullptr;
  if (open_save_dat_file(number, 2, 2, &stream, &error) != 0) {
    out << "   the data file cannot be made (error " << error << ")\n";
    return;
  }
  char record[99];
  set_save_file_vdata(record, number % 1000, nullptr);
  const std::string parts = "\n100120,\"OIL FILTER\",1\n100010,\"CYLINDER HEAD\",1\n";
  write_save_dat_file(stream, record, sizeof record, &error);
  write_save_dat_file(stream, parts.data(), static_cast<int32_t>(parts.size()), &error);
  close_save_dat_file(&stream, &error);
  char path[80];
  make_save_dat_file_name(number, path);
  out << "   " << path << ": the vehicle record [" << std::string(record, sizeof record) << "] and 2 parts\n";

  out << "\n-- The saved list handed to the interface program (exit code 1: its number cleared)\n";
  if (!std::filesystem::exists("ZKINTF.EXE") && !interface_program.empty())
    std::filesystem::copy_file(interface_program, "ZKINTF.EXE");
  make_zkintf_tmp_file_name(path);
  // ZKINTF.TMP lies beside the master; the stand-in reads its exit code there.
  platform::StreamPtr t;
  {
    int err = 0;
    t = platform::current().fopen(path, "wb", err);
    if (t) {
      const std::string text = "TOUR\nEXIT=1\n";
      t->write(text.data(), text.size());
      t->close();
    }
  }
  open_save_dat_file(number, 1, 2, nullptr, &error);
  out.flush();
  std::fflush(stdout);
  const int32_t r = intf_pro(&error);
  std::fflush(stdout);
  char back[99] = {};
  void* check = nullptr;
  close_save_dat_file(nullptr, &error);
  if (open_save_dat_file(number, 0, 1, &check, &error) == 0) {
    read_save_dat_file(check, back, sizeof back, &error);
    close_save_dat_file(&check, &error);
  }
  out << "   intf_pro answered " << r << "; the record's number is now \"" << std::string(back + 96, 3) << "\"\n";
  out << "   drom_check_setup(5) answered " << drom_check_setup(5) << " (0: saved lists exist)\n";
}

}  // namespace zk::tool
