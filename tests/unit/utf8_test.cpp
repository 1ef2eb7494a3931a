// UTF-8 at every boundary of its rules: which lead bytes announce how many
// bytes, which sequences stand for a character, and the way back.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "console/utf8.h"

namespace {

constexpr std::optional<char32_t> refused = std::nullopt;

TEST(Utf8, LeadBytesAnnounceTheirLength) {
    const std::pair<int, std::size_t> leads[] = {
        {0x00, 1}, {0x7f, 1}, {0x80, 0}, {0xbf, 0}, {0xc0, 2}, {0xdf, 2},
        {0xe0, 3}, {0xef, 3}, {0xf0, 4}, {0xf7, 4}, {0xf8, 0}, {0xff, 0}};
    for (const auto& [lead, length] : leads) EXPECT_EQ(utf8SequenceLength(lead), length) << lead;
    for (int byte : {0x7f, 0xc0}) EXPECT_FALSE(isUtf8ContinuationByte(byte)) << byte;
    for (int byte : {0x80, 0xbf}) EXPECT_TRUE(isUtf8ContinuationByte(byte)) << byte;
}

TEST(Utf8, DecodesOnlyTheShortestFormOfACharacter) {
    const std::pair<std::string, std::optional<char32_t>> sequences[] = {
        {std::string(1, '\0'), 0}, {"\x7f", 0x7f},
        {"\xc2\x80", 0x80}, {"\xc1\xbf", refused}, {"\xdf\xbf", 0x7ff},
        {"\xe0\xa0\x80", 0x800}, {"\xe0\x9f\xbf", refused}, {"\xef\xbf\xbf", 0xffff},
        {"\xed\x9f\xbf", 0xd7ff}, {"\xed\xa0\x80", refused}, {"\xed\xbf\xbf", refused},
        {"\xee\x80\x80", 0xe000},
        {"\xf0\x90\x80\x80", 0x10000}, {"\xf0\x8f\xbf\xbf", refused},
        {"\xf4\x8f\xbf\xbf", 0x10ffff}, {"\xf4\x90\x80\x80", refused}, {"\xf7\xbf\xbf\xbf", refused},
        {"", refused}, {"\x80", refused}, {"\xc2", refused}, {"\xc2\x41", refused},
        {"\xe0\xa0", refused}, {"ab", refused}, {"\xc2\x80\x80", refused}};
    for (const auto& [bytes, code] : sequences)
        EXPECT_EQ(decodeUtf8(bytes), code) << ::testing::PrintToString(bytes);
}

TEST(Utf8, EncodesEachLengthAndDecodesBack) {
    const std::pair<char32_t, std::string> characters[] = {
        {0x41, "A"}, {0x7f, "\x7f"}, {0x80, "\xc2\x80"}, {0x7ff, "\xdf\xbf"},
        {0x800, "\xe0\xa0\x80"}, {0xffff, "\xef\xbf\xbf"}, {0x10000, "\xf0\x90\x80\x80"},
        {0x10ffff, "\xf4\x8f\xbf\xbf"}};
    for (const auto& [code, expected] : characters) {
        char bytes[utf8MaximumLength] = {};
        const std::string encoded(bytes, encodeUtf8(code, bytes));
        EXPECT_EQ(encoded, expected) << static_cast<unsigned>(code);
        EXPECT_EQ(decodeUtf8(encoded), code) << static_cast<unsigned>(code);
    }
}

}  // namespace
