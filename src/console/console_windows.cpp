// The platform layer on Windows: standard input and output as raw handles,
// so that no byte is translated, key presses as events of the console input
// device, and "cls" through the command interpreter.
#include <windows.h>

#include <cstdlib>

#include "console/key_events_windows.h"
#include "console/platform.h"

namespace {

// How long to wait before trying a pipe in no-wait mode again; such a
// pipe cannot be waited on.
constexpr DWORD nonBlockingRetryMilliseconds = 1;

// A standard handle is missing when it is null, or not a handle at all.
bool isUsable(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    SetLastError(NO_ERROR);
    return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
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

// The console's input mode for the lifetime of the guard: no echo, no line
// input, Ctrl+C an ordinary key.
class KeyMode {
public:
    KeyMode(HANDLE console, DWORD previous) : console_(console), previous_(previous) {
        SetConsoleMode(console_, previous_ & ~(ENABLE_ECHO_INPUT | ENABLE_LINE_INPUT |
                                               ENABLE_PROCESSED_INPUT));
    }
    ~KeyMode() { SetConsoleMode(console_, previous_); }
    KeyMode(const KeyMode&) = delete;
    KeyMode& operator=(const KeyMode&) = delete;

private:
    HANDLE console_;
    DWORD previous_;
};

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
    for (;;) {
        DWORD count = 0;
        if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, static_cast<DWORD>(capacity),
                     &count, nullptr))
            return count;
        if (GetLastError() != ERROR_NO_DATA) return 0;
        Sleep(nonBlockingRetryMilliseconds);  // a pipe in no-wait mode, still empty
    }
}

void writeStandardOutput(const char* bytes, std::size_t length) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    while (length > 0) {
        DWORD count = 0;
        if (!WriteFile(output, bytes, static_cast<DWORD>(length), &count, nullptr)) return;
        if (count == 0) Sleep(nonBlockingRetryMilliseconds);  // a full pipe in no-wait mode
        bytes += count;
        length -= count;
    }
}

bool standardOutputIsTerminal() {
    static const bool console = [] {
        DWORD mode;
        return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != FALSE;
    }();
    return console;
}

void clearTerminal() { std::system("cls"); }

KeyPress readKeyPress() {
    const HANDLE console = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return KeyPress::NoKeyboard;
    DWORD previous;
    KeyPress key = KeyPress::NoKeyboard;
    if (GetConsoleMode(console, &previous)) {
        const KeyMode mode(console, previous);
        key = waitForKeyEvent([console] {
            INPUT_RECORD record{};
            DWORD count = 0;
            if (!ReadConsoleInputW(console, &record, 1, &count) || count == 0) {
                InputEvent lost;  // the console went away: end the wait
                lost.kind = InputEvent::Kind::Key;
                lost.keyDown = true;
                lost.character = ' ';
                return lost;
            }
            return toInputEvent(record);
        });
    }
    CloseHandle(console);
    return key;
}
