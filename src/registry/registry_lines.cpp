#include "registry/registry_lines.h"

#include "core/match_state.h"

#include <array>

namespace kuzelna {
namespace {

constexpr std::size_t kDisplayNameLength = 18;

unsigned char byteAt(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// The bytes up to (not including) `separator` from `pos` on, or the rest; `pos`
// moves onto the separator (or to the end).
std::string_view takeUntil(std::string_view text, std::size_t& pos, char separator) {
    const auto end = std::min(text.find(separator, pos), text.size());
    const auto field = text.substr(pos, end - pos);
    pos = end;
    return field;
}

void skipOne(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) ++pos;
}

void skip(std::string_view text, std::size_t& pos, std::size_t count) {
    pos = std::min(pos + count, text.size());
}

// Everything before the separator's hyphen, less the space that precedes it.
std::string_view beforeSeparator(std::string_view line, std::size_t hyphen) {
    return hyphen == 0 ? std::string_view{} : line.substr(0, hyphen - 1);
}

char transliterated(unsigned char byte) {
    struct Letter {
        unsigned char byte;
        char ascii;
    };
    static constexpr std::array<Letter, 24> kLetters = {{
        {0x8A, 'S'}, {0x9A, 's'}, {0x8E, 'Z'}, {0x9E, 'z'}, {0xC1, 'A'}, {0xE1, 'a'},
        {0xC8, 'C'}, {0xE8, 'c'}, {0xC9, 'E'}, {0xE9, 'e'}, {0xCC, 'E'}, {0xEC, 'e'},
        {0xCD, 'I'}, {0xED, 'i'}, {0xD2, 'N'}, {0xF2, 'n'}, {0xD8, 'R'}, {0xF8, 'r'},
        {0xD9, 'U'}, {0xF9, 'u'}, {0xDA, 'U'}, {0xFA, 'u'}, {0xDD, 'Y'}, {0xFD, 'y'},
    }};
    if (byte <= 0x80) return static_cast<char>(byte);
    for (const auto& letter : kLetters) {
        if (letter.byte == byte) return letter.ascii;
    }
    return ' ';
}

} // namespace

std::string cleanLine(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && byteAt(line, start) <= 32)
        ++start;
    std::string cleaned;
    cleaned.reserve(line.size() - start);
    for (std::size_t i = start; i < line.size(); ++i) {
        if (byteAt(line, i) >= 32) cleaned.push_back(line[i]);
    }
    return cleaned;
}

std::string composeTeamLine(std::string_view name, std::string_view note) {
    std::string line(name);
    line += " - ";
    line += note;
    return cleanLine(line);
}

std::string composePlayerLine(const PlayerLineFields& fields) {
    std::string line = fields.regNumber;
    line += " - ";
    line += fields.surname;
    line += ' ';
    line += fields.firstName;
    line += ", ";
    line += fields.birthDate;
    line += " , ";
    line += fields.note;
    return cleanLine(line);
}

TeamLineFields splitTeamLine(std::string_view line) {
    const auto hyphen = line.find('-');
    // A line without separator (only a hand-edited file has one) is all name,
    // so that changing it keeps the text.
    if (hyphen == std::string_view::npos) return {std::string(line), {}};
    TeamLineFields fields;
    fields.name = beforeSeparator(line, hyphen);
    std::size_t pos = hyphen;
    skip(line, pos, 2);
    fields.note = takeUntil(line, pos, '-');
    return fields;
}

// Each separator of the player line is taken with exactly the spaces it brought,
// so that composing the fields gives the line back even where a field is empty
// or starts with a space: with an empty surname, the separators after the hyphen
// and after the surname stand side by side.
PlayerLineFields splitPlayerLine(std::string_view line) {
    const auto hyphen = line.find('-');
    if (hyphen == std::string_view::npos) return {std::string(line), {}, {}, {}, {}};
    PlayerLineFields fields;
    std::string_view regNumber = line.substr(0, hyphen);
    if (!regNumber.empty() && regNumber.back() == ' ') regNumber.remove_suffix(1);
    fields.regNumber = regNumber;
    std::size_t pos = hyphen + 1;
    skipOne(line, pos, ' ');
    fields.surname = takeUntil(line, pos, ' ');
    skipOne(line, pos, ' ');
    fields.firstName = takeUntil(line, pos, ',');
    skip(line, pos, 1);
    skipOne(line, pos, ' ');
    std::string_view date = takeUntil(line, pos, ',');
    if (!date.empty() && date.back() == ' ') date.remove_suffix(1);
    fields.birthDate = date;
    skip(line, pos, 1);
    skipOne(line, pos, ' ');
    fields.note = line.substr(pos);
    return fields;
}

std::string displayNameOf(std::string_view surname, std::string_view firstName, bool transliterate) {
    std::string name(surname);
    name += ' ';
    name += firstName;
    name.resize(kDisplayNameLength, ' ');
    for (char& c : name) {
        if (static_cast<unsigned char>(c) == 0xBC) c = static_cast<char>(0xBE);
        if (transliterate) c = transliterated(static_cast<unsigned char>(c));
    }
    return name;
}

void loadPlayerIntoSlot(std::string_view line, PlayerSlot& slot, bool transliterate) {
    std::size_t pos = 0;
    const auto regNumber = takeUntil(line, pos, '-');
    skip(line, pos, 2);
    const auto surname = takeUntil(line, pos, ' ');
    skip(line, pos, 1);
    const auto firstName = takeUntil(line, pos, ',');
    skip(line, pos, 1);
    const auto birthDate = takeUntil(line, pos, ',');

    slot.registryLine = line;
    slot.surname = surname;
    slot.firstName = firstName;
    slot.regNumber = regNumber;
    slot.birthDate = birthDate;
    slot.displayName = displayNameOf(surname, firstName, transliterate);
}

} // namespace kuzelna
