// A terminal that plays back bytes and pauses, to drive the key decoding
// without a terminal. A pause is a moment in which nothing arrives: a peek
// that waits a limited time meets it and sees no byte; one that waits
// forever waits it out.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "console/posix/key_bytes.h"

struct ScriptedTerminal {
    static constexpr int pause = -2;

    std::vector<int> script;  // bytes 0 to 255, and pauses
    std::size_t next = 0;
    std::string taken;  // every byte taken so far

    TerminalBytes bytes() {
        return {[this](int milliseconds) { return peek(milliseconds); },
                [this] { taken += static_cast<char>(script[next++]); }};
    }

    int peek(int milliseconds) {
        while (next < script.size() && script[next] == pause) {
            ++next;
            if (milliseconds != waitForever) return noKeyByte;
        }
        return next < script.size() ? script[next] : noKeyByte;
    }
};
