// The image gain and offset refresh: the slider slots' table writes and the once-a-second board writes per board kind.
#include "app/globals.h"
#include "board/cameralink_serial.h"
#include "board/gain_offset_refresh.h"
#include "board_link_fixture.h"
#include "mainwindow/MainWindow.h"
#include "params/proxy_parameter_table.h"
#include "platform/clserial/clserial.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "sim/usb3/corvane_board.h"
#include "ui_MainWindow.h"
#include "usb3lib/Quenlin.h"
#include "usb3lib/quenlin_test_support.h"

#include <QTimer>
#include <QtTest>

#include <memory>

using sim::BoardKind;

namespace {

constexpr int kProxy = 2;

GainOffsetContext Context(BoardKind p_Kind, bool p_bSoftwareNUC, bool p_bTimer, bool p_bAGC = false)
{
    GainOffsetContext c;
    c.Kind = p_Kind;
    c.ProxyIndex = kProxy;
    c.SoftwareNUC = p_bSoftwareNUC;
    c.TimerRunning = p_bTimer;
    c.AGCOn = p_bAGC;
    return c;
}

QByteArray Zero8(const QByteArray& p_Text)
{
    return p_Text + QByteArray(8 - p_Text.size(), '\0');
}

} // namespace

class tst_gain_offset_refresh : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BoardLinkBench> m_pBench;

    void openCameraLink(BoardKind p_Kind)
    {
        sim::SimulationSettings s;
        for (BoardKind k : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus})
            s.setBoardPresent(k, k == p_Kind);
        hSerRef ref = nullptr;
        QCOMPARE(clSerialInit(0, &ref), int32_t(CL_ERR_NO_ERR));
        g_hCameraLinkSerial = ref;
    }

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void init()
    {
        m_pBench = std::make_unique<BoardLinkBench>();
        InitProxyParameterTable();
        sim::ResetCameraLinkSimulation();
        sim::CorvaneBoard::instance().reset();
    }
    void cleanup()
    {
        CloseCameraLinkSerial();
        CloseCapture(false);
        sim::ResetCameraLinkSimulation();
        m_pBench.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // ---- Slider slots ----------------------------------------------------------------

    void offsetStored_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<bool>("softwareNUC");
        QTest::addColumn<bool>("timer");
        QTest::addColumn<bool>("agc");
        QTest::addColumn<int>("cell");      // -1: unchanged
        QTest::addColumn<bool>("marked");
        QTest::newRow("Belmor+ hardware NUC: full value, marked") << BoardKind::BelmorPlus << false << true << false << 1000 << true;
        QTest::newRow("Belmor+ timer stopped: not marked") << BoardKind::BelmorPlus << false << false << false << 1000 << false;
        QTest::newRow("Belmor+ software NUC: halved") << BoardKind::BelmorPlus << true << true << false << 500 << false;
        QTest::newRow("Belmor not halved") << BoardKind::Belmor << false << false << false << 1000 << false;
        QTest::newRow("Dunstel not halved") << BoardKind::Dunstel << false << false << false << 1000 << false;
        QTest::newRow("Eskra not halved") << BoardKind::Eskra << false << false << false << 1000 << false;
        QTest::newRow("Corvane software NUC: halved") << BoardKind::Corvane << true << true << false << 500 << false;
        QTest::newRow("Corvane hardware NUC: left to the tick") << BoardKind::Corvane << false << true << false << -1 << true;
        QTest::newRow("Arvex software NUC: only the slider cell") << BoardKind::Arvex << true << true << false << -1 << false;
        QTest::newRow("Arvex hardware NUC: marked") << BoardKind::Arvex << false << true << false << -1 << true;
        QTest::newRow("no board") << BoardKind::None << false << true << false << -1 << false;
        QTest::newRow("AGC on: stored, not logged") << BoardKind::Belmor << false << false << true << 1000 << false;
    }
    void offsetStored()
    {
        QFETCH(BoardKind, kind);
        QFETCH(bool, softwareNUC);
        QFETCH(bool, timer);
        QFETCH(bool, agc);
        QFETCH(int, cell);
        QFETCH(bool, marked);
        const uint32_t uBefore = GetCurrent(kProxy, GainOffsetCell::Offset);
        std::atomic<bool> changed{false};
        StoreImageOffset(Context(kind, softwareNUC, timer, agc), 1000, changed);
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Offset), cell < 0 ? uBefore : uint32_t(cell));
        QCOMPARE(changed.load(), marked);
        const QStringList lines = m_pBench->logLinesStartingWith("Offset value set to ");
        if (cell < 0 || agc)
            QVERIFY(lines.isEmpty());
        else
            QCOMPARE(lines, QStringList{"Offset value set to " + QString::number(cell)});
    }

    void gainStored_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<bool>("softwareNUC");
        QTest::addColumn<bool>("timer");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("marked");
        QTest::newRow("Dunstel in software") << BoardKind::Dunstel << false << false << true << false;
        QTest::newRow("Belmor in software") << BoardKind::Belmor << false << true << true << false;
        QTest::newRow("Arvex software NUC") << BoardKind::Arvex << true << true << true << false;
        QTest::newRow("Belmor+ marked") << BoardKind::BelmorPlus << false << true << false << true;
        QTest::newRow("Corvane marked") << BoardKind::Corvane << false << true << false << true;
        QTest::newRow("Belmor+ timer stopped") << BoardKind::BelmorPlus << false << false << false << false;
        QTest::newRow("Eskra nothing") << BoardKind::Eskra << false << true << false << false;
    }
    void gainStored()
    {
        QFETCH(BoardKind, kind);
        QFETCH(bool, softwareNUC);
        QFETCH(bool, timer);
        QFETCH(bool, stored);
        QFETCH(bool, marked);
        SetCurrent(kProxy, GainOffsetCell::Gain, 1);
        std::atomic<bool> changed{false};
        StoreImageGain(Context(kind, softwareNUC, timer), 12, changed);
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Gain), stored ? 12u : 1u);
        QCOMPARE(changed.load(), marked);
        QCOMPARE(m_pBench->logLinesStartingWith("Gain value set to : "),
                 stored ? QStringList{"Gain value set to : 12"} : QStringList());
    }

    // ---- The tick --------------------------------------------------------------------

    void tickSendsOffsetThenGain_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<QList<QByteArray>>("serial");
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus << QList<QByteArray>{"!G00500", "!F0005"};
        QTest::newRow("Arvex") << BoardKind::Arvex << QList<QByteArray>{Zero8("*O00500"), Zero8("*G0005")};
    }
    void tickSendsOffsetThenGain()
    {
        QFETCH(BoardKind, kind);
        QFETCH(QList<QByteArray>, serial);
        const BoardKind board = static_cast<BoardKind>(kind);
        openCameraLink(board);
        SetCurrent(kProxy, GainOffsetCell::Offset, 1000);
        std::atomic<bool> changed{true};
        QString sFailure;
        QVERIFY(GainOffsetTick(Context(kind, false, true), 5, 1000, changed, &sFailure));
        QVERIFY(!changed);
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Offset), 500u);
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Gain), 5u);
        QCOMPARE(sim::RecordedBytes(board, "serial"), serial);
    }

    void tickSendsToTheBoardBehindTheUsb3Board()
    {
        std::atomic<bool> changed{true};
        QVERIFY(GainOffsetTick(Context(BoardKind::Corvane, false, true), 9, 301, changed, nullptr));
        QCOMPARE(sim::RecordedBytes(BoardKind::Corvane, "board"), (QList<QByteArray>{"2,8,150", "2,7,9"}));
        QCOMPARE(sim::RecordedBytes(BoardKind::Corvane, "register"),
                 (QList<QByteArray>{"51=2", "52=8", "53=150", "50=0", "51=2", "52=7", "53=9", "50=0"}));
    }

    void tickWithoutMarkOnlyCopies()
    {
        openCameraLink(BoardKind::BelmorPlus);
        SetCurrent(kProxy, GainOffsetCell::Offset, 100);
        SetCurrent(kProxy, GainOffsetCell::Gain, 3);
        std::atomic<bool> changed{false};
        QVERIFY(GainOffsetTick(Context(BoardKind::BelmorPlus, false, true), 3, 200, changed, nullptr));
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Offset), 100u);
        QVERIFY(GainOffsetTick(Context(BoardKind::BelmorPlus, false, true), 4, 300, changed, nullptr));
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Offset), 150u);
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Gain), 4u);
        QVERIFY(sim::RecordedBytes(BoardKind::BelmorPlus, "serial").isEmpty());
    }

    void failedOffsetKeepsTheMarkAndSkipsTheGain()
    {
        openCameraLink(BoardKind::BelmorPlus);
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::WriteFailure, 1);
        std::atomic<bool> changed{true};
        QString sFailure;
        QVERIFY(!GainOffsetTick(Context(BoardKind::BelmorPlus, false, true), 5, 1000, changed, &sFailure));
        QCOMPARE(sFailure, QString("Couldn't set OFFSET_IMG to 500.\n"));
        QVERIFY(changed);
        QVERIFY(sim::RecordedBytes(BoardKind::BelmorPlus, "serial").isEmpty());
        // The next tick sends both.
        QVERIFY(GainOffsetTick(Context(BoardKind::BelmorPlus, false, true), 5, 1000, changed, &sFailure));
        QCOMPARE(sim::RecordedBytes(BoardKind::BelmorPlus, "serial"), (QList<QByteArray>{"!G00500", "!F0005"}));
    }

    void failedGainIsReported()
    {
        openCameraLink(BoardKind::BelmorPlus);
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::WriteFailure, 1, 1);
        std::atomic<bool> changed{true};
        QString sFailure;
        QVERIFY(!GainOffsetTick(Context(BoardKind::BelmorPlus, false, true), 5, 1000, changed, &sFailure));
        QCOMPARE(sFailure, QString("Couldn't set GAIN_IMG to 5.\n"));
        QVERIFY(changed);
    }

    // ---- Through the main window ----------------------------------------------------

    // Belmor+ streaming with hardware NUC: the offset slider at 1000 shows at
    // once in the table; within a second the board gets offset 500, then the gain.
    void mainWindowRefreshOncePerSecond()
    {
        MainWindow window;
        window.ConnectGainOffsetRefresh();
        window.DigiBoardKind = BoardKind::BelmorPlus;
        window.CurrentProxyIndex = kProxy;
        window.SoftwareNUC = false;
        window.ui->checkBox_AGC->setChecked(false);
        window.ui->horizontalSlider_ImageOffset->setRange(0, 65535);
        window.ui->spinBox_ImageOffset->setRange(0, 65535);
        openCameraLink(BoardKind::BelmorPlus);
        window.Timers.GainOffset->start(GainOffsetTimerPeriodMs);
        window.ui->horizontalSlider_ImageGain->setValue(7);
        window.ui->horizontalSlider_ImageOffset->setValue(1000);
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::OffsetSlider), 1000u);
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Offset), 1000u);
        QVERIFY(window.GainOffsetChanged);
        QTRY_COMPARE_WITH_TIMEOUT(sim::RecordedBytes(BoardKind::BelmorPlus, "serial").size(), 2, 2500);
        QCOMPARE(sim::RecordedBytes(BoardKind::BelmorPlus, "serial"), (QList<QByteArray>{"!G00500", "!F0007"}));
        QCOMPARE(GetCurrent(kProxy, GainOffsetCell::Offset), 500u);
        QVERIFY(!window.GainOffsetChanged);
        window.Timers.GainOffset->stop();
    }

    // A board that keeps failing gives one box at a time: the ticks stop while
    // it is open and start again once it is closed.
    void failureBoxStopsTheTicks()
    {
        MainWindow window;
        window.ConnectGainOffsetRefresh();
        window.DigiBoardKind = BoardKind::BelmorPlus;
        window.CurrentProxyIndex = kProxy;
        openCameraLink(BoardKind::BelmorPlus);
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::WriteFailure);
        bool bTimerActiveDuringBox = true;
        int iBoxes = 0;
        QString sTitle;
        SetMessageBoxPresenter([&](const MessageBoxRequest& p_Request) {
            ++iBoxes;
            bTimerActiveDuringBox = window.Timers.GainOffset->isActive();
            sTitle = p_Request.title;
            // Time enough for two ticks while the box is open.
            QTest::qWait(2100);
            return 0;
        });
        window.Timers.GainOffset->start(GainOffsetTimerPeriodMs);
        window.GainOffsetChanged = true;
        QTRY_COMPARE_WITH_TIMEOUT(iBoxes, 1, 2500);
        QVERIFY(!bTimerActiveDuringBox);
        QCOMPARE(sTitle, QString("Critical"));
        QTRY_VERIFY_WITH_TIMEOUT(window.Timers.GainOffset->isActive(), 3000);
        QCOMPARE(iBoxes, 1);
        window.Timers.GainOffset->stop();
        const QString sLog = [&] {
            QFile f(window.Log->filePath());
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        }();
        QVERIFY(sLog.contains("Update offset or gain failed ... Couldn't set OFFSET_IMG to "));
        SetMessageBoxPresenter(nullptr);
    }
};

QTEST_MAIN(tst_gain_offset_refresh)
#include "tst_gain_offset_refresh.moc"
