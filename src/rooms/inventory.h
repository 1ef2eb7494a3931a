// The inventory listing, worked out from the item cells and the progress
// flags on a cleared screen; any key returns to the place that asked.
#pragma once

void showInventory();
