// Every window that saves into zodided.ini first reads it whole: over a file
// it cannot read, its "Ulož" changes not a byte of it and tells the operator
// why.

#include "aids/startup_settings_window.h"
#include "boards/board_settings_dialog.h"
#include "console/central_error_handler_qt.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"
#include "reports/accompanying_texts_dialog.h"
#include "reports/forms_path_dialog.h"
#include "support/unprivileged_files.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace kuzelna;

namespace {

const QByteArray kSettings = "; alley PC\r\n[Linka]\r\nPort=/dev/ttyUSB0\r\n[Monitory]\r\nHost1=10.0.0.71\r\n"
                             "[Formulare]\r\nCesta=/srv/zapisy\r\n[Web]\r\nPublishUrl=sftp://klub/\r\n";

QPushButton* saveButton(QWidget& window) {
    if (auto* named = window.findChild<QPushButton*>(QStringLiteral("save"))) return named;
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Ulož")) return button;
    }
    return nullptr;
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

using Open = std::function<QWidget&(WindowSet&)>;
using Spoil = std::function<void(const QString&)>;

} // namespace

Q_DECLARE_METATYPE(Open)
Q_DECLARE_METATYPE(Spoil)

class SettingsUnreadableTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        // Others may enter the folder: only the file's own permission keeps it unread.
        QVERIFY(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadOther | QFile::ExeOther));
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_.path()));
    }
    void cleanup() {
        QFile::setPermissions(ini(), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(ini());
        QDir::setCurrent(previous_);
        KuzelnaApplication::showOperatorError = nullptr;
    }

    void aSaveOverAFileItCannotReadChangesNothing_data() {
        QTest::addColumn<Open>("open");
        QTest::addColumn<Spoil>("spoil");
        QTest::addColumn<bool>("existsAfter");
        QTest::addColumn<bool>("unprivileged");
        const std::pair<const char*, Open> windows[] = {
            {"start-up settings",
             [](WindowSet& w) -> QWidget& {
                 w.startupSettings().open();
                 return w.startupSettings();
             }},
            {"board settings",
             [](WindowSet& w) -> QWidget& {
                 w.boardSettings().openFromMenu();
                 return w.boardSettings();
             }},
            {"accompanying texts",
             [](WindowSet& w) -> QWidget& {
                 w.accompanyingTexts().open();
                 return w.accompanyingTexts();
             }},
            {"forms path",
             [](WindowSet& w) -> QWidget& {
                 w.formsPath().open();
                 return w.formsPath();
             }},
        };
        struct Read {
            const char* name;
            Spoil spoil;
            bool existsAfter, unprivileged;
        };
        const Read reads[] = {
            {"no read permission",
             [](const QString& path) { QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions())); },
             true, true},
            {"zeros", [](const QString& path) { writeFile(path, QByteArray(2048, '\0')); }, true, false},
            {"gone since it was read", [](const QString& path) { QVERIFY(QFile::remove(path)); }, false,
             false},
        };
        for (const auto& [window, open] : windows) {
            for (const Read& read : reads)
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(window, read.name)))
                    << open << read.spoil << read.existsAfter << read.unprivileged;
        }
    }
    void aSaveOverAFileItCannotReadChangesNothing() {
        QFETCH(Open, open);
        QFETCH(Spoil, spoil);
        QFETCH(bool, existsAfter);
        QFETCH(bool, unprivileged);
        writeFile(ini(), kSettings);
        spoil(ini());
        const QByteArray before = readFile(ini());
        QStringList boxes;
        KuzelnaApplication::showOperatorError = [&boxes](const QString& text) { boxes << text; };
        auto state = std::make_unique<MatchState>();
        state->settingsFileSeen = true; // read at the start
        WindowSet windows(*state);
        QWidget& window = open(windows);
        QPushButton* save = saveButton(window);
        QVERIFY(save);
        if (unprivileged) {
            testing::UnprivilegedFiles asUser; // root could read a file without read permission
            QTest::mouseClick(save, Qt::LeftButton);
        } else {
            QTest::mouseClick(save, Qt::LeftButton);
        }

        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains(QStringLiteral("nejde přečíst celý")), qPrintable(boxes[0]));
        QCOMPARE(QFile::exists(ini()), existsAfter);
        QFile::setPermissions(ini(), QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(readFile(ini()), before);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
                 existsAfter ? QStringList{"zodided.ini"} : QStringList{});
    }

private:
    static QString ini() { return QStringLiteral("zodided.ini"); }
    QTemporaryDir dir_;
    QString previous_;
};

QTEST_MAIN(SettingsUnreadableTest)
#include "test_settings_unreadable.moc"
