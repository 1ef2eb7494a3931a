// The controlling terminal, shared by the key waits and the line editor. It
// is opened once; its settings as found come back on every way out of a
// change, signals included; and its bytes are read one at a time into a
// look-ahead of one, so that the byte one reader looked at but did not take
// stays for the next reader, as if typed at its prompt.
//
// Job control: stopped (Ctrl+Z at a prompt), the game leaves the terminal
// as found; continued, it waits in the background until the terminal is
// its own again, never touching it meanwhile, then puts back the settings
// of the moment and lets the line editor draw its line again.
#pragma once

#include <termios.h>

#include <cstddef>
#include <string_view>

#include "key_bytes.h"

// The controlling terminal's descriptor, or -1 if the process has none.
int controllingTerminal();

// Whether standard input is the controlling terminal itself.
bool inputIsControllingTerminal();

// The terminal's width in columns, or 0 if it does not say.
int terminalColumns();

// The next byte not yet taken, waiting at most the milliseconds (or
// forever) for it; noKeyByte if none comes in time or the terminal is gone.
int peekTerminalByte(int milliseconds);

// Takes the byte peekTerminalByte has shown.
void takeTerminalByte();

// Takes the byte in the look-ahead, if any, for a reader of the terminal's
// own lines; 0 if it holds none.
std::size_t takeLookAhead(char* buffer, std::size_t capacity);

// Writes the bytes to the terminal, all of them unless it is gone: the one
// way anything is drawn on it.
void writeTerminal(std::string_view bytes);

// The terminal's bytes one at a time, as the key decoding reads them.
TerminalBytes terminalKeyBytes();

// The signal the byte stands for at a prompt, as the terminal's line
// discipline would raise it (Ctrl+C, Ctrl+\, Ctrl+Z as the settings found
// have them), or 0. A key wait takes these bytes as keys; typed ahead of a
// prompt, they reach it as bytes.
int signalTypedAs(int byte);

// Sends the signal as the terminal's line discipline sends it for its key: to
// the whole foreground job, a wrapper script included, not to the game alone.
void signalForegroundJob(int signalNumber);

// What the line editor does while it reads, called from the reads of the
// terminal, outside any signal handler: after the terminal changed size,
// and after the game was continued and the terminal is back in the settings
// of the moment. Null while no line is edited.
struct TerminalRedraw {
    void (*resized)() = nullptr;
    void (*resumed)() = nullptr;
};
void setTerminalRedraw(TerminalRedraw redraw);

// While the guard lives, the terminal may be put in other settings; the
// settings it had when the guard began come back when it ends, and from the
// signal handlers meanwhile. One guard at a time: guards never nest. A guard
// begins only once the game is in the terminal's foreground.
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
