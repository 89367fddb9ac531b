#include "aids/keypad_window.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_events.h"
#include "core/match_state.h"
#include "lanes/frame_codec.h"
#include "lanes/match_cycle.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace kuzelna;

namespace {

// The body of the next frame the cycle sends (one link step is at most three ticks away).
std::string nextBody(MatchCycle& cycle) {
    for (int tick = 0; tick < 3; ++tick) {
        const std::string frame = cycle.tick();
        if (!frame.empty()) return decodeSentFrame(frame).value_or("undecodable");
    }
    return {};
}

std::string keyFrame(int lane, int code) {
    return {'\x85', static_cast<char>(0x80 | (lane - 1)), '\x82', static_cast<char>(0x80 | code)};
}

void click(QWidget& window, const QString& name) {
    auto* button = window.findChild<QPushButton*>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class KeypadWindowTest : public QObject {
    Q_OBJECT

private slots:
    void consoleButtonTogglesTheKeypad() {
        MatchState state;
        WindowSet windows(state);
        TKlavesnice& keypad = windows.keypad();
        QCOMPARE(keypad.windowTitle(), QStringLiteral("Klavesnice"));
        click(windows.mainWindow(), QStringLiteral("keypadButton"));
        QVERIFY(keypad.isVisible());
        click(windows.mainWindow(), QStringLiteral("keypadButton"));
        QVERIFY(!keypad.isVisible());
        QVERIFY(keypad.findChild<QRadioButton*>(QStringLiteral("lane1"))->isChecked());
    }

    void keysGoToTheChosenLaneEvenWhileTheLinkIsStopped() {
        MatchState state;
        TKlavesnice keypad(state);
        MatchEvents events;
        MatchCycle cycle(state, events);
        QCOMPARE(state.linkPaused, 1);

        click(keypad, QStringLiteral("key51")); // "5"
        click(keypad, QStringLiteral("key54")); // "7" before the next turn replaces it
        QCOMPARE(nextBody(cycle), keyFrame(1, 0x54));
        QCOMPARE(nextBody(cycle), std::string());

        QTest::mouseClick(keypad.findChild<QRadioButton*>(QStringLiteral("lane6")), Qt::LeftButton);
        QCOMPARE(state.controls.keypadLane, 6);
        click(keypad, QStringLiteral("key11")); // "START"
        QCOMPARE(nextBody(cycle), keyFrame(6, 0x11));
    }

    void laneStartStopButtonsWaitTogetherAndGoLowestLaneFirst() {
        MatchState state;
        TKlavesnice keypad(state);
        MatchEvents events;
        MatchCycle cycle(state, events);
        click(keypad, QStringLiteral("startStop3"));
        click(keypad, QStringLiteral("startStop1"));
        click(keypad, QStringLiteral("key74")); // "Nastav" waits as well and goes first
        QCOMPARE(nextBody(cycle), keyFrame(1, 0x74));
        QCOMPARE(nextBody(cycle), keyFrame(1, 0x78));
        QCOMPARE(nextBody(cycle), keyFrame(3, 0x78));
        QCOMPARE(nextBody(cycle), std::string());
    }
};

QTEST_MAIN(KeypadWindowTest)
#include "test_keypad_window.moc"
