// Loading and fetching the message and screen texts.
#include "startup/texts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/path_names.h"

namespace zk::startup {

namespace {

constexpr uint16_t kNone = 0xFFFF;

struct Table {
  platform::HeapBlock block;
  size_t record_size = 0;
};

Table g_msg{{}, kMsgRecordSize};
Table g_scr{{}, kScrRecordSize};

// The lookup memories live for the whole process: loading new tables (a
// restart with other files included) does not reset them, and every use of a
// remembered position is checked against the records now loaded.
// Message lookup memory: the number last found and the position after it.
uint16_t g_msg_number = kNone;
uint16_t g_msg_next = kNone;
// Screen lookup memory: the number expected next and its position.
uint16_t g_scr_expected = 0;
uint16_t g_scr_next = 0;

uint16_t record_number(const Table& t, size_t i) {
  uint16_t n;
  std::memcpy(&n, t.block.data() + i * t.record_size, 2);
  return n;
}

char* record_text(Table& t, size_t i) { return reinterpret_cast<char*>(t.block.data() + i * t.record_size + 2); }

// The loaded records: the count of the ctop area, kept within the table.
size_t loaded(const Table& t, int16_t count) {
  if (t.block.empty() || count < 1) return 0;
  return std::min(static_cast<size_t>(count), t.block.size() / t.record_size);
}

bool digits(const char* s, int n) {
  for (int i = 0; i < n; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

int number_of(const char* s, int n) {
  int v = 0;
  for (int i = 0; i < n; ++i) v = v * 10 + (s[i] - '0');
  return v;
}

std::string file_name(const char* pattern) {
  const zkall_ctop* c = ctop();
  char lang[3] = {};
  if (c) std::memcpy(lang, c->menu_lang, 2);
  char name[kNameBufferSize];
  std::snprintf(name, sizeof name, pattern, lang);
  return name;
}

// Releases a table; its address field in the ctop area is cleared by the
// caller (a packed field is written in place, never through a pointer).
void release(Table& t) { t.block = platform::HeapBlock(); }

struct Format {
  Table& table;
  size_t records;
  int line_buffer;
  int digit_count;
  size_t text_start;
  size_t text_chars;
  char fill;
  bool comments;
};

// Reads the lines of `f` into the table; the number of records stored.
size_t load_lines(platform::Stream& f, const Format& fmt) {
  std::string line(static_cast<size_t>(fmt.line_buffer), '\0');
  size_t n = 0;
  while (n < fmt.records && f.gets(line.data(), fmt.line_buffer)) {
    const char* s = line.c_str();
    if (fmt.comments && s[0] == '#') continue;
    size_t len = std::strlen(s);
    if (len < static_cast<size_t>(fmt.digit_count) || !digits(s, fmt.digit_count)) continue;
    if (len > 0 && s[len - 1] == '\n') --len;
    uint8_t* rec = fmt.table.block.data() + n * fmt.table.record_size;
    const auto number = static_cast<uint16_t>(number_of(s, fmt.digit_count));
    std::memcpy(rec, &number, 2);
    char* text = reinterpret_cast<char*>(rec + 2);
    std::memset(text, fmt.fill, fmt.text_chars);
    text[fmt.text_chars] = '\0';
    if (len > fmt.text_start) std::memcpy(text, s + fmt.text_start, std::min(len - fmt.text_start, fmt.text_chars));
    ++n;
  }
  return n;
}

}  // namespace

int set_msg() {
  zkall_ctop* c = ctop();
  if (!c) return 1;
  c->msg_count = 0;
  std::string path;
  const std::string name = file_name("ZKDROM%2.2s.MSG");
  get_path_name(kPathLibraryFiles, 0, name, path);
  auto& p = platform::current();
  int err = 0;
  platform::StreamPtr f = p.fopen(path, "rt", err);
  if (!f) return 1;
  release(g_msg);
  c->msg_table = 0;
  if (!p.allocate(kMsgRecords * kMsgRecordSize, g_msg.block)) {
    f->close();
    return 1;
  }
  c->msg_table = address_field_value(g_msg.block.data());
  const size_t n = load_lines(*f, {g_msg, kMsgRecords, kMsgLineBuffer, 3, 3, kMsgTextChars, ' ', false});
  c->msg_count = static_cast<int16_t>(n);
  f->close();
  return 0;
}

int set_scr() {
  zkall_ctop* c = ctop();
  if (!c) return 1;
  c->scr_count = 0;
  auto& p = platform::current();
  int err = 0;
  platform::StreamPtr f = p.fopen(file_name("ZKDROM%2.2s.SCR"), "rt", err);
  if (!f) return 1;
  release(g_scr);
  c->scr_table = 0;
  if (!p.allocate(kScrRecords * kScrRecordSize, g_scr.block)) {
    f->close();
    return 1;
  }
  c->scr_table = address_field_value(g_scr.block.data());
  const size_t n = load_lines(*f, {g_scr, kScrRecords, kScrLineBuffer, 4, 5, kScrTextChars, '\0', true});
  c->scr_count = static_cast<int16_t>(n);
  f->close();
  return 0;
}

void free_msg() {
  release(g_msg);
  if (zkall_ctop* c = ctop()) c->msg_table = 0;
}

void free_scr() {
  release(g_scr);
  if (zkall_ctop* c = ctop()) c->scr_table = 0;
}

const char* get_1stmsg_text(uint16_t number) {
  const zkall_ctop* c = ctop();
  const size_t count = c ? loaded(g_msg, c->msg_count) : 0;
  for (size_t i = 0; i < count; ++i) {
    if (record_number(g_msg, i) == number) {
      g_msg_number = number;
      g_msg_next = static_cast<uint16_t>(i + 1);
      return record_text(g_msg, i);
    }
  }
  return nullptr;
}

const char* get_2ndmsg_text() {
  const zkall_ctop* c = ctop();
  const size_t count = c ? loaded(g_msg, c->msg_count) : 0;
  const char* text = nullptr;
  if (g_msg_number != kNone && g_msg_next < count && record_number(g_msg, g_msg_next) == g_msg_number)
    text = record_text(g_msg, g_msg_next);
  g_msg_number = kNone;
  g_msg_next = kNone;
  return text;
}

const char* get_scr_text(uint16_t number) {
  const zkall_ctop* c = ctop();
  const size_t count = c ? loaded(g_scr, c->scr_count) : 0;
  // A screen asks for its texts one number after another: the next record is
  // taken without a search.
  if (number == g_scr_expected && g_scr_next < count) {
    const char* text = record_text(g_scr, g_scr_next);
    ++g_scr_expected;
    ++g_scr_next;
    return text;
  }
  for (size_t i = 0; i < count; ++i) {
    if (record_number(g_scr, i) == number) {
      g_scr_expected = static_cast<uint16_t>(number + 1);
      g_scr_next = static_cast<uint16_t>(i + 1);
      return record_text(g_scr, i);
    }
  }
  return nullptr;
}

int32_t vb_get_msg(int32_t number, char* vbstr) {
  const char* first = get_1stmsg_text(static_cast<uint16_t>(number));
  if (!first) return 0;
  char buf[kVbMsgBuffer] = {};
  std::memcpy(buf, first, kMsgTextChars);
  if (const char* second = get_2ndmsg_text()) {
    std::memcpy(buf + kMsgTextChars, "\r\n", 2);
    std::memcpy(buf + kMsgTextChars + 2, second, kMsgTextChars);
  }
  if (!vbstr) return 0;
  const uint32_t n = std::min<uint32_t>(platform::sys_string_byte_len(vbstr), kVbMsgBuffer);
  std::memcpy(vbstr, buf, n);
  return static_cast<int32_t>(n);
}

void vb_get_scr(int32_t number, char* vbstr) {
  const char* text = get_scr_text(static_cast<uint16_t>(number));
  if (!text || !vbstr) return;
  const size_t room = platform::sys_string_byte_len(vbstr);
  const size_t len = std::min(std::strlen(text), room);
  std::memcpy(vbstr, text, len);
  std::memset(vbstr + len, 0, room - len);
}

}  // namespace zk::startup
