#pragma once

// A small writer of JSON text: objects, arrays and scalars appended in order,
// commas placed by the writer. Strings go in as UTF-8 and are escaped here.

#include <string>
#include <string_view>
#include <vector>

namespace kuzelna {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member of the object being written.
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view utf8);
    JsonWriter& value(const char* utf8) { return value(std::string_view(utf8)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(long number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(unsigned number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);
    // A point kept on the doubled scale, written halved: 3 -> 1.5, 4 -> 2.
    JsonWriter& halved(long doubled);
    JsonWriter& null();

    const std::string& text() const { return out_; }

private:
    void separate();

    std::string out_;
    // Per open container: whether it has a member yet.
    std::vector<bool> hasMember_;
    bool afterKey_ = false;
};

// The text as a JSON string literal, quotes included.
std::string jsonQuoted(std::string_view utf8);

} // namespace kuzelna
