#include "console/posix/line_editor.h"

#include <fcntl.h>
#include <histedit.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "console/posix/key_bytes.h"
#include "console/posix/terminal.h"
#include "console/posix/terminal_abilities.h"
#include "console/utf8.h"

namespace {

constexpr int historyLength = 100;
constexpr std::size_t promptCapacity = 80;

// A byte that begins no valid UTF-8 character stands in the editor for
// itself as one of U+DC80 to U+DCFF, which no valid character uses, and
// comes back out as the same byte.
constexpr wchar_t escapedByteBase = 0xdc00;

EditLine* editor = nullptr;
HistoryW* history = nullptr;
// The text on the screen's last line when the read began, and the part of it
// the editor draws: the part on the terminal's last row, until the line is
// drawn afresh after a stop or a resize, when the whole text is.
char wholePrompt[promptCapacity + 1];
char prompt[promptCapacity + 1];

// The line being handed out; the editor keeps it until its next read. The
// bytes of its current character wait in `encoded`.
const wchar_t* line = nullptr;
std::size_t lineLength = 0;
std::size_t lineNext = 0;
char encoded[utf8MaximumLength];
std::size_t encodedLength = 0;
std::size_t encodedNext = 0;

char* currentPrompt(EditLine*) { return prompt; }

struct Character {
    wchar_t codePoint;
    std::size_t length;  // in bytes; 0 if the front byte begins no valid character
};

// The valid UTF-8 character at the front of the terminal's bytes, if any.
Character frontCharacter(int lead) {
    const std::size_t length = utf8SequenceLength(lead);
    if (length == 0) return {0, 0};
    char bytes[utf8MaximumLength] = {static_cast<char>(lead)};
    for (std::size_t ahead = 1; ahead < length; ++ahead) {
        const int byte = peekTerminalByte(ahead, followUpMilliseconds);
        if (!isUtf8ContinuationByte(byte)) return {0, 0};
        bytes[ahead] = static_cast<char>(byte);
    }
    const auto code = decodeUtf8({bytes, length});
    return code ? Character{static_cast<wchar_t>(*code), length} : Character{0, 0};
}

// The escape sequences the editor acts on, as the usual terminals send
// them; every other one (function keys, Insert, Page Up ...) does nothing,
// rather than leave the rest of its bytes in the line.
struct EditingKey {
    std::string_view sequence;
    const char* action;
};
constexpr EditingKey editingKeys[] = {
    {"\x1b[A", "ed-prev-history"},  {"\x1bOA", "ed-prev-history"},
    {"\x1b[B", "ed-next-history"},  {"\x1bOB", "ed-next-history"},
    {"\x1b[C", "ed-next-char"},     {"\x1bOC", "ed-next-char"},
    {"\x1b[D", "ed-prev-char"},     {"\x1bOD", "ed-prev-char"},
    {"\x1b[H", "ed-move-to-beg"},   {"\x1bOH", "ed-move-to-beg"},
    {"\x1b[1~", "ed-move-to-beg"},  {"\x1b[7~", "ed-move-to-beg"},
    {"\x1b[F", "ed-move-to-end"},   {"\x1bOF", "ed-move-to-end"},
    {"\x1b[4~", "ed-move-to-end"},  {"\x1b[8~", "ed-move-to-end"},
    {"\x1b[3~", "ed-delete-next-char"},
    {"\x1b[1;5C", "em-next-word"},  {"\x1b[1;5D", "ed-prev-word"},
    {"\x1bx", "ed-unassigned"},     {"\x1bX", "ed-unassigned"},  // not the editor's command line
};

// The characters of the last key read, handed to the editor one by one.
constexpr std::size_t keyCapacity = 16;
wchar_t keyCharacters[keyCapacity];
std::size_t keyLength = 0;
std::size_t keyNext = 0;

void queueCharacter(wchar_t character) {
    if (keyLength < keyCapacity) keyCharacters[keyLength++] = character;
}

// A key that begins with Escape, read whole as a key wait reads it: an
// editing key or Alt with a letter goes to the editor, anything else not.
void queueEscapeKey() {
    std::string sequence;
    TerminalBytes recorded = terminalKeyBytes();
    recorded.take = [&sequence, take = recorded.take, peek = recorded.peek] {
        sequence += static_cast<char>(peek(0));
        take();
    };
    const KeyPress key = takeOneKey(recorded);
    bool known = key == KeyPress::Character && sequence.size() == 2 &&
                 static_cast<unsigned char>(sequence[1]) < 0x80;
    for (const EditingKey& editing : editingKeys) known = known || sequence == editing.sequence;
    if (!known) return;
    for (char byte : sequence) queueCharacter(static_cast<unsigned char>(byte));
}

// The next key: a character, as UTF-8 or as an escaped byte; false if the
// terminal is gone.
bool queueNextKey() {
    keyLength = keyNext = 0;
    const int lead = peekTerminalByte(0, waitForever);
    if (lead == noKeyByte) return false;
    if (const int signalNumber = signalTypedAs(lead)) {
        // Read in turn, after the keys typed before it, which the line keeps.
        takeTerminalBytes(1);
        // The shell's "Stopped" on a row of its own, whatever the shell.
        if (signalNumber == SIGTSTP) (void)!write(controllingTerminal(), "\r\n", 2);
        signalForegroundJob(signalNumber);
        return true;
    }
    if (lead == escapeByte) {
        queueEscapeKey();
        return true;
    }
    const Character front = frontCharacter(lead);
    queueCharacter(front.length > 0 ? front.codePoint : escapedByteBase + lead);
    takeTerminalBytes(front.length > 0 ? front.length : 1);
    return true;
}

// The editor reads through the terminal's look-ahead, so that the keys a
// key wait left behind come first.
int readCharacter(EditLine*, wchar_t* character) {
    while (keyNext == keyLength)
        if (!queueNextKey()) return 0;
    *character = keyCharacters[keyNext++];
    return 1;
}

std::size_t encode(wchar_t character, char* bytes) {
    const auto code = static_cast<char32_t>(character);
    if (code > escapedByteBase + 0x7f && code <= escapedByteBase + 0xff) {
        bytes[0] = static_cast<char>(code - escapedByteBase);
        return 1;
    }
    return encodeUtf8(code, bytes);
}

// Ctrl+D: the end of input on an empty line, with nothing shown, as a
// terminal in line mode has it; elsewhere it deletes the character under
// the cursor.
unsigned char endOrDeleteNext(EditLine*, int) {
    const LineInfoW* current = el_wline(editor);
    if (current->buffer == current->lastchar) return CC_EOF;
    if (current->cursor == current->lastchar) return CC_ERROR;
    el_cursor(editor, 1);
    el_wdeletestr(editor, 1);
    return CC_REFRESH;
}

// How many rows the prompt's whole text and the line up to the cursor take
// at this width.
int rowsAboveCursor(int columns) {
    const LineInfoW* current = el_wline(editor);
    int width = static_cast<int>(std::strlen(wholePrompt));
    for (const wchar_t* character = current->buffer; character < current->cursor; ++character)
        width += std::max(wcwidth(*character), 1);
    return columns > 0 ? width / columns : 0;
}

// The prompt's whole text and the line drawn again from where the cursor is,
// at the terminal's width of now: the line is laid out afresh.
void drawAfresh() {
    el_resize(editor);
    std::strcpy(prompt, wholePrompt);
    el_set(editor, EL_REFRESH);
}

// After a stop: from the start of the row the cursor is on (a fresh one,
// under the shell's "fg"); the terminal may have changed size meanwhile,
// unseen.
void redrawAfterResume() {
    (void)!write(controllingTerminal(), "\r", 1);
    drawAfresh();
}

// After a change of size: the terminal has laid the line out again for the
// new width, the prompt's text with it; back to where that text starts.
void redrawAfterResize() {
    char moveUp[32];
    const int rows = rowsAboveCursor(terminalColumns());
    const int length = rows > 0 ? std::snprintf(moveUp, sizeof moveUp, "\r\x1b[%dA\x1b[J", rows)
                                : std::snprintf(moveUp, sizeof moveUp, "\r\x1b[J");
    (void)!write(controllingTerminal(), moveUp, static_cast<std::size_t>(length));
    drawAfresh();
}

bool startEditor() {
    static bool tried = false;
    if (tried) return editor != nullptr;
    tried = true;
    std::setlocale(LC_CTYPE, "C.UTF-8");  // how the editor shows characters
    // The editor draws on the terminal itself, never on standard output, and
    // its messages (such as an unknown terminal type's) go nowhere.
    const int screenDescriptor = fcntl(controllingTerminal(), F_DUPFD_CLOEXEC, 0);
    std::FILE* screen = screenDescriptor >= 0 ? fdopen(screenDescriptor, "w") : nullptr;
    std::FILE* messages = std::fopen("/dev/null", "we");
    if (screen == nullptr || messages == nullptr) return false;
    editor = el_init_fd("tinkerspindle", stdin, screen, messages, STDIN_FILENO, screenDescriptor,
                        screenDescriptor);
    if (editor == nullptr) return false;
    padWithNothing();
    // Ctrl+C, Ctrl+\ and Ctrl+Z come as bytes, in turn with the keys around
    // them, rather than as signals that throw away the keys typed before.
    el_set(editor, EL_SETTY, "-d", "-isig", nullptr);
    history = history_winit();
    HistEventW event;
    history_w(history, &event, H_SETSIZE, historyLength);
    history_w(history, &event, H_SETUNIQUE, 1);
    el_wset(editor, EL_HIST, history_w, history);
    el_set(editor, EL_EDITOR, "emacs");
    el_set(editor, EL_SIGNAL, 0);
    el_set(editor, EL_PROMPT, currentPrompt);
    el_wset(editor, EL_GETCFN, readCharacter);
    for (const EditingKey& key : editingKeys)
        el_set(editor, EL_BIND, std::string(key.sequence).c_str(), key.action, nullptr);
    el_wset(editor, EL_ADDFN, L"tinkerspindle-end-or-delete", L"End of input or delete",
            endOrDeleteNext);
    el_set(editor, EL_BIND, "^D", "tinkerspindle-end-or-delete", nullptr);
    return true;
}

// Text on the screen's last line can be the prompt if it is plain and short;
// where it is wider than the terminal, its part on the last row.
void usePrompt(std::string_view shown) {
    bool plain = shown.size() <= promptCapacity;
    for (char byte : shown) plain = plain && byte >= ' ' && byte <= '~';
    if (!plain) shown = {};
    shown.copy(wholePrompt, shown.size());
    wholePrompt[shown.size()] = '\0';
    const std::size_t columns = static_cast<std::size_t>(terminalColumns());
    if (columns > 0 && shown.size() > columns) shown.remove_prefix((shown.size() - 1) / columns * columns);
    shown.copy(prompt, shown.size());
    prompt[shown.size()] = '\0';
}

void remember(const wchar_t* text, std::size_t length) {
    std::wstring entry(text, length);
    if (!entry.empty() && entry.back() == L'\n') entry.pop_back();
    if (entry.empty()) return;
    HistEventW event;
    history_w(history, &event, H_ENTER, entry.c_str());
}

// Lets the player type a line; false at the end of input.
bool editLine(std::string_view shown) {
    usePrompt(shown);
    int count = 0;
    // The editor draws its prompt from the start of the line, over the same text.
    if (prompt[0] != '\0') (void)!write(controllingTerminal(), "\r", 1);
    setTerminalRedraw({redrawAfterResize, redrawAfterResume});
    line = el_wgets(editor, &count);
    setTerminalRedraw({});
    if (line == nullptr || count <= 0) {
        line = nullptr;
        return false;
    }
    lineLength = static_cast<std::size_t>(count);
    lineNext = 0;
    remember(line, lineLength);
    return true;
}

bool lineHandedOut() {
    return line == nullptr || (lineNext == lineLength && encodedNext == encodedLength);
}

}  // namespace

std::optional<std::size_t> readEditedLine(char* buffer, std::size_t capacity,
                                          std::string_view shown) {
    if (lineHandedOut()) {
        const TerminalSettingsGuard settings;  // the editor changes them; they come back as found
        if (!startEditor()) return std::nullopt;
        if (!editLine(shown)) return 0;
    }
    std::size_t copied = 0;
    while (copied < capacity) {
        if (encodedNext == encodedLength) {
            if (lineNext == lineLength) break;
            encodedLength = encode(line[lineNext++], encoded);
            encodedNext = 0;
        }
        buffer[copied++] = encoded[encodedNext++];
    }
    return copied;
}
