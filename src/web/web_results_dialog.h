#pragma once

// "Utkání" → "Webové výsledky…": where phones and the hall's TV find the live
// results page, as text and as a QR code, and how publishing goes.

#include <QDialog>

class QComboBox;
class QLabel;

namespace kuzelna {

class TForm1;
class WebResults;

class WebResultsDialog : public QDialog {
    Q_OBJECT
public:
    WebResultsDialog(WebResults& web, QWidget* parent = nullptr);

    // Reads the addresses and states again (on every opening).
    void refresh();
    void open() override;

private:
    void showCode();

    WebResults& web_;
    QLabel* state_ = nullptr;
    QComboBox* addresses_ = nullptr;
    QLabel* code_ = nullptr;
    QLabel* publishing_ = nullptr;
};

// Adds "Webové výsledky…" to the console's "Utkání" menu, and the web's status
// lines to the console's status line.
void installWebResultsMenu(TForm1& window, WebResults& web);

} // namespace kuzelna
