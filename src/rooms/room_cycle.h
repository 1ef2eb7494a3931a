// The command cycle that every place of the game runs, pass after pass, and
// the record that tells one place from another. A place differs from the
// plain item room only in the fields it sets.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "world/world.h"

struct RoomRecord;
using RoomStep = void (*)(const RoomRecord&);

// A word that takes the player elsewhere, and what is said on the way.
struct Handover {
    std::string_view word;
    std::string_view message;  // empty: nothing is said
    Location destination;
};

struct RoomRecord {
    // The cell the pass puts the player on; the tree top and the workbench
    // leave the position as the place below them set it.
    bool setsPosition = true;
    GridCell cell{};
    std::array<std::string_view, 3> description{};  // written as one line
    std::string_view itemLine{};    // while the current cell holds its item
    std::string_view itemPrefix{};  // an answer to "get" that takes the item
    std::string_view directionReply{};  // said instead of moving, if set
    std::string_view notUnderstood = "What's that supposed to mean?\n";
    std::string_view quitHint = "To quit game, close window. Otherwise, hit enter to continue.";
    RoomStep beforeRead = nullptr;   // after the description, before the read
    RoomStep roomCommand = nullptr;  // the place's own words
    std::optional<Handover> handover{};
    // Words that need no "I don't think so.", besides "inv" and "bye".
    std::array<std::string_view, 4> handledWords{};
    RoomStep afterPass = nullptr;  // at the end of every pass that stays
};

// Runs the place's passes until the player leaves; returns where to.
Location runRoom(const RoomRecord& room);

// Whether the command line begins with the word, byte for byte.
bool lineBegins(std::string_view word);

// Reads a line into the command line: a command, or the answer to a question.
void readLine();

// The word the item rooms and the blue-sky room take their items with.
constexpr std::string_view getWord = "get";

// The "get" of the item rooms: asks, reads the answer, takes the item on the
// right prefix. Only while the item is there and the line begins with "get".
void offerItem(const RoomRecord& room);
