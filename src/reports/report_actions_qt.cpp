#include "reports/report_actions_qt.h"

#include "core/match_state.h"
#include "core/text_qt.h"
#include "reports/match_report.h"
#include "reports/player_sheet.h"
#include "reports/report_outcome.h"
#include "reports/spreadsheet_worker.h"
#include "reports/tournament_workbook.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <future>

namespace kuzelna {

namespace {

// How long the program waits at its end for the office to save what the
// operator asked to be saved.
constexpr auto kSaveAtExitTimeout = std::chrono::seconds(30);

std::atomic<bool>& closing() {
    static std::atomic<bool> flag{false};
    return flag;
}

QString pathText(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()), static_cast<qsizetype>(utf8.size()));
}

} // namespace

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        entries << parts[i].trimmed() + QStringLiteral(" (") + parts[i + 1].trimmed() + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

struct ReportActions::Result {
    std::string status;
    bool failed = false;
    bool cancelled = false;
    std::shared_ptr<MatchState> snapshot;
    Apply apply;
    std::vector<std::filesystem::path> unsaved;
};

ReportActions::ReportActions(MatchState& state, QWidget* window, SpreadsheetFactory factory,
                             std::function<ReportEnvironment()> environment, std::function<void()> interrupt)
    : chooseFile([](QWidget* owner, const QString& folder, const QString& filter) {
          return QFileDialog::getOpenFileName(owner, QStringLiteral("Soubor turnaje"), folder, filter);
      }),
      ask([this](const QString& text, QMessageBox::StandardButtons buttons,
                 const QMap<QMessageBox::StandardButton, QString>& captions) {
          QMessageBox box(QMessageBox::Question, QStringLiteral("Kuželna"), text, buttons, window_);
          for (auto it = captions.cbegin(); it != captions.cend(); ++it) {
              if (QAbstractButton* button = box.button(it.key())) button->setText(it.value());
          }
          return static_cast<QMessageBox::StandardButton>(box.exec());
      }),
      tell([this](const QString& text) { QMessageBox::warning(window_, QStringLiteral("Kuželna"), text); }),
      state_(state), window_(window), factory_(factory), environment_(std::move(environment)),
      worker_(std::make_unique<SpreadsheetWorker>(std::move(factory), std::move(interrupt))) {}

ReportActions::~ReportActions() {
    // A question the worker waits for is answered "cancel"; then the session
    // ends on its thread (workbooks the operator can see stay open).
    closing() = true;
    worker_.reset();
    closing() = false;
    if (pending_ > 0) QApplication::restoreOverrideCursor();
}

void ReportActions::run(const QString& preparing, Operation operation, Apply apply) {
    auto snapshot = std::make_shared<MatchState>(state_);
    if (pending_++ == 0) QApplication::setOverrideCursor(Qt::BusyCursor);
    state_.controls.statusLine = toCp1250(preparing);
    worker_->post([this, snapshot, operation = std::move(operation),
                   apply = std::move(apply)](SpreadsheetSession& session) {
        auto result = std::make_shared<Result>();
        result->snapshot = snapshot;
        result->apply = apply;
        try {
            result->status = operation(*snapshot, session);
        } catch (const NotPrintedError&) {
            // Written as a PDF: the status line names it, and that is no failure.
            result->status = snapshot->controls.statusLine;
        } catch (const ReportCancelled& cancelled) {
            result->cancelled = true;
            result->status = cancelled.what();
        } catch (...) {
            result->failed = true;
            result->status = failureText(std::current_exception());
        }
        try {
            result->unsaved = session.unsavedWorkbooks();
        } catch (...) {
        }
        QMetaObject::invokeMethod(this, [this, result] { show(result); }, Qt::QueuedConnection);
    });
}

void ReportActions::show(const std::shared_ptr<Result>& result) {
    if (--pending_ == 0) QApplication::restoreOverrideCursor();
    if (!result->failed && !result->cancelled && result->apply) result->apply(*result->snapshot);
    unsaved_ = result->unsaved;
    if (result->failed) {
        state_.controls.statusLine = operatorText("Chyba: ") + result->status;
        if (tell) tell(fromCp1250(result->status));
    } else {
        state_.controls.statusLine = result->status;
    }
    emit finished();
}

OverwriteAnswer ReportActions::askOverwrite(const EntrantOverwrite& overwrite) {
    auto answer = std::make_shared<std::promise<OverwriteAnswer>>();
    std::future<OverwriteAnswer> future = answer->get_future();
    QMetaObject::invokeMethod(
        this,
        [this, overwrite, answer] {
            QStringList holders;
            for (const std::string& holder : overwrite.holders)
                holders << fromCp1250(holder);
            const QString text =
                QStringLiteral("Řádky č. %1–%2 turnaje už patří jiným hráčům: %3.\n\nPrvní volný řádek je č. %4.")
                    .arg(overwrite.first)
                    .arg(overwrite.last)
                    .arg(holders.join(QStringLiteral(", ")))
                    .arg(overwrite.firstFree);
            const QMessageBox::StandardButton pressed =
                ask(text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    {{QMessageBox::Yes, QStringLiteral("Zapsat od č. %1").arg(overwrite.firstFree)},
                     {QMessageBox::No, QStringLiteral("Přepsat")},
                     {QMessageBox::Cancel, QStringLiteral("Zrušit")}});
            answer->set_value(pressed == QMessageBox::Yes  ? OverwriteAnswer::StartAtFirstFree
                              : pressed == QMessageBox::No ? OverwriteAnswer::Overwrite
                                                           : OverwriteAnswer::Cancel);
        },
        Qt::QueuedConnection);
    while (future.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (closing()) return OverwriteAnswer::Cancel;
    }
    return future.get();
}

void ReportActions::writeMatchReport(int form, int duels, const std::string& prefix) {
    const ReportEnvironment env = environment_();
    const bool tournament = state_.controls.tournament;
    run(
        tournament ? QStringLiteral("Připravuji zápis turnaje …") : QStringLiteral("Připravuji zápis …"),
        [this, form, duels, prefix, env](MatchState& snapshot, SpreadsheetSession& session) {
            return vysledky(snapshot, session, form, duels, prefix, env,
                            [this](const EntrantOverwrite& overwrite) { return askOverwrite(overwrite); })
                .status;
        },
        [this, tournament](const MatchState& snapshot) {
            if (tournament) state_.controls.entrantNumberText = snapshot.controls.entrantNumberText;
        });
}

void ReportActions::closeSpreadsheet() {
    bool save = false;
    if (!unsaved_.empty()) {
        QStringList names;
        for (const auto& path : unsaved_)
            names << pathText(path.filename());
        const QMessageBox::StandardButton pressed =
            ask(QStringLiteral("Tyto sešity mají změny, které nejsou uložené:\n%1\n\nUložit je před zavřením?")
                    .arg(names.join(QLatin1Char('\n'))),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                {{QMessageBox::Yes, QStringLiteral("Uložit")},
                 {QMessageBox::No, QStringLiteral("Neukládat")},
                 {QMessageBox::Cancel, QStringLiteral("Zrušit")}});
        if (pressed == QMessageBox::Cancel) return;
        save = pressed == QMessageBox::Yes;
    }
    run(QStringLiteral("Zavírám tabulkový procesor …"), [save](MatchState&, SpreadsheetSession& session) {
        if (save) session.saveUnsavedWorkbooks();
        session.quitAll();
        return operatorText(save ? "Sešity uloženy, tabulkový procesor zavřen" : "Tabulkový procesor zavřen");
    });
}

bool ReportActions::settleBeforeQuit() {
    // What is still on its way decides what is left unsaved.
    if (pending_ > 0) {
        QEventLoop loop;
        connect(this, &ReportActions::finished, &loop, [this, &loop] {
            if (pending_ == 0) loop.quit();
        });
        QTimer::singleShot(std::chrono::seconds(10), &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (unsaved_.empty()) return true;
    QStringList names;
    for (const auto& path : unsaved_)
        names << pathText(path);
    const QMessageBox::StandardButton pressed =
        ask(QStringLiteral("Tyto sešity mají změny, které nejsou uložené:\n%1\n\nUložit je? Okna tabulkového "
                           "procesoru zůstanou otevřená.")
                .arg(names.join(QLatin1Char('\n'))),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
            {{QMessageBox::Yes, QStringLiteral("Uložit")},
             {QMessageBox::No, QStringLiteral("Neukládat")},
             {QMessageBox::Cancel, QStringLiteral("Zrušit")}});
    if (pressed == QMessageBox::Cancel) return false;
    if (pressed == QMessageBox::Yes) {
        worker_->post([](SpreadsheetSession& session) { session.saveUnsavedWorkbooks(); });
        worker_->waitIdle(kSaveAtExitTimeout);
    }
    return true;
}

void ReportActions::rankTournament() {
    const ReportEnvironment env = environment_();
    run(
        QStringLiteral("Připravuji pořadí …"),
        [env](MatchState& snapshot, SpreadsheetSession& session) {
            return kuzelna::rankTournament(snapshot, session, env).status;
        },
        [this](const MatchState& snapshot) {
            state_.standings = snapshot.standings;
            state_.controls.entrantNumberText = snapshot.controls.entrantNumberText;
        });
}

void ReportActions::chooseTournamentFile() {
    const std::filesystem::path folder = environment_().currentDirectory / "turnaj";
    const QString chosen = chooseFile(window_, pathText(folder), qtFileFilter(QString::fromLatin1(kTournamentFileFilter)));
    if (chosen.isEmpty()) return;
    state_.controls.tournamentFile = toCp1250(QFileInfo(chosen).fileName());
    emit tournamentFileChanged();
}

void ReportActions::exportPlayer(int slot, bool home) {
    if (slot < 0 || slot > kMaxSlots) return;
    const ReportEnvironment env = environment_();
    const PlayerSlot& player = state_.player[static_cast<std::size_t>(slot)];
    run(QStringLiteral("Připravuji tisk: ") + fromCp1250(player.firstName.str() + " " + player.surname.str()) +
            QStringLiteral(" …"),
        [this, env, slot, home](MatchState& snapshot, SpreadsheetSession&) {
            Vysledky_hraci(snapshot, factory_, home, slot, env);
            return snapshot.controls.statusLine;
        });
}

} // namespace kuzelna
