#pragma once

// The one place where errors that escape an event handler or a timer tick end
// up: a serial port error is shown to the operator with its text, an operator
// error in the status line (and in a message box when work is at risk), any
// other error is dropped without a message. Every error leaves one line on stderr.

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

namespace kuzelna {

class KuzelnaApplication : public QApplication {
public:
    KuzelnaApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Decides what becomes of an error caught outside the event loop too
    // (for example while the lane port is opened at start-up).
    static void handleError(std::exception_ptr error);

    // How a serial port error is put before the operator: a message box that
    // does not stop the event loop. Tests replace it to see what would be shown.
    static std::function<void(const QString& text)> showSerialPortError;
    // Where an operator error goes: the status line (set by the window set)
    // and the message box (replaced by tests like the one above).
    static std::function<void(const QString& status)> showStatus;
    static std::function<void(const QString& text)> showOperatorError;
};

} // namespace kuzelna
