// The platform layer in a web page, which is the game's console: output goes
// to the page's text, lines come from its input field, and key presses from
// its key and touch events. The game awaits them (the build's Asyncify turns
// the waits into promises), so the page never blocks. The page side is
// page.js.
#include <emscripten/em_macros.h>  // em_js.h uses it without including it
#include <emscripten/em_js.h>

#include "console/platform.h"

// The preprocessor joins each body onto one line: one call each, no more.
EM_JS(void, pageWrite, (const char* bytes, std::size_t length),
      { tinkerspindlePage.write(bytes, length); });
EM_ASYNC_JS(std::size_t, pageReadLine, (char* buffer, std::size_t capacity),
            { return await tinkerspindlePage.readLine(buffer, capacity); });
EM_JS(void, pageClear, (), { tinkerspindlePage.clear(); });
EM_ASYNC_JS(int, pageReadKey, (), { return await tinkerspindlePage.readKey(); });

namespace {

// What pageReadKey answers: the page tells the two kinds of key apart.
constexpr int twoPartKey = 2;

}  // namespace

void adoptStandardStreams() {}  // the page has no descriptors to lose

std::size_t readStandardInput(char* buffer, std::size_t capacity) {
    return pageReadLine(buffer, capacity);  // the page's input never ends
}

void writeStandardOutput(const char* bytes, std::size_t length) { pageWrite(bytes, length); }

bool standardOutputIsTerminal() { return true; }

void clearTerminal() { pageClear(); }

KeyPress readKeyPress() {
    return pageReadKey() == twoPartKey ? KeyPress::TwoPart : KeyPress::Character;
}
