#pragma once

// What kuzelna settles before the application object and the windows exist:
// its options, the answers to --help and --version (which must work without a
// display), and the hall's folder of --home.

#include <QCommandLineParser>

namespace kuzelna {

// The program's name and version, for --version and the help window.
void setProgramIdentity();

// The icon of every window (after the application object exists).
void setProgramIcon();

// Every option of kuzelna, each help text with its range.
void addProgramOptions(QCommandLineParser& parser);

// Answers --help and --version, when asked, and ends the program; else returns.
// Runs before QApplication, which needs a display.
void answerHelpAndVersion(int& argc, char** argv, QCommandLineParser& parser);

// --home: makes the hall's folder the current directory, creating it and copying
// the template workbooks it lacks. Throws std::exception with a message.
void enterHallFolder();

} // namespace kuzelna
