// The north-east corner, hiding the poster paint. It answers "blue" and
// "get" one pass late: after describing itself again, before the next read.
#include "rooms/room_cycle.h"
#include "rooms/rooms.h"
#include "console/console.h"

namespace {

constexpr std::string_view blueWord = "blue";

void answerPreviousLine(const RoomRecord& room) {
    if (lineBegins(blueWord)) printLine({"Go blue! You see poster paint."});
    offerItem(room);
}

constexpr RoomRecord blueSky = {
    .cell = paintCell,
    .description = {"\nYou are on the northeast side of the junkyard.\n",
                    "The sky looks really blue here."},
    .itemLine = "You see nothing of interest here.",
    .itemPrefix = "pai",
    .beforeRead = answerPreviousLine,
    .handledWords = {getWord, blueWord},
};

}  // namespace

Location BlueSky() { return runRoom(blueSky); }
