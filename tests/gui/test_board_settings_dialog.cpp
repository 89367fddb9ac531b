#include "boards/board_settings_dialog.h"
#include "core/match_state.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace kuzelna;

namespace {

QString screenWidthText() {
    return QString::number(QGuiApplication::primaryScreen()->geometry().width());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The lines of a file without their line ends.
QList<QByteArray> lines(const QByteArray& content) {
    QList<QByteArray> result;
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (!line.isEmpty()) result.append(line);
    }
    return result;
}

} // namespace

class BoardSettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void editsHoldOnlyIntegers_data();
    void editsHoldOnlyIntegers();
    void typingALetterReplacesTheText();
    void openLoadsTheStateOnlyWhenHidden();
    void automaticPositionAndDetectFillTheScreenPosition();
    void cancelKeepsStateAndFile();
    void saveWritesItsKeysAndKeepsTheRestOfTheFile();
    void saveThatCannotWriteKeepsTheState();

private:
    QTemporaryDir dir_;
    QString previousDir_;
};

void BoardSettingsDialogTest::init() {
    QVERIFY(dir_.isValid());
    previousDir_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_.path()));
    QFile::remove(dir_.filePath("zodided.ini"));
}

void BoardSettingsDialogTest::cleanup() {
    QDir::setCurrent(previousDir_);
}

void BoardSettingsDialogTest::editsHoldOnlyIntegers_data() {
    QTest::addColumn<bool>("xEdit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // "SCREEN" = width of the primary screen
    QTest::newRow("x letter") << true << "12a"
                              << "SCREEN";
    QTest::newRow("x empty") << true << ""
                             << "SCREEN";
    QTest::newRow("x leading zeros") << true << "0042"
                                     << "42";
    QTest::newRow("x negative") << true << "-1280"
                                << "-1280";
    QTest::newRow("x plus sign") << true << "+5"
                                 << "5";
    QTest::newRow("y letter") << false << "y"
                              << "0";
    QTest::newRow("y empty") << false << ""
                             << "0";
    QTest::newRow("y blanks around") << false << " 7 "
                                     << "7";
    QTest::newRow("y too large") << false << "99999999999"
                                 << "0";
}

void BoardSettingsDialogTest::editsHoldOnlyIntegers() {
    QFETCH(bool, xEdit);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    MatchState state;
    BoardSettingsDialog dialog(state);
    QLineEdit* edit = xEdit ? dialog.xEdit() : dialog.yEdit();
    edit->setText(typed);
    QCOMPARE(edit->text(), shown == "SCREEN" ? screenWidthText() : shown);
}

void BoardSettingsDialogTest::typingALetterReplacesTheText() {
    MatchState state;
    state.boardLeft = 1600;
    state.boardTop = 12;
    state.boardAutoPosition = 0;
    BoardSettingsDialog dialog(state);
    dialog.openFromMenu();
    QTest::keyClick(dialog.xEdit(), Qt::Key_End);
    QTest::keyClick(dialog.xEdit(), Qt::Key_Q);
    QCOMPARE(dialog.xEdit()->text(), screenWidthText());
    QTest::keyClick(dialog.yEdit(), Qt::Key_End);
    QTest::keyClick(dialog.yEdit(), Qt::Key_Backspace);
    QCOMPARE(dialog.yEdit()->text(), QStringLiteral("1"));
    QTest::keyClick(dialog.yEdit(), Qt::Key_Backspace);
    QCOMPARE(dialog.yEdit()->text(), QStringLiteral("0"));
}

void BoardSettingsDialogTest::openLoadsTheStateOnlyWhenHidden() {
    MatchState state;
    state.boardLeft = 1280;
    state.boardTop = 5;
    state.boardAutoPosition = 0;
    state.score16 = 1;
    BoardSettingsDialog dialog(state);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Výsledková tabule - nastavení"));
    dialog.openFromMenu();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.xEdit()->text(), QStringLiteral("1280"));
    QCOMPARE(dialog.yEdit()->text(), QStringLiteral("5"));
    QVERIFY(!dialog.autoPositionBox()->isChecked());
    QVERIFY(dialog.sixteenPointsButton()->isChecked());

    dialog.xEdit()->setText("333");
    dialog.eightPointsButton()->setChecked(true);
    state.boardLeft = 999;
    dialog.openFromMenu(); // already open: the operator's edits stay
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.xEdit()->text(), QStringLiteral("333"));
    QVERIFY(dialog.eightPointsButton()->isChecked());

    dialog.hide();
    dialog.openFromMenu();
    QCOMPARE(dialog.xEdit()->text(), QStringLiteral("999"));
    QVERIFY(dialog.sixteenPointsButton()->isChecked());

    // Loading a set check box shows the stored position, not the screen's.
    dialog.hide();
    state.boardAutoPosition = 1;
    state.boardLeft = 1500;
    state.boardTop = 7;
    dialog.openFromMenu();
    QVERIFY(dialog.autoPositionBox()->isChecked());
    QCOMPARE(dialog.xEdit()->text(), QStringLiteral("1500"));
    QCOMPARE(dialog.yEdit()->text(), QStringLiteral("7"));
}

void BoardSettingsDialogTest::automaticPositionAndDetectFillTheScreenPosition() {
    MatchState state;
    state.boardAutoPosition = 0;
    state.boardLeft = 100;
    state.boardTop = 200;
    BoardSettingsDialog dialog(state);
    dialog.openFromMenu();

    dialog.autoPositionBox()->click();
    QVERIFY(dialog.autoPositionBox()->isChecked());
    QCOMPARE(dialog.xEdit()->text(), screenWidthText());
    QCOMPARE(dialog.yEdit()->text(), QStringLiteral("0"));

    dialog.xEdit()->setText("50");
    dialog.yEdit()->setText("60");
    dialog.autoPositionBox()->click(); // clearing it changes nothing else
    QVERIFY(!dialog.autoPositionBox()->isChecked());
    QCOMPARE(dialog.xEdit()->text(), QStringLiteral("50"));
    QCOMPARE(dialog.yEdit()->text(), QStringLiteral("60"));

    dialog.detectButton()->click();
    QCOMPARE(dialog.xEdit()->text(), screenWidthText());
    QCOMPARE(dialog.yEdit()->text(), QStringLiteral("0"));
}

void BoardSettingsDialogTest::cancelKeepsStateAndFile() {
    const QByteArray before =
        "[Vysledkova_tabule]\r\npozicex=10\r\npozicey=20\r\nautopozice=0\r\nbody16=0\r\n";
    QVERIFY(writeFile("zodided.ini", before));
    MatchState state;
    state.boardLeft = 10;
    state.boardTop = 20;
    state.boardAutoPosition = 0;
    BoardSettingsDialog dialog(state);
    dialog.openFromMenu();
    dialog.xEdit()->setText("700");
    dialog.autoPositionBox()->click();
    dialog.sixteenPointsButton()->click();
    dialog.cancelButton()->click();

    QVERIFY(dialog.isHidden());
    QCOMPARE(readFile("zodided.ini"), before);
    QCOMPARE(state.boardLeft, 10);
    QCOMPARE(state.boardTop, 20);
    QCOMPARE(state.boardAutoPosition, 0);
    QCOMPARE(state.score16, 0);
}

void BoardSettingsDialogTest::saveWritesItsKeysAndKeepsTheRestOfTheFile() {
    QVERIFY(writeFile("zodided.ini", "; alley settings\r\n[Kuzelna]\r\nNazev=Kuzelna Sokol\r\n"
                                     "[Vysledkova_tabule]\r\npozicex=1024\r\nnavic=ano\r\n"
                                     "[Default]\r\nturnaj=1\r\n"));
    MatchState state;
    BoardSettingsDialog dialog(state);
    dialog.openFromMenu();
    dialog.autoPositionBox()->setChecked(false);
    dialog.xEdit()->setText("1920");
    dialog.yEdit()->setText("-8");
    dialog.sixteenPointsButton()->click();
    dialog.saveButton()->click();

    QVERIFY(dialog.isHidden());
    QCOMPARE(state.boardLeft, 1920);
    QCOMPARE(state.boardTop, -8);
    QCOMPARE(state.boardAutoPosition, 0);
    QCOMPARE(state.score16, 1);

    const QList<QByteArray> saved = lines(readFile(dir_.filePath("zodided.ini")));
    const QList<QByteArray> expected = {"; alley settings",    "[Kuzelna]",    "Nazev=Kuzelna Sokol",
                                        "[Vysledkova_tabule]", "pozicex=1920", "navic=ano",
                                        "pozicey=-8",          "autopozice=0", "body16=1",
                                        "[Default]",           "turnaj=1"};
    QCOMPARE(saved, expected);
}

void BoardSettingsDialogTest::saveThatCannotWriteKeepsTheState() {
    QVERIFY(QDir().mkdir("zodided.ini")); // a folder where the file should be
    MatchState state;
    state.boardLeft = 1024;
    state.boardAutoPosition = 1;
    BoardSettingsDialog dialog(state);
    dialog.openFromMenu();
    dialog.autoPositionBox()->setChecked(false);
    dialog.xEdit()->setText("77");
    dialog.sixteenPointsButton()->click();
    dialog.saveButton()->click();

    QVERIFY(dialog.isHidden());
    QCOMPARE(state.boardLeft, 1024);
    QCOMPARE(state.boardAutoPosition, 1);
    QCOMPARE(state.score16, 0);
    QVERIFY(QDir().rmdir("zodided.ini"));
}

QTEST_MAIN(BoardSettingsDialogTest)
#include "test_board_settings_dialog.moc"
