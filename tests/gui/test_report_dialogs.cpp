// The two settings dialogs of the reports and the report operations of the
// shell: what they show, what "Ulož" and "Storno" keep, and the choice of the
// tournament file.

#include "core/match_state.h"
#include "reports/accompanying_texts_dialog.h"
#include "reports/forms_path_dialog.h"
#include "reports/report_actions_qt.h"
#include "support/recording_spreadsheet.h"
#include "support/scratch_folder.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <fstream>
#include <memory>
#include <sstream>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

std::string iniContent() {
    std::ifstream in("zodided.ini", std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace

class ReportDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchFolder> folder;
    std::unique_ptr<MatchState> state;
    QString startDirectory;

    template <class W> static W* child(QWidget* window, const QString& name) {
        W* w = window->findChild<W*>(name);
        if (!w) qFatal("no control %s", qPrintable(name));
        return w;
    }

private slots:
    void init() {
        folder = std::make_unique<ScratchFolder>("dialogs");
        startDirectory = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(folder->path().string()));
        state = std::make_unique<MatchState>();
        state->alleyName = "Ku\x9E\x65lna Vset\xEDn"; // "Kuželna Vsetín"
        state->alleyApproval = "2026";
        state->refereeName = "Ji\xF8\xED"; // "Jiří"
        state->refereeNumber = "17";
        state->formsPath = "/srv/zapisy";
    }
    void cleanup() {
        QDir::setCurrent(startDirectory);
        state.reset();
        folder.reset();
    }

    void textsShowTheStateAndStornoKeepsEverything() {
        TDopr_Text_Form dialog(*state);
        dialog.open();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.alleyNameEdit()->text(), QStringLiteral("Kuželna Vsetín"));
        QCOMPARE(dialog.refereeNameEdit()->text(), QStringLiteral("Jiří"));
        QCOMPARE(dialog.refereeNumberEdit()->text(), QStringLiteral("17"));

        dialog.alleyNameEdit()->setText(QStringLiteral("jiná"));
        dialog.open(); // already visible: what was typed stays
        QCOMPARE(dialog.alleyNameEdit()->text(), QStringLiteral("jiná"));
        child<QPushButton>(&dialog, "cancel")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(state->alleyName, std::string("Ku\x9E\x65lna Vset\xEDn"));
        QVERIFY(!QFile::exists("zodided.ini"));

        dialog.open(); // hidden: filled from the state again
        QCOMPARE(dialog.alleyNameEdit()->text(), QStringLiteral("Kuželna Vsetín"));
    }

    void textsAreSavedIntoTheStateAndTheFile() {
        TDopr_Text_Form dialog(*state);
        dialog.open();
        dialog.alleyNameEdit()->setText(QStringLiteral("Kuželna Zlín"));
        dialog.refereeNumberEdit()->setText(QString());
        child<QPushButton>(&dialog, "save")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(state->alleyName, std::string("Ku\x9E\x65lna Zl\xEDn"));
        QCOMPARE(state->refereeNumber, std::string());
        QCOMPARE(iniContent(), std::string("[Kuzelna]\r\nNazev=Ku\x9E\x65lna Zl\xEDn\r\nKolaudace=2026\r\n"
                                           "[Rozhodci]\r\nJmeno=Ji\xF8\xED\r\nCislo=\r\n"));
    }

    void formsPathIsChosenAndSavedEvenWhenTheFileCannotBeWritten() {
        Tformular_cesta dialog(*state, nullptr, [&](QWidget*) { return QStringLiteral("/data/zápisy"); });
        dialog.open();
        QCOMPARE(dialog.pathEdit()->text(), QStringLiteral("/srv/zapisy"));
        child<QPushButton>(&dialog, "browse")->click();
        QCOMPARE(dialog.pathEdit()->text(), QStringLiteral("/data/zápisy"));
        QCOMPARE(state->formsPath, std::string("/srv/zapisy")); // only "Ulož" changes it

        QDir().mkdir("zodided.ini"); // in the way of the settings file
        child<QPushButton>(&dialog, "save")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(state->formsPath, std::string("/data/z\xE1pisy"));

        state->formsPath = "/elsewhere";
        dialog.pathEdit()->setText(QStringLiteral("typed"));
        dialog.open(); // filled every time
        QCOMPARE(dialog.pathEdit()->text(), QStringLiteral("/elsewhere"));
    }

    void tournamentFileIsTheChosenNameWithoutItsFolder() {
        SpreadsheetRecorder recorder;
        const std::filesystem::path here = folder->path();
        ReportActions actions(*state, nullptr, recorder.factory(), [&] {
            return ReportEnvironment{here, {}};
        });
        QString offeredFolder, offeredFilter;
        QString answer = QStringLiteral("/x/turnaj/liga 2.xls");
        actions.chooseFile = [&](QWidget*, const QString& folderName, const QString& filter) {
            offeredFolder = folderName;
            offeredFilter = filter;
            return answer;
        };
        actions.chooseTournamentFile();
        QCOMPARE(state->controls.tournamentFile, std::string("liga 2.xls"));
        QCOMPARE(offeredFolder, QString::fromStdString((here / "turnaj").string()));
        QCOMPARE(offeredFilter,
                 QStringLiteral("Soubory sesitu excel (*.xls);;Soubory sesitu excel XP a vyssi (*.xlsx)"));
        answer.clear(); // cancelled
        actions.chooseTournamentFile();
        QCOMPARE(state->controls.tournamentFile, std::string("liga 2.xls"));
    }
};

QTEST_MAIN(ReportDialogsTest)
#include "test_report_dialogs.moc"
