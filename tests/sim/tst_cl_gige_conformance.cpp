// The same behaviour asked of each Camera Link board and of the GigE board: connect, identify, stream, stop, unplug.
#include "support/frames_stopped.h"
#include "platform/clserial/clserial.h"
#include "platform/ebus/ebus.h"
#include "platform/multicam/multicam.h"
#include "sim/cameralink/cameralink_board.h"
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

std::atomic<int> g_iFrames{0};
std::atomic<int> g_iFailures{0};

void Callback(PMCSIGNALINFO p_pInfo)
{
    if (p_pInfo->Signal == MC_SIG_SURFACE_PROCESSING)
        g_iFrames.fetch_add(1);
    else if (p_pInfo->Signal == MC_SIG_ACQUISITION_FAILURE)
        g_iFailures.fetch_add(1);
}

class Sink : public PvPipelineEventSink
{
public:
    void OnBufferReady(PvPipeline* p_pPipeline) override
    {
        PvBuffer* b = nullptr;
        PvResult op;
        if (p_pPipeline->RetrieveNextBuffer(&b, 20, &op).IsOK()) {
            if (op.IsOK())
                g_iFrames.fetch_add(1);
            p_pPipeline->ReleaseBuffer(b);
        }
    }
};

// One board behind its stand-ins, driven the way the program drives it.
class Bench
{
public:
    virtual ~Bench() = default;
    virtual bool connect() = 0;
    virtual QByteArray askProxy() = 0;     // the board's answer to its proxy query
    virtual bool startStream() = 0;
    virtual void stopStream() = 0;
    virtual void disconnect() = 0;
};

class CameraLinkBench : public Bench
{
public:
    CameraLinkBench(BoardKind p_Kind, QString p_sCamFile) : m_Kind(p_Kind), m_sCamFile(std::move(p_sCamFile)) {}
    bool connect() override
    {
        uint32_t n = 0;
        if (clGetNumPorts(&n) != CL_ERR_NO_ERR || n == 0 || clSerialInit(0, &m_Ref) != CL_ERR_NO_ERR)
            return false;
        clSetBaudRate(m_Ref, CL_BAUDRATE_9600);
        write("v");
        uint32_t avail = 0;
        clGetNumBytesAvail(m_Ref, &avail);
        clFlushPort(m_Ref);
        return avail > 0;
    }
    QByteArray askProxy() override
    {
        write(m_Kind == BoardKind::Arvex ? "*p" : "!p");
        uint32_t avail = 0;
        clGetNumBytesAvail(m_Ref, &avail);
        QByteArray buf(int(avail), '\0');
        clSerialRead(m_Ref, buf.data(), &avail, 100);
        return buf.left(int(avail));
    }
    bool startStream() override
    {
        return McOpenDriver(nullptr) == MC_OK && McCreate(MC_CHANNEL, &m_Channel) == MC_OK
               && McSetParamInt(m_Channel, MC_DriverIndex, 0) == MC_OK
               && McSetParamStr(m_Channel, MC_CamFile, m_sCamFile.toLocal8Bit().constData()) == MC_OK
               && McRegisterCallback(m_Channel, Callback, nullptr) == MC_OK
               && McSetParamInt(m_Channel, MC_SignalEnable + MC_SIG_SURFACE_PROCESSING, MC_SignalEnable_ON) == MC_OK
               && McSetParamInt(m_Channel, MC_SignalEnable + MC_SIG_ACQUISITION_FAILURE, MC_SignalEnable_ON) == MC_OK
               && McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_ACTIVE) == MC_OK;
    }
    void stopStream() override
    {
        if (m_Channel != 0) {
            McSetParamInt(m_Channel, MC_ChannelState, MC_ChannelState_IDLE);
            McDelete(m_Channel);
            m_Channel = 0;
        }
        if (multicam_test::DriverOpen())
            McCloseDriver();
    }
    void disconnect() override
    {
        clSerialClose(m_Ref);
        m_Ref = nullptr;
    }

private:
    void write(const char* p_sText)
    {
        QByteArray b(p_sText);
        if (m_Kind == BoardKind::Arvex && b.size() > 2)
            b.append(QByteArray(8 - b.size(), '\0'));
        uint32_t n = uint32_t(b.size());
        clSerialWrite(m_Ref, b.data(), &n, 1000);
    }
    BoardKind m_Kind;
    QString m_sCamFile;
    hSerRef m_Ref = nullptr;
    MCHANDLE m_Channel = 0;
};

class GigEBench : public Bench
{
public:
    bool connect() override
    {
        PvDeviceFinderWnd finder;
        PvDeviceFinderWnd::SetAutomaticChoice(0);
        const bool bChosen = finder.ShowModal().IsOK() && finder.GetSelected() != nullptr;
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
        if (!bChosen)
            return false;
        m_pInfo = finder.GetSelected();
        PvResult r;
        m_pDevice = PvDevice::CreateAndConnect(m_pInfo, &r);
        if (m_pDevice == nullptr)
            return false;
        PvGenParameterArray* a = m_pDevice->GetParameters();
        a->SetEnumValue("BulkSelector", "Bulk0");
        a->SetEnumValue("BulkMode", "UART");
        a->SetEnumValue("BulkBaudRate", "Baud9600");
        a->SetEnumValue("BulkNumOfStopBits", "One");
        a->SetEnumValue("BulkParity", "None");
        a->SetBooleanValue("BulkLoopback", false);
        PvDeviceAdapter adapter(m_pDevice);
        return m_Port.Open(&adapter, PvDeviceSerialBulk0).IsOK();
    }
    QByteArray askProxy() override
    {
        uint32_t n = 0;
        m_Port.FlushRxBuffer();
        m_Port.Write(reinterpret_cast<const uint8_t*>("!p"), 2, n);
        uint8_t buf[100];
        m_Port.Read(buf, 100, n, 1000);
        return QByteArray(reinterpret_cast<const char*>(buf), int(n));
    }
    bool startStream() override
    {
        PvGenParameterArray* a = m_pDevice->GetParameters();
        a->SetEnumValue("PixelFormat", "Mono16");
        a->SetIntegerValue("Width", 84);
        a->SetIntegerValue("Height", 80);
        PvResult r;
        m_pStream = PvStream::CreateAndOpen(m_pInfo->GetConnectionID(), &r);
        if (m_pStream == nullptr)
            return false;
        m_pPipeline = std::make_unique<PvPipeline>(m_pStream);
        m_pPipeline->SetBufferCount(16);
        m_pPipeline->SetBufferSize(m_pDevice->GetPayloadSize());
        m_pDevice->StreamEnable();
        dynamic_cast<PvGenCommand*>(a->Get("AcquisitionStart"))->Execute();
        m_pPipeline->RegisterEventSink(&m_Sink);
        return m_pPipeline->Start().IsOK();
    }
    void stopStream() override
    {
        if (m_pDevice != nullptr && m_pDevice->IsConnected())
            m_pDevice->GetParameters()->ExecuteCommand("AcquisitionStop");
        if (m_pDevice != nullptr)
            m_pDevice->StreamDisable();
        if (m_pStream != nullptr)
            m_pStream->AbortQueuedBuffers();
        if (m_pPipeline)
            m_pPipeline->Stop();
        m_pPipeline.reset();
        if (m_pStream != nullptr) {
            m_pStream->Close();
            PvStream::Free(m_pStream);
            m_pStream = nullptr;
        }
    }
    void disconnect() override
    {
        m_Port.Close();
        if (m_pDevice != nullptr) {
            m_pDevice->Disconnect();
            PvDevice::Free(m_pDevice);
            m_pDevice = nullptr;
        }
    }

private:
    const PvDeviceInfo* m_pInfo = nullptr;
    PvDevice* m_pDevice = nullptr;
    PvDeviceSerialPort m_Port;
    PvStream* m_pStream = nullptr;
    std::unique_ptr<PvPipeline> m_pPipeline;
    Sink m_Sink;
};

} // namespace

class tst_cl_gige_conformance : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
    std::unique_ptr<Bench> m_pBench;

    Bench* benchFor(BoardKind p_Kind)
    {
        // Only the board under test is present, as on a bench with one board plugged in.
        sim::SimulationSettings s;
        for (BoardKind k : sim::kAllBoardKinds)
            s.setBoardPresent(k, k == p_Kind);
        s.setProxyIndex(p_Kind, 5);   // Z602, 84 x 80
        sim::ResetBoards();
        sim::DunstelBoard::instance().powerCycle();
        if (p_Kind == BoardKind::Dunstel)
            m_pBench = std::make_unique<GigEBench>();
        else
            m_pBench = std::make_unique<CameraLinkBench>(p_Kind, m_pFolder->rootPath() + "/Camfiles/CamFile_Z602.cam");
        return m_pBench.get();
    }

private slots:
    void init()
    {
        m_pFolder = std::make_unique<TestAppFolder>();
        sim::ResetSimulation();
        sim::ResetCameraLinkSimulation();
        g_iFrames.store(0);
        g_iFailures.store(0);
    }
    void cleanup()
    {
        if (m_pBench) {
            m_pBench->stopStream();
            m_pBench->disconnect();
        }
        m_pBench.reset();
        sim::ResetSimulation();
        sim::ResetCameraLinkSimulation();
        sim::DunstelBoard::instance().powerCycle();
        m_pFolder.reset();
    }

    void connectIdentifyStreamStop_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("proxyAnswer");   // proxy index 5 as each board counts it
        QTest::newRow("Arvex") << int(BoardKind::Arvex) << QByteArray("4");
        QTest::newRow("Belmor") << int(BoardKind::Belmor) << QByteArray("5");
        QTest::newRow("Belmor+") << int(BoardKind::BelmorPlus) << QByteArray("5");
        QTest::newRow("Dunstel") << int(BoardKind::Dunstel) << QByteArray("3");
    }
    void connectIdentifyStreamStop()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, proxyAnswer);
        Bench* b = benchFor(static_cast<BoardKind>(kind));
        QVERIFY(b->connect());
        QCOMPARE(b->askProxy(), proxyAnswer);
        QVERIFY(b->startStream());
        QTRY_VERIFY_WITH_TIMEOUT(g_iFrames.load() >= 10, 5000);
        b->stopStream();
        const int iStopped = g_iFrames.load();
        QTest::qWait(100);
        QCOMPARE(g_iFrames.load(), iStopped);
        QCOMPARE(multicam_test::ActiveThreadCount(), 0);
        b->disconnect();
    }

    void unplugMidStream_data() { connectIdentifyStreamStop_data(); }
    void unplugMidStream()
    {
        QFETCH(int, kind);
        const BoardKind k = static_cast<BoardKind>(kind);
        Bench* b = benchFor(k);
        QVERIFY(b->connect());
        QVERIFY(b->startStream());
        QTRY_VERIFY_WITH_TIMEOUT(g_iFrames.load() >= 3, 5000);
        sim::InjectFault(k, sim::Fault::DeviceLostMidStream);
        QString sWhy;
        QVERIFY2(StaysStopped([] { return g_iFrames.load(); }, &sWhy), qPrintable(sWhy));
        if (k != BoardKind::Dunstel)
            QVERIFY(g_iFailures.load() > 0);   // the grabber reports the lost video
        // Stopping and disconnecting after the loss end cleanly.
        b->stopStream();
        b->disconnect();
        QCOMPARE(multicam_test::ActiveThreadCount(), 0);
    }

    // Simulation switched off: every path reports absent hardware.
    void simulationOffMeansNoHardware_data() { connectIdentifyStreamStop_data(); }
    void simulationOffMeansNoHardware()
    {
        QFETCH(int, kind);
        Bench* b = benchFor(static_cast<BoardKind>(kind));
        sim::SimulationSettings().setSimulationEnabled(false);
        QVERIFY(!b->connect());
        QCOMPARE(McOpenDriver(nullptr), MC_NO_BOARD_FOUND);
        QVERIFY(PvDiscoverDevices().empty());
    }
};

QTEST_MAIN(tst_cl_gige_conformance)
#include "tst_cl_gige_conformance.moc"
