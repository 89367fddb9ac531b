#pragma once

// The live results page (page/live.html, live.css, live.js in the resources)
// with the figures of one match document written into it, so that the page
// shows the match before its socket opens, and without scripts. Every figure
// is read from the document, never computed again: the page and /api/match
// always agree. Each figure's element names its place in the document
// (data-k="players.3.pins"), and the script replaces the texts in place when a
// new document comes.

#include <string>

namespace kuzelna {

struct LivePageParts {
    std::string html, css, js;
    // The parts from the program's resources.
    static LivePageParts fromResources();
};

// Where the served page finds its style and script (the published copy holds them inline).
constexpr const char* kLivePageStyle = "/live.css";
constexpr const char* kLivePageScript = "/live.js";

enum class LivePageSource {
    Live,      // served by the program: a socket brings every change
    Published, // the copy on the club's web host: reads match.json beside it every period
};

// The page for the document `matchJson` (docs/match-json.md, UTF-8).
std::string renderLivePage(const LivePageParts& parts, const std::string& matchJson, LivePageSource source,
                           int periodSeconds);

// "players x sets x lanes" of the document; the script reloads the page when a
// document of another shape arrives.
std::string livePageShape(const std::string& matchJson);

} // namespace kuzelna
