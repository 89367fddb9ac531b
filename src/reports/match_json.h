#pragma once

// The whole match as one JSON document (UTF-8): the teams and their points as the
// results board counts them, every player with every throw, the lanes, and the
// set-up needed to open the match again. The archive, the export and the live
// web page all carry this one document; docs/match-json.md describes it.

#include <string>

namespace kuzelna {

struct MatchState;

// Version of the document's layout: raised when a member changes meaning or
// goes away; new members may be added without raising it.
constexpr int kMatchJsonVersion = 1;

struct MatchJsonContext {
    // When the document was made, ISO 8601 local time with offset; "" leaves it out.
    std::string savedAt;
    // Who made it ("kuzelna 0.1"); "" leaves it out.
    std::string program;
};

std::string matchJson(const MatchState& state, const MatchJsonContext& context = {});

// "waiting", "playing" or "finished".
std::string matchPhase(const MatchState& state);

} // namespace kuzelna
