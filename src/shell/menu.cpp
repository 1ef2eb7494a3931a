#include "shell/menu.h"

#include "console/console.h"

namespace {

void showMenu() {
    printText({"Main Menu:\n\n",
               "\t(i) introduction\n",
               "\t(r) rules\n",
               "\t(p) play game\n",
               "\t(q) quit game\n",
               "\nEnter Selection:  "});
}

void showIntroduction() {
    printLine({"\tWelcome to Tinkerspindle!  It is your job to construct an extraordinary\n",
               "machine and pit it against your opponents machine in a challenge to be\n",
               "the best.\n",
               "\tYour job is to find the best pieces of junk to build your machine and\n",
               "put those pieces together before time runs out.  Then you must beat the\n",
               "challenge set up for you to test your machine.  This is the engineering\n",
               "equivalent of the Superbowl!\n",
               "\tGet ready for excitement and fun playing Tinkerspindle!\n",
               "\nPress enter to return to the menu."});
}

void showRules() {
    printLine({"How to Play:\n",
               "This is a very low tech game.  It understands very few words so you\n",
               "must be specific and make no spelling errors.  Some of the words in\n",
               "the dictionary are as follows:\n",
               "\tn\t-- causes you to move north\n",
               "\ts\t-- causes you to move south\n",
               "\te\t-- causes you to move east\n",
               "\tw\t-- causes you to move west\n",
               "\tinv\t-- shows your inventory\n",
               "\tget\t-- allows you to put items into inventory\n",
               "\tbye\t-- quits the game\n",
               "\n",
               "(NOTE: There is plenty of room in your inventory for everything)\n\n",
               "As I stated before, this is a very low tech game.  You are always\n",
               "facing north.  When you move in a direction you will move that way\n",
               "and then turn to face north.  For example, if you move west you can\n",
               "get back the way you came simply by going back east.\n\n",
               "BEWARE! YOU CAN'T SAVE YOUR GAME!",
               "\nPress enter to return to the menu."});
}

// A page of text on a clean screen, left by any key.
void showPage(void (*writePage)()) {
    clearScreen();
    writePage();
    waitKey();
    clearScreen();
}

}  // namespace

MenuOutcome mainMenu() {
    for (;;) {
        showMenu();
        switch (readMenuChoice()) {
            case 'p':
            case 'P': return MenuOutcome::Play;
            case 'i':
            case 'I': showPage(showIntroduction); break;
            case 'r':
            case 'R': showPage(showRules); break;
            case 'q':
            case 'Q': clearScreen(); return MenuOutcome::Quit;
            default: printText({"\nCommand not recognized.  Please try again.\n\n"});
        }
    }
}
