#include "core/ini_file.h"

#include "core/cp1250.h"
#include "core/file_replace.h"
#include "core/typed_number.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace kuzelna {
namespace {

constexpr const char* kBlanks = " \t";

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(kBlanks);
    return std::string(s.substr(first, last - first + 1));
}

// Windows compares profile names without regard to case.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// The name of a section header line "[name]"; a line without the closing
// bracket is not a header.
bool sectionName(const std::string& line, std::string& name) {
    const std::string t = trimmed(line);
    if (t.empty() || t.front() != '[') return false;
    const auto close = t.find(']');
    if (close == std::string::npos) return false;
    name = trimmed(std::string_view(t).substr(1, close - 1));
    return true;
}

bool isComment(const std::string& t) {
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

std::string singleLine(std::string value) {
    for (char& c : value) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return value;
}

std::string operatorText(const char* utf8) {
    return cp1250::fromUtf8(utf8);
}

IniReadError unreadable(const char* what, int error) {
    return IniReadError(operatorText(what) + " (" + std::strerror(error) + ")");
}

} // namespace

bool IniFile::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        parse({});
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        parse({});
        return false;
    }
    parse(content.str());
    return true;
}

IniFile IniFile::loadForUpdate(const std::string& path, bool existed) {
    IniFile ini;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        const int error = errno;
        if (error == ENOENT && !existed) return ini;
        if (error == ENOENT) throw IniReadError(operatorText("soubor zmizel, ačkoli ho program dříve četl"));
        throw unreadable("soubor nelze přečíst", error);
    }
    if (!S_ISREG(status.st_mode)) throw IniReadError(operatorText("na jeho místě není soubor"));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw unreadable("soubor nelze přečíst", errno);
    std::string content;
    char block[8192];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            throw unreadable("soubor nelze dočíst", error);
        }
        content.append(block, static_cast<std::size_t>(n));
    }
    ::close(fd);
    ini.parse(content);
    std::string name;
    const bool anySection = std::any_of(ini.lines_.begin(), ini.lines_.end(),
                                        [&name](const Line& line) { return sectionName(line.text, name); });
    if (!content.empty() && !anySection)
        throw IniReadError(operatorText("soubor neobsahuje žádný oddíl [..], nastavení to nejsou"));
    return ini;
}

void IniFile::parse(const std::string& content) {
    lines_.clear();
    newline_ = "\r\n";
    bool newlineSeen = false;
    std::size_t at = 0;
    while (at < content.size()) {
        const auto lf = content.find('\n', at);
        Line line;
        if (lf == std::string::npos) {
            line.text = content.substr(at);
            at = content.size();
        } else {
            const bool crlf = lf > at && content[lf - 1] == '\r';
            line.text = content.substr(at, lf - at - (crlf ? 1 : 0));
            line.end = crlf ? "\r\n" : "\n";
            if (!newlineSeen) newline_ = line.end;
            newlineSeen = true;
            at = lf + 1;
        }
        lines_.push_back(std::move(line));
    }
}

int IniFile::findSection(const std::string& section) const {
    std::string name;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (sectionName(lines_[i].text, name) && sameName(name, trimmed(section))) return static_cast<int>(i);
    }
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const {
    std::string name;
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        if (sectionName(lines_[i].text, name)) return static_cast<int>(i);
    }
    return static_cast<int>(lines_.size());
}

int IniFile::findKey(int sectionLine, const std::string& key) const {
    const int end = sectionEnd(sectionLine);
    const std::string wanted = trimmed(key);
    for (int i = sectionLine + 1; i < end; ++i) {
        const std::string& text = lines_[static_cast<std::size_t>(i)].text;
        const auto eq = text.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = trimmed(std::string_view(text).substr(0, eq));
        if (isComment(name)) continue;
        if (sameName(name, wanted)) return i;
    }
    return -1;
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const {
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    const int s = findSection(section);
    if (s < 0) return fallback;
    const int k = findKey(s, key);
    if (k < 0) return fallback;
    const std::string& text = lines_[static_cast<std::size_t>(k)].text;
    std::string value = trimmed(std::string_view(text).substr(text.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

int IniFile::readInteger(const std::string& section, const std::string& key, int fallback) const {
    return parseInteger(readString(section, key)).value_or(fallback);
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool fallback) const {
    const std::string value = readString(section, key);
    if (value.empty()) return fallback;
    const std::optional<int> number = parseInteger(value);
    return !number || *number != 0; // any value other than 0
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string line = trimmed(singleLine(key)) + "=" + singleLine(value);
    int s = findSection(section);
    if (s < 0) {
        // A new section goes at the end, after a line break of its own.
        if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = newline_;
        lines_.push_back({"[" + trimmed(singleLine(section)) + "]", newline_});
        lines_.push_back({line, newline_});
        return;
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        lines_[static_cast<std::size_t>(k)].text = line;
        return;
    }
    // After the section's last non-blank line, so the blank line before the next section stays.
    int insertAt = sectionEnd(s);
    while (insertAt - 1 > s && trimmed(lines_[static_cast<std::size_t>(insertAt - 1)].text).empty())
        --insertAt;
    Line& before = lines_[static_cast<std::size_t>(insertAt - 1)];
    if (before.end.empty()) before.end = newline_;
    lines_.insert(lines_.begin() + insertAt, Line{line, newline_});
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

std::string IniFile::content() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

void IniFile::save(const std::string& path) const {
    // A file beside it renamed into place would replace even a file made
    // read-only; the operator who made it so means it to stay.
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!error && fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        throw std::runtime_error(path + " is read-only");
    replaceFile(path, content(), holdsSecret() ? std::optional<unsigned>(0600) : std::nullopt);
}

bool IniFile::holdsSecret() const {
    return !readString("Web", "PublishPassword").empty();
}

} // namespace kuzelna
