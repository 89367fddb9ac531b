#pragma once

// Texts cross between the engine's Windows-1250 bytes and the windows here.

#include "core/cp1250.h"

#include <QString>
#include <string>

namespace kuzelna {

inline QString fromCp1250(const std::string& bytes) {
    return QString::fromStdString(cp1250::toUtf8(bytes));
}
inline std::string toCp1250(const QString& text) {
    return cp1250::fromUtf8(text.toStdString());
}

} // namespace kuzelna
