#pragma once

// JSON documents read back as values, and the changes between two of them as
// a patch that is itself JSON (docs/web-results.md, "Patches"): the live page
// is sent what changed since its last message instead of the whole document.
//
// A patch of an object holds the members that changed, each as the patch of
// its old value; a new member comes whole. A patch of an array is an object:
// "n" the new length when it changed, and the changed items under their index
// ("56"), items past the old end whole. Anything else is replaced by the patch.
// A member that goes away, or an array that becomes an object, cannot be
// written so: jsonChanges() then gives nothing and the whole document goes.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kuzelna {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    // A number or a literal as written ("1.5", "true"); a string's content as
    // written between its quotes, escapes and all.
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members; // keys as written, in order

    bool operator==(const JsonValue&) const = default;
    const JsonValue* member(std::string_view key) const;
    JsonValue* member(std::string_view key);
};

// Throws std::invalid_argument for text that is not one JSON value, or nests
// deeper than kMaxJsonDepth.
constexpr int kMaxJsonDepth = 64;
JsonValue parseJson(std::string_view text);
std::string writeJson(const JsonValue& value);

// The patch that turns `from` into `to` (an empty object when they are equal),
// or nothing when no patch can say it.
std::optional<JsonValue> jsonChanges(const JsonValue& from, const JsonValue& to);
// Applies a patch made by jsonChanges(). Throws std::invalid_argument for an
// array patch that does not fit the array (a bad length or index).
void applyJsonChanges(JsonValue& target, const JsonValue& changes);

} // namespace kuzelna
