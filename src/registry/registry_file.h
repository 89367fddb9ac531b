#pragma once

// Hraci.dtb: one line per node, depth-first, each indented by one TAB per level
// and ended by CR LF; Windows-1250 bytes, no header and no trailer.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace kuzelna {

class RegistryTree;

constexpr const char* kRegistryFileName = "Hraci.dtb";

// Raised by reading and writing the registry; the text is Windows-1250.
class RegistryError : public std::runtime_error {
public:
    enum class Kind {
        Missing,    // no file to read: an empty registry
        Unreadable, // a file is there but cannot be read
        Incomplete, // reading stopped before the end of the file
        Unwritable, // the file cannot be written
    };
    RegistryError(const std::string& text, Kind kind = Kind::Incomplete, int line = 0, std::string cause = {})
        : std::runtime_error(text), kind_(kind), line_(line), cause_(std::move(cause)) {}
    Kind kind() const { return kind_; }
    // What the system said about a failed write or read, empty when nothing.
    const std::string& cause() const { return cause_; }
    // The 1-based line of the file at which reading stopped, 0 when none.
    int line() const { return line_; }
    // Whether the file holds more than the tree read from it, so that writing
    // the tree over it would lose registry lines.
    bool fileHoldsMore() const { return kind_ == Kind::Unreadable || kind_ == Kind::Incomplete; }

private:
    Kind kind_;
    int line_;
    std::string cause_;
};

// Replaces the tree with the nodes of `content`. A level more than one deeper
// than the line before, or a NUL byte with text after it, stops the reading
// with RegistryError (Kind::Incomplete, with the line); the nodes read before stay.
void parseRegistry(std::string_view content, RegistryTree& tree);

// The file content of the tree.
std::string serializeRegistry(const RegistryTree& tree);

// Reads `path` into the tree; a file that cannot be opened raises
// "Cannot open file <path>" (Kind::Missing when there is no file,
// Kind::Unreadable when there is one) and leaves the tree as it was.
void loadRegistry(const std::string& path, RegistryTree& tree);

// Writes the tree to `path`: the content goes to a file beside it, which
// replaces `path` only once it is complete; the file it replaces is kept as
// `path`.bak. Any failure raises "Cannot create file <path>" (Kind::Unwritable,
// with the system's cause) and leaves the existing file untouched.
void saveRegistry(const RegistryTree& tree, const std::string& path);

// The backup kept beside a saved registry file.
std::string registryBackupPath(const std::string& path);

// Hraci.dtb in the current directory, formed anew at each call.
std::string registryPath();

} // namespace kuzelna
