// One pass: position, description, item line, read, one-character line,
// the place's own command, "inv", "bye", hand-over, fallback.
#include "rooms/room_cycle.h"

#include <cstring>

#include "rooms/inventory.h"
#include "console/console.h"

namespace {

bool isOneCharacterLine() { return world.commandLine[1] == '\0'; }

std::optional<Location> answerOneCharacter(const RoomRecord& room) {
    world.lastKey = world.commandLine[0];
    if (!isDirection(world.lastKey)) {
        printLine({room.notUnderstood});
        return std::nullopt;
    }
    if (!room.directionReply.empty()) {
        printLine({room.directionReply});
        return std::nullopt;
    }
    return movePlayer(world.lastKey);
}

bool isHandled(const RoomRecord& room) {
    if (lineBegins("inv") || lineBegins("bye")) return true;
    for (std::string_view word : room.handledWords)
        if (!word.empty() && lineBegins(word)) return true;
    return false;
}

std::optional<Location> runPass(const RoomRecord& room) {
    if (room.setsPosition) {
        world.playerRow = room.cell.row;
        world.playerCol = room.cell.col;
    }
    printLine({room.description[0], room.description[1], room.description[2]});
    if (!room.itemLine.empty() && currentCell() == CELL_PRESENT) printLine({room.itemLine});
    if (room.beforeRead) room.beforeRead(room);

    readLine();
    if (isOneCharacterLine()) {
        if (const auto entered = answerOneCharacter(room)) return entered;
    }
    if (room.roomCommand) room.roomCommand(room);
    if (lineBegins("inv")) showInventory();
    if (lineBegins("bye")) {
        clearScreen();
        printLine({room.quitHint});
        waitKey();
    }
    if (room.handover && lineBegins(room.handover->word)) {
        if (!room.handover->message.empty()) printLine({room.handover->message});
        return room.handover->destination;
    }
    if (!isHandled(room) && !isDirection(world.lastKey)) printLine({"I don't think so."});
    if (room.afterPass) room.afterPass(room);
    return std::nullopt;
}

}  // namespace

Location runRoom(const RoomRecord& room) {
    for (;;) {
        if (const auto next = runPass(room)) return *next;
    }
}

bool lineBegins(std::string_view word) {
    return std::memcmp(world.commandLine, word.data(), word.size()) == 0;
}

void readLine() { readCommand(world.commandLine); }

void offerItem(const RoomRecord& room) {
    if (currentCell() == CELL_EMPTY || !lineBegins(getWord)) return;
    printLine({"What do you wish to get?"});
    readLine();
    if (lineBegins(room.itemPrefix)) {
        currentCell() = CELL_EMPTY;
        printLine({"You pick it up and take it with you."});
    } else {
        printLine({"You don't see that."});
    }
}
