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
    // The boxes shown (title|text, in order) and log lines written.
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("lines");
    // No board: the board is not plugged in (the Camera Link boards share one
    // grabber connector, so none of them is there): the grabber offers no
    // serial port, and the connection fails with the serial-communication
    // error.
    const QStringList cameraLinkBoxes{
        "Critical|ActivateTerminal() fail: Serial Port Initialization Error: \nSorry, no serial port detected.\n"
        "Check if a GrabLink is present in your system and if the drivers are correctly loaded...\n",
        "Critical|Error 0x00000001 - Serial Communication failed. The connection can't be established correctly."};
    const QStringList cameraLinkLines{
        "Init CameraLink Serial Port ...", "Sorry, no FrameGrabber detected.",
        "Check if a GrabLink is present in your system and if the drivers are correctly loaded...", "... FAILED",
        "Error 0x00000001 - Serial Communication failed. The connection can't be established correctly"};
    QTest::newRow("Arvex") << int(BoardKind::Arvex) << cameraLinkBoxes << cameraLinkLines;
    QTest::newRow("Belmor") << int(BoardKind::Belmor) << cameraLinkBoxes << cameraLinkLines;
    QTest::newRow("Belmor+") << int(BoardKind::BelmorPlus) << cameraLinkBoxes << cameraLinkLines;
    // No GigE device to choose: a log line only.
    QTest::newRow("Dunstel") << int(BoardKind::Dunstel) << QStringList{}
                             << QStringList{"Error 0x00000008 - No Dunstel selected"};
    // The port opens, but nothing answers on it: the watchdog gives up after
    // ten silent seconds.
    QTest::newRow("Eskra") << int(BoardKind::Eskra)
                           << QStringList{"Critical|Eskra is deconnected...\nPlease check connexion"}
                           << QStringList{"Open SerialPort", "DigiBoard Disconnected"};
    // Ten retries, then a log line only.
    QTest::newRow("Corvane") << int(BoardKind::Corvane) << QStringList{}
                             << QStringList{"Attempt to connect: 10", "Corvane not connected to the computer"};
}

void tst_fault_conformance::noBoard()
{
    QFETCH(int, board);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, lines);
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
    const QString sMismatch = Mismatch(road, iLogStart, boxes, lines);
    QVERIFY2(sMismatch.isEmpty(), qPrintable(sMismatch));

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
    // The boxes shown (title|text, in order) and log lines written.
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("lines");
    // Where the window keeps the acquisition: whether the picture stands
    // still, the shown rate reading "0 FPS", by the time the operator presses.
    QTest::addColumn<bool>("frozen");
    // Non-modal boxes that must have been open on the way and closed again.
    QTest::addColumn<QStringList>("onTheWay");

    const QStringList eskraGone{"Critical|Eskra is deconnected...\nPlease check connexion"};
    const QStringList dunstelGone{"Critical|Dunstel is deconnected...\nPlease check connexion"};
    // The USB3 watchdog's warning at the fifth silent second is closed when
    // it gives up; only the last box is still open.
    const QStringList corvaneGone{"Critical|Corvane is deconnected...\nPlease check connexion"};
    const QStringList corvaneGoing{"Warning|Corvane is deconnecting...\nRecovering in progress"};
    // A board that was pulled out, or whose latch never clears, takes no
    // safe register values: the tear-down says so once it is through.
    const QStringList removed{"Bad deinitializing|The DigiBoard has been removed before the end of deinitializing phase."};
    const QStringList cameraLinkLost{"CameraLink Error|Please check if the DigiBoard is well connected to the computer."};
    const QStringList cameraLinkLostLines{"Camera Link connexion failed. Is the cable still connected to the computer ?"};
    const QStringList none;
    QTest::newRow("Eskra silent") << int(BoardKind::Eskra) << int(Fault::SilentPort) << true << true
                                  << eskraGone << none << false << QStringList{};
    // The USB3 start writes no register: frames flow, and only the
    // tear-down's writes fail.
    QTest::newRow("Corvane latch never clears")
            << int(BoardKind::Corvane) << int(Fault::LatchNeverClears) << false << true
            << removed << none << false << QStringList{};
    QTest::newRow("Arvex unplugged") << int(BoardKind::Arvex) << int(Fault::DeviceLostMidStream) << true << false
                                     << cameraLinkLost << cameraLinkLostLines << false << QStringList{};
    QTest::newRow("Belmor+ unplugged") << int(BoardKind::BelmorPlus) << int(Fault::DeviceLostMidStream) << true
                                       << false << cameraLinkLost << cameraLinkLostLines << false << QStringList{};
    QTest::newRow("Dunstel unplugged") << int(BoardKind::Dunstel) << int(Fault::DeviceLostMidStream) << true << false
                                       << removed + dunstelGone << none << false << QStringList{};
    QTest::newRow("Eskra unplugged") << int(BoardKind::Eskra) << int(Fault::DeviceLostMidStream) << true << false
                                     << eskraGone << none << false << QStringList{};
    // The simulated USB3 board comes back for a moment at each of the
    // capture's recoveries: whether the tear-down's writes fall in such a
    // moment is timing, so the tear-down's box may or may not follow.
    QTest::newRow("Corvane unplugged") << int(BoardKind::Corvane) << int(Fault::DeviceLostMidStream) << true << false
                                       << corvaneGone << none << false << corvaneGoing;
    // Frames that fail their check are dropped without a word.
    QTest::newRow("Eskra corrupted bytes") << int(BoardKind::Eskra) << int(Fault::CorruptedBytes) << false << false
                                           << none << none << true << QStringList{};
    QTest::newRow("Eskra dropped bytes") << int(BoardKind::Eskra) << int(Fault::DroppedBytes) << false << false
                                         << none << none << true << QStringList{};
    // The grabber simply sees no frames: no watchdog on this path.
    QTest::newRow("Arvex frames stop") << int(BoardKind::Arvex) << int(Fault::FramesStop) << false << false
                                       << none << none << true << QStringList{};
    QTest::newRow("Dunstel frames stop") << int(BoardKind::Dunstel) << int(Fault::FramesStop) << true << false
                                         << dunstelGone << none << false << QStringList{};
    QTest::newRow("Eskra frames stop") << int(BoardKind::Eskra) << int(Fault::FramesStop) << true << false
                                       << eskraGone << none << false << QStringList{};
    QTest::newRow("Corvane frames stop") << int(BoardKind::Corvane) << int(Fault::FramesStop) << true << false
                                         << corvaneGone << none << false << corvaneGoing;
}

void tst_fault_conformance::faultWhileStreaming()
{
    QFETCH(int, board);
    QFETCH(int, fault);
    QFETCH(bool, endsItself);
    QFETCH(bool, fromStart);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, lines);
    QFETCH(bool, frozen);
    QFETCH(QStringList, onTheWay);
    const QStringList removed{"Bad deinitializing|The DigiBoard has been removed before the end of deinitializing phase."};
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
    // What the operator sees before pressing: the shown rate of the second
    // before and of the one before that.
    QString sShownRate, sShownRateBefore;
    QStringList seen;
    if (fromStart) {
        InjectFault(kind, Fault(fault));
        sinceFault.start();
        bArmed = true;
    }
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &w, [&]() {
        for (QWidget* pWidget : QApplication::topLevelWidgets())
            if (auto* pBox = qobject_cast<QMessageBox*>(pWidget); pBox && pBox->isVisible()
                && !seen.contains(pBox->windowTitle() + "|" + pBox->text()))
                seen << pBox->windowTitle() + "|" + pBox->text();
        if (!bArmed && w.FramesDisplayed > 2) {
            InjectFault(kind, Fault(fault));
            sinceFault.start();
            bArmed = true;
        } else if (bArmed && !endsItself && !bPressed && sShownRateBefore.isEmpty() && sinceFault.elapsed() > 2000) {
            sShownRateBefore = road.ui()->label_Framerate_Shown_Val->text();
        } else if (bArmed && !endsItself && !bPressed && sinceFault.elapsed() > 3000) {
            bPressed = true;
            sShownRate = road.ui()->label_Framerate_Shown_Val->text();
            road.press();
        }
    });
    poll.start(20);
    road.press();
    QVERIFY2(BackAtRest(road, BoundMs() + 5000), qPrintable(Shown(road)));
    poll.stop();
    QVERIFY(bArmed);
    QVERIFY2(sinceFault.elapsed() < BoundMs(), qPrintable(QString::number(sinceFault.elapsed())));
    const QStringList mayAlsoShow =
            kind == BoardKind::Corvane && Fault(fault) == Fault::DeviceLostMidStream ? removed : QStringList{};
    const QString sMismatch = Mismatch(road, iLogStart, boxes, lines, mayAlsoShow);
    QVERIFY2(sMismatch.isEmpty(), qPrintable(sMismatch));
    for (const QString& sBox : onTheWay) {
        QVERIFY2(seen.contains(sBox), qPrintable(seen.join(" / ")));
        QVERIFY2(!BoxTexts(road).contains(sBox), qPrintable(sBox));
    }
    if (!endsItself) {
        QVERIFY(bPressed);
        if (frozen) {
            QCOMPARE(sShownRateBefore, QString("0 FPS"));
            QCOMPARE(sShownRate, QString("0 FPS"));
        } else {
            QVERIFY2(sShownRateBefore.endsWith(" FPS") && sShownRateBefore != "0 FPS", qPrintable(sShownRateBefore));
            QVERIFY2(sShownRate.endsWith(" FPS") && sShownRate != "0 FPS", qPrintable(sShownRate));
        }
    }

    ClearAllFaults();
    road.Recorder.Boxes.clear();
    QVERIFY2(ConnectAndStream(road, kind, BoundMs()), qPrintable(Shown(road)));
    QVERIFY2(BackAtRest(road, BoundMs()), qPrintable(Shown(road)));
}

QTEST_MAIN(tst_fault_conformance)
#include "tst_fault_conformance.moc"
