// Lines typed at the controlling terminal: libedit edits them and recalls
// the earlier lines of this game (in memory only), and they are drawn as
// readline draws them, so that a terminal re-wraps them whole on a resize.
// The reader gets the finished line's bytes and a line feed, exactly as
// from a terminal in line mode. Used only when standard input is that
// terminal, and the terminal can be addressed.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Up to capacity bytes of the line being typed, the rest at the next call;
// 0 at the end of input (Ctrl+D on an empty line). shown is the text already
// on the screen's last line, which stays in place as the line's prompt;
// nothing if text stands there that is not known. Nothing if no editor can
// be had.
std::optional<std::size_t> readEditedLine(char* buffer, std::size_t capacity,
                                          std::optional<std::string_view> shown);
