#include "aids/manual_team_names_window.h"

#include "core/match_state.h"
#include "core/text_qt.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kuzelna {

TForm_manual_druzstva::TForm_manual_druzstva(MatchState& state, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state) {
    setObjectName(QStringLiteral("Form_manual_druzstva"));
    setWindowTitle(QStringLiteral("Manualni ovladani display DH - jmena druzstev"));
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(11);
    setFont(small);

    auto* homeLabel = new QLabel(QStringLiteral("Jmeno Domaci"), this);
    homeLabel->setGeometry(16, 16, 100, 13);
    home_ = new QLineEdit(this);
    home_->setObjectName(QStringLiteral("home"));
    home_->setGeometry(16, 32, 161, 21);
    auto* guestLabel = new QLabel(QStringLiteral("Jmeno hoste"), this);
    guestLabel->setGeometry(200, 16, 100, 13);
    guest_ = new QLineEdit(this);
    guest_->setObjectName(QStringLiteral("guest"));
    guest_->setGeometry(200, 32, 161, 21);
    manual_ = new QCheckBox(QStringLiteral("Zapnou man. ovladani"), this);
    manual_->setObjectName(QStringLiteral("manual"));
    manual_->setGeometry(16, 64, 161, 17);
    auto* note = new QLabel(QStringLiteral("Je zobrazeno vzdy jen prvnich 9 znaku z kazdeho jmena"), this);
    note->setGeometry(16, 90, 345, 13);
    auto* saveButton = new QPushButton(QStringLiteral("Ulozit"), this);
    saveButton->setObjectName(QStringLiteral("save"));
    saveButton->setGeometry(286, 112, 75, 25);
    connect(saveButton, &QPushButton::clicked, this, &TForm_manual_druzstva::save);
    setFixedSize(377, 148);
}

void TForm_manual_druzstva::open() {
    hide();
    show();
    raise();
}

void TForm_manual_druzstva::save() {
    state_.manualTeamNames = manual_->isChecked() ? 1 : 0;
    state_.manualHomeName = toCp1250(home_->text());
    state_.manualGuestName = toCp1250(guest_->text());
    hide();
    emit saved();
}

} // namespace kuzelna
