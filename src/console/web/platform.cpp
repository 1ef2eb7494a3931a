// The platform layer in a web page, which is the game's console: output goes
// to the page's text, lines come from its input field, and key presses from
// its key and touch events. The game awaits them (the build's Asyncify turns
// the waits into promises), so the page never blocks. The page side is
// page.js.
#include <emscripten/em_macros.h>  // em_js.h uses it without including it
#include <emscripten/em_js.h>

#include "../platform.h"

// The preprocessor joins each body onto one line: one call each, no more.
EM_JS(void, pageWrite, (const char* bytes, std::size_t length),
      { tinkerspindlePage.write(bytes, length); });
EM_ASYNC_JS(std::size_t, pageReadLine, (char* buffer, std::size_t capacity),
            { return await tinkerspindlePage.readLine(buffer, capacity); });
EM_JS(void, pageClear, (), { tinkerspindlePage.clear(); });
EM_ASYNC_JS(void, pageReadKey, (), { await tinkerspindlePage.readKey(); });

void adoptStandardStreams() {}  // the page has no descriptors to lose

std::size_t readStandardInput(char* buffer, std::size_t capacity) {
    return pageReadLine(buffer, capacity);  // the page's input never ends
}

void writeStandardOutput(const char* bytes, std::size_t length) { pageWrite(bytes, length); }

bool standardOutputIsTerminal() { return true; }

void clearTerminal() { pageClear(); }

void endTerminalRow() {}  // the page's text is the game's alone

// The page has no two-part keys: an arrow or a function key keeps its
// meaning in the browser and ends no wait.
KeyPress readKeyPress() {
    pageReadKey();
    return KeyPress::Character;
}
