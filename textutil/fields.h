// Justifying, copying, replacing, testing and measuring fixed-width
// character fields.
//
// A field is a run of single-byte characters of known width, blank- or
// NUL-padded and not terminated (only strlft and strrep work on
// NUL-terminated text). Nothing here allocates, and nothing reads or writes
// outside the spans it is given. Where a function takes two fields, it works
// over the shorter of the two widths; the two may be the same field or
// overlap.
#pragma once

#include <cstddef>
#include <span>

namespace zk::textutil {

// ---- justifying, copying and replacing ------------------------------------

// Removes the leading run of `c`: the rest of the field moves to the front
// and the last n bytes become `c`. Returns n. A field made only of `c` is
// left as it is and gives its width.
std::size_t memlft(std::span<char> field, char c);

// Replaces every `c` in `src` by `f` (in `src` itself) and gives `dest` the
// source without its n leading bytes, followed by n bytes `f`, where n is
// the number of leading `c` the source held. Returns n.
std::size_t memlft2(std::span<char> dest, std::span<char> src, char c, char f);

// memlft over a NUL-terminated text (its bytes up to the NUL). A null text
// gives 0.
std::size_t strlft(char* text, char c);

// Copies `src` into `dest`, each byte `a` becoming `b`.
void memrep(std::span<char> dest, std::span<const char> src, char a, char b);

// Replaces every `a` of a NUL-terminated text by `b`; returns the number
// replaced. The text's extent is measured before replacing, so with `b` NUL
// every `a` of the original text is replaced, not only the first. A null
// text gives 0.
std::size_t strrep(char* text, char a, char b);

// Copies the bytes of `src` that come before its first NUL into the front of
// `dest`. `dest` is not terminated and its other bytes are unchanged.
void memncpy(std::span<char> dest, std::span<const char> src);

// From the end backwards, turns every blank-like byte into NUL, stopping at
// the first byte above 0x20.
void last_space2null(std::span<char> field);

// ---- tests and measures -----------------------------------------------------
// The tests hold for an empty field: it has no byte that breaks them.

// True when every byte is `c`.
bool memall(std::span<const char> field, char c);

// Index of the first `c`, -1 if there is none.
std::ptrdiff_t memclen(std::span<const char> field, char c);

// Number of leading bytes above 0x20: the index of the first blank-like byte,
// or the width.
std::size_t memlenf(std::span<const char> field);

// The width without trailing blank-like bytes: the index of the last byte
// above 0x20 plus 1, or 0 when there is none.
std::size_t memlenb(std::span<const char> field);

// True when every byte is a digit 0-9.
bool memisdigit(std::span<const char> field);

// True when every byte is an ASCII letter or digit.
bool memisalnum(std::span<const char> field);

// Index of the byte of a catalog code that may be a letter: a catalog code
// is digits with a letter or digit in its fifth place ("1234A5").
inline constexpr std::size_t kCatalogCodeLetterIndex = 4;

// True when the field has the form of a catalog code: the byte at index 4 a
// letter or digit, every other byte a digit. A field shorter than 5 bytes
// must be all digits.
bool memcatcheck(std::span<const char> field);

// Index of the first occurrence of `pattern` in `area`; 0 for an empty
// pattern (whatever the area), -1 when the pattern is longer than the area or
// does not occur.
std::ptrdiff_t memmem(std::span<const char> area, std::span<const char> pattern);

}  // namespace zk::textutil
