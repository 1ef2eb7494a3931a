// The seam between the console primitives and the system beneath them. Each
// front end implements it once, in its own folder, and the build picks one:
//   posix/platform.cpp     file descriptors, the controlling terminal, libedit
//   windows/platform.cpp   raw standard handles and the console input device
//   web/platform.cpp       a web page, through its scripts
//   headless/platform.cpp  standard output alone, for the page's first screen
// console.cpp alone calls these. Where the front ends differ, the comment
// says so.
#pragma once

#include <cstddef>

#include "key_press.h"

// Opens whichever of standard input, output and error is closed on the null
// device, so that no later open takes its place. Windows: a missing or
// invalid handle is opened on NUL. The page: nothing to lose.
void adoptStandardStreams();

// Reads up to capacity bytes of standard input; 0 means the input has ended
// (a read error counts as the end). POSIX: through the line editor when
// standard input is the controlling terminal. Windows: a console's lines as
// UTF-16, handed on as UTF-8. The page: lines typed into its field; its
// input never ends.
std::size_t readStandardInput(char* buffer, std::size_t capacity);

// Writes all bytes to standard output, waiting while it would block; errors
// are ignored. The page: to its text.
void writeStandardOutput(const char* bytes, std::size_t length);

// Whether standard output is a terminal (asked once, then remembered).
// Windows: a console. The page: always.
bool standardOutputIsTerminal();

// Clears a terminal window and its scroll-back, cursor to the top-left.
// POSIX: escape sequences. Windows: "cls". The page: empties its text.
void clearTerminal();

// At the end of the game: a terminal with text on the cursor's row gets a
// line end, so that the shell's prompt starts a row of its own. Files, pipes
// and the page get nothing more.
void endTerminalRow();

// Blocks until one key is pressed on the keyboard: the controlling terminal
// on POSIX, the console input device on Windows, whatever standard input is.
// The page always has a keyboard.
KeyPress readKeyPress();
