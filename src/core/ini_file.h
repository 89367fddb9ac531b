#pragma once

// zodided.ini with the semantics of the Windows profile functions: reading a
// missing key gives the default, booleans are true for any value but 0, and
// writing a key updates it in place, keeping every other section, key, comment
// and their order. Section and key names compare case-insensitively. Texts are
// Windows-1250 bytes, as in the file. Lines the reader does not understand
// (garbage, binary junk) are kept byte for byte.

#include <stdexcept>
#include <string>
#include <vector>

namespace kuzelna {

// A settings file that was to be updated could not be read whole. what() is
// the reason for the operator (Windows-1250).
class IniReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IniFile {
public:
    // Reads `path`; a missing or unreadable file reads as empty (returns false).
    bool load(const std::string& path);
    // Reads `path` whole before some of its keys are changed and it is saved:
    // a save from anything less would drop every other setting. Throws
    // IniReadError when the file exists but cannot be read, is no regular file,
    // is not empty yet holds no section (zeros a power cut left, another file
    // in its place), or is missing although it `existed` (this program read or
    // saved it before). A file that never was reads as empty, for the first
    // save to create it.
    static IniFile loadForUpdate(const std::string& path, bool existed);
    // Parses file content (Windows-1250 bytes, CR LF or LF lines).
    void parse(const std::string& content);

    // The value of a key with the blanks around it removed (and one pair of
    // enclosing quotes), or `fallback` when the section or key is missing.
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& fallback = {}) const;
    // A decimal integer; `fallback` when the key is missing, empty or not a number.
    int readInteger(const std::string& section, const std::string& key, int fallback) const;
    // False for a value of 0, true for any other value; `fallback` when missing or empty.
    bool readBool(const std::string& section, const std::string& key, bool fallback) const;
    bool hasKey(const std::string& section, const std::string& key) const;

    // Updates the key in place, or adds it at the end of its section, or adds
    // the section at the end of the file. Line breaks in a value become blanks.
    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int value);
    void writeBool(const std::string& section, const std::string& key, bool value);

    // The file content as it would be written.
    std::string content() const;
    // Writes the content to `path` through a file beside it renamed into place;
    // throws std::runtime_error when that fails or the file is read-only (the
    // old file stays intact). A file that holds PublishPassword is its owner's
    // alone (0600).
    void save(const std::string& path) const;
    // Whether the content holds a secret that only the owner may read.
    bool holdsSecret() const;

private:
    struct Line {
        std::string text;
        std::string end; // the line's own line break ("" for a last line without one)
    };
    // Index of the line opening `section`, or -1.
    int findSection(const std::string& section) const;
    // Index of the line holding `key` within the section opened at `sectionLine`, or -1.
    int findKey(int sectionLine, const std::string& key) const;
    // The index one past the last line of the section opened at `sectionLine`.
    int sectionEnd(int sectionLine) const;

    std::vector<Line> lines_;
    std::string newline_ = "\r\n";
};

} // namespace kuzelna
