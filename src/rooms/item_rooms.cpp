// The six rooms whose one piece of junk is taken with "get".
#include "rooms/room_cycle.h"
#include "rooms/rooms.h"

namespace {

constexpr RoomRecord itemRoom(GridCell cell, std::array<std::string_view, 3> description,
                              std::string_view itemLine, std::string_view itemPrefix) {
    return {
        .cell = cell,
        .description = description,
        .itemLine = itemLine,
        .itemPrefix = itemPrefix,
        .roomCommand = offerItem,
        .handledWords = {getWord},
    };
}

constexpr RoomRecord refusePile = itemRoom(
    plasterCell, {"\nYou are in a pile of stinking refuse.  It really smells here."},
    "You see a bag of plaster.", "pla");

constexpr RoomRecord rustedCars = itemRoom(
    stethescopeCell,
    {"\nYou walk into a part of the junkyard where there are tons\n", "of old rusted cars."},
    "You see a stethescope.", "ste");

constexpr RoomRecord applianceCity = itemRoom(
    paperCell,
    {"\nYou feel like you are in a city of old appliances!.\n",
     "Appliances of all kinds are stack on top of eachother\n",
     "in straight rows like buildings on a city street."},
    "You see paper.", "pap");

constexpr RoomRecord pondEdge = itemRoom(
    raincoatCell,
    {"\nYou are on the edge of a pond made from rain water which\n",
     "collected in a depression on the southwest side of the junkyard.\n",
     "Huge piles of clothing make up the shoreline."},
    "You see a plastic raincoat.", "rai");

constexpr RoomRecord southernPart = itemRoom(
    knifeCell, {"\nYou are in the southern part of the junkyard."}, "You see a knife.", "kni");

constexpr RoomRecord furnitureLot = itemRoom(
    sawCell,
    {"\nYou have found the cast off furniture in the junkyard.\n",
     "This furniture is old and weathered from spending many days here."},
    "You see a saw.", "saw");

}  // namespace

Location RefusePile() { return runRoom(refusePile); }
Location RustedCars() { return runRoom(rustedCars); }
Location ApplianceCity() { return runRoom(applianceCity); }
Location PondEdge() { return runRoom(pondEdge); }
Location SouthernPart() { return runRoom(southernPart); }
Location FurnitureLot() { return runRoom(furnitureLot); }
