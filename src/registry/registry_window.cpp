#include "registry/registry_window.h"

#include "core/cp1250.h"
#include "core/errors.h"
#include "core/text_qt.h"
#include "registry/name_note_dialog.h"
#include "registry/player_dialog.h"
#include "registry/registry_file.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <set>

namespace kuzelna {
namespace {

// Wide enough for the two-digit places 10 .. 30.
constexpr int kNumberColumnWidth = 30;
constexpr int kLineColumnWidth = 297;
constexpr int kRowHeight = 23;
constexpr int kTreeIndent = 19;

RegistryNode* nodeOf(const QTreeWidgetItem* item) {
    return item ? reinterpret_cast<RegistryNode*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

} // namespace

THraci_main::THraci_main(MatchState& state, ErrorHandler onError, QWidget* parent)
    : QWidget(parent), state_(state), onError_(std::move(onError)) {
    setWindowTitle(QStringLiteral("Hráči - úprava"));
    collator_.setCaseSensitivity(Qt::CaseSensitive);

    buildTreeView();
    buildPopupMenu();
    homePanel_ = buildLineupPanel(LineupSide::Home);
    guestPanel_ = buildLineupPanel(LineupSide::Guest);

    ok_ = new QPushButton(QStringLiteral("OK"));
    cancel_ = new QPushButton(QStringLiteral("Storno"));
    connect(ok_, &QPushButton::clicked, this, &THraci_main::confirm);
    connect(cancel_, &QPushButton::clicked, this, &THraci_main::cancel);

    auto* lineups = new QHBoxLayout;
    lineups->addWidget(homePanel_);
    lineups->addWidget(guestPanel_);
    auto* top = new QHBoxLayout;
    top->addWidget(treeView_);
    top->addLayout(lineups, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Nápověda")));
    bottom->addStretch();
    bottom->addWidget(ok_);
    bottom->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(1040, 600);

    refreshLineups();
    const std::string path = registryPath();
    try {
        loadRegistry(path, tree_);
        rebuildTree();
        setActiveSide(LineupSide::Home);
    } catch (const RegistryError& error) {
        // What was read before a level error is shown; the side stays unset.
        rebuildTree();
        if (!error.fileHoldsMore()) {
            report(error); // no file yet: an empty registry, as on a new alley
            return;
        }
        // The rest of the file exists only on the disk: say so once, and
        // never write the shorter tree over it.
        std::string where = path;
        if (error.line() > 0) where += cp1250::fromUtf8(", řádek ") + std::to_string(error.line());
        std::string cause = error.what();
        if (!error.cause().empty()) cause += ": " + error.cause();
        incompleteReason_ = where + ": " + cause;
        const OperatorError notice(
            cp1250::fromUtf8("Seznam hráčů nebyl načten celý (") + incompleteReason_ +
                cp1250::fromUtf8("). Soubor se nepřepíše; OK nabídne uložení do nového souboru."),
            cp1250::fromUtf8("Hraci.dtb neúplný"), true);
        report(notice);
        lastError_ = error.what();
    }
}

void THraci_main::buildTreeView() {
    treeView_ = new QTreeWidget;
    treeView_->setObjectName("registryTree");
    treeView_->setHeaderHidden(true);
    treeView_->setColumnCount(1);
    treeView_->setIndentation(kTreeIndent);
    treeView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeView_->setMouseTracking(true); // hot tracking
    treeView_->setExpandsOnDoubleClick(true);
    treeView_->setToolTip(QStringLiteral("Více funkcí získáte pravým stiskem tlačítka myši"));
    treeView_->setMinimumWidth(300);
    treeView_->viewport()->installEventFilter(this);
}

QWidget* THraci_main::buildLineupPanel(LineupSide side) {
    const bool home = side == LineupSide::Home;
    auto* panel = new QFrame;
    panel->setObjectName(home ? "homePanel" : "guestPanel");
    panel->setFrameShape(QFrame::StyledPanel);
    auto* title = new QLabel;
    title->setObjectName(home ? "homeTitle" : "guestTitle");
    auto* grid = new QTableWidget(kLineupPlaces, 2);
    grid->setObjectName(home ? "homeGrid" : "guestGrid");
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setColumnWidth(0, kNumberColumnWidth);
    grid->setColumnWidth(1, kLineColumnWidth);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setToolTip(QStringLiteral("Kliknutim smažete posledního hráče"));
    grid->setMinimumWidth(kNumberColumnWidth + kLineColumnWidth + 24);
    for (int row = 0; row < kLineupPlaces; ++row) {
        for (int column = 0; column < 2; ++column)
            grid->setItem(row, column, new QTableWidgetItem);
    }
    grid->viewport()->installEventFilter(this);
    // A cell selected from the keyboard makes the side active as a click does.
    connect(grid, &QTableWidget::currentCellChanged, this, [this, side](int row) {
        if (row >= 0) setActiveSide(side);
    });
    panel->installEventFilter(this);
    title->installEventFilter(this);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(title);
    layout->addWidget(grid, 1);
    (home ? homeTitle_ : guestTitle_) = title;
    (home ? homeGrid_ : guestGrid_) = grid;
    return panel;
}

void THraci_main::buildPopupMenu() {
    popup_ = new QMenu(this);
    QMenu* newMenu = popup_->addMenu(QStringLiteral("Nový"));
    newClub_ = newMenu->addAction(QStringLiteral("Oddíl"));
    newTeam_ = newMenu->addAction(QStringLiteral("Družstvo"));
    newPlayer_ = newMenu->addAction(QStringLiteral("Hráč"));
    delete_ = popup_->addAction(QStringLiteral("Smazat "));
    change_ = popup_->addAction(QStringLiteral("Změnit"));
    move_ = popup_->addAction(QStringLiteral("Přesunout")); // offered, does nothing

    connect(newClub_, &QAction::triggered, this, [this] {
        if (clubDialog_) clubDialog_->openNew();
    });
    connect(newTeam_, &QAction::triggered, this, [this] {
        if (teamDialog_ && current_ && current_->level() <= static_cast<int>(NodeKind::Team))
            teamDialog_->openNew();
    });
    connect(newPlayer_, &QAction::triggered, this, [this] {
        const int level = current_ ? current_->level() : -1;
        if (playerDialog_ &&
            (level == static_cast<int>(NodeKind::Team) || level == static_cast<int>(NodeKind::Player)))
            playerDialog_->openNew();
    });
    connect(delete_, &QAction::triggered, this, &THraci_main::deleteCurrent);
    connect(change_, &QAction::triggered, this, &THraci_main::openChangeDialog);
}

void THraci_main::attachDialogs(NameNoteDialog* clubDialog, NameNoteDialog* teamDialog,
                                   TForm_hrac* playerDialog) {
    clubDialog_ = clubDialog;
    teamDialog_ = teamDialog;
    playerDialog_ = playerDialog;
    if (clubDialog_) {
        connect(
            clubDialog_, &NameNoteDialog::applied, this,
            [this](DialogMode mode, const std::string& line) { applyDialog(NodeKind::Club, mode, line); });
    }
    if (teamDialog_) {
        connect(
            teamDialog_, &NameNoteDialog::applied, this,
            [this](DialogMode mode, const std::string& line) { applyDialog(NodeKind::Team, mode, line); });
    }
    if (playerDialog_) {
        connect(
            playerDialog_, &TForm_hrac::applied, this,
            [this](DialogMode mode, const std::string& line) { applyDialog(NodeKind::Player, mode, line); });
    }
}

QTreeWidgetItem* THraci_main::itemOf(const RegistryNode* node) const {
    if (!node) return nullptr;
    for (QTreeWidgetItemIterator it(treeView_); *it; ++it) {
        if (nodeOf(*it) == node) return *it;
    }
    return nullptr;
}

QTableWidget* THraci_main::grid(LineupSide side) const {
    return side == LineupSide::Home ? homeGrid_ : guestGrid_;
}

QLabel* THraci_main::panelTitle(LineupSide side) const {
    return side == LineupSide::Home ? homeTitle_ : guestTitle_;
}

QWidget* THraci_main::panel(LineupSide side) const {
    return side == LineupSide::Home ? homePanel_ : guestPanel_;
}

void THraci_main::rebuildTree() {
    std::set<const RegistryNode*> expanded;
    for (QTreeWidgetItemIterator it(treeView_); *it; ++it) {
        if ((*it)->isExpanded()) expanded.insert(nodeOf(*it));
    }
    treeView_->clear();

    std::function<void(const RegistryNode&, QTreeWidgetItem*)> addItems = [&](const RegistryNode& node,
                                                                              QTreeWidgetItem* item) {
        item->setText(0, fromCp1250(node.line));
        item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
        for (const auto& child : node.children)
            addItems(*child, new QTreeWidgetItem(item));
    };
    for (const auto& root : tree_.roots())
        addItems(*root, new QTreeWidgetItem(treeView_));

    for (QTreeWidgetItemIterator it(treeView_); *it; ++it) {
        if (expanded.count(nodeOf(*it))) (*it)->setExpanded(true);
    }
    if (QTreeWidgetItem* item = itemOf(current_)) treeView_->setCurrentItem(item);
}

void THraci_main::refreshLineups() {
    homeTitle_->setText(fromCp1250(state_.homeTeamTitle));
    guestTitle_->setText(fromCp1250(state_.guestTeamTitle));
    for (LineupSide side : {LineupSide::Home, LineupSide::Guest}) {
        QTableWidget* table = grid(side);
        for (int row = 0; row < kLineupPlaces; ++row) {
            for (int column = 0; column < 2; ++column)
                table->item(row, column)->setText(fromCp1250(lineupCellText(state_, side, row, column)));
        }
    }
}

void THraci_main::setActiveSide(LineupSide side) {
    activeSide_ = side;
    highlighted_ = true;
    showHighlight();
}

void THraci_main::showHighlight() {
    for (LineupSide side : {LineupSide::Home, LineupSide::Guest}) {
        QLabel* title = panelTitle(side);
        QPalette palette = this->palette();
        if (highlighted_ && side == activeSide_) palette.setColor(QPalette::WindowText, Qt::red);
        title->setPalette(palette);
    }
}

void THraci_main::addCurrentToLineup() {
    const std::string homeName = state_.homeTeamName, guestName = state_.guestTeamName;
    const std::string homeTitle = state_.homeTeamTitle, guestTitle = state_.guestTeamTitle;
    const LineupSide before = activeSide_;
    addToLineup(state_, activeSide_, current_);
    if (activeSide_ != before) setActiveSide(activeSide_);
    refreshLineups();
    if (homeName != state_.homeTeamName || guestName != state_.guestTeamName ||
        homeTitle != state_.homeTeamTitle || guestTitle != state_.guestTeamTitle)
        emit teamNamesChanged();
}

void THraci_main::removeAt(LineupSide side, int row) {
    removeFromLineup(state_, side, row);
    refreshLineups();
}

bool THraci_main::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pos = mouse->position().toPoint();

    if (watched == treeView_->viewport()) {
        if (type == QEvent::MouseButtonDblClick) {
            // Only a double click of the left button adds a player.
            if (mouse->button() == Qt::LeftButton) addCurrentToLineup();
        } else {
            if (QTreeWidgetItem* item = treeView_->itemAt(pos)) {
                current_ = nodeOf(item);
                treeView_->setCurrentItem(item);
            }
            if (mouse->button() == Qt::RightButton) {
                popup_->popup(treeView_->viewport()->mapToGlobal(pos));
                return true;
            }
        }
        return false;
    }
    for (LineupSide side : {LineupSide::Home, LineupSide::Guest}) {
        QTableWidget* table = grid(side);
        if (watched == table->viewport()) {
            if (type == QEvent::MouseButtonPress) {
                const int row = table->rowAt(pos.y());
                if (row >= 0) {
                    removeAt(side, row);
                    setActiveSide(side);
                }
            }
            return false;
        }
        if (type == QEvent::MouseButtonPress && (watched == panel(side) || watched == panelTitle(side))) {
            setActiveSide(side);
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool THraci_main::lineLess(const std::string& a, const std::string& b) const {
    return collator_.compare(fromCp1250(a), fromCp1250(b)) < 0;
}

void THraci_main::applyDialog(NodeKind kind, DialogMode mode, const std::string& line) {
    RegistryNode* added = nullptr;
    unsaved_ = true;
    if (mode == DialogMode::Change) {
        changeLine(tree_, current_, line,
                   [this](const std::string& a, const std::string& b) { return lineLess(a, b); });
    } else if (kind == NodeKind::Club) {
        added = addClub(tree_, line);
    } else if (kind == NodeKind::Team) {
        added = addTeam(tree_, current_, line);
    } else {
        added = addPlayer(tree_, current_, line);
    }
    rebuildTree();
    // A new node is shown even below a collapsed parent.
    if (QTreeWidgetItem* item = itemOf(added)) {
        for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
            parent->setExpanded(true);
    }
}

void THraci_main::openChangeDialog() {
    NodeKind kind{};
    if (!current_ || !kindOfNode(*current_, kind)) return;
    if (kind == NodeKind::Club && clubDialog_) clubDialog_->openChange(current_->line);
    if (kind == NodeKind::Team && teamDialog_) teamDialog_->openChange(current_->line);
    if (kind == NodeKind::Player && playerDialog_) playerDialog_->openChange(current_->line);
}

void THraci_main::deleteCurrent() {
    if (!current_) return;
    unsaved_ = true;
    tree_.remove(current_);
    current_ = nullptr;
    rebuildTree();
}

void THraci_main::confirm() {
    loadLineupsIntoSlots(state_);
    emit lineupsConfirmed();
    emit playerCaptionsChanged(playerCaptions(state_));
    if (!incompleteReason_.empty() && newFilePath_.empty()) {
        const std::string chosen = chooseNewFile ? chooseNewFile(incompleteReason_) : askForNewFile();
        if (chosen.empty()) return; // nothing written; the window stays open
        newFilePath_ = chosen;
    }
    if (!save()) return; // the line-ups are in the slots already; the window stays open
    hide();
}

std::string THraci_main::askForNewFile() {
    const QString question =
        QStringLiteral("Seznam hráčů nebyl načten celý (%1), proto se soubor Hraci.dtb nepřepíše.\n\n"
                       "Uložit seznam do nového souboru?")
            .arg(fromCp1250(incompleteReason_));
    if (QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return {};
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Uložit seznam hráčů do nového souboru"), QStringLiteral("Hraci_novy.dtb"));
    return path.isEmpty() ? std::string() : QFile::encodeName(path).toStdString();
}

void THraci_main::closeEvent(QCloseEvent* event) {
    if (!cancelWouldWarn()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    cancel();
}

void THraci_main::cancel() {
    if (cancelWouldWarn()) {
        cancelWarned_ = true;
        report(OperatorError(cp1250::fromUtf8("Změny seznamu hráčů nejsou uloženy v žádném souboru. "
                                              "Uložte je tlačítkem OK, až bude kam; dalším Storno "
                                              "okno zavřete a změny zůstanou jen v programu."),
                             cp1250::fromUtf8("Hráči neuloženi"), true));
        return;
    }
    hide();
}

std::string THraci_main::savePath() const {
    return newFilePath_.empty() ? registryPath() : newFilePath_;
}

bool THraci_main::save() {
    const std::string path = savePath();
    try {
        saveRegistry(tree_, path);
    } catch (const RegistryError& error) {
        saveFailed_ = true;
        cancelWarned_ = false;
        const std::string cause = error.cause().empty() ? std::string() : " (" + error.cause() + ")";
        report(OperatorError(cp1250::fromUtf8("Seznam hráčů se nepodařilo uložit do ") + path + cause +
                                 cp1250::fromUtf8(". Předchozí soubor zůstal beze změny; změny jsou jen "
                                                  "v programu. Uvolněte místo nebo povolte zápis a "
                                                  "stiskněte OK znovu."),
                             cp1250::fromUtf8("Hraci.dtb neuložen"), true));
        lastError_ = error.what();
        return false;
    }
    saveFailed_ = false;
    unsaved_ = false;
    return true;
}

void THraci_main::toggle() {
    setVisible(!isVisible());
}

void THraci_main::report(const std::exception& error) {
    lastError_ = error.what();
    if (onError_) onError_(error);
}

} // namespace kuzelna
