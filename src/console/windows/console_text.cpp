#include "console_text.h"

#include "../utf8.h"
#include "utf16.h"

namespace {

constexpr char16_t endOfInputKey = 0x1a;  // Ctrl+Z
constexpr char32_t replacementCharacter = 0xfffd;

}  // namespace

std::optional<std::size_t> consoleUnitsToUtf8(const char16_t* units, std::size_t count,
                                              ConsoleTextState& state, char* bytes) {
    if (count == 0) return std::nullopt;
    const bool held = state.heldHighSurrogate != 0;
    if (state.atLineStart && !held && units[0] == endOfInputKey) return std::nullopt;
    std::size_t written = 0;
    char32_t pending = state.heldHighSurrogate;
    for (std::size_t index = 0; index < count; ++index) {
        const char32_t unit = units[index];
        if (pending != 0 && isLowSurrogate(unit)) {
            written += encodeUtf8(joinSurrogates(pending, unit), bytes + written);
            pending = 0;
            continue;
        }
        if (pending != 0) written += encodeUtf8(replacementCharacter, bytes + written);
        pending = isHighSurrogate(unit) ? unit : 0;
        if (pending == 0)
            written += encodeUtf8(isLowSurrogate(unit) ? replacementCharacter : unit, bytes + written);
    }
    state.heldHighSurrogate = static_cast<char16_t>(pending);
    state.atLineStart = units[count - 1] == u'\n';
    return written;
}
