#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kuzelna {

// A text of at most N single-byte (Windows-1250) characters. Assigning a longer
// text keeps its first N bytes, the way the fixed-length fields of the match
// state have always behaved.
template <std::size_t N> class BoundedString {
public:
    static constexpr std::size_t capacity = N;

    BoundedString() = default;
    BoundedString(std::string_view text) { assign(text); }
    BoundedString(const char* text) { assign(text); }

    BoundedString& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    BoundedString& operator=(const char* text) {
        assign(text);
        return *this;
    }
    BoundedString& operator=(const std::string& text) {
        assign(text);
        return *this;
    }

    void assign(std::string_view text) { value_.assign(text.substr(0, N)); }
    void clear() { value_.clear(); }

    const std::string& str() const { return value_; }
    operator const std::string&() const { return value_; }
    operator std::string_view() const { return value_; }
    std::size_t size() const { return value_.size(); }
    bool empty() const { return value_.empty(); }
    char operator[](std::size_t i) const { return value_[i]; }

    friend bool operator==(const BoundedString& a, std::string_view b) { return a.value_ == b; }
    friend bool operator==(const BoundedString& a, const BoundedString& b) { return a.value_ == b.value_; }

private:
    std::string value_;
};

} // namespace kuzelna
