#include "core/match_journal.h"

#include "core/match_events.h"
#include "scoring/game_kinds.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"
#include "suddenvictory/sudden_victory.h"

#include <array>
#include <optional>
#include <stdexcept>

namespace kuzelna {
namespace {

constexpr char kMagic0 = 'K', kMagic1 = 'J';
constexpr std::size_t kFrameOverhead = 2 + 1 + 4 + 4; // magic, kind, length, CRC
// No record comes near this; a longer length is a damaged one.
constexpr std::uint32_t kMaxPayload = 1u << 20;
constexpr const char* kFormatName = "kuzelna-journal";

std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

class Writer {
public:
    void u8(unsigned v) { out.push_back(static_cast<char>(v & 0xFF)); }
    void u16(unsigned v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void str(std::string_view s) {
        u32(static_cast<std::uint32_t>(s.size()));
        out.append(s);
    }
    std::string out;
};

// A record that cannot be taken: its length or a field is not what its kind
// holds. Caught where records are checked; it never leaves this file.
struct BadRecord : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string number(long long v) {
    return std::to_string(v);
}

class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}
    unsigned u8() {
        need(1);
        return static_cast<unsigned char>(data_[pos_++]);
    }
    unsigned u16() {
        const unsigned lo = u8();
        return lo | u8() << 8;
    }
    std::uint32_t u32() {
        const std::uint32_t lo = u16();
        return lo | static_cast<std::uint32_t>(u16()) << 16;
    }
    std::string_view text() {
        const std::uint32_t n = u32();
        if (data_.size() - pos_ < n)
            throw BadRecord("a text of " + number(n) + " bytes runs past the record's end");
        const std::string_view s = data_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    std::string str() { return std::string(text()); }
    // A number that must lie in lo..hi.
    unsigned u8In(unsigned lo, unsigned hi, const char* what) { return within(u8(), lo, hi, what); }
    unsigned u16In(unsigned lo, unsigned hi, const char* what) { return within(u16(), lo, hi, what); }
    void end() const {
        if (pos_ != data_.size()) throw BadRecord("the record is longer than its kind");
    }

private:
    static unsigned within(unsigned v, unsigned lo, unsigned hi, const char* what) {
        if (v < lo || v > hi)
            throw BadRecord(std::string(what) + " " + number(v) + " is not in " + number(lo) + ".." +
                            number(hi));
        return v;
    }
    void need(std::size_t n) const {
        if (data_.size() - pos_ < n) throw BadRecord("the record is shorter than its kind");
    }
    std::string_view data_;
    std::size_t pos_ = 0;
};

std::uint32_t readU32(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

bool validLane(int lane) {
    return lane >= 1 && lane <= kMaxLanes;
}

bool knownKind(char kind) {
    switch (static_cast<JournalKind>(kind)) {
    case JournalKind::Header:
    case JournalKind::Configuration:
    case JournalKind::Teams:
    case JournalKind::Options:
    case JournalKind::WholeSets:
    case JournalKind::TieBreak:
    case JournalKind::Frame:
    case JournalKind::Correction:
    case JournalKind::Recalculation:
    case JournalKind::End:
        return true;
    }
    return false;
}

std::string kindName(char kind) {
    const auto c = static_cast<unsigned char>(kind);
    if (c >= 0x21 && c < 0x7F) return std::string(1, kind);
    static const char* hex = "0123456789ABCDEF";
    return std::string("0x") + hex[c >> 4] + hex[c & 15];
}

// --- What each record kind holds, written and compared field by field. ---

void writeConfiguration(Writer& w, const MatchState& s) {
    w.u8(s.gameKind);
    w.u8(s.laneLayout);
    w.u8(static_cast<unsigned>(s.laneCount));
    w.u8(s.lanesPerPlayer);
    w.u8(s.pairCount);
    w.u8(s.lanePair);
    w.u8(s.firstPairOfBlock);
}

bool sameConfiguration(const MatchState& a, const MatchState& b) {
    return a.gameKind == b.gameKind && a.laneLayout == b.laneLayout && a.laneCount == b.laneCount &&
           a.lanesPerPlayer == b.lanesPerPlayer && a.pairCount == b.pairCount && a.lanePair == b.lanePair &&
           a.firstPairOfBlock == b.firstPairOfBlock;
}

// Every field is checked before any is set.
void readConfiguration(Reader& r, MatchState* s) {
    const unsigned kind = r.u8In(1, kGameKindCount, "gameKind");
    const unsigned layout = r.u8In(1, 3, "laneLayout");
    const unsigned lanes = r.u8();
    if (static_cast<int>(lanes) != laneCountFor(static_cast<int>(layout)))
        throw BadRecord("laneCount " + number(lanes) + " is not the " +
                        number(laneCountFor(static_cast<int>(layout))) + " lanes of laneLayout " +
                        number(layout));
    const unsigned perPlayer = r.u8();
    if (perPlayer != 2 && perPlayer != 4 && perPlayer != 6)
        throw BadRecord("lanesPerPlayer " + number(perPlayer) + " is not 2, 4 or 6");
    const unsigned pairs = r.u8In(1, kMaxSlots / 2, "pairCount");
    const unsigned lanePair = r.u8In(1, 2, "lanePair");
    const unsigned block = r.u8In(1, pairs, "firstPairOfBlock");
    r.end();
    if (!s) return;
    s->gameKind = static_cast<u8>(kind);
    s->laneLayout = static_cast<u8>(layout);
    s->laneCount = static_cast<i32>(lanes);
    s->lanesPerPlayer = static_cast<u8>(perPlayer);
    s->pairCount = static_cast<u8>(pairs);
    s->lanePair = static_cast<u8>(lanePair);
    s->firstPairOfBlock = static_cast<u8>(block);
}

// The teams' texts and each slot's identity, in one order for writing,
// reading and comparing: `visit` gets the same field of every state given.
template <class Visit, class... State> void visitTeams(Visit&& visit, State&... s) {
    visit(s.homeLineupCount...);
    visit(s.guestLineupCount...);
    for (int i = 1; i <= kLineupPlaces; ++i) {
        visit(s.homeLineup[i]...);
        visit(s.guestLineup[i]...);
    }
    visit(s.homeClubLine...);
    visit(s.homeTeamLine...);
    visit(s.homeTeamName...);
    visit(s.guestClubLine...);
    visit(s.guestTeamLine...);
    visit(s.guestTeamName...);
    visit(s.manualTeamNames...);
    visit(s.manualHomeName...);
    visit(s.manualGuestName...);
    visit(s.homeTeamTitle...);
    visit(s.guestTeamTitle...);
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        const auto k = static_cast<std::size_t>(slot);
        visit(s.player[k].registryLine...);
        visit(s.player[k].surname...);
        visit(s.player[k].firstName...);
        visit(s.player[k].regNumber...);
        visit(s.player[k].birthDate...);
        visit(s.player[k].displayName...);
    }
}

template <class T> std::string_view textOf(const T& v) {
    if constexpr (std::is_same_v<T, std::string>) {
        return v;
    } else {
        return v.str();
    }
}

void writeTeams(Writer& w, const MatchState& s) {
    visitTeams(
        [&w](const auto& field) {
            if constexpr (std::is_integral_v<std::decay_t<decltype(field)>>) {
                w.u8(field);
            } else {
                w.str(textOf(field));
            }
        },
        s);
}

template <class T> constexpr std::size_t capacityOf() {
    if constexpr (std::is_same_v<T, std::string>) {
        return std::string::npos;
    } else {
        return T::capacity;
    }
}

// Checks a teams record against the fields of `shape` without writing
// anything: the line-up counts, the flag, every bounded text's capacity.
void checkTeams(Reader& r, const MatchState& shape) {
    visitTeams(
        [&r, &shape](const auto& field) {
            using Field = std::decay_t<decltype(field)>;
            if constexpr (std::is_integral_v<Field>) {
                if (&field == &shape.manualTeamNames) {
                    r.u8In(0, 1, "manualTeamNames");
                } else {
                    r.u8In(0, kLineupPlaces, "line-up count");
                }
            } else {
                const std::string_view text = r.text();
                if (text.size() > capacityOf<Field>())
                    throw BadRecord("a text of " + number(static_cast<long long>(text.size())) +
                                    " bytes in a field of " +
                                    number(static_cast<long long>(capacityOf<Field>())));
            }
        },
        shape);
}

void readTeams(Reader& r, MatchState& s) {
    visitTeams(
        [&r](auto& field) {
            if constexpr (std::is_integral_v<std::decay_t<decltype(field)>>) {
                field = static_cast<std::decay_t<decltype(field)>>(r.u8());
            } else {
                field = r.text();
            }
        },
        s);
}

// Whether the two would write the same teams record: what a field writes,
// compared in place (this runs with every lane answer).
bool sameTeams(const MatchState& a, const MatchState& b) {
    bool same = true;
    visitTeams(
        [&same](const auto& x, const auto& y) {
            if constexpr (std::is_integral_v<std::decay_t<decltype(x)>>) {
                same = same && (x & 0xFF) == (y & 0xFF);
            } else {
                same = same && textOf(x) == textOf(y);
            }
        },
        a, b);
    return same;
}

void writeOptions(Writer& w, const MatchState& s) {
    w.u8(s.controls.tournament ? 1 : 0);
    w.u8(s.score16);
    w.str(s.controls.entrantNumberText);
    w.str(s.controls.tournamentFile);
}

bool sameOptions(const MatchState& a, const MatchState& b) {
    return a.controls.tournament == b.controls.tournament && a.score16 == b.score16 &&
           a.controls.entrantNumberText == b.controls.entrantNumberText &&
           a.controls.tournamentFile == b.controls.tournamentFile;
}

void readOptions(Reader& r, MatchState* s) {
    const bool tournament = r.u8In(0, 1, "\"Turnaj\"") != 0;
    const unsigned score16 = r.u8In(0, 1, "16-point scoring");
    std::string entrant = r.str();
    std::string file = r.str();
    r.end();
    if (!s) return;
    s->controls.tournament = tournament;
    s->score16 = static_cast<u8>(score16);
    s->controls.entrantNumberText = std::move(entrant);
    s->controls.tournamentFile = std::move(file);
}

// The totals and points prepocitej derives from the throws.
bool sameResults(const PlayerSlot& a, const PlayerSlot& b) {
    return a.fullTotal == b.fullTotal && a.clearingTotal == b.clearingTotal && a.faults == b.faults &&
           a.total == b.total && a.laneTotal == b.laneTotal && a.setPoints == b.setPoints &&
           a.laneFull == b.laneFull && a.laneClearing == b.laneClearing && a.laneFaults == b.laneFaults &&
           a.setPointsTotal == b.setPointsTotal && a.duelPoints == b.duelPoints;
}

JournalRecord record(JournalKind kind, Writer& w) {
    return {kind, std::move(w.out)};
}

} // namespace

std::uint32_t crc32(std::string_view bytes) {
    static const std::array<std::uint32_t, 256> table = makeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char ch : bytes)
        c = table[(c ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string encodeJournalRecord(const JournalRecord& rec) {
    Writer w;
    w.u8(static_cast<unsigned char>(rec.kind));
    w.u32(static_cast<std::uint32_t>(rec.payload.size()));
    w.out.append(rec.payload);
    const std::uint32_t check = crc32(w.out);
    w.u32(check);
    return std::string{kMagic0, kMagic1} + w.out;
}

namespace {

// The state whose fields a teams record is checked against when there is no
// state to write.
const MatchState& teamsShape() {
    static const MatchState shape;
    return shape;
}

// Decodes a record of a known kind and applies it to `state`; with no state
// it only checks. Every check comes before the first write: a BadRecord
// leaves the state as it was.
void take(const JournalRecord& rec, MatchState* state) {
    Reader r(rec.payload);
    switch (rec.kind) {
    case JournalKind::Header:
        r.text();
        r.u16();
        r.text();
        r.end();
        return; // what it says is read by readJournal
    case JournalKind::End:
        r.end();
        return; // the end is the replayed frames' own doing
    case JournalKind::Configuration:
        readConfiguration(r, state);
        return;
    case JournalKind::Teams: {
        checkTeams(r, state ? *state : teamsShape());
        r.end();
        if (!state) return;
        Reader again(rec.payload);
        readTeams(again, *state);
        return;
    }
    case JournalKind::Options:
        readOptions(r, state);
        return;
    case JournalKind::WholeSets: {
        const bool on = r.u8In(0, 1, "\"Tandem\"") != 0;
        r.end();
        if (state) setWholeSetScoring(*state, on);
        return;
    }
    case JournalKind::TieBreak: {
        const unsigned slot = r.u8In(1, kMaxSlots, "slot");
        const unsigned set = r.u8In(1, kMaxSets, "set");
        const unsigned mark = r.u8In(0, 1, "tie-break mark");
        r.end();
        if (!state) return;
        state->player[slot].tieBreak[set] = static_cast<u8>(mark);
        prepocitej(*state, static_cast<int>(slot));
        return;
    }
    case JournalKind::Frame: {
        const unsigned lane = r.u8In(1, kMaxLanes, "lane");
        LaneStatus status;
        for (int k = 1; k <= 16; ++k)
            status[k] = static_cast<u8>(r.u8In(0, 0x7F, "status byte"));
        r.end();
        if (!state) return;
        state->laneStatus[static_cast<int>(lane)] = status;
        MatchEvents quiet;
        recordLane(*state, static_cast<int>(lane), quiet);
        return;
    }
    case JournalKind::Correction: {
        const unsigned slot = r.u8In(1, kMaxSlots, "slot");
        const unsigned t = r.u16In(1, kMaxThrows, "throw number");
        const unsigned pins = r.u8In(0, 9, "pins");
        r.end();
        if (!state) return;
        PlayerSlot& player = state->player[slot];
        player.throws[t] = static_cast<u8>(pins);
        player.throwUnseen[t] = 0;
        prepocitej(*state, static_cast<int>(slot));
        return;
    }
    case JournalKind::Recalculation: {
        const unsigned slot = r.u8In(1, kMaxSlots, "slot");
        r.end();
        if (state) prepocitej(*state, static_cast<int>(slot));
        return;
    }
    }
    throw BadRecord("a record of unknown kind " + kindName(static_cast<char>(rec.kind)));
}

std::string problemOf(const JournalRecord& rec) {
    try {
        take(rec, nullptr);
    } catch (const BadRecord& bad) {
        return bad.what();
    }
    return {};
}

// One record framed at `at`: its length when it is whole and passes its CRC.
std::optional<std::uint32_t> framedAt(std::string_view bytes, std::size_t at) {
    if (bytes.size() - at < kFrameOverhead) return std::nullopt;
    if (bytes[at] != kMagic0 || bytes[at + 1] != kMagic1) return std::nullopt;
    const std::uint32_t length = readU32(bytes, at + 3);
    if (length > kMaxPayload || bytes.size() - at - kFrameOverhead < length) return std::nullopt;
    if (crc32(bytes.substr(at + 2, 5 + length)) != readU32(bytes, at + 7 + length)) return std::nullopt;
    return length;
}

// Whole records from `at` on, and one more for a torn rest.
std::size_t recordsFrom(std::string_view bytes, std::size_t at) {
    std::size_t count = 0;
    while (at < bytes.size()) {
        const std::optional<std::uint32_t> length = framedAt(bytes, at);
        ++count;
        if (!length) break;
        at += kFrameOverhead + *length;
    }
    return count;
}

std::string versionText(unsigned version) {
    return "journal version " + std::to_string(version) + " (this program reads journal version " +
           std::to_string(kJournalVersion) + ")";
}

} // namespace

std::string journalRecordProblem(const JournalRecord& record) {
    return problemOf(record);
}

JournalReading readJournal(std::string_view bytes) {
    JournalReading reading;
    reading.fileBytes = bytes.size();
    std::size_t at = 0;
    std::string why;
    while (at < bytes.size()) {
        const std::optional<std::uint32_t> length = framedAt(bytes, at);
        if (!length) {
            why = "the record at byte " + std::to_string(at) + " is torn or damaged";
            break;
        }
        const char kind = bytes[at + 2];
        JournalRecord rec{static_cast<JournalKind>(kind), std::string(bytes.substr(at + 7, *length))};
        const std::string where = "record " + std::to_string(reading.records.size() + 1) + " (" +
                                  kindName(kind) + ") at byte " + std::to_string(at) + ": ";
        if (!knownKind(kind)) {
            reading.unknownVersion = true;
            reading.problem =
                "a record of unknown kind " + kindName(kind) + " in " + versionText(reading.version);
            why = where + "a kind this program does not know";
            reading.refused = true;
            break;
        }
        if (reading.records.empty()) {
            if (rec.kind != JournalKind::Header) break;
            try {
                Reader r(rec.payload);
                const std::string name = r.str();
                const unsigned version = r.u16();
                if (name != kFormatName) break;
                reading.version = version;
                if (version != kJournalVersion) {
                    reading.unknownVersion = true;
                    reading.problem = versionText(version);
                    return reading;
                }
                reading.created = r.str();
                r.end();
            } catch (const BadRecord&) {
                break;
            }
        } else if (rec.kind == JournalKind::Header) {
            why = where + "a second header";
            reading.refused = true;
            break;
        } else if (std::string bad = problemOf(rec); !bad.empty()) {
            why = where + bad;
            reading.refused = true;
            break;
        }
        if (rec.kind == JournalKind::End) reading.finished = true;
        reading.records.push_back(std::move(rec));
        at += kFrameOverhead + *length;
        reading.validBytes = at;
    }
    if (reading.records.empty() && reading.problem.empty()) {
        reading.problem = "not a match journal";
        return reading;
    }
    if (at < bytes.size()) {
        reading.stopReason = why;
        reading.recordsLeftOut = recordsFrom(bytes, at);
    }
    return reading;
}

bool applyJournalRecord(MatchState& state, const JournalRecord& rec) {
    // Checked whole first, so a record is applied whole or not at all.
    if (!problemOf(rec).empty()) return false;
    take(rec, &state);
    return true;
}

std::size_t replayJournal(MatchState& state, const JournalReading& reading) {
    std::size_t applied = 0;
    for (const JournalRecord& rec : reading.records)
        applied += applyJournalRecord(state, rec) ? 1 : 0;
    return applied;
}

JournalRecorder::JournalRecorder(std::string created)
    : created_(std::move(created)), shadow_(std::make_unique<MatchState>()) {}

JournalRecorder::JournalRecorder(const MatchState& restored, std::size_t recordsSoFar)
    : shadow_(std::make_unique<MatchState>(restored)), started_(true), endWritten_(restored.matchOver),
      records_(recordsSoFar) {}

void JournalRecorder::put(std::string& out, JournalRecord rec) {
    // A state no reader would take back is not written: the journal stays
    // readable to its end.
    if (!applyJournalRecord(*shadow_, rec)) return;
    out += encodeJournalRecord(rec);
    ++records_;
    if (rec.kind != JournalKind::Frame) ++generation_;
}

std::string JournalRecorder::sync(const MatchState& live) {
    std::string out;
    MatchState& shadow = *shadow_;
    const bool first = !started_;
    if (first) {
        started_ = true;
        Writer w;
        w.str(kFormatName);
        w.u16(kJournalVersion);
        w.str(created_);
        put(out, record(JournalKind::Header, w));
    }
    if (first || !sameConfiguration(live, shadow)) {
        Writer w;
        writeConfiguration(w, live);
        put(out, record(JournalKind::Configuration, w));
    }
    if (first || !sameTeams(live, shadow)) {
        Writer w;
        writeTeams(w, live);
        put(out, record(JournalKind::Teams, w));
    }
    if (first || !sameOptions(live, shadow)) {
        Writer w;
        writeOptions(w, live);
        put(out, record(JournalKind::Options, w));
    }
    if (live.controls.tandem != shadow.controls.tandem) {
        Writer w;
        w.u8(live.controls.tandem ? 1 : 0);
        put(out, record(JournalKind::WholeSets, w));
    }
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        const PlayerSlot& mine = live.player[static_cast<std::size_t>(slot)];
        for (int set = 1; set <= kMaxSets; ++set) {
            const auto k = static_cast<std::size_t>(set);
            if (mine.tieBreak[k] == shadow.player[static_cast<std::size_t>(slot)].tieBreak[k]) continue;
            Writer w;
            w.u8(static_cast<unsigned>(slot));
            w.u8(static_cast<unsigned>(set));
            w.u8(mine.tieBreak[k]);
            put(out, record(JournalKind::TieBreak, w));
        }
        const PlayerSlot& theirs = shadow.player[static_cast<std::size_t>(slot)];
        if (mine.throws != theirs.throws || mine.throwUnseen != theirs.throwUnseen) {
            for (int t = 1; t <= kMaxThrows; ++t) {
                const auto i = static_cast<std::size_t>(t);
                // A correction that confirms an unseen throw's value changes only its mark.
                if (mine.throws[i] == theirs.throws[i] && (mine.throwUnseen[i] || !theirs.throwUnseen[i]))
                    continue;
                Writer w;
                w.u8(static_cast<unsigned>(slot));
                w.u16(static_cast<unsigned>(t));
                w.u8(mine.throws[i]);
                put(out, record(JournalKind::Correction, w));
            }
        }
    }
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        if (sameResults(live.player[i], shadow.player[i])) continue;
        Writer w;
        w.u8(static_cast<unsigned>(slot));
        put(out, record(JournalKind::Recalculation, w));
    }
    return out;
}

std::string JournalRecorder::frame(const MatchState& live, int lane, const LaneStatus& status) {
    std::string out = sync(live);
    if (!validLane(lane)) return out;
    MatchState& shadow = *shadow_;
    const auto l = static_cast<std::size_t>(lane);
    if (shadow.laneStatus[lane].bytes == status.bytes && laneGeneration_[l] == generation_) return out;
    const u8 block = shadow.firstPairOfBlock;
    Writer w;
    w.u8(static_cast<unsigned>(lane));
    for (int k = 1; k <= 16; ++k)
        w.u8(status[k]);
    put(out, record(JournalKind::Frame, w));
    if (shadow.firstPairOfBlock != block) ++generation_;
    laneGeneration_[l] = generation_;
    if (shadow.matchOver && !endWritten_) {
        endWritten_ = true;
        Writer none;
        put(out, record(JournalKind::End, none));
    }
    return out;
}

} // namespace kuzelna
