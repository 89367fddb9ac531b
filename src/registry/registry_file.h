#pragma once

// Hraci.dtb: one line per node, depth-first, each indented by one TAB per level
// and ended by CR LF; Windows-1250 bytes, no header and no trailer.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kuzelna {

class RegistryTree;

constexpr const char* kRegistryFileName = "Hraci.dtb";

// Raised by reading and writing the registry; the text is Windows-1250.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Replaces the tree with the nodes of `content`. A level more than one deeper
// than the line before raises RegistryError; the nodes read before stay.
void parseRegistry(std::string_view content, RegistryTree& tree);

// The file content of the tree.
std::string serializeRegistry(const RegistryTree& tree);

// Reads `path` into the tree; a file that cannot be opened raises
// "Cannot open file <path>" and leaves the tree as it was.
void loadRegistry(const std::string& path, RegistryTree& tree);

// Writes the tree to `path`: the content goes to a file beside it, which
// replaces `path` only once it is complete. Any failure raises
// "Cannot create file <path>" and leaves the existing file untouched.
void saveRegistry(const RegistryTree& tree, const std::string& path);

// Hraci.dtb in the current directory, formed anew at each call.
std::string registryPath();

} // namespace kuzelna
