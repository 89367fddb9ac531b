#include "core/file_replace.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace kuzelna {

void replaceFile(const std::string& path, const std::string& content) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("Cannot write " + temporary.string());
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw std::runtime_error("Cannot write " + temporary.string());
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw std::runtime_error("Cannot replace " + path + ": " + error.message());
    }
}

} // namespace kuzelna
