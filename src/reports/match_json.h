#pragma once

// The whole match as one JSON document (UTF-8): the teams and their points as the
// results board counts them, every player with every throw, the lanes, and the
// set-up needed to open the match again. The archive, the export and the live
// web page all carry this one document, in one of two views;
// docs/match-json.md describes it.

#include <string>

namespace kuzelna {

struct MatchState;

// Version of the document's layout: raised when a member changes meaning or
// goes away; new members may be added without raising it.
constexpr int kMatchJsonVersion = 2;

enum class MatchJsonView {
    // For anyone on the network and the club's web host: names and registration
    // numbers, none of the registry lines (birth dates, the operator's notes).
    Public,
    // The archive's export, read by its owner only: the line-ups as well.
    Archive,
};

struct MatchJsonContext {
    // When the document was made, ISO 8601 local time with offset; "" leaves it out.
    std::string savedAt;
    // Who made it ("kuzelna 0.1"); "" leaves it out.
    std::string program;
    MatchJsonView view = MatchJsonView::Public;
};

std::string matchJson(const MatchState& state, const MatchJsonContext& context = {});

// "waiting", "playing" or "finished".
std::string matchPhase(const MatchState& state);

} // namespace kuzelna
