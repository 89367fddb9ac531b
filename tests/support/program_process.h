#pragma once

// The programs built beside the tests, started as a user starts them. Qt only,
// for the tests with processes; KUZELNA_BINARY_DIR is set by the build.

#include <QProcessEnvironment>
#include <QString>

namespace kuzelna::testing {

inline QString program(const char* name) {
    return QStringLiteral(KUZELNA_BINARY_DIR "/") + QLatin1String(name);
}

// As on a server without a screen: no display, no platform chosen, and no
// hall folder but the working directory.
inline QProcessEnvironment withoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "KUZELNA_HOME"})
        env.remove(QLatin1String(name));
    return env;
}

} // namespace kuzelna::testing
