#include "key_events.h"

#include "utf16.h"

namespace {

// Virtual-key codes of the two-part keys.
constexpr unsigned pageUpKey = 0x21;    // then Page Down, End, Home and the arrows
constexpr unsigned downArrowKey = 0x28;
constexpr unsigned insertKey = 0x2d;
constexpr unsigned deleteKey = 0x2e;
constexpr unsigned firstFunctionKey = 0x70;  // F1
constexpr unsigned lastFunctionKey = 0x87;   // F24
constexpr unsigned escapeKey = 0x1b;
constexpr unsigned altKey = 0x12;

bool hasTwoPartCode(unsigned virtualKeyCode) {
    return (virtualKeyCode >= pageUpKey && virtualKeyCode <= downArrowKey) ||
           virtualKeyCode == insertKey || virtualKeyCode == deleteKey ||
           (virtualKeyCode >= firstFunctionKey && virtualKeyCode <= lastFunctionKey);
}

bool isKey(const InputEvent& event, bool down) {
    return event.kind == InputEvent::Kind::Key && event.keyDown == down;
}

// After a high surrogate: its key's release, then the low surrogate's key.
void takeLowSurrogate(const ConsoleEvents& events) {
    while (const auto following = events.peek(lowSurrogateMilliseconds)) {
        if (isKey(*following, false) && !decodeKeyEvent(*following)) {
            events.take();
            continue;
        }
        if (isKey(*following, true) && isLowSurrogate(following->character)) events.take();
        return;
    }
}

}  // namespace

std::optional<KeyPress> decodeKeyEvent(const InputEvent& event) {
    if (event.kind == InputEvent::Kind::Interrupt) return KeyPress::Character;
    if (event.kind != InputEvent::Kind::Key) return std::nullopt;
    if (!event.keyDown) {
        const bool composedWithAlt = event.virtualKeyCode == altKey && event.character != 0;
        return composedWithAlt ? std::optional(KeyPress::Character) : std::nullopt;
    }
    if (event.character != 0 || event.virtualKeyCode == escapeKey) return KeyPress::Character;
    if (hasTwoPartCode(event.virtualKeyCode)) return KeyPress::TwoPart;
    return std::nullopt;
}

KeyPress waitForKeyEvent(const ConsoleEvents& events) {
    for (;;) {
        const InputEvent event = *events.peek(waitForever);
        events.take();
        if (const auto key = decodeKeyEvent(event)) {
            if (isHighSurrogate(event.character)) takeLowSurrogate(events);
            return *key;
        }
    }
}
