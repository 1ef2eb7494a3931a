#include "shell/game.h"

#include "rooms/rooms.h"
#include "console/console.h"
#include "shell/menu.h"

namespace {

void showTitle() {
    printLine({"\t\t********************************\n",
               "\t\t*                              *\n",
               "\t\t*        Tinkerspindle         *\n",
               "\t\t*              by              *\n",
               "\t\t*       Quillbramblewood       *\n",
               "\t\t*                              *\n",
               "\t\t********************************\n\n"});
}

}  // namespace

void runGame() {
    showTitle();
    waitKey();
    clearScreen();
    if (mainMenu() == MenuOutcome::Quit) {
        printText({"Quit game.  Close window."});
        return;
    }
    play();
}
