#include "core/hall_folder.h"

#include "core/file_replace.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace kuzelna {
namespace fs = std::filesystem;

namespace {

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

} // namespace

fs::path hallFolder(const char* kuzelnaHome, const char* userHome) {
    if (kuzelnaHome && *kuzelnaHome) return fs::absolute(kuzelnaHome);
    if (userHome && *userHome) return fs::absolute(fs::path(userHome) / kHallFolderName);
    throw std::runtime_error(
        "no folder for the hall's files: neither KUZELNA_HOME nor the home folder is set");
}

fs::path templateSource(const fs::path& programFolder) {
    for (const fs::path& candidate :
         {programFolder / ".." / "share" / "kuzelna" / "templates", programFolder / "templates"}) {
        if (isFolder(candidate)) return candidate.lexically_normal();
    }
    return {};
}

std::vector<std::string> prepareHallFolder(const fs::path& folder, const fs::path& templates) {
    fs::create_directories(folder);
    if (!fs::is_directory(folder))
        throw fs::filesystem_error("not a folder", folder, std::make_error_code(std::errc::not_a_directory));
    std::vector<std::string> copied;
    if (templates.empty()) return copied;
    for (const fs::directory_entry& entry : fs::directory_iterator(templates)) {
        if (!entry.is_regular_file()) continue;
        const fs::path target = folder / entry.path().filename();
        // Whatever stands there under the name (even a broken link) is the operator's.
        if (fs::exists(fs::symlink_status(target))) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.is_open() || in.bad())
            throw fs::filesystem_error("cannot read the template", entry.path(),
                                       std::make_error_code(std::errc::io_error));
        replaceFile(target.string(), content, static_cast<unsigned>(entry.status().permissions()) & 0777);
        copied.push_back(entry.path().filename().string());
    }
    std::sort(copied.begin(), copied.end());
    return copied;
}

} // namespace kuzelna
