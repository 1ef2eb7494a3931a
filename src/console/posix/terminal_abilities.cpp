#include "terminal_abilities.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

// Last: these headers define a macro for the name of every capability.
#include <curses.h>
#include <term.h>

namespace {

struct Abilities {
    bool addressable = false;
    std::string clear = "\f";
    std::string clearScreen, toRowStart, clearToEnd;
    // each with its count as a parameter, and by one step where there is none
    std::string upBy, upOne, rightBy, rightOne;
};

bool present(const char* capability) {
    return capability != nullptr && capability != reinterpret_cast<const char*>(-1);
}

// Older headers take the names as char*.
const char* stringCapability(const char* name) { return tigetstr(const_cast<char*>(name)); }

bool flagCapability(const char* name) { return tigetflag(const_cast<char*>(name)) > 0; }

// The capability's bytes without the delays ("$<50>") the database asks
// for: no terminal in use today needs them.
std::string withoutDelays(const char* capability) {
    std::string bytes;
    if (!present(capability)) return bytes;
    for (const char* next = capability; *next != '\0'; ++next) {
        const char* delayEnd = next[0] == '$' && next[1] == '<' ? std::strchr(next, '>') : nullptr;
        if (delayEnd != nullptr) {
            next = delayEnd;
        } else {
            bytes += *next;
        }
    }
    return bytes;
}

std::string capability(const char* name) { return withoutDelays(stringCapability(name)); }

// "dumb" and its like are generic (gn); a printing terminal is hard copy
// (hc). The line editor needs to move up and right and to clear below.
bool addressable(const Abilities& found) {
    return !flagCapability("gn") && !flagCapability("hc") && present(stringCapability("cup")) &&
           !found.clearScreen.empty() && !found.toRowStart.empty() && !found.clearToEnd.empty() &&
           !(found.upBy.empty() && found.upOne.empty()) &&
           !(found.rightBy.empty() && found.rightOne.empty());
}

Abilities lookUp() {
    const char* type = std::getenv("TERM");
    int status = 0;
    if (type == nullptr || *type == '\0' || setupterm(type, STDOUT_FILENO, &status) != OK) return {};
    Abilities found{false, "", capability("clear"), capability("cr"), capability("ed"),
                    capability("cuu"), capability("cuu1"), capability("cuf"), capability("cuf1")};
    found.addressable = addressable(found);
    found.clear = found.addressable ? found.clearScreen + capability("E3") : "\f";
    del_curterm(cur_term);
    return found;
}

const Abilities& abilities() {
    static const Abilities found = lookUp();
    return found;
}

// A move of count steps: the parameterised form, or the one step repeated.
std::string moveBy(const std::string& parameterised, const std::string& oneStep, int count) {
    if (count <= 0) return {};
    if (parameterised.empty()) {
        std::string steps;
        for (int step = 0; step < count; ++step) steps += oneStep;
        return steps;
    }
    return withoutDelays(tparm(const_cast<char*>(parameterised.c_str()), count, 0, 0, 0, 0, 0, 0, 0, 0));
}

}  // namespace

bool terminalCanBeAddressed() { return abilities().addressable; }

std::string_view terminalClear() { return abilities().clear; }

std::string TerminalMoves::up(int rows) const {
    return moveBy(abilities().upBy, abilities().upOne, rows);
}

std::string TerminalMoves::right(int count) const {
    return moveBy(abilities().rightBy, abilities().rightOne, count);
}

const TerminalMoves& terminalMoves() {
    static const TerminalMoves moves{abilities().toRowStart, abilities().clearToEnd,
                                     abilities().clearScreen};
    return moves;
}
