// The serial-port board link end to end: the first listed port, the per-frame worker threads and the commands between frames.
#include "board/eskra_command.h"
#include "board/eskra_frame_stream.h"
#include "platform/serialports/serial_ports.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/sensor_model.h"
#include "sim/eskra/eskra_board.h"
#include "support/test_app_folder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <pthread.h>
#include <vector>

using namespace sim;

namespace {

// What the acquisition loop keeps: the port, the double buffer, the three sums and the raw frame.
struct Acquisition
{
    QSerialPort port;
    std::vector<unsigned char> a = std::vector<unsigned char>(EskraFrameBytes, 0);
    std::vector<unsigned char> b = std::vector<unsigned char>(EskraFrameBytes, 0);
    uint32_t transmitted = 0, running = 0, recomputed = 0;
    std::vector<uint16_t> raw = std::vector<uint16_t>(EskraFramePixels, 0);
    int frames = 0;
};
Acquisition* g_pAcquisition = nullptr;

void* ReadThread(void*)
{
    Acquisition& q = *g_pAcquisition;
    ReadSerialFrameEskra(&q.port, q.a.data(), q.b.data(), &q.transmitted, &q.running, &q.recomputed);
    return nullptr;
}

void* ProcessThread(void*)
{
    Acquisition& q = *g_pAcquisition;
    ProcessImageEskra(g_EskraReceiver, q.a.data(), q.b.data(), q.raw.data());
    return nullptr;
}

// The loop's cycle: events, read thread joined, check, process thread joined.
// True when a frame was handed on.
bool Cycle(Acquisition& q)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    pthread_t thread;
    pthread_create(&thread, nullptr, ReadThread, nullptr);
    pthread_join(thread, nullptr);
    CheckSerialFrameEskra(q.running, q.transmitted, q.recomputed);
    pthread_create(&thread, nullptr, ProcessThread, nullptr);
    pthread_join(thread, nullptr);
    const bool bFrame = g_EskraReceiver.frameComplete;
    if (bFrame)
        ++q.frames;
    g_EskraReceiver.frameComplete = false;
    return bFrame;
}

} // namespace

class tst_eskra_link : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void init()
    {
        ShutdownSharedEskraBoard();
        ResetSimulation();
        g_EskraReceiver.reset();
    }
    void cleanup()
    {
        ShutdownSharedEskraBoard();
        ResetSimulation();
    }

    void framesFlowThroughTheWorkerThreads();
    void commandsBetweenFramesAreAcknowledged();
};

void tst_eskra_link::framesFlowThroughTheWorkerThreads()
{
    TestAppFolder folder;
    const QStringList ports = AvailableSerialPortNames();
    QVERIFY(!ports.isEmpty());
    Acquisition q;
    g_pAcquisition = &q;
    QCOMPARE(OpenSerialPortEskra(&q.port, ports.first().toLatin1().constData()), 0);

    // Many frames: far more bytes than the port's 4096-byte read buffer holds,
    // so the stream must keep flowing while the worker thread empties it.
    QElapsedTimer t;
    t.start();
    while (q.frames < 12 && t.elapsed() < 10000)
        Cycle(q);
    QCOMPARE(q.frames, 12);
    std::vector<uint16_t> expected(kEskraPixels);
    bool bFound = false;
    for (int i = 0; i < 20 && !bFound; ++i) {
        SensorFor(BoardKind::Eskra)->renderFrame(uint64_t(i), expected.data(), kEskraWidth, kEskraHeight, kEskraWidth);
        for (uint16_t& v : expected)
            v = uint16_t((v & 0x3FFF) * 4);
        bFound = expected == q.raw;
    }
    QVERIFY(bFound);
}

void tst_eskra_link::commandsBetweenFramesAreAcknowledged()
{
    TestAppFolder folder;
    Acquisition q;
    g_pAcquisition = &q;
    QCOMPARE(OpenSerialPortEskra(&q.port, AvailableSerialPortNames().first().toLatin1().constData()), 0);

    int acknowledges = 0;
    static int* s_pAcks = nullptr;
    s_pAcks = &acknowledges;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& s) {
        if (s == QLatin1String("Acknowledge received"))
            ++*s_pAcks;
    });

    // Register writes go out in the gap after a complete frame, as "Set parameters" does.
    const QList<QPair<int, int>> writes{{0, 1500}, {1, 2048}, {4, 101}, {12, 12345}};
    int next = 0;
    QElapsedTimer t;
    t.start();
    while ((next < writes.size() || acknowledges < writes.size()) && t.elapsed() < 10000) {
        if (Cycle(q) && next < writes.size()) {
            QVERIFY(WriteEskraCommand(&q.port, writes[next].first, writes[next].second) > 0);
            ++next;
        }
    }
    // A few more frames: acknowledges inside frames spoil none of them.
    const int framesBefore = q.frames;
    while (q.frames < framesBefore + 3 && t.elapsed() < 10000)
        Cycle(q);
    qInstallMessageHandler(previous);

    QCOMPARE(acknowledges, writes.size());
    QCOMPARE(q.frames, framesBefore + 3);
    QCOMPARE(RecordedBytes(BoardKind::Eskra, "serial"),
             (QList<QByteArray>{"!11500", "!22048", "!50101", "!E12345"}));
    const auto model = SensorFor(BoardKind::Eskra);
    QCOMPARE(model->registerValue(Register::TINT), 1500);
    QCOMPARE(model->registerValue(Register::ADD02), 2048);
    QCOMPARE(model->registerValue(Register::GMS), 101);
    QCOMPARE(model->registerValue(Register::ADD0D), 12345);
}

QTEST_MAIN(tst_eskra_link)
#include "tst_eskra_link.moc"
