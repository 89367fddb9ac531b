// The overview window and the throw correction dialog on the offscreen platform.

#include "core/cp1250.h"
#include "core/match_state.h"
#include "reports/overview_window.h"
#include "reports/result_exchange_qt.h"
#include "reports/throw_correction_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kuzelna;

namespace {

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

class OverviewWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // The exchange timer writes the result files into the current folder.
        workDir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(workDir_->path()));
        state_ = std::make_unique<MatchState>();
        state_->gameKind = 2; // 120 Hs: halves of 15, four sets
        state_->lanesPerPlayer = 4;
        state_->laneLayout = 1;
        state_->monitorLocalPort = 0;
        for (std::size_t t = 1; t <= 30; ++t)
            state_->player[1].throws[t] = 6;
        state_->homeLineup[1] = cp1250::fromUtf8("Novák Petr 1.1.1980");
        state_->guestLineup[3] = cp1250::fromUtf8("Král Ivo");
        window_ = std::make_unique<Tvysl1>(*state_);
        dialog_ = std::make_unique<TZmena_hodu>(*state_, window_->selection(), window_.get());
        window_->setCorrectionDialog(dialog_.get());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        dialog_.reset();
        window_.reset();
        state_.reset();
        workDir_.reset();
    }

    void startsOnTheHomeSide() {
        QCOMPARE(window_->windowTitle(), text("Přehled hry - domácí"));
        QCOMPARE(window_->size(), QSize(838, 661));
        QCOMPARE(window_->nameLabel()->text(), text("Novák Petr 1.1.1980"));
        QVERIFY(window_->playerCaption(true)->isEnabled());
        QVERIFY(!window_->playerCaption(false)->isEnabled());
        QVERIFY(!window_->captionLabel(false, Tvysl1::Value::Full)->isEnabled());
        QCOMPARE(window_->valueLabel(true, Tvysl1::Value::Full)->text(), QStringLiteral("90"));
        QCOMPARE(window_->valueLabel(true, Tvysl1::Value::Team)->text(), QStringLiteral("0"));
        QCOMPARE(window_->valueLabel(false, Tvysl1::Value::SetPoints)->text(), QStringLiteral("0"));
        QCOMPARE(window_->grid()->item(1, 0)->text(), QStringLiteral("    Plne"));
        QCOMPARE(window_->grid()->item(0, 0)->text(), QStringLiteral("      1.draha"));
        QCOMPARE(window_->grid()->item(1, 4)->text(), QStringLiteral("6"));
        QCOMPARE(window_->playerCombo(true)->count(), 30);
        QCOMPARE(window_->playerCombo(true)->itemText(29), text("30. Hráč"));
    }

    // The exchange's alternate ticks refresh the grid, hidden or shown.
    void theExchangeRefreshesTheViewEveryOtherTick() {
        ResultExchange exchange(*state_);
        window_->setExchange(exchange);
        state_->player[1].throws[1] = 9;
        QCOMPARE(window_->grid()->item(1, 1)->text(), QStringLiteral("6"));
        exchange.Timer1Timer();
        QCOMPARE(window_->grid()->item(1, 1)->text(), QStringLiteral("9"));
        state_->player[1].throws[1] = 8;
        exchange.Timer1Timer();
        QCOMPARE(window_->grid()->item(1, 1)->text(), QStringLiteral("9"));
        window_->hide();
        exchange.Timer1Timer();
        QCOMPARE(window_->grid()->item(1, 1)->text(), QStringLiteral("8"));
    }

    // Throw numbers from 100 on show whole (no "…").
    void throwNumbersFromAHundredFitTheirCells() {
        state_->gameKind = 1; // 200 Hs: halves of 25, numbers up to 200
        window_->Zobr_text();
        QTableWidget* grid = window_->grid();
        const QFontMetrics metrics(grid->font());
        int checked = 0;
        for (int r = 0; r < grid->rowCount(); ++r) {
            for (int c = 1; c < grid->columnCount(); ++c) {
                const QString text = grid->item(r, c)->text();
                if (text.trimmed().size() < 3) continue;
                ++checked;
                QVERIFY2(metrics.horizontalAdvance(text) + 6 <= grid->columnWidth(c),
                         qPrintable(text + QString::number(metrics.horizontalAdvance(text))));
            }
        }
        QVERIFY(checked > 0);
    }

    void choosingAGuestSwitchesTheSide() {
        window_->playerCombo(false)->setCurrentIndex(2);
        QCOMPARE(window_->windowTitle(), text("Přehled hry - hosté"));
        QCOMPARE(window_->nameLabel()->text(), text("Král Ivo"));
        QCOMPARE(window_->selection().shownSlot(), 6);
        QVERIFY(window_->playerCaption(false)->isEnabled());
        QVERIFY(!window_->pointsCaption(true)->isEnabled());
        // A press on the home group brings the home side back, player kept.
        QTest::mouseClick(window_->teamGroup(true), Qt::LeftButton, {}, QPoint(300, 150));
        QCOMPARE(window_->windowTitle(), text("Přehled hry - domácí"));
        QCOMPARE(window_->selection().shownSlot(), 1);
        QCOMPARE(window_->selection().guestPlayer, 3);
        // A combo box left without a selection means player 1.
        window_->playerCombo(false)->setCurrentIndex(-1);
        QCOMPARE(window_->selection().shownSlot(), 2);
    }

    void printButtonsHandTheShownSlotOn() {
        std::vector<std::pair<bool, int>> printed;
        window_->printPlayerResults = [&](bool home, int slot) { printed.emplace_back(home, slot); };
        window_->playerCombo(false)->setCurrentIndex(4);
        window_->playerCombo(true)->setCurrentIndex(1);
        QTest::mouseClick(window_->printButton(false), Qt::LeftButton);
        QCOMPARE(window_->windowTitle(), text("Přehled hry - hosté"));
        QTest::mouseClick(window_->printButton(true), Qt::LeftButton);
        QCOMPARE(printed, (std::vector<std::pair<bool, int>>{{false, 10}, {true, 3}}));
    }

    void correctingAThrowFromTheGrid() {
        // Throw 18: row 3 (clearing half of set 1), column 3.
        clickCell(3, 3);
        QVERIFY(dialog_->isVisible());
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("Zmena_hodu"));
        QCOMPARE(dialog_->valueEdit()->text(), QStringLiteral("6"));

        // Each key replaces the edit's text.
        QTest::keyClicks(dialog_->valueEdit(), QStringLiteral("12"));
        QCOMPARE(dialog_->valueEdit()->text(), QStringLiteral("2"));
        QTest::mouseClick(dialog_->saveButton(), Qt::LeftButton);

        QVERIFY(!dialog_->isVisible());
        const PlayerSlot& slot = state_->player[1];
        QCOMPARE(int(slot.throws[18]), 2);
        QCOMPARE(int(slot.clearingTotal), 14 * 6 + 2);
        QCOMPARE(int(slot.total), 90 + 86);
        QCOMPARE(window_->grid()->item(3, 3)->text(), QStringLiteral("2"));
        QCOMPARE(window_->valueLabel(true, Tvysl1::Value::Total)->text(), QStringLiteral("176"));

        // A zero is a fault.
        clickCell(3, 3);
        QTest::keyClick(dialog_->valueEdit(), Qt::Key_0);
        QTest::keyClick(dialog_->valueEdit(), Qt::Key_Return);
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(int(slot.throws[18]), 0);
        QCOMPARE(int(slot.faults), 90 + 1);
    }

    void refusedValuesKeepTheDialogOpen() {
        clickCell(1, 1);
        for (const char* key : {"x", ""}) {
            dialog_->valueEdit()->setText(QString::fromLatin1(key));
            QTest::mouseClick(dialog_->saveButton(), Qt::LeftButton);
            QVERIFY(dialog_->isVisible());
        }
        QCOMPARE(int(state_->player[1].throws[1]), 6);
        QCOMPARE(int(state_->player[1].total), 0); // never recalculated
    }

    void headerAndLabelCellsOnlyRefillTheEdit() {
        // Closed dialog: a header cell does not open it.
        clickCell(2, 4);
        QVERIFY(!dialog_->isVisible());
        // Open on throw 16, then a press on the header above throw 2 refills.
        clickCell(1, 3);
        QVERIFY(dialog_->isVisible());
        state_->player[1].throws[2] = 9;
        clickCell(0, 2);
        QCOMPARE(dialog_->valueEdit()->text(), QStringLiteral("6")); // label column: throw 15
        clickCell(2, 0);
        QVERIFY(dialog_->isVisible());
        QCOMPARE(dialog_->valueEdit()->text(), QStringLiteral("9"));
        // "Ulož" on a header names no throw the grid shows: nothing is stored.
        dialog_->valueEdit()->setText(QStringLiteral("1"));
        QTest::mouseClick(dialog_->saveButton(), Qt::LeftButton);
        QCOMPARE(int(state_->player[1].throws[2]), 9);
        QVERIFY(dialog_->isVisible());
    }

private:
    void clickCell(int column, int row) {
        QTableWidget* grid = window_->grid();
        grid->scrollToItem(grid->item(row, column));
        const QRect cell = grid->visualItemRect(grid->item(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    std::unique_ptr<QTemporaryDir> workDir_;
    std::unique_ptr<MatchState> state_;
    std::unique_ptr<Tvysl1> window_;
    std::unique_ptr<TZmena_hodu> dialog_;
};

QTEST_MAIN(OverviewWindowTest)
#include "test_overview_window.moc"
