#include "reports/office_profiles.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <system_error>

#ifdef __unix__
#include <signal.h>
#include <unistd.h>
#endif

namespace kuzelna {

namespace {

constexpr const char* kPrefix = "kuzelna-office-";

bool processRuns(long pid) {
#ifdef __unix__
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#else
    return true; // no way to tell: keep it
#endif
}

long currentProcess() {
#ifdef __unix__
    return static_cast<long>(::getpid());
#else
    return 0;
#endif
}

} // namespace

std::string officeProfilePattern(const std::filesystem::path& temporaryFolder) {
    return (temporaryFolder / (std::string(kPrefix) + std::to_string(currentProcess()) + "-XXXXXX")).string();
}

std::vector<std::filesystem::path> reclaimOfficeProfiles(const std::filesystem::path& temporaryFolder) {
    namespace fs = std::filesystem;
    std::vector<fs::path> removed;
    std::error_code error;
    for (fs::directory_iterator it(temporaryFolder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kPrefix, 0) != 0 || !it->is_directory(error)) continue;
        const std::string rest = name.substr(std::string(kPrefix).size());
        const auto dash = rest.find('-');
        bool stale = false;
        if (dash != std::string::npos && dash > 0 && rest.find_first_not_of("0123456789") == dash) {
            stale = !processRuns(std::stol(rest.substr(0, dash)));
        } else {
            // The older form names no owner: only an old one is surely left over.
            const auto age = fs::file_time_type::clock::now() - fs::last_write_time(it->path(), error);
            stale = !error && age > std::chrono::hours(48);
        }
        if (!stale) continue;
        std::error_code ignored;
        if (fs::remove_all(it->path(), ignored) != static_cast<std::uintmax_t>(-1) && !ignored)
            removed.push_back(it->path());
    }
    return removed;
}

} // namespace kuzelna
