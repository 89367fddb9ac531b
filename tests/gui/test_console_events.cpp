// The console learns about changes from events, not by reading the state on a
// timer: with every timer of the windows stopped and the lane cycle not
// started, a status line changed by the engine still reaches the console, and
// only the controls that changed repaint.

#include "commercial/public_play_window.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"
#include "core/text_qt.h"
#include "lanes/lane_server_qt.h"
#include "lanes/link_status.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPaintEvent>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace kuzelna;

namespace {

// Collects the regions a widget is asked to paint.
class PaintLog : public QObject {
public:
    QRegion painted;
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class ConsoleEventsTest : public QObject {
    Q_OBJECT

private slots:
    void aStatusLineReachesTheConsoleWithNoTimerRunning() {
        auto state = std::make_unique<MatchState>();
        WindowSet windows(*state);
        LaneServer server(*state); // neither the port opened nor the cycle started
        windows.connectLaneServer(server);
        TForm1& console = windows.mainWindow();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));

        // The console itself runs no timer; every other window's is stopped.
        // (The overview is parented to the console but is a window of its own.)
        for (QTimer* timer : console.findChildren<QTimer*>()) {
            const auto* owner = qobject_cast<const QWidget*>(timer->parent());
            if (owner && owner->window() != &console) continue;
            QVERIFY2(!timer->isActive(), timer->parent()->metaObject()->className());
        }
        for (QWidget* window : windows.windows()) {
            for (QTimer* timer : window->findChildren<QTimer*>())
                timer->stop();
        }
        QVERIFY(!server.cycleRunning());
        QCoreApplication::processEvents();

        auto* status = console.findChild<QLineEdit*>(QStringLiteral("statusLine"));
        auto* indicator = console.findChild<QRadioButton*>(QStringLiteral("runningIndicator"));
        QVERIFY(status && indicator);
        QWidget* canvas = console.console();
        PaintLog log, statusLog;
        canvas->installEventFilter(&log);
        status->installEventFilter(&statusLog);

        noteLinkLost(*state, server.events(), "COM9");
        QCoreApplication::processEvents();
        QCOMPARE(status->text(), QStringLiteral("Linka ztracena: COM9"));
        QCOMPARE(indicator->text(), QStringLiteral("Linka ztracena"));

        // Only the status line and the indicator's box were repainted, not the lanes.
        QTRY_VERIFY(statusLog.count > 0);
        const QRegion changed = QRegion(status->geometry()) + indicator->parentWidget()->geometry();
        QVERIFY2((log.painted - changed).isEmpty(), "the canvas repainted beyond the changed controls");

        // A second operation with its own text: the event, not a stale copy, is shown.
        noteLinkBack(*state, server.events(), "COM9");
        QCoreApplication::processEvents();
        QCOMPARE(status->text(), QStringLiteral("Linka obnovena: COM9"));
        QCOMPARE(indicator->text(), QStringLiteral("Systém běží"));
        canvas->removeEventFilter(&log);
        status->removeEventFilter(&statusLog);
    }

    // Public play's diagnostics reach its window from the lane link's event.
    void publicPlayDiagnosticsReachTheirWindow() {
        auto state = std::make_unique<MatchState>();
        WindowSet windows(*state);
        LaneServer server(*state);
        windows.connectLaneServer(server);
        state->controls.publicPlayOn = true;
        state->publicPlayDiagnostics.edit = {"12", "6", "3", "0"};
        server.events().publicPlayChanged(3);
        QCOMPARE(windows.publicPlay().findChild<QLineEdit*>(QStringLiteral("diagnostic1"))->text(),
                 QStringLiteral("12"));
        QCOMPARE(windows.publicPlay().findChild<QLineEdit*>(QStringLiteral("diagnostic3"))->text(),
                 QStringLiteral("3"));
    }

    // The starting "Display extra" is given to the console; the stored default stays.
    void theStartingDisplayExtraIsGiven() {
        for (const bool given : {false, true}) {
            auto state = std::make_unique<MatchState>();
            state->displayExtraDefault = 0;
            WindowSet windows(*state, given);
            QCOMPARE(windows.mainWindow().findChild<QCheckBox*>(QStringLiteral("displayExtra"))->isChecked(),
                     given);
            QCOMPARE(state->controls.displayExtra, given);
            QCOMPARE(int(state->displayExtraDefault), 0);
        }
    }
};

QTEST_MAIN(ConsoleEventsTest)
#include "test_console_events.moc"
