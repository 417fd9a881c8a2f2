// The illustration decoder: the bit reader, the line start with its EOL and
// fill bits, one- and two-dimensional lines, and the writing of rows into the
// caller's output pieces.
//
// Lines are kept as the pixel positions of their changing elements (where the
// colour changes, the first change from white to black). A finished line is
// followed by three copies of the width as end marks and becomes the
// reference line of the next one; the two line arrays exchange roles after
// every line.
//
// A decode call goes on with the step where the previous call stopped: the
// line start, a two-dimensional line, a one-dimensional line or the writing
// of a row. Each step reads the state it needs from the members into locals,
// works on those and writes them back only when it stops. The bit reader
// holds up to 64 bits and loads eight input bytes at a time while eight are
// left, a byte at a time near the end of a piece, so the loops test the
// number of held bits and rarely load.
//
// Speed comes mostly from branches the processor can foresee: vertical and
// pass codes share one path, the usual single step of the walk to b1 is
// taken without a branch, and runs of up to eight bits are answered by one
// lookup with the colour as part of the index. Rows are written 64 pixels
// per store while the row lies well inside the output buffer (runs set word
// by word, or, on a line with many changing elements, one bit flipped per
// changing element and the parities taken word by word), and with the
// byte-exact writer of the buffer's end otherwise.
#include "image/t4_decoder.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "image/t4_tables.h"

namespace zk::image {

namespace {

// A run-length lookup that could not finish for want of input.
constexpr int kNeedMore = -3;

// The last changing element stored plus the end marks must stay inside an
// array, and the cursor for b1 can stand on the second mark, with b2 on the
// third.
static_assert(kMaxChanges + 3 <= kLineEntries);

// Each line array has one entry more in front of its first, always 0: after
// a vertical code left of b1 the cursor steps back to the element below b1,
// which for the first element of a line is this one, and 0 lies at or left
// of any a0 there, so the walk to b1 goes on from the line's second element
// without a test for the beginning of the line.
constexpr int kLeadingEntries = 1;

uint16_t* line_entries(platform::HeapBlock& block) {
  auto* p = reinterpret_cast<uint16_t*>(block.data());
  std::uninitialized_value_construct_n(p, kLeadingEntries + kLineEntries);
  return std::launder(p) + kLeadingEntries;
}

inline uint64_t load_big_endian(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  return v;
}

inline void store_big_endian(uint8_t* p, uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  std::memcpy(p, &v, sizeof v);
}

// The bit reader of one step of the decoder: the held bits from the most
// significant end and their number, the input piece and the position of its
// next byte. Bits beyond the held ones may be set (see refill); save() masks
// them off.
struct BitReader {
  uint64_t bits;
  int nb;
  int32_t pos;
  const uint8_t* in;
  int32_t len;

  // Loads input bytes below the held bits. With eight bytes at hand they are
  // loaded in one go, as many whole bytes counted as fit: the bits of a byte
  // loaded only in part are its true bits, so loading it again later ORs the
  // same bits in.
  void refill() {
    if (len - pos >= 8) {
      bits |= load_big_endian(in + pos) >> nb;
      pos += (63 - nb) >> 3;
      nb |= 56;
    } else {
      while (nb <= 56 && pos < len) {
        bits |= static_cast<uint64_t>(in[pos++]) << (56 - nb);
        nb += 8;
      }
    }
  }
  // Loads eight bytes when at least eight are left, however many bits are
  // held.
  void top_up() {
    if (len - pos >= 8) [[likely]] {
      bits |= load_big_endian(in + pos) >> nb;
      pos += (63 - nb) >> 3;
      nb |= 56;
    }
  }
  // True when `n` bits are held, loading more when fewer are.
  bool have(int n) {
    if (nb < n) refill();
    return nb >= n;
  }
  unsigned window() const { return static_cast<unsigned>(bits >> 56); }
  void consume(int n) {
    bits <<= n;
    nb -= n;
  }
  // The first-level entry of the run-length code in the window; the
  // colour is 0 for white, 1 for black. Needs eight held bits.
  t4::RunCode first_level(ptrdiff_t colour) const {
    return t4::kRunFirst[static_cast<size_t>(colour << 8) | window()];
  }
  // The rest of a run-length code whose first-level entry `e` is no whole
  // code: its run, t4::kEol, t4::kInvalid or kNeedMore.
  int long_code(t4::RunCode e) {
    if (e.length == 0) return e.value;
    const int n = -e.length;
    if (!have(8 + n)) return kNeedMore;
    e = t4::kRunSecond[static_cast<size_t>(e.value + static_cast<int>((bits << 8) >> (64 - n)))];
    if (e.length == 0) return t4::kInvalid;
    consume(e.length);
    return e.value;
  }
  void save(uint64_t& held, int& count, int32_t& position) const {
    held = nb == 0 ? 0 : bits & (~uint64_t{0} << (64 - nb));
    count = nb;
    position = pos;
  }
};

// How the reading of a run ended, and the run read so far.
enum class RunEnd : uint8_t { Complete, NeedInput, Eol, Invalid, Overrun };
struct RunRead {
  int32_t run;
  RunEnd end;
};

// Reads a run of horizontal mode or of a one-dimensional line, make-up codes
// and a terminating code, adding each to `run` (make-up codes read by the
// previous call); a run above `limit` is an overrun. The colour is 0 for
// white, 1 for black.
inline RunRead read_run(BitReader& rd, ptrdiff_t colour, int32_t run, int32_t limit) {
  for (;;) {
    if (!rd.have(8)) [[unlikely]] return {run, RunEnd::NeedInput};
    const t4::RunCode e = rd.first_level(colour);
    int r = e.value;
    if (e.length > 0) [[likely]] {
      rd.consume(e.length);
    } else {
      r = rd.long_code(e);
      if (r < 0) return {run, r == kNeedMore ? RunEnd::NeedInput : r == t4::kEol ? RunEnd::Eol : RunEnd::Invalid};
    }
    run += r;
    if (run > limit) [[unlikely]] return {run, RunEnd::Overrun};
    if (r < t4::kFirstMakeUp) [[likely]] return {run, RunEnd::Complete};
  }
}

// Sets the pixels s..e-1 of the row that begins at `row`.
inline void fill_run(uint8_t* row, int32_t s, int32_t e) {
  if (s >= e) return;
  const int32_t first = s >> 3;
  const int32_t last = (e - 1) >> 3;
  const auto head = static_cast<uint8_t>(0xFFu >> (s & 7));
  const auto tail = static_cast<uint8_t>(0xFFu << (7 - ((e - 1) & 7)));
  if (first == last) {
    row[first] |= static_cast<uint8_t>(head & tail);
    return;
  }
  row[first] |= head;
  for (int32_t i = first + 1; i < last; ++i) row[i] = 0xFF;
  row[last] |= tail;
}

// Writes the black runs of a line (changing elements `changes`, `count` of
// them, an end mark behind) into a row of 0 bytes, left to right: the pixels
// of one 64-pixel word are gathered in a register and stored at once, whole
// black words in between are stored directly. Words without a black pixel
// are not stored; the last word stored may reach up to seven bytes past the
// row, writing 0 bytes there.
void write_row_words(uint8_t* row, const uint16_t* changes, int32_t count) {
  uint64_t word_bits = 0;
  uint32_t word = 0;
  for (int32_t k = 0; k < count; k += 2) {
    const uint32_t s = changes[k];
    const uint32_t e = changes[k + 1];
    if (s >= e) continue;
    const uint32_t first = s >> 6;
    const uint32_t last = (e - 1) >> 6;
    // The word gathered so far is stored whether or not this run goes on
    // in it: a store is cheaper than a branch that follows the pixels.
    store_big_endian(row + 8 * word, word_bits);
    if (first != word) word_bits = 0;
    word = first;
    const uint64_t head = ~uint64_t{0} >> (s & 63);
    const uint64_t tail = ~uint64_t{0} << (63 - ((e - 1) & 63));
    if (first == last) {
      word_bits |= head & tail;
      continue;
    }
    store_big_endian(row + 8 * word, word_bits | head);
    for (uint32_t w = first + 1; w < last; ++w) store_big_endian(row + 8 * w, ~uint64_t{0});
    word = last;
    word_bits = tail;
  }
  store_big_endian(row + 8 * word, word_bits);
}

// Writes a line with many changing elements (`count` of them, in order, the
// last ones possibly at the width) into a row of 0 bytes: each changing
// element inside the row flips its pixel's bit, and then every pixel becomes
// the parity of the bits up to it, 64 pixels at a time. Two changing
// elements at the same pixel (a run of length 0) cancel. The parity past the
// width is cut off in the last word; up to seven 0 bytes past the row may be
// stored.
void write_row_changes(uint8_t* row, const uint16_t* changes, int32_t count, int32_t width) {
  while (count > 0 && changes[count - 1] >= width) --count;
  for (int32_t k = 0; k < count; ++k) {
    const uint32_t p = changes[k];
    row[p >> 3] ^= static_cast<uint8_t>(0x80u >> (p & 7));
  }
  const int32_t words = (width + 63) >> 6;
  uint64_t carry = 0;  // all 1 bits while the pixels left of the word are black
  for (int32_t w = 0; w < words; ++w) {
    uint64_t x = load_big_endian(row + 8 * w);
    x ^= x >> 1;
    x ^= x >> 2;
    x ^= x >> 4;
    x ^= x >> 8;
    x ^= x >> 16;
    x ^= x >> 32;
    x ^= carry;
    carry = 0 - (x & 1);
    if (w == words - 1) x &= ~uint64_t{0} << (63 - ((width - 1) & 63));
    store_big_endian(row + 8 * w, x);
  }
}

// Changing elements per 64-pixel word above which flipping bits and taking
// parities (about 11 instructions a changing element and 32 a word) is
// cheaper than setting the black runs (about 15 a changing element).
constexpr int32_t kDenseChangesPerWord = 8;

}  // namespace

int32_t T4Decoder::init(int32_t width) {
  if (busy()) {
    std::fputs("PROGRAM ERROR (decode_init)\n", stderr);
    return -1;
  }
  if (width < 0 || width > kMaxWidth) return -1;
  auto& platform = platform::current();
  constexpr size_t kBytes = (kLeadingEntries + kLineEntries) * sizeof(uint16_t);
  if (!platform.allocate(kBytes, line_a_)) return kStatusNoMemory;
  if (!platform.allocate(kBytes, line_b_)) return kStatusNoMemory;
  ref_ = line_entries(line_a_);
  cur_ = line_entries(line_b_);
  // The line above the first is all white: no changing element before the
  // end marks.
  ref_[0] = ref_[1] = ref_[2] = static_cast<uint16_t>(width);
  count_ = 0;

  phase_ = Phase::LineStart;
  error_ = 0;
  bits_ = 0;
  nbits_ = 0;
  in_pos_ = 0;
  width_ = width;
  row_length_ = (width + 7) / 8;
  a0_ = 0;
  b_ = 0;
  run_ = 0;
  tag_1d_ = false;
  clear_pending_ = true;
  held_ = false;
  held_byte_ = 0;
  row_offset_ = 0;
  write_run_ = 0;
  write_pos_ = 0;
  return 0;
}

bool T4Decoder::release() {
  const bool had = busy();
  line_a_ = platform::HeapBlock();
  line_b_ = platform::HeapBlock();
  ref_ = cur_ = nullptr;
  phase_ = Phase::Idle;
  return had;
}

// Writes the finished line (now ref_) from where the previous call stopped
// into a buffer that it reaches the end of. Bits are set two bytes at a time
// with the mask table, so the buffer's last byte is never the first of a
// pair: a pair that would begin there holds the byte back instead, the
// buffer goes out one byte short, and the byte becomes byte 0 of the next
// buffer. A one-byte buffer has no room for a pair and is written a byte at
// a time. False when the buffer is full before the row is complete.
bool T4Decoder::write_row_across(uint8_t* out, int32_t size) {
  for (; write_run_ < count_; write_run_ += 2, write_pos_ = 0) {
    const int32_t end = ref_[write_run_ + 1];
    int32_t p = std::max<int32_t>(ref_[write_run_], write_pos_);
    while (p < end) {
      const int32_t byte = row_offset_ + (p >> 3);
      const int bit = p & 7;
      if (byte >= size) {
        write_pos_ = p;
        return false;
      }
      if (byte < 0) {  // already handed over; cannot hold bits of this run
        p = ((p >> 3) + 1) << 3;
        continue;
      }
      if (byte == size - 1) {
        if (size > 1) {
          held_ = true;
          held_byte_ = out[byte];
          write_pos_ = p;
          return false;
        }
        const int n = std::min(end - p, 8 - bit);
        out[byte] |= static_cast<uint8_t>((t4::kMask[n] >> bit) >> 8);
        p += n;
        continue;
      }
      const int n = std::min(end - p, 16 - bit);
      const auto mask = static_cast<uint16_t>(t4::kMask[n] >> bit);
      out[byte] |= static_cast<uint8_t>(mask >> 8);
      out[byte + 1] |= static_cast<uint8_t>(mask);
      p += n;
    }
  }
  row_offset_ += row_length_;
  return true;
}

DecodeResult T4Decoder::stop_output_full(int32_t size) {
  const int32_t delivered = held_ ? size - 1 : size;
  row_offset_ -= delivered;
  clear_pending_ = true;
  return {kStatusOutputFull, delivered};
}

T4Decoder::Step T4Decoder::fail(int32_t status) {
  phase_ = Phase::Failed;
  error_ = status;
  return Step::Failed;
}

// The line start: an EOL with its fill bits and tag, or, without an EOL, a
// two-dimensional line at once. Done when a line begins (phase_ tells which
// kind), End when the EOL is followed by eight 0 bits.
T4Decoder::Step T4Decoder::line_start(const uint8_t* in, int32_t len) {
  BitReader rd{bits_, nbits_, in_pos_, in, len};
  Step step = Step::Done;
  if (phase_ == Phase::EolFill) goto eol_fill;
  if (phase_ == Phase::EolTag) goto eol_tag;

  rd.top_up();
  if (!rd.have(8)) {
    step = Step::NeedInput;
    goto stop;
  }
  if (rd.window() != 0) {
    tag_1d_ = false;
    goto begin_line;
  }
  {
    // An EOL whose 0 bits, 1, tag and the eight bits after it are all held
    // is taken at once: its 0 bits counted, the tag read.
    const int zeros = std::countl_zero(rd.bits);
    if (zeros >= 11 && zeros + 10 <= rd.nb) [[likely]] {
      tag_1d_ = ((rd.bits << (zeros + 1)) >> 63) != 0;
      rd.consume(zeros + 2);
      goto eol_tag;
    }
  }
  rd.consume(5);

eol_fill:
  // Eleven or more 0 bits, a 1, the tag bit: after five 0 bits the window is
  // 0000001T; fill bits before the EOL are skipped two at a time, one more
  // when an odd number is left.
  for (;;) {
    if (!rd.have(8)) {
      phase_ = Phase::EolFill;
      step = Step::NeedInput;
      goto stop;
    }
    const unsigned w = rd.window();
    if (w == 0) {
      rd.consume(2);
    } else if (w == 1) {
      rd.consume(1);
    } else if (w == 2 || w == 3) {
      tag_1d_ = w == 3;
      rd.consume(8);
      break;
    } else {
      return fail(kStatusInvalidCode);
    }
  }

eol_tag:
  // A further EOL right after the tag (RTC, or EOFB) ends the image.
  if (!rd.have(8)) {
    phase_ = Phase::EolTag;
    step = Step::NeedInput;
    goto stop;
  }
  if (rd.window() == 0) return Step::End;

begin_line:
  // A two-dimensional line starts on the imaginary white element just
  // before its first pixel, so that a changing element at pixel 0 of the
  // reference line lies to the right of a0.
  a0_ = tag_1d_ ? 0 : -1;
  b_ = 0;
  count_ = 0;
  run_ = 0;
  phase_ = tag_1d_ ? Phase::Run1D : Phase::Mode;

stop:
  rd.save(bits_, nbits_, in_pos_);
  return step;
}

// The mode codes of a two-dimensional line, from where the previous step
// stopped to the end of the line (Done).
T4Decoder::Step T4Decoder::two_dimensional_line(const uint8_t* in, int32_t len) {
  BitReader rd{bits_, nbits_, in_pos_, in, len};
  int32_t a0 = a0_;
  ptrdiff_t b = b_;
  ptrdiff_t count = count_;
  int32_t run = run_;
  const int32_t width = width_;
  const uint16_t* const ref = ref_;
  uint16_t* const cur = cur_;
  Step step = Step::Done;
  int32_t start = 0;
  RunRead read{};

  if (phase_ == Phase::Horizontal1) goto horizontal_first;
  if (phase_ == Phase::Horizontal2) goto horizontal_second;

mode:
  while (a0 < width) {
    if (!rd.have(8)) [[unlikely]] {
      phase_ = Phase::Mode;
      step = Step::NeedInput;
      goto stop;
    }
    const t4::ModeCode& m = t4::kModes[rd.window()];
    // b1: the first changing element right of a0 of the colour opposite to
    // a0's; the end marks stop the walk. The cursor is nearly always there
    // or one step before it: that step is taken without a branch, which the
    // processor could not foresee.
    b += static_cast<int32_t>(ref[b]) <= a0 ? 2 : 0;
    while (static_cast<int32_t>(ref[b]) <= a0) [[unlikely]] b += 2;
    if (m.mode <= t4::Mode::Pass) [[likely]] {
      const int32_t a1 = ref[b + m.to_b2] + m.offset;
      // A vertical code's a1 must not lie before pixel 0, past the width or
      // before a0 (one test for the first two); b2 of a pass code lies right
      // of a0 and not past the width.
      if (static_cast<uint32_t>(a1) > static_cast<uint32_t>(width) || a1 < a0) [[unlikely]] {
        return fail(a1 > width ? kStatusOverrun : kStatusInvalidCode);
      }
      if (count + m.stores > kMaxChanges) [[unlikely]] return fail(kStatusInvalidCode);
      rd.consume(m.length);
      cur[count] = static_cast<uint16_t>(a1);  // kept by a vertical code only
      count += m.stores;
      a0 = a1;
      b += m.b_step;
      continue;
    }
    if (m.mode != t4::Mode::Horizontal) return fail(kStatusInvalidCode);
    if (count + 2 > kMaxChanges) return fail(kStatusInvalidCode);
    rd.consume(m.length);
    run = 0;
    goto horizontal_first;
  }
  goto stop;

// Horizontal mode: a run in a0's colour, then one in the other; each is
// make-up codes and a terminating code.
horizontal_first:
  // Loading here, where the processor expects it, spares most of the loads
  // in the loop above, whose moment it cannot foresee.
  rd.top_up();
  start = std::max<int32_t>(a0, 0);
  read = read_run(rd, count & 1, run, width - start);
  run = read.run;
  if (read.end != RunEnd::Complete) [[unlikely]] {
    if (read.end == RunEnd::NeedInput) {
      phase_ = Phase::Horizontal1;
      step = Step::NeedInput;
      goto stop;
    }
    return fail(read.end == RunEnd::Overrun ? kStatusOverrun : kStatusInvalidCode);
  }
  cur[count++] = static_cast<uint16_t>(start + run);
  run = 0;

horizontal_second:
  start = cur[count - 1];
  read = read_run(rd, count & 1, run, width - start);
  run = read.run;
  if (read.end != RunEnd::Complete) [[unlikely]] {
    if (read.end == RunEnd::NeedInput) {
      phase_ = Phase::Horizontal2;
      step = Step::NeedInput;
      goto stop;
    }
    return fail(read.end == RunEnd::Overrun ? kStatusOverrun : kStatusInvalidCode);
  }
  a0 = start + run;
  cur[count++] = static_cast<uint16_t>(a0);
  run = 0;
  goto mode;

stop:
  rd.save(bits_, nbits_, in_pos_);
  a0_ = a0;
  b_ = static_cast<int32_t>(b);
  count_ = static_cast<int32_t>(count);
  run_ = run;
  return step;
}

// The runs of a one-dimensional line up to the EOL that ends it (Done),
// which is left in the stream for the line start.
T4Decoder::Step T4Decoder::one_dimensional_line(const uint8_t* in, int32_t len) {
  BitReader rd{bits_, nbits_, in_pos_, in, len};
  int32_t a0 = a0_;
  ptrdiff_t count = count_;
  int32_t run = run_;
  uint16_t* const cur = cur_;
  Step step = Step::Done;
  for (;;) {
    const RunRead read = read_run(rd, count & 1, run, kMaxWidth - a0);
    run = read.run;
    if (read.end != RunEnd::Complete) [[unlikely]] {
      if (read.end == RunEnd::NeedInput) {
        step = Step::NeedInput;
        break;
      }
      if (read.end == RunEnd::Eol) {
        // The runs of a one-dimensional line set the width from here on;
        // make-up codes cut short by the EOL count for nothing. The EOL is
        // left in the stream for the line start.
        width_ = a0;
        row_length_ = (a0 + 7) / 8;
        break;
      }
      return fail(read.end == RunEnd::Overrun ? kStatusOverrun : kStatusInvalidCode);
    }
    if (count >= kMaxChanges) return fail(kStatusInvalidCode);
    a0 += run;
    cur[count++] = static_cast<uint16_t>(a0);
    run = 0;
  }
  rd.save(bits_, nbits_, in_pos_);
  a0_ = a0;
  count_ = static_cast<int32_t>(count);
  run_ = run;
  return step;
}

DecodeResult T4Decoder::decode(const uint8_t* input, int32_t input_length, uint8_t* output, int32_t output_size) {
  if (input == nullptr || input_length < 1) return {kStatusNeedInput, 0};
  if (phase_ == Phase::Idle) return {kStatusInvalidCode, 0};
  if (phase_ == Phase::Failed) return {error_, 0};
  if (output == nullptr || output_size < 1) return {kStatusOutputFull, 0};

  if (clear_pending_) {
    std::memset(output, 0, static_cast<size_t>(output_size));
    if (held_) output[0] = held_byte_;
    held_ = false;
    clear_pending_ = false;
  }
  in_pos_ = std::min(in_pos_, input_length);

  // The steps follow one another in the order of the stream; only a call's
  // first step depends on where the previous call stopped.
  Step step = Step::Done;
  switch (phase_) {
    case Phase::LineStart:
    case Phase::EolFill:
    case Phase::EolTag: goto line_start;
    case Phase::Mode:
    case Phase::Horizontal1:
    case Phase::Horizontal2: goto two_dimensional;
    case Phase::Run1D: goto one_dimensional;
    case Phase::WriteRow: goto write_row;
    case Phase::RowDone: goto row_done;
    case Phase::Idle:
    case Phase::Failed: break;
  }
  return {kStatusInvalidCode, 0};

line_start:
  step = line_start(input, input_length);
  if (step == Step::End) {
    const DecodeResult end{kStatusEnd, row_offset_};
    release();
    return end;
  }
  if (step != Step::Done) goto stopped;
  if (phase_ == Phase::Run1D) goto one_dimensional;

two_dimensional:
  step = two_dimensional_line(input, input_length);
  if (step != Step::Done) goto stopped;
  goto line_end;

one_dimensional:
  step = one_dimensional_line(input, input_length);
  if (step != Step::Done) goto stopped;

line_end:
  end_line();

write_row:
  if (row_offset_ >= 0 && row_offset_ < output_size - row_length_) {
    // The row ends before the buffer's last byte: no byte is held back.
    uint8_t* row = output + row_offset_;
    if (row_offset_ + ((row_length_ + 7) & ~7) <= output_size) {
      if (count_ > kDenseChangesPerWord * ((width_ + 63) >> 6)) {
        write_row_changes(row, ref_, count_, width_);
      } else if (count_ > 0) {
        write_row_words(row, ref_, count_);
      }
    } else {
      for (int32_t k = 0; k < count_; k += 2) fill_run(row, ref_[k], ref_[k + 1]);
    }
    row_offset_ += row_length_;
    phase_ = Phase::LineStart;
    goto line_start;
  }
  if (!write_row_across(output, output_size)) return stop_output_full(output_size);
  phase_ = Phase::RowDone;

row_done:
  if (row_offset_ >= output_size) return stop_output_full(output_size);
  phase_ = Phase::LineStart;
  goto line_start;

stopped:
  if (step == Step::NeedInput) {
    in_pos_ = 0;
    return {kStatusNeedInput, 0};
  }
  return {error_, 0};
}

// The finished line becomes the reference line, followed by its end marks;
// its row is written next.
void T4Decoder::end_line() {
  const auto mark = static_cast<uint16_t>(width_);
  cur_[count_] = cur_[count_ + 1] = cur_[count_ + 2] = mark;
  std::swap(ref_, cur_);
  write_run_ = 0;
  write_pos_ = 0;
  phase_ = Phase::WriteRow;
}

// ---- the process-wide decoder ------------------------------------------------

T4Decoder& decoder() {
  static T4Decoder instance;
  return instance;
}

int32_t decode_init(int32_t width) { return decoder().init(width); }

int32_t decode_release() { return decoder().release() ? 0 : -1; }

int32_t decode_exec(int32_t command, int32_t* width, const uint8_t* input, const int32_t* input_length,
                    uint8_t* output, int32_t* output_length, int32_t* status) {
  if (width == nullptr || input_length == nullptr || output_length == nullptr || status == nullptr) return -1;
  if (command == 0) {
    const int32_t rc = decode_init(*width);
    *status = rc == 0 ? kStatusInitialised : rc;
    return rc == 0 ? 0 : -1;
  }
  if (input == nullptr || *input_length < 1) {
    *output_length = 0;
    *status = kStatusNeedInput;
    return 0;
  }
  const DecodeResult r = decoder().decode(input, *input_length, output, *output_length);
  *width = decoder().width();
  *status = r.status;
  if (is_error_status(r.status)) return -1;
  *output_length = r.output_length;
  return 0;
}

}  // namespace zk::image
