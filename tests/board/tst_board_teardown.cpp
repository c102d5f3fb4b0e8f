// A board change or a close while a board is connected or streaming: the old board is torn down first, safely.
#include "road_bench.h"
#include "support/quiet_debug_log.h"

#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/board_kind.h"

#include <functional>

using namespace sim;

namespace {

constexpr int kMarkerTint = 4321;

// The proxy each kind is set up for on the bench (the Belmor selector's list position 9 is record 2 too).
int BenchProxy(int p_iKind)
{
    return p_iKind == 5 ? 5 : 2;
}

// The board taken after p_iKind: Corvane, or Arvex when Corvane was the old one.
int NextKind(int p_iKind)
{
    return p_iKind == 6 ? 1 : 6;
}

QStringList LogLinesFrom(const Road& p_Road, int p_iFirst)
{
    QFile f(p_Road.Window->Log->filePath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString& sLine : QString::fromUtf8(f.readAll()).split('\n')) {
        const int iAt = sLine.indexOf(QStringLiteral(" : "));
        lines << (iAt >= 0 ? sLine.mid(iAt + 3) : sLine).trimmed();
    }
    return lines.mid(p_iFirst);
}

} // namespace

class tst_board_teardown : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The pacing is not what these tests are about; the frames stay the same.
        SetFastMode(true);
        qApp->setQuitOnLastWindowClosed(false);
        HoldDebugLines();
    }
    void cleanup() { ShowHeldDebugLinesIfFailed(); }
    void cleanupTestCase() { SetFastMode(false); }

    void boardChangeTearsTheOldBoardDown_data();
    void boardChangeTearsTheOldBoardDown();
    void closeTearsTheBoardDown_data();
    void closeTearsTheBoardDown();
    void imageBoxesAtTheTearDown_data();
    void imageBoxesAtTheTearDown();

private:
    // Connects p_iKind through the main button, starts it when p_bStreaming,
    // and runs p_Action once frames arrive (inside the running start sequence
    // for the kinds that stream in it), or at once when only connected.
    void runOnConnectedBoard(Road& p_Road, int p_iKind, bool p_bStreaming, const std::function<void()>& p_Action,
                             bool* p_pDone);
    // What every tear-down must leave: safe registers on the old board and one
    // complete Deinit, not cut short.
    void checkSafeTeardown(Road& p_Road, int p_iKind, const QStringList& p_Lines, int p_iFrom);
};

void tst_board_teardown::runOnConnectedBoard(Road& p_Road, int p_iKind, bool p_bStreaming,
                                             const std::function<void()>& p_Action, bool* p_pDone)
{
    MainWindow& w = *p_Road.Window;
    // On the grabber's shared connector "!" texts reach Belmor+ whenever it is
    // there, and the connector remembers which board spoke last.
    ResetCameraLinkPortLayout();
    if (p_iKind == 2)
        SimulationSettings().setBoardPresent(BoardKind::BelmorPlus, false);
    p_Road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(p_iKind);
    if (p_iKind != 5) {
        if (p_iKind == 2)
            p_Road.confirmBelmorProxyLater(9);
        p_Road.press();
        QVERIFY2(w.Connected, qPrintable(p_Road.Recorder.Boxes.join('\n')));
        QCOMPARE(p_Road.ui()->pushButton_Start->text(), QString("Start"));
    }
    if (!p_bStreaming) {
        p_Action();
        *p_pDone = true;
        return;
    }
    auto* pPoll = new QTimer(&w);
    QObject::connect(pPoll, &QTimer::timeout, &w, [&w, pPoll, p_Action, p_pDone]() {
        if (w.StopAcquisition || w.FrameCounter <= 0 || !w.Connected)
            return;
        pPoll->stop();
        pPoll->deleteLater();
        p_Action();
        *p_pDone = true;
    });
    pPoll->start(10);
    // Camera Link, GigE and the serial-port board stream inside this press; Corvane returns at once.
    p_Road.press();
    QTRY_VERIFY_WITH_TIMEOUT(*p_pDone, 15000);
}

void tst_board_teardown::checkSafeTeardown(Road& p_Road, int p_iKind, const QStringList& p_Lines, int p_iFrom)
{
    const int iDone = p_Lines.indexOf("Deinitialization DONE", p_iFrom);
    QVERIFY2(iDone > p_iFrom, qPrintable(p_Lines.mid(p_iFrom).join('\n')));
    // One tear-down, and nothing started on any board while it ran.
    QCOMPARE(p_Lines.mid(p_iFrom, iDone - p_iFrom).count("Deinitializing ..."), 1);
    for (const char* szLine : {"Connection to the DigiBoard", "Disconnect Button Pressed", "Acquisition in progress"})
        QVERIFY2(!p_Lines.mid(p_iFrom, iDone - p_iFrom).contains(szLine), szLine);
    for (const QString& sBox : p_Road.Recorder.Boxes)
        QVERIFY2(!sBox.startsWith("Bad deinitializing"), qPrintable(sBox));
    // The serial-port board has no safe registers; every other board gets its parking values.
    if (p_iKind == 5)
        return;
    const int proxy = BenchProxy(p_iKind);
    const auto sensor = SensorFor(BoardKind(p_iKind));
    QVERIFY(sensor->registerValue(0) != kMarkerTint);
    const uint32_t zero = GetDefault(proxy, ProxyParameterId::StopZeroChannel);
    if (zero != ProxyParameterNotSet)
        QCOMPARE(sensor->registerValue(int(zero) - 1), 0);
    const uint32_t full = GetDefault(proxy, ProxyParameterId::GSKChannel);
    if (full != ProxyParameterNotSet)
        QCOMPARE(sensor->registerValue(int(full) - 1), 4095);
}

void tst_board_teardown::boardChangeTearsTheOldBoardDown_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("streaming");
    QTest::addColumn<int>("pressAfterMs");
    const char* names[] = {"", "Arvex", "Belmor", "Belmor+", "Dunstel", "Eskra", "Corvane"};
    for (int kind = 1; kind <= 6; ++kind)
        for (bool streaming : {false, true}) {
            // One press connects and streams the serial-port board: it is never only connected.
            if (kind == 5 && !streaming)
                continue;
            for (int delay : {0, 100, 500})
                QTest::addRow("%s %s, press after %d ms", names[kind], streaming ? "streaming" : "connected", delay)
                    << kind << streaming << delay;
        }
}

void tst_board_teardown::boardChangeTearsTheOldBoardDown()
{
    QFETCH(int, kind);
    QFETCH(bool, streaming);
    QFETCH(int, pressAfterMs);
    const int next = NextKind(kind);
    Road road(BoardKind(kind), BenchProxy(kind));
    MainWindow& w = *road.Window;
    int iFirstLine = 0;
    bool bPressed = false;
    bool bChanged = false;
    runOnConnectedBoard(road, kind, streaming, [&]() {
        SensorFor(BoardKind(kind))->setRegister(0, kMarkerTint);
        iFirstLine = LogLinesFrom(road, 0).size() - 1;
        // Armed before the change: at 0 ms the press lands in the tear-down's first event processing.
        QTimer::singleShot(pressAfterMs, &w, [&]() {
            road.press();
            bPressed = true;
        });
        road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(next);
    }, &bChanged);
    QTRY_VERIFY_WITH_TIMEOUT(bPressed && road.ui()->comboBox_SelectDigiBoard->isEnabled()
                                 && road.ui()->pushButton_Start->isEnabled() && w.MainPressDepth == 0,
                             15000);

    const QStringList lines = LogLinesFrom(road, iFirstLine);
    const int iChange = lines.indexOf("DigiBoard changed to " + road.ui()->comboBox_SelectDigiBoard->itemText(next));
    QVERIFY(iChange >= 0);
    checkSafeTeardown(road, kind, lines, iChange);
    // The old board's links are gone.
    QCOMPARE(multicam_test::ChannelCount(), 0);
    QVERIFY(w.GigEPipeline == nullptr && w.GigEStream == nullptr && w.GigEDevice == nullptr);

    QCOMPARE(w.DigiBoardKind.load(), BoardKindFromIndex(next));
    QCOMPARE(road.ui()->comboBox_SelectDigiBoard->currentIndex(), next);
    // A start sequence that the change overtook goes no further: no stream
    // of the new kind runs that nobody started.
    if (!w.Connected) {
        QVERIFY(!w.bInitDriverDone);
        QCOMPARE(isInitialized(), 0);
        QVERIFY(!lines.mid(iChange).contains("Start display"));
    }
    if (w.Connected) {
        // A press after the tear-down connects the new board, and only after it.
        const int iDone = lines.indexOf("Deinitialization DONE", iChange);
        QVERIFY(lines.indexOf("Connection to the DigiBoard", iChange) > iDone);
        QCOMPARE(road.ui()->pushButton_Start->text(), QString("Start"));
        w.Deinit();
    }
    QCOMPARE(road.ui()->pushButton_Start->text(), QString("Connect"));
    QVERIFY(road.ui()->pushButton_Start->isEnabled());
    QCOMPARE(road.ui()->label_State->text(), QString("Ready"));
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
}

void tst_board_teardown::closeTearsTheBoardDown_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("streaming");
    const char* names[] = {"", "Arvex", "Belmor", "Belmor+", "Dunstel", "Eskra", "Corvane"};
    for (int kind = 1; kind <= 6; ++kind)
        for (bool streaming : {false, true})
            if (kind != 5 || streaming)
                QTest::addRow("%s %s", names[kind], streaming ? "streaming" : "connected") << kind << streaming;
}

void tst_board_teardown::closeTearsTheBoardDown()
{
    QFETCH(int, kind);
    QFETCH(bool, streaming);
    Road road(BoardKind(kind), BenchProxy(kind));
    MainWindow& w = *road.Window;
    int iFirstLine = 0;
    bool bClosed = false;
    runOnConnectedBoard(road, kind, streaming, [&]() {
        SensorFor(BoardKind(kind))->setRegister(0, kMarkerTint);
        iFirstLine = LogLinesFrom(road, 0).size() - 1;
        w.close();
    }, &bClosed);
    QTRY_VERIFY_WITH_TIMEOUT(w.MainPressDepth == 0, 15000);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.Connected);
    checkSafeTeardown(road, kind, LogLinesFrom(road, iFirstLine), 0);
    QCOMPARE(multicam_test::ChannelCount(), 0);
    QVERIFY(w.GigEPipeline == nullptr && w.GigEStream == nullptr && w.GigEDevice == nullptr);
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
}

void tst_board_teardown::imageBoxesAtTheTearDown_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("kept");
    const char* names[] = {"", "Arvex", "Belmor", "Belmor+", "Dunstel", "Eskra", "Corvane"};
    for (int kind = 1; kind <= 6; ++kind)
        QTest::addRow("%s", names[kind]) << kind << (kind == 1);
}

// The tear-down unchecks the HDR and InvertBW boxes, but the Arvex board keeps them.
void tst_board_teardown::imageBoxesAtTheTearDown()
{
    QFETCH(int, kind);
    QFETCH(bool, kept);
    AcquisitionBench bench(kind, BoardKind(kind), BenchProxy(kind));
    MainWindow& w = bench.w();
    w.SetControlChecked(MainControl::HDRBox, true);
    SetCurrent(w.CurrentProxyIndex, ProxyParameterId::InvertBW, 1);
    w.Deinit();
    const QString log = bench.log();
    QCOMPARE(log.contains("Unchecking HDR Box ..."), !kept);
    QCOMPARE(log.contains("Unchecking InvertBW ..."), !kept);
}

QTEST_MAIN(tst_board_teardown)
#include "tst_board_teardown.moc"
