// JSON read back and the patches between two documents: any text either reads
// or is refused with std::invalid_argument; what reads writes out and reads
// again as itself; a patch applied to the older document gives the newer one
// (members compared in any order), and any document taken as a patch either
// applies or is refused, never more.

#include "core/json_patch.h"
#include "fuzz_input.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

using namespace kuzelna;

namespace {

std::optional<JsonValue> read(std::string_view text) {
    try {
        return parseJson(text);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

// Members in key order; false when an object names a key twice (a patch cannot tell those apart).
bool canonical(JsonValue& value) {
    for (JsonValue& item : value.items)
        if (!canonical(item)) return false;
    for (auto& member : value.members)
        if (!canonical(member.second)) return false;
    std::sort(value.members.begin(), value.members.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return std::adjacent_find(value.members.begin(), value.members.end(), [](const auto& a, const auto& b) {
               return a.first == b.first;
           }) == value.members.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::optional<JsonValue> from = read(input.substr(0, split));
    const std::optional<JsonValue> to =
        split == std::string_view::npos ? from : read(input.substr(split + 1));
    if (!from || !to) return 0;
    FUZZ_CHECK(read(writeJson(*from)) == from);

    if (const std::optional<JsonValue> changes = jsonChanges(*from, *to)) {
        const std::optional<JsonValue> sent = read(writeJson(*changes));
        FUZZ_CHECK(sent == changes);
        JsonValue patched = *from;
        JsonValue expected = *to;
        bool applied = true;
        try {
            applyJsonChanges(patched, *sent);
        } catch (const std::invalid_argument&) {
            applied = false;
        }
        JsonValue old = *from;
        if (canonical(old) && canonical(expected)) {
            FUZZ_CHECK(applied);
            FUZZ_CHECK(canonical(patched) && patched == expected);
        }
    }
    JsonValue target = *from;
    try {
        applyJsonChanges(target, *to);
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
