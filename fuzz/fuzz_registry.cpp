// Hraci.dtb as anyone may have edited it. Whatever reads, written and read
// again gives the same file; every line comes through the dialogs' split and
// compose unchanged after the first time, and loads into a player slot with a
// display name of exactly 18 bytes.

#include "core/match_state.h"
#include "fuzz_input.h"
#include "registry/registry_file.h"
#include "registry/registry_lines.h"
#include "registry/registry_tree.h"

#include <memory>

using namespace kuzelna;

namespace {

void checkLine(const std::string& line, PlayerSlot& slot) {
    const std::string player = composePlayerLine(splitPlayerLine(line));
    FUZZ_CHECK(composePlayerLine(splitPlayerLine(player)) == player);
    const TeamLineFields team = splitTeamLine(line);
    const std::string teamLine = composeTeamLine(team.name, team.note);
    const TeamLineFields again = splitTeamLine(teamLine);
    FUZZ_CHECK(composeTeamLine(again.name, again.note) == teamLine);

    loadPlayerIntoSlot(line, slot, line.size() % 2 == 0);
    FUZZ_CHECK(slot.displayName.str().size() == 18);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    RegistryTree tree;
    try {
        parseRegistry(content, tree);
    } catch (const RegistryError&) {
        // A level error keeps the nodes read before it.
    }
    const std::string written = serializeRegistry(tree);
    RegistryTree reread;
    parseRegistry(written, reread);
    FUZZ_CHECK(serializeRegistry(reread) == written);

    auto slot = std::make_unique<PlayerSlot>();
    reread.forEach([&](const RegistryNode& node) { checkLine(node.line, *slot); });
    checkLine(content, *slot);
    return 0;
}
