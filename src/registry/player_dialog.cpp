#include "registry/player_dialog.h"

#include "core/text_qt.h"
#include "registry/registry_lines.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kuzelna {

TForm_hrac::TForm_hrac(QWidget* parent)
    : QDialog(parent), firstName_(new QLineEdit), surname_(new QLineEdit), birthDate_(new QLineEdit),
      regNumber_(new QLineEdit), note_(new QPlainTextEdit), ok_(new QPushButton("OK")),
      cancel_(new QPushButton("Storno")) {
    setWindowTitle(QStringLiteral("Hráč - informace"));
    setModal(false);
    note_->setFixedHeight(80);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Jméno"), firstName_);
    fields->addRow(QStringLiteral("Příjmení"), surname_);
    fields->addRow(QStringLiteral("Datum nar."), birthDate_);
    fields->addRow(QStringLiteral("Reg. číslo"), regNumber_);
    fields->addRow(QStringLiteral("Poznámka"), note_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(340, 260);

    connect(ok_, &QPushButton::clicked, this, &TForm_hrac::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_hrac::openNew() {
    mode_ = DialogMode::New;
    firstName_->clear();
    surname_->clear();
    birthDate_->setText(QString::fromLatin1(kDefaultBirthDate));
    regNumber_->clear();
    note_->clear();
    bringToFront();
}

void TForm_hrac::openChange(const std::string& line) {
    mode_ = DialogMode::Change;
    const PlayerLineFields fields = splitPlayerLine(line);
    firstName_->setText(fromCp1250(fields.firstName));
    surname_->setText(fromCp1250(fields.surname));
    birthDate_->setText(fromCp1250(fields.birthDate));
    regNumber_->setText(fromCp1250(fields.regNumber));
    note_->setPlainText(fromCp1250(fields.note));
    bringToFront();
}

void TForm_hrac::bringToFront() {
    hide();
    show();
    raise();
    activateWindow();
}

void TForm_hrac::accept() {
    PlayerLineFields fields;
    fields.regNumber = toCp1250(regNumber_->text());
    fields.surname = toCp1250(surname_->text());
    fields.firstName = toCp1250(firstName_->text());
    fields.birthDate = toCp1250(birthDate_->text());
    fields.note = toCp1250(note_->toPlainText());
    emit applied(mode_, composePlayerLine(fields));
    QDialog::accept();
}

} // namespace kuzelna
