// Starting values and movement between the nine locations of the yard.
#include "world/world.h"

#include "console/console.h"

World world;

void resetWorld() { world = World{}; }

int& currentCell() { return world.worldGrid[world.playerRow][world.playerCol]; }

bool isCarried(GridCell cell) { return world.worldGrid[cell.row][cell.col] == CELL_EMPTY; }

bool isDirection(char c) { return c == 'n' || c == 's' || c == 'e' || c == 'w'; }

namespace {

// The location at each inner cell, row by row from the north-west corner.
constexpr Location locationAt[3][3] = {
    {Location::TreeEdge, Location::RefusePile, Location::BlueSky},
    {Location::RustedCars, Location::Workshop, Location::ApplianceCity},
    {Location::PondEdge, Location::SouthernPart, Location::FurnitureLot},
};

}  // namespace

std::optional<Location> movePlayer(char direction) {
    switch (direction) {
        case 'n': --world.playerRow; break;
        case 's': ++world.playerRow; break;
        case 'e': ++world.playerCol; break;
        case 'w': --world.playerCol; break;
        default: return std::nullopt;
    }
    // The position stays on a refused cell until the room's next pass.
    if (currentCell() == CELL_WALL) {
        printText({"Um, No you can't go that way.\n"});
        return std::nullopt;
    }
    return locationAt[world.playerRow - 1][world.playerCol - 1];
}
