// How a key wait tells one key's bytes from the next key's on a terminal,
// without the operating system, so that tests and the fuzzer can feed it any
// byte stream. The POSIX console layer feeds it the controlling terminal.
#pragma once

#include <functional>

#include "console/platform.h"

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

// Takes exactly one key's bytes: a character (UTF-8 with its continuation
// bytes, or Alt with a character), a lone Escape, or a two-part key's
// escape sequence. NoKeyboard if the terminal gives nothing.
KeyPress takeOneKey(const TerminalBytes& terminal);
