// Qt's own texts that the operator meets (message box buttons, file dialogs)
// read in Czech.

#include "console/czech_texts_qt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class CzechTextsTest : public QObject {
    Q_OBJECT

private slots:
    void qtDialogsSpeakCzech() {
        QVERIFY(kuzelna::installCzechTranslations(*QCoreApplication::instance()));
        QMessageBox box(QMessageBox::Question, QStringLiteral("Kuželna"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Zrušit"));
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Ano"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(dialog.labelText(QFileDialog::Reject).remove(QLatin1Char('&')), QStringLiteral("Zrušit"));
    }
};

QTEST_MAIN(CzechTextsTest)
#include "test_czech_texts.moc"
