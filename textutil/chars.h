// Character classes of the text utilities.
//
// Fields hold single-byte characters of any code page, so every test here
// works on the byte's unsigned value and the classes are the plain ASCII
// ones: <cctype> is not used because its answers depend on the locale and a
// byte above 0x7F passed as a negative char is undefined behaviour there.
#pragma once

namespace zk::textutil {

// The byte a blank-padded field is padded with.
inline constexpr char kBlank = ' ';

// The highest byte value that counts as empty in a field: blank, NUL and the
// control characters.
inline constexpr unsigned char kBlankLikeMax = 0x20;

constexpr unsigned char byte_value(char c) { return static_cast<unsigned char>(c); }

// True for a byte of value 0x20 or less.
constexpr bool is_blank_like(char c) { return byte_value(c) <= kBlankLikeMax; }

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

constexpr bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

constexpr bool is_alnum(char c) { return is_digit(c) || is_letter(c); }

}  // namespace zk::textutil
