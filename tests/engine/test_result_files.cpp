#include "core/cp1250.h"
#include "core/errors.h"
#include "core/match_state.h"
#include "reports/result_files.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

using namespace kuzelna;
namespace fs = std::filesystem;

namespace {

class ResultFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kuzelna-results-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir_;
};

std::string repeat(const std::string& field, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += field;
    return out;
}

// A 60 Hs match of two duels part-way through the first lane: slots filled the
// way throw recording leaves them.
MatchState matchUnderWay() {
    MatchState state;
    state.gameKind = 4; // halves of 15, two lanes: 60 throws
    state.lanesPerPlayer = 2;
    state.pairCount = 2;
    state.player[1].regNumber = "12345 ";
    state.player[1].throwCount = 3;
    state.player[1].throws[1] = 9;
    state.player[1].throws[2] = 0;
    state.player[1].throws[3] = 7;
    state.player[2].regNumber = cp1250::fromUtf8("Č-77 ");
    state.player[2].throwCount = 2;
    state.player[2].throws[1] = 0;
    state.player[2].throws[2] = 0;
    state.player[2].throws[5] = 4; // a corrected throw ahead of the lane
    state.player[4].throwCount = 0;
    state.player[5].throws[1] = 8; // slot 5 is outside two duels
    return state;
}

} // namespace

TEST_F(ResultFiles, ContentLinesPerSlot) {
    const MatchState state = matchUnderWay();
    const std::string expected = "12345 ,3,9,0,7," + repeat("-,", 57) + "\r\n" + // home 1
                                 cp1250::fromUtf8("Č-77 ") + ",2,0,0,-,-,4," + repeat("-,", 55) +
                                 "\r\n" +                            // guest 1
                                 ",0," + repeat("-,", 60) + "\r\n" + // home 2
                                 ",0," + repeat("-,", 60) + "\r\n";  // guest 2
    EXPECT_EQ(resultFileContent(state), expected);

    writeResultFiles(state, dir_.string());
    EXPECT_EQ(read("vyst_a.csv"), expected);
    EXPECT_EQ(read("vyst_b.csv"), expected);
    EXPECT_EQ(kuzelna::testing::temporariesIn(dir_), std::vector<std::string>{});
}

TEST_F(ResultFiles, LineLengthFollowsTheGame) {
    const struct {
        int gameKind, lanesPerPlayer, throws;
    } cases[] = {{1, 4, 200}, {2, 4, 120}, {3, 2, 100}, {5, 6, 180}, {6, 2, 40}};
    for (const auto& c : cases) {
        MatchState state;
        state.gameKind = static_cast<u8>(c.gameKind);
        state.lanesPerPlayer = static_cast<u8>(c.lanesPerPlayer);
        state.pairCount = 1;
        state.player[1].regNumber = "R";
        EXPECT_EQ(resultFileContent(state),
                  "R,0," + repeat("-,", c.throws) + "\r\n" + ",0," + repeat("-,", c.throws) + "\r\n")
            << c.gameKind;
    }
}

TEST_F(ResultFiles, AFailedWriteRaisesAndKeepsTheOldFile) {
    MatchState state = matchUnderWay();
    EXPECT_THROW(writeResultFiles(state, (dir_ / "missing").string()), std::runtime_error);

    writeResultFiles(state, dir_.string());
    const std::string before = read("vyst_a.csv");
    // vyst_b.csv cannot be replaced when a folder stands in its place.
    fs::remove(dir_ / "vyst_b.csv");
    fs::create_directories(dir_ / "vyst_b.csv" / "blocker");
    state.player[1].throws[4] = 5;
    state.player[1].throwCount = 4;
    EXPECT_THROW(writeResultFiles(state, dir_.string()), std::runtime_error);
    EXPECT_NE(read("vyst_a.csv"), before); // vyst_a.csv is written first, whole
    EXPECT_TRUE(fs::is_directory(dir_ / "vyst_b.csv"));
    EXPECT_EQ(kuzelna::testing::temporariesIn(dir_), std::vector<std::string>{});
}

// A reader polling the file while it is rewritten over and over only ever sees
// one whole version or the other.
TEST_F(ResultFiles, AReaderNeverSeesATornFile) {
    MatchState first = matchUnderWay();
    MatchState second = matchUnderWay();
    second.pairCount = 30; // a much longer file
    for (std::size_t s = 1; s <= 60; ++s)
        second.player[s].regNumber = "reg" + std::to_string(s);
    const std::string a = resultFileContent(first);
    const std::string b = resultFileContent(second);
    ASSERT_NE(a.size(), b.size());
    writeResultFiles(first, dir_.string());

    std::atomic<bool> done{false};
    int reads = 0;
    int torn = 0;
    std::thread reader([&] {
        while (!done.load()) {
            const std::string seen = read("vyst_a.csv");
            ++reads;
            if (seen != a && seen != b) ++torn;
        }
    });
    for (int i = 0; i < 400; ++i)
        writeResultFiles(i % 2 ? first : second, dir_.string());
    done = true;
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
}

// A folder that cannot take the files: the first failure is the operator's
// business (an OperatorError with the cause), the ones after it are quiet until
// a write works again, which the status line says.
TEST_F(ResultFiles, AFailingWriteIsReportedOnceAndItsEndToo) {
    auto state = std::make_unique<MatchState>();
    fs::create_directories(dir_ / "vyst_a.csv" / "blocker"); // in the way of the new file
    ResultFileWriter writer;
    try {
        writer.write(*state, dir_.string());
        FAIL() << "the write must fail";
    } catch (const OperatorError& error) {
        EXPECT_FALSE(error.workAtRisk());
        EXPECT_EQ(cp1250::toUtf8(error.status()), "vyst_*.csv nezapsány");
        EXPECT_NE(std::string(error.what()).find("vyst_a.csv"), std::string::npos) << error.what();
    }
    EXPECT_NO_THROW(writer.write(*state, dir_.string()));
    EXPECT_TRUE(writer.failing());

    fs::remove_all(dir_ / "vyst_a.csv");
    writer.write(*state, dir_.string());
    EXPECT_FALSE(writer.failing());
    EXPECT_EQ(cp1250::toUtf8(state->controls.statusLine), "vyst_*.csv zapsány");
    EXPECT_TRUE(fs::exists(dir_ / "vyst_b.csv"));
}
