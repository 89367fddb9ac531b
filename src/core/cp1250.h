#pragma once

// Windows-1250 is what the files, the wire and the displays carry. The engine
// keeps texts as these bytes; conversion to and from UTF-8 happens once, at the
// window edge and in tests.

#include <string>
#include <string_view>

namespace kuzelna::cp1250 {

// UTF-8 text from Windows-1250 bytes (undefined bytes become U+FFFD).
std::string toUtf8(std::string_view bytes);
// Windows-1250 bytes from UTF-8 text; characters the code page lacks become '?'.
std::string fromUtf8(std::string_view utf8);
// The Unicode code point of one Windows-1250 byte (0xFFFD when undefined).
char32_t toCodePoint(unsigned char byte);

} // namespace kuzelna::cp1250
