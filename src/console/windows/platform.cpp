// The platform layer on Windows: standard input and output as raw handles,
// so that no byte is translated; lines typed at the console read as UTF-16
// and handed on as UTF-8, whatever the code page; key presses as events of
// the console input device; and "cls" through the command interpreter.
#include <windows.h>

#include <cstdlib>
#include <initializer_list>
#include <optional>

#include "console_text.h"
#include "key_events.h"
#include "../platform.h"

namespace {

// How long to wait before trying a pipe in no-wait mode again; such a
// pipe cannot be waited on.
constexpr DWORD nonBlockingRetryMilliseconds = 1;

// Arrows arrive as key events, not as ESC [ A, while this is off.
constexpr DWORD virtualTerminalInput = 0x0200;

// A standard handle is missing when it is null, or not a handle at all.
bool isUsable(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    SetLastError(NO_ERROR);
    return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

bool isConsole(HANDLE handle) {
    DWORD mode;
    return GetConsoleMode(handle, &mode) != FALSE;
}

// Whether text stands on the console's row: written since the last line
// end, clear or line typed.
bool rowHoldsText = false;

// Console lines, converted to UTF-8 and handed out as the reader asks.
constexpr DWORD consoleUnitsPerRead = 4096;
char consoleBytes[utf8BytesPerUnit * (consoleUnitsPerRead + 1)];
std::size_t consoleNext = 0;
std::size_t consoleEnd = 0;
ConsoleTextState consoleText;

// Reads more of the line being typed; false at the end of input.
bool readConsoleUnits(HANDLE input) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    char16_t units[consoleUnitsPerRead];
    DWORD count = 0;
    if (!ReadConsoleW(input, units, consoleUnitsPerRead, &count, nullptr)) return false;
    rowHoldsText = false;  // the console shows the line typed, and its line end
    const auto converted = consoleUnitsToUtf8(units, count, consoleText, consoleBytes);
    consoleNext = 0;
    consoleEnd = converted.value_or(0);
    return converted.has_value();
}

std::size_t readConsoleLine(HANDLE input, char* buffer, std::size_t capacity) {
    while (consoleNext == consoleEnd)
        if (!readConsoleUnits(input)) return 0;
    std::size_t count = consoleEnd - consoleNext;
    if (count > capacity) count = capacity;
    CopyMemory(buffer, consoleBytes + consoleNext, count);
    consoleNext += count;
    return count;
}

InputEvent toInputEvent(const INPUT_RECORD& record) {
    InputEvent event;
    switch (record.EventType) {
        case KEY_EVENT:
            event.kind = InputEvent::Kind::Key;
            event.keyDown = record.Event.KeyEvent.bKeyDown != FALSE;
            event.virtualKeyCode = record.Event.KeyEvent.wVirtualKeyCode;
            event.character = record.Event.KeyEvent.uChar.UnicodeChar;
            break;
        case MOUSE_EVENT: event.kind = InputEvent::Kind::Mouse; break;
        case WINDOW_BUFFER_SIZE_EVENT: event.kind = InputEvent::Kind::WindowSize; break;
        default: event.kind = InputEvent::Kind::Other;
    }
    return event;
}

// Set when the console reports Ctrl+C as a control event during a wait.
HANDLE interruptArrived = nullptr;

BOOL WINAPI takeInterruptAsKey(DWORD controlType) {
    if (controlType != CTRL_C_EVENT) return FALSE;
    SetEvent(interruptArrived);
    return TRUE;
}

// The console's input mode for the lifetime of the guard: no echo, no line
// input, no virtual-terminal sequences, and Ctrl+C an ordinary key, even
// where the console reports it as a control event.
class KeyMode {
public:
    KeyMode(HANDLE console, DWORD previous) : console_(console), previous_(previous) {
        SetConsoleMode(console_, previous_ & ~(ENABLE_ECHO_INPUT | ENABLE_LINE_INPUT |
                                               ENABLE_PROCESSED_INPUT | virtualTerminalInput));
        if (interruptArrived == nullptr)
            interruptArrived = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ResetEvent(interruptArrived);
        SetConsoleCtrlHandler(takeInterruptAsKey, TRUE);
    }
    ~KeyMode() {
        SetConsoleCtrlHandler(takeInterruptAsKey, FALSE);
        SetConsoleMode(console_, previous_);
    }
    KeyMode(const KeyMode&) = delete;
    KeyMode& operator=(const KeyMode&) = delete;

private:
    HANDLE console_;
    DWORD previous_;
};

// The next input record, or Ctrl+C as a control event, whichever comes
// first, left in place until taken. A console that went away ends the wait.
bool interruptPeeked = false;

std::optional<InputEvent> peekConsoleEvent(HANDLE console, int milliseconds) {
    const HANDLE sources[] = {interruptArrived, console};
    const DWORD timeout = milliseconds == waitForever ? INFINITE : DWORD(milliseconds);
    for (;;) {
        const DWORD ready = WaitForMultipleObjects(2, sources, FALSE, timeout);
        if (ready == WAIT_TIMEOUT) return std::nullopt;
        INPUT_RECORD record{};
        DWORD count = 0;
        interruptPeeked = ready != WAIT_OBJECT_0 + 1 ||
                          !PeekConsoleInputW(console, &record, 1, &count);
        if (interruptPeeked) {
            InputEvent event;
            event.kind = InputEvent::Kind::Interrupt;  // Ctrl+C, or nothing more to wait for
            return event;
        }
        if (count == 1) return toInputEvent(record);
    }
}

void takeConsoleEvent(HANDLE console) {
    INPUT_RECORD record{};
    DWORD count = 0;
    if (interruptPeeked) {
        ResetEvent(interruptArrived);
    } else {
        ReadConsoleInputW(console, &record, 1, &count);
    }
}

}  // namespace

void adoptStandardStreams() {
    for (DWORD stream : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        if (isUsable(GetStdHandle(stream))) continue;
        const HANDLE nowhere = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr);
        if (nowhere != INVALID_HANDLE_VALUE) SetStdHandle(stream, nowhere);
    }
}

std::size_t readStandardInput(char* buffer, std::size_t capacity) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    static const bool typedAtConsole = isConsole(input);
    if (typedAtConsole) return readConsoleLine(input, buffer, capacity);
    for (;;) {
        DWORD count = 0;
        if (ReadFile(input, buffer, static_cast<DWORD>(capacity), &count, nullptr)) return count;
        if (GetLastError() != ERROR_NO_DATA) return 0;
        Sleep(nonBlockingRetryMilliseconds);  // a pipe in no-wait mode, still empty
    }
}

void writeStandardOutput(const char* bytes, std::size_t length) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (length > 0) rowHoldsText = bytes[length - 1] != '\n';
    while (length > 0) {
        DWORD count = 0;
        if (!WriteFile(output, bytes, static_cast<DWORD>(length), &count, nullptr)) return;
        if (count == 0) Sleep(nonBlockingRetryMilliseconds);  // a full pipe in no-wait mode
        bytes += count;
        length -= count;
    }
}

bool standardOutputIsTerminal() {
    static const bool console = isConsole(GetStdHandle(STD_OUTPUT_HANDLE));
    return console;
}

void clearTerminal() {
    std::system("cls");
    rowHoldsText = false;
}

void endTerminalRow() {
    if (standardOutputIsTerminal() && rowHoldsText) writeStandardOutput("\n", 1);
}

KeyPress readKeyPress() {
    const HANDLE console = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return KeyPress::NoKeyboard;
    DWORD previous;
    KeyPress key = KeyPress::NoKeyboard;
    if (GetConsoleMode(console, &previous)) {
        const KeyMode mode(console, previous);
        key = waitForKeyEvent({[console](int milliseconds) { return peekConsoleEvent(console, milliseconds); },
                               [console] { takeConsoleEvent(console); }});
    }
    CloseHandle(console);
    return key;
}
