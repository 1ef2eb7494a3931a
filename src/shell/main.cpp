// Program entry. The game takes no arguments; it ends after "q" at the menu
// or when standard input ends, with status 0 either way.
#include "console/console.h"
#include "shell/game.h"

int main() {
    openConsole();
    try {
        runGame();
    } catch (const EndOfInput&) {
        // the player has nothing more to say
    }
    closeConsole();
    return 0;
}
