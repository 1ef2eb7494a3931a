// The centre of the yard, where play begins: the host, the briefing, and
// "make" to the workbench. It words two shared replies its own way.
#include "rooms/room_cycle.h"
#include "rooms/rooms.h"
#include "console/console.h"

namespace {

constexpr std::string_view briefingWord = "tal";

void brief(const RoomRecord&) {
    if (!lineBegins(briefingWord)) return;
    printLine({"\nThe thing that you are supposed to make is an umbrella.\n",
               "You have until it starts raining to complete this task.\n",
               "If you think you have all of the pieces, come back here\n",
               "to put them together.  Then tell me when you are done.\n",
               "On your mark...get set...go!"});
}

constexpr RoomRecord workshop = {
    .cell = hostCell,
    .description = {"\nYou are in a workshop in the center of the junkyard."},
    .itemLine = "You see the host of Tinkerspindle.",
    .notUnderstood = "What's that supposed to mean?",
    .quitHint = "To quit game, close window.  Otherwise, hit enter to continue.",
    .roomCommand = brief,
    .handover = Handover{"make", "", Location::Workbench},
    .handledWords = {briefingWord},
};

}  // namespace

Location Workshop() { return runRoom(workshop); }
