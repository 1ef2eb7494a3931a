// Which console input events end a key wait, and which leave half a key
// pending for the next one, whatever the console makes of Escape, Ctrl+C
// and characters composed with Alt.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "console/windows/key_events.h"

namespace {

constexpr unsigned shiftKey = 0x10, controlKey = 0x11, altKey = 0x12, capsLockKey = 0x14;
constexpr unsigned upArrowKey = 0x26, homeKey = 0x24, pageUpKey = 0x21, insertKey = 0x2d,
                   deleteKey = 0x2e, f1Key = 0x70, f12Key = 0x7b, enterKey = 0x0d, aKey = 0x41,
                   escapeKey = 0x1b, numpadKey = 0x63, packetKey = 0xe7;

InputEvent keyDown(unsigned virtualKeyCode, unsigned character = 0) {
    return {InputEvent::Kind::Key, true, virtualKeyCode, character};
}

InputEvent keyUp(unsigned virtualKeyCode, unsigned character = 0) {
    return {InputEvent::Kind::Key, false, virtualKeyCode, character};
}

using Waited = std::pair<KeyPress, std::size_t>;  // a wait's key, and the events it took
const std::optional<InputEvent> pause;  // a moment in which no event comes

// Plays the recorded events to one wait after another, until all are taken
// or `most` waits have ended.
std::vector<Waited> waits(const std::vector<std::optional<InputEvent>>& recorded,
                          std::size_t most = 8) {
    std::size_t next = 0, taken = 0;
    const ConsoleEvents events{[&](int milliseconds) {
                                   for (; !recorded.at(next); ++next)
                                       if (milliseconds != waitForever) return pause;
                                   return recorded[next];
                               },
                               [&] { ++next, ++taken; }};
    std::vector<Waited> got;
    for (; next < recorded.size() && got.size() < most; taken = 0)
        got.push_back({waitForKeyEvent(events), taken});
    return got;
}

Waited wait(const std::vector<std::optional<InputEvent>>& recorded) { return waits(recorded, 1).at(0); }

TEST(KeyEvents, KeysThatYieldACharacterEndTheWait) {
    EXPECT_EQ(decodeKeyEvent(keyDown(aKey, 'a')), KeyPress::Character);
    EXPECT_EQ(decodeKeyEvent(keyDown(enterKey, '\r')), KeyPress::Character);
    EXPECT_EQ(decodeKeyEvent(keyDown(0x43, 3)), KeyPress::Character);  // Ctrl+C
    EXPECT_EQ(decodeKeyEvent(keyDown(0, 0xe9)), KeyPress::Character);  // from an input method
}

TEST(KeyEvents, ExtendedKeysEndTheWaitWithTheirSecondHalfPending) {
    for (unsigned key : {upArrowKey, homeKey, pageUpKey, insertKey, deleteKey, f1Key, f12Key})
        EXPECT_EQ(decodeKeyEvent(keyDown(key)), KeyPress::TwoPart) << key;
}

TEST(KeyEvents, ReleasesModifiersAndOtherEventsAreIgnored) {
    EXPECT_EQ(decodeKeyEvent(keyUp(aKey, 'a')), std::nullopt);
    EXPECT_EQ(decodeKeyEvent(keyUp(upArrowKey)), std::nullopt);
    for (unsigned key : {shiftKey, controlKey, altKey, capsLockKey})
        EXPECT_EQ(decodeKeyEvent(keyDown(key)), std::nullopt) << key;
    EXPECT_EQ(decodeKeyEvent({InputEvent::Kind::Mouse, true, 0, 'a'}), std::nullopt);
    EXPECT_EQ(decodeKeyEvent({InputEvent::Kind::WindowSize, false, 0, 0}), std::nullopt);
}

TEST(KeyEvents, EscapeCtrlCAndCtrlZEndTheWaitHoweverTheConsoleReportsThem) {
    EXPECT_EQ(decodeKeyEvent(keyDown(escapeKey)), KeyPress::Character);  // with no character
    EXPECT_EQ(decodeKeyEvent(keyDown(escapeKey, 0x1b)), KeyPress::Character);
    EXPECT_EQ(decodeKeyEvent({InputEvent::Kind::Interrupt}), KeyPress::Character);
    EXPECT_EQ(decodeKeyEvent(keyDown(0x5a, 0x1a)), KeyPress::Character);  // Ctrl+Z
    EXPECT_EQ(decodeKeyEvent(keyUp(escapeKey)), std::nullopt);
}

TEST(KeyEvents, ACharacterComposedWithAltArrivesWithAltsRelease) {
    EXPECT_EQ(wait({keyDown(altKey), keyDown(numpadKey), keyUp(numpadKey), keyUp(altKey, 0xe9)}),
              std::make_pair(KeyPress::Character, std::size_t{4}));
    EXPECT_EQ(decodeKeyEvent(keyUp(altKey)), std::nullopt);  // Alt alone
}

TEST(KeyEvents, ACharacterBeyondU_FFFFIsOneKeyAndAHalfAloneIsOne) {
    // U+1F600 comes as two key events, D83D and DE00
    const InputEvent high = keyDown(packetKey, 0xd83d), low = keyDown(packetKey, 0xde00);
    EXPECT_EQ(waits({high, keyUp(packetKey, 0xd83d), low, keyUp(packetKey, 0xde00), keyDown(aKey, 't')}),
              (std::vector<Waited>{{KeyPress::Character, 3}, {KeyPress::Character, 2}}));
    EXPECT_EQ(waits({high, keyDown(aKey, 't')}),
              (std::vector<Waited>{{KeyPress::Character, 1}, {KeyPress::Character, 1}}));
    EXPECT_EQ(waits({high, pause, low}),
              (std::vector<Waited>{{KeyPress::Character, 1}, {KeyPress::Character, 1}}));
}

TEST(KeyEvents, AWaitTakesEventsUntilAKeyGoesDown) {
    EXPECT_EQ(wait({keyDown(shiftKey), InputEvent{InputEvent::Kind::Mouse}, keyDown(aKey, 'A'),
                    keyUp(aKey, 'A')}),
              std::make_pair(KeyPress::Character, std::size_t{3}));
    EXPECT_EQ(wait({keyUp(enterKey, '\r'), keyDown(capsLockKey), keyDown(upArrowKey)}),
              std::make_pair(KeyPress::TwoPart, std::size_t{3}));
}

}  // namespace
