#include "core/file_replace.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace kuzelna {

namespace {

// The system's word for the last failure ("No space left on device",
// "Read-only file system"), which is what the operator can act on.
std::string lastCause() {
    return errno != 0 ? std::string(std::strerror(errno)) : std::string("write failed");
}

} // namespace

void replaceFile(const std::string& path, const std::string& content, std::optional<unsigned> mode) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temporary = target;
    temporary += ".tmp";
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("Cannot write " + temporary.string() + ": " + lastCause());
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            const std::string cause = lastCause();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw std::runtime_error("Cannot write " + temporary.string() + ": " + cause);
        }
    }
    std::error_code error;
    if (mode) {
        fs::permissions(temporary, static_cast<fs::perms>(*mode & 07777), error);
    } else if (const fs::file_status old = fs::status(target, error); !error && fs::exists(old)) {
        fs::permissions(temporary, old.permissions(), error);
    } else {
        error.clear();
    }
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw std::runtime_error("Cannot set the permissions of " + temporary.string() + ": " + error.message());
    }
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw std::runtime_error("Cannot replace " + path + ": " + error.message());
    }
}

} // namespace kuzelna
