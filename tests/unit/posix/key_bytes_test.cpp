// How the key waits of a terminal split its bytes into keys: each wait takes
// one whole key and never a byte of the next.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripted_terminal.h"

namespace {

constexpr KeyPress character = KeyPress::Character;
constexpr KeyPress twoPart = KeyPress::TwoPart;

struct Wait {
    std::string taken;
    KeyPress key;
    bool operator==(const Wait&) const = default;
};

void PrintTo(const Wait& wait, std::ostream* out) {
    *out << ::testing::PrintToString(wait.taken)
         << (wait.key == twoPart ? " two-part" : wait.key == character ? "" : " none");
}

// What is typed, '|' standing for a pause.
ScriptedTerminal typing(const std::string& typed) {
    ScriptedTerminal terminal;
    for (char byte : typed)
        terminal.script.push_back(byte == '|' ? ScriptedTerminal::pause
                                              : static_cast<unsigned char>(byte));
    return terminal;
}

// The keys that waits take from what is typed.
std::vector<Wait> waits(const std::string& typed) {
    ScriptedTerminal terminal = typing(typed);
    std::vector<Wait> taken;
    for (;;) {
        terminal.taken.clear();
        const KeyPress key = takeOneKey(terminal.bytes()).press;
        if (key == KeyPress::NoKeyboard) return taken;
        taken.push_back({terminal.taken, key});
    }
}

using Waits = std::vector<Wait>;

TEST(KeyBytes, EveryCharacterIsOneKey) {
    EXPECT_EQ(waits("a\r\x03\x1a\x7f"),
              (Waits{{"a", character}, {"\r", character}, {"\x03", character},
                     {"\x1a", character}, {"\x7f", character}}));
    EXPECT_EQ(waits("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80q"),
              (Waits{{"\xc3\xa9", character}, {"\xe2\x82\xac", character},
                     {"\xf0\x9f\x98\x80", character}, {"q", character}}));
}

TEST(KeyBytes, ALeadByteTakesOnlyTheContinuationBytesThatFollowIt) {
    EXPECT_EQ(waits("\xe9q\r"), (Waits{{"\xe9", character}, {"q", character}, {"\r", character}}));
    EXPECT_EQ(waits("\xe2\x82q"), (Waits{{"\xe2\x82", character}, {"q", character}}));
    EXPECT_EQ(waits("\xc3|\xa9"), (Waits{{"\xc3", character}, {"\xa9", character}}));
    EXPECT_EQ(waits("\xc3\xa9\xa9"), (Waits{{"\xc3\xa9", character}, {"\xa9", character}}));
    EXPECT_EQ(waits("\xf8\x80\xff"),
              (Waits{{"\xf8", character}, {"\x80", character}, {"\xff", character}}));
    EXPECT_EQ(waits("\xe2\x1b[A"), (Waits{{"\xe2", character}, {"\x1b[A", twoPart}}));
}

TEST(KeyBytes, EscapeSequencesAreTwoPartKeys) {
    for (const std::string sequence :
         {"\x1b[A", "\x1b[1~", "\x1b[4~", "\x1b[15~", "\x1b[1;5A", "\x1bOP", "\x1b[[A"})
        EXPECT_EQ(waits(sequence + "x"), (Waits{{sequence, twoPart}, {"x", character}}))
            << ::testing::PrintToString(sequence);
    // a space is an intermediate byte, part of the sequence
    EXPECT_EQ(waits("\x1b[2 qx"), (Waits{{"\x1b[2 q", twoPart}, {"x", character}}));
    // cut short by a pause or by a byte that cannot be part of it
    EXPECT_EQ(waits("\x1b[1|A"), (Waits{{"\x1b[1", twoPart}, {"A", character}}));
    EXPECT_EQ(waits("\x1b[1\r"), (Waits{{"\x1b[1", twoPart}, {"\r", character}}));
}

TEST(KeyBytes, EscapeAloneOrWithAnotherKey) {
    EXPECT_EQ(waits("\x1b|x"), (Waits{{"\x1b", character}, {"x", character}}));
    EXPECT_EQ(waits("\x1b\x1b[B"), (Waits{{"\x1b", character}, {"\x1b[B", twoPart}}));
    EXPECT_EQ(waits("\x1bx\x1b\xc3\xa9"), (Waits{{"\x1bx", character}, {"\x1b\xc3\xa9", character}}));
    EXPECT_EQ(waits("\x1b[|A"), (Waits{{"\x1b[", character}, {"A", character}}));
    EXPECT_EQ(waits("\x1b[\r"), (Waits{{"\x1b[", character}, {"\r", character}}));
    EXPECT_EQ(waits("\x1bO|P"), (Waits{{"\x1bO", character}, {"P", character}}));
}

// At a terminal that sends a line at a time, a wait takes its key's line.
TEST(KeyBytes, AKeyTakesTheLineItArrivedWith) {
    const auto left = [](const std::string& typed) {  // what the next reader gets
        ScriptedTerminal terminal = typing(typed);
        takeRestOfLine(terminal.bytes(), takeOneKey(terminal.bytes()));
        terminal.taken.clear();
        while (terminal.peek(waitForever) != noKeyByte) terminal.bytes().take();
        return terminal.taken;
    };
    EXPECT_EQ(left("x\ninv\n"), "inv\n");
    EXPECT_EQ(left("xyz\r\np"), "p");
    EXPECT_EQ(left("\n\n"), "\n");
    EXPECT_EQ(left("x|p\n"), "p\n");
}

TEST(KeyBytes, NoBytesNoKey) {
    EXPECT_EQ(waits(""), Waits{});
    EXPECT_EQ(waits("|"), Waits{});
}

}  // namespace
