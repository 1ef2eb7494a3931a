// The state of the one game a process plays: the junkyard grid, which is at
// once the wall map and the record of every item still lying in its place,
// the player's position, the workbench's progress flags, the last command
// line and the last one-character command.
#pragma once

#include <cstddef>
#include <optional>

enum Cell : int {
    CELL_EMPTY = 0,    // the item is taken (cell (2,2): the host is gone)
    CELL_PRESENT = 1,  // the item (cell (2,2): the host) is there
    CELL_WALL = 2,     // the border; it cannot be entered
};

constexpr int gridSize = 5;
constexpr std::size_t commandLineSize = 20;  // 19 characters and a zero byte

struct World {
    int worldGrid[gridSize][gridSize] = {
        {CELL_WALL, CELL_WALL, CELL_WALL, CELL_WALL, CELL_WALL},
        {CELL_WALL, CELL_PRESENT, CELL_PRESENT, CELL_PRESENT, CELL_WALL},
        {CELL_WALL, CELL_PRESENT, CELL_PRESENT, CELL_PRESENT, CELL_WALL},
        {CELL_WALL, CELL_PRESENT, CELL_PRESENT, CELL_PRESENT, CELL_WALL},
        {CELL_WALL, CELL_WALL, CELL_WALL, CELL_WALL, CELL_WALL},
    };
    int playerRow = 2;  // row 1 is the north of the yard
    int playerCol = 2;  // column 1 is the west of the yard
    int limbUncarved = 1;
    int macheUnmade = 1;
    int umbrellaUnmade = 1;
    // The last line read; bytes after its zero keep what longer lines left.
    char commandLine[commandLineSize] = {};
    // First byte of the last command line whose second byte was zero.
    char lastKey = 0;
};

// The one instance, holding its starting values from the start of the process.
extern World world;

// Puts every value back to its start, for tests and the fuzzer.
void resetWorld();

// Every place the player can be. The tree top shares the tree edge's cell and
// the workbench the workshop's; neither is reached by a move.
enum class Location {
    TreeEdge,
    RefusePile,
    BlueSky,
    RustedCars,
    Workshop,
    ApplianceCity,
    PondEdge,
    SouthernPart,
    FurnitureLot,
    TreeTop,
    Workbench,
};

struct GridCell {
    int row;
    int col;
};

// Where each item lies until it is taken; the host marks the workshop's cell.
constexpr GridCell limbCell{1, 1};
constexpr GridCell plasterCell{1, 2};
constexpr GridCell paintCell{1, 3};
constexpr GridCell stethescopeCell{2, 1};
constexpr GridCell hostCell{2, 2};
constexpr GridCell paperCell{2, 3};
constexpr GridCell raincoatCell{3, 1};
constexpr GridCell knifeCell{3, 2};
constexpr GridCell sawCell{3, 3};

// The cell of the current position.
int& currentCell();

// Whether the item of the cell has been taken, and so is carried.
bool isCarried(GridCell cell);

// Whether c is one of the four direction letters n, s, e, w.
bool isDirection(char c);

// Steps one cell in the direction and returns the location entered. Returns
// nothing when no move took place: the character is no direction letter, or
// the step met the wall, which is refused with a message.
std::optional<Location> movePlayer(char direction);
