#include "boards/board_settings_dialog.h"

#include "boards/board_labels_qt.h"
#include "boards/board_numbers.h"
#include "boards/board_settings.h"
#include "console/central_error_handler_qt.h"
#include "core/match_state.h"
#include "core/settings_notice.h"
#include "core/startup.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <optional>
#include <stdexcept>

namespace kuzelna {
namespace {

// Places a control; a caption longer than the room it was given (the dialog
// font differs between systems) widens it.
template <class Widget> Widget* place(Widget* widget, int x, int y, int width, int height) {
    widget->setGeometry(x, y, std::max(width, widget->sizeHint().width()), height);
    return widget;
}

QLineEdit* placeEdit(QLineEdit* edit, int x, int y) {
    edit->setGeometry(x, y, 57, 21);
    return edit;
}

// A group grows to hold its widened controls.
void fitGroup(QGroupBox* group) {
    const QRect content = group->childrenRect();
    group->resize(std::max(group->width(), content.right() + 9),
                  std::max(group->height(), content.bottom() + 9));
}

// The edits hold nothing but an integer: any change is written back in its
// canonical form, and text that is no integer becomes `replacement`.
void keepInteger(QLineEdit* edit, const std::function<int()>& replacement) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, replacement](const QString& text) {
        const std::optional<int> value = parseInteger(text.toStdString());
        const QString canonical = QString::number(value ? *value : replacement());
        if (canonical != text) edit->setText(canonical);
    });
}

std::optional<int> editValue(const QLineEdit* edit) {
    return parseInteger(edit->text().toStdString());
}

} // namespace

BoardSettingsDialog::BoardSettingsDialog(MatchState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(QStringLiteral("Výsledková tabule - nastavení"));

    auto* placement = new QGroupBox(QStringLiteral(" Umístění okna výsledkové tabule "), this);
    placement->setGeometry(16, 16, 185, 137);
    const QLabel* xLabel = place(new QLabel(QStringLiteral("Pozice x:"), placement), 16, 26, 45, 17);
    const QLabel* yLabel = place(new QLabel(QStringLiteral("Pozice y:"), placement), 16, 50, 45, 17);
    const int editX = std::max({64, xLabel->geometry().right() + 4, yLabel->geometry().right() + 4});
    xEdit_ = placeEdit(new QLineEdit(QStringLiteral("1024"), placement), editX, 24);
    yEdit_ = placeEdit(new QLineEdit(QStringLiteral("0"), placement), editX, 48);
    autoPosition_ =
        place(new QCheckBox(QStringLiteral("Automaticky zjištovat pozici"), placement), 16, 80, 153, 17);
    detect_ = place(new QPushButton(QStringLiteral("Zjisti pozici"), placement), 16, 104, 75, 25);

    fitGroup(placement);

    // The right-hand column starts clear of the (possibly widened) left group.
    const int right = std::max(240, placement->geometry().right() + 24);
    auto* scoring = new QGroupBox(QStringLiteral("Bodování"), this);
    scoring->setGeometry(right, 16, 89, 65);
    eightPoints_ = place(new QRadioButton(QStringLiteral("8 bodové"), scoring), 8, 20, 73, 17);
    sixteenPoints_ = place(new QRadioButton(QStringLiteral("16 bodové"), scoring), 8, 42, 73, 17);
    eightPoints_->setChecked(true);
    fitGroup(scoring);

    save_ = place(new QPushButton(QStringLiteral("Ulož"), this), right + 8, 96, 75, 25);
    cancel_ = place(new QPushButton(QStringLiteral("Storno"), this), right + 8, 136, 75, 25);
    setFixedSize(std::max(374, scoring->geometry().right() + 45),
                 std::max(183, placement->geometry().bottom() + 30));
    save_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    detect_->setAutoDefault(false);

    keepInteger(xEdit_, [] { return primaryScreenWidth(); });
    keepInteger(yEdit_, [] { return 0; });
    connect(detect_, &QPushButton::clicked, this, &BoardSettingsDialog::detectPosition);
    // Only the operator's click fills in the screen position: loading the box
    // from the settings must keep the stored position in the edits.
    connect(autoPosition_, &QCheckBox::clicked, this, [this](bool on) {
        if (on) detectPosition();
    });
    connect(save_, &QPushButton::clicked, this, &BoardSettingsDialog::save);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::hide);
}

void BoardSettingsDialog::openFromMenu() {
    if (isHidden()) {
        xEdit_->setText(QString::number(state_.boardLeft));
        yEdit_->setText(QString::number(state_.boardTop));
        autoPosition_->setChecked(state_.boardAutoPosition != 0);
        (state_.score16 != 0 ? sixteenPoints_ : eightPoints_)->setChecked(true);
        if (const QWidget* owner = parentWidget()) move(owner->geometry().center() - rect().center());
    }
    hide();
    show();
    raise();
    activateWindow();
}

void BoardSettingsDialog::detectPosition() {
    xEdit_->setText(QString::number(primaryScreenWidth()));
    yEdit_->setText(QStringLiteral("0"));
}

void BoardSettingsDialog::save() {
    hide();
    // A position that is no number is ignored; a failed write keeps the old
    // settings and is reported.
    const std::optional<int> x = editValue(xEdit_);
    const std::optional<int> y = editValue(yEdit_);
    if (!x || !y) return;
    const std::string path = QDir::currentPath().toStdString() + '/' + kIniFileName;
    try {
        saveBoardSettings(state_, {*x, *y, autoPosition_->isChecked(), sixteenPoints_->isChecked()}, path);
    } catch (const std::exception& failure) {
        KuzelnaApplication::handleError(std::make_exception_ptr(settingsNotSaved(path, failure)));
    }
}

} // namespace kuzelna
