#include "core/json_writer.h"

#include <cstdio>

namespace kuzelna {

std::string jsonQuoted(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out += escaped;
            } else if (c == '<') {
                // Keeps "</script>" harmless when the document is embedded in a page.
                out += "\\u003c";
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasMember_.empty()) {
        if (hasMember_.back()) out_ += ',';
        hasMember_.back() = true;
    }
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    out_ += '{';
    hasMember_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    out_ += '}';
    hasMember_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    out_ += '[';
    hasMember_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    out_ += ']';
    hasMember_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    out_ += jsonQuoted(name);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view utf8) {
    separate();
    out_ += jsonQuoted(utf8);
    return *this;
}

JsonWriter& JsonWriter::value(long long number) {
    separate();
    out_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::halved(long doubled) {
    separate();
    const long whole = doubled / 2;
    if (doubled % 2 == 0) {
        out_ += std::to_string(whole);
    } else if (doubled < 0) {
        out_ += (whole == 0 ? "-0" : std::to_string(whole)) + ".5";
    } else {
        out_ += std::to_string(whole) + ".5";
    }
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    out_ += "null";
    return *this;
}

} // namespace kuzelna
