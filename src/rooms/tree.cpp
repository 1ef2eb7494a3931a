// The north-west corner: the tree at its edge, and its top, where the limb
// is cut off with the saw. Climbing up and down hands over between the two.
#include "rooms/room_cycle.h"
#include "rooms/rooms.h"
#include "console/console.h"

namespace {

constexpr std::string_view cutWord = "cut";
constexpr std::string_view sawWord = "saw";  // an answer naming the saw
constexpr std::string_view climbWord = "clim";

void cutLimb(const RoomRecord&) {
    if (currentCell() == CELL_EMPTY || !lineBegins(cutWord)) return;
    printLine({"What do you wish to cut the tree limb with?"});
    readLine();
    if (!lineBegins(sawWord)) {
        printLine({"You don't have a saw."});
        return;
    }
    if (!isCarried(sawCell)) return;  // the saw still lies in the furniture lot
    currentCell() = CELL_EMPTY;
    printLine({"You use the saw to cut off the tree limb.\n", "You pick it up and take it with you."});
}

constexpr RoomRecord treeEdge = {
    .cell = limbCell,
    .description = {"\nYou are at the northeasterern edge of the junkyard.\n",
                    "You see a large tree with tires piled around it."},
    .handover = Handover{climbWord, "", Location::TreeTop},
};

constexpr RoomRecord treeTop = {
    .setsPosition = false,
    .description = {"\nYou are at the top of the tree."},
    .itemLine = "You see a long, straight tree limb.",
    .directionReply = "When pigs fly...",
    .roomCommand = cutLimb,
    .handover = Handover{climbWord, "You have climbed down the tree", Location::TreeEdge},
    .handledWords = {cutWord, sawWord},
};

}  // namespace

Location TreeEdge() { return runRoom(treeEdge); }
Location TreeTop() { return runRoom(treeTop); }
