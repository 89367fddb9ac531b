#pragma once

// "Nápověda": what the program does, its version, where its files are and the
// keyboard shortcuts. "Změny": the list of changes (CHANGELOG.md, built in).

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace kuzelna {

struct MatchState;

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(const MatchState& state, QWidget* parent = nullptr);

    // Fills the text anew (the folders may have changed since) and brings the
    // window to the front.
    void open();

    QString text() const;

private:
    const MatchState& state_;
    QTextBrowser* browser_ = nullptr;
};

class ChangesWindow : public QWidget {
    Q_OBJECT

public:
    explicit ChangesWindow(QWidget* parent = nullptr);

    void open();

    QString text() const;

private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace kuzelna
