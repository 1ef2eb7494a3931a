#include "console/posix/terminal_abilities.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

// Last: these headers define a macro for the name of every capability.
#include <curses.h>
#include <term.h>
#include <termcap.h>

namespace {

struct Abilities {
    bool addressable = false;
    std::string clear = "\f";
};

bool present(const char* capability) {
    return capability != nullptr && capability != reinterpret_cast<const char*>(-1);
}

// Older headers take the names as char*.
const char* stringCapability(const char* name) { return tigetstr(const_cast<char*>(name)); }

bool flagCapability(const char* name) { return tigetflag(const_cast<char*>(name)) > 0; }

// The capability's bytes without the delays ("$<50>") the database asks
// for: no terminal in use today needs them.
void appendWithoutDelays(std::string& bytes, const char* capability) {
    if (!present(capability)) return;
    for (const char* next = capability; *next != '\0'; ++next) {
        const char* delayEnd = next[0] == '$' && next[1] == '<' ? std::strchr(next, '>') : nullptr;
        if (delayEnd != nullptr) {
            next = delayEnd;
        } else {
            bytes += *next;
        }
    }
}

Abilities lookUp() {
    const char* type = std::getenv("TERM");
    int status = 0;
    if (type == nullptr || *type == '\0' || setupterm(type, STDOUT_FILENO, &status) != OK) return {};
    Abilities found;
    const char* clear = stringCapability("clear");
    // "dumb" and its like are generic (gn); a printing terminal is hard copy (hc).
    if (!flagCapability("gn") && !flagCapability("hc") && present(stringCapability("cup")) &&
        present(clear)) {
        found.addressable = true;
        found.clear.clear();
        appendWithoutDelays(found.clear, clear);
        appendWithoutDelays(found.clear, stringCapability("E3"));
    }
    del_curterm(cur_term);
    return found;
}

const Abilities& abilities() {
    static const Abilities found = lookUp();
    return found;
}

}  // namespace

bool terminalCanBeAddressed() { return abilities().addressable; }

std::string_view terminalClear() { return abilities().clear; }

// tputs pads for the output speed in ospeed; at speed 0 it pads with nothing.
void padWithNothing() { ospeed = 0; }
