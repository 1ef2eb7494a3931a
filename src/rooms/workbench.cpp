// Where the umbrella is made and the game decided: the limb is carved with
// the knife, plaster and paper mixed into paper mache, and once the umbrella
// exists every pass ends with the ending, told afresh from the paint's cell.
#include "rooms/room_cycle.h"
#include "rooms/rooms.h"
#include "shell/console.h"

namespace {

void askWhatToUseWith() {
    printLine({"\nWhat item in your inventory do you wish to use with it?"});
    readLine();
}

void carveLimb() {
    if (!lineBegins("limb")) return;
    if (world.limbUncarved == 0 || !isCarried(limbCell)) {
        printLine({"You don't have a limb."});
        return;
    }
    askWhatToUseWith();
    if (!lineBegins("kni")) return;
    if (!isCarried(knifeCell)) {
        printLine({"You don't have a knife."});
        return;
    }
    currentCell() = CELL_EMPTY;  // the host leaves the workshop
    printLine({"\nYou use the knife to shape the tree limb."});
    world.limbUncarved = 0;
}

void mixPaperMache() {
    if (!lineBegins("plas")) return;
    if (world.macheUnmade == 0 || !isCarried(plasterCell)) {
        printLine({"You don't have plaster."});
        return;
    }
    askWhatToUseWith();
    if (!lineBegins("pap")) return;
    if (!isCarried(paperCell)) {
        printLine({"You don't have paper."});
        return;
    }
    currentCell() = CELL_EMPTY;  // the host leaves the workshop
    printLine({"\nYou mix the plaster and paper together to create paper mache.\n",
               "You spread this out onto a large curved bowl to create a large,\n",
               "umbrella like, half sphere."});
    world.macheUnmade = 0;
}

void checkUmbrella() {
    if (world.limbUncarved != 0 || world.macheUnmade != 0 || !isCarried(raincoatCell)) {
        printLine({"\nYou don't have everything you need to create the umbrella yet."});
        return;
    }
    printLine({"\nYou plaster the paper mache umbrella to the tree limb.\n",
               "You then wrap the raincoat over the paper mache.\n",
               "You have created an umbrella!"});
    world.umbrellaUnmade = 0;
}

// An answer to the carving question that begins with "plas" goes straight on
// to the mixing question.
void craft(const RoomRecord&) {
    carveLimb();
    mixPaperMache();
    checkUmbrella();
}

void tellEnding(const RoomRecord&) {
    if (world.umbrellaUnmade != 0) return;
    if (isCarried(paintCell)) {
        printLine({"\n\nYou paint the umbrella with yellow and blue poster paints.\n",
                   "The host, being a fan of the wolverines, decides to default\n",
                   "the challenge to you!\n",
                   "You have won!"});
    } else {
        printLine({"\n\nYou give the umbrella to the host just as it starts raining!\n",
                   "The host looks at your umbrella, then looks at your opponents\n",
                   "umbrella.  Being a fan of the wolverines, the host decides to\n",
                   "default the challenge to the other team which painted their\n",
                   "umbrella yellow and blue!\n",
                   "You have lost!"});
    }
    waitKey();
    clearScreen();
    printLine({"To quit game, close window."});
    waitKey();
}

constexpr RoomRecord workbench = {
    .setsPosition = false,
    .description = {"\nYou are at your workbench in the center of the junkyard.\n",
                    "What item in your inventory do you wish to use?\n",
                    "If you wish to leave the workbench just choose a direction."},
    .roomCommand = craft,
    .handledWords = {"limb", "kni", "plas", "pap"},
    .afterPass = tellEnding,
};

}  // namespace

Location Workbench() { return runRoom(workbench); }
