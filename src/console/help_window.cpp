#include "console/help_window.h"

#include "core/hall_folder.h"
#include "core/match_state.h"
#include "core/program_version.h"
#include "core/text_qt.h"
#include "registry/registry_file.h"
#include "reports/report_paths.h"
#include "reports/result_files.h"
#include "reports/spreadsheet_factory_qt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kuzelna {
namespace {

QString shown(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(QString::fromStdU16String(path.u16string())).toHtmlEscaped();
}

QTextBrowser* addBrowser(QWidget* window, const char* objectName) {
    auto* layout = new QVBoxLayout(window);
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QLatin1String(objectName));
    browser->setOpenLinks(false);
    layout->addWidget(browser);
    auto* close = new QPushButton(QStringLiteral("Zavřít"), window);
    close->setObjectName(QStringLiteral("close"));
    QObject::connect(close, &QPushButton::clicked, window, &QWidget::hide);
    layout->addWidget(close, 0, Qt::AlignRight);
    return browser;
}

void bringToFront(QWidget& window) {
    window.hide();
    window.show();
    window.raise();
}

} // namespace

HelpWindow::HelpWindow(const MatchState& state, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state) {
    setWindowTitle(QStringLiteral("Nápověda"));
    browser_ = addBrowser(this, "helpText");
    resize(600, 620);
}

void HelpWindow::open() {
    const ReportEnvironment env = currentReportEnvironment();
    const std::filesystem::path here = env.currentDirectory;
    const std::filesystem::path templates =
        templateSource(std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()));
    const auto row = [](const QString& what, const QString& where) {
        return QStringLiteral("<tr><td>%1</td><td><code>%2</code></td></tr>").arg(what, where);
    };
    QString files = row(QStringLiteral("Pracovní složka"), shown(here)) +
                    row(QStringLiteral("Nastavení"), shown(here / "zodided.ini")) +
                    row(QStringLiteral("Registr hráčů"), shown(here / kRegistryFileName)) +
                    row(QStringLiteral("Šablony formulářů"), shown(here)) +
                    row(QStringLiteral("Zápisy o utkání"), fromCp1250(state_.formsPath).toHtmlEscaped()) +
                    row(QStringLiteral("Výpisy hráčů"), shown(playerSheetsFolder(state_, env))) +
                    row(QStringLiteral("Výsledkové soubory"),
                        shown(here / kResultFileA) + QStringLiteral(", ") + shown(here / kResultFileB));
    if (!templates.empty()) files += row(QStringLiteral("Originály šablon"), shown(templates));

    browser_->setHtml(
        QStringLiteral(
            "<h2>Kuželna</h2>"
            "<p>Server výsledků kuželny. Po sériové lince se ptá řadičů drah na stav, každý hod připíše "
            "hráči, kterého na dráhu posílá rozpis střídání, počítá součty, setové, duelové i zápasové "
            "body, posílá výsledky na displeje kuželny a na počítače u drah, ukazuje utkání na této "
            "konzoli a na tabulích na druhé obrazovce, vede registr klubů, družstev a hráčů a vyplňuje "
            "zápis o utkání a sešit turnaje v tabulkovém procesoru.</p>"
            "<p><b>Verze:</b> %1</p>"
            "<h3>Soubory</h3>"
            "<p>Spuštěn z nabídky (nebo s <code>--home</code>) pracuje program ve složce "
            "<code>~/Kuzelna</code> (nebo <code>$KUZELNA_HOME</code>): při prvním spuštění ji založí a "
            "zkopíruje do ní šablony, které v ní chybí; upravené šablony nikdy nepřepíše. Spuštěn z "
            "příkazové řádky bez <code>--home</code> pracuje v aktuální složce.</p>"
            "<table cellspacing=\"4\">%2</table>"
            "<h3>Klávesové zkratky</h3>"
            "<table cellspacing=\"4\">"
            "<tr><td><b>F1</b></td><td>tato nápověda</td></tr>"
            "<tr><td><b>Alt+F4</b></td><td>ukončení programu (s dotazem)</td></tr>"
            "<tr><td><b>Tab</b>, <b>Shift+Tab</b></td><td>další, předchozí ovládací prvek</td></tr>"
            "<tr><td><b>mezerník</b></td><td>stiskne tlačítko, zaškrtne pole, které má fokus</td></tr>"
            "<tr><td><b>Enter</b></td><td>v okně opravy hodu uloží opravu</td></tr>"
            "</table>")
            .arg(QString::fromUtf8(programVersion()).toHtmlEscaped(), files));
    bringToFront(*this);
}

QString HelpWindow::text() const {
    return browser_->toPlainText();
}

ChangesWindow::ChangesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Změny"));
    browser_ = addBrowser(this, "changesText");
    QFile changes(QStringLiteral(":/doc/CHANGELOG.md"));
    if (changes.open(QIODevice::ReadOnly)) browser_->setMarkdown(QString::fromUtf8(changes.readAll()));
    resize(700, 620);
}

void ChangesWindow::open() {
    bringToFront(*this);
}

QString ChangesWindow::text() const {
    return browser_->toPlainText();
}

} // namespace kuzelna
