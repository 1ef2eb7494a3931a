#include "console/posix/key_bytes.h"

#include "console/utf8.h"

namespace {

bool isParameterOrIntermediate(int byte) { return byte >= 0x20 && byte <= 0x3f; }

// Takes the next byte if it arrives in time and passes the test.
bool takeIf(const TerminalBytes& terminal, bool (*belongs)(int)) {
    const int byte = terminal.peek(followUpMilliseconds);
    if (byte == noKeyByte || !belongs(byte)) return false;
    terminal.take();
    return true;
}

// The continuation bytes that really follow a lead byte, up to its count.
void takeRestOfCharacter(const TerminalBytes& terminal, int leadByte) {
    for (std::size_t count = utf8SequenceLength(leadByte); count > 1; --count)
        if (!takeIf(terminal, isUtf8ContinuationByte)) return;
}

// After ESC [, from its next byte on: parameters and intermediates up to the
// final byte, or the Linux console's [ and a letter.
void takeRestOfControlSequence(const TerminalBytes& terminal, int byte) {
    if (byte == '[') {
        terminal.take();
        takeIf(terminal, isFinalByte);
        return;
    }
    while (isParameterOrIntermediate(byte)) {
        terminal.take();
        byte = terminal.peek(followUpMilliseconds);
    }
    if (isFinalByte(byte)) terminal.take();
}

bool startsControlSequence(int byte) {
    return byte == '[' || isParameterOrIntermediate(byte) || isFinalByte(byte);
}

KeyPress takeAfterEscape(const TerminalBytes& terminal) {
    const int second = terminal.peek(followUpMilliseconds);
    if (second == noKeyByte || second == escapeByte) return KeyPress::Character;  // lone Escape
    terminal.take();
    if (second == '[') {
        const int third = terminal.peek(followUpMilliseconds);
        if (!startsControlSequence(third)) return KeyPress::Character;  // Alt with [
        takeRestOfControlSequence(terminal, third);
        return KeyPress::TwoPart;
    }
    if (second == 'O' && takeIf(terminal, isFinalByte)) return KeyPress::TwoPart;
    takeRestOfCharacter(terminal, second);  // Alt with a character
    return KeyPress::Character;
}

}  // namespace

KeyPress takeOneKey(const TerminalBytes& terminal) {
    const int first = terminal.peek(waitForever);
    if (first == noKeyByte) return KeyPress::NoKeyboard;
    terminal.take();
    if (first == escapeByte) return takeAfterEscape(terminal);
    takeRestOfCharacter(terminal, first);
    return KeyPress::Character;
}
