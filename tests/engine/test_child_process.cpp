// A program started from this one (the office) inherits no descriptor of it:
// a socket left open without close-on-exec stays in this process only.

#include "core/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kuzelna;
namespace fs = std::filesystem;

namespace {

std::string linkOf(const fs::path& path) {
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    return error ? std::string() : target.string();
}

} // namespace

TEST(ChildProcess, TheChildHoldsNothingButTheNullDevice) {
    // As a careless library would leave them: a listening socket and a pipe, inheritable.
    const int listening = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listening, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listening, 4), 0);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);

    for (const ChildTie tie : {ChildTie::DiesWithParent, ChildTie::OwnSession}) {
        const pid_t child = startChild({"/bin/sleep", "30"}, tie);
        ASSERT_GT(child, 0);
        const fs::path proc = "/proc/" + std::to_string(child);
        // Until the child runs the program given (after exec), its descriptors are not yet final.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (linkOf(proc / "exe").find("sleep") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_NE(linkOf(proc / "exe").find("sleep"), std::string::npos);

        int descriptors = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(proc / "fd")) {
            ++descriptors;
            const int fd = std::stoi(entry.path().filename().string());
            EXPECT_LE(fd, STDERR_FILENO) << fd << " -> " << linkOf(entry.path());
            EXPECT_EQ(linkOf(entry.path()), "/dev/null") << fd;
        }
        EXPECT_EQ(descriptors, 3);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    ::close(listening);
    ::close(pipe[0]);
    ::close(pipe[1]);
}

TEST(ChildProcess, AProgramThatCannotRunEndsTheChildWith127) {
    const pid_t child = startChild({"/nonexistent/office"}, ChildTie::DiesWithParent);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 127);
    EXPECT_EQ(startChild({}, ChildTie::OwnSession), -1);
}
