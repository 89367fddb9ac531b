#include "registry/registry_file.h"

#include "core/file_replace.h"
#include "registry/registry_tree.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace kuzelna {
namespace {

// Lines end at CR LF, a lone CR or a lone LF; a last line without line end
// still counts. The text ends at a NUL (see parseRegistry).
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
    const std::vector<std::string_view> lines = splitLines(content);
    int lineNumber = 0;
    for (std::string_view line : lines) {
        ++lineNumber;
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
            throw RegistryError("Invalid level (" + std::to_string(level) + ") for item \"" + text + "\"",
                                RegistryError::Kind::Incomplete, lineNumber);
        } else {
            // The new node is a sibling of the ancestor of `previous` at its level.
            RegistryNode* sibling = previous;
            while (sibling->level() > level)
                sibling = sibling->parent;
            RegistryNode* parent = sibling->parent->isTop() ? nullptr : sibling->parent;
            previous = tree.appendChild(parent, text);
        }
    }
    // Text after a NUL is not read; a file padded with NULs loses nothing.
    if (const auto nul = content.find('\0');
        nul != std::string_view::npos && content.find_first_not_of('\0', nul) != std::string_view::npos) {
        const bool lineStart = nul == 0 || content[nul - 1] == '\n' || content[nul - 1] == '\r';
        const int at = static_cast<int>(lines.size()) + (lineStart ? 1 : 0);
        throw RegistryError("NUL byte in line " + std::to_string(at) + ", the rest of the file is not read",
                            RegistryError::Kind::Incomplete, at);
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
    const bool exists = std::filesystem::exists(path, error);
    const auto kind = exists ? RegistryError::Kind::Unreadable : RegistryError::Kind::Missing;
    std::ifstream in;
    errno = 0;
    if (!std::filesystem::is_directory(path, error)) in.open(path, std::ios::binary);
    if (!in.is_open())
        throw RegistryError("Cannot open file " + path, kind, 0, errno ? std::strerror(errno) : "");
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw RegistryError("Cannot open file " + path, kind, 0, errno ? std::strerror(errno) : "");
    parseRegistry(content, tree);
}

std::string registryBackupPath(const std::string& path) {
    return path + ".bak";
}

void saveRegistry(const RegistryTree& tree, const std::string& path) {
    try {
        // The file about to be replaced becomes the backup first, so a save
        // that throws away something by mistake can be undone by hand.
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            std::ifstream in(path, std::ios::binary);
            const std::string previous{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!in.is_open() || in.bad()) throw std::runtime_error("cannot read " + path);
            replaceFile(registryBackupPath(path), previous);
        }
        replaceFile(path, serializeRegistry(tree));
    } catch (const std::runtime_error& failure) {
        std::string cause = failure.what();
        if (const auto colon = cause.rfind(": "); colon != std::string::npos) cause = cause.substr(colon + 2);
        throw RegistryError("Cannot create file " + path, RegistryError::Kind::Unwritable, 0, cause);
    }
}

std::string registryPath() {
    return (std::filesystem::current_path() / kRegistryFileName).string();
}

} // namespace kuzelna
