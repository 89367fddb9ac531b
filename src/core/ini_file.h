#pragma once

// zodided.ini with the semantics of the Windows profile functions: reading a
// missing key gives the default, booleans are true for any value but 0, and
// writing a key updates it in place, keeping every other section, key, comment
// and their order. Texts are Windows-1250 bytes, as in the file.

#include <string>
#include <vector>

namespace kuzelna {

class IniFile {
public:
    // Reads `path`; a missing or unreadable file reads as empty (returns false).
    bool load(const std::string& path);
    // Parses file content (Windows-1250 bytes, CR LF or LF lines).
    void parse(const std::string& content);

    std::string readString(const std::string& section, const std::string& key,
                           const std::string& fallback = {}) const;
    int readInteger(const std::string& section, const std::string& key, int fallback) const;
    bool readBool(const std::string& section, const std::string& key, bool fallback) const;
    bool hasKey(const std::string& section, const std::string& key) const;

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int value);
    void writeBool(const std::string& section, const std::string& key, bool value);

    // The file content as it would be written.
    std::string content() const;
    // Writes the content to `path` through a file beside it renamed into place;
    // throws std::runtime_error when that fails (the old file stays intact).
    void save(const std::string& path) const;

private:
    std::vector<std::string> lines_;
    std::string newline_ = "\r\n";
};

} // namespace kuzelna
