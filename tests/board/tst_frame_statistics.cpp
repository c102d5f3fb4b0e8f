// The one-second labels and the no-frame watchdog: the rule per board kind, then the window's boxes and disconnection.
#include "acquisition_bench.h"

#include "board/acquisition_state.h"
#include "board/frame_statistics.h"

#include <QMessageBox>
#include <QtTest>

#include <iostream>
#include <sstream>

using namespace sim;

namespace {

struct CoutCapture
{
    std::ostringstream Text;
    std::streambuf* Old;
    CoutCapture() : Old(std::cout.rdbuf(Text.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(Old); }
};

QMessageBox* VisibleBox(QWidget* p_pOwner, const QString& p_sTitle)
{
    for (QMessageBox* pBox : p_pOwner->findChildren<QMessageBox*>())
        if (pBox->isVisible() && pBox->windowTitle() == p_sTitle)
            return pBox;
    return nullptr;
}

} // namespace

class tst_frame_statistics : public QObject
{
    Q_OBJECT

private slots:
    void bandwidth_data();
    void bandwidth();
    void watchdogRule_data();
    void watchdogRule();
    void labelsOfOneTick();
    void silentCorvaneWarnsThenDisconnects();
    void corvaneFrameClosesTheWarning();
    void silentDunstelIsDisconnected();
    void debugWindowHoldsTheWatchdog();
    void cameraLinkIsNeverDisconnected();
};

void tst_frame_statistics::bandwidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("text");
    QTest::newRow("640x480 at 50") << 640 << 480 << 50 << "234.375 Mbits/s";
    QTest::newRow("none") << 640 << 480 << 0 << "0 Mbits/s";
    // The 32-bit product would wrap here.
    QTest::newRow("4094x4094 at 200") << 4094 << 4094 << 200 << "51150 Mbits/s";
}

void tst_frame_statistics::bandwidth()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, frames);
    QFETCH(QString, text);
    QCOMPARE(BandwidthText(FrameBandwidthMbits(width, height, frames)), text);
}

void tst_frame_statistics::watchdogRule_data()
{
    QTest::addColumn<BoardKind>("kind");
    QTest::addColumn<QList<int>>("counters");   // FrameCounter of each tick
    QTest::addColumn<QList<int>>("actions");    // WatchdogAction of each tick
    QTest::addColumn<int>("seconds");
    const int N = int(WatchdogAction::None), C = int(WatchdogAction::Counted),
              P = int(WatchdogAction::CountedAndPrint), F = int(WatchdogAction::FrameSeen),
              W = int(WatchdogAction::ShowWarning), D = int(WatchdogAction::Disconnect);
    const QList<int> silent11{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("Dunstel silent") << BoardKind::Dunstel << silent11 << QList<int>{C, C, C, C, C, C, C, C, C, C, D} << 10;
    QTest::newRow("Eskra silent") << BoardKind::Eskra << silent11 << QList<int>{C, C, C, C, C, C, C, C, C, C, D} << 10;
    QTest::newRow("Dunstel frame resets") << BoardKind::Dunstel << QList<int>{0, 0, 3, 0} << QList<int>{C, C, F, C} << 1;
    QTest::newRow("Dunstel no acquisition") << BoardKind::Dunstel << QList<int>{-1, -1} << QList<int>{N, N} << 0;
    QTest::newRow("Corvane silent") << BoardKind::Corvane << silent11 << QList<int>{P, P, P, P, W, P, P, P, P, P, D} << 10;
    QTest::newRow("Corvane frame resets") << BoardKind::Corvane << QList<int>{0, 0, 0, 0, 0, 2, 0} << QList<int>{P, P, P, P, W, F, P}
                                          << 1;
    QTest::newRow("Belmor+") << BoardKind::BelmorPlus << silent11 << QList<int>{N, N, N, N, N, N, N, N, N, N, N} << 0;
    QTest::newRow("no board") << BoardKind::None << silent11 << QList<int>{N, N, N, N, N, N, N, N, N, N, N} << 0;
}

void tst_frame_statistics::watchdogRule()
{
    QFETCH(BoardKind, kind);
    QFETCH(QList<int>, counters);
    QFETCH(QList<int>, actions);
    QFETCH(int, seconds);
    int n = 0;
    QList<int> seen;
    for (int f : counters)
        seen << int(WatchdogTick(kind, f, n, false));
    QCOMPARE(seen, actions);
    QCOMPARE(n, seconds);
}

void tst_frame_statistics::labelsOfOneTick()
{
    AcquisitionBench bench(3, BoardKind::BelmorPlus, 2);
    MainWindow& w = bench.w();
    w.FrameWidth = 640;
    w.FrameHeight = 480;
    w.FramesReceived = 50;
    w.FramesDisplayed = 25;
    w.FrameCounter = 50;
    w.MatDisplayGrey = (cv::Mat_<uint8_t>(1, 2) << 127, 128);
    w.TimeOut1s();
    QCOMPARE(w.ui->label_Framerate_Acq_Val->text(), QString("50 FPS"));
    QCOMPARE(w.ui->label_Framerate_Shown_Val->text(), QString("25 FPS"));
    QCOMPARE(w.ui->label_Bandwidth_Val->text(), QString("234.375 Mbits/s"));
    QCOMPARE(w.ui->label_MeanValue_Val->text(), QString("128"));
    QCOMPARE(w.ui->label_StdValue_Val->text(), QString("0.5"));
    QCOMPARE(w.ui->label_MaxValue_Val->text(), QString("128"));
    QCOMPARE(w.ui->label_MinValue_Val->text(), QString("127"));
    QCOMPARE(w.FramesReceived.load(), 0);
    QCOMPARE(w.FramesDisplayed.load(), 0);
    QCOMPARE(w.FrameCounter.load(), 0);
    // Ties go to the even neighbour.
    w.MatDisplayGrey = (cv::Mat_<uint8_t>(1, 2) << 126, 127);
    w.TimeOut1s();
    QCOMPARE(w.ui->label_MeanValue_Val->text(), QString("126"));
}

void tst_frame_statistics::silentCorvaneWarnsThenDisconnects()
{
    AcquisitionBench bench(6, BoardKind::Corvane, 2);
    MainWindow& w = bench.w();
    w.FrameCounter = 0;
    CoutCapture out;
    for (int tick = 1; tick <= 10; ++tick) {
        w.TimeOut1s();
        QCOMPARE(VisibleBox(&w, "Warning") != nullptr, tick >= 5);
        QVERIFY(w.Connected);
    }
    QCOMPARE(QString::fromStdString(out.Text.str()),
             QString("No frame since 1seconds\nNo frame since 2seconds\nNo frame since 3seconds\n"
                     "No frame since 4seconds\nNo frame since 4seconds\nNo frame since 6seconds\n"
                     "No frame since 7seconds\nNo frame since 8seconds\nNo frame since 9seconds\n"
                     "No frame since 10seconds\n"));
    QCOMPARE(VisibleBox(&w, "Warning")->text(), QString("Corvane is deconnecting...\nRecovering in progress"));
    w.TimeOut1s();
    QVERIFY(bench.idle());
    QVERIFY(VisibleBox(&w, "Warning") == nullptr);
    QMessageBox* pCritical = VisibleBox(&w, "Critical");
    QVERIFY(pCritical);
    QCOMPARE(pCritical->text(), QString("Corvane is deconnected...\nPlease check connexion"));
    pCritical->close();
}

void tst_frame_statistics::corvaneFrameClosesTheWarning()
{
    AcquisitionBench bench(6, BoardKind::Corvane, 2);
    MainWindow& w = bench.w();
    w.FrameCounter = 0;
    CoutCapture out;
    for (int tick = 1; tick <= 5; ++tick)
        w.TimeOut1s();
    QVERIFY(VisibleBox(&w, "Warning"));
    w.FrameCounter = 1;
    w.TimeOut1s();
    QVERIFY(VisibleBox(&w, "Warning") == nullptr);
    QCOMPARE(w.NoFrameSeconds.load(), 0);
    QVERIFY(w.Connected);
}

void tst_frame_statistics::silentDunstelIsDisconnected()
{
    AcquisitionBench bench(4, BoardKind::Dunstel, 2);
    MainWindow& w = bench.w();
    w.FrameCounter = 0;
    for (int tick = 1; tick <= 10; ++tick)
        w.TimeOut1s();
    QVERIFY(w.Connected);
    QVERIFY(bench.Recorder.Boxes.isEmpty());
    w.TimeOut1s();
    QVERIFY(bench.idle());
    QVERIFY(w.StopAcquisition);
    // Without a serial link the safe registers fail too: that box comes first, at the end of Deinit.
    QCOMPARE(bench.Recorder.Boxes.last(), QString("Critical|Dunstel is deconnected...\nPlease check connexion"));
}

void tst_frame_statistics::debugWindowHoldsTheWatchdog()
{
    for (int kind : {4, 5, 6}) {
        AcquisitionBench bench(kind, BoardKind::Corvane, 2);
        MainWindow& w = bench.w();
        w.DebugRunning = true;
        w.FrameCounter = 0;
        CoutCapture out;
        for (int tick = 1; tick <= 20; ++tick)
            w.TimeOut1s();
        QVERIFY(w.Connected);
        QVERIFY(bench.Recorder.Boxes.isEmpty());
    }
}

void tst_frame_statistics::cameraLinkIsNeverDisconnected()
{
    for (int kind : {1, 2, 3}) {
        AcquisitionBench bench(kind, BoardKind::BelmorPlus, 2);
        MainWindow& w = bench.w();
        w.FrameCounter = 0;
        for (int tick = 1; tick <= 20; ++tick)
            w.TimeOut1s();
        QVERIFY(w.Connected);
    }
}

QTEST_MAIN(tst_frame_statistics)
#include "tst_frame_statistics.moc"
