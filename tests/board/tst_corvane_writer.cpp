// The USB3 register writer through Quenlin against the simulated Corvane board: property sequence, latch polling and failures.
#include "board/corvane_writer.h"
#include "board_link_fixture.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "sim/usb3/corvane_board.h"
#include "usb3lib/Quenlin.h"
#include "usb3lib/quenlin_test_support.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

using sim::BoardKind;

class tst_corvane_writer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BoardLinkBench> m_pBench;

    QList<QByteArray> properties() { return sim::RecordedBytes(BoardKind::Corvane, "property"); }

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void init()
    {
        m_pBench = std::make_unique<BoardLinkBench>();
        sim::CorvaneBoard::instance().reset();
        CloseCapture(false);
        sim::ClearRecordedMessages();
    }
    void cleanup()
    {
        CloseCapture(false);
        sim::CorvaneBoard::instance().reset();
        m_pBench.reset();
    }

    // Closed library, latch cleared at the second poll: one 20 ms wait, and
    // the library stays open for the next write.
    void writeOpensTheLibraryAndLeavesItOpen()
    {
        QCOMPARE(isInitialized(), 0);
        sim::CorvaneBoard::instance().setLatchClearReads(1);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SetCorvaneParameter(0, 100, true), 0);
        QVERIFY(clock.elapsed() >= CorvaneLatchPollWaitMs);
        QVERIFY(isInitialized() != 0);
        QCOMPARE(properties(), (QList<QByteArray>{"8,0", "0,100", "1,1"}));
        QCOMPARE(sim::RecordedBytes(BoardKind::Corvane, "register"), QList<QByteArray>{"0=100"});
        QCOMPARE(m_pBench->logLinesStartingWith("Set Corvane"), QStringList{"Set Corvane parameter : 0 value: 100"});
        QVERIFY(m_pBench->boxes.isEmpty());

        // Open now: the next write goes straight to the board.
        sim::ClearRecordedMessages();
        QCOMPARE(SetCorvaneParameter(3, -7, true), 0);
        QCOMPARE(properties(), (QList<QByteArray>{"8,3", "0,-7", "1,1"}));
        QCOMPARE(m_pBench->logLinesStartingWith("Set Corvane").last(), QString("Set Corvane parameter : 3 value: -7"));
    }

    // Every poll succeeds but the latch stays set: the write was not taken,
    // which the result says, and the library the writer opened is closed again.
    void latchThatNeverClearsIsATimeout()
    {
        sim::InjectFault(BoardKind::Corvane, sim::Fault::LatchNeverClears);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SetCorvaneParameter(3, 7, true), CorvaneLatchTimeout);
        QVERIFY(clock.elapsed() >= (CorvaneLatchPolls - 1) * CorvaneLatchPollWaitMs);
        QCOMPARE(isInitialized(), 0);
        QCOMPARE(m_pBench->boxes.size(), 1);
        QCOMPARE(m_pBench->boxes.first().title, QString("Critical"));
        QCOMPARE(m_pBench->boxes.first().text, QString("Sending command failed - Parameter : 3 - Value : 7"));
    }

    // Opened by someone else (acquisition): a failing write leaves it open.
    void failureOnAnOpenLibraryKeepsItOpen()
    {
        QCOMPARE(initSyncCapture(0), 0);
        sim::InjectFault(BoardKind::Corvane, sim::Fault::LatchNeverClears);
        QCOMPARE(SetCorvaneParameter(1, 5, false), CorvaneLatchTimeout);
        QVERIFY(isInitialized() != 0);
        QVERIFY(m_pBench->boxes.isEmpty());
    }

    // The indirect and direct commands (50 and above) never show the box.
    void commandAddressesShowNoBox_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<bool>("box");
        QTest::newRow("51") << 51 << false;
        QTest::newRow("50") << 50 << false;
        QTest::newRow("49") << 49 << true;
        QTest::newRow("0") << 0 << true;
    }
    void commandAddressesShowNoBox()
    {
        QFETCH(int, address);
        QFETCH(bool, box);
        QCOMPARE(initSyncCapture(0), 0);
        sim::InjectFault(BoardKind::Corvane, sim::Fault::WriteFailure, 1);
        const int iStatus = SetCorvaneParameter(address, 2, true);
        QVERIFY(iStatus != 0);
        QCOMPARE(m_pBench->boxes.size(), box ? 1 : 0);
    }

    void boardMissing()
    {
        sim::SimulationSettings().setBoardPresent(BoardKind::Corvane, false);
        const int iStatus = SetCorvaneParameter(0, 100, true);
        QVERIFY(iStatus != 0);
        QCOMPARE(isInitialized(), 0);
        QVERIFY(m_pBench->logLines().contains("Error when initializing Corvane DigiBoard"));
        QCOMPARE(m_pBench->boxes.size(), 1);
        QVERIFY(properties().isEmpty());
    }

    // The image offset and gain reach the processing board behind the USB3
    // board as board 2, register 8 / 7, then the execute strobe.
    void indirectRegisterWrite()
    {
        for (const auto& step : {std::make_pair(51, 2), std::make_pair(52, 8), std::make_pair(53, 500),
                                 std::make_pair(50, 0)})
            QCOMPARE(SetCorvaneParameter(step.first, step.second, true), 0);
        QCOMPARE(properties(), (QList<QByteArray>{"8,51", "0,2", "1,1", "8,52", "0,8", "1,1", "8,53", "0,500",
                                                  "1,1", "8,50", "0,0", "1,1"}));
        QCOMPARE(sim::RecordedBytes(BoardKind::Corvane, "board"), QList<QByteArray>{"2,8,500"});
        QCOMPARE(sim::CorvaneBoard::instance().boardRegister(2, 8), 500);
    }
};

QTEST_MAIN(tst_corvane_writer)
#include "tst_corvane_writer.moc"
