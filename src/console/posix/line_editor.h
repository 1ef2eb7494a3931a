// Lines typed at the controlling terminal, through libedit: it echoes and
// edits them and recalls the earlier lines of this game (in memory only),
// and the reader gets the finished line's bytes and a line feed, exactly as
// from a terminal in line mode. Used only when standard input is that terminal.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Up to capacity bytes of the line being typed, the rest at the next call;
// 0 at the end of input (Ctrl+D on an empty line). shown is the text already
// on the screen's last line, which stays in place as the line's prompt.
// Nothing if no editor can be had.
std::optional<std::size_t> readEditedLine(char* buffer, std::size_t capacity,
                                          std::string_view shown);
