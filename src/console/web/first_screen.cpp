// The game as the page shows it before any of it has run: built for node and
// run at build time with no keyboard and no input, it writes what the game
// writes then (its first screen, a form feed for the clear, the menu) to
// standard output, from which the site takes the first screen into
// index.html. So the title box's text stays in the game's code alone.
#include <cstdio>

#include "console/console.h"
#include "console/platform.h"
#include "shell/game.h"

void adoptStandardStreams() {}

std::size_t readStandardInput(char*, std::size_t) { return 0; }  // the end: the menu ends the game

void writeStandardOutput(const char* bytes, std::size_t length) {
    std::fwrite(bytes, 1, length, stdout);
}

bool standardOutputIsTerminal() { return false; }  // a clear is a form feed

void clearTerminal() {}

KeyPress readKeyPress() { return KeyPress::NoKeyboard; }

int main() {
    openConsole();
    try {
        runGame();
    } catch (const EndOfInput&) {
        // the menu found no choice: the first screen is long written
    }
    flushOutput();
    return 0;
}
