#include "console/posix/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include "console/posix/key_bytes.h"

namespace {

constexpr int unopened = -2;
int terminal = unopened;  // the controlling terminal, or -1 if none

constexpr std::size_t lookAheadCapacity = 4;
unsigned char lookAhead[lookAheadCapacity];
std::size_t lookAheadHeld = 0;

// Shared with the signal handlers, which only restore settings and re-raise.
// One guard at a time saves its settings here, where a handler finds them;
// a key wait and a line edit never overlap, so guards never nest.
termios settingsFound;
volatile sig_atomic_t settingsChanged = 0;
volatile sig_atomic_t resized = 0;

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

// From a signal handler: the settings as found, if a guard changed them.
void restoreFoundSettings() {
    if (settingsChanged) tcsetattr(terminal, TCSANOW, &settingsFound);
}

// Acts on the signal as if no handler had been set: dies, or stops and
// returns once continued.
void raiseWithDefaultAction(int signalNumber) {
    setHandler(signalNumber, SIG_DFL);
    unblock(signalNumber);
    raise(signalNumber);
}

// SIGTERM, SIGHUP, SIGINT, SIGQUIT: put the terminal back, then die of the
// same signal.
void restoreAndDie(int signalNumber) {
    restoreFoundSettings();
    raiseWithDefaultAction(signalNumber);
}

// SIGTSTP: stop with the terminal as found; when continued, go back to the
// settings of the moment.
void suspendWithTerminalRestored(int signalNumber) {
    const int savedErrno = errno;
    termios current;
    const bool changed = settingsChanged && tcgetattr(terminal, &current) == 0;
    restoreFoundSettings();
    raiseWithDefaultAction(signalNumber);
    setHandler(signalNumber, suspendWithTerminalRestored);
    if (changed) tcsetattr(terminal, TCSANOW, &current);
    errno = savedErrno;
}

void noteResize(int) { resized = 1; }

void installHandlerUnlessIgnored(int signalNumber, void (*handler)(int)) {
    struct sigaction current {};
    sigaction(signalNumber, nullptr, &current);
    if (current.sa_handler != SIG_IGN) setHandler(signalNumber, handler);
}

// One more byte into the look-ahead; false if none comes in time.
bool readAhead(int milliseconds) {
    if (milliseconds != waitForever) {
        pollfd ready{terminal, POLLIN, 0};
        int count;
        while ((count = poll(&ready, 1, milliseconds)) < 0 && errno == EINTR) {
        }
        if (count <= 0) return false;
    }
    for (;;) {
        const ssize_t count = read(terminal, lookAhead + lookAheadHeld, 1);
        if (count == 1) {
            ++lookAheadHeld;
            return true;
        }
        if (count == 0 || errno != EINTR) return false;  // the terminal is gone
    }
}

}  // namespace

int controllingTerminal() {
    if (terminal == unopened) {
        terminal = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (terminal >= 0) {
            for (int signalNumber : {SIGTERM, SIGHUP, SIGINT, SIGQUIT})
                installHandlerUnlessIgnored(signalNumber, restoreAndDie);
            installHandlerUnlessIgnored(SIGTSTP, suspendWithTerminalRestored);
            installHandlerUnlessIgnored(SIGWINCH, noteResize);
        }
    }
    return terminal;
}

bool inputIsControllingTerminal() {
    // Only the controlling terminal tells the session it belongs to.
    static const bool same = isatty(STDIN_FILENO) == 1 && tcgetsid(STDIN_FILENO) != -1 &&
                             controllingTerminal() >= 0;
    return same;
}

int peekTerminalByte(std::size_t ahead, int milliseconds) {
    if (ahead >= lookAheadCapacity || controllingTerminal() < 0) return noKeyByte;
    while (lookAheadHeld <= ahead)
        if (!readAhead(milliseconds)) return noKeyByte;
    return lookAhead[ahead];
}

void takeTerminalBytes(std::size_t count) {
    if (count > lookAheadHeld) count = lookAheadHeld;
    for (std::size_t index = count; index < lookAheadHeld; ++index)
        lookAhead[index - count] = lookAhead[index];
    lookAheadHeld -= count;
}

TerminalBytes terminalKeyBytes() {
    return {[](int milliseconds) { return peekTerminalByte(0, milliseconds); },
            [] { takeTerminalBytes(1); }};
}

bool terminalResized() {
    const bool changed = resized != 0;
    resized = 0;
    return changed;
}

TerminalSettingsGuard::TerminalSettingsGuard() {
    holds_ = controllingTerminal() >= 0 && tcgetattr(terminal, &settingsFound) == 0;
    if (holds_) settingsChanged = 1;
}

// TCSANOW throughout, never TCSAFLUSH: keys typed ahead must survive a change.
TerminalSettingsGuard::~TerminalSettingsGuard() {
    if (!holds_) return;
    tcsetattr(terminal, TCSANOW, &settingsFound);
    settingsChanged = 0;
}

const termios& TerminalSettingsGuard::found() const { return settingsFound; }

void TerminalSettingsGuard::apply(const termios& settings) const {
    if (holds_) tcsetattr(terminal, TCSANOW, &settings);
}
