#include "console/central_error_handler_qt.h"
#include "core/errors.h"

#include <QPushButton>
#include <QTemporaryFile>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <stdexcept>

#include <unistd.h>

using namespace kuzelna;

namespace {

// Collects what the program writes on stderr while it lives.
class StderrCapture {
public:
    StderrCapture() {
        file_.open();
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QString text() {
        restore();
        file_.seek(0);
        return QString::fromLocal8Bit(file_.readAll());
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

} // namespace

class ErrorHandlerTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        shown_.clear();
        KuzelnaApplication::showSerialPortError = [this](const QString& text) { shown_ << text; };
    }

    void serialPortErrorsOfATimerTickAreShownAndTheLoopGoesOn() {
        StderrCapture capture;
        int ticks = 0;
        QTimer timer;
        timer.setInterval(1);
        connect(&timer, &QTimer::timeout, this, [&ticks] {
            if (++ticks == 1) throw SerialPortError("Can't open device COM1");
        });
        timer.start();
        QTRY_VERIFY(ticks >= 3);
        timer.stop();
        QCOMPARE(shown_, QStringList{"Can't open device COM1"});
        const QString written = capture.text();
        QCOMPARE(written.count('\n'), 1);
        QVERIFY(written.contains("Can't open device COM1"));
    }

    void otherErrorsOfAHandlerAreDroppedWithOneLineOnStderr() {
        StderrCapture capture;
        QPushButton button;
        int clicks = 0;
        connect(&button, &QPushButton::clicked, this, [&clicks] {
            ++clicks;
            throw std::runtime_error("Hraci.dtb:\nnot found");
        });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        QVERIFY(shown_.isEmpty());
        const QString written = capture.text();
        QCOMPARE(written.count('\n'), 2);
        QVERIFY(written.contains("Hraci.dtb: not found"));
    }

    void errorsOutsideTheLoopTakeTheSameWay() {
        StderrCapture capture;
        KuzelnaApplication::handleError(
            std::make_exception_ptr(SerialPortError("Invalid port number (COM1)")));
        KuzelnaApplication::handleError(std::make_exception_ptr(std::logic_error("workbook")));
        KuzelnaApplication::handleError(std::make_exception_ptr(42));
        QCOMPARE(shown_, QStringList{"Invalid port number (COM1)"});
        QCOMPARE(capture.text().count('\n'), 3);
    }

private:
    QStringList shown_;
};

int main(int argc, char** argv) {
    KuzelnaApplication app(argc, argv);
    ErrorHandlerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_error_handler.moc"
