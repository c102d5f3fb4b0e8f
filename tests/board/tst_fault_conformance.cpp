// The six board kinds against one table of faults: what the operator sees, where the window returns, and that a second connection streams.
#include "support/build_speed.h"
#include "conformance_bench.h"
#include "support/quiet_debug_log.h"

using namespace sim;
using namespace conformance;

namespace {

// A row's bound: the Camera Link boards have no no-frame watchdog, the others
// disconnect after ten silent seconds; sanitizer builds are slower.
int BoundMs()
{
    return 15000 * (BuildSlowdown > 1 ? 3 : 1);
}

} // namespace

class tst_fault_conformance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { HoldDebugLines(); }
    void cleanup()
    {
        ShowHeldDebugLinesIfFailed();
        ClearAllFaults();
    }
    void noBoard_data();
    void noBoard();
    void faultWhileStreaming_data();
    void faultWhileStreaming();
};

void tst_fault_conformance::noBoard_data()
{
    QTest::addColumn<int>("board");
    // No board: the port or device is not there.
    // No board: the board is not plugged in (the Camera Link boards share one
    // grabber connector, so none of them is there).
    QTest::newRow("Arvex") << int(BoardKind::Arvex);
    QTest::newRow("Belmor") << int(BoardKind::Belmor);
    QTest::newRow("Belmor+") << int(BoardKind::BelmorPlus);
    QTest::newRow("Dunstel") << int(BoardKind::Dunstel);
    QTest::newRow("Eskra") << int(BoardKind::Eskra);
    QTest::newRow("Corvane") << int(BoardKind::Corvane);
}

void tst_fault_conformance::noBoard()
{
    QFETCH(int, board);
    const BoardKind kind = BoardKind(board);
    Road road(kind, ProxyFor(kind));
    SimulationSettings settings;
    const bool bCameraLink = kind == BoardKind::Arvex || kind == BoardKind::Belmor || kind == BoardKind::BelmorPlus;
    for (BoardKind other : kAllBoardKinds)
        if (other == kind || (bCameraLink && (other == BoardKind::Arvex || other == BoardKind::Belmor
                                              || other == BoardKind::BelmorPlus)))
            settings.setBoardPresent(other, false);
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(ComboIndex(kind));
    const int iLogStart = LogLines(road).size();

    QElapsedTimer clock;
    clock.start();
    // The serial-port board has no connection step: Start opens its port.
    road.press();
    QVERIFY2(BackAtRest(road, BoundMs()), qPrintable(Shown(road, iLogStart)));
    QVERIFY2(clock.elapsed() < BoundMs(), qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(Told(road, iLogStart, {"error", "not connected", "deconnected", "can't", "fail"}),
             qPrintable(Shown(road, iLogStart)));

    // The board is plugged in: the next connection streams.
    for (BoardKind other : kAllBoardKinds)
        settings.setBoardPresent(other, true);
    road.Recorder.Boxes.clear();
    QVERIFY2(ConnectAndStream(road, kind, BoundMs()), qPrintable(Shown(road, iLogStart)));
    QVERIFY2(BackAtRest(road, BoundMs()), qPrintable(Shown(road, iLogStart)));
}

void tst_fault_conformance::faultWhileStreaming_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<int>("fault");
    // Whether the window ends the acquisition itself (watchdog, lost device)
    // or keeps it until the operator presses the disconnection.
    QTest::addColumn<bool>("endsItself");
    // Armed before Start: the board never sends a byte, or its latch never clears.
    QTest::addColumn<bool>("fromStart");
    QTest::newRow("Eskra silent") << int(BoardKind::Eskra) << int(Fault::SilentPort) << true << true;
    QTest::newRow("Corvane latch never clears") << int(BoardKind::Corvane) << int(Fault::LatchNeverClears) << false << true;
    QTest::newRow("Arvex unplugged") << int(BoardKind::Arvex) << int(Fault::DeviceLostMidStream) << true << false;
    QTest::newRow("Belmor+ unplugged") << int(BoardKind::BelmorPlus) << int(Fault::DeviceLostMidStream) << true << false;
    QTest::newRow("Dunstel unplugged") << int(BoardKind::Dunstel) << int(Fault::DeviceLostMidStream) << true << false;
    QTest::newRow("Eskra unplugged") << int(BoardKind::Eskra) << int(Fault::DeviceLostMidStream) << true << false;
    QTest::newRow("Corvane unplugged") << int(BoardKind::Corvane) << int(Fault::DeviceLostMidStream) << true << false;
    QTest::newRow("Eskra corrupted bytes") << int(BoardKind::Eskra) << int(Fault::CorruptedBytes) << false << false;
    QTest::newRow("Eskra dropped bytes") << int(BoardKind::Eskra) << int(Fault::DroppedBytes) << false << false;
    QTest::newRow("Arvex frames stop") << int(BoardKind::Arvex) << int(Fault::FramesStop) << false << false;
    QTest::newRow("Dunstel frames stop") << int(BoardKind::Dunstel) << int(Fault::FramesStop) << true << false;
    QTest::newRow("Eskra frames stop") << int(BoardKind::Eskra) << int(Fault::FramesStop) << true << false;
    QTest::newRow("Corvane frames stop") << int(BoardKind::Corvane) << int(Fault::FramesStop) << true << false;
}

void tst_fault_conformance::faultWhileStreaming()
{
    QFETCH(int, board);
    QFETCH(int, fault);
    QFETCH(bool, endsItself);
    QFETCH(bool, fromStart);
    const BoardKind kind = BoardKind(board);
    Road road(kind, ProxyFor(kind));
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(ComboIndex(kind));
    if (kind != BoardKind::Eskra) {
        if (kind == BoardKind::Belmor)
            road.confirmBelmorProxyLater(9);
        road.press();
        QVERIFY2(w.Connected, qPrintable(Shown(road)));
    }

    const int iLogStart = LogLines(road).size();
    // Armed once frames are shown; the operator presses the disconnection
    // only where the window cannot tell (a grabber simply sees no frames).
    bool bArmed = false, bPressed = false;
    QElapsedTimer sinceFault;
    if (fromStart) {
        InjectFault(kind, Fault(fault));
        sinceFault.start();
        bArmed = true;
    }
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &w, [&]() {
        if (!bArmed && w.FramesDisplayed > 2) {
            InjectFault(kind, Fault(fault));
            sinceFault.start();
            bArmed = true;
        } else if (bArmed && !endsItself && !bPressed && sinceFault.elapsed() > 3000) {
            bPressed = true;
            road.press();
        }
    });
    poll.start(20);
    road.press();
    QVERIFY2(BackAtRest(road, BoundMs() + 5000), qPrintable(Shown(road)));
    poll.stop();
    QVERIFY(bArmed);
    QVERIFY2(sinceFault.elapsed() < BoundMs(), qPrintable(QString::number(sinceFault.elapsed())));
    if (endsItself)
        QVERIFY2(Told(road, iLogStart, {"deconnected", "lost", "no frame", "removed", "error"}),
                 qPrintable(Shown(road, iLogStart)));

    ClearAllFaults();
    road.Recorder.Boxes.clear();
    QVERIFY2(ConnectAndStream(road, kind, BoundMs()), qPrintable(Shown(road)));
    QVERIFY2(BackAtRest(road, BoundMs()), qPrintable(Shown(road)));
}

QTEST_MAIN(tst_fault_conformance)
#include "tst_fault_conformance.moc"
