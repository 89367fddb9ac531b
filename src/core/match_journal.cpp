#include "core/match_journal.h"

#include "core/match_events.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"
#include "suddenvictory/sudden_victory.h"

#include <array>
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
    std::string str() {
        const std::uint32_t n = u32();
        need(n);
        std::string s(data_.substr(pos_, n));
        pos_ += n;
        return s;
    }
    void end() const {
        if (pos_ != data_.size()) throw std::runtime_error("journal record longer than its kind");
    }

private:
    void need(std::size_t n) const {
        if (data_.size() - pos_ < n) throw std::runtime_error("journal record shorter than its kind");
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

void readConfiguration(Reader& r, MatchState& s) {
    s.gameKind = static_cast<u8>(r.u8());
    s.laneLayout = static_cast<u8>(r.u8());
    s.laneCount = static_cast<i32>(r.u8());
    s.lanesPerPlayer = static_cast<u8>(r.u8());
    s.pairCount = static_cast<u8>(r.u8());
    s.lanePair = static_cast<u8>(r.u8());
    s.firstPairOfBlock = static_cast<u8>(r.u8());
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

void readTeams(Reader& r, MatchState& s) {
    visitTeams(
        [&r](auto& field) {
            if constexpr (std::is_integral_v<std::decay_t<decltype(field)>>) {
                field = static_cast<std::decay_t<decltype(field)>>(r.u8());
            } else {
                field = r.str();
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

void readOptions(Reader& r, MatchState& s) {
    s.controls.tournament = r.u8() != 0;
    s.score16 = static_cast<u8>(r.u8());
    s.controls.entrantNumberText = r.str();
    s.controls.tournamentFile = r.str();
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

JournalReading readJournal(std::string_view bytes) {
    JournalReading reading;
    std::size_t at = 0;
    while (bytes.size() - at >= kFrameOverhead) {
        if (bytes[at] != kMagic0 || bytes[at + 1] != kMagic1) break;
        const std::uint32_t length = readU32(bytes, at + 3);
        if (length > kMaxPayload || bytes.size() - at - kFrameOverhead < length) break;
        const std::string_view checked = bytes.substr(at + 2, 5 + length);
        if (crc32(checked) != readU32(bytes, at + 7 + length)) break;
        JournalRecord rec{static_cast<JournalKind>(bytes[at + 2]), std::string(checked.substr(5))};
        if (reading.records.empty()) {
            if (rec.kind != JournalKind::Header) break;
            try {
                Reader r(rec.payload);
                const std::string name = r.str();
                const unsigned version = r.u16();
                reading.created = r.str();
                if (name != kFormatName) break;
                if (version != kJournalVersion) {
                    reading.problem = "journal version " + std::to_string(version) + " is not known";
                    return reading;
                }
            } catch (const std::runtime_error&) {
                break;
            }
        }
        if (rec.kind == JournalKind::End) reading.finished = true;
        reading.records.push_back(std::move(rec));
        at += kFrameOverhead + length;
        reading.validBytes = at;
    }
    if (reading.records.empty()) reading.problem = "not a match journal";
    return reading;
}

void applyJournalRecord(MatchState& state, const JournalRecord& rec) {
    Reader r(rec.payload);
    switch (rec.kind) {
    case JournalKind::Header:
    case JournalKind::End:
        return; // the end is the replayed frames' own doing
    case JournalKind::Configuration:
        readConfiguration(r, state);
        break;
    case JournalKind::Teams:
        readTeams(r, state);
        break;
    case JournalKind::Options:
        readOptions(r, state);
        break;
    case JournalKind::WholeSets:
        setWholeSetScoring(state, r.u8() != 0);
        break;
    case JournalKind::TieBreak: {
        const int slot = static_cast<int>(r.u8()), set = static_cast<int>(r.u8());
        const unsigned value = r.u8();
        if (validSlot(slot) && set >= 1 && set <= kMaxSets) {
            state.player[static_cast<std::size_t>(slot)].tieBreak[static_cast<std::size_t>(set)] =
                static_cast<u8>(value);
            prepocitej(state, slot);
        }
        break;
    }
    case JournalKind::Frame: {
        const int lane = static_cast<int>(r.u8());
        LaneStatus status;
        for (int k = 1; k <= 16; ++k)
            status[k] = static_cast<u8>(r.u8());
        if (validLane(lane)) {
            state.laneStatus[lane] = status;
            MatchEvents quiet;
            recordLane(state, lane, quiet);
        }
        break;
    }
    case JournalKind::Correction: {
        const int slot = static_cast<int>(r.u8()), t = static_cast<int>(r.u16());
        const unsigned pins = r.u8();
        if (validSlot(slot) && t >= 1 && t <= kMaxThrows) {
            PlayerSlot& player = state.player[static_cast<std::size_t>(slot)];
            player.throws[static_cast<std::size_t>(t)] = static_cast<u8>(pins);
            player.throwUnseen[static_cast<std::size_t>(t)] = 0;
            prepocitej(state, slot);
        }
        break;
    }
    case JournalKind::Recalculation:
        prepocitej(state, static_cast<int>(r.u8()));
        break;
    default:
        throw std::runtime_error(std::string("journal record of unknown kind ") +
                                 static_cast<char>(rec.kind));
    }
    r.end();
}

std::size_t replayJournal(MatchState& state, const JournalReading& reading) {
    for (const JournalRecord& rec : reading.records)
        applyJournalRecord(state, rec);
    return reading.records.size();
}

JournalRecorder::JournalRecorder(std::string created)
    : created_(std::move(created)), shadow_(std::make_unique<MatchState>()) {}

JournalRecorder::JournalRecorder(const MatchState& restored, std::size_t recordsSoFar)
    : shadow_(std::make_unique<MatchState>(restored)), started_(true), endWritten_(restored.matchOver),
      records_(recordsSoFar) {}

void JournalRecorder::put(std::string& out, JournalRecord rec) {
    applyJournalRecord(*shadow_, rec);
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
