// The Camera Link serial operations against the simulated Arvex, Belmor and Belmor+ boards.
#include "platform/clserial/clserial.h"
#include "sim/cameralink/cameralink_board.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "support/test_app_folder.h"

#include <QtTest>

#include <memory>

using sim::BoardKind;

namespace {

// Writes a text as one message and returns the status.
int32_t Write(hSerRef p_Ref, const QByteArray& p_Bytes)
{
    QByteArray copy = p_Bytes;
    uint32_t uSize = static_cast<uint32_t>(copy.size());
    return clSerialWrite(p_Ref, copy.data(), &uSize, 1000);
}

QByteArray ReadAll(hSerRef p_Ref)
{
    uint32_t uAvail = 0;
    clGetNumBytesAvail(p_Ref, &uAvail);
    QByteArray buf(static_cast<int>(uAvail), '\0');
    uint32_t uSize = uAvail;
    clSerialRead(p_Ref, buf.data(), &uSize, 100);
    buf.truncate(static_cast<int>(uSize));
    return buf;
}

QByteArray Zero8(const char* p_sText)
{
    QByteArray b(p_sText);
    b.append(QByteArray(8 - b.size(), '\0'));
    return b;
}

} // namespace

class tst_clserial : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
    hSerRef m_Port = nullptr;

    // Only p_Kind of the three Camera Link boards is present.
    void onlyBoard(BoardKind p_Kind)
    {
        sim::SimulationSettings s;
        for (BoardKind k : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus})
            s.setBoardPresent(k, k == p_Kind);
    }
    hSerRef open(uint32_t p_uPort = 0)
    {
        hSerRef ref = nullptr;
        if (clSerialInit(p_uPort, &ref) == CL_ERR_NO_ERR)
            m_Port = ref;
        return ref;
    }

private slots:
    void init()
    {
        m_pFolder = std::make_unique<TestAppFolder>();
        sim::ResetSimulation();
        sim::ResetCameraLinkSimulation();
    }
    void cleanup()
    {
        clSerialClose(m_Port);
        m_Port = nullptr;
        sim::ResetSimulation();
        sim::ResetCameraLinkSimulation();
        m_pFolder.reset();
    }

    void portsFollowSimulationSettings()
    {
        uint32_t uCount = 99;
        QCOMPARE(clGetNumPorts(&uCount), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(uCount, 1u);

        char manufacturer[128];
        char portId[128];
        uint32_t uManSize = 128, uIdSize = 128, uVersion = 0;
        QCOMPARE(clGetPortInfo(0, manufacturer, &uManSize, portId, &uIdSize, &uVersion), int32_t(CL_ERR_NO_ERR));
        QVERIFY(QByteArray(manufacturer).size() > 0);
        QCOMPARE(uManSize, uint32_t(qstrlen(manufacturer) + 1));
        // A small buffer is cut, terminated, and asks for more.
        char small[4];
        uint32_t uSmall = 4;
        uIdSize = 128;
        QCOMPARE(clGetPortInfo(0, small, &uSmall, portId, &uIdSize, &uVersion), int32_t(CL_ERR_BUFFER_TOO_SMALL));
        QCOMPARE(qstrlen(small), 3u);
        QCOMPARE(clGetPortInfo(1, manufacturer, &uManSize, portId, &uIdSize, &uVersion), int32_t(CL_ERR_INVALID_INDEX));

        // Simulation off: no grabber, no port.
        sim::SimulationSettings().setSimulationEnabled(false);
        QCOMPARE(clGetNumPorts(&uCount), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(uCount, 0u);
        hSerRef ref = reinterpret_cast<hSerRef>(1);
        QVERIFY(clSerialInit(0, &ref) != CL_ERR_NO_ERR);
        QVERIFY(ref == nullptr);

        // Simulation on but no Camera Link board present.
        sim::SimulationSettings().setSimulationEnabled(true);
        onlyBoard(BoardKind::Dunstel);
        QCOMPARE(clGetNumPorts(&uCount), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(uCount, 0u);
    }

    void probeIsAnsweredAndRecorded_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("Arvex") << int(BoardKind::Arvex);
        QTest::newRow("Belmor") << int(BoardKind::Belmor);
        QTest::newRow("Belmor+") << int(BoardKind::BelmorPlus);
    }
    void probeIsAnsweredAndRecorded()
    {
        QFETCH(int, kind);
        const BoardKind k = static_cast<BoardKind>(kind);
        onlyBoard(k);
        hSerRef ref = open();
        QVERIFY(ref != nullptr);
        QCOMPARE(clSetBaudRate(ref, CL_BAUDRATE_9600), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(Write(ref, "v"), int32_t(CL_ERR_NO_ERR));
        uint32_t uAvail = 0;
        QCOMPARE(clGetNumBytesAvail(ref, &uAvail), int32_t(CL_ERR_NO_ERR));
        QVERIFY(uAvail > 0);
        QCOMPARE(ReadAll(ref), sim::CameraLinkBoardFor(k).identification());
        QCOMPARE(sim::RecordedBytes(k), QList<QByteArray>{"v"});
        // Flushing discards an answer nobody read.
        Write(ref, "v");
        QCOMPARE(clFlushPort(ref), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(clGetNumBytesAvail(ref, &uAvail), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(uAvail, 0u);
    }

    // The stored set-up as each board reports it: Belmor+ counts like the
    // proxy index, Arvex one below (the program adds the 1 back in its table).
    void storedProxyAndRateReplies_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("proxyIndex");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QByteArray>("proxyQuery");
        QTest::addColumn<QByteArray>("rateQuery");
        QTest::addColumn<QByteArray>("proxyReply");
        QTest::addColumn<QByteArray>("rateReply");
        QTest::newRow("Belmor+ Y1437P 120") << int(BoardKind::BelmorPlus) << 9 << 120 << QByteArray("!p")
                                            << QByteArray("!f") << QByteArray("9") << QByteArray("120");
        QTest::newRow("Belmor+ Z633 default") << int(BoardKind::BelmorPlus) << 24 << 255 << QByteArray("!p")
                                              << QByteArray("!f") << QByteArray("24") << QByteArray("255");
        QTest::newRow("Arvex Z668 30") << int(BoardKind::Arvex) << 2 << 30 << QByteArray("*p") << QByteArray("*f")
                                       << QByteArray("1") << QByteArray("30");
        QTest::newRow("Arvex Z671P 60") << int(BoardKind::Arvex) << 10 << 60 << QByteArray("*p")
                                        << QByteArray("*f") << QByteArray("9") << QByteArray("60");
    }
    void storedProxyAndRateReplies()
    {
        QFETCH(int, kind);
        QFETCH(int, proxyIndex);
        QFETCH(int, rate);
        QFETCH(QByteArray, proxyQuery);
        QFETCH(QByteArray, rateQuery);
        QFETCH(QByteArray, proxyReply);
        QFETCH(QByteArray, rateReply);
        const BoardKind k = static_cast<BoardKind>(kind);
        onlyBoard(k);
        sim::SimulationSettings().setProxyIndex(k, proxyIndex);
        sim::SimulationSettings().setFrameRateCode(k, rate);
        sim::ResetBoards();
        hSerRef ref = open();
        QVERIFY(ref != nullptr);
        Write(ref, proxyQuery);
        QCOMPARE(ReadAll(ref), proxyReply);
        Write(ref, rateQuery);
        QCOMPARE(ReadAll(ref), rateReply);
        // The Belmor family's query is no command on the Arvex board and the other way round.
        Write(ref, k == BoardKind::Arvex ? "!p" : "*p");
        QCOMPARE(ReadAll(ref), QByteArray());
    }

    // Register texts land in the sensor model exactly as the encoders number them.
    void belmorRegisterTextsReachTheSensor()
    {
        onlyBoard(BoardKind::BelmorPlus);
        hSerRef ref = open();
        for (const char* text : {"!10123", "!1-005", "!G04464", "!20700", "!E4095", "!H001", "!a006", "!b001",
                                 "#A002#R052#D00017"})
            QCOMPARE(Write(ref, text), int32_t(CL_ERR_NO_ERR));
        auto sensor = sim::SensorFor(BoardKind::BelmorPlus);
        QCOMPARE(sensor->registerValue(0), -5);
        QCOMPARE(sensor->registerValue(21), 4464);
        QCOMPARE(sensor->registerValue(1), 700);
        QCOMPARE(sensor->registerValue(12), 4095);
        QCOMPARE(sensor->registerValue(22), 1);
        QCOMPARE(sensor->fpgaRegister(6), 1);
        QCOMPARE(sensor->fpgaRegister(52), 17);
        // Every write reached the board as one message, byte for byte.
        const QList<QByteArray> expected{"!10123", "!1-005", "!G04464", "!20700", "!E4095", "!H001",
                                         "!a006", "!b001", "#A002#R052#D00017"};
        QCOMPARE(sim::RecordedBytes(BoardKind::BelmorPlus), expected);
        // Garbage changes nothing and gets no answer.
        Write(ref, "!Z12");
        Write(ref, "!1abc");
        Write(ref, "hello");
        QCOMPARE(ReadAll(ref), QByteArray());
        QCOMPARE(sensor->registerValue(0), -5);
    }

    // The Arvex board always gets 8 bytes, zero-filled.
    void arvexEightByteCommands()
    {
        onlyBoard(BoardKind::Arvex);
        hSerRef ref = open();
        const QList<QByteArray> sent{Zero8("*O00300"), Zero8("*L0003"), Zero8("!10250"), Zero8("*G0512"),
                                     Zero8("*K0001")};
        for (const QByteArray& b : sent)
            QCOMPARE(Write(ref, b), int32_t(CL_ERR_NO_ERR));
        const QList<QByteArray> got = sim::RecordedBytes(BoardKind::Arvex);
        QCOMPARE(got, sent);
        for (const QByteArray& b : got)
            QCOMPARE(b.size(), 8);
        auto sensor = sim::SensorFor(BoardKind::Arvex);
        QCOMPARE(sensor->registerValue(21), 300);
        QCOMPARE(sensor->registerValue(0), 250);
        QCOMPARE(sensor->registerValue(20), 512);
        QCOMPARE(sensor->registerValue(23), 1);
        QCOMPARE(sim::CameraLinkBoardFor(BoardKind::Arvex).badPixelCorrectionMode(), 3);
    }

    void arvexBadPixelMemory()
    {
        onlyBoard(BoardKind::Arvex);
        hSerRef ref = open();
        // Two pairs, as the bad-pixel upload sends them: index, column, row.
        for (const char* t : {"*w0000", "*x0034", "*y0012", "*w0001", "*x0006", "*y0005"})
            Write(ref, Zero8(t));
        const auto memory = sim::CameraLinkBoardFor(BoardKind::Arvex).badPixelMemory();
        QCOMPARE(int(memory.size()), 2);
        QCOMPARE(memory.at(0).column, 34);
        QCOMPARE(memory.at(0).row, 12);
        QCOMPARE(memory.at(1).column, 6);
        QCOMPARE(memory.at(1).row, 5);
    }

    // A frame-rate or proxy set-up written to the board survives a power cycle.
    void setupWrittenToTheBoardPersists_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("proxyCommand");
        QTest::addColumn<QByteArray>("rateCommand");
        QTest::addColumn<QByteArray>("proxyQuery");
        QTest::addColumn<QByteArray>("rateQuery");
        QTest::addColumn<QByteArray>("proxyReply");
        QTest::newRow("Belmor+") << int(BoardKind::BelmorPlus) << QByteArray("!P0012") << QByteArray("!X0120")
                                 << QByteArray("!p") << QByteArray("!f") << QByteArray("12");
        QTest::newRow("Arvex") << int(BoardKind::Arvex) << Zero8("*P0012") << Zero8("*X0120")
                               << QByteArray("*p") << QByteArray("*f") << QByteArray("11");
    }
    void setupWrittenToTheBoardPersists()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, proxyCommand);
        QFETCH(QByteArray, rateCommand);
        QFETCH(QByteArray, proxyQuery);
        QFETCH(QByteArray, rateQuery);
        QFETCH(QByteArray, proxyReply);
        const BoardKind k = static_cast<BoardKind>(kind);
        onlyBoard(k);
        hSerRef ref = open();
        Write(ref, proxyCommand);
        Write(ref, rateCommand);
        sim::ResetBoards();   // power cycle
        Write(ref, proxyQuery);
        QCOMPARE(ReadAll(ref), proxyReply);
        Write(ref, rateQuery);
        QCOMPARE(ReadAll(ref), QByteArray("120"));
        QCOMPARE(sim::SimulationSettings().frameRateCode(k), 120);
    }

    void fpnCommandSwitchesToBoardCorrection_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("Belmor+") << int(BoardKind::BelmorPlus) << QByteArray("!s");
        QTest::newRow("Belmor") << int(BoardKind::Belmor) << QByteArray("!s");
        QTest::newRow("Arvex") << int(BoardKind::Arvex) << QByteArray("*s");
    }
    void fpnCommandSwitchesToBoardCorrection()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, command);
        const BoardKind k = static_cast<BoardKind>(kind);
        onlyBoard(k);
        hSerRef ref = open();
        QVERIFY(!sim::SensorFor(k)->boardCorrectedOutput());
        Write(ref, command);
        QVERIFY(sim::SensorFor(k)->boardCorrectedOutput());
        // FPGA register 6, bit 0: correction off, and on again.
        Write(ref, "#A002#R006#D00005");
        QVERIFY(!sim::SensorFor(k)->boardCorrectedOutput());
        Write(ref, "#A002#R006#D00004");
        QVERIFY(sim::SensorFor(k)->boardCorrectedOutput());
    }

    // Belmor+ starts with the correction off (register 6 := 1 as an address /
    // value pair); the reference alone does not switch it on.
    void belmorPlusCorrectionFollowsTheNucRegister()
    {
        onlyBoard(BoardKind::BelmorPlus);
        hSerRef ref = open();
        Write(ref, "!a006");
        Write(ref, "!b001");
        Write(ref, "!s");
        QVERIFY(!sim::SensorFor(BoardKind::BelmorPlus)->boardCorrectedOutput());
        Write(ref, "!a006");
        Write(ref, "!b000");
        QVERIFY(sim::SensorFor(BoardKind::BelmorPlus)->boardCorrectedOutput());
        // A power cycle forgets the reference.
        sim::ResetCameraLinkSimulation();
        sim::ResetBoards();
        Write(ref, "!a006");
        Write(ref, "!b000");
        QVERIFY(!sim::SensorFor(BoardKind::BelmorPlus)->boardCorrectedOutput());
    }

    // With every board present the one connector hands each dialect to its board.
    void sharedConnectorRoutesByDialect()
    {
        hSerRef ref = open();
        Write(ref, "*p");
        QCOMPARE(ReadAll(ref), QByteArray::number(sim::SensorFor(BoardKind::Arvex)->proxyIndex() - 1));
        Write(ref, Zero8("!10100"));
        Write(ref, "v");
        QCOMPARE(ReadAll(ref), sim::CameraLinkBoardFor(BoardKind::Arvex).identification());
        Write(ref, "!p");
        QCOMPARE(ReadAll(ref), QByteArray::number(sim::SensorFor(BoardKind::BelmorPlus)->proxyIndex()));
        QCOMPARE(sim::RecordedBytes(BoardKind::Arvex), (QList<QByteArray>{"*p", Zero8("!10100"), "v"}));
        QCOMPARE(sim::RecordedBytes(BoardKind::BelmorPlus), QList<QByteArray>{"!p"});
        QCOMPARE(sim::SensorFor(BoardKind::Arvex)->registerValue(0), 100);
    }

    void silentFirstPortThenAnsweringSecond()
    {
        sim::SetCameraLinkPortLayout({sim::CameraLinkPlug::Nothing, sim::CameraLinkPlug::BelmorPlus});
        uint32_t uCount = 0;
        clGetNumPorts(&uCount);
        QCOMPARE(uCount, 2u);
        hSerRef first = nullptr;
        QCOMPARE(clSerialInit(0, &first), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(Write(first, "v"), int32_t(CL_ERR_NO_ERR));
        uint32_t uAvail = 7;
        clGetNumBytesAvail(first, &uAvail);
        QCOMPARE(uAvail, 0u);
        clSerialClose(first);
        hSerRef second = open(1);
        Write(second, "v");
        QVERIFY(!ReadAll(second).isEmpty());
    }

    void faults()
    {
        onlyBoard(BoardKind::BelmorPlus);
        hSerRef ref = open();
        // Silent port: the board hears but never answers.
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::SilentPort);
        QCOMPARE(Write(ref, "v"), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(ReadAll(ref), QByteArray());
        QCOMPARE(sim::RecordedBytes(BoardKind::BelmorPlus), QList<QByteArray>{"v"});
        sim::ClearAllFaults();

        // A failed write: error status, nothing reaches the board.
        sim::ClearRecordedMessages();
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::WriteFailure, 1);
        QByteArray text("!10123");
        uint32_t uSize = 6;
        QCOMPARE(clSerialWrite(ref, text.data(), &uSize, 1000), int32_t(CL_ERR_WRITE_FAILED));
        QCOMPARE(uSize, 0u);
        QVERIFY(sim::RecordedBytes(BoardKind::BelmorPlus).isEmpty());
        uSize = 6;
        QCOMPARE(clSerialWrite(ref, text.data(), &uSize, 1000), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(uSize, 6u);

        // Baud-rate failure.
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::BaudRateFailure, 1);
        QVERIFY(clSetBaudRate(ref, CL_BAUDRATE_9600) != CL_ERR_NO_ERR);
        QCOMPARE(clSetBaudRate(ref, CL_BAUDRATE_9600), int32_t(CL_ERR_NO_ERR));
        QVERIFY(clSetBaudRate(ref, 3) != CL_ERR_NO_ERR);

        // No port: the grabber shows no connector for the board.
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::NoPort);
        uint32_t uCount = 9;
        clGetNumPorts(&uCount);
        QCOMPARE(uCount, 0u);
    }

    // Stale, null and foreign references give errors, never a crash.
    void badReferencesAreRefused()
    {
        char buf[8] = "v";
        uint32_t uSize = 1;
        QCOMPARE(clSerialWrite(nullptr, buf, &uSize, 1000), int32_t(CL_ERR_INVALID_REFERENCE));
        hSerRef ref = nullptr;
        QCOMPARE(clSerialInit(0, &ref), int32_t(CL_ERR_NO_ERR));
        clSerialClose(ref);
        uSize = 1;
        QCOMPARE(clSerialWrite(ref, buf, &uSize, 1000), int32_t(CL_ERR_INVALID_REFERENCE));
        uint32_t uAvail = 5;
        QCOMPARE(clGetNumBytesAvail(ref, &uAvail), int32_t(CL_ERR_INVALID_REFERENCE));
        QCOMPARE(clFlushPort(ref), int32_t(CL_ERR_INVALID_REFERENCE));
        clSerialClose(ref);   // twice: ignored
        clSerialClose(nullptr);
    }

    // Bytes a board sends on its own wait in the port, as they are, until read or flushed.
    void spontaneousBytesWaitInThePort()
    {
        onlyBoard(BoardKind::BelmorPlus);
        hSerRef ref = open();
        sim::CameraLinkPortEmit(0, QByteArray("OK\xB0X", 4));
        uint32_t uAvail = 0;
        QCOMPARE(clGetNumBytesAvail(ref, &uAvail), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(uAvail, 4u);
        QCOMPARE(ReadAll(ref), QByteArray("OK\xB0X", 4));
        sim::CameraLinkPortEmit(0, "abc");
        QCOMPARE(clFlushPort(ref), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(clGetNumBytesAvail(ref, &uAvail), int32_t(CL_ERR_NO_ERR));
        QCOMPARE(uAvail, 0u);
    }

    // A read of more than is pending returns what is there and says so.
    void shortReadReportsTimeout()
    {
        onlyBoard(BoardKind::BelmorPlus);
        hSerRef ref = open();
        Write(ref, "!f");
        char buf[64] = {};
        uint32_t uSize = sizeof(buf);
        QCOMPARE(clSerialRead(ref, buf, &uSize, 100), int32_t(CL_ERR_TIMEOUT));
        QCOMPARE(QByteArray(buf, int(uSize)), QByteArray("30"));
    }
};

QTEST_GUILESS_MAIN(tst_clserial)
#include "tst_clserial.moc"
