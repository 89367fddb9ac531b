#include "support/registry_outline.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kuzelna::testing {

std::string outline(const RegistryTree& tree) {
    std::string text;
    tree.forEach(
        [&text](const RegistryNode& node) { text += std::to_string(node.level()) + "|" + node.line + "\n"; });
    return text;
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto folder = std::filesystem::temp_directory_path() /
                        ("kuzelna-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    path_ = folder.string();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

} // namespace kuzelna::testing
