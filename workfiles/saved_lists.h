// Saved lists: the master ZKIFSMST.SAV that numbers them, their data files
// ZKIF0001.SAV ... ZKIF9999.SAV, the vehicle record a data file begins with,
// and the current saved list of the ctop area (its number and open stream).
//
// The master is a sequence of 16-byte records, little-endian:
//   record 0 (header)   0 number of saved lists (16-bit, never above 9999)
//                       2 next number to give out (16-bit, 1..9999; 0: the
//                         first free entry)      4 zero (12)
//   record n (entry n)  0 state: 0 free, 1 saved, 'U' in use elsewhere, 'D'
//                         deleted    1 zero (3)    4 date DDMMYY  10 time HHMMSS
// Nothing here writes the error log: every function returns its code and
// leaves the system error number in `error`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace zk::workfiles {

inline constexpr size_t kMasterRecordSize = 16;
inline constexpr int32_t kMaxSaveNumber = 9999;
inline constexpr size_t kVehicleRecordSize = 99;
inline constexpr char kStateSaved = 1;
inline constexpr char kStateInUse = 'U';
inline constexpr char kStateDeleted = 'D';

// Error words that say which path could not be built.
inline constexpr int32_t kMasterPathError = 3001;
inline constexpr int32_t kDataOpenPathError = 1102;
inline constexpr int32_t kDataDeletePathError = 1501;

int make_save_mst_file_name(std::string& path);
int make_save_dat_file_name(int32_t number, std::string& path);

int open_save_mst_file(int16_t mode, platform::StreamPtr& stream, int32_t& error);
int close_stream(platform::StreamPtr& stream, int32_t& error);
int make_save_mst(int32_t& error);
int check_save_mst_file_exist(int32_t& count, int32_t& error);
int check_save_dat_file_exist(int32_t& count, int32_t& error);
int get_save_no(int32_t& number, int32_t& error);
int deldata_save_mst_file(int32_t number, int32_t& left, int32_t& error);

// With `stream` null the opened stream becomes the current saved list's.
int open_save_dat_file(int32_t number, int16_t sub_mode, int16_t mode, platform::StreamPtr* stream, int32_t& error);
// Closes the current saved list's stream and ends the current saved list.
int close_current_save_dat_file(int32_t& error);
int read_save_dat_file(platform::Stream* s, void* buffer, int32_t size, int32_t& error);
int write_save_dat_file(platform::Stream* s, const void* buffer, int32_t size, int32_t& error);
int seek_save_dat_file(platform::Stream* s, int32_t offset, int32_t& position, int32_t& error);
int del_save_dat_file(int32_t number, int32_t& error);
int check_save_dat_file_handle();
int reset_save_mst_flag(int32_t& error);

// The current saved list: its number (0 none) and its open stream (null
// none).
int32_t current_save_number();
platform::Stream* current_save_stream();

void set_save_file_vdata(char* record, int32_t number, const char* source);

}  // namespace zk::workfiles
