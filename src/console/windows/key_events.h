// Which console input events end a key wait, told apart without the Windows
// headers so that the rules can be tested anywhere. The Windows console
// layer turns each input record into an InputEvent.
#pragma once

#include <functional>
#include <optional>

#include "../key_press.h"

struct InputEvent {
    // Interrupt: Ctrl+C reported as a control event rather than as a key,
    // as some consoles do whatever the input mode says.
    enum class Kind { Key, Mouse, WindowSize, Interrupt, Other } kind = Kind::Other;
    bool keyDown = false;
    unsigned virtualKeyCode = 0;
    unsigned character = 0;  // the character the key yields, 0 if none
};

// The key press an event amounts to, or nothing if the wait goes on: key
// releases, mouse and window events, and keys such as Shift, Ctrl, Alt or
// Caps Lock pressed alone. A key yielding a character, Escape and Ctrl+C end
// the wait, and so does the release of Alt that brings a character composed
// on the numeric keypad.
std::optional<KeyPress> decodeKeyEvent(const InputEvent& event);

// The console's input events as a wait reads them. peek shows the next event
// without taking it, waiting at most the given milliseconds (or forever,
// waitForever), and gives nothing if none comes; take removes it.
struct ConsoleEvents {
    std::function<std::optional<InputEvent>(int milliseconds)> peek;
    std::function<void()> take;
};

// How long the second half of a character beyond U+FFFF may take to follow
// the first; the console sends both at once.
constexpr int lowSurrogateMilliseconds = 30;

// Takes events until one ends the wait, and a character's second half with
// it: a character beyond U+FFFF comes as two key events, one UTF-16 unit
// each, and is one key. A half without the other still ends the wait, and
// the event that follows it is left for the next reader.
KeyPress waitForKeyEvent(const ConsoleEvents& events);
