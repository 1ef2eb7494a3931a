#include "utf8.h"

namespace {

constexpr char32_t lastCodePoint = 0x10ffff;
constexpr char32_t firstSurrogate = 0xd800, lastSurrogate = 0xdfff;

// Indexed by a sequence's length: its lead byte's marker bits, the bits of
// the lead byte that belong to the code point, and the smallest code point
// that needs that many bytes.
constexpr unsigned char leadMarks[] = {0, 0, 0xc0, 0xe0, 0xf0};
constexpr unsigned char leadBits[] = {0, 0x7f, 0x1f, 0x0f, 0x07};
constexpr char32_t smallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};

}  // namespace

std::size_t utf8SequenceLength(int leadByte) {
    if (leadByte >= 0 && leadByte < 0x80) return 1;
    if (leadByte >= 0xc0 && leadByte <= 0xdf) return 2;
    if (leadByte >= 0xe0 && leadByte <= 0xef) return 3;
    if (leadByte >= 0xf0 && leadByte <= 0xf7) return 4;
    return 0;
}

std::optional<char32_t> decodeUtf8(std::string_view bytes) {
    const std::size_t length = bytes.empty() ? 0 : utf8SequenceLength(bytes[0] & 0xff);
    if (length == 0 || length != bytes.size()) return std::nullopt;
    char32_t code = bytes[0] & leadBits[length];
    for (std::size_t index = 1; index < length; ++index) {
        if (!isUtf8ContinuationByte(bytes[index] & 0xff)) return std::nullopt;
        code = code << 6 | (bytes[index] & 0x3f);
    }
    const bool surrogate = code >= firstSurrogate && code <= lastSurrogate;
    if (code < smallestOfLength[length] || code > lastCodePoint || surrogate) return std::nullopt;
    return code;
}

std::size_t encodeUtf8(char32_t code, char* bytes) {
    if (code < 0x80) {
        bytes[0] = static_cast<char>(code);
        return 1;
    }
    const std::size_t length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    for (std::size_t index = length - 1; index > 0; --index, code >>= 6)
        bytes[index] = static_cast<char>(0x80 | (code & 0x3f));
    bytes[0] = static_cast<char>(leadMarks[length] | code);
    return length;
}
