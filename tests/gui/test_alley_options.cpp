// The match options of kuzelna and kuzelna-lanesim: one rule for the kind of
// game, shown by the texts it takes and the texts it refuses.

#include "lanes/alley_options_qt.h"
#include "lanes/virtual_alley.h"

#include <QCommandLineParser>
#include <QtTest>

#include <stdexcept>

using namespace kuzelna;

class AlleyOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void kindOfGame_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind"); // 0: refused
        QTest::newRow("200") << "200" << 1;
        QTest::newRow("60 Hs") << "60 Hs" << 4;
        QTest::newRow("60Hs") << "60hs" << 4;
        QTest::newRow("kind number") << "5" << 5;
        QTest::newRow("blanks around") << " 40 " << 6;
        QTest::newRow("minus") << "-60" << 0;
        QTest::newRow("plus") << "+60" << 0;
        QTest::newRow("digits apart") << "6x0" << 0;
        QTest::newRow("no kind of that length") << "70" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void kindOfGame() {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QCommandLineParser parser;
        addAlleyOptions(parser);
        parser.parse({QStringLiteral("kuzelna"), QStringLiteral("--lanes"), QStringLiteral("6"),
                      QStringLiteral("--kind=") + text});
        try {
            const AlleySetup setup = readAlleyOptions(parser, AlleySetup{});
            QVERIFY2(kind != 0, qPrintable(QStringLiteral("accepted as kind %1").arg(setup.gameKind)));
            QCOMPARE(setup.gameKind, kind);
        } catch (const std::invalid_argument& error) {
            QVERIFY2(kind == 0, error.what());
        }
    }
};

QTEST_GUILESS_MAIN(AlleyOptionsTest)
#include "test_alley_options.moc"
