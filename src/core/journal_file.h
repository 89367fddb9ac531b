#pragma once

// The journal's file on the disk: appended records are held in memory until
// commit() has written them and fsync'ed the file. A failed write or fsync
// keeps them all (the match goes on in memory); the next commit writes them
// again from the last offset known to be on the disk, so the file catches up
// complete as soon as writing works again.

#include <cstddef>
#include <string>
#include <string_view>

namespace kuzelna {

class JournalFile {
public:
    explicit JournalFile(std::string path);
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Continues the file whose first `validBytes` are intact records; a torn
    // tail after them is cut off by the next commit.
    void resume(std::size_t validBytes);

    void append(std::string_view bytes) { tail_.append(bytes); }

    // Writes what is held and fsyncs. True when everything appended is on the
    // disk; false keeps it, with the reason in lastError().
    bool commit();

    bool pending() const { return !tail_.empty() || cutDue_; }
    std::size_t durableBytes() const { return durable_; }
    const std::string& lastError() const { return lastError_; }
    const std::string& path() const { return path_; }

    // Closes the file (after a last commit by the caller).
    void close();
    // The file was moved (into the archive): later records go there.
    void moved(std::string newPath) {
        close();
        path_ = std::move(newPath);
        folderDue_ = false;
    }

private:
    std::string path_;
    int fd_ = -1;
    std::size_t durable_ = 0; // bytes known to be on the disk
    bool cutDue_ = false;     // a torn tail after durable_ is still to be cut off
    bool folderDue_ = false;  // the file was created and its folder is not yet synced
    std::string tail_;        // appended after durable_, not yet known on the disk
    std::string lastError_;
};

} // namespace kuzelna
