// The GigE Vision board link against the simulated Dunstel board: UART commands, SDK errors, features and the frame callback.
#include "support/build_speed.h"
#include "app/globals.h"
#include "board/board_message_box.h"
#include "board/fpga_command.h"
#include "board/board_link_factory.h"
#include "board/gige_link.h"
#include "board/links/gige_link.h"
#include "board_link_fixture.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "sim/gige/dunstel_board.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QtTest>

#include <memory>
#include <thread>
#include <vector>

using sim::BoardKind;

namespace {

constexpr int kWidth = 324;
constexpr int kHeight = 240;

// What the frame sink sees of a main window.
struct FakeWindow : FrameSink
{
    std::atomic<int> frameHeight{kHeight};
    std::atomic<int> framePitch{kWidth * 2};
    std::atomic<int> frameCounter{0};
    std::atomic<int> framesAcquired{0};
    std::atomic<int> delivered{0};
    std::atomic<int> deliveredHeight{0};
    std::atomic<int> deliveredPitch{0};
    std::atomic<int> unread{0};
    // Stands for a busy display with no series recording.
    std::atomic<bool> busy{false};
    std::vector<unsigned short> raw = std::vector<unsigned short>(kWidth * kHeight, 0xABCD);
    unsigned short* rawPointer = raw.data();

    FrameGeometry geometry() const override { return FrameGeometry{kWidth, frameHeight, framePitch}; }
    unsigned short* frameBuffer() override { return rawPointer; }
    FrameAccept offer(const RawFrame& p_Frame) override
    {
        ++frameCounter;
        ++framesAcquired;
        ++delivered;
        deliveredHeight = p_Frame.Geometry.Height;
        deliveredPitch = p_Frame.Geometry.Pitch;
        return FrameAccept::Taken;
    }
    bool dropsUnread() const override { return busy; }
    FrameAccept offerUnread() override
    {
        ++frameCounter;
        ++framesAcquired;
        ++unread;
        return FrameAccept::Dropped;
    }
};

} // namespace

class tst_gige_link : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BoardLinkBench> m_pBench;
    PvDevice* m_pDevice = nullptr;
    PvDeviceSerialPort* m_pPort = nullptr;

    PvDevice* connectDevice()
    {
        const std::vector<const PvDeviceInfo*> found = PvDiscoverDevices();
        if (found.empty())
            return nullptr;
        m_pDevice = ConnectGigEDevice(found.front());
        return m_pDevice;
    }
    PvDeviceSerialPort* openPort()
    {
        if (connectDevice() == nullptr)
            return nullptr;
        m_pPort = OpenGigESerial(m_pDevice);
        return m_pPort;
    }
    QList<QByteArray> uart() { return sim::RecordedBytes(BoardKind::Dunstel, "uart"); }

    // Streams through the link's own pipeline into p_Sink until p_Done holds.
    template <typename Done>
    void stream(GigEFrameSink& p_Sink, Done p_Done)
    {
        QVERIFY(connectDevice() != nullptr);
        QCOMPARE(SetGigEPixelFormat(m_pDevice, "Mono16"), 0);
        const PvDeviceInfo* pInfo = PvDiscoverDevices().front();
        PvStream* pStream = OpenGigEStream(pInfo);
        QVERIFY(pStream != nullptr);
        QCOMPARE(SetGigEWidth(kWidth, m_pDevice), 0);
        QCOMPARE(SetGigEHeight(kHeight, m_pDevice), 0);
        QCOMPARE(GetGigEWidth(m_pDevice), kWidth);
        QCOMPARE(GetGigEHeight(m_pDevice), kHeight);
        SetupGigEStreamDestination(m_pDevice, pStream);
        std::unique_ptr<PvPipeline> pipeline(CreateGigEPipeline(m_pDevice, pStream));
        QVERIFY(pipeline != nullptr);
        QCOMPARE(pipeline->GetBufferCount(), 16u);
        QCOMPARE(pipeline->GetBufferSize(), m_pDevice->GetPayloadSize());
        QVERIFY(m_pDevice->StreamEnable().IsOK());
        QVERIFY(m_pDevice->GetParameters()->ExecuteCommand("AcquisitionStart").IsOK());
        QVERIFY(pipeline->RegisterEventSink(&p_Sink).IsOK());
        QVERIFY(pipeline->Start().IsOK());
        QTRY_VERIFY_WITH_TIMEOUT(p_Done(), 10000);
        m_pDevice->GetParameters()->ExecuteCommand("AcquisitionStop");
        m_pDevice->StreamDisable();
        pStream->AbortQueuedBuffers();
        pipeline->Stop();
        pipeline.reset();
        pStream->Close();
        PvStream::Free(pStream);
    }

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void init()
    {
        m_pBench = std::make_unique<BoardLinkBench>();
        sim::DunstelBoard::instance().powerCycle();
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
    }
    void cleanup()
    {
        CloseGigESerial(m_pPort);
        delete m_pPort;
        m_pPort = nullptr;
        PvDevice::Free(m_pDevice);
        m_pDevice = nullptr;
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
        sim::DunstelBoard::instance().powerCycle();
        m_pBench.reset();
    }

    // ---- Device choice, connection and UART bridge -----------------------------------

    void deviceChoice()
    {
        QVERIFY(SelectGigEDevice(nullptr) == nullptr);
        PvDeviceFinderWnd finder;
        PvDeviceFinderWnd::SetAutomaticChoice(0);
        const PvDeviceInfo* pInfo = SelectGigEDevice(&finder);
        QVERIFY(pInfo != nullptr);
        QCOMPARE(QByteArray(finder.GetTitle().GetAscii()), QByteArray("Choose the GigE to use"));
        QCOMPARE(QString::fromLatin1(pInfo->GetConnectionID().GetAscii()),
                 sim::DunstelBoard::instance().connectionId());
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kCancel);
        QVERIFY(SelectGigEDevice(&finder) == nullptr);
    }

    void connectionAndBridge()
    {
        QVERIFY(openPort() != nullptr);
        const QString sDisplay = sim::DunstelBoard::instance().displayId();
        QVERIFY(m_pBench->logLines().contains("Connecting to " + sDisplay + "."));
        QVERIFY(m_pBench->boxes.isEmpty());
        QCOMPARE(m_pPort->GetRxBufferSize(), 0x20000u);
        const QList<QByteArray> features = sim::RecordedBytes(BoardKind::Dunstel, "feature");
        const QList<QByteArray> bulk = {"BulkSelector=Bulk0", "BulkMode=UART", "BulkBaudRate=Baud9600",
                                        "BulkNumOfStopBits=One", "BulkParity=None", "BulkLoopback=false"};
        QCOMPARE(features.mid(features.size() - bulk.size()), bulk);
    }

    void connectionFailureShowsTheSdkError()
    {
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::ActivationFailure, 1);
        QVERIFY(connectDevice() == nullptr);
        const QString sDisplay = sim::DunstelBoard::instance().displayId();
        const QStringList lines = m_pBench->logLines();
        QVERIFY(lines.contains("ERROR DURING CONNECTION ---- Timeout error"));
        QVERIFY(lines.contains("Unable to connect to " + sDisplay + "."));
        QCOMPARE(m_pBench->boxes.size(), 1);
        QCOMPARE(m_pBench->boxes.first().title, QString("ERROR DURING CONNECTION"));
        QCOMPARE(m_pBench->boxes.first().text, QString("Timeout happened creating during connecting the device."));
    }

    void bridgeThatDoesNotOpen()
    {
        QVERIFY(connectDevice() != nullptr);
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::NoPort, 1);
        QVERIFY(OpenGigESerial(m_pDevice) == nullptr);
        QVERIFY(m_pBench->logLines().contains("Problem while opening Serial Communicaition on GigE"));
        QVERIFY(OpenGigESerial(nullptr) == nullptr);
    }

    void pvResultTable_data()
    {
        QTest::addColumn<uint>("code");
        QTest::addColumn<QString>("logText");
        QTest::addColumn<QString>("boxText");
        QTest::newRow("0x19") << 0x19u << " ---- Device not found" << "The device has not been found.";
        QTest::newRow("0x4001") << 0x4001u << " ---- IP address invalid or default buffer configuration incorrect."
                                << "IP address invalid or default buffer configuration incorrect.";
        QTest::newRow("0x13") << 0x13u << " ---- Network error." << "An error on the network has been found.";
        QTest::newRow("0x904") << 0x904u << " ---- GenICam error." << "GenICam error..";
        QTest::newRow("0x1A") << 0x1Au << " ---- Device not supported." << "The device is not supported.";
        QTest::newRow("OK") << 0u << QString() << QString();
        QTest::newRow("unknown") << 0x4002u << QString() << QString();
    }
    void pvResultTable()
    {
        QFETCH(uint, code);
        QFETCH(QString, logText);
        QFETCH(QString, boxText);
        ShowPvResultError(PvResult(code), "ERROR DURING CONNECTION");
        const QStringList lines = m_pBench->logLinesStartingWith("ERROR");
        if (boxText.isEmpty()) {
            QVERIFY(lines.isEmpty());
            QVERIFY(m_pBench->boxes.isEmpty());
            return;
        }
        QCOMPARE(lines, QStringList{"ERROR DURING CONNECTION" + logText});
        QCOMPARE(m_pBench->boxes.size(), 1);
        QCOMPARE(m_pBench->boxes.first().title, QString("ERROR DURING CONNECTION"));
        QCOMPARE(m_pBench->boxes.first().text, boxText);
    }

    // A box asked for on the pipeline thread appears on the GUI thread, later.
    void boxFromAnotherThreadIsQueued()
    {
        Qt::HANDLE guiThread = QThread::currentThreadId();
        Qt::HANDLE shownOn = nullptr;
        SetMessageBoxPresenter([&](const MessageBoxRequest& p_Request) {
            shownOn = QThread::currentThreadId();
            m_pBench->boxes.append({p_Request.title, p_Request.text});
            return 0;
        });
        std::thread worker([] { ShowPvResultError(PvResult(0x17), "ERROR OPENING STREAM"); });
        worker.join();
        QVERIFY(m_pBench->boxes.isEmpty());
        QTRY_COMPARE(m_pBench->boxes.size(), 1);
        QCOMPARE(shownOn, guiThread);
        QCOMPARE(m_pBench->boxes.first().text, QString("The device is not connected to the network."));
    }

    void features()
    {
        QVERIFY(connectDevice() != nullptr);
        QCOMPARE(SetGigEWidth(kWidth, m_pDevice), 0);
        QCOMPARE(GetGigEWidth(m_pDevice), kWidth);
        QCOMPARE(SetGigEPixelFormat(m_pDevice, "NoSuchFormat"), 1);
        QCOMPARE(m_pBench->logLinesStartingWith("Could not set Pixelformat to NoSuchFormat").size(), 1);
        QCOMPARE(m_pBench->logLinesStartingWith("Problem: ").size(), 1);
        QCOMPARE(SetGigEHeight(-3, m_pDevice), 1);
        QCOMPARE(m_pBench->logLinesStartingWith("Could not set ySize to -3").size(), 1);
        QCOMPARE(GetGigEWidth(nullptr), 0);
        QVERIFY(m_pBench->logLines().contains("Could not get xSize"));
    }

    // ---- UART commands -----------------------------------------------------------

    void commandBytes_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("TINT 123") << 0 << 123 << QByteArray("!10123\n\r");
        QTest::newRow("GMS is 6") << 4 << 5 << QByteArray("!60005\n\r");
        QTest::newRow("five digits") << 0 << 12345 << QByteArray("!112345\n\r");
        QTest::newRow("negative") << 0 << -5 << QByteArray("!1-005\n\r");
        QTest::newRow("PERSO_ADDR four digits") << 24 << 6 << QByteArray("!a0006\n\r");
        QTest::newRow("rate") << 35 << 254 << QByteArray("!X0254\n\r");
    }
    void commandBytes()
    {
        QFETCH(int, id);
        QFETCH(int, value);
        QFETCH(QByteArray, bytes);
        QVERIFY(openPort() != nullptr);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SendGigECommand(m_pPort, id, value), 0);
        QVERIFY(clock.elapsed() >= 120);
        QCOMPARE(uart(), QList<QByteArray>{bytes});
        QCOMPARE(m_pBench->logLinesStartingWith("Data sent to GigE : ").size(), 1);
        QCOMPARE(m_pBench->logLinesStartingWith("Data sent to GigE : ").first(),
                 "Data sent to GigE : " + QString::fromLatin1(bytes.left(bytes.size() - 2)));
    }

    void commandWithoutLetter_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("GAIN_IMG") << 20;
        QTest::newRow("33") << 33;
        QTest::newRow("36") << 36;
        QTest::newRow("-1") << -1;
    }
    void commandWithoutLetter()
    {
        QFETCH(int, id);
        QVERIFY(openPort() != nullptr);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(SendGigECommand(m_pPort, id, 1), 1);
        const qint64 iFirst = clock.elapsed();
        QVERIFY(uart().isEmpty());
        QVERIFY(m_pBench->logLinesStartingWith("Data sent").isEmpty());
        // Nothing sent, so no command wait: its 120 ms would show on every try.
        const qint64 iShortest = iFirst < 100 ? iFirst : ShortestRunMs(100, [&] { SendGigECommand(m_pPort, id, 1); });
        QVERIFY2(iShortest < 100, qPrintable(QString::number(iShortest)));
    }

    void failedWriteIsReportedTwice()
    {
        QVERIFY(openPort() != nullptr);
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::WriteFailure, 1);
        QCOMPARE(SendGigECommand(m_pPort, 0, 1), 1);
        QCOMPARE(m_pBench->logLinesStartingWith("Problem while sending data to GigE").size(), 2);
        QCOMPARE(SendGigECommand(nullptr, 0, 1), 1);
    }

    void readTimesOut()
    {
        QVERIFY(openPort() != nullptr);
        unsigned char buffer[1000] = {};
        QVERIFY(ReadGigESerialRaw(nullptr, buffer));
        QVERIFY(ReadGigESerialRaw(m_pPort, buffer));
        QVERIFY(FlushAndSendGigE(m_pPort, "!p\n\r"));
        QVERIFY(!ReadGigESerial(m_pPort, buffer));
        QVERIFY(buffer[0] != 0);
    }

    // ---- FPGA registers through the bridge -----------------------------------------------

    // The Dunstel link on the test's port.
    std::unique_ptr<GigELink> bridgeLink()
    {
        auto link = std::make_unique<GigELink>();
        link->state().SerialPort = m_pPort;
        return link;
    }

    void fpgaRegisterPair()
    {
        QVERIFY(openPort() != nullptr);
        QCOMPARE(SendFpgaRegister(bridgeLink().get(), 6, 1), QString());
        QCOMPARE(uart(), (QList<QByteArray>{"!a0006\n\r", "!b0001\n\r"}));
    }

    void fpgaValueWriteFails()
    {
        QVERIFY(openPort() != nullptr);
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::WriteFailure, 1, 1);
        QCOMPARE(SendFpgaRegister(bridgeLink().get(), 6, 200), QString("Couldn't set PERSO_VALUE to 200.\n"));
    }

    void fpgaAddressWriteFailsFirst()
    {
        QVERIFY(openPort() != nullptr);
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::WriteFailure, 1);
        QCOMPARE(SendFpgaRegister(bridgeLink().get(), 16, 3), QString("Couldn't set PERSO_ADDR to 16.\n"));
        QVERIFY(uart().isEmpty());
        QCOMPARE(m_pBench->logLinesStartingWith("Data sent to GigE").size(), 1);
    }

    void fpgaOtherBoardsSendNothing()
    {
        QCOMPARE(SendFpgaRegister(MakeBoardLink(BoardKind::Belmor).get(), 4, 1), QString());
        QCOMPARE(SendFpgaRegister(MakeBoardLink(BoardKind::Corvane).get(), 4, 1), QString());
        QCOMPARE(SendFpgaRegister(MakeBoardLink(BoardKind::None).get(), 4, 1), QString());
        QVERIFY(m_pBench->logLinesStartingWith("Data sent").isEmpty());
    }

    // ---- Frame callback -----------------------------------------------------------------

    // Only a buffer that holds exactly one frame of the window's geometry is
    // copied; anything else leaves the raw frame as it was.
    void copyTakesExactFramesOnly_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("pitch");
        QTest::addColumn<int>("acquired");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<bool>("taken");
        QTest::newRow("exact") << 2 << 8 << 16 << 16 << true;
        QTest::newRow("exact in a larger buffer") << 2 << 8 << 16 << 64 << true;
        QTest::newRow("odd pitch: whole pixels") << 3 << 5 << 14 << 16 << true;
        QTest::newRow("short") << 2 << 8 << 14 << 16 << false;
        QTest::newRow("long") << 2 << 8 << 18 << 18 << false;
        QTest::newRow("more acquired than the buffer holds") << 2 << 8 << 16 << 8 << false;
        QTest::newRow("nothing acquired") << 2 << 8 << 0 << 16 << false;
        QTest::newRow("no geometry") << 0 << 0 << 0 << 16 << false;
        QTest::newRow("negative pitch") << 2 << -8 << 16 << 16 << false;
    }
    void copyTakesExactFramesOnly()
    {
        QFETCH(int, height);
        QFETCH(int, pitch);
        QFETCH(int, acquired);
        QFETCH(int, capacity);
        QFETCH(bool, taken);
        std::vector<uint8_t> buffer(static_cast<size_t>(std::max(capacity, acquired)));
        for (size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = static_cast<uint8_t>(i + 1);
        std::vector<unsigned short> raw(32, 0xABCD);
        QCOMPARE(CopyGigEFrame(buffer.data(), uint32_t(acquired), uint32_t(capacity), height, pitch, raw.data()), taken);
        const int iPixels = taken ? acquired / 2 : 0;
        for (int i = 0; i < iPixels; ++i)
            QCOMPARE(int(raw[size_t(i)]), (2 * i + 1) | (2 * i + 2) << 8);   // little-endian
        QCOMPARE(std::count(raw.begin() + iPixels, raw.end(), 0xABCD), long(raw.size()) - iPixels);
        QVERIFY(!CopyGigEFrame(nullptr, 16, 16, 2, 8, raw.data()));
        QVERIFY(!CopyGigEFrame(buffer.data(), 16, 16, 2, 8, nullptr));
    }

    void wholeFramesAreCopied()
    {
        FakeWindow w;
        GigEFrameSink sink(w);
        stream(sink, [&] { return w.frameCounter >= 5; });
        QVERIFY(w.framesAcquired >= 5);
        QCOMPARE(w.delivered.load(), w.frameCounter.load());
        QCOMPARE(sink.droppedFrames(), 0);
        // Handed on with the geometry the frame was copied for.
        QCOMPARE(w.deliveredHeight.load(), kHeight);
        QCOMPARE(w.deliveredPitch.load(), kWidth * 2);
        // Every pixel of the frame was written (0xABCD is not a Mono16 pixel of the scene).
        QCOMPARE(std::count(w.raw.begin(), w.raw.end(), 0xABCD), 0L);
    }

    // A frame the sink would drop unread is counted as every frame is, but
    // neither copied nor handed on; once the display is free again, frames are
    // copied and handed on as before.
    void framesDroppedWhileBusyAreNotCopied()
    {
        FakeWindow w;
        w.busy = true;
        GigEFrameSink sink(w);
        stream(sink, [&] { return w.unread >= 5; });
        QCOMPARE(w.delivered.load(), 0);
        QCOMPARE(w.frameCounter.load(), w.unread.load());
        QCOMPARE(w.framesAcquired.load(), w.unread.load());
        QCOMPARE(sink.droppedFrames(), 0);
        QCOMPARE(std::count(w.raw.begin(), w.raw.end(), 0xABCD), long(w.raw.size()));
        // The second stream connects its own device.
        PvDevice::Free(m_pDevice);
        m_pDevice = nullptr;

        FakeWindow free;
        free.busy = true;
        GigEFrameSink freeSink(free);
        stream(freeSink, [&] {
            if (free.unread >= 3)
                free.busy = false;
            return free.delivered >= 3;
        });
        QCOMPARE(free.frameCounter.load(), free.unread + free.delivered);
        QCOMPARE(std::count(free.raw.begin(), free.raw.end(), 0xABCD), 0L);
    }

    // The frame is 324 x 240; a window that expects 640 x 480 must not copy it,
    // and such a frame counts as dropped whether the display is busy or not.
    void framesOfAnotherGeometryAreDropped_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("pitch");
        QTest::addColumn<bool>("busy");
        QTest::newRow("larger") << 480 << 1280 << false;
        QTest::newRow("smaller") << 120 << kWidth * 2 << false;
        QTest::newRow("none") << 0 << 0 << false;
        QTest::newRow("larger, display busy") << 480 << 1280 << true;
        QTest::newRow("smaller, display busy") << 120 << kWidth * 2 << true;
    }
    void framesOfAnotherGeometryAreDropped()
    {
        QFETCH(int, height);
        QFETCH(int, pitch);
        QFETCH(bool, busy);
        FakeWindow w;
        w.raw.assign(std::max(640 * 480, kWidth * kHeight), 0xABCD);
        w.rawPointer = w.raw.data();
        w.frameHeight = height;
        w.framePitch = pitch;
        w.busy = busy;
        GigEFrameSink sink(w);
        stream(sink, [&] { return sink.droppedFrames() >= 3; });
        QCOMPARE(w.frameCounter.load(), 0);
        QCOMPARE(w.delivered.load(), 0);
        QCOMPARE(w.unread.load(), 0);
        QCOMPARE(std::count(w.raw.begin(), w.raw.end(), 0xABCD), long(w.raw.size()));
    }

    void noRawBufferDropsTheFrame_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("display free") << false;
        QTest::newRow("display busy") << true;
    }
    void noRawBufferDropsTheFrame()
    {
        QFETCH(bool, busy);
        FakeWindow w;
        w.rawPointer = nullptr;
        w.busy = busy;
        GigEFrameSink sink(w);
        stream(sink, [&] { return sink.droppedFrames() >= 2; });
        QCOMPARE(w.delivered.load(), 0);
        QCOMPARE(w.unread.load(), 0);
    }
};

QTEST_MAIN(tst_gige_link)
#include "tst_gige_link.moc"
