// What the terminal that TERM names can do, from the system's terminal
// database (terminfo, through ncurses' tinfo, which libedit uses too),
// never assumed: every sequence the game writes to a terminal comes from
// here, without the padding the database asks for slow terminals. Looked
// up once.
#pragma once

#include <string>
#include <string_view>

// Whether the terminal can be addressed: not so for TERM unset or empty,
// "dumb", a type the database does not know, or one that cannot move the
// cursor or clear. Such a terminal gets plain text and nothing else: no
// escape sequence, and its lines read through its own line discipline.
bool terminalCanBeAddressed();

// The bytes that clear the terminal: the database's clear, then its erase of
// the scroll-back where it has one; for a terminal that cannot be addressed,
// a form feed, as a file gets.
std::string_view terminalClear();

// What the line editor draws with, on a terminal that can be addressed.
struct TerminalMoves {
    std::string_view toRowStart;   // carriage return
    std::string_view clearToEnd;   // from the cursor to the end of the screen
    std::string_view clearScreen;  // the screen alone, the scroll-back kept
    std::string up(int rows) const;
    std::string right(int columns) const;
};
const TerminalMoves& terminalMoves();
