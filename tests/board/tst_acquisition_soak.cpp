// Start/stop cycles of the Camera Link and GigE boards through the main button, with the memory they leave behind.
#include "road_bench.h"

#include <cstdio>

using namespace sim;

class tst_acquisition_soak : public QObject
{
    Q_OBJECT

private slots:
    void soakStartStop_data();
    void soakStartStop();
};

void tst_acquisition_soak::soakStartStop_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("board");
    QTest::newRow("Arvex") << 1 << int(BoardKind::Arvex);
    QTest::newRow("Belmor+") << 3 << int(BoardKind::BelmorPlus);
    QTest::newRow("Dunstel") << 4 << int(BoardKind::Dunstel);
}

void tst_acquisition_soak::soakStartStop()
{
    QFETCH(int, kind);
    QFETCH(int, board);
    const int cycles = qEnvironmentVariableIsSet("KESTIVO_SOAK") ? 200 : 20;
    Road road(BoardKind(board), 2);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(kind);
    long afterFirst = 0;
    for (int i = 0; i < cycles; ++i) {
        road.press();
        QVERIFY(w.Connected);
        bool bPressed = false;
        road.pressOnceStreaming(&bPressed);
        road.press();
        QTRY_VERIFY_WITH_TIMEOUT(bPressed && !w.Connected, 5000);
        QCOMPARE(road.ui()->pushButton_Start->text(), QString("Connect"));
        // The simulator keeps every message the board received; that record is not the program's memory.
        ClearRecordedMessages();
        if (i == 0)
            afterFirst = ResidentKb();
    }
    // On standard output: the test log caps its messages, and these figures are wanted.
    std::printf("%s start/stop x%d: RSS after the first cycle %ld kB, after the last %ld kB\n", QTest::currentDataTag(),
          cycles, afterFirst, ResidentKb());
    std::fflush(stdout);
    QCOMPARE(multicam_test::ChannelCount(), 0);
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
}

QTEST_MAIN(tst_acquisition_soak)
#include "tst_acquisition_soak.moc"
