// The platform layer with no keyboard, no input and no terminal: key waits
// return at once, the input has ended, output goes to standard output as it
// is and a clear is a form feed, as in a file. The game over it writes its
// first screen at build time, for the page.
#include <cstdio>

#include "../platform.h"

void adoptStandardStreams() {}

std::size_t readStandardInput(char*, std::size_t) { return 0; }

void writeStandardOutput(const char* bytes, std::size_t length) {
    std::fwrite(bytes, 1, length, stdout);
}

bool standardOutputIsTerminal() { return false; }

void clearTerminal() {}

void endTerminalRow() {}

KeyPress readKeyPress() { return KeyPress::NoKeyboard; }
