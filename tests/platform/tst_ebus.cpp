// The GigE Vision stand-in against the simulated Dunstel board: finder, features, UART bridge and pipeline.
#include "support/build_speed.h"
#include "support/frames_stopped.h"
#include "platform/ebus/ebus.h"
#include "params/proxy_parameter_table.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "sim/gige/dunstel_board.h"
#include "support/test_app_folder.h"

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

using sim::BoardKind;

namespace {

// The buffer-ready sink as the program writes it: retrieve with 20 ms, copy, release.
class RecordingSink : public PvPipelineEventSink
{
public:
    void OnBufferReady(PvPipeline* p_pPipeline) override
    {
        PvBuffer* pBuffer = nullptr;
        PvResult operation;
        const PvResult r = p_pPipeline->RetrieveNextBuffer(&pBuffer, 20, &operation);
        std::lock_guard<std::mutex> lock(mutex);
        threads.push_back(std::this_thread::get_id());
        times.push_back(std::chrono::steady_clock::now());
        if (!r.IsOK())
            return;
        results.push_back(operation.GetCode());
        sizes.push_back(pBuffer->GetAcquiredSize());
        if (first.isEmpty() && operation.IsOK())
            first = QByteArray(reinterpret_cast<const char*>(pBuffer->GetDataPointer()),
                               int(pBuffer->GetAcquiredSize()));
        p_pPipeline->ReleaseBuffer(pBuffer);
    }
    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return int(threads.size());
    }
    std::mutex mutex;
    std::vector<std::thread::id> threads;
    std::vector<std::chrono::steady_clock::time_point> times;
    std::vector<uint32_t> results;
    std::vector<uint32_t> sizes;
    QByteArray first;
};

QByteArray Read(PvDeviceSerialPort& p_Port, uint32_t p_uTimeout = 100, PvResult* p_pResult = nullptr)
{
    uint8_t buf[1000];
    uint32_t n = 0;
    const PvResult r = p_Port.Read(buf, 100, n, p_uTimeout);
    if (p_pResult != nullptr)
        *p_pResult = r;
    return QByteArray(reinterpret_cast<const char*>(buf), int(n));
}

bool Write(PvDeviceSerialPort& p_Port, const QByteArray& p_Text)
{
    uint32_t n = 0;
    return p_Port.Write(reinterpret_cast<const uint8_t*>(p_Text.constData()), uint32_t(p_Text.size()), n).IsOK()
           && n == uint32_t(p_Text.size());
}

} // namespace

class tst_ebus : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
    PvDevice* m_pDevice = nullptr;

    PvDevice* connect()
    {
        PvResult r;
        const std::vector<const PvDeviceInfo*> found = PvDiscoverDevices();
        if (found.empty())
            return nullptr;
        m_pDevice = PvDevice::CreateAndConnect(found.front(), &r);
        return m_pDevice;
    }
    // The six UART settings, in the link's order, then the port on bulk 0.
    PvResult openUart(PvDevice* p_pDevice, PvDeviceSerialPort& p_Port)
    {
        PvGenParameterArray* a = p_pDevice->GetParameters();
        a->SetEnumValue("BulkSelector", "Bulk0");
        a->SetEnumValue("BulkMode", "UART");
        a->SetEnumValue("BulkBaudRate", "Baud9600");
        a->SetEnumValue("BulkNumOfStopBits", "One");
        a->SetEnumValue("BulkParity", "None");
        a->SetBooleanValue("BulkLoopback", false);
        PvDeviceAdapter adapter(p_pDevice);
        const PvResult r = p_Port.Open(&adapter, PvDeviceSerialBulk0);
        if (r.IsOK()) {
            p_Port.SetRxBufferSize(0x20000);
            p_Port.FlushRxBuffer();
        }
        return r;
    }

private slots:
    void init()
    {
        m_pFolder = std::make_unique<TestAppFolder>();
        sim::ResetSimulation();
        sim::DunstelBoard::instance().powerCycle();
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
    }
    void cleanup()
    {
        PvDevice::Free(m_pDevice);
        m_pDevice = nullptr;
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
        sim::ResetSimulation();
        sim::DunstelBoard::instance().powerCycle();
        m_pFolder.reset();
    }

    void finderChosenByTheHook()
    {
        PvDeviceFinderWnd finder;
        finder.SetPleoraProtocolEnabled(true, true);
        finder.SetGEVEnabled(true, true);
        finder.SetU3VEnabled(false, false);
        finder.SetTitle("Choose the GigE to use");
        PvDeviceFinderWnd::SetAutomaticChoice(0);
        QVERIFY(finder.ShowModal().IsOK());
        QVERIFY(finder.GetSelected() != nullptr);
        QCOMPARE(QByteArray(finder.GetSelected()->GetConnectionID().GetAscii()),
                 sim::DunstelBoard::instance().connectionId().toLatin1());
        QCOMPARE(QByteArray(finder.GetTitle().GetAscii()), QByteArray("Choose the GigE to use"));

        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kCancel);
        QVERIFY(!finder.ShowModal().IsOK());
        QVERIFY(finder.GetSelected() == nullptr);

        // Nothing to choose: the dialog cannot be confirmed.
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::DeviceAbsent);
        PvDeviceFinderWnd::SetAutomaticChoice(0);
        QVERIFY(!finder.ShowModal().IsOK());
        QVERIFY(finder.GetSelected() == nullptr);
    }

    // The dialog is a real modal window: a test can also pick like a person.
    void finderDrivenLikeAPerson()
    {
        PvDeviceFinderWnd finder;
        finder.SetTitle("Choose the GigE to use");
        QString sTitle;
        int iRows = -1;
        QTimer::singleShot(50, this, [&] {
            QWidget* w = QApplication::activeModalWidget();
            QVERIFY(w != nullptr);
            sTitle = w->windowTitle();
            auto* tree = w->findChild<QTreeWidget*>("treeWidget_Devices");
            auto* ok = w->findChild<QPushButton*>("pushButton_OK");
            QVERIFY(tree != nullptr && ok != nullptr);
            iRows = tree->topLevelItemCount();
            QVERIFY(!ok->isEnabled());
            tree->setCurrentItem(tree->topLevelItem(0));
            QVERIFY(ok->isEnabled());
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        QVERIFY(finder.ShowModal().IsOK());
        QCOMPARE(sTitle, QString("Choose the GigE to use"));
        QCOMPARE(iRows, 1);
        QVERIFY(finder.GetSelected() != nullptr);
        // Without GigE Vision the simulated board is not listed.
        finder.SetGEVEnabled(false, false);
        QTimer::singleShot(50, this, [&] {
            QWidget* w = QApplication::activeModalWidget();
            iRows = w->findChild<QTreeWidget*>("treeWidget_Devices")->topLevelItemCount();
            w->findChild<QPushButton*>("pushButton_Cancel")->click();
        });
        QVERIFY(!finder.ShowModal().IsOK());
        QCOMPARE(iRows, 0);
    }

    void connectionResults()
    {
        const PvDeviceInfo* pInfo = PvDiscoverDevices().front();
        PvResult r;
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::ActivationFailure, 1);
        QVERIFY(PvDevice::CreateAndConnect(pInfo, &r) == nullptr);
        QCOMPARE(r.GetCode(), 0x1Eu);
        PvDevice* d = PvDevice::CreateAndConnect(pInfo, &r);
        QVERIFY(r.IsOK());
        QVERIFY(d->IsConnected());
        QVERIFY(dynamic_cast<PvDeviceGEV*>(d) != nullptr);
        QVERIFY(d->Disconnect().IsOK());
        QVERIFY(!d->IsConnected());
        int64_t w = 0;
        QVERIFY(!d->GetParameters()->GetIntegerValue("Width", w).IsOK());
        PvDevice::Free(d);

        sim::SimulationSettings().setSimulationEnabled(false);
        QVERIFY(PvDiscoverDevices().empty());
        QVERIFY(PvDevice::CreateAndConnect(pInfo, &r) == nullptr);
        QVERIFY(r == 0x19u);
        QCOMPARE(QByteArray(r.GetCodeString().GetAscii()), QByteArray("NOT_FOUND"));
    }

    void featuresOfTheBoard()
    {
        PvDevice* d = connect();
        QVERIFY(d != nullptr);
        PvGenParameterArray* a = d->GetParameters();
        auto* width = dynamic_cast<PvGenInteger*>(a->Get("Width"));
        auto* height = dynamic_cast<PvGenInteger*>(a->Get("Height"));
        QVERIFY(width != nullptr && height != nullptr);
        QVERIFY(dynamic_cast<PvGenCommand*>(a->Get("Width")) == nullptr);
        QVERIFY(a->Get("NoSuchFeature") == nullptr);
        QVERIFY(a->SetIntegerValue("Width", 648).IsOK());
        QVERIFY(a->SetIntegerValue("Height", 480).IsOK());
        int64_t v = 0;
        QVERIFY(width->GetValue(v).IsOK());
        QCOMPARE(v, int64_t(648));
        QVERIFY(!a->SetIntegerValue("Width", 0).IsOK());
        QVERIFY(a->SetIntegerValue("Width", 2049).IsOK());   // the program refuses it, not the board
        QVERIFY(a->SetIntegerValue("Width", 648).IsOK());

        QVERIFY(a->SetEnumValue("PixelFormat", "Mono16").IsOK());
        QVERIFY(!a->SetEnumValue("PixelFormat", "Mono17").IsOK());
        for (const char* f : {"PixelBusLineValidEdgeSensitivity", "PixelBusFrameValidEdgeSensitivity"}) {
            QVERIFY(a->SetEnumValue(f, "Edge").IsOK());
            PvString s;
            QVERIFY(a->GetEnumValue(f, s).IsOK());
            QCOMPARE(QByteArray(s.GetAscii()), QByteArray("Edge"));
        }
        QVERIFY(a->SetEnumValue("TestPattern", "Off").IsOK());
        bool b = true;
        QVERIFY(a->GetBooleanValue("PixelBusDataValidEnabled", b).IsOK());
        QVERIFY(!b);
        QVERIFY(a->SetBooleanValue("PixelBusDataValidEnabled", true).IsOK());
        QCOMPARE(d->GetPayloadSize(), uint32_t(648 * 480 * 2));

        // The geometry is locked while the board acquires.
        auto* start = dynamic_cast<PvGenCommand*>(a->Get("AcquisitionStart"));
        auto* stop = dynamic_cast<PvGenCommand*>(a->Get("AcquisitionStop"));
        QVERIFY(start != nullptr && stop != nullptr);
        QVERIFY(start->Execute().IsOK());
        QVERIFY(!a->SetIntegerValue("Width", 640).IsOK());
        QVERIFY(!a->SetEnumValue("PixelFormat", "Mono8").IsOK());
        QVERIFY(stop->Execute().IsOK());
        QVERIFY(a->SetIntegerValue("Width", 640).IsOK());

        const QList<QByteArray> expected{"Width=648", "Height=480", "Width=0", "Width=2049", "Width=648",
                                         "PixelFormat=Mono16", "PixelFormat=Mono17",
                                         "PixelBusLineValidEdgeSensitivity=Edge",
                                         "PixelBusFrameValidEdgeSensitivity=Edge", "TestPattern=Off",
                                         "PixelBusDataValidEnabled=true", "AcquisitionStart", "Width=640",
                                         "PixelFormat=Mono8", "AcquisitionStop", "Width=640"};
        QCOMPARE(sim::RecordedBytes(BoardKind::Dunstel, "feature"), expected);
    }

    // At power-on the board's image size is its proxy's GigE size (cells 333,
    // 334), or the sensor's size where the record has none.
    void powerOnSizeFollowsTheStoredProxy()
    {
        sim::SimulationSettings().setProxyIndex(BoardKind::Dunstel, 3);
        sim::ResetBoards();
        sim::DunstelBoard::instance().powerCycle();
        EnsureProxyParameterTableFilled();
        int64_t iWidth = GetDefault(3, 333);
        int64_t iHeight = GetDefault(3, 334);
        if (iWidth == ProxyParameterNotSet || iHeight == ProxyParameterNotSet) {
            const sim::FrameGeometry g = sim::SensorFor(BoardKind::Dunstel)->geometry();
            iWidth = g.width;
            iHeight = g.height;
        }
        PvDevice* d = connect();
        int64_t w = 0, h = 0;
        QVERIFY(d->GetParameters()->GetIntegerValue("Width", w).IsOK());
        QVERIFY(d->GetParameters()->GetIntegerValue("Height", h).IsOK());
        QCOMPARE(w, iWidth);
        QCOMPARE(h, iHeight);
    }

    // A board that keeps another size than the one it was given.
    void boardThatRefusesTheSize()
    {
        PvDevice* d = connect();
        sim::InjectFault(BoardKind::Dunstel, sim::Fault::ChangedSampleSize);
        QVERIFY(d->GetParameters()->SetIntegerValue("Width", 640).IsOK());
        int64_t w = 0;
        d->GetParameters()->GetIntegerValue("Width", w);
        QVERIFY(w != 640);
    }

    void uartLinesAndReplies()
    {
        sim::SimulationSettings().setProxyIndex(BoardKind::Dunstel, 9);
        sim::SimulationSettings().setFrameRateCode(BoardKind::Dunstel, 120);
        sim::ResetBoards();
        PvDevice* d = connect();
        PvDeviceSerialPort port;
        QVERIFY(openUart(d, port).IsOK());
        QVERIFY(port.IsOpened());
        QCOMPARE(port.GetRxBufferSize(), 0x20000u);

        // Nothing pending: time-out, code 30.
        PvResult r;
        QCOMPARE(Read(port, 1, &r), QByteArray());
        QCOMPARE(r.GetCode(), 30u);

        QVERIFY(Write(port, "!p"));
        QCOMPARE(Read(port), QByteArray("7"));   // two below the proxy index
        QVERIFY(Write(port, "!f"));
        QCOMPARE(Read(port), QByteArray("120"));

        for (const char* line : {"!10123\n\r", "!6-005\n\r", "!a0006\n\r", "!b0001\n\r", "!112345\n\r"})
            QVERIFY(Write(port, line));
        auto sensor = sim::SensorFor(BoardKind::Dunstel);
        QCOMPARE(sensor->registerValue(0), 12345);
        QCOMPARE(sensor->registerValue(4), -5);
        QCOMPARE(sensor->fpgaRegister(6), 1);
        // Register commands get no answer.
        QCOMPARE(Read(port, 1), QByteArray());
        const QList<QByteArray> expected{"!p", "!f", "!10123\n\r", "!6-005\n\r", "!a0006\n\r", "!b0001\n\r",
                                         "!112345\n\r"};
        QCOMPARE(sim::RecordedBytes(BoardKind::Dunstel, "uart"), expected);

        // The proxy number written by the set-up window survives a power cycle.
        QVERIFY(Write(port, "!P0000\n\r"));
        sim::ResetBoards();
        QVERIFY(Write(port, "!p"));
        QCOMPARE(Read(port), QByteArray("0"));
        QCOMPARE(sim::SimulationSettings().proxyIndex(BoardKind::Dunstel), 2);

        // A flush drops an unread answer.
        QVERIFY(Write(port, "!f"));
        QVERIFY(port.FlushRxBuffer().IsOK());
        QCOMPARE(Read(port, 1), QByteArray());
        QVERIFY(port.Close().IsOK());
        QVERIFY(!port.IsOpened());
    }

    // Bytes the board sends on its own reach a waiting read before its time-out.
    void uartSpontaneousBytes()
    {
        PvDevice* d = connect();
        PvDeviceSerialPort port;
        QVERIFY(openUart(d, port).IsOK());
        sim::DunstelBoard::instance().emitUart("hello\n\r");
        uint32_t uReady = 0;
        QVERIFY(port.GetRxBytesReady(uReady).IsOK());
        QCOMPARE(uReady, 7u);
        QCOMPARE(Read(port, 1), QByteArray("hello\n\r"));
        std::thread later([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            sim::DunstelBoard::instance().emitUart("late");
        });
        QElapsedTimer t;
        t.start();
        const QByteArray got = Read(port, 2000);
        later.join();
        QCOMPARE(got, QByteArray("late"));
        QVERIFY(t.elapsed() < 1500);
    }

    void uartFaultsAndSettings()
    {
        PvDevice* d = connect();
        PvDeviceAdapter adapter(d);
        // Bulk 0 still in its power-on mode: no UART to open.
        PvDeviceSerialPort early;
        QVERIFY(!early.Open(&adapter, PvDeviceSerialBulk0).IsOK());

        PvDeviceSerialPort port;
        QVERIFY(openUart(d, port).IsOK());
        // The wrong line rate: the board hears noise and says nothing.
        d->GetParameters()->SetEnumValue("BulkBaudRate", "Baud57600");
        QVERIFY(Write(port, "!p"));
        QCOMPARE(Read(port, 1), QByteArray());
        d->GetParameters()->SetEnumValue("BulkBaudRate", "Baud9600");

        sim::InjectFault(BoardKind::Dunstel, sim::Fault::SilentPort, 1);
        QVERIFY(Write(port, "!p"));
        QCOMPARE(Read(port, 1), QByteArray());
        QVERIFY(Write(port, "!p"));
        QVERIFY(!Read(port).isEmpty());

        sim::InjectFault(BoardKind::Dunstel, sim::Fault::WriteFailure, 1);
        QVERIFY(!Write(port, "!p"));
        port.Close();

        sim::InjectFault(BoardKind::Dunstel, sim::Fault::NoPort, 1);
        QVERIFY(!port.Open(&adapter, PvDeviceSerialBulk0).IsOK());
        QVERIFY(!port.Open(&adapter, PvDeviceSerialBulk1).IsOK());
    }

    void buffersArriveOnThePipelineThread()
    {
        sim::SimulationSettings().setFrameRateCode(BoardKind::Dunstel, 25);
        sim::ResetBoards();
        PvDevice* d = connect();
        PvGenParameterArray* a = d->GetParameters();
        QVERIFY(a->SetEnumValue("PixelFormat", "Mono16").IsOK());
        QVERIFY(a->SetIntegerValue("Width", 324).IsOK());
        QVERIFY(a->SetIntegerValue("Height", 240).IsOK());

        PvResult r;
        PvStream* s = PvStream::CreateAndOpen(PvDiscoverDevices().front()->GetConnectionID(), &r);
        QVERIFY(r.IsOK() && s != nullptr);
        auto* gev = dynamic_cast<PvStreamGEV*>(s);
        QVERIFY(gev != nullptr);
        auto* dev = dynamic_cast<PvDeviceGEV*>(d);
        QVERIFY(dev->NegotiatePacketSize(0, 0).IsOK());
        QVERIFY(dev->SetStreamDestination(gev->GetLocalIPAddress(), gev->GetLocalPort(), 0).IsOK());
        auto* bandwidth = dynamic_cast<PvGenFloat*>(s->GetParameters()->Get("Bandwidth"));
        QVERIFY(bandwidth != nullptr);

        // Declared before the pipeline, so that a failing check that leaves
        // early stops the pipeline's thread before the sink goes away.
        RecordingSink sink;
        auto pipeline = std::make_unique<PvPipeline>(s);
        pipeline->SetBufferCount(16);
        pipeline->SetBufferSize(d->GetPayloadSize());
        QVERIFY(d->StreamEnable().IsOK());
        QVERIFY(dynamic_cast<PvGenCommand*>(a->Get("AcquisitionStart"))->Execute().IsOK());
        QVERIFY(pipeline->RegisterEventSink(&sink).IsOK());
        QVERIFY(pipeline->Start().IsOK());
        QTRY_VERIFY_WITH_TIMEOUT(sink.count() >= 15, 5000);
        double bps = 0;
        QTRY_VERIFY_WITH_TIMEOUT(bandwidth->GetValue(bps).IsOK() && bps > 0, 2000);

        // The program's stop sequence.
        dynamic_cast<PvGenCommand*>(a->Get("AcquisitionStop"))->Execute();
        d->StreamDisable();
        s->AbortQueuedBuffers();
        pipeline->Stop();
        const int iAfter = sink.count();
        QTest::qWait(100);
        QCOMPARE(sink.count(), iAfter);

        std::lock_guard<std::mutex> lock(sink.mutex);
        for (const auto& id : sink.threads) {
            QVERIFY(id != std::this_thread::get_id());
            QCOMPARE(id, sink.threads.front());
        }
        for (size_t i = 0; i < sink.results.size(); ++i) {
            QCOMPARE(sink.results[i], 0u);
            QCOMPARE(sink.sizes[i], uint32_t(324 * 240 * 2));
        }
        std::vector<double> gaps;
        for (size_t i = 1; i < sink.times.size(); ++i)
            gaps.push_back(std::chrono::duration<double, std::milli>(sink.times[i] - sink.times[i - 1]).count());
        std::sort(gaps.begin(), gaps.end());
        const double median = gaps[gaps.size() / 2];
        // 40 ms apart: neither the 30 FPS default nor an unpaced stream. The
        // pacer never runs early; a loaded machine may make it late.
        QVERIFY2(median > 36.0 && median < 50.0 * BuildSlowdown, qPrintable(QString::number(median)));
        // Mono16 little-endian pixels with an image in them.
        QCOMPARE(sink.first.size(), 324 * 240 * 2);
        const uint16_t* px = reinterpret_cast<const uint16_t*>(sink.first.constData());
        QVERIFY(*std::max_element(px, px + 324 * 240) > *std::min_element(px, px + 324 * 240));

        pipeline.reset();
        s->Close();
        PvStream::Free(s);
    }

    // No buffer without stream enable and acquisition start; a payload that
    // does not fit is flagged; a full pipeline drops frames.
    void pipelineEdges()
    {
        PvDevice* d = connect();
        PvGenParameterArray* a = d->GetParameters();
        a->SetEnumValue("PixelFormat", "Mono16");
        a->SetIntegerValue("Width", 80);
        a->SetIntegerValue("Height", 80);
        PvStream* s = PvStream::CreateAndOpen(PvDiscoverDevices().front()->GetConnectionID(), nullptr);
        {
            PvPipeline pipeline(s);
            pipeline.SetBufferCount(2);
            pipeline.SetBufferSize(100);   // far below the payload
            QVERIFY(pipeline.Start().IsOK());
            PvBuffer* b = nullptr;
            PvResult op;
            QCOMPARE(pipeline.RetrieveNextBuffer(&b, 150, &op).GetCode(), uint32_t(PvResult::Code::TIMEOUT));
            QVERIFY(b == nullptr);
            d->StreamEnable();
            a->ExecuteCommand("AcquisitionStart");
            QVERIFY(pipeline.RetrieveNextBuffer(&b, 2000, &op).IsOK());
            QCOMPARE(op.GetCode(), uint32_t(PvResult::Code::BUFFER_TOO_SMALL));
            QCOMPARE(b->GetAcquiredSize(), 0u);
            // Keep both buffers: later frames find none free.
            PvBuffer* b2 = nullptr;
            QVERIFY(pipeline.RetrieveNextBuffer(&b2, 2000, &op).IsOK());
            int64_t dropped = 0;
            QTRY_VERIFY_WITH_TIMEOUT(s->GetParameters()->GetIntegerValue("BlocksDropped", dropped).IsOK() && dropped > 0,
                                     3000);
            QVERIFY(pipeline.ReleaseBuffer(b).IsOK());
            QVERIFY(pipeline.ReleaseBuffer(b2).IsOK());
            PvBuffer foreign;
            QVERIFY(!pipeline.ReleaseBuffer(&foreign).IsOK());
            a->ExecuteCommand("AcquisitionStop");
        }
        PvStream::Free(s);
    }

    void closedStreamReceivesNothing()
    {
        PvDevice* d = connect();
        PvGenParameterArray* a = d->GetParameters();
        a->SetIntegerValue("Width", 84);
        a->SetIntegerValue("Height", 80);
        PvStream* s = PvStream::CreateAndOpen(PvDiscoverDevices().front()->GetConnectionID(), nullptr);
        RecordingSink sink;
        {
            PvPipeline pipeline(s);
            pipeline.RegisterEventSink(&sink);
            QVERIFY(pipeline.Start().IsOK());
            d->StreamEnable();
            a->ExecuteCommand("AcquisitionStart");
            QTRY_VERIFY_WITH_TIMEOUT(sink.count() >= 2, 3000);
            QVERIFY(s->Close().IsOK());
            QString sWhy;
            QVERIFY2(StaysStopped([&] { return sink.count(); }, &sWhy), qPrintable(sWhy));
            // A closed stream cannot start a pipeline.
            pipeline.Stop();
            QVERIFY(!pipeline.Start().IsOK());
        }
        PvStream::Free(s);
    }

    void browserListsTheFeatures()
    {
        PvDevice* d = connect();
        PvGenBrowserWnd browser;
        browser.SetTitle("Dunstel advanced configuration - Device");
        QVERIFY(browser.SetGenParameterArray(d->GetParameters()).IsOK());
        QVERIFY(browser.ShowModeless().IsOK());
        QVERIFY(browser.IsVisible());
        QWidget* w = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == "PvGenBrowserWnd" && t->isVisible())
                w = t;
        QVERIFY(w != nullptr);
        QCOMPARE(w->windowTitle(), QString("Dunstel advanced configuration - Device"));
        auto* table = w->findChild<QTableWidget*>("tableWidget_Features");
        QCOMPARE(table->rowCount(), int(d->GetParameters()->GetCount()));
        QVERIFY(!table->findItems("PixelFormat", Qt::MatchExactly).isEmpty());
        QVERIFY(browser.Close().IsOK());
        QVERIFY(!browser.IsVisible());
    }
};

QTEST_MAIN(tst_ebus)
#include "tst_ebus.moc"
