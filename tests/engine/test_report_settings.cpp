#include "core/ini_file.h"
#include "core/match_state.h"
#include "reports/report_settings.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void write(const std::filesystem::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

const std::string kOtherSettings = "; alley PC\r\n[Default]\r\nturnaj=1\r\n[Kuzelna]\r\nNazev=stara\r\n";

} // namespace

TEST(ReportSettings, TextsAreWrittenIntoTheFileKeepingEverythingElse) {
    ScratchFolder folder("settings");
    const auto ini = folder.path() / "zodided.ini";
    write(ini, kOtherSettings);
    auto state = std::make_unique<MatchState>();

    EXPECT_TRUE(saveAccompanyingTexts(*state, {"Ku\x9E\x65lna Vset\xEDn", "31.12.2026", "", "R-17"}, ini));

    EXPECT_EQ(contentOf(ini),
              "; alley PC\r\n[Default]\r\nturnaj=1\r\n[Kuzelna]\r\nNazev=Ku\x9E\x65lna Vset\xEDn\r\n"
              "Kolaudace=31.12.2026\r\n[Rozhodci]\r\nJmeno=\r\nCislo=R-17\r\n");
    EXPECT_EQ(state->alleyName, "Ku\x9E\x65lna Vset\xEDn");
    EXPECT_EQ(state->alleyApproval, "31.12.2026");
    EXPECT_EQ(state->refereeName, "");
    EXPECT_EQ(state->refereeNumber, "R-17");
}

// A file that cannot be written (its folder is missing, or it is read-only):
// the texts keep their old values and the file its content, while the reports
// folder changes for this run anyway.
TEST(ReportSettings, FailedWritesFollowEachDialogsRule) {
    ScratchFolder folder("settings");
    const auto readOnly = folder.path() / "zodided.ini";
    write(readOnly, kOtherSettings);
    std::filesystem::permissions(readOnly,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    for (const auto& unwritable : {folder.path() / "missing" / "zodided.ini", readOnly}) {
        SCOPED_TRACE(unwritable.string());
        auto state = std::make_unique<MatchState>();
        state->alleyName = "old";
        state->formsPath = "old";

        EXPECT_FALSE(saveAccompanyingTexts(*state, {"new", "new", "new", "new"}, unwritable));
        EXPECT_FALSE(saveFormsPath(*state, "/srv/zapisy", unwritable));

        EXPECT_EQ(state->alleyName, "old");
        EXPECT_EQ(state->refereeName, "");
        EXPECT_EQ(state->formsPath, "/srv/zapisy");
    }
    EXPECT_EQ(contentOf(readOnly), kOtherSettings);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

TEST(ReportSettings, AFileThatCannotBeReadIsNotOverwritten) {
    ScratchFolder folder("settings");
    const auto unreadable = folder.path() / "zodided.ini";
    std::filesystem::create_directory(unreadable); // exists, but no file to read
    auto state = std::make_unique<MatchState>();
    EXPECT_THROW(saveFormsPath(*state, "x", unreadable), IniReadError);
    EXPECT_THROW(saveAccompanyingTexts(*state, {"new", "new", "new", "new"}, unreadable), IniReadError);
    EXPECT_EQ(state->alleyName, "");
    EXPECT_TRUE(std::filesystem::is_directory(unreadable));
}

TEST(ReportSettings, FormsPathIsWrittenAndAnEmptyOneStored) {
    ScratchFolder folder("settings");
    const auto ini = folder.path() / "zodided.ini";
    write(ini, kOtherSettings);
    auto state = std::make_unique<MatchState>();
    EXPECT_TRUE(saveFormsPath(*state, "", ini));
    EXPECT_EQ(contentOf(ini), kOtherSettings + "[Formulare]\r\nCesta=\r\n");
    EXPECT_EQ(state->formsPath, "");
    EXPECT_TRUE(saveFormsPath(*state, "D:\\zapisy", ini));
    EXPECT_EQ(contentOf(ini), kOtherSettings + "[Formulare]\r\nCesta=D:\\zapisy\r\n");
}
