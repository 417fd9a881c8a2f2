// The on-disc format of an indexed catalog file set, and the results and
// detail codes of the engine that reads it.
//
// A set is one data file and 0 to 3 index levels. Every file is a run of
// 2048-byte blocks inside a physical file: it starts at its base block and
// has a size in blocks (a file of its own has base block 0).
//
// Index level block: entries of one fixed length, from the block's start,
// in ascending key order; an entry whose first byte is NUL ends the block.
//
//   offset            width  content
//   0                 ikl    index key (ikl = index key length)
//   ikl               6      child block number, ASCII decimal digits
//   ikl + 6           3      child block count, ASCII decimal digits
//   entry length = ikl + 9
//
// The child range lies in the next level, or below the last level in the
// data file, counted from that file's base block. The top level is exactly
// one block.
//
// Data block: records of the record length from the block's start, in
// ascending order of the key field (key length bytes at the key offset); a
// record whose first byte is NUL ends the block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

inline constexpr uint32_t kBlockSize = ZKALL_CD_BLOCK_SIZE;
inline constexpr int kMaxLevels = 3;        // index levels of a set
inline constexpr int kDescriptors = 4;      // top, middle, bottom, data
inline constexpr int kTopLevel = 0;
inline constexpr int kBottomLevel = 2;
inline constexpr int kDataLevel = 3;
inline constexpr int32_t kInOrderLevel = 99;  // current level while reading without the index
inline constexpr size_t kSearchKeySize = ZKALL_CD_SEARCH_KEY_SIZE;
inline constexpr size_t kLastKeySize = ZKALL_CD_LAST_KEY_SIZE;

inline constexpr size_t kChildBlockDigits = 6;
inline constexpr size_t kChildCountDigits = 3;
inline constexpr size_t kChildPointerSize = kChildBlockDigits + kChildCountDigits;
inline constexpr uint32_t kMaxChildBlock = 999999;
inline constexpr uint32_t kMaxChildCount = 999;

// Match masks: the outcome bits of a comparison and the masks built of them.
inline constexpr uint8_t kKeyBelow = 1;
inline constexpr uint8_t kKeyEqual = 2;
inline constexpr uint8_t kKeyAbove = 4;
inline constexpr uint8_t kMaskExact = kKeyEqual;               // 2
inline constexpr uint8_t kMaskNotBelow = kKeyBelow | kKeyEqual;  // 3

// File kind numbers that change the engine's behaviour.
inline constexpr bool is_alternate_kind(uint8_t kind) { return kind == 2 || kind == 3; }
inline constexpr bool drops_sixth_byte(uint8_t kind) { return kind == 14 || kind == 15; }
inline constexpr size_t kDroppedKeyByte = 5;  // the sixth byte, counted from 0

inline constexpr int32_t kReadModeRecord = 0;
inline constexpr int32_t kReadModeBlock = 1;

// Location kinds: where a file of the set lies.
inline constexpr uint8_t kLocationOwnFile = 0;
inline constexpr uint8_t kLocationHardDisk = 1;
inline constexpr uint8_t kLocationInMaster = 2;

// Results shared by the whole catalog subsystem.
namespace rc {
inline constexpr int kOk = 0;
inline constexpr int kNotFound = -1;
inline constexpr int kOpenFailed = 11;
inline constexpr int kCloseFailed = 12;
inline constexpr int kReadFailed = 14;
inline constexpr int kSeekFailed = 15;
inline constexpr int kNoMemory = 20;
inline constexpr int kRefused = 128;
}  // namespace rc

// Detail codes that go with rc::kRefused.
namespace detail_code {
inline constexpr int32_t kReadNoHandle = 400;
inline constexpr int32_t kBadBlockRequest = 401;
inline constexpr int32_t kBadRecordLength = 402;
inline constexpr int32_t kKeyOutsideRecord = 403;
inline constexpr int32_t kKeyTooLong = 404;
inline constexpr int32_t kBadSearchKey = 405;
inline constexpr int32_t kBadIndexLayout = 406;
inline constexpr int32_t kBadLevelCount = 407;
inline constexpr int32_t kBadChildPointer = 408;
inline constexpr int32_t kChildRangePastEnd = 409;
inline constexpr int32_t kStepRefused = 410;
inline constexpr int32_t kUnreadableLocation = 411;
inline constexpr int32_t kWorkLimit = 412;
inline constexpr int32_t kSeekOnlyNoHandle = 501;
inline constexpr int32_t kSeekOnlyBadLevel = 502;
inline constexpr int32_t kSeekOnlyNotOpen = 503;
inline constexpr int32_t kSeekNoHandle = 511;
inline constexpr int32_t kSeekBadLevel = 512;
inline constexpr int32_t kReopenNoHandle = 601;
inline constexpr int32_t kSeekKeyRefused = 800;
inline constexpr int32_t kCloseNotOwned = 900;
}  // namespace detail_code

// Refuses a request: the detail code goes to `detail`, the result is 128.
inline int refuse(int32_t& detail, int32_t code) {
  detail = code;
  return rc::kRefused;
}

}  // namespace zk::catalog
