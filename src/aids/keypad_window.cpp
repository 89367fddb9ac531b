#include "aids/keypad_window.h"

#include "aids/keypad.h"
#include "core/match_state.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace kuzelna {

namespace {
constexpr int kLaneSpacing = 40;
constexpr int kKeysTop = 84;
constexpr int kHalfKeyWidth = 22;
constexpr int kKeyPitch = 30;
} // namespace

TKlavesnice::TKlavesnice(MatchState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
    setObjectName(QStringLiteral("Klavesnice"));
    setWindowTitle(QStringLiteral("Klavesnice"));
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(11);
    setFont(small);

    lanes_ = new QButtonGroup(this);
    for (int lane = 1; lane <= kMaxLanes; ++lane) {
        const int x = 8 + kLaneSpacing * (lane - 1);
        auto* caption = new QLabel(QString::number(lane), this);
        caption->setGeometry(x + 4, 6, 20, 13);
        auto* radio = new QRadioButton(this);
        radio->setObjectName(QStringLiteral("lane%1").arg(lane));
        radio->setGeometry(x + 2, 22, 20, 17);
        lanes_->addButton(radio, lane);
        if (lane == 1) radio->setChecked(true);
        auto* startStop = new QPushButton(QStringLiteral("S/S"), this);
        startStop->setObjectName(QStringLiteral("startStop%1").arg(lane));
        startStop->setGeometry(x, 44, 34, 24);
        connect(startStop, &QPushButton::clicked, this, [this, lane] { requestLaneStartStop(state_, lane); });
    }
    state_.controls.keypadLane = 1;
    connect(lanes_, &QButtonGroup::idToggled, this, [this](int, bool) {
        state_.controls.keypadLane = lanes_->checkedId() > 0 ? lanes_->checkedId() : 0;
    });

    for (const KeypadKey& key : kKeypadKeys) {
        auto* button = new QPushButton(QString::fromLatin1(key.caption), this);
        button->setObjectName(QStringLiteral("key%1").arg(key.code, 2, 16, QLatin1Char('0')));
        button->setGeometry(8 + kHalfKeyWidth * key.halfColumn, kKeysTop + kKeyPitch * key.row, 42, 26);
        connect(button, &QPushButton::clicked, this,
                [this, code = key.code] { pressKeypadKey(state_, code); });
    }
    setFixedSize(8 + kLaneSpacing * kMaxLanes, kKeysTop + kKeyPitch * 8 + 4);
}

void TKlavesnice::toggle() {
    setVisible(!isVisible());
}

} // namespace kuzelna
