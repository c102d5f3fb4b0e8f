// "Take FPN Reference" on a board that corrects by itself: the board receives its own reference command.
#include "connection_bench.h"

class tst_board_reference : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }

    void boardReceivesItsReferenceCommand_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("channel");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("Belmor+") << int(BelmorPlus) << QByteArray("serial") << QByteArray("!s");
        QTest::newRow("Arvex") << int(Arvex) << QByteArray("serial") << QByteArray("*s");
        QTest::newRow("Corvane") << int(Corvane) << QByteArray("register") << QByteArray("54=0");
    }
    void boardReceivesItsReferenceCommand()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, channel);
        QFETCH(QByteArray, command);
        Bench bench;
        bench.open();
        bench.selectBoard(kind);
        bench.pressMain();
        QVERIFY(bench.window->Connected);
        bench.window->SoftwareNUC = false;   // the board's own correction (NUC "Hardware")
        sim::ClearRecordedMessages();

        QPushButton* pButton = bench.ui()->pushButton_Take_FPN_Reference;
        // The button is live once a board is connected (the acquisition start enables it too).
        pButton->setEnabled(true);
        QTest::mouseClick(pButton, Qt::LeftButton);

        QCOMPARE(sim::RecordedBytes(BoardKindFromIndex(kind), channel), QList<QByteArray>{command});
        QVERIFY(!bench.window->FPNRequest);   // no software reference instead
        const QStringList lines = bench.logLines();
        QVERIFY(lines.contains("Get FPN Reference Image"));
        for (const QString& sLine : lines)
            QVERIFY2(!sLine.contains("not sent"), qPrintable(sLine));
    }
};

QTEST_MAIN(tst_board_reference)
#include "tst_board_reference.moc"
