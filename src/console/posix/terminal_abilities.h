// What the terminal that TERM names can do, from the system's terminal
// database (terminfo, through ncurses' tinfo, which libedit uses too),
// never assumed. Looked up once.
#pragma once

#include <string_view>

// Whether the terminal can be addressed: not so for TERM unset or empty,
// "dumb", a type the database does not know, or one it describes as unable
// to move the cursor or clear. Such a terminal gets plain text and nothing
// else: no escape sequence, and its lines read through its own line
// discipline.
bool terminalCanBeAddressed();

// The bytes that clear the terminal: the database's clear, then its erase of
// the scroll-back where it has one, without padding; for a terminal that
// cannot be addressed, a form feed, as a file gets.
std::string_view terminalClear();

// Keeps the database's padding (NUL bytes after a capability, for terminals
// of decades ago) out of whatever the library draws from now on.
void padWithNothing();
