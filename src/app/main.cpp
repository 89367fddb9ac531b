// kuzelna: the scoring server. The console window starts with the lane link
// paused until the operator presses "Start". With --simulate the lanes are a
// virtual alley on a pseudo-terminal; --headless runs the link alone, printing
// what the alley's displays show, and ends with the match. --home works in the
// hall's folder (~/Kuzelna) instead of the current directory.

#include "app/program_setup.h"
#include "console/central_error_handler_qt.h"
#include "console/czech_texts_qt.h"
#include "console/main_window.h"
#include "console/match_keeper_qt.h"
#include "console/simulation_lineup.h"
#include "console/termination_qt.h"
#include "console/window_set_qt.h"
#include "core/errors.h"
#include "core/ini_file.h"
#include "core/match_archive.h"
#include "core/match_state.h"
#include "core/settings_notice.h"
#include "core/startup.h"
#include "core/timing.h"
#include "lanes/alley_options_qt.h"
#include "lanes/lane_server_qt.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "reports/office_profiles.h"
#include "reports/result_exchange_qt.h"
#include "scoring/throw_recording.h"
#include "web/web_results_dialog.h"
#include "web/web_results_qt.h"
#include "web/web_settings.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

using namespace kuzelna;

namespace {

// The lane link without a window: it runs at once and the program ends with the match.
int runHeadless(KuzelnaApplication& app, MatchState& state, LaneServer& server, SimulatedAlley* simulated) {
    state.running = 1;
    state.linkPaused = 0;
    const auto show = [&] {
        if (simulated) {
            std::printf("--- %.1f s\n%s", static_cast<double>(simulated->simulatedMs()) / 1000.0,
                        simulated->alley().describe().c_str());
        } else {
            const TeamResult result = teamResult(state, 2 * state.pairCount);
            std::printf("block from duel %d: home %d pins, guest %d pins\n", state.firstPairOfBlock,
                        result.homePins, result.guestPins);
        }
        std::fflush(stdout);
    };
    QTimer printer;
    QObject::connect(&printer, &QTimer::timeout, show);
    printer.start(2000);
    QObject::connect(&server, &LaneServer::matchEnded, [&] {
        // A moment for the final frames to reach the far end before it is shown.
        QTimer::singleShot(200, [&] {
            show();
            std::printf("match over\n");
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    });
    return app.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    // A windowless run must not need a display: it never shows a window.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    setProgramIdentity();
    QCommandLineParser parser;
    addProgramOptions(parser);
    answerHelpAndVersion(argc, argv, parser);
    KuzelnaApplication app(argc, argv);
    installCzechTranslations(app);
    setProgramIcon();
    // Ended from outside, the program still releases what it holds.
    quitOnTerminationSignals();
    // What a killed run left behind is taken back.
    for (const auto& profile : reclaimOfficeProfiles(std::filesystem::temp_directory_path()))
        std::fprintf(stderr, "kuzelna: removed the office profile %s left by an ended run\n", profile.c_str());
    parser.process(app);
    if (parser.isSet("home")) {
        try {
            enterHallFolder();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "kuzelna: %s\n", error.what());
            return 2;
        }
    }

    auto state = std::make_unique<MatchState>();
    IniFile ini;
    const bool settingsRead = ini.load(kIniFileName);
    // Taken as always, but named once: a mistyped value should not go unseen.
    for (const std::string& problem : settingsProblems(ini))
        std::fprintf(stderr, "kuzelna: %s: %s\n", kIniFileName, problem.c_str());
    initialiseMatchState(*state, ini, QDir::currentPath().toStdString());
    state->settingsFileSeen = settingsRead;

    std::unique_ptr<SimulatedAlley> simulated;
    QString device = parser.value("port");
    WebSettings webSettings = readWebSettings(ini);
    try {
        setSpeedFactor(readSpeedOption(parser));
        readWebOptions(parser, webSettings);
        if (parser.isSet("simulate")) {
            simulated = startSimulatedAlley(*state, parser);
            device = simulated->devicePath();
            fillSimulationLineups(*state);
            // The virtual alley has every display: feed the names and match points
            // too. Only the console's check box starts on; the stored default stays.
            state->controls.displayExtra = true;
        } else if (alleyMatchOptionsGiven(parser)) {
            configureMatchFromOptions(*state, parser);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kuzelna: %s\n", error.what());
        return 2;
    }

    LaneServer server(*state);
    QObject::connect(&server, &LaneServer::linkLost,
                     [](const QString& text) { std::fprintf(stderr, "kuzelna: %s\n", qPrintable(text)); });
    QObject::connect(&server, &LaneServer::linkRestored,
                     [](const QString& text) { std::fprintf(stderr, "kuzelna: %s\n", qPrintable(text)); });

    // The result files and the lane PCs, with or without windows. Its timer
    // starts once the match to go on with is settled.
    ResultExchange exchange(*state);
    exchange.errorHandler = &KuzelnaApplication::handleError;
    // With windows the console's check box "Zap/vyp monitory" decides.
    if (parser.isSet("headless") && parser.isSet("monitors")) state->controls.monitorsOn = true;

    // An unfinished match of the working folder: asked before the timers run
    // (they would write the result files of an empty match).
    MatchKeeper keeper(*state, QDir::currentPath(), QString::fromStdString(archiveFolderSetting(ini)));
    // A windowless run goes on with its match; a simulated alley always starts
    // from its first throw, so a simulated one starts anew.
    MatchKeeper::Resume resume = MatchKeeper::Resume::Yes;
    if (parser.isSet("no-resume") ||
        (parser.isSet("headless") && parser.isSet("simulate") && !parser.isSet("resume"))) {
        resume = MatchKeeper::Resume::No;
    } else if (!parser.isSet("resume") && !parser.isSet("headless") && keeper.hasUnfinishedJournal()) {
        resume =
            askToResume(nullptr, keeper.resumeNotice()) ? MatchKeeper::Resume::Yes : MatchKeeper::Resume::No;
    }

    std::unique_ptr<WindowSet> windows;
    if (parser.isSet("headless")) {
        KuzelnaApplication::showSerialPortError = nullptr; // no one to show a box to: stderr only
        KuzelnaApplication::showOperatorError = nullptr;
    } else {
        // A simulated alley turns "Display extra" on; the stored default stays.
        windows = std::make_unique<WindowSet>(*state,
                                              state->controls.displayExtra || state->displayExtraDefault != 0);
        windows->connectLaneServer(server);
        windows->connectExchange(exchange);
    }
    if (const auto notice = secretReadableNotice(kIniFileName, ini))
        KuzelnaApplication::handleError(std::make_exception_ptr(*notice));
    // Before anything goes out on the lane line.
    const bool resumed = keeper.takeOverJournal(resume, {});
    if (resumed) {
        std::fprintf(stderr, "kuzelna: the unfinished match of %s goes on\n",
                     qPrintable(keeper.journalPath()));
        if (windows) {
            windows->mainWindow().restoreScoringSwitches();
            windows->mainWindow().blockChanged();
        }
    }
    keeper.attach(server);
    exchange.start();
    if (windows) keeper.attachWindows(*windows);
    // The live results page, with or without windows.
    WebResults web(*state, webSettings);
    web.connectLaneServer(server);
    if (windows) installWebResultsMenu(windows->mainWindow(), web);
    web.start();
    try {
        server.openPort(device);
    } catch (...) {
        KuzelnaApplication::handleError(std::current_exception()); // runs on without a lane link
    }
    server.startCycle();

    if (!windows) return runHeadless(app, *state, server, simulated.get());
    windows->mainWindow().show();
    return app.exec();
}
