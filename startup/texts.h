// Message and screen texts of the menu language, loaded at start-up and
// fetched by number.
//
// Message file ZKDROMnn.MSG (nn: menu_lang) in the library's data directory:
// lines of three digits (the number) and the text. A message may have a
// second line: the record right after its first line with the same number.
// Screen file ZKDROMnn.SCR in the current directory: lines of four digits, a
// separator, the text; lines beginning with "#" are comments.
//
// Message table: 400 records of 74 bytes (number 2, text 72: the text
// blank-filled to 71 characters and a NUL). Screen table: 500 records of
// 73 bytes (number 2, text 71: at most 70 characters, NUL-filled).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::startup {

inline constexpr size_t kMsgRecordSize = 74;
inline constexpr size_t kMsgRecords = 400;
inline constexpr size_t kMsgTextChars = 71;
inline constexpr int kMsgLineBuffer = 80;
inline constexpr size_t kScrRecordSize = 73;
inline constexpr size_t kScrRecords = 500;
inline constexpr size_t kScrTextChars = 70;
inline constexpr int kScrLineBuffer = 100;
inline constexpr size_t kVbMsgBuffer = 148;

// 0, or 1 when the file cannot be opened or the table cannot be had.
int set_msg();
int set_scr();
void free_msg();
void free_scr();

// Texts live in the tables until free_msg / free_scr; null when missing.
const char* get_1stmsg_text(uint16_t number);
const char* get_2ndmsg_text();
const char* get_scr_text(uint16_t number);

// The message (first line, CR LF and the second line when there is one, each
// line its full 71 characters) into the front end's string: the bytes
// written, or 0 when the message is unknown.
int32_t vb_get_msg(int32_t number, char* vbstr);
// The screen text into the front end's string, NUL-filled; a missing text
// leaves the string as it is.
void vb_get_scr(int32_t number, char* vbstr);

}  // namespace zk::startup
