#include "core/hall_folder.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace kuzelna;
namespace fs = std::filesystem;
using kuzelna::testing::ScratchFolder;

namespace {

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(HallFolder, KuzelnaHomeWinsOverTheHomeFolder) {
    struct Case {
        const char* kuzelnaHome;
        const char* home;
        fs::path expected;
    };
    const Case cases[] = {
        {"/srv/hall", "/home/op", "/srv/hall"},
        {"", "/home/op", "/home/op/Kuzelna"},
        {nullptr, "/home/op", "/home/op/Kuzelna"},
        {"/srv/hall", nullptr, "/srv/hall"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hallFolder(c.kuzelnaHome, c.home), c.expected) << (c.kuzelnaHome ? c.kuzelnaHome : "null");
    EXPECT_THROW(hallFolder(nullptr, ""), std::runtime_error);
    EXPECT_THROW(hallFolder("", nullptr), std::runtime_error);
}

TEST(HallFolder, InstalledTemplatesComeBeforeTheBuildTrees) {
    ScratchFolder root("hall");
    const fs::path bin = root.path() / "usr" / "bin";
    fs::create_directories(bin);
    EXPECT_EQ(templateSource(bin), fs::path());
    fs::create_directories(bin / "templates"); // a build tree: the program beside templates/
    EXPECT_EQ(templateSource(bin), bin / "templates");
    fs::create_directories(root.path() / "usr" / "share" / "kuzelna" / "templates");
    EXPECT_EQ(templateSource(bin), root.path() / "usr" / "share" / "kuzelna" / "templates");
}

TEST(HallFolder, FirstStartCopiesEveryTemplateLaterOnlyTheMissingOnes) {
    ScratchFolder root("hall");
    const fs::path templates = root.path() / "templates";
    write(templates / "zapis.xls", "zapis template");
    write(templates / "Vypis2.xls", "player sheet template");
    fs::create_directories(templates / "not-a-template");
    const fs::path hall = root.path() / "home" / "op" / "Kuzelna";

    EXPECT_EQ(prepareHallFolder(hall, templates), (std::vector<std::string>{"Vypis2.xls", "zapis.xls"}));
    EXPECT_EQ(read(hall / "zapis.xls"), "zapis template");
    EXPECT_FALSE(fs::exists(hall / "not-a-template"));

    // The operator edits one template and deletes another.
    write(hall / "zapis.xls", "the hall's own report");
    fs::remove(hall / "Vypis2.xls");
    EXPECT_EQ(prepareHallFolder(hall, templates), (std::vector<std::string>{"Vypis2.xls"}));
    EXPECT_EQ(read(hall / "zapis.xls"), "the hall's own report");
    EXPECT_EQ(read(hall / "Vypis2.xls"), "player sheet template");

    // A link the operator put there, even a broken one, stays.
    fs::remove(hall / "Vypis2.xls");
    fs::create_symlink(root.path() / "gone.xls", hall / "Vypis2.xls");
    EXPECT_TRUE(prepareHallFolder(hall, templates).empty());
    EXPECT_TRUE(fs::is_symlink(hall / "Vypis2.xls"));
}

TEST(HallFolder, NoTemplatesStillMakesTheFolderAndAFileInTheWayIsAnError) {
    ScratchFolder root("hall");
    EXPECT_TRUE(prepareHallFolder(root.path() / "Kuzelna", fs::path()).empty());
    EXPECT_TRUE(fs::is_directory(root.path() / "Kuzelna"));
    write(root.path() / "file", "x");
    EXPECT_THROW(prepareHallFolder(root.path() / "file", fs::path()), fs::filesystem_error);
}
