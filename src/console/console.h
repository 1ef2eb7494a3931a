// Console primitives: the only way the game talks to the player. Messages go
// to standard output, lines come from standard input, single key presses from
// the keyboard itself. Nothing here knows about the game.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>

// Thrown by the readers when standard input ends before a new line begins.
// Whoever started the game catches it and ends the program quietly.
struct EndOfInput {};

// Makes standard input, output and error safe to use, however the system
// handed them over; the first call of the program.
void openConsole();

// Writes the pieces, one line end, and flushes.
void printLine(std::initializer_list<std::string_view> pieces);

// Writes the pieces with no line end; they wait in the buffer until the next
// flush, which comes at the latest before the next read or screen clear.
void printText(std::initializer_list<std::string_view> pieces);

// Empties the window (a form feed when standard output is not a terminal).
void clearScreen();

// Waits for one key press on the keyboard, without echo. Returns at once when
// there is no keyboard, or when the previous key was a two-part key (an
// arrow, a function key ...), whose second half ends this wait.
void waitKey();

// Next non-blank character of the menu reader; the rest of its line is kept
// for later calls. Throws EndOfInput.
char readMenuChoice();

// Reads the next line into the buffer: at most size - 1 bytes and a zero
// byte; bytes after the zero keep what earlier lines left, the rest of a long
// line is dropped. Throws EndOfInput, leaving the buffer untouched.
void readCommand(std::span<char> line);

// Writes out whatever output is still pending.
void flushOutput();

// Writes out pending output and ends the terminal's row if text stands on
// it, so that the shell's prompt starts a row of its own; for the end of
// the program. A file or a pipe gets the game's bytes alone.
void closeConsole();

// Forgets buffered input and pending output, for tests and the fuzzer that
// run the game several times in one process on a new standard input.
void resetConsole();
