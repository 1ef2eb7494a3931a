// UTF-8, as far as the console layers need it: telling continuation bytes,
// and writing a code point's bytes. Portable, for every platform's layer.
#pragma once

#include <cstddef>

constexpr std::size_t utf8MaximumLength = 4;

inline bool isUtf8ContinuationByte(int byte) { return byte >= 0x80 && byte <= 0xbf; }

// Writes the 1 to 4 bytes of the code point and returns how many.
std::size_t encodeUtf8(char32_t code, char* bytes);
