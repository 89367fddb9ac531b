#pragma once

// "Hráči - úprava": the registry tree of clubs, teams and players, and the two
// line-ups picked from it. The window only edits and shows; the rules live in
// the registry engine (registry_file, registry_edits, lineups).

#include "core/match_state.h"
#include "registry/lineups.h"
#include "registry/registry_edits.h"
#include "registry/registry_tree.h"

#include <QCollator>
#include <QWidget>

#include <exception>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace kuzelna {

class NameNoteDialog;
class TForm_hrac;

class THraci_main : public QWidget {
    Q_OBJECT
public:
    // Receives an error raised by a handler of the window (reading or writing
    // Hraci.dtb); the handler that raised it ends there.
    using ErrorHandler = std::function<void(const std::exception&)>;

    // Loads Hraci.dtb from the current directory.
    explicit THraci_main(MatchState& state, ErrorHandler onError = {}, QWidget* parent = nullptr);

    // The dialogs are created after the window; their OK edits this window's tree.
    void attachDialogs(NameNoteDialog* clubDialog, NameNoteDialog* teamDialog, TForm_hrac* playerDialog);

    // OK: line-ups into the player slots, captions handed on, file written, window hidden.
    // A registry that did not read whole is never written over: OK then asks
    // for a new file (chooseNewFile) and saves there from then on.
    void confirm();
    // "Storno": hides the window; after a failed save it first says that the
    // edits are not saved and stays open.
    void cancel();
    // Whether "Storno" would warn first instead of hiding the window.
    bool cancelWouldWarn() const { return saveFailed_ && unsaved_ && !cancelWarned_; }

    // Asked when OK would write over a file that did not read whole; gets the
    // reason (Windows-1250) and answers the path of a new file, empty for none.
    // Empty: a question and a file dialog.
    std::function<std::string(const std::string& reason)> chooseNewFile;

    // Why Hraci.dtb may not be written over (Windows-1250), empty when it read whole.
    const std::string& incompleteReason() const { return incompleteReason_; }
    // Where OK saves the registry.
    std::string savePath() const;
    // Edits of the tree not yet in a file.
    bool unsavedEdits() const { return unsaved_; }
    // Shows or hides the window (the main window's "Hráči").
    void toggle();

    RegistryTree& tree() { return tree_; }
    RegistryNode* currentNode() const { return current_; }
    LineupSide activeSide() const { return activeSide_; }
    bool sideHighlighted() const { return highlighted_; }
    const std::string& lastError() const { return lastError_; }

    QTreeWidget* treeView() const { return treeView_; }
    QTreeWidgetItem* itemOf(const RegistryNode* node) const;
    QTableWidget* grid(LineupSide side) const;
    QLabel* panelTitle(LineupSide side) const;
    QWidget* panel(LineupSide side) const;
    QMenu* popupMenu() const { return popup_; }
    QAction* newClubAction() const { return newClub_; }
    QAction* newTeamAction() const { return newTeam_; }
    QAction* newPlayerAction() const { return newPlayer_; }
    QAction* deleteAction() const { return delete_; }
    QAction* changeAction() const { return change_; }
    QAction* moveAction() const { return move_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    // Registry lines (Windows-1250) of player slots 1..16, after every confirmation.
    void playerCaptionsChanged(const std::vector<std::string>& registryLines);
    // The line-ups were loaded into the player slots.
    void lineupsConfirmed();
    // A team title or team name of the match state changed.
    void teamNamesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing by the window frame is "Storno".
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTreeView();
    QWidget* buildLineupPanel(LineupSide side);
    void buildPopupMenu();
    void rebuildTree();
    void refreshLineups();
    void setActiveSide(LineupSide side);
    void showHighlight();
    void addCurrentToLineup();
    void removeAt(LineupSide side, int row);
    void applyDialog(NodeKind kind, DialogMode mode, const std::string& line);
    void openChangeDialog();
    void deleteCurrent();
    bool lineLess(const std::string& a, const std::string& b) const;
    void report(const std::exception& error);
    bool save();
    std::string askForNewFile();

    MatchState& state_;
    ErrorHandler onError_;
    RegistryTree tree_;
    RegistryNode* current_ = nullptr;
    LineupSide activeSide_ = LineupSide::Guest;
    bool highlighted_ = false;
    std::string lastError_;
    std::string incompleteReason_;
    std::string newFilePath_; // chosen after an incomplete read; saves go there
    bool unsaved_ = false;
    bool saveFailed_ = false;
    bool cancelWarned_ = false;
    QCollator collator_;

    NameNoteDialog* clubDialog_ = nullptr;
    NameNoteDialog* teamDialog_ = nullptr;
    TForm_hrac* playerDialog_ = nullptr;

    QTreeWidget* treeView_ = nullptr;
    QWidget* homePanel_ = nullptr;
    QWidget* guestPanel_ = nullptr;
    QLabel* homeTitle_ = nullptr;
    QLabel* guestTitle_ = nullptr;
    QTableWidget* homeGrid_ = nullptr;
    QTableWidget* guestGrid_ = nullptr;
    QMenu* popup_ = nullptr;
    QAction* newClub_ = nullptr;
    QAction* newTeam_ = nullptr;
    QAction* newPlayer_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* change_ = nullptr;
    QAction* move_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace kuzelna
