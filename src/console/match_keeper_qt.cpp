#include "console/match_keeper_qt.h"

#include "aids/manual_team_names_window.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/errors.h"
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

#include <algorithm>
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

// What the operator is told of a journal read only up to a record that
// could not be taken; empty when it was read to its end.
QString cutNotice(const QString& path, const JournalReading& reading) {
    if (reading.stopReason.empty()) return {};
    return QStringLiteral("%1 is readable up to byte %2 of %3 (%4); %5 record(s) after it are left out")
        .arg(QFileInfo(path).fileName())
        .arg(reading.validBytes)
        .arg(reading.fileBytes)
        .arg(QString::fromStdString(reading.stopReason))
        .arg(reading.recordsLeftOut);
}

QString freeName(const QDir& folder, const QString& base, const QString& suffix) {
    QString name = base + suffix;
    for (int n = 2; folder.exists(name); ++n)
        name = base + "-" + QString::number(n) + suffix;
    return folder.filePath(name);
}

} // namespace

bool askToResume(QWidget* parent, const QString& notice) {
    QMessageBox question(QMessageBox::Question, QStringLiteral("Server - Domácí Hoste"),
                         QStringLiteral("Pokračovat v rozehraném utkání?"), QMessageBox::NoButton, parent);
    if (!notice.isEmpty()) question.setInformativeText(notice);
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

QString MatchKeeper::resumeNotice() const {
    if (!QFileInfo::exists(journalPath())) return {};
    return cutNotice(journalPath(), readJournalFile(journalPath()));
}

bool MatchKeeper::takeOverJournal(Resume mode, const std::function<bool()>& ask) {
    const QString path = journalPath();
    if (QFileInfo::exists(path)) {
        const JournalReading reading = readJournalFile(path);
        if (!reading.problem.empty()) {
            const QString target = archiveJournal(path, reading);
            const QString problem = QString::fromStdString(reading.problem);
            if (reading.unknownVersion) {
                say(QStringLiteral("Žurnál jiné verze nenavázán"),
                    QStringLiteral("%1 cannot be read by this program: %2; it is not resumed%3")
                        .arg(path, problem,
                             target.isEmpty()
                                 ? QString()
                                 : QStringLiteral(" and is moved into the archive as ") + target));
            } else if (!target.isEmpty()) {
                say({}, QStringLiteral("%1 is no match journal (%2); it is moved into the archive as %3")
                            .arg(path, problem, target));
            }
        } else if (reading.finished) {
            tellCut(path, reading);
            archiveJournal(path, reading);
        } else if (mode == Resume::Yes || (mode == Resume::Ask && ask && ask())) {
            tellCut(path, reading);
            keepUnreadCopy(path, reading);
            replayJournal(state_, reading);
            file_.resume(reading.validBytes);
            const bool setUpRead =
                std::any_of(reading.records.begin(), reading.records.end(),
                            [](const JournalRecord& r) { return r.kind == JournalKind::Configuration; });
            if (setUpRead) {
                recorder_ = std::make_unique<JournalRecorder>(state_, reading.records.size());
            } else {
                // Readable only up to its set-up: the journal goes on from what a
                // later replay rebuilds of it, so the set-up is written again.
                auto replayed = freshState(state_);
                replayJournal(*replayed, reading);
                recorder_ = std::make_unique<JournalRecorder>(*replayed, reading.records.size());
            }
            return true;
        } else {
            tellCut(path, reading);
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
        if (reading.unknownVersion) base = "necitelne";
        base = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HHmm")).toStdString() + "_" +
               base;
    }
    const QString target = freeName(folder, QString::fromStdString(base), QStringLiteral(".jrn"));
    try {
        moveFile(QFile::encodeName(path).toStdString(), QFile::encodeName(target).toStdString());
    } catch (const std::exception& error) {
        // Moved, though not yet known on the disk: it is in the archive all the same.
        const bool moved = !QFileInfo::exists(path) && QFileInfo::exists(target);
        say({},
            QString::fromLatin1(moved ? "%1 is moved into the archive %2, but not yet safe on the disk: %3"
                                      : "%1 cannot be moved into the archive %2: %3")
                .arg(path, archiveFolder_, QString::fromLocal8Bit(error.what())));
        if (!moved) return {};
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
    if (!reading.problem.empty()) {
        // Shown to the operator; the match on the lanes goes on untouched.
        throw OperatorError(
            toCp1250(QStringLiteral("%1 nelze otevřít: %2")
                         .arg(QFileInfo(path).fileName(), QString::fromStdString(reading.problem))),
            toCp1250(QStringLiteral("Uložené utkání nelze otevřít")), true);
    }
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
    tellCut(path, reading);
    emit storedMatchOpened(name);
}

void MatchKeeper::keepUnreadCopy(const QString& path, const JournalReading& reading) {
    // Resuming cuts off what follows the readable part; whole records there
    // are kept in the archive as they were.
    if (!reading.moreThanTornTail()) return;
    QDir folder(archiveFolder_);
    const QString copy =
        folder.mkpath(QStringLiteral("."))
            ? freeName(folder,
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HHmm")) +
                           QStringLiteral("_necitelne"),
                       QStringLiteral(".jrn"))
            : QString();
    QString failure;
    QFile source(path);
    if (copy.isEmpty()) {
        failure = QStringLiteral("the folder cannot be made");
    } else if (!source.open(QIODevice::ReadOnly)) {
        failure = source.errorString();
    } else {
        // Through the durable helper: the copy is on the disk before the original is cut.
        try {
            replaceFile(QFile::encodeName(copy).toStdString(), source.readAll().toStdString());
        } catch (const std::exception& error) {
            failure = QString::fromLocal8Bit(error.what());
        }
    }
    if (!failure.isEmpty()) {
        say({}, QStringLiteral(
                    "%1 cannot be copied into the archive %2 before its unreadable part is cut off: %3")
                    .arg(path, archiveFolder_, failure));
        return;
    }
    say({}, QStringLiteral("%1 as it was, unreadable part included, is kept as %2").arg(path, copy));
}

void MatchKeeper::tellCut(const QString& path, const JournalReading& reading) {
    const QString notice = cutNotice(path, reading);
    if (!notice.isEmpty()) say(QStringLiteral("Žurnál čten jen zčásti"), notice);
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
