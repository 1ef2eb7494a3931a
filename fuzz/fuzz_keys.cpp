// libFuzzer target for the key waits of a terminal: the fuzz bytes describe
// a run of keys of every kind, typed with or without pauses between them.
// Waits must take them back one by one, each whole, of the right kind, and
// none with a byte of the key after it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "../tests/unit/posix/scripted_terminal.h"

namespace {

// What may follow a key at once, with no pause between, for it to end there.
enum class Follow { Anything, NoContinuationByte, NoSequenceByte, NoFinalByte, OnlyEscape };

struct TypedKey {
    std::vector<int> bytes;
    KeyPress press = KeyPress::Character;
    Follow follow = Follow::Anything;
    bool pauseAfter = false;  // a pause that need not be there
};

bool mayFollowAtOnce(Follow follow, int byte) {
    switch (follow) {
        case Follow::NoContinuationByte: return byte < 0x80 || byte > 0xbf;
        case Follow::NoSequenceByte: return (byte < 0x20 || byte > 0x7e);
        case Follow::NoFinalByte: return !isFinalByte(byte);
        case Follow::OnlyEscape: return byte == escapeByte;
        default: return true;
    }
}

class FuzzReader {
public:
    FuzzReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return next_ >= size_; }
    int byte() { return next_ < size_ ? data_[next_++] : 0; }
    int inRange(int low, int high) { return low + byte() % (high - low + 1); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t next_ = 0;
};

// A character of 1 to 4 bytes; cut short when `complete` is false, and then
// it may not be followed at once by a byte that could continue it.
void appendCharacter(FuzzReader& fuzz, TypedKey& key, bool complete) {
    const int length = fuzz.inRange(1, 4);
    if (length == 1) {
        int byte = fuzz.byte() & 0x7f;
        key.bytes.push_back(byte == escapeByte ? 'e' : byte);
        return;
    }
    constexpr int leadLow[] = {0, 0, 0xc0, 0xe0, 0xf0};
    constexpr int leadHigh[] = {0, 0, 0xdf, 0xef, 0xf7};
    key.bytes.push_back(fuzz.inRange(leadLow[length], leadHigh[length]));
    const int continuations = complete ? length - 1 : fuzz.inRange(0, length - 2);
    for (int count = 0; count < continuations; ++count) key.bytes.push_back(fuzz.inRange(0x80, 0xbf));
    if (!complete) key.follow = Follow::NoContinuationByte;
}

void appendControlSequence(FuzzReader& fuzz, TypedKey& key) {
    key.bytes = {escapeByte, '['};
    const int parameters = fuzz.inRange(0, 3);
    for (int count = 0; count < parameters; ++count) key.bytes.push_back(fuzz.inRange(0x30, 0x3f));
    if (fuzz.byte() % 4 == 0) key.bytes.push_back(fuzz.inRange(0x20, 0x2f));
    int final = fuzz.inRange(0x40, 0x7e);
    if (key.bytes.size() == 2 && final == '[') final = 'A';  // that would be the Linux console's form
    key.bytes.push_back(final);
    key.press = KeyPress::TwoPart;
}

TypedKey nextKey(FuzzReader& fuzz) {
    TypedKey key;
    switch (fuzz.byte() % 8) {
        case 0: appendCharacter(fuzz, key, true); break;
        case 1: appendCharacter(fuzz, key, false); break;
        case 2: key.bytes = {fuzz.byte() % 2 ? fuzz.inRange(0x80, 0xbf) : fuzz.inRange(0xf8, 0xff)}; break;
        case 3: key.bytes = {escapeByte}, key.follow = Follow::OnlyEscape; break;  // a lone Escape
        case 4: appendControlSequence(fuzz, key); break;
        case 5:
            key.bytes = {escapeByte, fuzz.byte() % 2 ? '[' : 'O', '['};
            key.bytes.back() = key.bytes[1] == '[' ? '[' : fuzz.inRange(0x40, 0x7e);
            if (key.bytes[1] == '[') key.bytes.push_back(fuzz.inRange(0x40, 0x7e));
            key.press = KeyPress::TwoPart;
            break;
        case 6:  // Alt with a character, or with [ or O and nothing after
            key.bytes = {escapeByte};
            if (fuzz.byte() % 4 == 0) {
                key.bytes.push_back(fuzz.byte() % 2 ? '[' : 'O');
                key.follow = key.bytes[1] == '[' ? Follow::NoSequenceByte : Follow::NoFinalByte;
            } else {
                appendCharacter(fuzz, key, fuzz.byte() % 4 != 0);
                if (key.bytes[1] == '[' || key.bytes[1] == 'O') key.bytes[1] = 'o';
            }
            break;
        default:  // a control key, Enter and Ctrl+C among them
            key.bytes = {fuzz.byte() % 32};
            if (key.bytes[0] == escapeByte) key.bytes[0] = '\r';
            break;
    }
    key.pauseAfter = fuzz.byte() % 8 == 0;
    return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader fuzz(data, size);
    std::vector<TypedKey> keys;
    while (!fuzz.done()) keys.push_back(nextKey(fuzz));
    ScriptedTerminal terminal;
    for (std::size_t index = 0; index < keys.size(); ++index) {
        const TypedKey& key = keys[index];
        terminal.script.insert(terminal.script.end(), key.bytes.begin(), key.bytes.end());
        const bool pauseNeeded =
            index + 1 < keys.size() && !mayFollowAtOnce(key.follow, keys[index + 1].bytes[0]);
        if (pauseNeeded || key.pauseAfter) terminal.script.push_back(ScriptedTerminal::pause);
    }
    for (const TypedKey& key : keys) {
        terminal.taken.clear();
        const KeyPress press = takeOneKey(terminal.bytes()).press;
        if (press != key.press || terminal.taken.size() != key.bytes.size()) std::abort();
    }
    if (takeOneKey(terminal.bytes()).press != KeyPress::NoKeyboard) std::abort();
    return 0;
}
