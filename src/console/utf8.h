// UTF-8, the one encoding of every console's text: how many bytes a lead byte
// announces, which bytes continue a character, and turning characters into
// bytes and back. Shared by every front end; no system headers.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

constexpr std::size_t utf8MaximumLength = 4;

// How many bytes the character that begins with this byte takes: 1 for
// ASCII, 2 to 4 for the lead bytes 0xC0 to 0xF7, and 0 for a byte that
// begins none (a continuation byte, or 0xF8 to 0xFF). Only the form is read
// here: an overlong or out-of-range character counts too.
std::size_t utf8SequenceLength(int leadByte);

inline bool isUtf8ContinuationByte(int byte) { return byte >= 0x80 && byte <= 0xbf; }

// The character that the bytes, exactly one sequence of them, stand for;
// nothing if they stand for none: cut short, overlong, a surrogate, or
// beyond U+10FFFF.
std::optional<char32_t> decodeUtf8(std::string_view bytes);

// Writes the 1 to 4 bytes of the code point and returns how many.
std::size_t encodeUtf8(char32_t code, char* bytes);
