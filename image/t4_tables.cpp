// The Modified Huffman codes of T.4 written out as bit strings, and the
// decoding tables built from them at compile time. Building the tables from
// the code list keeps the list the single statement of the codes: a code that
// overlaps another, or a second level of another size than the one the
// decoder was laid out for, stops the build.
#include "image/t4_tables.h"

#include <cstddef>

namespace zk::image::t4 {

namespace {

struct CodeText {
  const char* bits;
  int16_t run;
};

// White runs: terminating codes 0..63, then make-up codes 64..1728.
constexpr CodeText kWhiteCodes[] = {
    {"00110101", 0},      {"000111", 1},        {"0111", 2},          {"1000", 3},
    {"1011", 4},          {"1100", 5},          {"1110", 6},          {"1111", 7},
    {"10011", 8},         {"10100", 9},         {"00111", 10},        {"01000", 11},
    {"001000", 12},       {"000011", 13},       {"110100", 14},       {"110101", 15},
    {"101010", 16},       {"101011", 17},       {"0100111", 18},      {"0001100", 19},
    {"0001000", 20},      {"0010111", 21},      {"0000011", 22},      {"0000100", 23},
    {"0101000", 24},      {"0101011", 25},      {"0010011", 26},      {"0100100", 27},
    {"0011000", 28},      {"00000010", 29},     {"00000011", 30},     {"00011010", 31},
    {"00011011", 32},     {"00010010", 33},     {"00010011", 34},     {"00010100", 35},
    {"00010101", 36},     {"00010110", 37},     {"00010111", 38},     {"00101000", 39},
    {"00101001", 40},     {"00101010", 41},     {"00101011", 42},     {"00101100", 43},
    {"00101101", 44},     {"00000100", 45},     {"00000101", 46},     {"00001010", 47},
    {"00001011", 48},     {"01010010", 49},     {"01010011", 50},     {"01010100", 51},
    {"01010101", 52},     {"00100100", 53},     {"00100101", 54},     {"01011000", 55},
    {"01011001", 56},     {"01011010", 57},     {"01011011", 58},     {"01001010", 59},
    {"01001011", 60},     {"00110010", 61},     {"00110011", 62},     {"00110100", 63},
    {"11011", 64},        {"10010", 128},       {"010111", 192},      {"0110111", 256},
    {"00110110", 320},    {"00110111", 384},    {"01100100", 448},    {"01100101", 512},
    {"01101000", 576},    {"01100111", 640},    {"011001100", 704},   {"011001101", 768},
    {"011010010", 832},   {"011010011", 896},   {"011010100", 960},   {"011010101", 1024},
    {"011010110", 1088},  {"011010111", 1152},  {"011011000", 1216},  {"011011001", 1280},
    {"011011010", 1344},  {"011011011", 1408},  {"010011000", 1472},  {"010011001", 1536},
    {"010011010", 1600},  {"011000", 1664},     {"010011011", 1728},
};

// Black runs: terminating codes 0..63, then make-up codes 64..1728.
constexpr CodeText kBlackCodes[] = {
    {"0000110111", 0},     {"010", 1},            {"11", 2},             {"10", 3},
    {"011", 4},            {"0011", 5},           {"0010", 6},           {"00011", 7},
    {"000101", 8},         {"000100", 9},         {"0000100", 10},       {"0000101", 11},
    {"0000111", 12},       {"00000100", 13},      {"00000111", 14},      {"000011000", 15},
    {"0000010111", 16},    {"0000011000", 17},    {"0000001000", 18},    {"00001100111", 19},
    {"00001101000", 20},   {"00001101100", 21},   {"00000110111", 22},   {"00000101000", 23},
    {"00000010111", 24},   {"00000011000", 25},   {"000011001010", 26},  {"000011001011", 27},
    {"000011001100", 28},  {"000011001101", 29},  {"000001101000", 30},  {"000001101001", 31},
    {"000001101010", 32},  {"000001101011", 33},  {"000011010010", 34},  {"000011010011", 35},
    {"000011010100", 36},  {"000011010101", 37},  {"000011010110", 38},  {"000011010111", 39},
    {"000001101100", 40},  {"000001101101", 41},  {"000011011010", 42},  {"000011011011", 43},
    {"000001010100", 44},  {"000001010101", 45},  {"000001010110", 46},  {"000001010111", 47},
    {"000001100100", 48},  {"000001100101", 49},  {"000001010010", 50},  {"000001010011", 51},
    {"000000100100", 52},  {"000000110111", 53},  {"000000111000", 54},  {"000000100111", 55},
    {"000000101000", 56},  {"000001011000", 57},  {"000001011001", 58},  {"000000101011", 59},
    {"000000101100", 60},  {"000001011010", 61},  {"000001100110", 62},  {"000001100111", 63},
    {"0000001111", 64},    {"000011001000", 128}, {"000011001001", 192}, {"000001011011", 256},
    {"000000110011", 320}, {"000000110100", 384}, {"000000110101", 448}, {"0000001101100", 512},
    {"0000001101101", 576},  {"0000001001010", 640},  {"0000001001011", 704},
    {"0000001001100", 768},  {"0000001001101", 832},  {"0000001110010", 896},
    {"0000001110011", 960},  {"0000001110100", 1024}, {"0000001110101", 1088},
    {"0000001110110", 1152}, {"0000001110111", 1216}, {"0000001010010", 1280},
    {"0000001010011", 1344}, {"0000001010100", 1408}, {"0000001010101", 1472},
    {"0000001011010", 1536}, {"0000001011011", 1600}, {"0000001100100", 1664},
    {"0000001100101", 1728},
};

// Make-up codes 1792..2560, the same for both colours.
constexpr CodeText kExtendedCodes[] = {
    {"00000001000", 1792},  {"00000001100", 1856},  {"00000001101", 1920},
    {"000000010010", 1984}, {"000000010011", 2048}, {"000000010100", 2112},
    {"000000010101", 2176}, {"000000010110", 2240}, {"000000010111", 2304},
    {"000000011100", 2368}, {"000000011101", 2432}, {"000000011110", 2496},
    {"000000011111", 2560},
};

constexpr int bit_length(const char* bits) {
  int n = 0;
  while (bits[n] != '\0') ++n;
  return n;
}

constexpr unsigned bit_value(const char* bits) {
  unsigned v = 0;
  for (int i = 0; bits[i] != '\0'; ++i) v = (v << 1) | (bits[i] == '1' ? 1u : 0u);
  return v;
}

template <std::size_t SecondSize>
struct Tables {
  std::array<RunCode, 256> first{};
  std::array<RunCode, SecondSize> second{};
};

// Builds the two levels for one colour. A compile-time evaluation that reaches
// `throw` fails the build, which is how a faulty code list is caught.
template <std::size_t SecondSize, std::size_t N>
constexpr Tables<SecondSize> build(const CodeText (&codes)[N]) {
  Tables<SecondSize> t{};
  for (auto& e : t.first) e = {kInvalid, 0};
  for (auto& e : t.second) e = {kInvalid, 0};
  t.first[0] = {kEol, 0};

  auto each_code = [&](auto&& fn) {
    for (const auto& c : codes) fn(c);
    for (const auto& c : kExtendedCodes) fn(c);
  };

  // Codes of up to eight bits fill every window that begins with them.
  each_code([&](const CodeText& c) {
    const int len = bit_length(c.bits);
    if (len > 8) return;
    const unsigned base = bit_value(c.bits) << (8 - len);
    for (unsigned i = 0; i < (1u << (8 - len)); ++i) {
      if (t.first[base + i].length != 0 || base + i == 0) throw "overlapping codes";
      t.first[base + i] = {c.run, static_cast<int16_t>(len)};
    }
  });

  // Longer codes: per eight-bit prefix, a second level as wide as the longest
  // code behind it needs.
  int extra[256] = {};
  each_code([&](const CodeText& c) {
    const int len = bit_length(c.bits);
    if (len <= 8) return;
    const unsigned prefix = bit_value(c.bits) >> (len - 8);
    if (extra[prefix] < len - 8) extra[prefix] = len - 8;
  });
  int next = 0;
  for (unsigned p = 0; p < 256; ++p) {
    if (extra[p] == 0) continue;
    if (t.first[p].length != 0 || p == 0) throw "a long code shares a short code's prefix";
    t.first[p] = {static_cast<int16_t>(next), static_cast<int16_t>(-extra[p])};
    next += 1 << extra[p];
  }
  if (next != static_cast<int>(SecondSize)) throw "second level of an unexpected size";

  each_code([&](const CodeText& c) {
    const int len = bit_length(c.bits);
    if (len <= 8) return;
    const unsigned v = bit_value(c.bits);
    const RunCode& head = t.first[v >> (len - 8)];
    const int n = -head.length;
    const unsigned tail = v & ((1u << (len - 8)) - 1);  // the bits after the prefix
    const unsigned base = static_cast<unsigned>(head.value) + (tail << (n - (len - 8)));
    for (unsigned i = 0; i < (1u << (n - (len - 8))); ++i) {
      if (t.second[base + i].length != 0) throw "overlapping codes";
      t.second[base + i] = {c.run, static_cast<int16_t>(len)};
    }
  });
  return t;
}

constexpr auto kWhite = build<kWhiteSecondSize>(kWhiteCodes);
constexpr auto kBlack = build<kBlackSecondSize>(kBlackCodes);

constexpr ModeCode vertical(int8_t offset, uint8_t length) {
  // At or right of b1 the next b1 lies right of b1 too; left of it, the
  // element just below b1 is the first candidate.
  return {Mode::Vertical, length, offset, 0, 1, static_cast<int8_t>(offset >= 0 ? 1 : -1)};
}

// The white tables, then the black ones with their prefixes pointing behind
// the white second level.
constexpr std::array<RunCode, 2 * kFirstSize> join_first(const Tables<kWhiteSecondSize>& white,
                                                         const Tables<kBlackSecondSize>& black) {
  std::array<RunCode, 2 * kFirstSize> t{};
  for (int w = 0; w < kFirstSize; ++w) {
    t[w] = white.first[w];
    RunCode e = black.first[w];
    if (e.length < 0) e.value = static_cast<int16_t>(e.value + kWhiteSecondSize);
    t[kFirstSize + w] = e;
  }
  return t;
}

constexpr std::array<RunCode, kWhiteSecondSize + kBlackSecondSize> join_second(
    const Tables<kWhiteSecondSize>& white, const Tables<kBlackSecondSize>& black) {
  std::array<RunCode, kWhiteSecondSize + kBlackSecondSize> t{};
  for (int i = 0; i < kWhiteSecondSize; ++i) t[i] = white.second[i];
  for (int i = 0; i < kBlackSecondSize; ++i) t[kWhiteSecondSize + i] = black.second[i];
  return t;
}

constexpr std::array<ModeCode, 256> build_modes() {
  std::array<ModeCode, 256> m{};
  for (unsigned w = 0; w < 256; ++w) {
    if (w >= 0x80) m[w] = vertical(0, 1);                      // 1
    else if (w >= 0x60) m[w] = vertical(1, 3);                 // 011
    else if (w >= 0x40) m[w] = vertical(-1, 3);                // 010
    else if (w >= 0x20) m[w] = {Mode::Horizontal, 3, 0, 0, 0, 0};  // 001
    else if (w >= 0x10) m[w] = {Mode::Pass, 4, 0, 1, 0, 2};    // 0001
    else if (w >= 0x0C) m[w] = vertical(2, 6);                 // 000011
    else if (w >= 0x08) m[w] = vertical(-2, 6);                // 000010
    else if (w >= 0x06) m[w] = vertical(3, 7);                 // 0000011
    else if (w >= 0x04) m[w] = vertical(-3, 7);                // 0000010
    else m[w] = {Mode::Invalid, 0, 0, 0, 0, 0};                // 000000
  }
  return m;
}

constexpr std::array<uint16_t, 17> build_masks() {
  std::array<uint16_t, 17> m{};
  for (int n = 1; n <= 16; ++n) m[n] = static_cast<uint16_t>(0xFFFFu << (16 - n));
  return m;
}

}  // namespace

const std::array<RunCode, 2 * kFirstSize> kRunFirst = join_first(kWhite, kBlack);
const std::array<RunCode, kWhiteSecondSize + kBlackSecondSize> kRunSecond = join_second(kWhite, kBlack);
const std::array<ModeCode, 256> kModes = build_modes();
const std::array<uint16_t, 17> kMask = build_masks();

}  // namespace zk::image::t4
