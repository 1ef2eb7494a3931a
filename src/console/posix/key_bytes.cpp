#include "key_bytes.h"

#include "../utf8.h"

namespace {

bool isParameterOrIntermediate(int byte) { return byte >= 0x20 && byte <= 0x3f; }

bool isLineEnd(int byte) { return byte == '\n' || byte == '\r'; }

void take(const TerminalBytes& terminal, int byte, Key& key) {
    terminal.take();
    if (key.length < Key::bytesKept) key.bytes[key.length] = static_cast<char>(byte);
    ++key.length;
}

// Takes the next byte if it arrives in time and passes the test.
bool takeIf(const TerminalBytes& terminal, bool (*belongs)(int), Key& key) {
    const int byte = terminal.peek(followUpMilliseconds);
    if (byte == noKeyByte || !belongs(byte)) return false;
    take(terminal, byte, key);
    return true;
}

// The continuation bytes that really follow a lead byte, up to its count.
void takeRestOfCharacter(const TerminalBytes& terminal, int leadByte, Key& key) {
    for (std::size_t count = utf8SequenceLength(leadByte); count > 1; --count)
        if (!takeIf(terminal, isUtf8ContinuationByte, key)) return;
}

// After ESC [, from its next byte on: parameters and intermediates up to the
// final byte, or the Linux console's [ and a letter.
void takeRestOfControlSequence(const TerminalBytes& terminal, int byte, Key& key) {
    if (byte == '[') {
        take(terminal, byte, key);
        takeIf(terminal, isFinalByte, key);
        return;
    }
    while (isParameterOrIntermediate(byte)) {
        take(terminal, byte, key);
        byte = terminal.peek(followUpMilliseconds);
    }
    if (isFinalByte(byte)) take(terminal, byte, key);
}

bool startsControlSequence(int byte) {
    return byte == '[' || isParameterOrIntermediate(byte) || isFinalByte(byte);
}

KeyPress takeAfterEscape(const TerminalBytes& terminal, Key& key) {
    const int second = terminal.peek(followUpMilliseconds);
    if (second == noKeyByte || second == escapeByte) return KeyPress::Character;  // lone Escape
    take(terminal, second, key);
    if (second == '[') {
        const int third = terminal.peek(followUpMilliseconds);
        if (!startsControlSequence(third)) return KeyPress::Character;  // Alt with [
        takeRestOfControlSequence(terminal, third, key);
        return KeyPress::TwoPart;
    }
    if (second == 'O' && takeIf(terminal, isFinalByte, key)) return KeyPress::TwoPart;
    takeRestOfCharacter(terminal, second, key);  // Alt with a character
    return KeyPress::Character;
}

}  // namespace

Key takeOneKey(const TerminalBytes& terminal) {
    Key key;
    const int first = terminal.peek(waitForever);
    if (first == noKeyByte) return key;
    take(terminal, first, key);
    if (first == escapeByte) {
        key.press = takeAfterEscape(terminal, key);
    } else {
        takeRestOfCharacter(terminal, first, key);
        key.press = KeyPress::Character;
    }
    return key;
}

void takeRestOfLine(const TerminalBytes& terminal, const Key& key) {
    if (key.length == 1 && isLineEnd(static_cast<unsigned char>(key.bytes[0]))) return;
    Key rest;
    for (int byte = terminal.peek(followUpMilliseconds); byte != noKeyByte;
         byte = terminal.peek(followUpMilliseconds)) {
        take(terminal, byte, rest);
        if (byte == '\r') takeIf(terminal, [](int next) { return next == '\n'; }, rest);
        if (isLineEnd(byte)) return;
    }
}
