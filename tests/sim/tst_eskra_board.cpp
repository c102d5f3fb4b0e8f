// The simulated serial-port board through a real QSerialPort on its pseudo-terminal.
#include "board/eskra_frame_stream.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/sensor_model.h"
#include "sim/eskra/eskra_board.h"
#include "support/test_app_folder.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <vector>

using namespace sim;

namespace {

int g_iAcknowledges = 0;
void CountAcknowledges(QtMsgType p_Type, const QMessageLogContext&, const QString& p_sText)
{
    if (p_Type == QtDebugMsg && p_sText == QLatin1String("Acknowledge received"))
        ++g_iAcknowledges;
}

// The program's side of the line, as the acquisition loop runs it: read what
// the port holds, check the three sums, decode an accepted frame.
struct ProgramSide
{
    QSerialPort port;
    EskraReceiver state;
    std::vector<unsigned char> a = std::vector<unsigned char>(EskraFrameBytes, 0);
    std::vector<unsigned char> b = std::vector<unsigned char>(EskraFrameBytes, 0);
    uint32_t transmitted = 0, running = 0, recomputed = 0;
    std::vector<uint16_t> raw = std::vector<uint16_t>(EskraFramePixels, 0);
    std::vector<std::vector<uint16_t>> accepted;
    int completed = 0;   // frames whose checksum arrived, accepted or not
    qint64 bytesSeen = 0;
    QtMessageHandler previousHandler;

    ProgramSide() { g_iAcknowledges = 0; previousHandler = qInstallMessageHandler(CountAcknowledges); }
    ~ProgramSide() { qInstallMessageHandler(previousHandler); }

    bool open(const QString& p_sName)
    {
        return OpenAndConfigureSerialPortEskra(&port, p_sName.toLatin1().constData()) == 0;
    }

    void cycle()
    {
        bytesSeen += port.bytesAvailable();
        const bool bWasSelector = state.writeSelector;
        ReadSerialFrameEskra(state, &port, {a.data(), b.data(), &transmitted, &running, &recomputed});
        if (state.writeSelector != bWasSelector || state.frameComplete)
            ++completed;
        CheckSerialFrameEskra(state, running, transmitted, recomputed);
        if (ProcessImageEskra(state, a.data(), b.data(), raw.data()) && state.frameComplete)
            accepted.push_back(raw);
        state.frameComplete = false;
    }

    // Runs cycles until the condition holds or the time is up.
    template <typename Condition>
    bool runUntil(Condition p_Done, int p_iTimeoutMs = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (!p_Done()) {
            if (t.elapsed() > p_iTimeoutMs)
                return false;
            port.waitForReadyRead(20);
            cycle();
        }
        return true;
    }

    void runFor(int p_iMs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < p_iMs) {
            port.waitForReadyRead(10);
            cycle();
        }
    }
};

std::vector<uint16_t> ExpectedFrame(uint64_t p_uIndex)
{
    std::vector<uint16_t> px(kEskraPixels);
    SensorFor(BoardKind::Eskra)->renderFrame(p_uIndex, px.data(), kEskraWidth, kEskraHeight, kEskraWidth);
    for (uint16_t& v : px)
        v = uint16_t((v & 0x3FFF) * 4);
    return px;
}

// The index of the model frame the decoded frame shows, or -1.
int FrameIndexOf(const std::vector<uint16_t>& p_Frame, int p_iLimit)
{
    for (int i = 0; i < p_iLimit; ++i)
        if (ExpectedFrame(uint64_t(i)) == p_Frame)
            return i;
    return -1;
}

} // namespace

class tst_eskra_board : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void init() { ResetSimulation(); }
    void cleanup() { ResetSimulation(); }

    void encodedFrameCarriesItsSum();
    void streamThroughQSerialPortIsAccepted();
    void lineFaultsAreRejected_data();
    void lineFaultsAreRejected();
    void commandsReachTheSensorAndAreAcknowledged_data();
    void commandsReachTheSensorAndAreAcknowledged();
    void lostAcknowledge();
    void silentPortSendsAndAnswersNothing();
    void framesStopButCommandsAreAnswered();
    void unplugMidStream();
    void noPortFault();
    void lineRateIsNotExceeded();
    void lateReaderAtLineRateStillGetsWholeFrames();
};

void tst_eskra_board::encodedFrameCarriesItsSum()
{
    std::vector<uint16_t> samples(kEskraPixels, 0x3FFF);
    samples[0] = 0x0082;   // payload 0x01, 0x02
    const std::vector<unsigned char> wire = EncodeEskraFrame(samples.data(), kEskraPixels);
    QCOMPARE(int(wire.size()), kEskraFrameWireBytes);
    QCOMPARE(wire[0], uint8_t(0x02));
    QCOMPARE(wire[1], uint8_t(0x81));
    QCOMPARE(wire[2], uint8_t(0x82));
    QCOMPARE(wire[1 + kEskraPayloadBytes], uint8_t(0x03));
    uint32_t sum = 0;
    for (int g = 0; g < 5; ++g) {
        const uint8_t byte = wire[size_t(2 + kEskraPayloadBytes + g)];
        QVERIFY(byte & 0x80);
        sum += uint32_t(byte & 0x7F) << (7 * g);
    }
    QCOMPARE(sum, uint32_t(3 + (kEskraPayloadBytes - 2) * 127));
}

void tst_eskra_board::streamThroughQSerialPortIsAccepted()
{
    TestAppFolder folder;
    EskraBoard board;
    QVERIFY(board.start());
    QVERIFY(board.portName().startsWith("pts/"));
    QCOMPARE(board.devicePath(), "/dev/" + board.portName());

    ProgramSide program;
    QVERIFY(program.open(board.portName()));
    QCOMPARE(program.port.baudRate(), 921600);
    QVERIFY(program.runUntil([&] { return program.accepted.size() >= 4; }));
    QCOMPARE(program.completed, int(program.accepted.size()));   // nothing was rejected

    // Each accepted frame is the sensor's next frame, in order, at 14 bits scaled to 16.
    const int first = FrameIndexOf(program.accepted[0], 3);
    QVERIFY(first >= 0);
    for (size_t i = 1; i < program.accepted.size(); ++i)
        QVERIFY(program.accepted[i] == ExpectedFrame(uint64_t(first) + i));
    QVERIFY(program.accepted[0] != program.accepted[1]);   // the scene moves and has noise

    // The program closes and reopens its port: the line stays up and frames go on.
    program.port.close();
    QTest::qWait(50);
    QVERIFY(program.open(board.portName()));
    const size_t before = program.accepted.size();
    QVERIFY(program.runUntil([&] { return program.accepted.size() >= before + 2; }));
}

void tst_eskra_board::lineFaultsAreRejected_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("bytesPerFrame");
    QTest::newRow("one corrupted byte") << int(Fault::CorruptedBytes) << 0;
    QTest::newRow("three corrupted bytes") << int(Fault::CorruptedBytes) << 3;
    QTest::newRow("one dropped byte") << int(Fault::DroppedBytes) << 0;
    QTest::newRow("forty dropped bytes") << int(Fault::DroppedBytes) << 40;
}

void tst_eskra_board::lineFaultsAreRejected()
{
    QFETCH(int, fault);
    QFETCH(int, bytesPerFrame);
    TestAppFolder folder;
    // Frames 0 and 1 clean, frames 2 and 3 hit, then clean again.
    InjectFault(BoardKind::Eskra, Fault(fault), 2, 2, bytesPerFrame);
    EskraBoard board;
    QVERIFY(board.start());
    ProgramSide program;
    QVERIFY(program.open(board.portName()));
    QVERIFY(program.runUntil([&] { return program.completed >= 6 && program.accepted.size() >= 4; }));

    std::vector<int> indices;
    for (const auto& frame : program.accepted)
        indices.push_back(FrameIndexOf(frame, 8));
    QVERIFY(indices.size() >= 4);
    QCOMPARE(indices[0], 0);
    QCOMPARE(indices[1], 1);
    QCOMPARE(indices[2], 4);   // the two damaged frames never reached the raw frame
    QCOMPARE(indices[3], 5);
}

void tst_eskra_board::commandsReachTheSensorAndAreAcknowledged_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("acknowledges");
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("value");
    QTest::addColumn<QList<QByteArray>>("recorded");

    using L = QList<QByteArray>;
    QTest::newRow("GMS") << QByteArray("!50001") << 1 << int(Register::GMS) << 1 << L{"!50001"};
    QTest::newRow("TINT") << QByteArray("!11000") << 1 << int(Register::TINT) << 1000 << L{"!11000"};
    QTest::newRow("negative") << QByteArray("!2-005") << 1 << int(Register::ADD02) << -5 << L{"!2-005"};
    QTest::newRow("five digits end at the gap")
        << QByteArray("!E12345") << 1 << int(Register::ADD0D) << 12345 << L{"!E12345"};
    QTest::newRow("two back to back")
        << QByteArray("!A0083!D0200") << 2 << int(Register::ADD0C) << 200 << L{"!A0083", "!D0200"};
    QTest::newRow("NONE is not a command") << QByteArray("NONE") << 0 << -1 << 0 << L{"NONE"};
    QTest::newRow("unknown letter") << QByteArray("!Z0001") << 0 << -1 << 0 << L{"!Z0001"};
    QTest::newRow("too few digits") << QByteArray("!1012") << 0 << int(Register::TINT) << 0 << L{"!1012"};
}

void tst_eskra_board::commandsReachTheSensorAndAreAcknowledged()
{
    QFETCH(QByteArray, written);
    QFETCH(int, acknowledges);
    QFETCH(int, reg);
    QFETCH(int, value);
    QFETCH(QList<QByteArray>, recorded);

    TestAppFolder folder;
    EskraBoard board;
    QVERIFY(board.start());
    ProgramSide program;
    QVERIFY(program.open(board.portName()));
    QVERIFY(program.runUntil([&] { return program.accepted.size() >= 1; }));
    const int tintBefore = SensorFor(BoardKind::Eskra)->registerValue(Register::TINT);

    QCOMPARE(program.port.write(written), qint64(written.size()));
    QVERIFY(program.port.waitForBytesWritten(1000));
    QVERIFY(program.runUntil([&] { return RecordedBytes(BoardKind::Eskra, "serial").size() >= recorded.size(); }));
    if (acknowledges > 0)
        QVERIFY(program.runUntil([&] { return g_iAcknowledges >= acknowledges; }));
    program.runFor(100);   // nothing more arrives

    QCOMPARE(RecordedBytes(BoardKind::Eskra, "serial"), recorded);
    QCOMPARE(g_iAcknowledges, acknowledges);
    QCOMPARE(int(board.acknowledgesSent()), acknowledges);
    if (acknowledges > 0)
        QCOMPARE(SensorFor(BoardKind::Eskra)->registerValue(reg), value);
    else if (reg == Register::TINT)
        QCOMPARE(SensorFor(BoardKind::Eskra)->registerValue(Register::TINT), tintBefore);
    // Acknowledges among the frame bytes never spoil a frame.
    QCOMPARE(program.completed, int(program.accepted.size()));
}

void tst_eskra_board::lostAcknowledge()
{
    TestAppFolder folder;
    InjectFault(BoardKind::Eskra, Fault::ReplyTimeout, 1);
    EskraBoard board;
    QVERIFY(board.start());
    ProgramSide program;
    QVERIFY(program.open(board.portName()));
    program.port.write("!10400");
    QVERIFY(program.runUntil([&] { return board.commandsReceived() >= 1; }));
    program.runFor(100);
    program.port.write("!10500");
    QVERIFY(program.runUntil([&] { return g_iAcknowledges >= 1; }));
    program.runFor(50);
    QCOMPARE(g_iAcknowledges, 1);   // only the second command was answered
    QCOMPARE(SensorFor(BoardKind::Eskra)->registerValue(Register::TINT), 500);
    QCOMPARE(RecordedBytes(BoardKind::Eskra, "serial"), (QList<QByteArray>{"!10400", "!10500"}));
}

void tst_eskra_board::silentPortSendsAndAnswersNothing()
{
    TestAppFolder folder;
    InjectFault(BoardKind::Eskra, Fault::SilentPort);
    EskraBoard board;
    QVERIFY(board.start());
    ProgramSide program;
    QVERIFY(program.open(board.portName()));
    program.port.write("!50001");
    program.runFor(200);
    // A loaded machine may take longer to hand the command over: the board
    // has it once it is recorded, and still answers nothing.
    for (int i = 0; i < 100 && RecordedBytes(BoardKind::Eskra, "serial").isEmpty(); ++i)
        program.runFor(50);
    QCOMPARE(RecordedBytes(BoardKind::Eskra, "serial"), QList<QByteArray>{"!50001"});
    program.runFor(200);
    QCOMPARE(program.bytesSeen, qint64(0));
    QCOMPARE(board.acknowledgesSent(), uint64_t(0));
    QVERIFY(program.state.emptyReadCount > 0);

    ClearFault(BoardKind::Eskra, Fault::SilentPort);
    QVERIFY(program.runUntil([&] { return program.accepted.size() >= 1; }));
}

void tst_eskra_board::framesStopButCommandsAreAnswered()
{
    TestAppFolder folder;
    EskraBoard board;
    QVERIFY(board.start());
    ProgramSide program;
    QVERIFY(program.open(board.portName()));
    QVERIFY(program.runUntil([&] { return program.accepted.size() >= 1; }));
    InjectFault(BoardKind::Eskra, Fault::FramesStop);
    program.runFor(100);   // the frame in flight finishes
    const uint64_t sent = board.framesSent();
    program.port.write("!30100");
    QVERIFY(program.runUntil([&] { return g_iAcknowledges >= 1; }));
    program.runFor(100);
    QCOMPARE(board.framesSent(), sent);
    QCOMPARE(SensorFor(BoardKind::Eskra)->registerValue(Register::ADD03), 100);
}

void tst_eskra_board::unplugMidStream()
{
    TestAppFolder folder;
    InjectFault(BoardKind::Eskra, Fault::DeviceLostMidStream, 1, 2);
    EskraBoard board;
    QVERIFY(board.start());
    const QString sName = board.portName();
    ProgramSide program;
    qRegisterMetaType<QSerialPort::SerialPortError>();
    QSignalSpy errors(&program.port, &QSerialPort::errorOccurred);
    QVERIFY(program.open(sName));
    QVERIFY(program.runUntil([&] { return !board.isRunning(); }));
    program.runFor(100);
    // The half frame never completes. Bytes still in flight when the plug is
    // pulled may be lost with it, so the frames before it may be fewer than two.
    QVERIFY(program.accepted.size() <= 2);
    for (size_t i = 0; i < program.accepted.size(); ++i)
        QCOMPARE(FrameIndexOf(program.accepted[i], 3), int(i));
    QVERIFY(board.portName().isEmpty());
    // The program's port reports the lost line as a read error on every attempt.
    bool bReadError = false;
    for (const QList<QVariant>& e : errors) {
        const auto error = e.at(0).value<QSerialPort::SerialPortError>();
        bReadError |= error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
    }
    QVERIFY(bReadError);

    // Plugged in again, the board comes back on a new line.
    program.port.close();
    QVERIFY(board.start());
    ProgramSide again;
    QVERIFY(again.open(board.portName()));
    QVERIFY(again.runUntil([&] { return again.accepted.size() >= 1; }));
}

void tst_eskra_board::noPortFault()
{
    TestAppFolder folder;
    InjectFault(BoardKind::Eskra, Fault::NoPort, 1);
    EskraBoard board;
    QVERIFY(!board.start());
    QVERIFY(!board.isRunning());
    QVERIFY(board.portName().isEmpty());
    QVERIFY(board.start());
}

void tst_eskra_board::lineRateIsNotExceeded()
{
    // Only an upper bound: a loaded machine may deliver less, never more than the line carries.
    TestAppFolder folder;
    SetFastMode(false);
    // Timed from the board's start: what it sends before the program opens the
    // port waits in the line's buffer and is counted too, and opening may take
    // long on a loaded machine.
    QElapsedTimer t;
    t.start();
    EskraBoard board;
    QVERIFY(board.start());
    ProgramSide program;
    QVERIFY(program.open(board.portName()));
    program.runFor(500);
    const double seconds = t.elapsed() / 1000.0;
    QVERIFY(program.runUntil([&] { return program.accepted.size() >= 1; }, 3000));
    SetFastMode(true);
    QVERIFY(program.bytesSeen > 0);
    QVERIFY2(program.bytesSeen <= qint64(kEskraBytesPerSecond * seconds) + 2048,
             qPrintable(QString::number(program.bytesSeen)));
}

void tst_eskra_board::lateReaderAtLineRateStillGetsWholeFrames()
{
    // The board streams into a port nobody reads until the line's buffer is
    // full; what it loses then is lost on the line, and the program that opens
    // the port late drops the stale partial frames and takes the next whole ones.
    TestAppFolder folder;
    SetFastMode(false);
    EskraBoard board;
    QVERIFY(board.start());
    QTest::qWait(1200);
    ProgramSide program;
    QVERIFY(program.open(board.portName()));
    const bool bFrames = program.runUntil([&] { return program.accepted.size() >= 2; }, 4000);
    SetFastMode(true);
    QVERIFY(bFrames);
    QVERIFY(program.accepted[0] != program.accepted[1]);
}

QTEST_MAIN(tst_eskra_board)
#include "tst_eskra_board.moc"
