// The illustration decoder: turns a T.4 two-dimensional (Modified READ) coded
// stream, or a T.6 stream, into rows of one-bit pixels.
//
// The stream: each line is announced by an EOL (eleven or more 0 bits, then
// a 1) followed by a tag bit, 1 for a one-dimensional line (Modified Huffman
// runs, alternately white and black) and 0 for a two-dimensional line (coded
// against the line above). A line without an EOL in front of it is
// two-dimensional, so T.6 streams decode as well. The image ends where an
// EOL and its tag are followed by eight 0 bits (RTC, or EOFB in T.6).
//
// The output: rows of (width + 7) / 8 bytes, most significant bit leftmost,
// 1 black, unused bits at the end of a row 0, rows back to back, first line
// first. The decoder is fed the stream in pieces and hands its output over in
// pieces; it can stop at any bit of the input and any byte of the output and
// go on from there on the next call.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace zk::image {

// Status words of a decode call.
inline constexpr int32_t kStatusInitialised = 0x1F02;
inline constexpr int32_t kStatusOutputFull = 0x1500;
inline constexpr int32_t kStatusNeedInput = 0x2000;
inline constexpr int32_t kStatusEnd = 0x9F00;
inline constexpr int32_t kStatusNoMemory = 0x8F08;
inline constexpr int32_t kStatusOverrun = 0x8F0C;
inline constexpr int32_t kStatusInvalidCode = 0x8F0E;
// Statuses in this range are errors.
inline constexpr int32_t kStatusErrorFirst = 0x8F00;
inline constexpr int32_t kStatusErrorLast = 0x8FFF;

constexpr bool is_error_status(int32_t status) {
  return status >= kStatusErrorFirst && status <= kStatusErrorLast;
}

// Entries of each of the two line arrays. A line with more changing elements
// than fit (with the three end marks behind them) is refused as invalid code.
inline constexpr int kLineEntries = 5733;
inline constexpr int kMaxChanges = kLineEntries - 3;
// Widths are 16-bit signed numbers.
inline constexpr int32_t kMaxWidth = 32767;

struct DecodeResult {
  int32_t status = 0;
  int32_t output_length = 0;  // bytes delivered in this call's output buffer
};

class T4Decoder {
 public:
  T4Decoder() = default;
  T4Decoder(const T4Decoder&) = delete;
  T4Decoder& operator=(const T4Decoder&) = delete;

  // Starts a new image of `width` pixels: 0, or kStatusNoMemory when a line
  // array cannot be allocated (one already allocated stays, and the decoder
  // stays busy until release()), or -1 when the decoder is busy (the message
  // "PROGRAM ERROR (decode_init)" then goes to the standard error stream) or
  // the width is outside 0..kMaxWidth.
  int32_t init(int32_t width);

  // Decodes from `input` into `output` until the output is full
  // (kStatusOutputFull), the input is used up (kStatusNeedInput), the image
  // ends (kStatusEnd, which releases the line arrays) or an error status.
  // After kStatusNeedInput the caller passes the next bytes of the stream and
  // the same output buffer, untouched; after kStatusOutputFull the same input
  // again and an output buffer to be cleared and refilled. An error is final:
  // every later call answers it again until release().
  DecodeResult decode(const uint8_t* input, int32_t input_length, uint8_t* output, int32_t output_size);

  // Frees the line arrays of an image that is abandoned; true when there were
  // any. The next init() then starts afresh.
  bool release();

  bool busy() const { return !line_a_.empty() || !line_b_.empty(); }
  int32_t width() const { return width_; }

 private:
  enum class Phase : uint8_t {
    Idle,       // no image
    LineStart,  // before a line: EOL or not
    EolFill,    // inside an EOL: its 0 bits, then the 1 and the tag
    EolTag,     // after the tag: eight 0 bits end the image
    Mode,       // two-dimensional line: at a mode code
    Horizontal1,
    Horizontal2,
    Run1D,      // one-dimensional line: in a run
    WriteRow,   // setting the bits of the finished line in the output
    RowDone,    // the row is written; handing over full buffers
    Failed,
  };

  // How a step of the decoding ended: its part done, input used up, an
  // error (kept in error_), or the end of the image (at a line start).
  enum class Step : uint8_t { Done, NeedInput, Failed, End };

  Step line_start(const uint8_t* in, int32_t len);
  Step two_dimensional_line(const uint8_t* in, int32_t len);
  Step one_dimensional_line(const uint8_t* in, int32_t len);
  Step fail(int32_t status);
  void end_line();
  bool write_row_across(uint8_t* out, int32_t size);
  DecodeResult stop_output_full(int32_t size);

  platform::HeapBlock line_a_;
  platform::HeapBlock line_b_;
  uint16_t* ref_ = nullptr;  // changing elements of the previous line, then 3 end marks
  uint16_t* cur_ = nullptr;  // changing elements of the line being decoded

  Phase phase_ = Phase::Idle;
  int32_t error_ = 0;

  // Bit reader: the held bits from the most significant end, how many.
  uint64_t bits_ = 0;
  int nbits_ = 0;
  int32_t in_pos_ = 0;

  int32_t width_ = 0;
  int32_t row_length_ = 0;

  // Line being decoded. The colour at a0 is the parity of count_: every
  // changing element stored flips it, a pass code stores none.
  int32_t a0_ = 0;     // -1 at the start of a two-dimensional line
  int32_t b_ = 0;      // cursor into ref_: candidate for b1, of the parity of count_ (-1:
                       // the 0 entry in front of the line)
  int32_t count_ = 0;  // changing elements in cur_
  int32_t run_ = 0;    // make-up codes summed so far
  bool tag_1d_ = false;

  // Output.
  bool clear_pending_ = false;  // clear the buffer before the next write
  bool held_ = false;           // held_byte_ becomes byte 0 of the next buffer
  uint8_t held_byte_ = 0;
  int32_t row_offset_ = 0;      // where the row's byte 0 goes; negative while finishing a row
  int32_t write_run_ = 0;       // black run being written (index of its start in ref_)
  int32_t write_pos_ = 0;       // next pixel of that run
};

// The process-wide decoder behind the C entry points.
T4Decoder& decoder();

// The entry point of the catalog's programs: command 0 initialises with
// *width, any other command decodes (see zkall.h for the contract).
int32_t decode_exec(int32_t command, int32_t* width, const uint8_t* input, const int32_t* input_length,
                    uint8_t* output, int32_t* output_length, int32_t* status);
int32_t decode_init(int32_t width);
// 0 when an image's line arrays were freed, -1 when the decoder was idle.
int32_t decode_release();

}  // namespace zk::image
