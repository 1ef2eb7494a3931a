// What a key wait ends with, as every front end's key decoding tells it.
#pragma once

enum class KeyPress {
    NoKeyboard,  // nothing to wait on
    Character,   // a key that yields a character
    TwoPart,     // a two-part key (an arrow, a function key ...): its second half is pending
};

// What a front end's waits with a time limit take for no limit at all.
constexpr int waitForever = -1;
