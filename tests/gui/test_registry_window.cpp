#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/cp1250.h"
#include "core/match_state.h"
#include "registry/name_note_dialog.h"
#include "registry/player_dialog.h"
#include "registry/registry_file.h"
#include "registry/registry_window.h"
#include "suddenvictory/sudden_victory_window.h"
#include "support/scratch_folder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace kuzelna;

namespace {

// Hraci.dtb as the alley keeps it, in Windows-1250.
const std::string kFixture = cp1250::fromUtf8("A - \r\n"
                                              "\tB - Bee\r\n"
                                              "\t\t1 - Novák Jan, 01.01.1990 , \r\n"
                                              "\t\t2 - Dvořák Petr, 02.02.1991 , levák\r\n"
                                              "\t\t3 - Černý Aleš, 03.03.1992 , \r\n"
                                              "\t\t4 - Zelený Ota, 04.04.1993 , \r\n"
                                              "\t\t5 - Bílý Ivo, 05.05.1994 , \r\n"
                                              "\tC - Cee\r\n"
                                              "\t\t6 - Šťáva Ďolík, 06.06.1995 , \r\n"
                                              "Žatec - sever\r\n");

QByteArray bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

void writeFile(const QString& path, const std::string& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes(content));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool isRed(QLabel* label) {
    return label->palette().color(QPalette::WindowText) == QColor(Qt::red);
}

} // namespace

class RegistryWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString previousDirectory_;
    std::unique_ptr<MatchState> state_;
    std::unique_ptr<THraci_main> window_;
    std::unique_ptr<NameNoteDialog> clubDialog_, teamDialog_;
    std::unique_ptr<TForm_hrac> playerDialog_;

    QString registryFile() const { return folder_.filePath("Hraci.dtb"); }

    void openWindow() {
        window_ = std::make_unique<THraci_main>(*state_);
        clubDialog_ = std::make_unique<NameNoteDialog>(NodeKind::Club);
        teamDialog_ = std::make_unique<NameNoteDialog>(NodeKind::Team);
        playerDialog_ = std::make_unique<TForm_hrac>();
        window_->attachDialogs(clubDialog_.get(), teamDialog_.get(), playerDialog_.get());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->treeView()->expandAll();
    }

    RegistryNode* club(int c) { return window_->tree().roots()[static_cast<std::size_t>(c)].get(); }
    RegistryNode* team(int c, int t) { return club(c)->children[static_cast<std::size_t>(t)].get(); }
    RegistryNode* player(int t, int p) { return team(0, t)->children[static_cast<std::size_t>(p)].get(); }

    QPoint pointOf(const RegistryNode* node) {
        window_->treeView()->expandAll(); // a double click may have folded a branch
        QTreeWidgetItem* item = window_->itemOf(node);
        return item ? window_->treeView()->visualItemRect(item).center() : QPoint(-1, -1);
    }
    void doubleClick(const RegistryNode* node) {
        const QPoint point = pointOf(node);
        QTest::mouseClick(window_->treeView()->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(window_->treeView()->viewport(), Qt::LeftButton, {}, point);
    }
    void rightClick(const RegistryNode* node) {
        QTest::mousePress(window_->treeView()->viewport(), Qt::RightButton, {}, pointOf(node));
        QVERIFY(window_->popupMenu()->isVisible());
        window_->popupMenu()->hide();
    }
    void clickRow(LineupSide side, int row) {
        QTableWidget* grid = window_->grid(side);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, 1)).center());
    }
    QString cell(LineupSide side, int row, int column) {
        return window_->grid(side)->item(row, column)->text();
    }

private slots:
    void init() {
        QVERIFY(folder_.isValid());
        previousDirectory_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder_.path()));
        QFile::remove(registryFile());
        state_ = std::make_unique<MatchState>();
    }

    void cleanup() {
        playerDialog_.reset();
        teamDialog_.reset();
        clubDialog_.reset();
        window_.reset();
        QDir(folder_.path()).removeRecursively();
        QDir().mkpath(folder_.path());
        QDir::setCurrent(previousDirectory_);
    }

    void loadsTheFileAndStartsOnTheHomeSide() {
        writeFile(registryFile(), kFixture);
        openWindow();
        QCOMPARE(window_->windowTitle(), QStringLiteral("Hráči - úprava"));
        QCOMPARE(window_->treeView()->topLevelItemCount(), 2);
        QCOMPARE(window_->itemOf(player(0, 1))->text(0),
                 QStringLiteral("2 - Dvořák Petr, 02.02.1991 , levák"));
        QCOMPARE(window_->itemOf(club(1))->text(0), QStringLiteral("Žatec - sever"));
        QCOMPARE(window_->activeSide(), LineupSide::Home);
        QVERIFY(isRed(window_->panelTitle(LineupSide::Home)));
        QVERIFY(!isRed(window_->panelTitle(LineupSide::Guest)));
        QCOMPARE(window_->panelTitle(LineupSide::Home)->text(), QStringLiteral(" Domácí "));
        QCOMPARE(window_->panelTitle(LineupSide::Guest)->text(), QStringLiteral(" Hosté "));
        QCOMPARE(window_->lastError(), std::string());
    }

    // The places 10 .. 30 of a line-up show whole (no "…").
    void lineupPlacesFitTheirColumn() {
        openWindow();
        for (LineupSide side : {LineupSide::Home, LineupSide::Guest}) {
            QTableWidget* grid = window_->grid(side);
            const QFontMetrics metrics(grid->font());
            for (int row = 0; row < grid->rowCount(); ++row) {
                const QString place = grid->item(row, 0)->text();
                QVERIFY(!place.isEmpty());
                QVERIFY2(metrics.horizontalAdvance(place) + 6 <= grid->columnWidth(0), qPrintable(place));
            }
        }
    }

    void missingOrBrokenFileLeavesNoSideHighlighted() {
        openWindow();
        QCOMPARE(window_->lastError(), "Cannot open file " + registryPath());
        QCOMPARE(window_->treeView()->topLevelItemCount(), 0);
        QCOMPARE(window_->activeSide(), LineupSide::Guest);
        QVERIFY(!isRed(window_->panelTitle(LineupSide::Home)));
        QVERIFY(!isRed(window_->panelTitle(LineupSide::Guest)));

        writeFile(registryFile(), "K - \r\n\tT - \r\n\t\t\tdeep\r\nL - \r\n");
        openWindow();
        QCOMPARE(window_->lastError(), std::string("Invalid level (3) for item \"deep\""));
        QCOMPARE(window_->treeView()->topLevelItemCount(), 1);
        QCOMPARE(window_->itemOf(team(0, 0))->text(0), QStringLiteral("T - "));
        QVERIFY(!window_->sideHighlighted());
    }

    void doubleClickAddsPlayersOnly() {
        writeFile(registryFile(), kFixture);
        openWindow();
        QSignalSpy teamNames(window_.get(), &THraci_main::teamNamesChanged);
        doubleClick(club(0));
        doubleClick(team(0, 0));
        QCOMPARE(state_->homeLineupCount, u8(0));
        QCOMPARE(teamNames.count(), 0);

        // Only the left button adds.
        QTest::mouseClick(window_->treeView()->viewport(), Qt::MiddleButton, {}, pointOf(player(0, 0)));
        QTest::mouseDClick(window_->treeView()->viewport(), Qt::MiddleButton, {}, pointOf(player(0, 0)));
        QCOMPARE(window_->currentNode(), player(0, 0));
        QCOMPARE(state_->homeLineupCount, u8(0));

        doubleClick(player(0, 1));
        QCOMPARE(window_->currentNode(), player(0, 1));
        QCOMPARE(state_->homeLineupCount, u8(1));
        QCOMPARE(state_->homeLineup[1], player(0, 1)->line);
        QCOMPARE(cell(LineupSide::Home, 0, 0), QStringLiteral(" 1"));
        QCOMPARE(cell(LineupSide::Home, 0, 1), QStringLiteral("2 - Dvořák Petr, 02.02.1991 , levák"));
        QCOMPARE(cell(LineupSide::Home, 29, 0), QStringLiteral(" "));
        QCOMPARE(state_->homeTeamTitle, std::string("A -  B"));
        QCOMPARE(state_->homeTeamName, std::string("Bee"));
        QCOMPARE(window_->panelTitle(LineupSide::Home)->text(), QStringLiteral("A -  B"));
        QCOMPARE(teamNames.count(), 1);
        QCOMPARE(state_->guestLineupCount, u8(0));
    }

    void thirtyFirstPlayerIsIgnored() {
        writeFile(registryFile(), kFixture);
        openWindow();
        for (int i = 0; i < 30; ++i)
            doubleClick(player(0, i % 5));
        QCOMPARE(state_->homeLineupCount, u8(30));
        QCOMPARE(state_->homeLineup[30], player(0, 4)->line);
        doubleClick(team(0, 1)->children[0].get());
        QCOMPARE(state_->homeLineupCount, u8(30));
        for (int place = 1; place <= 30; ++place)
            QCOMPARE(state_->homeLineup[place], player(0, (place - 1) % 5)->line);
        QCOMPARE(state_->guestLineupCount, u8(0));
    }

    void tournamentAlternatesAndMovesTheHighlight() {
        writeFile(registryFile(), kFixture);
        openWindow();
        state_->controls.tournament = true;
        doubleClick(player(0, 0));
        QCOMPARE(window_->activeSide(), LineupSide::Guest);
        QVERIFY(isRed(window_->panelTitle(LineupSide::Guest)));
        QVERIFY(!isRed(window_->panelTitle(LineupSide::Home)));
        doubleClick(player(0, 1));
        doubleClick(player(0, 2));
        doubleClick(player(0, 3));
        QCOMPARE(state_->homeLineupCount, u8(2));
        QCOMPARE(state_->guestLineupCount, u8(2));
        QCOMPARE(state_->homeLineup[1], player(0, 0)->line);
        QCOMPARE(state_->guestLineup[1], player(0, 1)->line);
        QCOMPARE(state_->homeLineup[2], player(0, 2)->line);
        QCOMPARE(state_->guestLineup[2], player(0, 3)->line);
        QCOMPARE(window_->activeSide(), LineupSide::Home);
    }

    void gridClicksRemoveAndActivateTheirSide() {
        writeFile(registryFile(), kFixture);
        openWindow();
        QTest::mouseClick(window_->panelTitle(LineupSide::Guest), Qt::LeftButton);
        QCOMPARE(window_->activeSide(), LineupSide::Guest);
        for (int p = 0; p < 5; ++p)
            doubleClick(player(0, p));
        QCOMPARE(state_->guestLineupCount, u8(5));

        QTest::mouseClick(window_->panel(LineupSide::Home), Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(window_->activeSide(), LineupSide::Home);
        clickRow(LineupSide::Guest, 2); // place 3 of 5 becomes a gap
        QCOMPARE(window_->activeSide(), LineupSide::Guest);
        QVERIFY(isRed(window_->panelTitle(LineupSide::Guest)));
        QCOMPARE(state_->guestLineupCount, u8(5));
        QCOMPARE(state_->guestLineup[3], std::string());
        QCOMPARE(cell(LineupSide::Guest, 2, 0), QStringLiteral(" 3"));
        QCOMPARE(cell(LineupSide::Guest, 2, 1), QString());

        clickRow(LineupSide::Guest, 2); // the gap closes
        QCOMPARE(state_->guestLineupCount, u8(4));
        QCOMPARE(cell(LineupSide::Guest, 2, 1), window_->itemOf(player(0, 3))->text(0));
        QCOMPARE(cell(LineupSide::Guest, 4, 1), QString());

        clickRow(LineupSide::Guest, 10); // below the list: the last one goes
        QCOMPARE(state_->guestLineupCount, u8(3));
        QCOMPARE(cell(LineupSide::Guest, 3, 1), QString());
        QCOMPARE(state_->guestLineup[3], player(0, 3)->line);

        clickRow(LineupSide::Home, 0); // nothing to remove at home
        QCOMPARE(state_->homeLineupCount, u8(0));
        QCOMPARE(window_->activeSide(), LineupSide::Home);

        // A cell chosen from the keyboard activates its side and removes nothing.
        QTest::keyClick(window_->grid(LineupSide::Guest), Qt::Key_Up);
        QCOMPARE(window_->activeSide(), LineupSide::Guest);
        QVERIFY(isRed(window_->panelTitle(LineupSide::Guest)));
        QVERIFY(!isRed(window_->panelTitle(LineupSide::Home)));
        QCOMPARE(state_->guestLineupCount, u8(3));
    }

    void confirmationFillsSlotsAndWritesTheFile() {
        writeFile(registryFile(), kFixture);
        openWindow();
        state_->transliterateNames = 1;
        state_->player[3].throws[5] = 8;
        doubleClick(player(0, 0));
        doubleClick(player(0, 1));
        clickRow(LineupSide::Home, 0); // a gap in place 1
        QTest::mouseClick(window_->panelTitle(LineupSide::Guest), Qt::LeftButton);
        doubleClick(team(0, 1)->children[0].get());
        QCOMPARE(state_->guestTeamName, std::string("Cee"));

        TForm_SV suddenVictory(*state_);
        connect(window_.get(), &THraci_main::playerCaptionsChanged, &suddenVictory,
                &TForm_SV::setPlayerCaptions);
        const auto caption = [&suddenVictory](int row) {
            return suddenVictory.findChild<QLabel*>(QStringLiteral("player%1").arg(row))->text();
        };
        QSignalSpy lineupsConfirmed(window_.get(), &THraci_main::lineupsConfirmed);
        QTest::mouseClick(window_->okButton(), Qt::LeftButton);
        QCOMPARE(state_->player[1].registryLine.str(), std::string());
        QCOMPARE(state_->player[1].displayName.str(), std::string(18, ' '));
        QCOMPARE(state_->player[3].surname.str(), cp1250::fromUtf8("Dvořák"));
        QCOMPARE(state_->player[3].displayName.str(), std::string("Dvorak Petr       "));
        QCOMPARE(state_->player[3].throws[5], u8(8));
        QCOMPARE(state_->player[2].displayName.str(), std::string("S ava  olik       "));
        QCOMPARE(lineupsConfirmed.count(), 1);
        QCOMPARE(caption(1), QString());
        QCOMPARE(caption(2), QStringLiteral("6 - Šťáva Ďolík, 06.06.1995 , "));
        QCOMPARE(caption(3), QStringLiteral("2 - Dvořák Petr, 02.02.1991 , levák"));
        QCOMPARE(caption(4), QString());
        QCOMPARE(caption(16), QString());
        QCOMPARE(readFile(registryFile()), bytes(kFixture));
        QVERIFY(!window_->isVisible());
        QCOMPARE(kuzelna::testing::temporariesIn(folder_.path().toStdString()), std::vector<std::string>{});
    }

    void stornoAndFailedWriteKeepTheFile() {
        writeFile(registryFile(), kFixture);
        openWindow();
        doubleClick(player(0, 0));
        rightClick(club(1));
        window_->deleteAction()->trigger();
        QCOMPARE(window_->currentNode(), nullptr);
        QCOMPARE(window_->treeView()->topLevelItemCount(), 1);

        QTest::mouseClick(window_->cancelButton(), Qt::LeftButton);
        QVERIFY(!window_->isVisible());
        QCOMPARE(state_->player[1].registryLine.str(), std::string());
        QCOMPARE(readFile(registryFile()), bytes(kFixture));

        window_->toggle();
        QVERIFY(window_->isVisible());
        QVERIFY(QDir(folder_.path()).mkdir("Hraci.dtb.bak")); // the backup cannot be written
        QTest::mouseClick(window_->okButton(), Qt::LeftButton);
        QCOMPARE(state_->player[1].registryLine.str(), player(0, 0)->line);
        QCOMPARE(window_->lastError(), "Cannot create file " + registryPath());
        QVERIFY(window_->isVisible());
        QCOMPARE(readFile(registryFile()), bytes(kFixture));
    }

    void dialogsEditTheTree() {
        writeFile(registryFile(), kFixture);
        openWindow();

        // Without a current node only a club can be added.
        window_->newTeamAction()->trigger();
        window_->newPlayerAction()->trigger();
        window_->changeAction()->trigger();
        QVERIFY(!teamDialog_->isVisible() && !playerDialog_->isVisible() && !clubDialog_->isVisible());

        window_->newClubAction()->trigger();
        QVERIFY(clubDialog_->isVisible());
        QCOMPARE(clubDialog_->windowTitle(), QStringLiteral("Jméno oddílu"));
        clubDialog_->nameEdit()->setText(QStringLiteral("Řevnice"));
        clubDialog_->noteEdit()->setPlainText(QStringLiteral("jih\nzápad"));
        QTest::mouseClick(clubDialog_->okButton(), Qt::LeftButton);
        QVERIFY(!clubDialog_->isVisible());
        QCOMPARE(club(0)->line, cp1250::fromUtf8("Řevnice - jihzápad"));
        window_->newClubAction()->trigger();
        clubDialog_->nameEdit()->setText("Dropped");
        QTest::mouseClick(clubDialog_->cancelButton(), Qt::LeftButton);
        QVERIFY(!clubDialog_->isVisible());
        QCOMPARE(window_->tree().roots().size(), std::size_t(3));

        // A player opens only under a team or a player.
        rightClick(club(1));
        window_->newPlayerAction()->trigger();
        QVERIFY(!playerDialog_->isVisible());
        rightClick(team(1, 0));
        window_->newPlayerAction()->trigger();
        QVERIFY(playerDialog_->isVisible());
        QCOMPARE(playerDialog_->birthDateEdit()->text(), QStringLiteral("01.01.1900"));
        QCOMPARE(playerDialog_->surnameEdit()->text(), QString());
        playerDialog_->regNumberEdit()->setText("9");
        playerDialog_->surnameEdit()->setText(QStringLiteral("Šimek"));
        playerDialog_->firstNameEdit()->setText(QStringLiteral("Jan"));
        QTest::mouseClick(playerDialog_->okButton(), Qt::LeftButton);
        QCOMPARE(team(1, 0)->children.back()->line, cp1250::fromUtf8("9 - Šimek Jan, 01.01.1900 , "));

        // Changing a player unchanged gives back the same line.
        // (the club added above moved the fixture's club to index 1)
        rightClick(team(1, 0)->children[1].get());
        window_->changeAction()->trigger();
        QCOMPARE(playerDialog_->surnameEdit()->text(), QStringLiteral("Dvořák"));
        QCOMPARE(playerDialog_->birthDateEdit()->text(), QStringLiteral("02.02.1991"));
        QCOMPARE(playerDialog_->noteEdit()->toPlainText(), QStringLiteral("levák"));
        QTest::mouseClick(playerDialog_->okButton(), Qt::LeftButton);
        QCOMPARE(team(1, 0)->children[1]->line, cp1250::fromUtf8("2 - Dvořák Petr, 02.02.1991 , levák"));

        // Renaming sorts the siblings.
        rightClick(team(1, 0)->children[3].get()); // 4 - Zelený Ota
        window_->changeAction()->trigger();
        playerDialog_->regNumberEdit()->setText("0");
        QTest::mouseClick(playerDialog_->okButton(), Qt::LeftButton);
        QCOMPARE(team(1, 0)->children[0]->line, cp1250::fromUtf8("0 - Zelený Ota, 04.04.1993 , "));
        QCOMPARE(team(1, 0)->children[1]->line, cp1250::fromUtf8("1 - Novák Jan, 01.01.1990 , "));

        // Renaming a team sorts the teams of its club.
        rightClick(team(1, 1));
        window_->changeAction()->trigger();
        QCOMPARE(teamDialog_->windowTitle(), QStringLiteral("Jméno družstva"));
        QCOMPARE(teamDialog_->nameEdit()->text(), QStringLiteral("C"));
        teamDialog_->nameEdit()->setText(QStringLiteral("A0"));
        QTest::mouseClick(teamDialog_->okButton(), Qt::LeftButton);
        QCOMPARE(team(1, 0)->line, std::string("A0 - Cee"));

        QTest::mouseClick(window_->okButton(), Qt::LeftButton);
        RegistryTree written;
        loadRegistry(registryPath(), written);
        QCOMPARE(serializeRegistry(written), serializeRegistry(window_->tree()));
        QCOMPARE(written.roots().front()->line, cp1250::fromUtf8("Řevnice - jihzápad"));
    }

    void theConsoleOpensTheRegistryWithItsDialogs() {
        writeFile(registryFile(), kFixture);
        WindowSet windows(*state_);
        THraci_main& registry = windows.registry();
        QCOMPARE(registry.tree().roots().size(), std::size_t(2));
        windows.mainWindow().show();

        auto* button = windows.mainWindow().findChild<QPushButton*>("registryButton");
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(registry.isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!registry.isVisible());

        QAction* menuItem = nullptr;
        for (QAction* menu : windows.mainWindow().menuBar()->actions()) {
            if (menu->text() == QStringLiteral("Nastavení") && menu->menu()) {
                for (QAction* item : menu->menu()->actions())
                    if (item->text() == QStringLiteral("Hráči")) menuItem = item;
            }
        }
        QVERIFY(menuItem);
        menuItem->trigger();
        QVERIFY(registry.isVisible());

        // The pop-up reaches the dialogs created with the window.
        registry.newClubAction()->trigger();
        QWidget* clubDialog = nullptr;
        for (QWidget* window : windows.windows())
            if (window->objectName() == QStringLiteral("Klub")) clubDialog = window;
        QVERIFY(clubDialog);
        QVERIFY(clubDialog->isVisible());

        // Confirming hands the lines on to the Sudden Victory window.
        registry.treeView()->expandAll();
        RegistryNode* first = registry.tree().roots()[0]->children[0]->children[0].get();
        const QPoint point = registry.treeView()->visualItemRect(registry.itemOf(first)).center();
        QTest::mouseClick(registry.treeView()->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(registry.treeView()->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseClick(registry.okButton(), Qt::LeftButton);
        QCOMPARE(windows.suddenVictory().findChild<QLabel*>("player1")->text(),
                 QStringLiteral("1 - Novák Jan, 01.01.1990 , "));
        QCOMPARE(windows.suddenVictory().findChild<QLabel*>("player2")->text(), QString());
        QVERIFY(!registry.isVisible());
        QCOMPARE(readFile(registryFile()), bytes(kFixture));
    }
};

QTEST_MAIN(RegistryWindowTest)
#include "test_registry_window.moc"
