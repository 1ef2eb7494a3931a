// Entering a place replaces the one that was running: each entry operation
// returns to this loop, so the depth never grows with the moves made.
#include "rooms/rooms.h"

namespace {

Location enter(Location location) {
    switch (location) {
        case Location::TreeEdge: return TreeEdge();
        case Location::TreeTop: return TreeTop();
        case Location::RefusePile: return RefusePile();
        case Location::BlueSky: return BlueSky();
        case Location::RustedCars: return RustedCars();
        case Location::Workshop: return Workshop();
        case Location::Workbench: return Workbench();
        case Location::ApplianceCity: return ApplianceCity();
        case Location::PondEdge: return PondEdge();
        case Location::SouthernPart: return SouthernPart();
        case Location::FurnitureLot: return FurnitureLot();
    }
    return Location::Workshop;  // not reached: every location is listed
}

}  // namespace

void play() {
    Location location = Location::Workshop;
    for (;;) location = enter(location);
}
