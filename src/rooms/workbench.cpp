// Where the umbrella is made and the game decided: the limb is carved with
// the knife, plaster and paper mixed into paper mache, and once the umbrella
// exists every pass ends with the ending, told afresh from the paint's cell.
#include "rooms/room_cycle.h"
#include "rooms/rooms.h"
#include "console/console.h"

namespace {

// A crafting step: a material named on the command line is worked with a
// tool named in the answer to the question that follows.
struct CraftingStep {
    std::string_view material;  // the word that starts the step
    GridCell materialCell;
    int World::*unfinished;     // the progress flag the step clears
    std::string_view noMaterial;
    std::string_view tool;      // the answer's prefix
    GridCell toolCell;
    std::string_view noTool;
    std::array<std::string_view, 3> done;
};

constexpr CraftingStep carving = {
    "limb", limbCell, &World::limbUncarved, "You don't have a limb.",
    "kni", knifeCell, "You don't have a knife.",
    {"\nYou use the knife to shape the tree limb."}};

constexpr CraftingStep mixing = {
    "plas", plasterCell, &World::macheUnmade, "You don't have plaster.",
    "pap", paperCell, "You don't have paper.",
    {"\nYou mix the plaster and paper together to create paper mache.\n",
     "You spread this out onto a large curved bowl to create a large,\n",
     "umbrella like, half sphere."}};

void craft(const CraftingStep& step) {
    if (!lineBegins(step.material)) return;
    if (world.*step.unfinished == 0 || !isCarried(step.materialCell)) {
        printLine({step.noMaterial});
        return;
    }
    printLine({"\nWhat item in your inventory do you wish to use with it?"});
    readLine();
    if (!lineBegins(step.tool)) return;
    if (!isCarried(step.toolCell)) {
        printLine({step.noTool});
        return;
    }
    currentCell() = CELL_EMPTY;  // the host leaves the workshop
    printLine({step.done[0], step.done[1], step.done[2]});
    world.*step.unfinished = 0;
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
void useItems(const RoomRecord&) {
    craft(carving);
    craft(mixing);
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
    .roomCommand = useItems,
    .handledWords = {carving.material, carving.tool, mixing.material, mixing.tool},
    .afterPass = tellEnding,
};

}  // namespace

Location Workbench() { return runRoom(workbench); }
