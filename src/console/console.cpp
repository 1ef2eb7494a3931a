// The console primitives over the platform layer: one output buffer, one
// buffered standard-input source shared by the menu reader and the command
// reader, and the pending half of a two-part key code.
#include "console.h"

#include <cstring>

#include "platform.h"

namespace {

constexpr std::size_t outputCapacity = 16 * 1024;
constexpr std::size_t inputCapacity = 16 * 1024;
constexpr int endOfStream = -1;

char outputBytes[outputCapacity];
std::size_t outputPending = 0;

struct InputSource {
    char bytes[inputCapacity];
    std::size_t next = 0;
    std::size_t end = 0;
    bool ended = false;  // once the end is met, every later read meets it too
};
InputSource input;

// The menu acts on a line once it is whole, as at a console: its line feed
// or the end of input has arrived. A line that outgrows the buffer is handed
// out as it comes instead, so that memory stays bounded. Until its line feed
// is taken, the line is the menu's: the command reader starts after it.
enum class MenuLine { Awaited, Whole, Outgrown };
MenuLine menuLine = MenuLine::Awaited;

bool keyHalfPending = false;

void append(std::string_view text) {
    if (text.empty()) return;  // an unused piece may hold no bytes at all
    if (text.size() > outputCapacity - outputPending) {
        flushOutput();
        if (text.size() > outputCapacity) {
            writeStandardOutput(text.data(), text.size());
            return;
        }
    }
    std::memcpy(outputBytes + outputPending, text.data(), text.size());
    outputPending += text.size();
}

// Reads more input behind what is still unread, which moves to the front.
void readMore() {
    const std::size_t unread = input.end - input.next;
    std::memmove(input.bytes, input.bytes + input.next, unread);
    input.next = 0;
    const std::size_t count = readStandardInput(input.bytes + unread, inputCapacity - unread);
    input.end = unread + count;
    input.ended = count == 0;
}

bool inputAvailable() {
    if (input.next == input.end && !input.ended) readMore();
    return input.next < input.end;
}

void awaitWholeMenuLine() {
    while (menuLine == MenuLine::Awaited) {
        const std::size_t unread = input.end - input.next;
        if (input.ended || std::memchr(input.bytes + input.next, '\n', unread) != nullptr) {
            menuLine = MenuLine::Whole;
        } else if (unread == inputCapacity) {
            menuLine = MenuLine::Outgrown;
        } else {
            readMore();
        }
    }
}

int peekByte() {
    return inputAvailable() ? static_cast<unsigned char>(input.bytes[input.next]) : endOfStream;
}

int nextByte() {
    const int byte = peekByte();
    if (byte != endOfStream) ++input.next;
    return byte;
}

bool isBlank(int byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' ||
           byte == '\r';
}

void skipRestOfMenuLine() {
    int byte = nextByte();
    while (byte != endOfStream && byte != '\n') byte = nextByte();
    menuLine = MenuLine::Awaited;
}

}  // namespace

void printLine(std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) append(piece);
    append("\n");
    flushOutput();
}

void printText(std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) append(piece);
}

void clearScreen() {
    flushOutput();
    if (standardOutputIsTerminal()) {
        clearTerminal();
    } else {
        append("\f");
    }
}

void waitKey() {
    flushOutput();
    if (keyHalfPending) {
        keyHalfPending = false;
        return;
    }
    keyHalfPending = readKeyPress() == KeyPress::TwoPart;
}

char readMenuChoice() {
    flushOutput();
    for (;;) {
        awaitWholeMenuLine();
        const int byte = nextByte();
        if (byte == endOfStream) throw EndOfInput{};
        if (byte == '\n') menuLine = MenuLine::Awaited;
        if (!isBlank(byte)) return static_cast<char>(byte);
    }
}

void readCommand(std::span<char> line) {
    flushOutput();
    if (menuLine != MenuLine::Awaited) skipRestOfMenuLine();
    int byte = nextByte();
    if (byte == endOfStream) throw EndOfInput{};
    const std::size_t capacity = line.size() - 1;
    std::size_t length = 0;
    while (byte != endOfStream && byte != '\n') {
        if (byte == '\r' && peekByte() == '\n') {
            nextByte();
            break;
        }
        if (length < capacity) line[length++] = static_cast<char>(byte);
        byte = nextByte();
    }
    line[length] = '\0';
}

void openConsole() { adoptStandardStreams(); }

void flushOutput() {
    if (outputPending == 0) return;
    writeStandardOutput(outputBytes, outputPending);
    outputPending = 0;
}

void closeConsole() {
    flushOutput();
    endTerminalRow();
}

void resetConsole() {
    input.next = input.end = 0;
    input.ended = false;
    menuLine = MenuLine::Awaited;
    outputPending = 0;
    keyHalfPending = false;
}
