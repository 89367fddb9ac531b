#include "reports/throw_correction_dialog.h"

#include "core/match_state.h"
#include "reports/overview.h"
#include "reports/throw_correction.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kuzelna {

TZmena_hodu::TZmena_hodu(MatchState& state, const OverviewSelection& selection, QWidget* parent)
    : QDialog(parent), state_(state), selection_(selection) {
    setObjectName(QStringLiteral("Zmena_hodu"));
    setWindowTitle(QStringLiteral("Zmena_hodu"));
    setFixedSize(184, 164);
    setModal(false);

    auto* label = new QLabel(QStringLiteral("Po\u010det shozen\u00fdch ku\u017eelek:"), this);
    label->setGeometry(16, 16, 160, 16);
    edit_ = new QLineEdit(this);
    edit_->setGeometry(16, 48, 49, 21);
    edit_->installEventFilter(this);
    save_ = new QPushButton(QStringLiteral("Ulo\u017e"), this);
    save_->setGeometry(16, 96, 75, 25);
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &TZmena_hodu::Uloz);
}

void TZmena_hodu::openForCell() {
    if (isVisible()) hide();
    if (QWidget* owner = parentWidget()) {
        const QRect frame = owner->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
    edit_->setFocus();
}

void TZmena_hodu::setValueText(const std::string& text) {
    edit_->setText(QString::fromStdString(text));
}

void TZmena_hodu::Uloz() {
    if (!saveThrowCorrection(state_, selection_, edit_->text().toStdString())) return;
    hide();
    emit throwCorrected(selection_.shownSlot());
}

bool TZmena_hodu::eventFilter(QObject* watched, QEvent* event) {
    // Every key empties the edit before it takes effect, so the edit holds only
    // the last key typed. Enter saves and Tab moves on.
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool keepsText = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
                               key == Qt::Key_Backtab || key == Qt::Key_Shift || key == Qt::Key_Control ||
                               key == Qt::Key_Alt || key == Qt::Key_Meta || key == Qt::Key_AltGr;
        if (!keepsText) edit_->clear();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kuzelna
