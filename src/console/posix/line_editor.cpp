#include "line_editor.h"

#include <fcntl.h>
#include <histedit.h>
#include <unistd.h>

#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cwchar>
#include <string>

#include "../utf8.h"
#include "key_bytes.h"
#include "terminal.h"
#include "terminal_abilities.h"

namespace {

constexpr int historyLength = 100;
constexpr std::size_t promptCapacity = 80;

// A byte that begins no valid UTF-8 character stands in the editor for
// itself as one of U+DC80 to U+DCFF, which no valid character uses, and
// comes back out as the same byte.
constexpr wchar_t escapedByteBase = 0xdc00;

bool isEscapedByte(wchar_t character) {
    return character > escapedByteBase + 0x7f && character <= escapedByteBase + 0xff;
}

// A character of the line as the bytes it stands for.
std::size_t encode(wchar_t character, char* bytes) {
    if (isEscapedByte(character)) {
        bytes[0] = static_cast<char>(character - escapedByteBase);
        return 1;
    }
    return encodeUtf8(static_cast<char32_t>(character), bytes);
}

EditLine* editor = nullptr;
HistoryW* history = nullptr;

// The line being handed out; the editor keeps it until its next read. The
// bytes of its current character wait in `encoded`.
const wchar_t* line = nullptr;
std::size_t lineLength = 0;
std::size_t lineNext = 0;
char encoded[utf8MaximumLength];
std::size_t encodedLength = 0;
std::size_t encodedNext = 0;

// ---- Drawing. libedit edits the line but draws nothing (its output goes
// nowhere): it ends a row that ends in a space with a line feed of its
// own, which a terminal that re-wraps its lines on a resize keeps as a row
// apart, leaving stale copies. The line is drawn here instead, as readline
// draws it: the prompt and the line written through the right margin, one
// line to the terminal however many rows it takes.

// The text standing on the screen's last line when the read began, which
// stays there as the line's prompt.
std::string prompt;

// What the screen shows: the line and the cursor in it, and the rows from
// where the prompt starts down to the cursor.
struct Drawn {
    std::wstring line;
    std::size_t cursor = 0;
    int cursorRow = 0;
    bool current = false;  // false: to be drawn whatever the line holds
};
Drawn drawn;

// How a character of the line is shown: a printable one as itself, a
// control character as ^X, anything else (a byte that begins no UTF-8
// character, a C1 control) by its bytes in octal, as readline shows them,
// so that nothing typed can act on the terminal. A line feed is a row's
// end: the editor's search (Ctrl+R) shows what it looks for on a row of
// its own under the line.
struct Shown {
    std::string text;
    int width;
};

constexpr wchar_t rowEnd = L'\n';

// The start of the next row.
std::string newRow() { return std::string(terminalMoves().toRowStart) + "\n"; }

Shown shownAs(wchar_t character) {
    const auto code = static_cast<char32_t>(character);
    if (character == rowEnd) return {newRow(), 0};
    if (code < 0x20 || code == 0x7f) return {{'^', static_cast<char>(code ^ 0x40)}, 2};
    char bytes[utf8MaximumLength];
    const std::size_t length = encode(character, bytes);
    const int width = isEscapedByte(character) ? -1 : wcwidth(character);
    if (width >= 0) return {{bytes, length}, width};
    std::string octal;
    for (std::size_t index = 0; index < length; ++index) {
        char digits[5];
        std::snprintf(digits, sizeof digits, "\\%03o", static_cast<unsigned char>(bytes[index]));
        octal += digits;
    }
    return {octal, 4 * static_cast<int>(length)};
}

int screenColumns() {
    const int columns = terminalColumns();
    return columns > 0 ? columns : INT_MAX / 2;  // a terminal that does not say wraps nowhere known
}

struct Place {
    int row = 0;
    int column = 0;
};

// Where the prompt and the line put the cursor and the line's end, as a
// terminal that wraps at the right margin lays them out: a character too
// wide for what is left of a row starts the next one.
struct Layout {
    Place cursor;
    Place end;
};

Place normalised(Place place, int columns) {
    return place.column >= columns ? Place{place.row + 1, 0} : place;
}

Layout layOut(const std::wstring& text, std::size_t cursor, int columns) {
    Place at{0, 0};
    Layout layout;
    const auto advance = [&](int width) {
        if (at.column + width > columns && at.column > 0) at = {at.row + 1, 0};
        const Place start = normalised(at, columns);
        at.column += width;
        return start;
    };
    for (std::size_t index = 0; index < prompt.size(); ++index) advance(1);
    for (std::size_t index = 0; index < text.size(); ++index) {
        Place start = at;
        if (text[index] == rowEnd) {
            at = {at.row + 1, 0};
        } else {
            start = advance(shownAs(text[index]).width);
        }
        if (index == cursor) layout.cursor = normalised(start, columns);
    }
    layout.end = normalised(at, columns);
    if (cursor >= text.size()) layout.cursor = layout.end;
    return layout;
}

// The line as the editor holds it, and the cursor in it; without the line
// feed it puts at the end on Enter.
struct Editing {
    std::wstring text;
    std::size_t cursor;
};

Editing editing() {
    const LineInfoW* current = el_wline(editor);
    Editing now{{current->buffer, current->lastchar},
                static_cast<std::size_t>(current->cursor - current->buffer)};
    if (!now.text.empty() && now.text.back() == L'\n') now.text.pop_back();
    if (now.cursor > now.text.size()) now.cursor = now.text.size();
    return now;
}

// Draws the prompt and the line afresh from where the prompt starts, and
// puts the cursor in place (at the end if asked). A line that ends at the
// right margin gets a space there, so that the terminal wraps now and the
// cursor stands at the start of the next row, where the layout puts it.
void draw(bool cursorAtEnd = false) {
    const TerminalMoves& moves = terminalMoves();
    Editing now = editing();
    if (cursorAtEnd) now.cursor = now.text.size();
    const Layout layout = layOut(now.text, now.cursor, screenColumns());
    std::string bytes = moves.up(drawn.cursorRow);
    bytes.append(moves.toRowStart).append(moves.clearToEnd).append(prompt);
    for (wchar_t character : now.text) bytes += shownAs(character).text;
    if (layout.end.row > 0 && layout.end.column == 0) bytes.append(" ").append(moves.toRowStart);
    if (layout.cursor.row != layout.end.row || layout.cursor.column != layout.end.column) {
        bytes += moves.up(layout.end.row - layout.cursor.row);
        bytes.append(moves.toRowStart).append(moves.right(layout.cursor.column));
    }
    writeTerminal(bytes);
    drawn = {now.text, now.cursor, layout.cursor.row, true};
}

void drawIfChanged() {
    const Editing now = editing();
    if (!drawn.current || drawn.cursor != now.cursor || drawn.line != now.text) draw();
}

// The line drawn whole and the cursor on a fresh row under it: after Enter,
// and before a stop, so that the shell's "Stopped" stands on a row of its
// own whatever the shell.
void leaveLine() {
    draw(true);
    writeTerminal(newRow());
    drawn = {};
}

// After a change of size: the terminal has laid the prompt and the line out
// again as one line for the new width; back to where it starts, from what
// was drawn, and all of it drawn afresh.
void redrawAfterResize() {
    drawn.cursorRow = layOut(drawn.line, drawn.cursor, screenColumns()).cursor.row;
    draw();
}

// After a stop: from the start of the row the cursor is on (a fresh one,
// under the shell's "fg"), at the terminal's width of now.
void redrawAfterResume() {
    drawn.cursorRow = 0;
    draw();
}

// Ctrl+L: the screen cleared and the line drawn at its top.
unsigned char clearScreen(EditLine*, int) {
    writeTerminal(terminalMoves().clearScreen);
    drawn = {};
    return CC_REFRESH;
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

// ---- Keys, taken whole by the one decoder the key waits use.

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
constexpr std::size_t keyCapacity = Key::bytesKept;
wchar_t keyCharacters[keyCapacity];
std::size_t keyLength = 0;
std::size_t keyNext = 0;

void queueCharacter(wchar_t character) {
    if (keyLength < keyCapacity) keyCharacters[keyLength++] = character;
}

// A key that begins with Escape goes to the editor if it is an editing key
// or Alt with a letter, and is dropped otherwise.
void queueEscapeKey(const Key& key) {
    const std::string_view sequence = key.kept();
    bool known = key.press == KeyPress::Character && key.length == 2 &&
                 static_cast<unsigned char>(sequence[1]) < 0x80;
    for (const EditingKey& editing : editingKeys) known = known || sequence == editing.sequence;
    if (!known) return;
    for (char byte : sequence) queueCharacter(static_cast<unsigned char>(byte));
}

// A character as UTF-8, or each byte escaped where the bytes are none.
void queueCharacterKey(const Key& key) {
    const std::string_view bytes = key.kept();
    if (const auto code = decodeUtf8(bytes)) {
        queueCharacter(static_cast<wchar_t>(*code));
        return;
    }
    for (char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        queueCharacter(value < 0x80 ? value : escapedByteBase + value);
    }
}

// The next key; false if the terminal is gone. Ctrl+C, Ctrl+\ and Ctrl+Z
// are read in turn with the keys around them, which the line keeps.
bool queueNextKey() {
    keyLength = keyNext = 0;
    const Key key = takeOneKey(terminalKeyBytes());
    if (key.press == KeyPress::NoKeyboard) return false;
    const int lead = static_cast<unsigned char>(key.bytes[0]);
    if (const int signalNumber = key.length == 1 ? signalTypedAs(lead) : 0) {
        if (signalNumber == SIGTSTP) leaveLine();
        signalForegroundJob(signalNumber);
    } else if (lead == escapeByte) {
        queueEscapeKey(key);
    } else {
        queueCharacterKey(key);
    }
    return true;
}

// The editor reads through the terminal's look-ahead, so that the keys a
// key wait left behind come first. The line is drawn whenever no key is
// waiting to be read: a paste is drawn once, not a key at a time.
int readCharacter(EditLine*, wchar_t* character) {
    while (keyNext == keyLength) {
        if (peekTerminalByte(0) == noKeyByte) drawIfChanged();
        if (!queueNextKey()) return 0;
    }
    *character = keyCharacters[keyNext++];
    return 1;
}

char* noPrompt(EditLine*) {
    static char nothing[] = "";
    return nothing;
}

bool startEditor() {
    static bool tried = false;
    if (tried) return editor != nullptr;
    tried = true;
    std::setlocale(LC_CTYPE, "C.UTF-8");  // how wide each character is
    // libedit draws nowhere (the line is drawn above) and says nothing, such
    // as an unknown terminal type; it edits only if its output's descriptor
    // is a terminal, so it is given the terminal's.
    std::FILE* nowhere = std::fopen("/dev/null", "we");
    if (nowhere == nullptr) return false;
    editor = el_init_fd("tinkerspindle", stdin, nowhere, nowhere, STDIN_FILENO,
                        controllingTerminal(), controllingTerminal());
    if (editor == nullptr) return false;
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
    el_set(editor, EL_PROMPT, noPrompt);
    el_wset(editor, EL_GETCFN, readCharacter);
    for (const EditingKey& key : editingKeys)
        el_set(editor, EL_BIND, std::string(key.sequence).c_str(), key.action, nullptr);
    el_wset(editor, EL_ADDFN, L"tinkerspindle-end-or-delete", L"End of input or delete",
            endOrDeleteNext);
    el_set(editor, EL_BIND, "^D", "tinkerspindle-end-or-delete", nullptr);
    el_wset(editor, EL_ADDFN, L"tinkerspindle-clear", L"Clear the screen", clearScreen);
    el_set(editor, EL_BIND, "^L", "tinkerspindle-clear", nullptr);
    return true;
}

// The text on the screen's last line is the prompt if it is plain and short
// (the terminal may have wrapped it over several rows); other text is left
// on a row of its own.
void usePrompt(std::optional<std::string_view> shown) {
    bool plain = shown && shown->size() <= promptCapacity;
    for (char byte : shown.value_or("")) plain = plain && byte >= ' ' && byte <= '~';
    prompt = plain ? *shown : std::string_view{};
    if (!plain && shown != std::string_view{}) writeTerminal(newRow());
    const int columns = terminalColumns();
    drawn = {};
    drawn.cursorRow = columns > 0 && !prompt.empty() ? static_cast<int>(prompt.size() - 1) / columns : 0;
}

void remember(const wchar_t* text, std::size_t length) {
    std::wstring entry(text, length);
    if (!entry.empty() && entry.back() == L'\n') entry.pop_back();
    if (entry.empty()) return;
    HistEventW event;
    history_w(history, &event, H_ENTER, entry.c_str());
}

// Lets the player type a line; false at the end of input.
bool editLine(std::optional<std::string_view> shown) {
    usePrompt(shown);
    int count = 0;
    setTerminalRedraw({redrawAfterResize, redrawAfterResume});
    line = el_wgets(editor, &count);
    setTerminalRedraw({});
    if (line == nullptr || count <= 0) {
        line = nullptr;
        return false;
    }
    leaveLine();
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
                                          std::optional<std::string_view> shown) {
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
