#include "core/journal_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kuzelna {

JournalFile::JournalFile(std::string path) : path_(std::move(path)) {}

JournalFile::~JournalFile() {
    close();
}

void JournalFile::resume(std::size_t validBytes) {
    durable_ = validBytes;
    cutDue_ = true;
}

bool JournalFile::commit() {
    if (!pending()) return true;
    const auto fail = [this](const char* what) {
        lastError_ = path_ + ": " + what + ": " + std::strerror(errno);
        // After a failed write or fsync nothing past durable_ can be trusted:
        // reopen and write it again next time.
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        cutDue_ = true;
        return false;
    };
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) return fail("cannot open");
    }
    if (cutDue_ && ::ftruncate(fd_, static_cast<off_t>(durable_)) != 0)
        return fail("cannot cut the torn end");
    std::size_t done = 0;
    while (done < tail_.size()) {
        const ssize_t n =
            ::pwrite(fd_, tail_.data() + done, tail_.size() - done, static_cast<off_t>(durable_ + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return fail("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fdatasync(fd_) != 0) return fail("cannot sync");
    durable_ += tail_.size();
    tail_.clear();
    cutDue_ = false;
    lastError_.clear();
    return true;
}

void JournalFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

} // namespace kuzelna
