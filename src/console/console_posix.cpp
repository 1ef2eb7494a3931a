// The platform layer on POSIX: standard input and output by file descriptor,
// key presses from the controlling terminal in raw mode. The terminal's own
// settings come back on every way out of a wait, signals included.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include "console/platform.h"

namespace {

constexpr int escapeByte = 0x1b;
// How long the rest of a key's bytes may take to arrive. A lone Escape is
// told from the start of an escape sequence by nothing following in time.
constexpr int followUpMilliseconds = 30;
constexpr int waitForever = -1;
constexpr int noByte = -1;

constexpr int keyboardUnopened = -2;
int keyboard = keyboardUnopened;  // the controlling terminal, or -1 if none

// Shared with the signal handlers, which only restore settings and re-raise.
termios savedSettings;
termios rawSettings;
volatile sig_atomic_t rawModeOn = 0;

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

void setHandler(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

void unblock(int signalNumber) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signalNumber);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

// SIGTERM, SIGHUP, SIGINT, SIGQUIT: put the terminal back, then die of the
// same signal as if there had been no handler.
void restoreAndDie(int signalNumber) {
    if (rawModeOn) tcsetattr(keyboard, TCSANOW, &savedSettings);
    setHandler(signalNumber, SIG_DFL);
    unblock(signalNumber);
    raise(signalNumber);
}

// SIGTSTP: stop with the terminal sane; when continued, go back to raw mode.
void suspendWithTerminalRestored(int signalNumber) {
    const int savedErrno = errno;
    if (rawModeOn) tcsetattr(keyboard, TCSANOW, &savedSettings);
    setHandler(signalNumber, SIG_DFL);
    unblock(signalNumber);
    raise(signalNumber);
    setHandler(signalNumber, suspendWithTerminalRestored);
    if (rawModeOn) tcsetattr(keyboard, TCSANOW, &rawSettings);
    errno = savedErrno;
}

void installHandlerUnlessIgnored(int signalNumber, void (*handler)(int)) {
    struct sigaction current {};
    sigaction(signalNumber, nullptr, &current);
    if (current.sa_handler != SIG_IGN) setHandler(signalNumber, handler);
}

int keyboardDevice() {
    if (keyboard == keyboardUnopened) {
        keyboard = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (keyboard >= 0) {
            for (int signalNumber : {SIGTERM, SIGHUP, SIGINT, SIGQUIT})
                installHandlerUnlessIgnored(signalNumber, restoreAndDie);
            installHandlerUnlessIgnored(SIGTSTP, suspendWithTerminalRestored);
        }
    }
    return keyboard;
}

termios rawFrom(termios settings) {
    settings.c_iflag &= ~(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    settings.c_lflag &= ~(ECHO | ICANON | IEXTEN | ISIG);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return settings;
}

// Raw mode for the lifetime of the guard. TCSANOW keeps keys typed ahead.
class RawMode {
public:
    explicit RawMode(int terminal) : terminal_(terminal) {
        rawSettings = rawFrom(savedSettings);
        rawModeOn = 1;
        tcsetattr(terminal_, TCSANOW, &rawSettings);
    }
    ~RawMode() {
        tcsetattr(terminal_, TCSANOW, &savedSettings);
        rawModeOn = 0;
    }
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;

private:
    int terminal_;
};

// One byte from the terminal, or noByte if none comes within the timeout.
int readByte(int terminal, int timeoutMilliseconds) {
    if (timeoutMilliseconds != waitForever) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, timeoutMilliseconds) <= 0) return noByte;
    }
    unsigned char byte;
    for (;;) {
        const ssize_t count = read(terminal, &byte, 1);
        if (count == 1) return byte;
        if (count < 0 && errno == EINTR) continue;
        return noByte;
    }
}

int continuationBytes(int leadByte) {
    if (leadByte >= 0xf0 && leadByte <= 0xf7) return 3;
    if (leadByte >= 0xe0) return 2;
    if (leadByte >= 0xc0) return 1;
    return 0;
}

void readRestOfCharacter(int terminal, int leadByte) {
    if (leadByte == noByte) return;
    for (int count = continuationBytes(leadByte); count > 0; --count)
        if (readByte(terminal, followUpMilliseconds) == noByte) return;
}

bool isFinalByte(int byte) { return byte >= 0x40 && byte <= 0x7e; }

// ESC [ parameters final, and the Linux console's ESC [ [ letter.
void readRestOfControlSequence(int terminal) {
    int byte = readByte(terminal, followUpMilliseconds);
    if (byte == '[') {
        readByte(terminal, followUpMilliseconds);
        return;
    }
    while (byte != noByte && !isFinalByte(byte)) byte = readByte(terminal, followUpMilliseconds);
}

KeyPress readAfterEscape(int terminal) {
    const int second = readByte(terminal, followUpMilliseconds);
    if (second == '[') {
        readRestOfControlSequence(terminal);
        return KeyPress::TwoPart;
    }
    if (second == 'O') {
        readByte(terminal, followUpMilliseconds);
        return KeyPress::TwoPart;
    }
    readRestOfCharacter(terminal, second);  // Alt with a key, or a lone Escape
    return KeyPress::Character;
}

KeyPress readOneKey(int terminal) {
    const int first = readByte(terminal, waitForever);
    if (first == escapeByte) return readAfterEscape(terminal);
    readRestOfCharacter(terminal, first);
    return KeyPress::Character;
}

}  // namespace

void adoptStandardStreams() {
    // open takes the lowest free descriptor: a closed standard one first.
    int descriptor = open("/dev/null", O_RDWR);
    while (descriptor >= 0 && descriptor <= STDERR_FILENO) descriptor = open("/dev/null", O_RDWR);
    if (descriptor > STDERR_FILENO) close(descriptor);
}

std::size_t readStandardInput(char* buffer, std::size_t capacity) {
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

void writeStandardOutput(const char* bytes, std::size_t length) {
    ignoreBrokenPipe();
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
    static constexpr char homeEraseScreenAndScrollback[] = "\x1b[H\x1b[2J\x1b[3J";
    writeStandardOutput(homeEraseScreenAndScrollback, sizeof homeEraseScreenAndScrollback - 1);
}

KeyPress readKeyPress() {
    const int terminal = keyboardDevice();
    if (terminal < 0 || tcgetattr(terminal, &savedSettings) != 0) return KeyPress::NoKeyboard;
    const RawMode raw(terminal);
    return readOneKey(terminal);
}
