#include "console/central_error_handler_qt.h"

#include "core/errors.h"
#include "core/text_qt.h"

#include <QMessageBox>

#include <cstdio>
#include <string>

namespace kuzelna {

namespace {

void writeLine(const char* kind, const char* text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    std::fprintf(stderr, "kuzelna: %s: %s\n", kind, line.c_str());
    std::fflush(stderr);
}

void showInMessageBox(const QString& text, QMessageBox::Icon icon) {
    auto* box =
        new QMessageBox(icon, QStringLiteral("Server - Dom\u00e1c\u00ed Hoste"), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace

std::function<void(const QString&)> KuzelnaApplication::showSerialPortError = [](const QString& text) {
    showInMessageBox(text, QMessageBox::Critical);
};
std::function<void(const QString&)> KuzelnaApplication::showStatus;
std::function<void(const QString&)> KuzelnaApplication::showOperatorError = [](const QString& text) {
    showInMessageBox(text, QMessageBox::Warning);
};

KuzelnaApplication::KuzelnaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KuzelnaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        handleError(std::current_exception());
        return false;
    }
}

void KuzelnaApplication::handleError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const SerialPortError& portError) {
        writeLine("serial port", portError.what());
        if (showSerialPortError) showSerialPortError(QString::fromLocal8Bit(portError.what()));
    } catch (const OperatorError& operatorError) {
        writeLine("error", fromCp1250(operatorError.what()).toUtf8().constData());
        if (showStatus) showStatus(fromCp1250(operatorError.status()));
        if (operatorError.workAtRisk() && showOperatorError)
            showOperatorError(fromCp1250(operatorError.what()));
    } catch (const std::exception& other) {
        writeLine("error", other.what());
    } catch (...) {
        writeLine("error", "unknown error");
    }
}

} // namespace kuzelna
