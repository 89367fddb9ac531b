// zodided.ini as anyone may have edited it: the file comes back byte for byte,
// the program's settings read from it, and a key written into it reads back as
// written (one line, blanks and one pair of quotes around it dropped), with
// its number by the typed-number rule.

#include "core/ini_file.h"
#include "core/match_state.h"
#include "core/startup.h"
#include "core/typed_number.h"
#include "fuzz_input.h"

#include <memory>

using namespace kuzelna;

namespace {

// A section or key name of letters and digits, so that it is nothing else.
std::string plainName(fuzz::Input& in) {
    static constexpr char kLetters[] = "abcXYZ019";
    std::string name(1 + in.byte() % 4, 'a');
    for (char& c : name)
        c = kLetters[in.byte() % (sizeof kLetters - 1)];
    return name;
}

std::string asRead(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    const auto first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    value = value.substr(first, value.find_last_not_of(" \t") - first + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string section = plainName(in);
    const std::string key = plainName(in);
    const std::string value = in.text();
    const std::string content = in.rest();

    IniFile ini;
    ini.parse(content);
    FUZZ_CHECK(ini.content() == content);
    auto state = std::make_unique<MatchState>();
    readSettings(*state, ini);

    ini.writeString(section, key, value);
    IniFile again;
    again.parse(ini.content());
    FUZZ_CHECK(again.hasKey(section, key));
    const std::string read = again.readString(section, key);
    FUZZ_CHECK(read == asRead(value));
    FUZZ_CHECK(again.readInteger(section, key, -1) == parseInteger(read).value_or(-1));
    return 0;
}
