#include "reports/spreadsheet_factory_qt.h"

#include "core/text_qt.h"

#include <QDate>
#include <QGuiApplication>
#include <QLocale>

#include <cstdlib>

#ifdef _WIN32
#include "reports/spreadsheet_excel_qt.h"
#else
#include "reports/spreadsheet_uno.h"
#endif

namespace kuzelna {

SpreadsheetFactory platformSpreadsheet() {
#ifdef _WIN32
    return [] { return startExcel(); };
#else
    return [] {
        LibreOfficeOptions options;
        const QString platform = QGuiApplication::platformName();
        const bool display = (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) &&
                             platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
        options.headless = !display;
        return startLibreOffice(options);
    };
#endif
}

std::function<void()> platformSpreadsheetInterrupt() {
#ifdef _WIN32
    return {};
#else
    return [] { interruptLibreOffice(); };
#endif
}

std::string todayShortDate() {
    return toCp1250(czechDate(QDate::currentDate()));
}

QString czechDate(const QDate& date) {
    return QStringLiteral("%1. %2. %3").arg(date.day()).arg(date.month()).arg(date.year());
}

ReportEnvironment currentReportEnvironment() {
    return {std::filesystem::current_path(), todayShortDate,
            [] { return QDate::currentDate().toString(Qt::ISODate).toStdString(); }};
}

} // namespace kuzelna
