#pragma once

// What every fuzz target shares: the input taken apart into choices, and a
// check that stops the run with the broken rule. A target is a libFuzzer entry
// point; built without libFuzzer, replay_main.cpp feeds it files instead.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace kuzelna::fuzz {

// Reads choices off the front of the input; once it is used up every choice is 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}

    bool empty() const { return bytes_.empty(); }
    std::uint8_t byte() {
        if (bytes_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(bytes_.front());
        bytes_.remove_prefix(1);
        return b;
    }
    bool flag() { return byte() & 1; }
    // A number in [low, high] (high - low < 65536).
    int number(int low, int high) {
        const unsigned first = byte();
        const unsigned value = first | (unsigned{byte()} << 8);
        return low + static_cast<int>(value % static_cast<unsigned>(high - low + 1));
    }
    // Up to `most` bytes.
    std::string bytes(std::size_t most) {
        const std::size_t wanted = byte() % (most + 1);
        const std::size_t n = std::min(wanted, bytes_.size());
        std::string out(bytes_.substr(0, n));
        bytes_.remove_prefix(n);
        return out;
    }
    // Bytes up to the next 0 byte (which is taken too), or the rest.
    std::string text() {
        const std::size_t n = std::min(bytes_.find('\0'), bytes_.size());
        std::string out(bytes_.substr(0, n));
        bytes_.remove_prefix(std::min(n + 1, bytes_.size()));
        return out;
    }
    std::string rest() {
        std::string out(bytes_);
        bytes_ = {};
        return out;
    }

private:
    std::string_view bytes_;
};

} // namespace kuzelna::fuzz
