#include "registry/registry_file.h"

#include "core/file_replace.h"
#include "registry/registry_tree.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace kuzelna {
namespace {

// Lines end at CR LF, a lone CR or a lone LF; a NUL ends the text; a last line
// without line end still counts.
std::vector<std::string_view> splitLines(std::string_view content) {
    if (const auto nul = content.find('\0'); nul != std::string_view::npos) content = content.substr(0, nul);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const auto end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(content.substr(start));
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 1;
        if (content[end] == '\r' && start < content.size() && content[start] == '\n') ++start;
    }
    return lines;
}

} // namespace

void parseRegistry(std::string_view content, RegistryTree& tree) {
    tree.clear();
    RegistryNode* previous = nullptr;
    for (std::string_view line : splitLines(content)) {
        const auto indent = std::min(line.find_first_not_of("\t "), line.size());
        const int level = static_cast<int>(indent);
        const std::string text(line.substr(indent));

        if (!previous) {
            previous = tree.appendChild(nullptr, text);
            continue;
        }
        const int previousLevel = previous->level();
        if (level == previousLevel + 1) {
            previous = tree.appendChild(previous, text);
        } else if (level > previousLevel) {
            throw RegistryError("Invalid level (" + std::to_string(level) + ") for item \"" + text + "\"");
        } else {
            // The new node is a sibling of the ancestor of `previous` at its level.
            RegistryNode* sibling = previous;
            while (sibling->level() > level)
                sibling = sibling->parent;
            RegistryNode* parent = sibling->parent->isTop() ? nullptr : sibling->parent;
            previous = tree.appendChild(parent, text);
        }
    }
}

std::string serializeRegistry(const RegistryTree& tree) {
    std::string content;
    tree.forEach([&content](const RegistryNode& node) {
        content.append(static_cast<std::size_t>(node.level()), '\t');
        content += node.line;
        content += "\r\n";
    });
    return content;
}

void loadRegistry(const std::string& path, RegistryTree& tree) {
    std::error_code error;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, error)) in.open(path, std::ios::binary);
    if (!in.is_open()) throw RegistryError("Cannot open file " + path);
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw RegistryError("Cannot open file " + path);
    parseRegistry(content, tree);
}

void saveRegistry(const RegistryTree& tree, const std::string& path) {
    try {
        replaceFile(path, serializeRegistry(tree));
    } catch (const std::runtime_error&) {
        throw RegistryError("Cannot create file " + path);
    }
}

std::string registryPath() {
    return (std::filesystem::current_path() / kRegistryFileName).string();
}

} // namespace kuzelna
