#pragma once

// The club dialog ("Jméno oddílu") and the team dialog ("Jméno družstva"): a
// name and a note, composed into one registry line on OK.

#include "registry/registry_edits.h"

#include <QDialog>

#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kuzelna {

class NameNoteDialog : public QDialog {
    Q_OBJECT
public:
    // `kind` is NodeKind::Club or NodeKind::Team.
    explicit NameNoteDialog(NodeKind kind, QWidget* parent = nullptr);

    NodeKind kind() const { return kind_; }
    DialogMode mode() const { return mode_; }

    // Empty fields, mode new.
    void openNew();
    // Fields from the line, mode change.
    void openChange(const std::string& line);

    QLineEdit* nameEdit() const { return name_; }
    QPlainTextEdit* noteEdit() const { return note_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    // OK was pressed: the composed line (Windows-1250) and the mode it was opened in.
    void applied(kuzelna::DialogMode mode, const std::string& line);

private:
    void bringToFront();
    void accept() override;

    NodeKind kind_;
    DialogMode mode_ = DialogMode::New;
    QLineEdit* name_;
    QPlainTextEdit* note_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace kuzelna
