// The Camera Link command encoders and serial link against the simulated Arvex, Belmor and Belmor+ boards.
#include "support/build_speed.h"
#include "app/globals.h"
#include "board/cameralink_commands.h"
#include "board/cameralink_serial.h"
#include "board_link_fixture.h"
#include "platform/clserial/clserial.h"
#include "sim/cameralink/cameralink_board.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"

#include "app/waits.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cstring>
#include <memory>

using sim::BoardKind;

namespace {

QByteArray ZeroFilled(const QByteArray& p_Text)
{
    return p_Text + QByteArray(ArvexCommandBytes - p_Text.size(), '\0');
}

} // namespace

class tst_cameralink_link : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BoardLinkBench> m_pBench;

    // Only p_Kind of the three Camera Link boards is present, its port open as the link.
    void openLinkTo(BoardKind p_Kind)
    {
        sim::SimulationSettings s;
        for (BoardKind k : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus})
            s.setBoardPresent(k, k == p_Kind);
        hSerRef ref = nullptr;
        QCOMPARE(clSerialInit(0, &ref), int32_t(CL_ERR_NO_ERR));
        g_hCameraLinkSerial = ref;
    }
    QList<QByteArray> sent(BoardKind p_Kind) { return sim::RecordedBytes(p_Kind, "serial"); }

private slots:
    void init()
    {
        m_pBench = std::make_unique<BoardLinkBench>();
        sim::ResetCameraLinkSimulation();
        g_hCameraLinkSerial = nullptr;
    }
    void cleanup()
    {
        CloseCameraLinkSerial();
        sim::ResetCameraLinkSimulation();
        m_pBench.reset();
    }

    // ---- Belmor / Belmor+ encoder -------------------------------------------------

    void belmorCommandBytesAndWaits_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("waitMs");
        QTest::newRow("OFFSET_IMG keeps the low 16 bits, five digits") << 21 << 70000 << QByteArray("!G04464") << 150;
        QTest::newRow("negative TINT counts its sign in the four places") << 0 << -5 << QByteArray("!1-005") << 150;
        QTest::newRow("PERSO_ADDR three digits, short wait") << 24 << 7 << QByteArray("!a007") << 50;
        QTest::newRow("PERSO_VALUE three digits, short wait") << 25 << 1 << QByteArray("!b001") << 50;
        QTest::newRow("GAIN_IMG four digits") << 20 << 7 << QByteArray("!F0007") << 150;
        QTest::newRow("GMS is letter 6") << 4 << 5 << QByteArray("!60005") << 150;
        QTest::newRow("a long value is never cut") << 0 << 1234567 << QByteArray("!11234567") << 150;
        QTest::newRow("frame-rate spare letter Y") << 36 << 3 << QByteArray("!Y0003") << 150;
        QTest::newRow("HDR") << 22 << 1 << QByteArray("!H001") << 150;
    }
    void belmorCommandBytesAndWaits()
    {
        QFETCH(int, id);
        QFETCH(int, value);
        QFETCH(QByteArray, bytes);
        QFETCH(int, waitMs);
        openLinkTo(BoardKind::BelmorPlus);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SendCameraLinkCommand(id, value, true), 0);
        const qint64 iElapsed = clock.elapsed();
        QCOMPARE(sent(BoardKind::BelmorPlus), QList<QByteArray>{bytes});
        QVERIFY2(iElapsed >= waitMs, qPrintable(QString::number(iElapsed)));
        QCOMPARE(m_pBench->logLinesStartingWith("Send "),
                 QStringList{"Send " + QString::fromLatin1(bytes) + " - Size string: " + QString::number(bytes.size())});
        // The short wait really is short: the 150 ms of the others would show
        // on every try.
        if (waitMs == 50) {
            const qint64 iShortest = ShortestRunMs(140, [&] { SendCameraLinkCommand(id, value, true); });
            QVERIFY2(iShortest < 140, qPrintable(QString::number(iShortest)));
        }
    }

    void idWithoutLetterFlushesAndSendsNothing_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("15") << 15;
        QTest::newRow("13") << 13;
        QTest::newRow("26") << 26;
        QTest::newRow("37") << 37;
        QTest::newRow("-1") << -1;
    }
    void idWithoutLetterFlushesAndSendsNothing()
    {
        QFETCH(int, id);
        openLinkTo(BoardKind::BelmorPlus);
        sim::CameraLinkPortEmit(0, "stale");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SendCameraLinkCommand(id, 1, true), -1);
        const qint64 iFirst = clock.elapsed();
        uint32_t uAvail = 99;
        clGetNumBytesAvail(g_hCameraLinkSerial, &uAvail);
        QCOMPARE(uAvail, 0u);
        QVERIFY(sent(BoardKind::BelmorPlus).isEmpty());
        QVERIFY(m_pBench->logLinesStartingWith("Send").isEmpty());
        // No command wait either: the shortest, 50 ms, would show on every try.
        const qint64 iShortest = iFirst < 50 ? iFirst : ShortestRunMs(50, [&] { SendCameraLinkCommand(id, 1, true); });
        QVERIFY2(iShortest < 50, qPrintable(QString::number(iShortest)));
        QVERIFY(m_pBench->logLinesStartingWith("Failed").isEmpty());
    }

    void belmorFailedWriteReturnsItsStatus()
    {
        openLinkTo(BoardKind::BelmorPlus);
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::WriteFailure, 1);
        QVERIFY(SendCameraLinkCommand(0, 100, true) != 0);
        QCOMPARE(m_pBench->logLinesStartingWith("Failed to send the command. Returned size incorrect").size(), 1);
        // The next command goes through again.
        QCOMPARE(SendCameraLinkCommand(0, 100, true), 0);
        QCOMPARE(sent(BoardKind::BelmorPlus), QList<QByteArray>{"!10100"});
    }

    void belmorRegisterReachesTheSensor()
    {
        openLinkTo(BoardKind::BelmorPlus);
        QCOMPARE(SendCameraLinkCommand(1, 2345, true), 0);
        QCOMPARE(sim::SensorFor(BoardKind::BelmorPlus)->registerValue(1), 2345);
    }

    // ---- Arvex encoder ------------------------------------------------------------

    void arvexCommandIsAlwaysEightBytes_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("OFFSET_IMG five digits, one zero byte") << 21 << 300 << QByteArray("*O00300");
        QTest::newRow("bad-pixel mode, two zero bytes") << 38 << 3 << QByteArray("*L0003");
        QTest::newRow("GAIN_IMG is G on this board") << 20 << 12 << QByteArray("*G0012");
        QTest::newRow("star values take the low 16 bits") << 39 << 65537 << QByteArray("*w0001");
        QTest::newRow("sensor registers use !") << 0 << 100 << QByteArray("!10100");
        QTest::newRow("negative register") << 1 << -5 << QByteArray("!2-005");
        QTest::newRow("six digits still fit") << 0 << 123456 << QByteArray("!1123456");
        QTest::newRow("inversion is K") << 23 << 1 << QByteArray("*K0001");
        QTest::newRow("spare letter I") << 37 << 2 << QByteArray("*I0002");
    }
    void arvexCommandIsAlwaysEightBytes()
    {
        QFETCH(int, id);
        QFETCH(int, value);
        QFETCH(QByteArray, text);
        openLinkTo(BoardKind::Arvex);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SendCameraLinkCommandStar(id, value, true), 0);
        QVERIFY(clock.elapsed() >= 100);
        const QList<QByteArray> bytes = sent(BoardKind::Arvex);
        QCOMPARE(bytes.size(), 1);
        QCOMPARE(bytes.first().size(), ArvexCommandBytes);
        QCOMPARE(bytes.first(), ZeroFilled(text));
        QCOMPARE(m_pBench->logLinesStartingWith("Send"), QStringList{"Send " + QString::fromLatin1(text)});
    }

    void arvexWithoutLetterReturnsMinusOne_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("HDR") << 22;
        QTest::newRow("PERSO_ADDR") << 24;
        QTest::newRow("PERSO_VALUE") << 25;
        QTest::newRow("29") << 29;
        QTest::newRow("42") << 42;
    }
    void arvexWithoutLetterReturnsMinusOne()
    {
        QFETCH(int, id);
        openLinkTo(BoardKind::Arvex);
        QCOMPARE(SendCameraLinkCommandStar(id, 1, true), -1);
        QVERIFY(sent(BoardKind::Arvex).isEmpty());
        QVERIFY(m_pBench->logLinesStartingWith("Send").isEmpty());
    }

    // Seven digits do not fit the 8 bytes: a cut text would set another value.
    void arvexValueTooLongIsRefused_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("seven digits") << 1234567;
        QTest::newRow("minus and six digits") << -123456;
        QTest::newRow("largest int") << 2147483647;
    }
    void arvexValueTooLongIsRefused()
    {
        QFETCH(int, value);
        openLinkTo(BoardKind::Arvex);
        QCOMPARE(SendCameraLinkCommandStar(0, value, true), int(CameraLinkCommandRefused));
        QVERIFY(sent(BoardKind::Arvex).isEmpty());
        QCOMPARE(m_pBench->logLinesStartingWith("Command refused").size(), 1);
        QVERIFY(m_pBench->logLinesStartingWith("Send").isEmpty());
    }

    // ---- Port selection -------------------------------------------------------------

    void firstPortSilentSecondAnswers()
    {
        sim::SetCameraLinkPortLayout({sim::CameraLinkPlug::Nothing, sim::CameraLinkPlug::BelmorPlus});
        char message[CameraLinkMessageBufferSize] = {};
        QCOMPARE(SelectCameraLinkPort(nullptr, message, sizeof message), 0);
        QCOMPARE(g_iCameraLinkPortIndex, 1);
        QVERIFY(g_hCameraLinkSerial != nullptr);
        QCOMPARE(QByteArray(message), QByteArray());
        const QStringList lines = m_pBench->logLines();
        const int iNotAvailable = lines.indexOf("Port 1 is not available. Try the next one.");
        const int iSelected = lines.indexOf("Port selected: 2");
        QVERIFY(iNotAvailable >= 0);
        QVERIFY(iSelected > iNotAvailable);
        QVERIFY(lines.contains("Detected FrameGrabber: 2"));
        QVERIFY(lines.contains("\t- Serial 0: Kestivo Simulation - Simulated Grabber #0 Port 0"));
        QVERIFY(lines.contains("\t- Serial 1: Kestivo Simulation - Simulated Grabber #0 Port 1"));
        // The answer was flushed and the port stays usable.
        uint32_t uAvail = 99;
        clGetNumBytesAvail(g_hCameraLinkSerial, &uAvail);
        QCOMPARE(uAvail, 0u);
        QCOMPARE(sim::RecordedBytes(BoardKind::BelmorPlus, "serial"), QList<QByteArray>{"v"});
    }

    void singleSilentPortFails()
    {
        sim::SetCameraLinkPortLayout({sim::CameraLinkPlug::Nothing});
        char message[CameraLinkMessageBufferSize] = {};
        QCOMPARE(SelectCameraLinkPort(nullptr, message, sizeof message), 1);
        QCOMPARE(QByteArray(message), QByteArray("clSerialInit error 128\n"));
        const QStringList lines = m_pBench->logLines();
        QVERIFY(lines.contains("clSerialInit error: 128"));
        QVERIFY(lines.contains("Serial Port Initialization Error 128"));
        QCOMPARE(g_iCameraLinkPortIndex, 0);
    }

    void noPortAtAll()
    {
        sim::SimulationSettings().setSimulationEnabled(false);
        char message[CameraLinkMessageBufferSize] = {};
        QCOMPARE(SelectCameraLinkPort(nullptr, message, sizeof message), 1);
        QCOMPARE(QByteArray(message),
                 QByteArray("\nSorry, no serial port detected.\nCheck if a GrabLink is present in your system and "
                            "if the drivers are correctly loaded...\n"));
        const QStringList lines = m_pBench->logLines();
        QVERIFY(lines.contains("Sorry, no FrameGrabber detected."));
        QVERIFY(m_pBench->logLinesStartingWith("Serial Port Initialization Error").isEmpty());
    }

    void baudRateFailureStopsAtOnce()
    {
        sim::SetCameraLinkPortLayout({sim::CameraLinkPlug::BelmorPlus, sim::CameraLinkPlug::BelmorPlus});
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::BaudRateFailure, 1);
        char message[CameraLinkMessageBufferSize] = {};
        QCOMPARE(SelectCameraLinkPort(nullptr, message, sizeof message), 1);
        QVERIFY(QByteArray(message).startsWith("clSetBaudRate error "));
        QVERIFY(sim::RecordedBytes(BoardKind::BelmorPlus, "serial").isEmpty());
    }

    // A message buffer smaller than the text is filled, terminated and not overrun.
    void smallMessageBufferIsNotOverrun()
    {
        sim::SetCameraLinkPortLayout({sim::CameraLinkPlug::Nothing});
        char message[12];
        std::memset(message, 'x', sizeof message);
        QCOMPARE(SelectCameraLinkPort(nullptr, message, 8), 1);
        QCOMPARE(QByteArray(message), QByteArray("clSeria"));
        QCOMPARE(message[8], 'x');
    }

    // The link is closed once and cleared; a second close and a new probe are safe.
    void closeClearsTheHandle()
    {
        QCOMPARE(SelectCameraLinkPort(nullptr, nullptr, 0), 0);
        QVERIFY(g_hCameraLinkSerial != nullptr);
        CloseCameraLinkSerial();
        QVERIFY(g_hCameraLinkSerial == nullptr);
        CloseCameraLinkSerial();
        QVERIFY(g_hCameraLinkSerial == nullptr);
        QCOMPARE(SelectCameraLinkPort(nullptr, nullptr, 0), 0);
        QVERIFY(g_hCameraLinkSerial != nullptr);
    }

    // ---- Raw texts and replies -------------------------------------------------------

    void rawTextDrainsStaleInput()
    {
        openLinkTo(BoardKind::BelmorPlus);
        sim::CameraLinkPortEmit(0, "abc");
        QCOMPARE(SendCameraLinkText("!s"), 0);
        QCOMPARE(sent(BoardKind::BelmorPlus), QList<QByteArray>{"!s"});
        QCOMPARE(m_pBench->logLinesStartingWith("Send"), QStringList{"Send !s - Size string: 2"});
    }

    void rawTextLimits()
    {
        openLinkTo(BoardKind::BelmorPlus);
        const QByteArray fortyNine(49, '#');
        QCOMPARE(SendCameraLinkText(fortyNine.constData()), 0);
        const QByteArray fifty(50, '#');
        QCOMPARE(SendCameraLinkText(fifty.constData()), CameraLinkTextRefused);
        QCOMPARE(sent(BoardKind::BelmorPlus), QList<QByteArray>{fortyNine});
        QCOMPARE(m_pBench->logLinesStartingWith("Command refused").size(), 1);
    }

    void readStopsAtFirstHighByte()
    {
        openLinkTo(BoardKind::BelmorPlus);
        sim::CameraLinkPortEmit(0, QByteArray("OK\xB0X", 4));
        QCOMPARE(ReadCameraLinkSerial(true), QString("OK"));
        QCOMPARE(m_pBench->logLinesStartingWith("Read"), QStringList{"Read: OK"});
        QCOMPARE(ReadCameraLinkSerial(true), QString());
        QCOMPARE(m_pBench->logLinesStartingWith("Read").size(), 1);
    }

    void readAnswersTheBoard()
    {
        openLinkTo(BoardKind::BelmorPlus);
        QCOMPARE(SendCameraLinkText("!p"), 0);
        WaitMs(50);
        const QString sReply = ReadCameraLinkSerial(false);
        QVERIFY(!sReply.isEmpty());
        QVERIFY(m_pBench->logLinesStartingWith("Read").isEmpty());
    }

    // A flood beyond the 2999-byte reply is cut there; the rest waits for the next read.
    void readIsBoundedAndKeepsTheRest()
    {
        openLinkTo(BoardKind::BelmorPlus);
        QByteArray flood(4000, 'a');
        flood[3500] = 'b';
        sim::CameraLinkPortEmit(0, flood);
        const QString sFirst = ReadCameraLinkSerial(false);
        QCOMPARE(sFirst.size(), CameraLinkReplyMaxLength);
        uint32_t uAvail = 0;
        clGetNumBytesAvail(g_hCameraLinkSerial, &uAvail);
        QCOMPARE(uAvail, uint32_t(4000 - CameraLinkReplyMaxLength));
        const QString sSecond = ReadCameraLinkSerial(false);
        QCOMPARE(sSecond.size(), 4000 - CameraLinkReplyMaxLength);
        QCOMPARE(sSecond.at(3500 - CameraLinkReplyMaxLength), QChar('b'));
    }
};

QTEST_GUILESS_MAIN(tst_cameralink_link)
#include "tst_cameralink_link.moc"
