// The controlling terminal, shared by the key waits and the line editor. It
// is opened once; its settings as found come back on every way out of a
// change, signals included; and its bytes are read one at a time into a
// small look-ahead, so that whatever one reader looked at but did not take
// stays for the next reader, as if typed at its prompt.
#pragma once

#include <termios.h>

#include <cstddef>

#include "console/posix/key_bytes.h"

// The controlling terminal's descriptor, or -1 if the process has none.
int controllingTerminal();

// Whether standard input is the controlling terminal itself.
bool inputIsControllingTerminal();

// The byte `ahead` places after the next untaken one, waiting at most the
// milliseconds (or forever) for it; noKeyByte if none comes in time or the
// terminal is gone. The look-ahead holds at most four bytes.
int peekTerminalByte(std::size_t ahead, int milliseconds);

// Takes the next count bytes, which peekTerminalByte has shown.
void takeTerminalBytes(std::size_t count);

// The terminal's bytes one at a time, as the key decoding reads them.
TerminalBytes terminalKeyBytes();

// Whether the terminal changed size since the last call.
bool terminalResized();

// While the guard lives, the terminal may be put in other settings; the
// settings it had when the guard began come back when it ends, and from the
// signal handlers meanwhile (SIGTSTP puts them back only while stopped).
// One guard at a time: guards never nest.
class TerminalSettingsGuard {
public:
    TerminalSettingsGuard();
    ~TerminalSettingsGuard();
    TerminalSettingsGuard(const TerminalSettingsGuard&) = delete;
    TerminalSettingsGuard& operator=(const TerminalSettingsGuard&) = delete;

    // Whether the settings could be read at all; if not, the guard does nothing.
    bool holds() const { return holds_; }
    const termios& found() const;
    void apply(const termios& settings) const;

private:
    bool holds_ = false;
};
