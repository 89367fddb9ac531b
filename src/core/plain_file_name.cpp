#include "core/plain_file_name.h"

#include "core/cp1250.h"

namespace kuzelna {

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return !(name.size() >= 2 && letter(name[0]) && name[1] == ':');
}

void requirePlainFileName(const std::string& name, const std::string& what) {
    if (isPlainFileName(name)) return;
    throw OperatorError(cp1250::fromUtf8("Název ") + what + " \"" + name +
                            cp1250::fromUtf8("\" není prostý název souboru ve složce (nesmí být prázdný ani "
                                             "obsahovat /, \\, .., disk jako C:). Nic se nezapsalo."),
                        cp1250::fromUtf8("neplatný název souboru"), true);
}

} // namespace kuzelna
