#include "registry/name_note_dialog.h"

#include "core/text_qt.h"
#include "registry/registry_lines.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kuzelna {

NameNoteDialog::NameNoteDialog(NodeKind kind, QWidget* parent)
    : QDialog(parent), kind_(kind), name_(new QLineEdit), note_(new QPlainTextEdit),
      ok_(new QPushButton("OK")), cancel_(new QPushButton("Storno")) {
    setWindowTitle(kind == NodeKind::Club ? QStringLiteral("Jméno oddílu")
                                          : QStringLiteral("Jméno družstva"));
    setModal(false);
    name_->setObjectName("name");
    note_->setObjectName("note");
    note_->setFixedHeight(80);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Název"), name_);
    fields->addRow(QStringLiteral("Poznámka"), note_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(320, 180);

    connect(ok_, &QPushButton::clicked, this, &NameNoteDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void NameNoteDialog::openNew() {
    mode_ = DialogMode::New;
    name_->clear();
    note_->clear();
    bringToFront();
}

void NameNoteDialog::openChange(const std::string& line) {
    mode_ = DialogMode::Change;
    const TeamLineFields fields = splitTeamLine(line);
    name_->setText(fromCp1250(fields.name));
    note_->setPlainText(fromCp1250(fields.note));
    bringToFront();
}

void NameNoteDialog::bringToFront() {
    hide();
    show();
    raise();
    activateWindow();
}

void NameNoteDialog::accept() {
    const std::string line = composeTeamLine(toCp1250(name_->text()), toCp1250(note_->toPlainText()));
    emit applied(mode_, line);
    QDialog::accept();
}

} // namespace kuzelna
