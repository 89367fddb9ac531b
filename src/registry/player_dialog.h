#pragma once

// The player dialog ("Hráč - informace"): first name, surname, date of birth,
// registration number and a note, composed into one player line on OK.

#include "registry/registry_edits.h"

#include <QDialog>

#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kuzelna {

class TForm_hrac : public QDialog {
    Q_OBJECT
public:
    explicit TForm_hrac(QWidget* parent = nullptr);

    DialogMode mode() const { return mode_; }

    // Empty fields and the default date of birth, mode new.
    void openNew();
    // Fields from the line, mode change.
    void openChange(const std::string& line);

    QLineEdit* firstNameEdit() const { return firstName_; }
    QLineEdit* surnameEdit() const { return surname_; }
    QLineEdit* birthDateEdit() const { return birthDate_; }
    QLineEdit* regNumberEdit() const { return regNumber_; }
    QPlainTextEdit* noteEdit() const { return note_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void applied(kuzelna::DialogMode mode, const std::string& line);

private:
    void bringToFront();
    void accept() override;

    DialogMode mode_ = DialogMode::New;
    QLineEdit* firstName_;
    QLineEdit* surname_;
    QLineEdit* birthDate_;
    QLineEdit* regNumber_;
    QPlainTextEdit* note_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace kuzelna
