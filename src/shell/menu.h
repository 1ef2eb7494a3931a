// The main menu: introduction, rules, play or quit.
#pragma once

enum class MenuOutcome { Play, Quit };

// Shows the menu until play or quit is chosen.
MenuOutcome mainMenu();
