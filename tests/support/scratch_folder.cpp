#include "support/scratch_folder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <stdlib.h>

namespace kuzelna::testing {

ScratchFolder::ScratchFolder(const std::string& purpose) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("kuzelna-" + purpose + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    // For looking at what a test wrote: KUZELNA_KEEP_SCRATCH=1 keeps the folder.
    if (std::getenv("KUZELNA_KEEP_SCRATCH")) {
        std::fprintf(stderr, "kept %s\n", path_.string().c_str());
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::touch(const std::filesystem::path& relative) const {
    const std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file).put('\n');
    return file;
}

std::vector<std::string> temporariesIn(const std::filesystem::path& folder) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 5 && name.front() == '.' && name.ends_with(".tmp")) found.push_back(name);
    }
    return found;
}

} // namespace kuzelna::testing
