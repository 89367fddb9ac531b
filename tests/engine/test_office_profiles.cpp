// Office profiles left by a run that was killed are removed at the next start;
// those of running programs, and anything else in the folder, stay.

#include "reports/office_profiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kuzelna;

namespace {

// A process id that no process has any more.
long endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST(OfficeProfiles, OnlyProfilesOfEndedRunsAreRemoved) {
    const fs::path folder =
        fs::temp_directory_path() / ("kuzelna-profiles-test-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string pattern = officeProfilePattern(folder);
    EXPECT_EQ(fs::path(pattern).filename().string(),
              "kuzelna-office-" + std::to_string(::getpid()) + "-XXXXXX");

    const fs::path ended = folder / ("kuzelna-office-" + std::to_string(endedProcess()) + "-a1b2c3");
    const fs::path running = folder / ("kuzelna-office-" + std::to_string(::getpid()) + "-d4e5f6");
    const fs::path olderFormFresh = folder / "kuzelna-office-Q7w8E9";
    const fs::path olderFormOld = folder / "kuzelna-office-R1t2Y3";
    const fs::path someoneElses = folder / "kuzelna-other-123-abc";
    for (const fs::path& p : {ended, running, olderFormFresh, olderFormOld, someoneElses})
        fs::create_directories(p / "user");
    fs::last_write_time(olderFormOld, fs::file_time_type::clock::now() - std::chrono::hours(72));
    // The program that started it has ended, but its office still runs on it
    // (left open for the operator): it stays.
    const fs::path stillOpen = folder / ("kuzelna-office-" + std::to_string(endedProcess()) + "-g7h8i9");
    fs::create_directories(stillOpen / "user");
    const std::string officeArgument = "-env:UserInstallation=file://" + stillOpen.string();
    const pid_t office = ::fork();
    if (office == 0) {
        ::execl("/bin/sh", "sh", "-c", "sleep 30", officeArgument.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Until the child has exec'd, its command line is still this test's.
    const auto commandLineOf = [](pid_t pid) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    for (int i = 0; i < 500 && commandLineOf(office).find(officeArgument) == std::string::npos; ++i)
        ::usleep(10'000);
    ASSERT_NE(commandLineOf(office).find(officeArgument), std::string::npos);
    const fs::path plainFile = folder / ("kuzelna-office-" + std::to_string(endedProcess()) + "-file");
    {
        std::FILE* f = std::fopen(plainFile.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }

    const std::vector<fs::path> removed = reclaimOfficeProfiles(folder);
    EXPECT_EQ(removed.size(), 2u);
    EXPECT_FALSE(fs::exists(ended));
    EXPECT_FALSE(fs::exists(olderFormOld));
    for (const fs::path& p : {running, olderFormFresh, someoneElses, plainFile, stillOpen})
        EXPECT_TRUE(fs::exists(p)) << p;
    ::kill(office, SIGKILL);
    ::waitpid(office, nullptr, 0);
    EXPECT_EQ(reclaimOfficeProfiles(folder), std::vector<fs::path>{stillOpen});
    fs::remove_all(folder);
}
