// Tests of the serial-port board's frame parser, three-sum check, decoding and command texts.
#include "app/kv_log.h"
#include "board/eskra_command.h"
#include "board/eskra_frame_stream.h"
#include "support/test_app_folder.h"

#include <QBuffer>
#include <QFile>
#include <QSerialPort>
#include <QTimer>
#include <QWidget>
#include <QApplication>
#include <QtTest>

#include <vector>

namespace {

// Debug lines the code under test writes, collected while a test runs.
QStringList g_DebugLines;
void CollectDebug(QtMsgType p_Type, const QMessageLogContext&, const QString& p_sText)
{
    if (p_Type == QtDebugMsg)
        g_DebugLines << p_sText;
}

struct DebugCapture
{
    QtMessageHandler previous;
    DebugCapture() { g_DebugLines.clear(); previous = qInstallMessageHandler(CollectDebug); }
    ~DebugCapture() { qInstallMessageHandler(previous); }
    int count(const QString& p_sLine) const { return g_DebugLines.count(p_sLine); }
};

// The wire form of one frame, built by hand from 7-bit payload values.
struct WireOptions
{
    bool checksumBit7 = true;
    int dropIndex = -1;        // a data byte lost in transit
    int extraBytes = 0;        // surplus data bytes before the end byte
    int ackBefore = -1;        // an acknowledge before this data byte
    int corruptIndex = -1;     // a data byte whose value changed on the line
    unsigned char lastGroupHighBits = 0;   // bits 4..6 of the fifth group, which do not count
};

QByteArray Wire(const QByteArray& p_Payload, const WireOptions& p_Options = WireOptions())
{
    QByteArray out;
    out.append(char(0x02));
    uint32_t sum = 0;
    for (int i = 0; i < p_Payload.size(); ++i) {
        const unsigned char v = static_cast<unsigned char>(p_Payload[i]) & 0x7F;
        sum += v;
        if (i == p_Options.ackBefore)
            out.append(char(0x06));
        if (i == p_Options.dropIndex)
            continue;
        out.append(char(0x80 | (i == p_Options.corruptIndex ? (v ^ 0x01) : v)));
    }
    for (int i = 0; i < p_Options.extraBytes; ++i)
        out.append(char(0x85));
    out.append(char(0x03));
    for (int g = 0; g < 5; ++g) {
        unsigned char b = (sum >> (7 * g)) & 0x7F;
        if (g == 4)
            b |= p_Options.lastGroupHighBits;
        out.append(char(p_Options.checksumBit7 ? (b | 0x80) : b));
    }
    return out;
}

QByteArray Payload(unsigned char p_Value) { return QByteArray(EskraFrameBytes, char(p_Value)); }

// A payload in which every byte differs from its neighbours, so lost or moved bytes show.
QByteArray RampPayload(int p_iSeed)
{
    QByteArray p(EskraFrameBytes, 0);
    for (int i = 0; i < p.size(); ++i)
        p[i] = char(((i * 7 + p_iSeed) % 127) + 1);
    return p;
}

std::vector<uint16_t> Expected(const QByteArray& p_Payload)
{
    std::vector<uint16_t> px(EskraFramePixels);
    for (int k = 0; k < EskraFramePixels; ++k)
        px[k] = uint16_t(((uint8_t(p_Payload[2 * k]) * 128) + uint8_t(p_Payload[2 * k + 1])) * 4);
    return px;
}

// The receiving side of the acquisition loop: parse a read, check, decode,
// then clear frameComplete as the loop does after handling a frame.
struct Receiver
{
    EskraReceiver state;
    std::vector<unsigned char> a = std::vector<unsigned char>(EskraFrameBytes, 0);
    std::vector<unsigned char> b = std::vector<unsigned char>(EskraFrameBytes, 0);
    uint32_t transmitted = 0, running = 0, recomputed = 0;
    std::vector<uint16_t> raw = std::vector<uint16_t>(EskraFramePixels + 16, 0xBEEF);
    int accepted = 0;

    EskraFrameBuffers buffers() { return {a.data(), b.data(), &transmitted, &running, &recomputed}; }

    // One loop cycle; true when it handed a frame on.
    bool cycle(const QByteArray& p_Read)
    {
        EskraParseBytes(state, buffers(), reinterpret_cast<const unsigned char*>(p_Read.constData()),
                        size_t(p_Read.size()));
        CheckSerialFrameEskra(state, running, transmitted, recomputed);
        ProcessImageEskra(state, a.data(), b.data(), raw.data());
        const bool bFrame = state.frameComplete;
        if (bFrame)
            ++accepted;
        state.frameComplete = false;
        return bFrame;
    }

    void feed(const QByteArray& p_Stream, int p_iChunk)
    {
        if (p_iChunk <= 0) {
            cycle(p_Stream);
            return;
        }
        for (int i = 0; i < p_Stream.size(); i += p_iChunk)
            cycle(p_Stream.mid(i, p_iChunk));
    }

    bool rawIs(const std::vector<uint16_t>& p_Expected) const
    {
        return std::equal(p_Expected.begin(), p_Expected.end(), raw.begin());
    }
};

} // namespace

class tst_eskra_frame_stream : public QObject
{
    Q_OBJECT

private slots:
    void frameStream_data();
    void frameStream();
    void sumsOfTheAllMaxFrame();
    void buffersAlternateAThenB();
    void validFrameIsDecodedAgainUntilTheNextCheck();
    void checkWaitsForACompleteFrame();
    void bytesBeforeTheFirstStartOnlySpoilThatFrame();
    void timeoutReadingOnceAtTheMillionthEmptyRead();
    void decodeFormula();

    void formatCommand_data();
    void formatCommand();
    void formatCommandLogsAndRefuses();
    void writeCommandWritesTheText();

    void openFailsWithStatus2();
    void openFailureShowsTheCriticalBox();
};

void tst_eskra_frame_stream::frameStream_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("chunk");   // bytes per read; 0: the whole stream in one read
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("acknowledges");

    const QByteArray zero = Payload(0);
    const QByteArray max = Payload(0x7F);
    QByteArray pair = zero;
    pair[0] = 0x01;
    pair[1] = 0x02;
    const QByteArray ramp = RampPayload(3);

    QTest::newRow("all zero") << zero << Wire(zero) << 0 << true << 0;
    QTest::newRow("all 0x7F payload") << max << Wire(max) << 0 << true << 0;
    WireOptions noBit7;
    noBit7.checksumBit7 = false;
    QTest::newRow("all 0x7F, checksum bytes without bit 7") << max << Wire(max, noBit7) << 0 << true << 0;
    QTest::newRow("pair 0x01 0x02") << pair << Wire(pair) << 0 << true << 0;

    WireOptions lost;
    lost.dropIndex = 5000;
    QTest::newRow("frame that lost a byte") << ramp << Wire(ramp, lost) << 0 << false << 0;
    WireOptions surplus;
    surplus.extraBytes = 1;
    QTest::newRow("frame with a surplus byte") << ramp << Wire(ramp, surplus) << 0 << false << 0;
    WireOptions corrupt;
    corrupt.corruptIndex = 77;
    QTest::newRow("frame with a changed byte") << ramp << Wire(ramp, corrupt) << 0 << false << 0;

    QTest::newRow("split into single bytes") << ramp << Wire(ramp) << 1 << true << 0;
    QTest::newRow("split into 7-byte reads") << ramp << Wire(ramp) << 7 << true << 0;
    QTest::newRow("split into 4096-byte reads") << ramp << Wire(ramp) << 4096 << true << 0;
    // The end byte in one read and the five checksum groups spread over the next ones.
    QTest::newRow("split inside the checksum") << ramp << Wire(ramp) << (EskraFrameBytes + 2) << true << 0;

    WireOptions ack;
    ack.ackBefore = 1001;
    QTest::newRow("acknowledge inside a frame") << ramp << Wire(ramp, ack) << 0 << true << 1;
    QTest::newRow("acknowledge inside a split frame") << ramp << Wire(ramp, ack) << 3 << true << 1;

    WireOptions highBits;
    highBits.lastGroupHighBits = 0x70;
    QTest::newRow("fifth group's high bits do not count") << ramp << Wire(ramp, highBits) << 0 << true << 0;
}

void tst_eskra_frame_stream::frameStream()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, stream);
    QFETCH(int, chunk);
    QFETCH(bool, accepted);
    QFETCH(int, acknowledges);

    DebugCapture debug;
    Receiver r;
    r.feed(stream, chunk);
    QCOMPARE(r.accepted, accepted ? 1 : 0);
    QCOMPARE(debug.count("Acknowledge received"), acknowledges);
    if (accepted) {
        QVERIFY(r.rawIs(Expected(payload)));
    } else {
        QCOMPARE(r.raw[0], uint16_t(0xBEEF));   // a rejected frame never reaches the raw frame
        QVERIFY(!r.state.frameValid);
    }
    // Only the frame's pixels are written; what follows in the raw buffer is left as it was.
    QCOMPARE(r.raw[EskraFramePixels], uint16_t(0xBEEF));
    // Every frame whose checksum arrives flips the double buffer, accepted or not.
    QVERIFY(r.state.writeSelector);
}

void tst_eskra_frame_stream::sumsOfTheAllMaxFrame()
{
    Receiver r;
    const QByteArray stream = Wire(Payload(0x7F));
    // The checksum groups are 0, 23, 104, 0, 0.
    QCOMPARE(uint8_t(stream[EskraFrameBytes + 2]) & 0x7F, 0);
    QCOMPARE(uint8_t(stream[EskraFrameBytes + 3]) & 0x7F, 23);
    QCOMPARE(uint8_t(stream[EskraFrameBytes + 4]) & 0x7F, 104);
    QVERIFY(r.cycle(stream));
    QCOMPARE(r.transmitted, 1706880u);
    QCOMPARE(r.running, 1706880u);
    QCOMPARE(r.recomputed, 1706880u);
    QCOMPARE(r.raw[0], uint16_t(65532));
    QCOMPARE(r.raw[EskraFramePixels - 1], uint16_t(65532));

    Receiver z;
    QVERIFY(z.cycle(Wire(Payload(0))));
    QCOMPARE(z.transmitted, 0u);
    QCOMPARE(z.running, 0u);
    QCOMPARE(z.recomputed, 0u);
    QCOMPARE(z.raw[0], uint16_t(0));
}

void tst_eskra_frame_stream::buffersAlternateAThenB()
{
    Receiver r;
    const QByteArray first = RampPayload(1), second = RampPayload(40);
    QVERIFY(r.cycle(Wire(first)));
    QCOMPARE(EskraCompletedBuffer(r.state, r.a.data(), r.b.data()), r.a.data());
    QVERIFY(std::equal(r.a.begin(), r.a.end(), first.begin()));
    QVERIFY(r.rawIs(Expected(first)));

    QVERIFY(r.cycle(Wire(second)));
    QCOMPARE(EskraCompletedBuffer(r.state, r.a.data(), r.b.data()), r.b.data());
    QVERIFY(std::equal(r.b.begin(), r.b.end(), second.begin()));
    QVERIFY(r.rawIs(Expected(second)));
    // Buffer A still holds the first frame.
    QVERIFY(std::equal(r.a.begin(), r.a.end(), first.begin()));

    QVERIFY(r.cycle(Wire(first)));
    QCOMPARE(EskraCompletedBuffer(r.state, r.a.data(), r.b.data()), r.a.data());
}

void tst_eskra_frame_stream::validFrameIsDecodedAgainUntilTheNextCheck()
{
    Receiver r;
    const QByteArray good = RampPayload(9);
    QVERIFY(r.cycle(Wire(good)));

    // A cycle without a complete frame decodes the same buffer again.
    std::fill(r.raw.begin(), r.raw.end(), 0);
    const QByteArray next = Wire(RampPayload(20));
    QVERIFY(!r.cycle(next.left(500)));
    QVERIFY(r.rawIs(Expected(good)));

    // A frame that fails the check stops the decoding.
    WireOptions lost;
    lost.dropIndex = 10;
    std::fill(r.raw.begin(), r.raw.end(), 0);
    QVERIFY(!r.cycle(Wire(RampPayload(20), lost)));
    QVERIFY(!r.state.frameValid);
    QVERIFY(!r.cycle(QByteArray()));
    QCOMPARE(r.raw[0], uint16_t(0));
}

void tst_eskra_frame_stream::checkWaitsForACompleteFrame()
{
    Receiver r;
    r.state.frameValid = true;
    CheckSerialFrameEskra(r.state, 1, 2, 3);
    QVERIFY(r.state.frameValid);   // nothing complete: the last verdict stands

    // The end byte alone hands out the running sum but completes nothing.
    const QByteArray stream = Wire(RampPayload(2));
    r.cycle(stream.left(EskraFrameBytes + 2));
    QCOMPARE(r.accepted, 0);
    QVERIFY(r.state.inTrailer);
    QVERIFY(r.cycle(stream.mid(EskraFrameBytes + 2)));
}

void tst_eskra_frame_stream::bytesBeforeTheFirstStartOnlySpoilThatFrame()
{
    Receiver r;
    // Joining a stream mid-frame: the tail of a frame, its trailer, then whole frames.
    const QByteArray whole = Wire(RampPayload(5));
    QVERIFY(!r.cycle(whole.mid(6000)));
    const QByteArray next = RampPayload(6);
    QVERIFY(r.cycle(Wire(next)));
    QVERIFY(r.rawIs(Expected(next)));
}

void tst_eskra_frame_stream::timeoutReadingOnceAtTheMillionthEmptyRead()
{
    DebugCapture debug;
    EskraReceiver r;
    for (int i = 1; i < EskraEmptyReadsBeforeTimeout; ++i)
        QVERIFY(!EskraNoteEmptyRead(r));
    QCOMPARE(debug.count("Timeout reading"), 0);
    QVERIFY(EskraNoteEmptyRead(r));
    for (int i = 0; i < 5000; ++i)
        EskraNoteEmptyRead(r);
    QCOMPARE(debug.count("Timeout reading"), 1);
    QCOMPARE(r.emptyReadCount, EskraEmptyReadsBeforeTimeout + 5000);

    // A silent port that stays silent for days saturates instead of overflowing.
    r.emptyReadCount = INT_MAX - 1;
    EskraNoteEmptyRead(r);
    EskraNoteEmptyRead(r);
    QCOMPARE(r.emptyReadCount, INT_MAX);
    QCOMPARE(debug.count("Timeout reading"), 1);
}

void tst_eskra_frame_stream::decodeFormula()
{
    std::vector<unsigned char> payload(EskraFrameBytes, 0);
    payload[0] = 0x01;
    payload[1] = 0x02;
    payload[2] = 0x7F;
    payload[3] = 0x00;
    payload[EskraFrameBytes - 2] = 0x00;
    payload[EskraFrameBytes - 1] = 0x7F;
    std::vector<uint16_t> px(EskraFramePixels);
    DecodeEskraFrame(payload.data(), px.data());
    QCOMPARE(px[0], uint16_t(520));
    QCOMPARE(px[1], uint16_t(127 * 128 * 4));
    QCOMPARE(px[EskraFramePixels - 1], uint16_t(127 * 4));
}

void tst_eskra_frame_stream::formatCommand_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");

    QTest::newRow("GMS uses letter 5") << 4 << 1 << "!50001" << int(EskraCommandOk);
    QTest::newRow("gain has no letter") << 20 << 1 << "NONE" << int(EskraCommandOk);
    QTest::newRow("id 13 has no letter") << 13 << 1 << "NONE" << int(EskraCommandOk);
    QTest::newRow("negative id") << -1 << 1 << "NONE" << int(EskraCommandOk);
    QTest::newRow("TINT") << 0 << 1000 << "!11000" << int(EskraCommandOk);
    QTest::newRow("negative value") << 0 << -5 << "!1-005" << int(EskraCommandOk);
    QTest::newRow("Xlast") << 8 << 83 << "!A0083" << int(EskraCommandOk);
    QTest::newRow("ADD0D five digits") << 12 << 12345 << "!E12345" << int(EskraCommandOk);
    QTest::newRow("largest that fits") << 11 << 9999999 << "!D9999999" << int(EskraCommandOk);
    QTest::newRow("lowest that fits") << 1 << -999999 << "!2-999999" << int(EskraCommandOk);
    QTest::newRow("too large") << 0 << 10000000 << "" << int(EskraCommandRefused);
    QTest::newRow("too low") << 0 << -1000000 << "" << int(EskraCommandRefused);
    QTest::newRow("INT_MIN") << 3 << INT_MIN << "" << int(EskraCommandRefused);
}

void tst_eskra_frame_stream::formatCommand()
{
    QFETCH(int, id);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(int, status);
    int iStatus = 12345;
    QCOMPARE(FormatEskraCommand(id, value, &iStatus), text);
    QCOMPARE(iStatus, status);
    QCOMPARE(FormatEskraCommand(id, value), text);
}

void tst_eskra_frame_stream::formatCommandLogsAndRefuses()
{
    TestAppFolder folder;
    KV_Log log;
    log.setLogDirectory(folder.filePath("Logs"));
    log.createLogFile();
    KV_Log* pPrevious = GlobalLog;
    SetGlobalLog(&log);

    DebugCapture debug;
    QCOMPARE(FormatEskraCommand(20, 1), QString("NONE"));
    // "NONE" touches nothing: no log line, no console echo yet.
    QCOMPARE(g_DebugLines.size(), 0);
    FormatEskraCommand(4, 1);
    FormatEskraCommand(0, 10000000);
    SetGlobalLog(pPrevious);

    QFile file(log.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString sLog = QString::fromUtf8(file.readAll());
    QVERIFY2(sLog.contains(" : Send !50001\n"), qPrintable(sLog));
    QVERIFY(!sLog.contains("Send !"  "10000000"));
    QVERIFY(sLog.contains("Command refused: value 10000000 does not fit the command of register 0"));
    // The first formatted command switched the console echo on for good.
    QVERIFY(g_DebugLines.contains("Send !50001"));
}

void tst_eskra_frame_stream::writeCommandWritesTheText()
{
    QBuffer port;
    port.open(QIODevice::WriteOnly);
    QCOMPARE(WriteEskraCommand(&port, 1, 250), qint64(6));
    QCOMPARE(WriteEskraCommand(&port, 0, 99999999), qint64(-1));   // refused, nothing written
    QCOMPARE(port.data(), QByteArray("!20250"));

    QBuffer closed;
    QCOMPARE(WriteEskraCommand(&closed, 1, 250), qint64(-1));
}

void tst_eskra_frame_stream::openFailsWithStatus2()
{
    QSerialPort port;
    QCOMPARE(OpenAndConfigureSerialPortEskra(&port, "ttyNoSuchPort"), 2);
    QVERIFY(!port.isOpen());
    // Reading a closed port does nothing, not even count an empty read.
    EskraReceiver r;
    std::vector<unsigned char> a(EskraFrameBytes), b(EskraFrameBytes);
    uint32_t t = 7, s = 7, c = 7;
    ReadSerialFrameEskra(r, &port, {a.data(), b.data(), &t, &s, &c});
    QCOMPARE(r.emptyReadCount, 0);
}

void tst_eskra_frame_stream::openFailureShowsTheCriticalBox()
{
    QString sTitle, sText;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                sTitle = box->windowTitle();
                sText = box->text();
                box->accept();
            }
        }
    });
    QSerialPort port;
    QCOMPARE(OpenSerialPortEskra(&port, "ttyNoSuchPort"), 2);
    QCOMPARE(sTitle, QString("CRITICAL"));
    QCOMPARE(sText, QString("Can't open Serial port ttyNoSuchPort correctly"));
}

QTEST_MAIN(tst_eskra_frame_stream)
#include "tst_eskra_frame_stream.moc"
