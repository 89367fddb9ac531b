#include "reports/report_actions_qt.h"

#include "core/match_state.h"
#include "core/text_qt.h"
#include "reports/match_report.h"
#include "reports/player_sheet.h"
#include "reports/tournament_workbook.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace kuzelna {

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        entries << parts[i].trimmed() + QStringLiteral(" (") + parts[i + 1].trimmed() + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

ReportActions::ReportActions(MatchState& state, QWidget* window, SpreadsheetFactory factory,
                             std::function<ReportEnvironment()> environment)
    : chooseFile([](QWidget* owner, const QString& folder, const QString& filter) {
          return QFileDialog::getOpenFileName(owner, QStringLiteral("Soubor turnaje"), folder, filter);
      }),
      state_(state), window_(window), factory_(factory), environment_(std::move(environment)),
      session_(std::move(factory)) {}

void ReportActions::writeMatchReport(int form, int duels, const std::string& prefix) {
    vysledky(state_, session_, form, duels, prefix, environment_());
}

void ReportActions::closeSpreadsheet() {
    session_.quitCurrent();
}

void ReportActions::rankTournament() {
    kuzelna::rankTournament(state_, session_, environment_());
}

void ReportActions::chooseTournamentFile() {
    const std::filesystem::path folder = environment_().currentDirectory / "turnaj";
    const std::u8string utf8 = folder.u8string();
    const QString chosen =
        chooseFile(window_, QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()), utf8.size()),
                   qtFileFilter(QString::fromLatin1(kTournamentFileFilter)));
    if (chosen.isEmpty()) return;
    state_.controls.tournamentFile = toCp1250(QFileInfo(chosen).fileName());
}

void ReportActions::exportPlayer(int slot, bool home) {
    Vysledky_hraci(state_, factory_, home, slot, environment_());
}

} // namespace kuzelna
