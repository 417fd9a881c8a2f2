// The illustration decoder: the bit reader, the line start with its EOL and
// fill bits, one- and two-dimensional lines, and the writing of rows into the
// caller's output pieces.
//
// Lines are kept as the pixel positions of their changing elements (where the
// colour changes, the first change from white to black). A finished line is
// followed by three copies of the width as end marks and becomes the
// reference line of the next one; the two line arrays exchange roles after
// every line. Everything a call needs is read from the members into locals at
// the start and written back only when the call stops, so the hot loop works
// on registers.
#include "image/t4_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "image/t4_tables.h"

namespace zk::image {

namespace {

constexpr int32_t kWhite = 0;

// A run-length lookup that could not finish for want of input.
constexpr int kNeedMore = -3;

// The last changing element stored plus the end marks must stay inside an
// array, and the cursor for b1 can stand on the second mark, with b2 on the
// third.
static_assert(kMaxChanges + 3 <= kLineEntries);

uint16_t* line_entries(platform::HeapBlock& block) {
  auto* p = reinterpret_cast<uint16_t*>(block.data());
  std::uninitialized_value_construct_n(p, kLineEntries);
  return std::launder(p);
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

}  // namespace

int32_t T4Decoder::init(int32_t width) {
  if (busy()) {
    std::fputs("PROGRAM ERROR (decode_init)\n", stderr);
    return -1;
  }
  if (width < 0 || width > kMaxWidth) return -1;
  auto& platform = platform::current();
  constexpr size_t kBytes = kLineEntries * sizeof(uint16_t);
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
  colour_ = kWhite;
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

void T4Decoder::begin_line(bool two_dimensional) {
  // A two-dimensional line starts on the imaginary white element just before
  // its first pixel, so that a changing element at pixel 0 of the reference
  // line lies to the right of a0.
  a0_ = two_dimensional ? -1 : 0;
  colour_ = kWhite;
  b_ = 0;
  count_ = 0;
  run_ = 0;
  phase_ = two_dimensional ? Phase::Mode : Phase::Run1D;
}

void T4Decoder::finish_line() {
  const auto mark = static_cast<uint16_t>(width_);
  cur_[count_] = cur_[count_ + 1] = cur_[count_ + 2] = mark;
  std::swap(ref_, cur_);
  write_run_ = 0;
  write_pos_ = 0;
  phase_ = Phase::WriteRow;
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

  // ---- locals of the hot loop ----
  uint64_t bits = bits_;
  int nb = nbits_;
  int32_t pos = std::min(in_pos_, input_length);
  const int32_t len = input_length;
  const uint8_t* const in = input;
  int32_t a0 = a0_;
  int32_t colour = colour_;
  int32_t b = b_;
  int32_t count = count_;
  int32_t run = run_;
  int32_t width = width_;
  const uint16_t* ref = ref_;
  uint16_t* cur = cur_;

  // Loads input bytes below the held bits; true when `need` bits are held.
  // With eight bytes at hand they are loaded in one go: the bits of a byte
  // loaded only in part are its true bits, so loading it again later ORs
  // the same bits in.
  auto fill = [&](int need) {
    if (len - pos >= 8) {
      uint64_t v = 0;
      for (int i = 0; i < 8; ++i) v = (v << 8) | in[pos + i];
      bits |= v >> nb;
      const int take = (64 - nb) >> 3;
      pos += take;
      nb += take * 8;
    } else {
      while (nb <= 56 && pos < len) {
        bits |= static_cast<uint64_t>(in[pos++]) << (56 - nb);
        nb += 8;
      }
    }
    return nb >= need;
  };
  auto window = [&] { return static_cast<unsigned>(bits >> 56); };
  auto consume = [&](int n) {
    bits <<= n;
    nb -= n;
  };
  // One run-length code: its run, t4::kEol, t4::kInvalid or kNeedMore.
  auto run_code = [&](const t4::RunCode* first, const t4::RunCode* second) -> int {
    if (nb < 8 && !fill(8)) return kNeedMore;
    t4::RunCode e = first[window()];
    if (e.length > 0) {
      consume(e.length);
      return e.value;
    }
    if (e.length == 0) return e.value;
    const int n = -e.length;
    if (nb < 8 + n && !fill(8 + n)) return kNeedMore;
    e = second[e.value + static_cast<int>((bits << 8) >> (64 - n))];
    if (e.length == 0) return t4::kInvalid;
    consume(e.length);
    return e.value;
  };
  auto run_of = [&](bool black) {
    return black ? run_code(t4::kBlackFirst.data(), t4::kBlackSecond.data())
                 : run_code(t4::kWhiteFirst.data(), t4::kWhiteSecond.data());
  };
  // The finished line becomes the reference line; its row is written next.
  auto end_line = [&] {
    count_ = count;
    finish_line();
    ref = ref_;
    cur = cur_;
  };
  auto save = [&] {
    bits_ = nb == 0 ? 0 : bits & (~uint64_t{0} << (64 - nb));
    nbits_ = nb;
    in_pos_ = pos;
    a0_ = a0;
    colour_ = colour;
    b_ = b;
    count_ = count;
    run_ = run;
  };
  auto fail = [&](int32_t status) {
    phase_ = Phase::Failed;
    error_ = status;
    return DecodeResult{status, 0};
  };

  for (;;) {
    switch (phase_) {
      case Phase::LineStart:
        if (nb < 8 && !fill(8)) goto need_input;
        if (window() != 0) {
          begin_line(true);
          a0 = a0_, colour = colour_, b = b_, count = count_, run = run_;
        } else {
          consume(5);
          phase_ = Phase::EolFill;
        }
        break;

      case Phase::EolFill: {
        // Eleven or more 0 bits, a 1, the tag bit: after five 0 bits the
        // window is 0000001T; fill bits before the EOL are skipped two at a
        // time, one more when an odd number is left.
        if (nb < 8 && !fill(8)) goto need_input;
        const unsigned w = window();
        if (w == 0) {
          consume(2);
        } else if (w == 1) {
          consume(1);
        } else if (w == 2 || w == 3) {
          tag_1d_ = w == 3;
          consume(8);
          phase_ = Phase::EolTag;
        } else {
          return fail(kStatusInvalidCode);
        }
        break;
      }

      case Phase::EolTag:
        // A further EOL right after the tag (RTC, or EOFB) ends the image.
        if (nb < 8 && !fill(8)) goto need_input;
        if (window() == 0) {
          const DecodeResult end{kStatusEnd, row_offset_};
          release();
          return end;
        }
        begin_line(!tag_1d_);
        a0 = a0_, colour = colour_, b = b_, count = count_, run = run_;
        break;

      case Phase::Mode:
      case Phase::Horizontal1:
      case Phase::Horizontal2: {
        int stage = phase_ == Phase::Horizontal1 ? 1 : phase_ == Phase::Horizontal2 ? 2 : 0;
        for (;;) {
          if (stage == 0) {
            if (a0 >= width) break;
            if (nb < 8 && !fill(8)) {
              phase_ = Phase::Mode;
              goto need_input;
            }
            const t4::ModeCode m = t4::kModes[window()];
            // b1: the first changing element right of a0 of the colour
            // opposite to a0's; the end marks stop the walk.
            while (static_cast<int32_t>(ref[b]) <= a0) b += 2;
            if (m.mode == t4::Mode::Vertical) {
              const int32_t a1 = ref[b] + m.offset;
              if (a1 < std::max<int32_t>(a0, 0)) return fail(kStatusInvalidCode);
              if (a1 > width) return fail(kStatusOverrun);
              if (count >= kMaxChanges) return fail(kStatusInvalidCode);
              consume(m.length);
              cur[count++] = static_cast<uint16_t>(a1);
              a0 = a1;
              colour ^= 1;
              // The next b1 is of the other parity; the element just below
              // the old b1 is the first that can lie right of the new a0.
              b = b > 0 ? b - 1 : 1;
            } else if (m.mode == t4::Mode::Pass) {
              consume(m.length);
              a0 = ref[b + 1];
              b += 2;
            } else if (m.mode == t4::Mode::Horizontal) {
              if (count + 2 > kMaxChanges) return fail(kStatusInvalidCode);
              consume(m.length);
              run = 0;
              stage = 1;
            } else {
              return fail(kStatusInvalidCode);
            }
            continue;
          }
          // Horizontal mode: a run in a0's colour, then one in the other.
          const bool black = (colour ^ (stage == 2 ? 1 : 0)) != 0;
          const int32_t start = stage == 1 ? std::max<int32_t>(a0, 0) : cur[count - 1];
          int r;
          do {
            r = run_of(black);
            if (r == kNeedMore) {
              phase_ = stage == 1 ? Phase::Horizontal1 : Phase::Horizontal2;
              goto need_input;
            }
            if (r < 0) return fail(kStatusInvalidCode);
            run += r;
            if (run > width - start) return fail(kStatusOverrun);
          } while (r >= t4::kFirstMakeUp);
          cur[count++] = static_cast<uint16_t>(start + run);
          run = 0;
          if (stage == 2) a0 = cur[count - 1];
          stage = stage == 1 ? 2 : 0;
        }
        end_line();
        break;
      }

      case Phase::Run1D:
        for (;;) {
          const int r = run_of(colour != kWhite);
          if (r == kNeedMore) goto need_input;
          if (r == t4::kEol) break;  // left in the stream for the line start
          if (r < 0) return fail(kStatusInvalidCode);
          run += r;
          if (run > kMaxWidth - a0) return fail(kStatusOverrun);
          if (r >= t4::kFirstMakeUp) continue;
          if (count >= kMaxChanges) return fail(kStatusInvalidCode);
          a0 += run;
          cur[count++] = static_cast<uint16_t>(a0);
          run = 0;
          colour ^= 1;
        }
        // The runs of a one-dimensional line set the width from here on;
        // make-up codes cut short by the EOL count for nothing.
        width_ = width = a0;
        row_length_ = (a0 + 7) / 8;
        end_line();
        break;

      case Phase::WriteRow:
        if (row_offset_ >= 0 && row_offset_ < output_size - row_length_) {
          uint8_t* row = output + row_offset_;
          for (int32_t k = 0; k < count; k += 2) fill_run(row, ref[k], ref[k + 1]);
          row_offset_ += row_length_;
          phase_ = Phase::LineStart;
          break;
        }
        if (!write_row_across(output, output_size)) {
          save();
          return stop_output_full(output_size);
        }
        phase_ = Phase::RowDone;
        [[fallthrough]];

      case Phase::RowDone:
        if (row_offset_ >= output_size) {
          save();
          return stop_output_full(output_size);
        }
        phase_ = Phase::LineStart;
        break;

      case Phase::Idle:
      case Phase::Failed:
        return {kStatusInvalidCode, 0};
    }
  }

need_input:
  save();
  in_pos_ = 0;
  return {kStatusNeedInput, 0};
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
