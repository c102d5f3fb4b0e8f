// The one register writer: each board family's encoding on the wire, and what each error policy shows.
#include "app/globals.h"
#include "board/board_link.h"
#include "board/board_link_factory.h"
#include "board/cameralink_serial.h"
#include "board/links/usb3_link.h"
#include "board/register_writer.h"
#include "board_link_fixture.h"
#include "platform/clserial/clserial.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "sim/usb3/corvane_board.h"
#include "usb3lib/Quenlin.h"
#include "usb3lib/quenlin_test_support.h"

#include <QtTest>

#include <memory>

namespace {

QByteArray Zero8(const QByteArray& p_Text)
{
    return p_Text + QByteArray(8 - p_Text.size(), '\0');
}

} // namespace

class tst_register_writer : public QObject
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
    // What the board received: serial texts, or the Corvane's parameter writes.
    static QList<QByteArray> received(BoardKind p_Kind)
    {
        return sim::RecordedBytes(p_Kind, p_Kind == BoardKind::Corvane ? "register" : "serial");
    }

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void init()
    {
        m_pBench = std::make_unique<BoardLinkBench>();
        sim::ResetCameraLinkSimulation();
        sim::CorvaneBoard::instance().reset();
    }
    void cleanup()
    {
        CloseCameraLinkSerial();
        CloseCapture(false);
        sim::ResetCameraLinkSimulation();
        m_pBench.reset();
    }

    // The same id means another text, or another register, on each family.
    void encodingPerFamily_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<int>("id");
        QTest::addColumn<uint>("value");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::newRow("Arvex TINT") << BoardKind::Arvex << int(BoardRegisterId::TINT) << 250u
                                    << QList<QByteArray>{Zero8("!10250")};
        QTest::newRow("Arvex GAIN_IMG") << BoardKind::Arvex << int(BoardRegisterId::GAIN_IMG) << 5u
                                        << QList<QByteArray>{Zero8("*G0005")};
        QTest::newRow("Belmor ADD0C") << BoardKind::Belmor << int(BoardRegisterId::ADD0C) << 1234u
                                      << QList<QByteArray>{"!D1234"};
        QTest::newRow("Belmor+ OFFSET_IMG") << BoardKind::BelmorPlus << int(BoardRegisterId::OFFSET_IMG) << 500u
                                            << QList<QByteArray>{"!G00500"};
        QTest::newRow("Corvane TINT") << BoardKind::Corvane << int(BoardRegisterId::TINT) << 300u
                                      << QList<QByteArray>{"0=300"};
        // Image gain and offset belong to the processing board behind the USB3 board.
        QTest::newRow("Corvane GAIN_IMG") << BoardKind::Corvane << int(BoardRegisterId::GAIN_IMG) << 9u
                                          << QList<QByteArray>{"51=2", "52=7", "53=9", "50=0"};
        QTest::newRow("Corvane OFFSET_IMG") << BoardKind::Corvane << int(BoardRegisterId::OFFSET_IMG) << 150u
                                            << QList<QByteArray>{"51=2", "52=8", "53=150", "50=0"};
    }
    void encodingPerFamily()
    {
        QFETCH(BoardKind, kind);
        QFETCH(int, id);
        QFETCH(uint, value);
        QFETCH(QList<QByteArray>, expected);
        if (IsCameraLinkBoard(kind))
            openCameraLink(kind);
        sim::ClearRecordedMessages(kind);
        QCOMPARE(WriteRegister(nullptr, kind, id, value), 0);
        QCOMPARE(received(kind), expected);
        QVERIFY(m_pBench->boxes.isEmpty());
    }

    // The indirect pair of each link: the PERSO registers in the "!" texts on
    // every Camera Link board that has them, parameters 14 and 15 on the USB3
    // board; a link without a pair sends nothing.
    void indirectPairPerLink_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<bool>("hasPair");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::newRow("Arvex") << BoardKind::Arvex << true << QList<QByteArray>{"!a016", "!b032"};
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus << true << QList<QByteArray>{"!a016", "!b032"};
        QTest::newRow("Belmor") << BoardKind::Belmor << false << QList<QByteArray>{};
        QTest::newRow("Corvane") << BoardKind::Corvane << true << QList<QByteArray>{"14=16", "15=32"};
    }
    void indirectPairPerLink()
    {
        QFETCH(BoardKind, kind);
        QFETCH(bool, hasPair);
        QFETCH(QList<QByteArray>, expected);
        if (IsCameraLinkBoard(kind))
            openCameraLink(kind);
        const std::unique_ptr<BoardLink> link = MakeBoardLink(kind);
        QCOMPARE(link->hasIndirect(), hasPair);
        sim::ClearRecordedMessages(kind);
        QCOMPARE(link->writeIndirect(16, 32), hasPair ? 0 : 1);
        QCOMPARE(received(kind), expected);
        QVERIFY(m_pBench->boxes.isEmpty());
    }

    // The window corners: every Camera Link board takes the Arvex's 8-byte texts.
    void windowCornerPerLink_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::newRow("Arvex") << BoardKind::Arvex << QList<QByteArray>{Zero8("!70012")};
        QTest::newRow("Belmor") << BoardKind::Belmor << QList<QByteArray>{Zero8("!70012")};
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus << QList<QByteArray>{Zero8("!70012")};
        QTest::newRow("Corvane") << BoardKind::Corvane << QList<QByteArray>{"5=12"};
    }
    void windowCornerPerLink()
    {
        QFETCH(BoardKind, kind);
        QFETCH(QList<QByteArray>, expected);
        if (IsCameraLinkBoard(kind))
            openCameraLink(kind);
        const std::unique_ptr<BoardLink> link = MakeBoardLink(kind);
        sim::ClearRecordedMessages(kind);
        QCOMPARE(link->writeWindowCorner(BoardRegisterId::Yfirst, 12), 0);
        QCOMPARE(received(kind), expected);
    }

    // The processing board behind the USB3 board: board, register, value, then
    // the command, each step reported to the caller.
    void corvaneProcessingCommand()
    {
        Usb3Link link;
        sim::ClearRecordedMessages(BoardKind::Corvane);
        QList<int> steps;
        QCOMPARE(link.writeProcessingCommand(2, 6, 5,
                                             [&steps](BoardRegisterId p_Id, int, int p_iStatus) {
                                                 steps << int(p_Id) << p_iStatus;
                                             }),
                 0);
        QCOMPARE(received(BoardKind::Corvane), (QList<QByteArray>{"51=2", "52=6", "53=5", "50=0"}));
        QCOMPARE(steps, (QList<int>{51, 0, 52, 0, 53, 0, 50, 0}));
        QVERIFY(!link.namesOperatorParameter(BoardRegisterId::ProcessingCommand));
        QVERIFY(link.namesOperatorParameter(BoardRegisterId::TINT));
    }

    // No board: nothing written, nothing reported.
    void noBoardWritesNothing()
    {
        QCOMPARE(WriteRegister(nullptr, BoardKind::None, BoardRegisterId::TINT, 1, RegisterErrorPolicy::MessageBox), 0);
        QVERIFY(m_pBench->boxes.isEmpty());
        QVERIFY(m_pBench->logLinesStartingWith("Sending command failed").isEmpty());
    }

    // A failed write returns the link's status whatever the policy; the policy
    // only chooses what the operator sees.
    void errorPolicies_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<int>("policy");
        QTest::addColumn<int>("logLines");
        QTest::addColumn<int>("boxes");
        QTest::newRow("Belmor+ silent") << BoardKind::BelmorPlus << int(RegisterErrorPolicy::Silent) << 0 << 0;
        QTest::newRow("Belmor+ log") << BoardKind::BelmorPlus << int(RegisterErrorPolicy::Log) << 1 << 0;
        QTest::newRow("Belmor+ box") << BoardKind::BelmorPlus << int(RegisterErrorPolicy::MessageBox) << 1 << 1;
        QTest::newRow("Corvane silent") << BoardKind::Corvane << int(RegisterErrorPolicy::Silent) << 0 << 0;
        QTest::newRow("Corvane box") << BoardKind::Corvane << int(RegisterErrorPolicy::MessageBox) << 1 << 1;
    }
    void errorPolicies()
    {
        QFETCH(BoardKind, kind);
        QFETCH(int, policy);
        QFETCH(int, logLines);
        QFETCH(int, boxes);
        if (IsCameraLinkBoard(kind))
            openCameraLink(kind);
        sim::InjectFault(kind, sim::Fault::WriteFailure);
        const int iStatus = WriteRegister(nullptr, kind, BoardRegisterId::ADD02, 1500, RegisterErrorPolicy(policy));
        QVERIFY(iStatus != 0);
        const QStringList lines = m_pBench->logLinesStartingWith("Sending command failed");
        QCOMPARE(lines.size(), logLines);
        if (logLines)
            QCOMPARE(lines.first(), QStringLiteral("Sending command failed - Parameter : 1 - Value : 1500 - Status : %1")
                                        .arg(iStatus));
        QCOMPARE(m_pBench->boxes.size(), boxes);
        if (boxes)
            QCOMPARE(m_pBench->boxes.first().text, QStringLiteral("Sending command failed - Parameter : 1 - Value : 1500"));
    }

    // A failed processing-board step is reported, not taken for a success.
    void corvaneProcessingBoardFailureIsReported()
    {
        sim::InjectFault(BoardKind::Corvane, sim::Fault::WriteFailure);
        QVERIFY(WriteRegister(nullptr, BoardKind::Corvane, BoardRegisterId::GAIN_IMG, 4, RegisterErrorPolicy::MessageBox) != 0);
        // Its commands name no operator-facing parameter: no box of their own.
        QVERIFY(m_pBench->boxes.isEmpty());
    }
};

QTEST_MAIN(tst_register_writer)
#include "tst_register_writer.moc"
