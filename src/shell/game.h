// The whole program but its entry: the title box, the main menu, and the
// hand-over to play. Returns after "q"; EndOfInput ends it from any read.
#pragma once

void runGame();
