#include "core/file_replace.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace kuzelna;
namespace fs = std::filesystem;
using kuzelna::testing::ScratchFolder;
using kuzelna::testing::temporariesIn;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

unsigned modeOf(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0xffff;
}

const std::vector<std::string> kNone;

} // namespace

TEST(FileReplace, KeepsThePermissionsOrTakesTheGivenOnes) {
    ScratchFolder folder("replace");
    const mode_t mask = ::umask(022);
    ::umask(mask);
    const struct {
        const char* name;
        std::optional<unsigned> before; // none: no file yet
        std::optional<unsigned> given;
        unsigned after;
    } cases[] = {
        {"kept", 0640, {}, 0640},
        {"kept even where the umask would take bits", 0666, {}, 0666},
        {"a secret over a readable file", 0644, 0600, 0600},
        {"a new secret", {}, 0600, 0600},
        {"a new file", {}, {}, 0666 & ~mask},
    };
    for (const auto& c : cases) {
        const fs::path path = folder.path() / c.name;
        if (c.before) {
            writeAll(path, "old");
            ASSERT_EQ(::chmod(path.c_str(), *c.before), 0);
        }
        replaceFile(path.string(), "new content", c.given);
        EXPECT_EQ(readAll(path), "new content") << c.name;
        EXPECT_EQ(modeOf(path), c.after) << c.name << std::oct << ": 0" << modeOf(path);
    }
    EXPECT_EQ(temporariesIn(folder.path()), kNone);
}

TEST(FileReplace, AFailureLeavesTheTargetAsItWasAndNoTemporary) {
    ScratchFolder folder("replace");
    const fs::path kept = folder.path() / "zodided.ini";
    writeAll(kept, "[A]\r\nx=1\r\n");
    // A folder that stands in the target's place cannot be replaced by a file.
    const fs::path taken = folder.path() / "taken";
    fs::create_directories(taken / "inside");
    const struct {
        fs::path target;
        const char* cause;
    } cases[] = {
        {taken, "Is a directory"},
        {folder.path() / "missing" / "vyst_a.csv", "No such file or directory"},
    };
    for (const auto& c : cases) {
        try {
            replaceFile(c.target.string(), "replacement");
            ADD_FAILURE() << c.target << " must not be replaced";
        } catch (const std::runtime_error& error) {
            const std::string text = error.what();
            EXPECT_NE(text.find(c.target.string()), std::string::npos) << text;
            EXPECT_NE(text.find(c.cause), std::string::npos) << text;
        }
    }
    EXPECT_TRUE(fs::is_directory(taken / "inside"));
    EXPECT_FALSE(fs::exists(folder.path() / "missing"));
    EXPECT_EQ(readAll(kept), "[A]\r\nx=1\r\n");
    EXPECT_EQ(temporariesIn(folder.path()), kNone);
}

// Two writers of one file (the result files' timer and a save from a window,
// or two programs) each write under a name of their own: both succeed, and the
// file is always one of their contents whole.
TEST(FileReplace, TwoWritersOfOneFileDoNotCollide) {
    ScratchFolder folder("replace");
    const fs::path path = folder.path() / "vyst_a.csv";
    const std::string first(3000, 'a');
    const std::string second(5000, 'b');
    const auto writer = [&](const std::string& content, int& failed) {
        for (int i = 0; i < 100; ++i) {
            try {
                replaceFile(path.string(), content);
            } catch (const std::exception&) {
                ++failed;
            }
        }
    };
    int failedA = 0, failedB = 0;
    std::thread a(writer, std::cref(first), std::ref(failedA));
    std::thread b(writer, std::cref(second), std::ref(failedB));
    a.join();
    b.join();
    EXPECT_EQ(failedA + failedB, 0);
    const std::string now = readAll(path);
    EXPECT_TRUE(now == first || now == second) << now.size() << " bytes";
    EXPECT_EQ(temporariesIn(folder.path()), kNone);
}

TEST(FileReplace, FolderOfAPath) {
    const std::pair<const char*, const char*> cases[] = {
        {"vyst_a.csv", "."}, {"archiv/x.jrn", "archiv"}, {"/x", "/"}, {"/a/b//c", "/a/b"}, {"a/b/", "a/b"}};
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(folderOf(path), folder) << path;
}

TEST(FileReplace, MoveFileWithinAFileSystem) {
    ScratchFolder folder("replace");
    const fs::path from = folder.path() / "utkani.jrn";
    const fs::path to = folder.path() / "archiv" / "2026-12-11_1900_A_B.jrn";
    fs::create_directory(to.parent_path());
    writeAll(from, std::string("journal\0bytes", 13));
    ASSERT_EQ(::chmod(from.c_str(), 0640), 0);
    moveFile(from.string(), to.string());
    EXPECT_FALSE(fs::exists(from));
    EXPECT_EQ(readAll(to), std::string("journal\0bytes", 13));
    EXPECT_EQ(modeOf(to), 0640u);

    // Into a folder that is not there: it stays where it is.
    writeAll(from, "second");
    EXPECT_THROW(moveFile(from.string(), (folder.path() / "missing" / "x.jrn").string()), std::runtime_error);
    EXPECT_EQ(readAll(from), "second");
}
