#include "console/match_keeper_qt.h"

#include "aids/manual_team_names_window.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/file_replace.h"
#include "core/ini_file.h"
#include "core/match_archive.h"
#include "core/match_state.h"
#include "core/startup.h"
#include "core/text_qt.h"
#include "lanes/lane_link.h"
#include "lanes/lane_server_qt.h"
#include "registry/registry_window.h"
#include "reports/match_json.h"
#include "reports/overview_window.h"
#include "reports/throw_correction_dialog.h"
#include "scoring/kind_of_game_dialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <stdexcept>

namespace kuzelna {
namespace {

constexpr int kSyncMs = 500; // operator changes reach the disk within this

QByteArray readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

JournalReading readJournalFile(const QString& path) {
    const QByteArray bytes = readWhole(path);
    return readJournal(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// A start-up state of this program, for a match rebuilt apart from the live one.
std::unique_ptr<MatchState> freshState(const MatchState& live) {
    auto fresh = std::make_unique<MatchState>();
    IniFile ini;
    ini.load(kIniFileName);
    initialiseMatchState(*fresh, ini, QDir::currentPath().toStdString());
    fresh->controls = live.controls;
    fresh->controls.tandem = false;
    return fresh;
}

QString freeName(const QDir& folder, const QString& base, const QString& suffix) {
    QString name = base + suffix;
    for (int n = 2; folder.exists(name); ++n)
        name = base + "-" + QString::number(n) + suffix;
    return folder.filePath(name);
}

} // namespace

bool askToResume(QWidget* parent) {
    QMessageBox question(QMessageBox::Question, QStringLiteral("Server - Domácí Hoste"),
                         QStringLiteral("Pokračovat v rozehraném utkání?"), QMessageBox::NoButton, parent);
    QPushButton* yes = question.addButton(QStringLiteral("Ano"), QMessageBox::YesRole);
    question.addButton(QStringLiteral("Ne"), QMessageBox::NoRole);
    question.setDefaultButton(yes);
    question.exec();
    return question.clickedButton() == yes;
}

MatchKeeper::MatchKeeper(MatchState& state, const QString& workFolder, const QString& archiveFolder,
                         QObject* parent)
    : QObject(parent), state_(state), workFolder_(workFolder),
      archiveFolder_(QDir(workFolder).absoluteFilePath(archiveFolder)),
      file_(QDir(workFolder).filePath(QString::fromLatin1(kJournalFileName)).toStdString()) {
    connect(&syncTimer_, &QTimer::timeout, this, &MatchKeeper::sync);
    syncTimer_.start(kSyncMs);
}

MatchKeeper::~MatchKeeper() {
    if (recorder_ && !showingStored_) {
        file_.append(recorder_->sync(state_));
        file_.commit();
    }
}

QString MatchKeeper::journalPath() const {
    return QString::fromStdString(file_.path());
}

bool MatchKeeper::hasUnfinishedJournal() const {
    if (!QFileInfo::exists(journalPath())) return false;
    const JournalReading reading = readJournalFile(journalPath());
    return reading.problem.empty() && !reading.finished;
}

bool MatchKeeper::takeOverJournal(Resume mode, const std::function<bool()>& ask) {
    const QString path = journalPath();
    if (QFileInfo::exists(path)) {
        const JournalReading reading = readJournalFile(path);
        if (!reading.problem.empty()) {
            say({}, QStringLiteral("%1 is no match journal (%2); it is moved into the archive")
                        .arg(path, QString::fromStdString(reading.problem)));
            archiveJournal(path, reading);
        } else if (reading.finished) {
            archiveJournal(path, reading);
        } else if (mode == Resume::Yes || (mode == Resume::Ask && ask && ask())) {
            replayJournal(state_, reading);
            file_.resume(reading.validBytes);
            recorder_ = std::make_unique<JournalRecorder>(state_, reading.records.size());
            return true;
        } else {
            archiveJournal(path, reading);
        }
    }
    probe_ = std::make_unique<JournalRecorder>(state_, 0);
    return false;
}

void MatchKeeper::attach(LaneServer& server) {
    server_ = &server;
    server.link().beforeRecording = [this](int lane, const LaneStatus& status) { frame(lane, status); };
    server.beforeSend = [this] { commit(); };
    connect(&server, &LaneServer::matchEnded, this, &MatchKeeper::finishMatch);
}

void MatchKeeper::attachWindows(WindowSet& windows) {
    windows_ = &windows;
    TForm1& main = windows.mainWindow();
    connect(&windows.kindOfGame(), &KindOfGameDialog::applied, this, &MatchKeeper::sync);
    connect(&windows.registry(), &THraci_main::lineupsConfirmed, this, &MatchKeeper::sync);
    connect(&windows.registry(), &THraci_main::teamNamesChanged, this, &MatchKeeper::sync);
    connect(&windows.manualTeamNames(), &TForm_manual_druzstva::saved, this, &MatchKeeper::sync);
    connect(&windows.throwCorrection(), &TZmena_hodu::throwCorrected, this, &MatchKeeper::sync);

    QMenu* menu = main.matchMenu();
    connect(menu->addAction(QStringLiteral("Otevřít uložené utkání…")), &QAction::triggered, this, [this] {
        const QString path =
            chooseStoredMatch
                ? chooseStoredMatch()
                : QFileDialog::getOpenFileName(&windows_->mainWindow(), QStringLiteral("Uložené utkání"),
                                               archiveFolder_, QStringLiteral("Utkání (*.jrn)"));
        if (!path.isEmpty()) openStored(path);
    });
    connect(menu->addAction(QStringLiteral("Exportovat utkání…")), &QAction::triggered, this, [this] {
        const QString path =
            chooseExportPath
                ? chooseExportPath()
                : QFileDialog::getSaveFileName(&windows_->mainWindow(), QStringLiteral("Export utkání"),
                                               workFolder_, QStringLiteral("JSON (*.json)"));
        if (!path.isEmpty()) exportMatch(path);
    });
}

void MatchKeeper::openJournal() {
    const std::string created =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    recorder_ = std::make_unique<JournalRecorder>(created);
    probe_.reset();
    archivedThisMatch_ = false;
}

void MatchKeeper::frame(int lane, const LaneStatus& status) {
    if (showingStored_) return;
    if (!recorder_) openJournal();
    file_.append(recorder_->frame(state_, lane, status));
}

void MatchKeeper::sync() {
    if (showingStored_) return;
    if (!recorder_) {
        if (!probe_ || probe_->sync(state_).empty()) return;
        openJournal();
    }
    const std::string records = recorder_->sync(state_);
    file_.append(records);
    commit();
    if (recorder_->ended() && !file_.pending() && !archivedThisMatch_) finishMatch();
    if (archivedThisMatch_ && !records.empty() && !file_.pending()) {
        // A correction after the end: the archive's export follows its journal.
        try {
            writeExport(state_, lastArchived_.chopped(4) + QStringLiteral(".json"));
        } catch (const std::exception& error) {
            say({}, QString::fromStdString(error.what()));
        }
    }
}

void MatchKeeper::commit() {
    if (!file_.pending()) return;
    if (file_.commit()) {
        if (failing_) {
            failing_ = false;
            say(QStringLiteral("Žurnál zapsán"),
                QStringLiteral("the match journal is complete on the disk again (%1 bytes)")
                    .arg(file_.durableBytes()));
        }
    } else if (!failing_) {
        failing_ = true;
        say(QStringLiteral("Žurnál nelze zapsat"),
            QStringLiteral("the match journal cannot be written (%1); the match goes on in memory and the "
                           "journal is written as soon as it can be")
                .arg(QString::fromStdString(file_.lastError())));
    }
}

void MatchKeeper::finishMatch() {
    if (showingStored_ || !recorder_ || archivedThisMatch_) return;
    file_.append(recorder_->sync(state_));
    commit();
    if (file_.pending()) return; // the timer tries again; the archive waits for a complete journal
    file_.close();
    const QString target = archiveJournal(journalPath(), readJournalFile(journalPath()));
    if (target.isEmpty())
        return; // it stays in the working folder, finished, and is archived at the next start
    archivedThisMatch_ = true;
    file_.moved(target.toStdString());
}

QString MatchKeeper::archiveJournal(const QString& path, const JournalReading& reading) {
    QDir folder(archiveFolder_);
    if (!folder.mkpath(QStringLiteral("."))) {
        say({}, QStringLiteral("the archive folder %1 cannot be made; %2 stays where it is")
                    .arg(archiveFolder_, path));
        return {};
    }
    auto stored = freshState(state_);
    std::string base = "neznamy";
    if (reading.problem.empty()) {
        replayJournal(*stored, reading);
        base = archiveBaseName(*stored, reading.created);
        if (!reading.finished) base += "_nedohrano";
    } else {
        base = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HHmm")).toStdString() + "_" +
               base;
    }
    const QString target = freeName(folder, QString::fromStdString(base), QStringLiteral(".jrn"));
    if (!QFile::rename(path, target)) {
        say({}, QStringLiteral("%1 cannot be moved into the archive %2").arg(path, archiveFolder_));
        return {};
    }
    if (reading.problem.empty()) {
        try {
            writeExport(*stored, target.chopped(4) + QStringLiteral(".json"));
        } catch (const std::exception& error) {
            say({}, QString::fromStdString(error.what()));
        }
    }
    lastArchived_ = target;
    emit archived(target);
    return target;
}

void MatchKeeper::openStored(const QString& path) {
    const JournalReading reading = readJournalFile(path);
    if (!reading.problem.empty()) throw std::runtime_error(path.toStdString() + ": " + reading.problem);
    if (recorder_ && !showingStored_) {
        file_.append(recorder_->sync(state_));
        commit();
    }
    file_.close();
    showingStored_ = true;
    if (server_) server_->switchOff();
    auto stored = freshState(state_);
    replayJournal(*stored, reading);
    state_ = *stored;
    state_.linkPaused = 1;
    state_.running = 0;
    const QString name = QFileInfo(path).completeBaseName();
    if (windows_) {
        windows_->mainWindow().restoreScoringSwitches();
        windows_->mainWindow().showStoredMatch(name);
        windows_->overview().Zobr_text();
    }
    emit storedMatchOpened(name);
}

void MatchKeeper::exportMatch(const QString& path) const {
    writeExport(state_, path);
}

void MatchKeeper::writeExport(const MatchState& state, const QString& path) const {
    MatchJsonContext context;
    context.view = MatchJsonView::Archive;
    const QDateTime now = QDateTime::currentDateTime();
    context.savedAt = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
    context.program = QCoreApplication::applicationName().toStdString();
    // The line-ups carry birth dates and the operator's notes: the owner's eyes only.
    replaceFile(path.toStdString(), matchJson(state, context), 0600);
}

void MatchKeeper::say(const QString& status, const QString& line) {
    if (!status.isEmpty()) state_.controls.statusLine = toCp1250(status);
    std::fprintf(stderr, "kuzelna: %s\n", qPrintable(line));
    std::fflush(stderr);
    if (windows_) windows_->mainWindow().statusLineChanged();
}

} // namespace kuzelna
