// Camera Link and GigE boards streaming at once while commands go to them; unplugged mid-stream.
// Built under ThreadSanitizer, this is the race check of both frame paths.
#include "support/build_speed.h"
#include "support/frames_stopped.h"
#include "platform/clserial/clserial.h"
#include "platform/ebus/ebus.h"
#include "platform/multicam/multicam.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/simulation_settings.h"
#include "sim/gige/dunstel_board.h"
#include "support/test_app_folder.h"

#include <QtTest>

#include <atomic>
#include <memory>

using sim::BoardKind;

namespace {

struct GrabberCounts
{
    std::atomic<int> frames{0};
    std::atomic<int> failures{0};
    std::atomic<uint64_t> checksum{0};
};

void GrabberCallback(PMCSIGNALINFO p_pInfo)
{
    auto* c = static_cast<GrabberCounts*>(p_pInfo->Context);
    if (p_pInfo->Signal == MC_SIG_ACQUISITION_FAILURE) {
        c->failures.fetch_add(1);
        return;
    }
    void* p = nullptr;
    if (McGetParamPtr(p_pInfo->SignalInfo, MC_SurfaceAddr, &p) == MC_OK && p != nullptr)
        c->checksum.fetch_add(static_cast<const uint16_t*>(p)[100]);
    c->frames.fetch_add(1);
}

class CountingSink : public PvPipelineEventSink
{
public:
    void OnBufferReady(PvPipeline* p_pPipeline) override
    {
        PvBuffer* b = nullptr;
        PvResult op;
        if (!p_pPipeline->RetrieveNextBuffer(&b, 20, &op).IsOK())
            return;
        if (op.IsOK()) {
            checksum.fetch_add(b->GetDataPointer()[10]);
            frames.fetch_add(1);
        }
        p_pPipeline->ReleaseBuffer(b);
    }
    std::atomic<int> frames{0};
    std::atomic<uint64_t> checksum{0};
};

int32_t ClWrite(hSerRef p_Ref, QByteArray p_Text)
{
    uint32_t n = uint32_t(p_Text.size());
    return clSerialWrite(p_Ref, p_Text.data(), &n, 1000);
}

} // namespace

class tst_cl_gige_streaming : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
    MCHANDLE m_Channel = 0;
    hSerRef m_Serial = nullptr;
    PvDevice* m_pDevice = nullptr;
    PvStream* m_pStream = nullptr;
    std::unique_ptr<PvPipeline> m_pPipeline;
    PvDeviceSerialPort m_Uart;
    GrabberCounts m_Grabber;
    CountingSink m_Sink;

    bool startGrabber()
    {
        const QString sCam = m_pFolder->rootPath() + "/Camfiles/CamFile_Z602.cam";
        return clSerialInit(0, &m_Serial) == CL_ERR_NO_ERR && McOpenDriver(nullptr) == MC_OK
               && McCreate(MC_CHANNEL, &m_Channel) == MC_OK && McSetParamInt(m_Channel, MC_DriverIndex, 0) == MC_OK
               && McSetParamStr(m_Channel, MC_CamFile, sCam.toLocal8Bit().constData()) == MC_OK
               && McRegisterCallback(m_Channel, GrabberCallback, &m_Grabber) == MC_OK
               && McSetParamInt(m_Channel, MC_SignalEnable + MC_SIG_SURFACE_PROCESSING, MC_SignalEnable_ON) == MC_OK
               && McSetParamInt(m_Channel, MC_SignalEnable + MC_SIG_ACQUISITION_FAILURE, MC_SignalEnable_ON) == MC_OK
               && McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_ACTIVE) == MC_OK;
    }
    bool startGigE()
    {
        PvResult r;
        const auto found = PvDiscoverDevices();
        if (found.empty())
            return false;
        m_pDevice = PvDevice::CreateAndConnect(found.front(), &r);
        if (m_pDevice == nullptr)
            return false;
        PvGenParameterArray* a = m_pDevice->GetParameters();
        a->SetEnumValue("BulkSelector", "Bulk0");
        a->SetEnumValue("BulkMode", "UART");
        a->SetEnumValue("BulkBaudRate", "Baud9600");
        PvDeviceAdapter adapter(m_pDevice);
        if (!m_Uart.Open(&adapter, PvDeviceSerialBulk0).IsOK())
            return false;
        a->SetEnumValue("PixelFormat", "Mono16");
        a->SetIntegerValue("Width", 84);
        a->SetIntegerValue("Height", 80);
        m_pStream = PvStream::CreateAndOpen(found.front()->GetConnectionID(), &r);
        if (m_pStream == nullptr)
            return false;
        m_pPipeline = std::make_unique<PvPipeline>(m_pStream);
        m_pPipeline->SetBufferCount(16);
        m_pPipeline->SetBufferSize(m_pDevice->GetPayloadSize());
        m_pDevice->StreamEnable();
        a->ExecuteCommand("AcquisitionStart");
        m_pPipeline->RegisterEventSink(&m_Sink);
        return m_pPipeline->Start().IsOK();
    }

private slots:
    void init()
    {
        m_pFolder = std::make_unique<TestAppFolder>();
        sim::ResetSimulation();
        sim::ResetCameraLinkSimulation();
        sim::DunstelBoard::instance().powerCycle();
    }
    void cleanup()
    {
        if (m_pPipeline)
            m_pPipeline->Stop();
        m_pPipeline.reset();
        PvStream::Free(m_pStream);
        m_pStream = nullptr;
        m_Uart.Close();
        PvDevice::Free(m_pDevice);
        m_pDevice = nullptr;
        if (m_Channel != 0) {
            McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_IDLE);
            McDelete(m_Channel);
            m_Channel = 0;
        }
        if (multicam_test::DriverOpen())
            McCloseDriver();
        clSerialClose(m_Serial);
        m_Serial = nullptr;
        sim::ResetSimulation();
        sim::ResetCameraLinkSimulation();
        m_pFolder.reset();
    }

    void bothStreamWhileCommandsChangeTheSensors()
    {
        QVERIFY(startGrabber());
        QVERIFY(startGigE());
        // Registers and queries go in while both frame threads render.
        // For at least 1.5 s, and until both streams have shown 20 frames while
        // the commands went in: a loaded machine only makes it last longer, a
        // stream that stalls under the commands never gets there.
        QElapsedTimer t;
        t.start();
        int i = 0;
        const auto bothFlowed = [&] { return m_Grabber.frames.load() >= 20 && m_Sink.frames.load() >= 20; };
        while ((t.elapsed() < 1500 || !bothFlowed()) && t.elapsed() < 15000LL * BuildSlowdown) {
            const QByteArray tint = QByteArray("!1") + QByteArray::number(100 + i % 200).rightJustified(4, '0');
            QCOMPARE(ClWrite(m_Serial, tint), int32_t(CL_ERR_NO_ERR));
            QCOMPARE(ClWrite(m_Serial, "!p"), int32_t(CL_ERR_NO_ERR));
            clFlushPort(m_Serial);
            uint32_t n = 0;
            const QByteArray line = tint + "\n\r";
            QVERIFY(m_Uart.Write(reinterpret_cast<const uint8_t*>(line.constData()), uint32_t(line.size()), n).IsOK());
            m_pDevice->GetParameters()->SetEnumValue("TestPattern", i % 2 ? "Off" : "iPORTTestPattern");
            double bps = 0;
            m_pStream->GetParameters()->GetFloatValue("Bandwidth", bps);
            ++i;
            QTest::qWait(10);
        }
        QVERIFY2(m_Grabber.frames.load() >= 20, qPrintable(QString::number(m_Grabber.frames.load())));
        QVERIFY2(m_Sink.frames.load() >= 20, qPrintable(QString::number(m_Sink.frames.load())));
        QCOMPARE(m_Grabber.failures.load(), 0);
    }

    void unpluggedMidStream()
    {
        QVERIFY(startGrabber());
        QVERIFY(startGigE());
        QTRY_VERIFY_WITH_TIMEOUT(m_Grabber.frames.load() >= 3 && m_Sink.frames.load() >= 3, 3000);
        sim::InjectFault(BoardKind::BelmorPlus, sim::Fault::DeviceLostMidStream);
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::DeviceLostMidStream);
        // The grabber reports the lost video; the GigE frames and link stop.
        QTRY_VERIFY_WITH_TIMEOUT(m_Grabber.failures.load() >= 2, 3000);
        QString sWhy;
        QVERIFY2(StaysStopped([&] { return m_Grabber.frames.load(); }, &sWhy), qPrintable("grabber: " + sWhy));
        QVERIFY2(StaysStopped([&] { return m_Sink.frames.load(); }, &sWhy), qPrintable("GigE: " + sWhy));
        QVERIFY(!m_pDevice->IsConnected());
        uint32_t n = 0;
        QVERIFY(!m_Uart.Write(reinterpret_cast<const uint8_t*>("!p"), 2, n).IsOK());
        QVERIFY(PvDiscoverDevices().empty());
        // Stopping after the loss ends cleanly.
        m_pPipeline->Stop();
        QCOMPARE(McDelete(m_Channel), MC_OK);
        m_Channel = 0;
        QCOMPARE(multicam_test::ActiveThreadCount(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_cl_gige_streaming)
#include "tst_cl_gige_streaming.moc"
