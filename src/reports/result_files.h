#pragma once

// vyst_a.csv and vyst_b.csv: every player slot's throws, rewritten every 11 s for
// whoever reads them beside the server.

#include <string>

namespace kuzelna {

struct MatchState;

constexpr const char* kResultFileA = "vyst_a.csv";
constexpr const char* kResultFileB = "vyst_b.csv";

// The content both files receive (Windows-1250, CR LF lines, each field followed
// by ","): registration number, throw count, then one field per throw of the
// game: the digit 1..9, "0" for a thrown miss, "-" for a throw not yet made.
std::string resultFileContent(const MatchState& state);

// Writes vyst_a.csv, then vyst_b.csv, into `directory`. Each file is replaced
// whole (written beside it, then renamed into place), so a reader sees the old
// or the new content, never a part. Throws std::runtime_error on failure.
void writeResultFiles(const MatchState& state, const std::string& directory);

// The writes of the exchange timer: the first of a run of failed writes raises
// an OperatorError (status line "vyst_*.csv nezapsány", with the cause); the
// next ones are quiet until a write succeeds again, which puts
// "vyst_*.csv zapsány" into the status line.
class ResultFileWriter {
public:
    void write(MatchState& state, const std::string& directory);
    bool failing() const { return failing_; }

private:
    bool failing_ = false;
};

} // namespace kuzelna
