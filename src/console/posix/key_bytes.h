// How a key wait tells one key's bytes from the next key's on a terminal,
// without the operating system, so that tests and the fuzzer can feed it any
// byte stream. The POSIX console layer feeds it the controlling terminal,
// for key waits and for the line editor alike.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "../key_press.h"

constexpr int noKeyByte = -1;

// A two-part key (an arrow, a function key, Home ...) comes as an escape
// sequence: the escape byte, then ESC [ with parameters up to a final byte,
// or ESC O and a final byte.
constexpr int escapeByte = 0x1b;
inline bool isFinalByte(int byte) { return byte >= 0x40 && byte <= 0x7e; }

// How long the rest of a key's bytes may take to arrive. A lone Escape is told
// from the start of an escape sequence by nothing following in time. A
// terminal sends a sequence's bytes at once, so 30 ms is ample, and shorter
// than the 100 ms others wait: Escape and a key typed quickly after it stay
// two keys.
constexpr int followUpMilliseconds = 30;

// A terminal's bytes as a wait sees them. peek shows the next byte without
// taking it, waiting at most the given milliseconds (or forever), and gives
// noKeyByte if none comes; take removes the byte peek showed.
struct TerminalBytes {
    std::function<int(int milliseconds)> peek;
    std::function<void()> take;
};

// One key as a wait took it: how many bytes, and the first of them (an
// escape sequence may run longer than any key a reader acts on).
struct Key {
    static constexpr std::size_t bytesKept = 16;
    KeyPress press = KeyPress::NoKeyboard;
    std::size_t length = 0;
    char bytes[bytesKept] = {};

    std::string_view kept() const { return {bytes, length < bytesKept ? length : bytesKept}; }
};

// Takes exactly one key's bytes: a character (UTF-8 with its continuation
// bytes, or Alt with a character), a lone Escape, or a two-part key's
// escape sequence. NoKeyboard if the terminal gives nothing.
Key takeOneKey(const TerminalBytes& terminal);

// Where a terminal sends nothing until Enter (an Emacs shell buffer), a key
// arrives with the rest of its line: takes that rest, its line end included,
// so that the Enter never reaches the next prompt as an empty line. Bytes
// after the line end stay.
void takeRestOfLine(const TerminalBytes& terminal, const Key& key);
