// Lines typed at the Windows console arrive as UTF-16 units, whatever the
// console's code page; the readers take UTF-8 bytes. The conversion, and
// what ends the input, told apart without the Windows headers so that the
// rules can be tested anywhere.
#pragma once

#include <cstddef>
#include <optional>

struct ConsoleTextState {
    char16_t heldHighSurrogate = 0;  // half a character, until its other half is read
    bool atLineStart = true;
};

// At most this many bytes come of each unit read, plus one held back.
constexpr std::size_t utf8BytesPerUnit = 3;

// Writes the UTF-8 bytes of the units the console gave into bytes, which has
// room for utf8BytesPerUnit * (count + 1), and returns how many; nothing if
// they are the end of input: Ctrl+Z at the start of a line. A surrogate that
// has no other half becomes U+FFFD.
std::optional<std::size_t> consoleUnitsToUtf8(const char16_t* units, std::size_t count,
                                              ConsoleTextState& state, char* bytes);
