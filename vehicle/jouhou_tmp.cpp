// Opening and closing JOUHOU.TMP through a caller's file slot.
#include "vehicle/jouhou_tmp.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "startup/path_names.h"

namespace zk::vehicle {

static_assert(offsetof(zkall_jouhou_slot, stream) == 0);
static_assert(sizeof(zkall_jouhou_slot) == sizeof(void*), "4 bytes on the 32-bit DLL, 8 on 64-bit builds");

namespace {

// The streams opened into callers' slots.
std::vector<platform::StreamPtr>& open_streams() {
  static std::vector<platform::StreamPtr> streams;
  return streams;
}

auto find_stream(const void* p) {
  auto& streams = open_streams();
  return std::find_if(streams.begin(), streams.end(), [p](const platform::StreamPtr& s) { return s.get() == p; });
}

const char* fopen_mode(int32_t mode) {
  switch (mode) {
    case kJouhouRead: return "rb";
    case kJouhouWrite: return "wb";
    case kJouhouReadWrite: return "r+b";
    default: return nullptr;
  }
}

}  // namespace

int make_jouhou_tmp_name(char* buffer) {
  if (buffer == nullptr) return -1;
  std::memset(buffer, 0, startup::kNameBufferSize);
  std::memcpy(buffer, "JOUHOU.TMP", 10);
  return startup::get_path_name(startup::kPathWork, -1, buffer);
}

platform::Stream* slot_stream(const zkall_jouhou_slot* slot) {
  if (slot == nullptr) return nullptr;
  auto it = find_stream(slot->stream);
  return it == open_streams().end() ? nullptr : it->get();
}

size_t open_jouhou_streams() { return open_streams().size(); }

int close_jouhou_tmp(zkall_jouhou_slot* slot, int32_t& detail) {
  detail = 0;
  if (slot == nullptr) return 0;
  auto it = find_stream(slot->stream);
  slot->stream = nullptr;
  if (it == open_streams().end()) return 0;
  platform::StreamPtr stream = std::move(*it);
  open_streams().erase(it);
  if (int e = stream->close(); e != 0) {
    detail = e;
    return 12;
  }
  return 0;
}

int open_jouhou_tmp(int32_t mode, zkall_jouhou_slot* slot, int32_t* count, int32_t& detail) {
  detail = 0;
  if (slot == nullptr) {
    detail = platform::kErrnoInvalid;
    return 11;
  }
  if (int r = close_jouhou_tmp(slot, detail); r != 0) return r;
  char path[startup::kNameBufferSize];
  if (int r = make_jouhou_tmp_name(path); r != 0) return r;
  const char* fmode = fopen_mode(mode);
  if (fmode == nullptr) {
    detail = platform::kErrnoInvalid;
    return 11;
  }
  int error = 0;
  platform::StreamPtr stream = platform::current().fopen(path, fmode, error);
  if (!stream) {
    detail = error;
    return 11;
  }
  if (count != nullptr) {
    int e = stream->seek(0, platform::kSeekEnd);
    const int64_t length = e == 0 ? stream->tell() : -1;
    if (e == 0 && length >= 0) e = stream->seek(0, platform::kSeekSet);
    if (e != 0 || length < 0) {
      detail = e != 0 ? e : platform::kErrnoIo;
      stream->close();
      return 15;
    }
    *count = static_cast<int32_t>(std::min<int64_t>(length / static_cast<int64_t>(kJouhouRecordSize), INT32_MAX));
  }
  slot->stream = stream.get();
  open_streams().push_back(std::move(stream));
  return 0;
}

}  // namespace zk::vehicle
