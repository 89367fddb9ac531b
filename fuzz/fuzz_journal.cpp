// utkani.jrn as a crash, a newer program, a stick or an editor may leave it.
// The reading never throws; what it gives back replays whole onto a start-up
// state, leaves that state within what the engine holds, and what the writer
// makes of the replayed match reads back to its end.
//
// The first byte picks the mode: even, the rest is the file as it is; odd,
// the rest is taken apart into records that get their framing and CRC here,
// after a header of this program's version (or, when the second byte is odd,
// of a version the input gives), so that the fuzzer reaches the fields.

#include "core/match_archive.h"
#include "core/match_journal.h"
#include "core/match_state.h"
#include "fuzz_input.h"
#include "registry/lineups.h"
#include "reports/match_json.h"

#include <memory>

using namespace kuzelna;

namespace {

std::string u16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

std::string text(std::string_view s) {
    const auto n = static_cast<std::uint32_t>(s.size());
    std::string out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    return out.append(s);
}

std::string framedRecords(fuzz::Input& in) {
    const bool otherVersion = in.flag();
    const unsigned version = otherVersion ? static_cast<unsigned>(in.number(0, 65535)) : kJournalVersion;
    std::string out = encodeJournalRecord(
        {JournalKind::Header, text("kuzelna-journal") + u16(version) + text("2026-12-10 19:30:00")});
    while (!in.empty()) {
        const auto kind = static_cast<JournalKind>(in.byte());
        const auto length = static_cast<std::size_t>(in.number(0, 4095));
        std::string payload;
        for (std::size_t i = 0; i < length && !in.empty(); ++i)
            payload.push_back(static_cast<char>(in.byte()));
        out += encodeJournalRecord({kind, payload});
    }
    return out;
}

void checkHeld(const MatchState& s) {
    FUZZ_CHECK(s.gameKind >= 1 && s.gameKind <= 6);
    FUZZ_CHECK(s.laneCount == 2 || s.laneCount == 4 || s.laneCount == 6);
    FUZZ_CHECK(s.pairCount >= 1 && s.pairCount <= kMaxSlots / 2);
    FUZZ_CHECK(s.firstPairOfBlock >= 1 && s.firstPairOfBlock <= s.pairCount);
    FUZZ_CHECK(s.homeLineupCount <= kLineupPlaces && s.guestLineupCount <= kLineupPlaces);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string bytes = in.flag() ? framedRecords(in) : in.rest();

    const JournalReading reading = readJournal(bytes);
    FUZZ_CHECK(reading.validBytes <= bytes.size());
    FUZZ_CHECK(reading.fileBytes == bytes.size());
    if (reading.problem.empty())
        FUZZ_CHECK(reading.stopReason.empty() == (reading.validBytes == bytes.size()));
    std::string again;
    for (const JournalRecord& record : reading.records) {
        FUZZ_CHECK(journalRecordProblem(record).empty());
        again += encodeJournalRecord(record);
    }
    FUZZ_CHECK(again == std::string_view(bytes).substr(0, reading.validBytes));
    if (!reading.problem.empty()) return 0;

    auto state = std::make_unique<MatchState>();
    FUZZ_CHECK(replayJournal(*state, reading) == reading.records.size());
    checkHeld(*state);
    (void)matchJson(*state);
    (void)archiveBaseName(*state, reading.created);
    // What the registry window does with the line-ups read.
    removeFromLineup(*state, LineupSide::Home, state->homeLineupCount);
    removeFromLineup(*state, LineupSide::Guest, state->guestLineupCount);
    loadLineupsIntoSlots(*state);

    JournalRecorder recorder(reading.created);
    const JournalReading written = readJournal(recorder.sync(*state));
    FUZZ_CHECK(written.problem.empty() && written.stopReason.empty());
    return 0;
}
