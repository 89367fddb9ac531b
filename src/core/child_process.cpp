#include "core/child_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>

namespace kuzelna {

namespace {

// Between fork and exec only async-signal-safe calls: no allocation, no locks.
void closeDescriptorsFrom(int first, int limit) {
#ifdef SYS_close_range
    if (::syscall(SYS_close_range, static_cast<unsigned>(first), ~0U, 0U) == 0) return;
#endif
    for (int fd = first; fd < limit; ++fd)
        ::close(fd);
}

} // namespace

pid_t startChild(const std::vector<std::string>& arguments, ChildTie tie) {
    if (arguments.empty()) return -1;
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // Where the fallback loop of the child stops, found before the fork.
    rlimit files{};
    const int limit = ::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY &&
                              files.rlim_cur < 1024 * 1024
                          ? static_cast<int>(files.rlim_cur)
                          : 1024 * 1024;
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) return pid < 0 ? -1 : pid;

    if (tie == ChildTie::DiesWithParent) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
    } else {
        ::setsid();
    }
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
    closeDescriptorsFrom(STDERR_FILENO + 1, limit);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

} // namespace kuzelna
