#pragma once

// Nothing of a match is lost: its journal in the working folder, resuming an
// unfinished one at start-up, the archive of finished matches and the menu
// "Utkání" that opens a stored match or exports the one shown.
//
// Use (main, before the lane link starts):
//     MatchKeeper keeper(state, workFolder, archiveFolder);
//     keeper.takeOverJournal(MatchKeeper::Resume::Ask, askTheOperator);
//     keeper.attach(server);           // frames, fsync before a send, the end of the match
//     keeper.attachWindows(windows);   // operator changes, menu "Utkání"
// The journal file is created when the match first changes (a set-up, a
// frame); a run that changes nothing leaves no journal behind.

#include "core/journal_file.h"
#include "core/match_journal.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QWidget;

namespace kuzelna {

struct MatchState;
class LaneServer;
class WindowSet;

// "Pokračovat v rozehraném utkání?" with "Ano" and "Ne"; true for "Ano".
// `notice` tells what of the journal cannot be read.
bool askToResume(QWidget* parent, const QString& notice = {});

class MatchKeeper : public QObject {
    Q_OBJECT
public:
    MatchKeeper(MatchState& state, const QString& workFolder, const QString& archiveFolder,
                QObject* parent = nullptr);
    ~MatchKeeper() override;

    enum class Resume { Ask, Yes, No };
    // The working folder holds the journal of a match that has not ended: ask
    // before the windows start working, then takeOverJournal with the answer.
    bool hasUnfinishedJournal() const;
    // Where the journal stops being readable and how much is left out; empty
    // when it reads to its end.
    QString resumeNotice() const;
    // An unfinished journal in the working folder is replayed into the state
    // (Yes, or Ask and `ask` answers "Ano") or moved into the archive; a
    // finished one is archived. True when a match was resumed.
    bool takeOverJournal(Resume mode, const std::function<bool()>& ask);

    void attach(LaneServer& server);
    void attachWindows(WindowSet& windows);

    // Writes what the operator changed and commits it; retries a failed write.
    void sync();

    // Shows a stored match read-only instead of the one on the lanes: the
    // journal of the running match is closed as it stands and the lane link
    // is switched off.
    void openStored(const QString& journalPath);
    // Writes the match export of the match shown.
    void exportMatch(const QString& path) const;

    QString journalPath() const;
    QString archiveFolder() const { return archiveFolder_; }
    // The journal last moved into the archive (empty when none).
    QString lastArchived() const { return lastArchived_; }
    bool writing() const { return !failing_; }

    // The file dialogs of the menu "Utkání"; tests put their own here.
    std::function<QString()> chooseStoredMatch;
    std::function<QString()> chooseExportPath;

signals:
    void archived(const QString& journalPath);
    void storedMatchOpened(const QString& name);

private:
    void frame(int lane, const LaneStatus& status);
    void commit();
    void openJournal();
    void finishMatch();
    QString archiveJournal(const QString& path, const JournalReading& reading);
    void writeExport(const MatchState& state, const QString& path) const;
    void say(const QString& status, const QString& line);
    void tellCut(const QString& path, const JournalReading& reading);
    void keepUnreadCopy(const QString& path, const JournalReading& reading);

    MatchState& state_;
    QString workFolder_;
    QString archiveFolder_;
    JournalFile file_;
    std::unique_ptr<JournalRecorder> probe_;    // notices the first change before the journal exists
    std::unique_ptr<JournalRecorder> recorder_; // set once the journal exists
    LaneServer* server_ = nullptr;
    WindowSet* windows_ = nullptr;
    QTimer syncTimer_;
    bool failing_ = false;
    bool showingStored_ = false;
    bool archivedThisMatch_ = false; // later changes (corrections after "konec") go to the archived journal
    QString lastArchived_;
};

} // namespace kuzelna
