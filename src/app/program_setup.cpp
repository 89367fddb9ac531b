#include "app/program_setup.h"

#include "core/hall_folder.h"
#include "core/program_version.h"
#include "lanes/alley_options_qt.h"
#include "web/web_results_qt.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QStringList>

#include <cstdio>
#include <filesystem>

namespace kuzelna {
namespace {

std::filesystem::path pathOf(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

const char* environmentValue(const char* name, QByteArray& keep) {
    keep = qgetenv(name);
    return keep.isEmpty() ? nullptr : keep.constData();
}

} // namespace

void setProgramIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("kuzelna"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(programVersion()));
}

void setProgramIcon() {
    QIcon icon;
    for (int size : {32, 64, 256})
        icon.addFile(QStringLiteral(":/icons/kuzelna-%1.png").arg(size));
    QGuiApplication::setWindowIcon(icon);
}

void addProgramOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Scoring server of a nine-pin bowling alley."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"simulate", "Play against a virtual alley on a pseudo-terminal instead of the lanes."});
    parser.addOption(
        {"port", "Serial device of the lane line (else [Linka] Port of zodided.ini).", "DEVICE"});
    parser.addOption(
        {"headless", "No windows: run the lane link at once, print the displays, end with the match."});
    parser.addOption({"home", "Work in the hall's folder, $KUZELNA_HOME or else ~/Kuzelna (created on the "
                              "first start, with the template workbooks it lacks)."});
    parser.addOption({"monitors", "With --headless: feed the lane PCs of [Monitory] in zodided.ini, as the "
                                  "console's \"Zap/vyp monitory\" does."});
    parser.addOption({"resume", "Resume an unfinished match of the working folder without asking."});
    parser.addOption({"no-resume", "Archive an unfinished match of the working folder and start a new one."});
    addSpeedOption(parser);
    addAlleyOptions(parser);
    addWebOptions(parser);
}

void answerHelpAndVersion(int& argc, char** argv, QCommandLineParser& parser) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // A wrong option is reported by the full parse later, as before.
    parser.parse(arguments);
    if (!parser.isSet("help") && !parser.isSet("help-all") && !parser.isSet("version")) return;
    QCoreApplication core(argc, argv);
    parser.process(core); // prints the answer and exits
}

void enterHallFolder() {
    QByteArray kuzelnaHome, userHome;
#ifdef _WIN32
    const char* home = environmentValue("USERPROFILE", userHome);
#else
    const char* home = environmentValue("HOME", userHome);
#endif
    const std::filesystem::path folder = hallFolder(environmentValue("KUZELNA_HOME", kuzelnaHome), home);
    const std::filesystem::path templates = templateSource(pathOf(QCoreApplication::applicationDirPath()));
    const std::vector<std::string> copied = prepareHallFolder(folder, templates);
    std::filesystem::current_path(folder);
    if (templates.empty()) {
        std::fprintf(stderr, "kuzelna: no template workbooks found to copy into %s\n",
                     folder.string().c_str());
    } else if (!copied.empty()) {
        std::string names;
        for (const std::string& name : copied)
            names += (names.empty() ? "" : ", ") + name;
        std::fprintf(stderr, "kuzelna: templates copied into %s: %s\n", folder.string().c_str(),
                     names.c_str());
    }
}

} // namespace kuzelna
