// The platform layer on POSIX: standard input and output by file descriptor,
// waited on when they would block; key presses from the controlling
// terminal in raw mode; and, when standard input is that terminal, lines
// through the line editor, or through the terminal's own line discipline
// where the terminal cannot be addressed. The terminal's settings come back
// on every way out.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <optional>
#include <string_view>

#include "../platform.h"
#include "key_bytes.h"
#include "line_editor.h"
#include "terminal.h"
#include "terminal_abilities.h"

namespace {

// The text written to the terminal since the cursor was last at the start
// of a row: what stands on its row when a read starts, for the line editor
// to keep in place, and the row the end of the game ends.
constexpr std::size_t lastLineCapacity = 128;
char lastLine[lastLineCapacity];
std::size_t lastLineLength = 0;
bool lastLineFits = true;

void startRow() {
    lastLineLength = 0;
    lastLineFits = true;
}

void rememberLastLine(std::string_view written) {
    const std::size_t lineFeed = written.rfind('\n');
    if (lineFeed != std::string_view::npos) {
        written.remove_prefix(lineFeed + 1);
        startRow();
    }
    if (written.size() > lastLineCapacity - lastLineLength) {
        lastLineFits = false;
        return;
    }
    written.copy(lastLine + lastLineLength, written.size());
    lastLineLength += written.size();
}

void ignoreBrokenPipe() {
    static const bool ignored = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)ignored;
}

// A descriptor handed over in non-blocking mode has nothing for us yet.
bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

void awaitReady(int descriptor, short events) {
    pollfd ready{descriptor, events, 0};
    while (poll(&ready, 1, waitForever) < 0 && errno == EINTR) {
    }
}

// A key wait's settings: no echo, no line editing, no signal keys, no flow
// control, a byte at a time. Output processing (OPOST) stays on, unlike in
// the usual raw mode: nothing is printed during a wait, and a line feed must
// never lose its carriage return should a restore come late. The character
// size (CS8) is left as the terminal has it.
termios rawFrom(termios settings) {
    settings.c_iflag &= ~(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    settings.c_lflag &= ~(ECHO | ICANON | IEXTEN | ISIG);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return settings;
}

std::size_t readInputDescriptor(char* buffer, std::size_t capacity) {
    for (;;) {
        const ssize_t count = read(STDIN_FILENO, buffer, capacity);
        if (count >= 0) return static_cast<std::size_t>(count);
        if (wouldBlock()) {
            awaitReady(STDIN_FILENO, POLLIN);
        } else if (errno != EINTR) {
            return 0;
        }
    }
}

std::optional<std::string_view> textOnTheRow() {
    if (!standardOutputIsTerminal()) return std::string_view{};
    if (!lastLineFits) return std::nullopt;
    return std::string_view(lastLine, lastLineLength);
}

// A line typed at the terminal: through the line editor where the terminal
// can be addressed, else through its own line discipline, the byte a key
// wait looked at but left first. The line leaves the cursor on a fresh row.
std::size_t readTerminalLine(char* buffer, std::size_t capacity) {
    std::optional<std::size_t> count;
    if (terminalCanBeAddressed()) count = readEditedLine(buffer, capacity, textOnTheRow());
    if (!count) {
        count = takeLookAhead(buffer, capacity);
        if (*count == 0) count = readInputDescriptor(buffer, capacity);
    }
    if (*count > 0) startRow();
    return *count;
}

}  // namespace

void adoptStandardStreams() {
    // open takes the lowest free descriptor: a closed standard one first.
    int descriptor = open("/dev/null", O_RDWR);
    while (descriptor >= 0 && descriptor <= STDERR_FILENO) descriptor = open("/dev/null", O_RDWR);
    if (descriptor > STDERR_FILENO) close(descriptor);
}

std::size_t readStandardInput(char* buffer, std::size_t capacity) {
    if (inputIsControllingTerminal()) return readTerminalLine(buffer, capacity);
    return readInputDescriptor(buffer, capacity);
}

void writeStandardOutput(const char* bytes, std::size_t length) {
    ignoreBrokenPipe();
    if (standardOutputIsTerminal()) rememberLastLine({bytes, length});
    while (length > 0) {
        const ssize_t count = write(STDOUT_FILENO, bytes, length);
        if (count > 0) {
            bytes += count;
            length -= static_cast<std::size_t>(count);
        } else if (count < 0 && wouldBlock()) {
            awaitReady(STDOUT_FILENO, POLLOUT);
        } else if (count == 0 || errno != EINTR) {
            return;  // a real error: the output is lost, the game goes on
        }
    }
}

bool standardOutputIsTerminal() {
    static const bool terminal = isatty(STDOUT_FILENO) == 1;
    return terminal;
}

void clearTerminal() {
    const std::string_view clear = terminalClear();
    writeStandardOutput(clear.data(), clear.size());
    startRow();
}

void endTerminalRow() {
    if (standardOutputIsTerminal() && (lastLineLength > 0 || !lastLineFits))
        writeStandardOutput("\n", 1);
}

// A terminal that cannot be addressed may send nothing until Enter: the
// wait then takes the line its key came with.
KeyPress readKeyPress() {
    const TerminalSettingsGuard settings;
    if (!settings.holds()) return KeyPress::NoKeyboard;
    settings.apply(rawFrom(settings.found()));
    const Key key = takeOneKey(terminalKeyBytes());
    if (!terminalCanBeAddressed()) takeRestOfLine(terminalKeyBytes(), key);
    return key.press;
}
