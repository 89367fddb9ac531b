#include "core/journal_file.h"

#include "core/file_replace.h"

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
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0 && errno == ENOENT) {
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd_ >= 0) folderDue_ = true;
        }
        if (fd_ < 0) return fail("cannot open");
    }
    // A file whose name is not yet on the disk could vanish with all its synced records.
    if (folderDue_) {
        const int folder = ::open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0) return fail("cannot open its folder");
        const bool synced = ::fsync(folder) == 0 || errno == EINVAL;
        const int error = errno;
        ::close(folder);
        errno = error;
        if (!synced) return fail("cannot sync its folder");
        folderDue_ = false;
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
