#include "terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace {

constexpr int unopened = -2;
int terminal = unopened;  // the controlling terminal, or -1 if none

// The byte a reader looked at but did not take.
unsigned char lookAhead = 0;
bool lookAheadHeld = false;

// How often a game continued in the background looks whether the terminal
// is its own again; nothing tells it when.
constexpr int backgroundPollMilliseconds = 100;

// How long the terminal's size must hold before the line is drawn for it:
// longer than the quarter of a second at which tmux passes a run of sizes on.
constexpr long resizeQuietMilliseconds = 300;

// Shared with the signal handlers, which only restore settings, re-raise
// and set flags. One guard at a time saves its settings here, where a
// handler finds them; a key wait and a line edit never overlap, so guards
// never nest.
termios settingsFound;
volatile sig_atomic_t guardLive = 0;  // a guard holds settingsFound
volatile sig_atomic_t resized = 0;
volatile sig_atomic_t resumed = 0;
volatile sig_atomic_t continues = 0;  // how many times the game was continued

// The settings a guard's user is reading in: put back after a stop.
termios settingsInUse;
bool settingsInUseKnown = false;

TerminalRedraw redraw;

enum class Standing { Foreground, Background, Gone };

Standing standing() {
    const pid_t owner = tcgetpgrp(terminal);
    if (owner < 0) return Standing::Gone;
    return owner == getpgrp() ? Standing::Foreground : Standing::Background;
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

// From a signal handler: the settings as found, if a guard changed them and
// the terminal is still the game's (the shell that took it back has put its
// own settings there).
void restoreFoundSettings() {
    if (guardLive && standing() == Standing::Foreground)
        tcsetattr(terminal, TCSANOW, &settingsFound);
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

// SIGTSTP: stop with the terminal as found. If the shell took the terminal
// back first, the restore itself stops the game (SIGTTOU); then that was the
// stop, and stopping once more after fg would leave the game stopped where
// no shell sees it (under a wrapper, the shell waits for the wrapper only).
void suspend(int signalNumber) {
    const int savedErrno = errno;
    const sig_atomic_t continuesBefore = continues;
    restoreFoundSettings();
    if (continues == continuesBefore) raiseWithDefaultAction(signalNumber);
    setHandler(signalNumber, suspend);
    errno = savedErrno;
}

void noteContinue(int) {
    continues = continues + 1;
    resumed = 1;
}

void noteResize(int) { resized = 1; }

void installHandlerUnlessIgnored(int signalNumber, void (*handler)(int)) {
    struct sigaction current {};
    sigaction(signalNumber, nullptr, &current);
    if (current.sa_handler != SIG_IGN) setHandler(signalNumber, handler);
}

// Waits while the game runs in the background; false if the terminal is gone.
bool awaitForeground() {
    Standing now;
    while ((now = standing()) == Standing::Background) poll(nullptr, 0, backgroundPollMilliseconds);
    return now == Standing::Foreground;
}

// Waits out a run of changes of size (a window being dragged) until none
// has come for a while: a line drawn for a width the terminal has already
// left behind lands on the wrong rows. Signals come in meanwhile.
void awaitLastResize(const sigset_t& unblocked) {
    const timespec quiet{0, resizeQuietMilliseconds * 1000000L};
    while (resized) {
        resized = 0;
        pselect(0, nullptr, nullptr, nullptr, &quiet, &unblocked);
    }
}

// After a stop: the settings of the moment back, and the line drawn again;
// after a change of size, the line drawn for the new width.
void settleAfterSignals(const sigset_t& unblocked) {
    const bool sizeChanged = resized && redraw.resized != nullptr;
    if (sizeChanged) awaitLastResize(unblocked);
    resized = 0;
    if (resumed) {
        resumed = 0;
        if (!awaitForeground()) return;
        if (guardLive && settingsInUseKnown) tcsetattr(terminal, TCSANOW, &settingsInUse);
        if (redraw.resumed != nullptr) redraw.resumed();
    }
    if (sizeChanged) redraw.resized();
}

// Before a read blocks: whatever settings the reader set are the ones to
// come back to after a stop.
void noteSettingsInUse() {
    if (guardLive && !settingsInUseKnown)
        settingsInUseKnown = tcgetattr(terminal, &settingsInUse) == 0;
}

// Waits for a byte to read, at most the milliseconds; 1 if one is there, 0
// if none came, -1 if a signal came first. The signals that call for the
// terminal's settings or the line to be seen to are held off until the wait
// has begun, so that none slips in unseen just before it (pselect, not
// ppoll, which macOS lacks).
int awaitByte(int milliseconds) {
    sigset_t wakers, previous;
    sigemptyset(&wakers);
    for (int signalNumber : {SIGTSTP, SIGCONT, SIGWINCH}) sigaddset(&wakers, signalNumber);
    sigprocmask(SIG_BLOCK, &wakers, &previous);
    settleAfterSignals(previous);
    noteSettingsInUse();
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(terminal, &readable);
    timespec limit{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    const int count = pselect(terminal + 1, &readable, nullptr, nullptr,
                              milliseconds == waitForever ? nullptr : &limit, &previous);
    const int savedErrno = errno;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    errno = savedErrno;
    return count;
}

// A byte into the look-ahead; false if none comes in time or the
// terminal is gone. Every signal wakes the wait, so that a stop, a continue
// or a change of size is dealt with at once; a read in the background fails
// (SIGTTIN is ignored) rather than stopping the game.
bool readAhead(int milliseconds) {
    for (;;) {
        const int count = awaitByte(milliseconds);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        const ssize_t got = read(terminal, &lookAhead, 1);
        if (got == 1) {
            lookAheadHeld = true;
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got == 0 || standing() != Standing::Background) return false;
        resumed = 1;  // read in the background: wait for the terminal, then settle as after a stop
    }
}

}  // namespace

int controllingTerminal() {
    if (terminal == unopened) {
        terminal = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (terminal >= 0) {
            for (int signalNumber : {SIGTERM, SIGHUP, SIGINT, SIGQUIT})
                installHandlerUnlessIgnored(signalNumber, restoreAndDie);
            installHandlerUnlessIgnored(SIGTSTP, suspend);
            setHandler(SIGCONT, noteContinue);
            installHandlerUnlessIgnored(SIGWINCH, noteResize);
            std::signal(SIGTTIN, SIG_IGN);
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

int terminalColumns() {
    winsize size{};
    if (controllingTerminal() < 0 || ioctl(terminal, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

int peekTerminalByte(int milliseconds) {
    if (!lookAheadHeld && (controllingTerminal() < 0 || !readAhead(milliseconds))) return noKeyByte;
    return lookAhead;
}

void takeTerminalByte() { lookAheadHeld = false; }

std::size_t takeLookAhead(char* buffer, std::size_t capacity) {
    if (!lookAheadHeld || capacity == 0) return 0;
    buffer[0] = static_cast<char>(lookAhead);
    lookAheadHeld = false;
    return 1;
}

void writeTerminal(std::string_view bytes) {
    while (!bytes.empty() && controllingTerminal() >= 0) {
        const ssize_t count = write(terminal, bytes.data(), bytes.size());
        if (count > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            return;
        }
    }
}

TerminalBytes terminalKeyBytes() {
    return {peekTerminalByte, takeTerminalByte};
}

int signalTypedAs(int byte) {
    if (!guardLive || (settingsFound.c_lflag & ISIG) == 0 || byte == _POSIX_VDISABLE) return 0;
    const cc_t* keys = settingsFound.c_cc;
    if (byte == keys[VINTR]) return SIGINT;
    if (byte == keys[VQUIT]) return SIGQUIT;
    if (byte == keys[VSUSP]) return SIGTSTP;
    return 0;
}

void signalForegroundJob(int signalNumber) {
    const pid_t job = controllingTerminal() >= 0 ? tcgetpgrp(terminal) : -1;
    if (job > 0) {
        killpg(job, signalNumber);
    } else {
        raise(signalNumber);
    }
}

void setTerminalRedraw(TerminalRedraw drawing) { redraw = drawing; }

// TCSANOW throughout, never TCSAFLUSH: keys typed ahead must survive a change.
TerminalSettingsGuard::TerminalSettingsGuard() {
    holds_ = controllingTerminal() >= 0 && awaitForeground() &&
             tcgetattr(terminal, &settingsFound) == 0;
    if (holds_) guardLive = 1;
    settingsInUseKnown = false;
}

TerminalSettingsGuard::~TerminalSettingsGuard() {
    if (!holds_) return;
    if (awaitForeground()) tcsetattr(terminal, TCSANOW, &settingsFound);
    guardLive = 0;
}

const termios& TerminalSettingsGuard::found() const { return settingsFound; }

void TerminalSettingsGuard::apply(const termios& settings) const {
    if (!holds_ || !awaitForeground()) return;
    tcsetattr(terminal, TCSANOW, &settings);
    settingsInUse = settings;
    settingsInUseKnown = true;
}
