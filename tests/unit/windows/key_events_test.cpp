// Which console input events end a key wait, and which leave half a key
// pending for the next one, whatever the console makes of Escape, Ctrl+C
// and characters composed with Alt.
#include <gtest/gtest.h>

#include <vector>

#include "console/windows/key_events.h"

namespace {

constexpr unsigned shiftKey = 0x10, controlKey = 0x11, altKey = 0x12, capsLockKey = 0x14;
constexpr unsigned upArrowKey = 0x26, homeKey = 0x24, pageUpKey = 0x21, insertKey = 0x2d,
                   deleteKey = 0x2e, f1Key = 0x70, f12Key = 0x7b, enterKey = 0x0d, aKey = 0x41,
                   escapeKey = 0x1b, numpadKey = 0x63;

InputEvent keyDown(unsigned virtualKeyCode, unsigned character = 0) {
    return {InputEvent::Kind::Key, true, virtualKeyCode, character};
}

InputEvent keyUp(unsigned virtualKeyCode, unsigned character = 0) {
    return {InputEvent::Kind::Key, false, virtualKeyCode, character};
}

// Feeds the recorded events to a wait; returns its key and how many it took.
std::pair<KeyPress, std::size_t> wait(const std::vector<InputEvent>& recorded) {
    std::size_t taken = 0;
    const KeyPress key = waitForKeyEvent([&] { return recorded.at(taken++); });
    return {key, taken};
}

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

TEST(KeyEvents, AWaitTakesEventsUntilAKeyGoesDown) {
    EXPECT_EQ(wait({keyDown(shiftKey), {InputEvent::Kind::Mouse}, keyDown(aKey, 'A'),
                    keyUp(aKey, 'A')}),
              std::make_pair(KeyPress::Character, std::size_t{3}));
    EXPECT_EQ(wait({keyUp(enterKey, '\r'), keyDown(capsLockKey), keyDown(upArrowKey)}),
              std::make_pair(KeyPress::TwoPart, std::size_t{3}));
}

}  // namespace
