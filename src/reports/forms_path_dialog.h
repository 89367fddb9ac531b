#pragma once

// "Cesta k formulářům": the folder into which the match reports are saved.

#include <QDialog>

#include <functional>

class QLineEdit;

namespace kuzelna {

struct MatchState;

class Tformular_cesta : public QDialog {
    Q_OBJECT
public:
    // `chooseFolder` asks for a folder and gives "" when the operator cancels;
    // by default the folder-browsing dialog "Adresář pro uložení formulářů".
    explicit Tformular_cesta(MatchState& state, QWidget* parent = nullptr,
                             std::function<QString(QWidget*)> chooseFolder = {});

    // Menu "Nastavení" → "Cesta k formulářům": filled from the match state every
    // time, then brought to the front.
    void open();

    QLineEdit* pathEdit() const { return path_; }

private:
    void browse();
    void save();

    MatchState& state_;
    std::function<QString(QWidget*)> chooseFolder_;
    QLineEdit* path_;
};

} // namespace kuzelna
