#pragma once

// The journal of a match: the inputs of the engine, appended as they happen,
// from which the same engine functions rebuild the match state exactly (the
// lane counters' memory included). The format is described in
// docs/journal-format.md.
//
// Every record is self-delimiting and carries a CRC-32:
//     "KJ"  kind (1 byte)  payload length (u32 LE)  payload  CRC-32 (u32 LE) of kind, length and payload
// The first record is the header. Reading stops at the first record that is
// incomplete or fails its check: a record torn by a power cut is left out
// with everything after it, everything before it comes back.
//
// Use (the shell owns the file and its timing):
//     JournalRecorder recorder("2026-12-10 19:30:00");
//     link.beforeRecording = [&](int lane, const LaneStatus& s) { append(recorder.frame(state, lane, s)); };
//     after an operator action, and now and then:   append(recorder.sync(state));
// and on start-up:
//     JournalReading r = readJournal(bytes);   state = fresh; replayJournal(state, r);

#include "core/match_state.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kuzelna {

constexpr int kJournalVersion = 1;
constexpr const char* kJournalFileName = "utkani.jrn";

enum class JournalKind : char {
    Header = 'H',        // format name, version, when the match was set up
    Configuration = 'C', // kind of game, lane layout and pair, duels, block on the lanes
    Teams = 'T',         // line-ups, team names and titles, the players in the slots
    Options = 'O',       // "Turnaj", 16-point scoring, the tournament's entrant number and file
    WholeSets = 'W',     // the "Tandem" switch
    TieBreak = 'B',      // a tie-break mark of one set of one slot
    Frame = 'F',         // a status frame that throw recording took
    Correction = 'X',    // a throw overwritten by the operator
    Recalculation = 'R', // a slot recalculated without a changed input
    End = 'E',           // the last block has finished
};

struct JournalRecord {
    JournalKind kind{};
    std::string payload;
    friend bool operator==(const JournalRecord&, const JournalRecord&) = default;
};

std::uint32_t crc32(std::string_view bytes);

// One record as it goes into the file.
std::string encodeJournalRecord(const JournalRecord& record);

struct JournalReading {
    std::vector<JournalRecord> records; // the header first
    std::size_t validBytes = 0;         // length of the readable records; anything after it is left out
    std::size_t fileBytes = 0;          // length of what was read
    bool finished = false;              // an End record was read
    std::string created;                // from the header
    // Why the file is not a journal to resume: no intact header, or one of a
    // version this program does not know. Empty when it is one.
    std::string problem;
    // The file was written by a journal version this program does not know
    // (another header version, or a record kind it does not have).
    bool unknownVersion = false;
    unsigned version = 0; // from the header
    // Why reading stopped before the end of the file: a torn or damaged
    // record, or one whose fields the engine cannot hold. Empty when every
    // byte was read.
    std::string stopReason;
    // The records after the readable part that are still whole, the one
    // that stopped the reading included (a torn tail counts as one).
    std::size_t recordsLeftOut = 0;
    // More than a torn last record is left out: a whole record was refused,
    // or whole records follow the damaged one.
    bool moreThanTornTail() const { return recordsLeftOut > 1 || refused; }
    bool refused = false; // the reading stopped at a whole record it could not take
};

// Reads records from the start while each is whole, passes its CRC and holds
// only what the engine can take (known kinds of game and lane layouts, lanes,
// duels, line-up places, slots, throws, pins, the capacity of every bounded
// text); the first that does not ends the reading. Never throws.
JournalReading readJournal(std::string_view bytes);

// Why `record` cannot be applied ("" when it can).
std::string journalRecordProblem(const JournalRecord& record);

// Rebuilds the match from the records on top of `state`, which holds a fresh
// start-up state (settings, switches). Returns the records applied.
std::size_t replayJournal(MatchState& state, const JournalReading& reading);

// Applies one record through the engine functions the live program uses. A
// record with a problem is not applied (false); nothing throws.
bool applyJournalRecord(MatchState& state, const JournalRecord& record);

// Keeps a shadow of the match exactly as a replay of what it has written
// rebuilds it, and answers with the records that bring the shadow level with
// the live state. Records are returned encoded, ready to append.
class JournalRecorder {
public:
    explicit JournalRecorder(std::string created);
    // Continues a journal that was replayed into `restored`.
    JournalRecorder(const MatchState& restored, std::size_t recordsSoFar);

    // Records for whatever the operator changed since the last call (set-up,
    // line-ups, corrections, tie-break marks, "Tandem"). The first call writes
    // the header and the whole set-up.
    std::string sync(const MatchState& live);

    // Records for a status frame that throw recording is about to take on
    // `lane` of `live`: first what sync() would write, then the frame unless
    // it would change nothing. An End record follows the frame that ends the
    // match.
    std::string frame(const MatchState& live, int lane, const LaneStatus& status);

    const MatchState& shadow() const { return *shadow_; }
    std::size_t records() const { return records_; }
    bool ended() const { return shadow_->matchOver && endWritten_; }

private:
    void put(std::string& out, JournalRecord record);

    std::string created_;
    std::unique_ptr<MatchState> shadow_;
    bool started_ = false;
    bool endWritten_ = false;
    std::size_t records_ = 0;
    // A frame equal to the lane's last one changes nothing unless another
    // record (a block change, a correction, a new set-up) came in between.
    std::uint64_t generation_ = 0;
    OneBased<std::uint64_t, kMaxLanes> laneGeneration_{};
};

} // namespace kuzelna
