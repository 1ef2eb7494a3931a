#include "rooms/inventory.h"

#include "console/console.h"
#include "world/world.h"

namespace {

void listIf(bool carried, std::string_view line) {
    if (carried) printLine({line});
}

}  // namespace

void showInventory() {
    const bool limbRaw = world.limbUncarved == 1;
    const bool macheRaw = world.macheUnmade == 1;
    const bool umbrellaMissing = world.umbrellaUnmade == 1;
    clearScreen();
    printLine({"You are carrying:"});
    listIf(isCarried(limbCell) && limbRaw, "\ttree limb");
    listIf(isCarried(plasterCell) && macheRaw, "\tplaster");
    listIf(isCarried(paintCell), "\tposter paints");
    listIf(isCarried(stethescopeCell), "\tstethescope");
    listIf(isCarried(paperCell) && macheRaw, "\tpaper");
    listIf(isCarried(raincoatCell) && umbrellaMissing, "\tplastic raincoat");
    listIf(isCarried(knifeCell), "\tknife");
    listIf(isCarried(sawCell), "\tsaw");
    listIf(!macheRaw && umbrellaMissing, "\tpaper mache");
    listIf(!limbRaw && umbrellaMissing, "\tcarved limb");
    listIf(!umbrellaMissing, "\tumbrella");
    printLine({"\nPress enter to return to game."});
    waitKey();
    clearScreen();
}
