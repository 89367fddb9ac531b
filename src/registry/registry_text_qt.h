#pragma once

// The registry keeps Windows-1250 bytes; its windows show and take Unicode.

#include "core/cp1250.h"

#include <QString>

#include <string>

namespace kuzelna {

inline QString toDisplayText(const std::string& bytes) {
    return QString::fromStdString(cp1250::toUtf8(bytes));
}
inline std::string fromDisplayText(const QString& text) {
    return cp1250::fromUtf8(text.toStdString());
}

} // namespace kuzelna
