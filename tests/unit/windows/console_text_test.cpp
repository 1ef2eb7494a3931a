// Lines typed at the Windows console: UTF-16 units in, UTF-8 bytes out,
// whatever the letters, and the end of input only from Ctrl+Z at the start
// of a line.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "console/windows/console_text.h"

namespace {

// The bytes each read gives, one string per read; "END" for the end of input.
std::vector<std::string> reads(const std::vector<std::u16string>& typed) {
    ConsoleTextState state;
    std::vector<std::string> got;
    for (const std::u16string& units : typed) {
        std::string bytes(utf8BytesPerUnit * (units.size() + 1), '\0');
        const auto count = consoleUnitsToUtf8(units.data(), units.size(), state, bytes.data());
        got.push_back(count ? bytes.substr(0, *count) : "END");
    }
    return got;
}

using Reads = std::vector<std::string>;

TEST(ConsoleText, LinesOfAnyLettersComeAsUtf8) {
    EXPECT_EQ(reads({u"inv\r\n", u"caf\u00e9\r\n", u"\u20ac \U0001F600\r\n"}),
              (Reads{"inv\r\n", "caf\xc3\xa9\r\n", "\xe2\x82\xac \xf0\x9f\x98\x80\r\n"}));
}

TEST(ConsoleText, CtrlZEndsTheInputOnlyAtTheStartOfALine) {
    EXPECT_EQ(reads({u"\x1a\r\n"}), Reads{"END"});
    EXPECT_EQ(reads({u"a\x1a\r\n", u"\x1a\r\n"}), (Reads{"a\x1a\r\n", "END"}));
    EXPECT_EQ(reads({u"get", u"\x1a\r\n"}), (Reads{"get", "\x1a\r\n"}));  // a long line, read in two
    EXPECT_EQ(reads({u""}), Reads{"END"});
}

TEST(ConsoleText, ACharacterSplitBetweenReadsComesWhole) {
    // U+1F600 is D83D DE00 in UTF-16
    EXPECT_EQ(reads({u"a\xd83d", u"\xde00\r\n"}), (Reads{"a", "\xf0\x9f\x98\x80\r\n"}));
    EXPECT_EQ(reads({u"\xde00x", u"\xd83d\r\n"}),
              (Reads{"\xef\xbf\xbdx", "\xef\xbf\xbd\r\n"}));  // halves without their other half
}

}  // namespace
