// get_path_name, set_path_name and VBGetPathName.
#include "startup/path_names.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "startup/common_areas.h"

namespace zk::startup {

namespace {

std::string field_text(const char* field, size_t width) { return std::string(field, strnlen(field, width)); }

// The directory of a kind, or false when the index names no table entry.
bool kind_directory(const zkall_ctop& c, uint32_t kind, int32_t index, std::string& dir) {
  switch (kind) {
    case kPathWork: dir = field_text(c.ecram_path, kDirFieldSize); return true;
    case kPathInstalled: dir = field_text(c.ecmst_path, kDirFieldSize); break;
    case kPathPrice: dir = field_text(c.price_path, kDirFieldSize); return true;
    case kPathLocalPrice: dir = field_text(c.localp_path, kDirFieldSize); return true;
    case kPathLibraryFiles: dir = field_text(c.ecfil_path, kDirFieldSize); return true;
    case kPathDrive:
      if (index == -1) {
        dir.clear();
        return true;
      }
      if (index < 0 || index >= kMaxDrives) return false;
      dir = field_text(c.drives[index], 2);
      return true;
    case kPathFrameWorld: dir = field_text(c.framewld_path, kDirFieldSize); break;
    case kPathFrameDomestic: dir = field_text(c.framejpn_path, kDirFieldSize); break;
    default: dir.clear(); return true;
  }
  // Kinds 1, 6 and 7 index the installed-disc table.
  return index == -1 || (index >= 0 && index < kMaxDiscs);
}

}  // namespace

int get_path_name(uint32_t kind, int32_t index, const std::string& name, std::string& out) {
  out = name;
  const zkall_ctop* c = ctop();
  if (kind >= kPathKindCount || !c) return 0;
  std::string dir;
  if (!kind_directory(*c, kind, index, dir)) return -1;
  if (dir.empty()) return 0;

  // A closing semicolon stands for the backslash; a directory without a
  // closing backslash gets one.
  if (dir.back() == ';') {
    dir.pop_back();
    if (dir.empty() || dir.back() != '\\') dir += '\\';
  } else if (dir.back() != '\\') {
    dir += '\\';
  }
  if (index != -1 && (kind == kPathInstalled || kind == kPathFrameWorld || kind == kPathFrameDomestic)) {
    dir += field_text(c->discs[index].disc_id, 2);
    dir += '\\';
  }
  dir += name;
  if (dir.size() >= kNameBufferSize) return -1;
  out = dir;
  return 0;
}

int get_path_name(uint32_t kind, int32_t index, char* name) {
  if (!name) return 0;
  std::string full;
  int rc = get_path_name(kind, index, field_text(name, kNameBufferSize), full);
  if (rc != 0 || full == field_text(name, kNameBufferSize)) return rc;
  std::memset(name, 0, kNameBufferSize);
  std::memcpy(name, full.data(), full.size());
  return 0;
}

void set_path_name(char* field, int32_t length) {
  const zkall_ctop* c = ctop();
  if (!field || !c || length < 1) return;
  const auto len = static_cast<size_t>(length);
  const std::string ecmst = field_text(c->ecmst_path, kDirFieldSize);
  std::string value;
  if (field[0] == '\0') {
    value = ecmst;
  } else {
    std::string dir_part = ecmst;
    if (ecmst.size() >= 2 && ecmst[1] == ':')
      dir_part = ecmst.size() > 3 ? ecmst.substr(3) : std::string();
    else if (!ecmst.empty() && ecmst[0] == '\\')
      dir_part = ecmst.substr(1);
    value = std::string(1, field[0]) + ":\\" + dir_part;
  }
  // Keep a terminating NUL inside the field whatever ecmst_path holds.
  value.resize(std::min(value.size(), len - 1));
  std::memset(field, 0, len);
  std::memcpy(field, value.data(), value.size());
}

int32_t vb_get_path_name(int16_t kind, char* vbstr) {
  char buf[kNameBufferSize] = {};
  get_path_name(static_cast<uint32_t>(static_cast<int32_t>(kind)), -1, buf);
  if (!vbstr) return 0;
  const uint32_t n = std::min<uint32_t>(platform::sys_string_byte_len(vbstr), kNameBufferSize);
  std::memcpy(vbstr, buf, n);
  return static_cast<int32_t>(n);
}

}  // namespace zk::startup
