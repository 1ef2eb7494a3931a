// Play: one entry operation per place, each running that place's passes
// until the player leaves and returning where to, and the loop that drives
// them from the workshop on.
#pragma once

#include "world/world.h"

// Runs the game from the workshop; returns only by EndOfInput.
[[noreturn]] void play();

Location TreeEdge();
Location TreeTop();
Location RefusePile();
Location BlueSky();
Location RustedCars();
Location Workshop();
Location Workbench();
Location ApplianceCity();
Location PondEdge();
Location SouthernPart();
Location FurnitureLot();
