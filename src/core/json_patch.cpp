#include "core/json_patch.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace kuzelna {
namespace {

// Longest array a patch may ask for: far beyond any match document.
constexpr std::size_t kMaxPatchedLength = 1 << 20;

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    JsonValue document() {
        JsonValue value = parse(0);
        skipSpace();
        if (at_ != text_.size()) fail("text after the value");
        return value;
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw std::invalid_argument("JSON: " + std::string(what) + " at byte " + std::to_string(at_));
    }
    void skipSpace() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    char peek() {
        skipSpace();
        if (at_ == text_.size()) fail("unexpected end");
        return text_[at_];
    }
    void expect(char c) {
        if (peek() != c) fail("unexpected character");
        ++at_;
    }

    JsonValue parse(int depth) {
        if (depth > kMaxJsonDepth) fail("nesting too deep");
        JsonValue value;
        const char c = peek();
        if (c == '{') {
            value.kind = JsonValue::Kind::Object;
            ++at_;
            if (peek() == '}') {
                ++at_;
                return value;
            }
            for (;;) {
                if (peek() != '"') fail("a key expected");
                std::string key = string();
                expect(':');
                value.members.emplace_back(std::move(key), parse(depth + 1));
                if (peek() == ',') {
                    ++at_;
                    continue;
                }
                expect('}');
                return value;
            }
        }
        if (c == '[') {
            value.kind = JsonValue::Kind::Array;
            ++at_;
            if (peek() == ']') {
                ++at_;
                return value;
            }
            for (;;) {
                value.items.push_back(parse(depth + 1));
                if (peek() == ',') {
                    ++at_;
                    continue;
                }
                expect(']');
                return value;
            }
        }
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            value.text = string();
            return value;
        }
        for (const std::string_view literal : {"true", "false", "null"}) {
            if (text_.substr(at_, literal.size()) == literal) {
                at_ += literal.size();
                value.kind = literal == "null" ? JsonValue::Kind::Null : JsonValue::Kind::Bool;
                if (value.kind == JsonValue::Kind::Bool) value.text = literal;
                return value;
            }
        }
        value.kind = JsonValue::Kind::Number;
        value.text = number();
        return value;
    }

    // The content between the quotes, as written.
    std::string string() {
        const std::size_t begin = ++at_;
        while (at_ < text_.size() && text_[at_] != '"') {
            const auto c = static_cast<unsigned char>(text_[at_]);
            if (c < 0x20) fail("a control character in a string");
            if (c == '\\') {
                if (++at_ == text_.size()) break;
                const char e = text_[at_];
                if (e == 'u') {
                    for (int i = 1; i <= 4; ++i) {
                        const char h = at_ + i < text_.size() ? text_[at_ + i] : '\0';
                        if (!std::isxdigit(static_cast<unsigned char>(h))) fail("a bad \\u escape");
                    }
                    at_ += 4;
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    fail("a bad escape");
                }
            }
            ++at_;
        }
        if (at_ >= text_.size()) fail("an unterminated string");
        return std::string(text_.substr(begin, at_++ - begin));
    }

    std::string number() {
        const std::size_t begin = at_;
        const auto digits = [this] {
            const std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
                ++at_;
            if (at_ == from) fail("a digit expected");
        };
        if (text_[at_] == '-') ++at_;
        digits();
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            digits();
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            digits();
        }
        return std::string(text_.substr(begin, at_ - begin));
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

void write(std::string& out, const JsonValue& value) {
    switch (value.kind) {
    case JsonValue::Kind::Null:
        out += "null";
        return;
    case JsonValue::Kind::Bool:
    case JsonValue::Kind::Number:
        out += value.text;
        return;
    case JsonValue::Kind::String:
        out += '"';
        out += value.text;
        out += '"';
        return;
    case JsonValue::Kind::Array:
        out += '[';
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            if (i > 0) out += ',';
            write(out, value.items[i]);
        }
        out += ']';
        return;
    case JsonValue::Kind::Object:
        out += '{';
        for (std::size_t i = 0; i < value.members.size(); ++i) {
            if (i > 0) out += ',';
            out += '"';
            out += value.members[i].first;
            out += "\":";
            write(out, value.members[i].second);
        }
        out += '}';
        return;
    }
}

JsonValue numberValue(std::size_t n) {
    JsonValue value;
    value.kind = JsonValue::Kind::Number;
    value.text = std::to_string(n);
    return value;
}

std::size_t indexOf(std::string_view text, std::size_t limit) {
    std::size_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || n > limit)
        throw std::invalid_argument("JSON patch: \"" + std::string(text) + "\" is no index here");
    return n;
}

} // namespace

const JsonValue* JsonValue::member(std::string_view key) const {
    for (const auto& [name, value] : members)
        if (name == key) return &value;
    return nullptr;
}

JsonValue* JsonValue::member(std::string_view key) {
    return const_cast<JsonValue*>(static_cast<const JsonValue&>(*this).member(key));
}

JsonValue parseJson(std::string_view text) {
    return Reader(text).document();
}

std::string writeJson(const JsonValue& value) {
    std::string out;
    write(out, value);
    return out;
}

std::optional<JsonValue> jsonChanges(const JsonValue& from, const JsonValue& to) {
    using Kind = JsonValue::Kind;
    if (to.kind == Kind::Object) {
        if (from.kind == Kind::Array) return std::nullopt; // would read as a patch of the array
        if (from.kind != Kind::Object) return to;
        JsonValue changes;
        changes.kind = Kind::Object;
        for (const auto& [key, old] : from.members)
            if (!to.member(key)) return std::nullopt;
        for (std::size_t i = 0; i < to.members.size(); ++i) {
            const auto& [key, value] = to.members[i];
            // The same builder writes members in the same order: look there first.
            const JsonValue* old = i < from.members.size() && from.members[i].first == key
                                       ? &from.members[i].second
                                       : from.member(key);
            if (!old) {
                changes.members.emplace_back(key, value);
                continue;
            }
            if (*old == value) continue;
            std::optional<JsonValue> change = jsonChanges(*old, value);
            if (!change) return std::nullopt;
            changes.members.emplace_back(key, std::move(*change));
        }
        return changes;
    }
    if (to.kind == Kind::Array && from.kind == Kind::Array) {
        JsonValue changes;
        changes.kind = Kind::Object;
        if (from.items.size() != to.items.size())
            changes.members.emplace_back("n", numberValue(to.items.size()));
        for (std::size_t i = 0; i < to.items.size(); ++i) {
            if (i < from.items.size() && from.items[i] == to.items[i]) continue;
            if (i >= from.items.size()) {
                changes.members.emplace_back(std::to_string(i), to.items[i]);
                continue;
            }
            std::optional<JsonValue> change = jsonChanges(from.items[i], to.items[i]);
            if (!change) return std::nullopt;
            changes.members.emplace_back(std::to_string(i), std::move(*change));
        }
        return changes;
    }
    return to;
}

void applyJsonChanges(JsonValue& target, const JsonValue& changes) {
    using Kind = JsonValue::Kind;
    if (changes.kind == Kind::Object && target.kind == Kind::Object) {
        for (const auto& [key, change] : changes.members) {
            if (JsonValue* old = target.member(key)) {
                applyJsonChanges(*old, change);
            } else {
                target.members.emplace_back(key, change);
            }
        }
        return;
    }
    if (changes.kind == Kind::Object && target.kind == Kind::Array) {
        if (const JsonValue* n = changes.member("n")) {
            if (n->kind != Kind::Number) throw std::invalid_argument("JSON patch: a length is a number");
            target.items.resize(indexOf(n->text, kMaxPatchedLength));
        }
        for (const auto& [key, change] : changes.members) {
            if (key == "n") continue;
            const std::size_t i = indexOf(key, target.items.size());
            if (i == target.items.size()) throw std::invalid_argument("JSON patch: index past the end");
            applyJsonChanges(target.items[i], change);
        }
        return;
    }
    target = changes;
}

} // namespace kuzelna
