#include "core/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace kuzelna {

namespace {

// The system's word for a failure ("No space left on device", "Read-only file
// system"), which is what the operator can act on.
std::string cause(int error) {
    return std::strerror(error);
}

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    throw std::runtime_error(what + " " + path + ": " + cause(error));
}

// A name beside `path` that no other writer picks: the process and a random
// part (two threads of one process, or a second program, never meet).
std::string temporaryName(const std::string& path) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%ld.%08llx.tmp", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(random() & 0xffffffffULL));
    const auto slash = path.rfind('/');
    const std::size_t cut = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, cut) + "." + path.substr(cut) + suffix;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now: a close that fails can be the write that did not reach the disk.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// A new file beside `path`, opened for writing with `permissions` (the umask
// still applies when `exact` is false). Returns the descriptor, the name in `name`.
int createTemporary(const std::string& path, mode_t permissions, std::string& name) {
    for (int attempt = 0;; ++attempt) {
        name = temporaryName(path);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
        if (fd >= 0 || errno != EEXIST || attempt >= 16) return fd;
    }
}

// Writes `content` to a fresh temporary beside `path`, synced and closed.
// Returns its name; on failure nothing is left and the cause is thrown.
std::string writeTemporary(const std::string& path, const char* data, std::size_t size,
                           std::optional<mode_t> exact) {
    std::string name;
    Descriptor fd(createTemporary(path, exact.value_or(0666), name));
    if (fd.get() < 0) fail("Cannot write", path, errno);
    const auto abandon = [&](const char* what) {
        const int error = errno;
        fd.close();
        ::unlink(name.c_str());
        fail(what, path, error);
    };
    // The umask would take bits off a mode that is meant exactly.
    if (exact && ::fchmod(fd.get(), *exact) != 0) abandon("Cannot set the permissions of");
    if (!writeAll(fd.get(), data, size)) abandon("Cannot write");
    if (::fsync(fd.get()) != 0) abandon("Cannot sync");
    if (fd.close() != 0) {
        const int error = errno;
        ::unlink(name.c_str());
        fail("Cannot write", path, error);
    }
    return name;
}

} // namespace

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    const auto end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? std::string("/") : path.substr(0, end + 1);
}

void syncFolder(const std::string& folder) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) fail("Cannot open the folder", folder, errno);
    // A file system that cannot sync a folder (EINVAL) keeps its names by
    // itself; there is nothing more to be done there.
    if (::fsync(fd.get()) != 0 && errno != EINVAL) fail("Cannot sync the folder", folder, errno);
}

void replaceFile(const std::string& path, const std::string& content, std::optional<unsigned> mode) {
    std::optional<mode_t> exact;
    if (mode) {
        exact = static_cast<mode_t>(*mode & 07777);
    } else if (struct stat old{}; ::stat(path.c_str(), &old) == 0) {
        exact = old.st_mode & 07777;
    }
    const std::string temporary = writeTemporary(path, content.data(), content.size(), exact);
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("Cannot replace", path, error);
    }
    syncFolder(folderOf(path));
}

void moveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) {
        syncFolder(folderOf(to));
        syncFolder(folderOf(from));
        return;
    }
    if (errno != EXDEV) fail("Cannot move " + from + " to", to, errno);

    std::string content;
    struct stat source {};
    {
        Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
        if (in.get() < 0 || ::fstat(in.get(), &source) != 0) fail("Cannot read", from, errno);
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) fail("Cannot read", from, errno);
            if (n == 0) break;
            content.append(buffer, static_cast<std::size_t>(n));
        }
    }
    // The copy is whole on the disk under its own name before the source goes.
    replaceFile(to, content, source.st_mode & 07777);
    if (::unlink(from.c_str()) != 0) {
        // Left in both places the file would be archived twice: the copy goes.
        const int error = errno;
        ::unlink(to.c_str());
        fail("Cannot remove", from, error);
    }
    syncFolder(folderOf(from));
}

} // namespace kuzelna
