// The saved-list master, the data files and the current saved list.
#include "workfiles/saved_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "startup/clock.h"
#include "startup/common_areas.h"
#include "startup/path_names.h"

namespace zk::workfiles {

namespace {

constexpr const char* kMasterName = "ZKIFSMST.SAV";
constexpr int kMissing = -1;
constexpr int kDenied = -2;
constexpr int kOpenFailed = 11;
constexpr int kCloseFailed = 12;
constexpr int kWriteFailed = 13;
constexpr int kReadFailed = 14;
constexpr int kSeekFailed = 15;
constexpr int kDeleteFailed = 16;

// Header fields.
constexpr size_t kCountAt = 0;
constexpr size_t kNextAt = 2;
// Entry fields.
constexpr size_t kDateAt = 4;
constexpr size_t kTimeAt = 10;

using Record = uint8_t[kMasterRecordSize];

platform::StreamPtr g_current;  // the current saved list's data file

int16_t get16(const uint8_t* p) {
  int16_t v = 0;
  std::memcpy(&v, p, sizeof v);
  return v;
}
void put16(uint8_t* p, int16_t v) { std::memcpy(p, &v, sizeof v); }

int errno_of(const platform::Stream& s, int fallback) { return s.error_number() != 0 ? s.error_number() : fallback; }

// Opens with the runtime's answer sorted into -1 missing, -2 denied, 11.
int open_file(const std::string& path, const char* mode, platform::StreamPtr& out, int32_t& error) {
  int err = 0;
  out = platform::current().fopen(path, mode, err);
  error = 0;
  if (out) return 0;
  if (err == platform::kErrnoNoEntry) return kMissing;
  if (err == platform::kErrnoAccess) return kDenied;
  error = err;
  return kOpenFailed;
}

bool read_at(platform::Stream& s, int64_t offset, void* buf, size_t n, int& code, int32_t& error) {
  if (const int e = s.seek(offset, platform::kSeekSet); e != 0) {
    code = kSeekFailed;
    error = e;
    return false;
  }
  if (s.read(buf, n) != n) {
    code = kReadFailed;
    error = errno_of(s, 0);
    return false;
  }
  return true;
}

bool write_at(platform::Stream& s, int64_t offset, const void* buf, size_t n, int& code, int32_t& error) {
  if (const int e = s.seek(offset, platform::kSeekSet); e != 0) {
    code = kSeekFailed;
    error = e;
    return false;
  }
  if (s.write(buf, n) != n) {
    code = kWriteFailed;
    error = errno_of(s, platform::kErrnoNoSpace);
    return false;
  }
  return true;
}

// Closes a stream that was written: 0, or 13 with the error number.
int close_written(platform::StreamPtr& s, int32_t& error) {
  const int e = s->close();
  s.reset();
  if (e == 0) return 0;
  error = e;
  return kWriteFailed;
}

void set_current(platform::StreamPtr stream, int32_t number) {
  g_current = std::move(stream);
  if (zkall_ctop* c = startup::ctop()) {
    c->save_list_flag = g_current ? number : 0;
    c->save_data_handle = startup::address_field_value(g_current.get());
  }
}

}  // namespace

int make_save_mst_file_name(std::string& path) {
  return startup::get_path_name(startup::kPathInstalled, -1, kMasterName, path);
}

int make_save_dat_file_name(int32_t number, std::string& path) {
  if (number < 0 || number > kMaxSaveNumber) {
    path.clear();
    return -1;
  }
  char name[] = "ZKIF    .SAV";
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(number));
  std::memcpy(name + 4, digits, 4);
  return startup::get_path_name(startup::kPathInstalled, -1, name, path);
}

int open_save_mst_file(int16_t mode, platform::StreamPtr& stream, int32_t& error) {
  static constexpr const char* kModes[] = {"rb", "w+b", "r+b"};
  error = 0;
  if (mode < 1 || mode > 3) {
    error = platform::kErrnoInvalid;
    return kOpenFailed;
  }
  std::string path;
  if (const int r = make_save_mst_file_name(path); r != 0) {
    error = kMasterPathError;
    return r;
  }
  return open_file(path, kModes[mode - 1], stream, error);
}

int close_stream(platform::StreamPtr& stream, int32_t& error) {
  error = 0;
  if (!stream) return 0;
  const int e = stream->close();
  stream.reset();
  if (e == 0) return 0;
  error = e;
  return kCloseFailed;
}

int check_save_mst_file_exist(int32_t& count, int32_t& error) {
  platform::StreamPtr m;
  if (const int r = open_save_mst_file(1, m, error); r != 0) return r;
  uint8_t head[2];
  if (m->read(head, sizeof head) != sizeof head) {
    error = errno_of(*m, 0);
    return kReadFailed;
  }
  if (const int r = close_stream(m, error); r != 0) return r;
  count = get16(head + kCountAt);
  return 0;
}

int check_save_dat_file_exist(int32_t& count, int32_t& error) {
  const int r = check_save_mst_file_exist(count, error);
  if (r == 0 && count <= 0) return kMissing;
  return r;
}

int make_save_mst(int32_t& error) {
  int32_t count = 0;
  if (check_save_mst_file_exist(count, error) == 0) return 0;
  platform::StreamPtr m;
  if (const int r = open_save_mst_file(2, m, error); r != 0) return r;
  uint8_t fresh[2 * kMasterRecordSize] = {};
  put16(fresh + kNextAt, 1);
  // The stream of a file just created stands at its start: no seek, whose
  // failure would be an answer make_save_mst does not give.
  int r = 0;
  if (m->write(fresh, sizeof fresh) != sizeof fresh) {
    error = errno_of(*m, platform::kErrnoNoSpace);
    r = kWriteFailed;
  } else {
    r = close_written(m, error);
  }
  if (r == kWriteFailed && error == platform::kErrnoNoSpace) r = kMissing;
  return r;
}

int get_save_no(int32_t& number, int32_t& error) {
  platform::StreamPtr m;
  if (const int r = open_save_mst_file(3, m, error); r != 0) return r;
  int code = 0;
  Record head;
  if (!read_at(*m, 0, head, sizeof head, code, error)) return code;
  int16_t next = get16(head + kNextAt);
  // A damaged next number is taken as "the first free entry".
  if (next < 1 || next > kMaxSaveNumber) next = 0;
  if (next == 0) {
    for (int16_t n = 1; n <= kMaxSaveNumber && next == 0; ++n) {
      Record entry;
      if (m->read(entry, sizeof entry) != sizeof entry) {
        error = errno_of(*m, 0);
        return kReadFailed;
      }
      if (entry[0] == 0) next = n;
    }
    if (next == 0) return kReadFailed;  // no free entry in the whole range
  }
  number = next;

  char date[8], time[6];
  startup::date2(date);
  startup::time2(time);
  Record entry = {static_cast<uint8_t>(kStateSaved)};
  const char ddmmyy[6] = {date[6], date[7], date[4], date[5], date[2], date[3]};
  std::memcpy(entry + kDateAt, ddmmyy, sizeof ddmmyy);
  std::memcpy(entry + kTimeAt, time, sizeof time);
  if (!write_at(*m, static_cast<int64_t>(kMasterRecordSize) * next, entry, sizeof entry, code, error)) return code;

  put16(head + kNextAt, static_cast<int16_t>(next >= kMaxSaveNumber ? 1 : next + 1));
  const int16_t count = get16(head + kCountAt);
  if (count < kMaxSaveNumber) put16(head + kCountAt, static_cast<int16_t>(count + 1));
  if (!write_at(*m, 0, head, sizeof head, code, error)) return code;
  return close_written(m, error);
}

int deldata_save_mst_file(int32_t number, int32_t& left, int32_t& error) {
  error = 0;
  if (number < 1 || number > kMaxSaveNumber) {
    error = platform::kErrnoInvalid;
    return kSeekFailed;
  }
  platform::StreamPtr m;
  if (const int r = open_save_mst_file(3, m, error); r != 0) return r;
  int code = 0;
  uint8_t head[2];
  if (!read_at(*m, 0, head, sizeof head, code, error)) return code;
  // The count never wraps: a master that counts no list keeps 0.
  const int16_t count = get16(head);
  const int16_t lowered = count > 0 ? static_cast<int16_t>(count - 1) : 0;
  put16(head, lowered);
  const uint8_t deleted = static_cast<uint8_t>(kStateDeleted);
  if (!write_at(*m, 0, head, sizeof head, code, error)) return code;
  if (!write_at(*m, static_cast<int64_t>(kMasterRecordSize) * number, &deleted, 1, code, error)) return code;
  if (const int r = close_stream(m, error); r != 0) return r;
  left = lowered;
  return 0;
}

int open_save_dat_file(int32_t number, int16_t sub_mode, int16_t mode, platform::StreamPtr* stream,
                       int32_t& error) {
  error = 0;
  const char* how = mode == 1                                  ? "rb"
                    : (mode == 2 || mode == 3) && sub_mode == 1 ? "r+b"
                    : (mode == 2 || mode == 3) && sub_mode == 2 ? "w+b"
                                                                : nullptr;
  if (how == nullptr) {
    error = platform::kErrnoInvalid;
    return kOpenFailed;
  }
  std::string path;
  if (const int r = make_save_dat_file_name(number, path); r != 0) {
    error = kDataOpenPathError;
    return r;
  }
  platform::StreamPtr s;
  if (const int r = open_file(path, how, s, error); r != 0) return r;
  if (stream != nullptr) {
    *stream = std::move(s);
  } else {
    int32_t ignored = 0;
    close_current_save_dat_file(ignored);
    set_current(std::move(s), number);
  }
  return 0;
}

int close_current_save_dat_file(int32_t& error) {
  platform::StreamPtr s = std::move(g_current);
  set_current(nullptr, 0);
  return close_stream(s, error);
}

int read_save_dat_file(platform::Stream* s, void* buffer, int32_t size, int32_t& error) {
  error = s == nullptr ? platform::kErrnoBadFile : size < 0 || (buffer == nullptr && size > 0) ? platform::kErrnoInvalid : 0;
  if (error != 0) return kReadFailed;
  if (s->read(buffer, static_cast<size_t>(size)) == static_cast<size_t>(size)) return 0;
  error = errno_of(*s, 0);
  return kReadFailed;
}

int write_save_dat_file(platform::Stream* s, const void* buffer, int32_t size, int32_t& error) {
  error = s == nullptr ? platform::kErrnoBadFile : size < 0 || (buffer == nullptr && size > 0) ? platform::kErrnoInvalid : 0;
  if (error != 0) return kWriteFailed;
  if (s->write(buffer, static_cast<size_t>(size)) == static_cast<size_t>(size)) return 0;
  error = errno_of(*s, platform::kErrnoNoSpace);
  return kWriteFailed;
}

int seek_save_dat_file(platform::Stream* s, int32_t offset, int32_t& position, int32_t& error) {
  error = 0;
  const int e = s == nullptr ? platform::kErrnoBadFile : s->seek(offset, platform::kSeekSet);
  if (e != 0) {
    error = e;
    return kSeekFailed;
  }
  position = static_cast<int32_t>(s->tell());
  return 0;
}

int del_save_dat_file(int32_t number, int32_t& error) {
  error = 0;
  std::string path;
  if (const int r = make_save_dat_file_name(number, path); r != 0) {
    error = kDataDeletePathError;
    return r;
  }
  int err = 0;
  if (platform::current().remove(path, err) == 0) return 0;
  error = err;
  return err == platform::kErrnoNoEntry ? kMissing : kDeleteFailed;
}

int check_save_dat_file_handle() { return g_current ? 0 : -1; }

int32_t current_save_number() {
  const zkall_ctop* c = startup::ctop();
  return c != nullptr ? c->save_list_flag : 0;
}

platform::Stream* current_save_stream() { return g_current.get(); }

int reset_save_mst_flag(int32_t& error) {
  error = 0;
  const int32_t number = current_save_number();
  if (number == 0) return 0;
  std::string path;
  if (const int r = make_save_mst_file_name(path); r != 0) {
    error = kMasterPathError;
    return r;
  }
  int err = 0;
  platform::StreamPtr m = platform::current().fopen(path, "r+b", err);
  if (!m) {
    error = err;
    return kOpenFailed;
  }
  int code = 0;
  Record entry;
  const int64_t at = static_cast<int64_t>(kMasterRecordSize) * number;
  if (read_at(*m, at, entry, sizeof entry, code, error)) {
    bool ok = true;
    if (entry[0] == static_cast<uint8_t>(kStateInUse)) {
      entry[0] = static_cast<uint8_t>(kStateSaved);
      ok = write_at(*m, at, entry, sizeof entry, code, error);
    }
    if (ok) {
      if (zkall_ctop* c = startup::ctop()) c->save_list_flag = 0;
    }
  }
  if (m->close() != 0) {
    error = 0;
    return kWriteFailed;
  }
  return code;
}

void set_save_file_vdata(char* record, int32_t number, const char* source) {
  if (record == nullptr) return;
  std::memset(record, ' ', kVehicleRecordSize);
  if (const zkall_ccar* car = startup::ccar()) {
    auto put = [record](size_t at, const char* field, size_t width) { std::memcpy(record + at, field, width); };
    put(0, car->vin10, sizeof car->vin10);
    if (static_cast<uint8_t>(car->vin10[0]) > ' ' && static_cast<uint8_t>(car->frame_no[0]) > ' ')
      put(10, car->frame_no, sizeof car->frame_no);
    put(17, car->vehicle_data, sizeof car->vehicle_data);
    put(32, car->catalog_code, sizeof car->catalog_code);
    put(38, car->ad, sizeof car->ad);
    put(44, car->frame_model, sizeof car->frame_model);
    record[51] = '-';
    put(52, car->frame_no, sizeof car->frame_no);
    put(59, car->colour_no, sizeof car->colour_no);
    put(62, car->trim_no, sizeof car->trim_no);
    put(66, car->notes, sizeof car->notes);
  }
  if (source != nullptr) std::memcpy(record + 66, source + 66, 30);
  char digits[4];
  std::snprintf(digits, sizeof digits, "%03d", static_cast<int>(((number % 1000) + 1000) % 1000));
  std::memcpy(record + 96, digits, 3);
  std::replace(record, record + kVehicleRecordSize, '\0', ' ');
}

}  // namespace zk::workfiles
