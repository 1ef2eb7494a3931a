// UTF-16, as the Windows console gives text: a character beyond U+FFFF comes
// as two units, a high surrogate and then a low one.
#pragma once

inline bool isHighSurrogate(char32_t unit) { return unit >= 0xd800 && unit <= 0xdbff; }
inline bool isLowSurrogate(char32_t unit) { return unit >= 0xdc00 && unit <= 0xdfff; }

inline char32_t joinSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xd800) << 10) + (low - 0xdc00);
}
