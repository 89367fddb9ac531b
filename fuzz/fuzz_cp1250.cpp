// Windows-1250 to UTF-8 and back: every byte the code page defines comes back
// as itself, each undefined one as '?'. Any UTF-8 (or broken UTF-8) converts,
// and what it converts to is stable.

#include "core/cp1250.h"
#include "fuzz_input.h"

using namespace kuzelna;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string expected = bytes;
    for (char& c : expected)
        if (cp1250::toCodePoint(static_cast<unsigned char>(c)) == 0xFFFD) c = '?';
    FUZZ_CHECK(cp1250::fromUtf8(cp1250::toUtf8(bytes)) == expected);

    const std::string fromText = cp1250::fromUtf8(bytes);
    FUZZ_CHECK(cp1250::fromUtf8(cp1250::toUtf8(fromText)) == fromText);
    return 0;
}
