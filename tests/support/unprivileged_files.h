#pragma once

// File access on this thread with no privilege over permissions, so that a
// file with no read permission cannot be read even when the tests run as root
// (root's file-system capabilities lapse with a file-system uid other than 0).

#include <sys/fsuid.h>
#include <unistd.h>

namespace kuzelna::testing {

class UnprivilegedFiles {
public:
    UnprivilegedFiles() : root_(geteuid() == 0) {
        if (root_) setfsuid(65534); // nobody
    }
    ~UnprivilegedFiles() {
        if (root_) setfsuid(0);
    }
    UnprivilegedFiles(const UnprivilegedFiles&) = delete;
    UnprivilegedFiles& operator=(const UnprivilegedFiles&) = delete;

private:
    bool root_;
};

} // namespace kuzelna::testing
