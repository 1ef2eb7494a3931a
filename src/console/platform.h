// What the console primitives need from the operating system. One file per
// platform implements it (posix/platform.cpp, windows/platform.cpp); only the
// console layer includes this header.
#pragma once

#include <cstddef>

// Opens whichever of standard input, output and error is closed (or, on
// Windows, missing) on the null device, so that no later open takes its place.
void adoptStandardStreams();

// Reads up to capacity bytes of standard input; 0 means the input has ended
// (a read error counts as the end).
std::size_t readStandardInput(char* buffer, std::size_t capacity);

// Writes all bytes to standard output; errors are ignored.
void writeStandardOutput(const char* bytes, std::size_t length);

// Whether standard output is a terminal (asked once, then remembered).
bool standardOutputIsTerminal();

// Clears a terminal window and its scroll-back, cursor to the top-left.
void clearTerminal();

enum class KeyPress {
    NoKeyboard,  // nothing to wait on
    Character,   // a key that yields a character
    TwoPart,     // a key with an extended code whose second half is pending
};

// Blocks until one key is pressed on the keyboard.
KeyPress readKeyPress();
