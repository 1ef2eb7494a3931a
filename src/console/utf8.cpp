#include "console/utf8.h"

std::size_t encodeUtf8(char32_t code, char* bytes) {
    if (code < 0x80) {
        bytes[0] = static_cast<char>(code);
        return 1;
    }
    const std::size_t length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    constexpr unsigned char leadMarks[] = {0, 0, 0xc0, 0xe0, 0xf0};
    for (std::size_t index = length - 1; index > 0; --index, code >>= 6)
        bytes[index] = static_cast<char>(0x80 | (code & 0x3f));
    bytes[0] = static_cast<char>(leadMarks[length] | code);
    return length;
}
