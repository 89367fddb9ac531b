// kuzelna-lanesim: the lane controllers and displays of a virtual alley on a
// pseudo-terminal. A lane server opens the printed device (or the --link path)
// as its lane port; with --print the program shows what the alley's displays
// show, every second.
//
//     kuzelna-lanesim --link /tmp/lanes --kind 60 --lanes 4 --duels 2 --print &
//     kuzelna --port /tmp/lanes

#include "core/program_version.h"
#include "core/timing.h"
#include "lanes/alley_options_qt.h"
#include "lanes/virtual_alley_pty_qt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <stdexcept>

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void requestStop(int) {
    g_stopRequested = 1;
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace kuzelna;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("kuzelna-lanesim");
    QCoreApplication::setApplicationVersion(QString::fromUtf8(programVersion()));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "The lane controllers and displays of a virtual alley on a pseudo-terminal.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"link", "Also make the device reachable as PATH (a symbolic link).", "PATH"});
    parser.addOption({"print", "Print what the alley's displays show, every second."});
    parser.addOption({"exit-when-finished", "Exit once every block of the match has been played."});
    addAlleyOptions(parser);
    addSpeedOption(parser);
    parser.process(app);

    AlleySetup setup;
    try {
        AlleySetup defaults;
        defaults.gameKind = 4; // "60   Hs"
        defaults.laneLayout = 1;
        defaults.duels = 2;
        setup = readAlleyOptions(parser, defaults);
        setSpeedFactor(readSpeedOption(parser));
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "kuzelna-lanesim: %s\n", error.what());
        return 2;
    }

    SimulatedAlley simulated(setup);
    const QString link = parser.value("link");
    try {
        simulated.open(link);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "kuzelna-lanesim: %s\n", error.what());
        return 1;
    }
    std::printf("lanes on %s", qPrintable(simulated.slavePath()));
    if (!link.isEmpty()) std::printf(" (link %s)", qPrintable(link));
    std::printf("\n");
    std::fflush(stdout);

    const bool print = parser.isSet("print");
    const auto show = [&] {
        std::printf("--- %.1f s\n%s", static_cast<double>(simulated.simulatedMs()) / 1000.0,
                    simulated.alley().describe().c_str());
        std::fflush(stdout);
    };
    QTimer printer;
    if (print) {
        QObject::connect(&printer, &QTimer::timeout, show);
        printer.start(1000);
    }
    QObject::connect(&simulated, &SimulatedAlley::finished, [&] {
        if (print) show();
        std::printf("every block played\n");
        std::fflush(stdout);
        // A moment for the server to read the last answers before the line goes.
        if (parser.isSet("exit-when-finished")) QTimer::singleShot(1000, &app, &QCoreApplication::quit);
    });

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, [] {
        if (g_stopRequested) QCoreApplication::quit();
    });
    stopWatch.start(200);

    const int status = app.exec();
    simulated.close();
    if (!link.isEmpty()) QFile::remove(link);
    return status;
}
