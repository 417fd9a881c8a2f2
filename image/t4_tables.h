// Code tables of the illustration decoder: the Modified Huffman run-length
// codes of T.4 for white and black runs, the two-dimensional mode codes, and
// the 16-bit masks that set the bits of a black run.
//
// A run-length code is found with one lookup in a 256-entry first-level table
// indexed by the next eight bits of the stream (the window). Codes of up to
// eight bits are answered there. A longer code has an eight-bit prefix shared
// by a few codes; its first-level entry points into a small second-level
// table indexed by the 1, 4 or 5 bits after the window (32 second-level
// entries for white, 144 for black). A window of eight 0 bits is where an EOL
// begins: no run-length code starts with eight 0 bits.
#pragma once

#include <array>
#include <cstdint>

namespace zk::image::t4 {

// One table entry.
//
// First level: length 1..8 is a whole code of that many bits whose run is
// `value`; length < 0 is a prefix of a longer code: the -length bits after
// the window are added to `value` to index the second level; length 0 is
// either kEol (window of eight 0 bits) or kInvalid (no code begins so).
// Second level: length 9..13 is the whole code's length (the window
// included) and `value` its run; length 0 with kInvalid is no code.
struct RunCode {
  int16_t value;
  int16_t length;
};

inline constexpr int16_t kEol = -1;
inline constexpr int16_t kInvalid = -2;
// Runs of 64 and more are make-up codes: a terminating code (0..63) follows.
inline constexpr int16_t kFirstMakeUp = 64;

inline constexpr int kWhiteSecondSize = 32;
inline constexpr int kBlackSecondSize = 144;

// The tables of both colours side by side, so that the colour is part of
// the index: first level entry kFirstSize * colour + window (0 white, 1
// black), second level entry `value` + the bits after the window (the black
// prefixes point behind the white second level).
inline constexpr int kFirstSize = 256;
extern const std::array<RunCode, 2 * kFirstSize> kRunFirst;
extern const std::array<RunCode, kWhiteSecondSize + kBlackSecondSize> kRunSecond;

// Two-dimensional mode codes, recognised from the window:
//   1 V0, 011 VR1, 010 VL1, 000011 VR2, 000010 VL2, 0000011 VR3,
//   0000010 VL3, 0001 pass, 001 horizontal; 000000 begins no mode code
//   (an EOL or the extension code) and is refused.
//
// The vertical codes and the pass code move a0 to a changing element of
// the reference line and are described alike, so that the decoder takes
// them on one path: a0 goes to the element `to_b2` places after b1, plus
// `offset`; `stores` changing elements are stored (1 vertical, 0 pass); the
// cursor for the next b1 moves `b_step` places (+1 right of b1, -1 left of
// it, +2 past b2), from where its walk goes on.
enum class Mode : uint8_t { Vertical, Pass, Horizontal, Invalid };

struct alignas(8) ModeCode {  // eight bytes: an entry is found by a shift
  Mode mode;
  uint8_t length;  // bits of the code
  int8_t offset;   // a1 - b1 for the vertical modes
  uint8_t to_b2;
  uint8_t stores;
  int8_t b_step;
};

extern const std::array<ModeCode, 256> kModes;

// kMask[n]: n one-bits from the most significant end of a 16-bit word.
extern const std::array<uint16_t, 17> kMask;

}  // namespace zk::image::t4
