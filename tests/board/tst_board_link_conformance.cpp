// Each board link behind the link interface, without a main window: connect, identify, stream into a counting sink, stop, and the faults a board can show.
#include "board/board_link_factory.h"
#include "board/cameralink_commands.h"
#include "board/connect_retry.h"
#include "board/gige_link.h"
#include "board/links/cameralink_link.h"
#include "board/eskra_frame_stream.h"
#include "board/links/eskra_link.h"
#include "board/links/gige_link.h"
#include "board/register_writer.h"
#include "board_link_fixture.h"
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "platform/ebus/ebus.h"
#include "platform/multicam/multicam.h"
#include "sim/cameralink/cameralink_cabling.h"
#include "platform/serialports/serial_ports.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/sensor_model.h"
#include "sim/core/simulation_settings.h"
#include "sim/eskra/eskra_board.h"
#include "sim/gige/dunstel_board.h"
#include "board/links/usb3_link.h"
#include "board/acquisition_state.h"
#include "pipeline/frame_handoff.h"
#include "usb3lib/Quenlin.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <memory>
#include <vector>

using sim::Fault;

namespace {

constexpr int kProxy = 2;   // 640 x 480
constexpr int kFrames = 5;
constexpr int kWaitMs = 10000;
constexpr int kEskraProxy = 17;   // the serial-port board's one proxy

// Counts what a link hands on; the buffer has the geometry it announces.
class CountingFrameSink : public FrameSink
{
public:
    explicit CountingFrameSink(FrameGeometry p_Geometry)
        : m_Geometry(p_Geometry), m_Buffer(p_Geometry.pixelCount(), 0xABCD)
    {
    }

    FrameGeometry geometry() const override { return m_Geometry; }
    unsigned short* frameBuffer() override { return m_Buffer.data(); }
    FrameAccept offer(const RawFrame& p_Frame) override
    {
        if (p_Frame.Pixels == nullptr || p_Frame.Geometry.Height != m_Geometry.Height
            || p_Frame.Geometry.Pitch != m_Geometry.Pitch)
            ++m_iWrongFrames;
        ++m_iFrames;
        return FrameAccept::Taken;
    }

    int frames() const { return m_iFrames.load(); }
    int wrongFrames() const { return m_iWrongFrames.load(); }
    const std::vector<unsigned short>& buffer() const { return m_Buffer; }

private:
    FrameGeometry m_Geometry;
    std::vector<unsigned short> m_Buffer;
    std::atomic<int> m_iFrames{0};
    std::atomic<int> m_iWrongFrames{0};
};

bool TransportFreed(const GigELinkState& p_State)
{
    return p_State.Device == nullptr && p_State.SerialPort == nullptr && p_State.Stream == nullptr
           && p_State.Pipeline == nullptr && p_State.EventSink == nullptr && p_State.DeviceParameters == nullptr
           && p_State.StreamParameters == nullptr && p_State.AcquisitionStartCommand == nullptr
           && p_State.AcquisitionStopCommand == nullptr && !p_State.StreamStarted;
}

// What a Camera Link board receives for one register write of its dialect.
QByteArray CameraLinkWire(BoardKind p_Kind, const RegisterWrite& p_Write)
{
    if (p_Kind != BoardKind::Arvex)
        return FormatBelmorCommand(p_Write.Id, int(p_Write.Value));
    QByteArray text = FormatArvexCommand(p_Write.Id, int(p_Write.Value));
    text.append(QByteArray(ArvexCommandBytes - text.size(), '\0'));
    return text;
}

QByteArray CameraLinkName(BoardKind p_Kind)
{
    return p_Kind == BoardKind::Arvex ? "Arvex" : p_Kind == BoardKind::Belmor ? "Belmor" : "Belmor+";
}

// Nothing of a Camera Link link stays open: no serial port, no channel, no driver.
bool CameraLinkFreed(const CameraLinkLink& p_Link)
{
    return !p_Link.connected() && multicam_test::ChannelCount() == 0 && !multicam_test::DriverOpen()
           && multicam_test::ActiveThreadCount() == 0;
}

} // namespace

class tst_board_link_conformance : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BoardLinkBench> m_pBench;

    std::unique_ptr<BoardLink> makeLink()
    {
        std::unique_ptr<BoardLink> link = MakeBoardLink(BoardKind::Dunstel);
        if (link)
            link->attach(LinkContext{m_pBench->log.get()});
        return link;
    }
    static GigELinkState& state(BoardLink& p_rLink) { return GigELinkStateOf(p_rLink); }

    // Connects, sets the board up and starts it into p_Sink; false (with a
    // failed check) when a step does not succeed.
    bool connectAndStart(BoardLink& p_rLink, CountingFrameSink& p_Sink)
    {
        if (p_rLink.connect() != ConnectResult::Connected)
            return false;
        PrepareRequest request;
        request.ProxyIndex = kProxy;
        const PrepareResult prepared = p_rLink.prepare(request);
        if (prepared.Result != PrepareResult::Ready)
            return false;
        const InitResult geometry = p_rLink.init();
        if (!geometry.InBounds || geometry.Width != p_Sink.geometry().Width)
            return false;
        static_cast<GigELink&>(p_rLink).setupDestination();
        return p_rLink.start(p_Sink);
    }

    std::unique_ptr<BoardLink> makeEskraLink()
    {
        std::unique_ptr<BoardLink> link = MakeBoardLink(BoardKind::Eskra);
        if (link)
            link->attach(LinkContext{m_pBench->log.get()});
        return link;
    }
    static EskraLink& eskra(BoardLink& p_rLink) { return static_cast<EskraLink&>(p_rLink); }
    static CountingFrameSink makeEskraSink()
    {
        return CountingFrameSink(FrameGeometry{EskraFrameWidth, EskraFrameHeight, 2 * EskraFrameWidth});
    }
    // The window's loop without the window: the GUI thread's events (the port
    // fills there), then one read cycle. Runs until p_iFrames frames reached
    // the sink or p_iMs passed; the number of frames completed.
    static int pumpFrames(BoardLink& p_rLink, CountingFrameSink& p_Sink, int p_iFrames, int p_iMs,
                          const std::function<void()>& p_BetweenFrames = {})
    {
        int iFrames = 0;
        QElapsedTimer t;
        t.start();
        while (p_Sink.frames() < p_iFrames && t.elapsed() < p_iMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (eskra(p_rLink).pump(p_BetweenFrames))
                ++iFrames;
        }
        return iFrames;
    }
    bool prepareAndStartEskra(BoardLink& p_rLink, CountingFrameSink& p_Sink)
    {
        PrepareRequest request;
        request.ProxyIndex = kEskraProxy;
        if (p_rLink.connect() != ConnectResult::Connected || p_rLink.prepare(request).Result != PrepareResult::Ready)
            return false;
        return p_rLink.init().InBounds && p_rLink.start(p_Sink);
    }

    CountingFrameSink makeSink() const
    {
        return CountingFrameSink(FrameGeometry{int(GetDefault(kProxy, ProxyParameterId::GigEImageWidth)),
                                               int(GetDefault(kProxy, ProxyParameterId::GigEImageHeight)),
                                               2 * int(GetDefault(kProxy, ProxyParameterId::GigEImageWidth))});
    }

    // Only p_Kind of the three Camera Link boards is present.
    static void onlyCameraLinkBoard(BoardKind p_Kind)
    {
        sim::SimulationSettings settings;
        for (BoardKind k : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus})
            settings.setBoardPresent(k, k == p_Kind);
    }
    std::unique_ptr<CameraLinkLink> makeCameraLink(BoardKind p_Kind)
    {
        std::unique_ptr<BoardLink> link = MakeBoardLink(p_Kind);
        auto* pCameraLink = dynamic_cast<CameraLinkLink*>(link.get());
        if (pCameraLink == nullptr)
            return nullptr;
        link.release();
        pCameraLink->attach(LinkContext{m_pBench->log.get()});
        pCameraLink->setCameraFile(QString::fromLatin1(ProxyModelName(kProxy)), true, false);
        return std::unique_ptr<CameraLinkLink>(pCameraLink);
    }
    // Connects, sets the channel up and starts it into a sink of its
    // geometry; null (with a failed check) when a step does not succeed.
    std::unique_ptr<CountingFrameSink> connectAndStartCameraLink(CameraLinkLink& p_rLink)
    {
        if (p_rLink.connect() != ConnectResult::Connected)
            return nullptr;
        PrepareRequest request;
        request.ProxyIndex = kProxy;
        if (p_rLink.prepare(request).Result != PrepareResult::Ready)
            return nullptr;
        const InitResult geometry = p_rLink.init();
        if (!geometry.InBounds)
            return nullptr;
        auto sink =
            std::make_unique<CountingFrameSink>(FrameGeometry{geometry.Width, geometry.Height, geometry.Pitch});
        if (!p_rLink.start(*sink))
            return nullptr;
        return sink;
    }
    static void cameraLinkKinds()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::newRow("Arvex") << BoardKind::Arvex;
        QTest::newRow("Belmor") << BoardKind::Belmor;
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus;
    }

    std::unique_ptr<BoardLink> makeUsb3Link()
    {
        std::unique_ptr<BoardLink> link = MakeBoardLink(BoardKind::Corvane);
        if (link)
            link->attach(LinkContext{m_pBench->log.get()});
        return link;
    }

    // Connects, opens the capture for p_iProxy and starts it into p_Sink;
    // false when a step does not succeed.
    static bool connectAndStartUsb3(BoardLink& p_rLink, CountingFrameSink& p_Sink, int p_iProxy)
    {
        if (p_rLink.connect() != ConnectResult::Connected)
            return false;
        PrepareRequest request;
        request.ProxyIndex = p_iProxy;
        if (p_rLink.prepare(request).Result != PrepareResult::Ready)
            return false;
        const InitResult geometry = p_rLink.init();
        if (!geometry.InBounds || geometry.Width != p_Sink.geometry().Width)
            return false;
        return p_rLink.start(p_Sink);
    }

    // Whether the capture is closed and no sink is left for the callbacks.
    static bool Usb3Freed(const BoardLink& p_rLink)
    {
        return isInitialized() == 0 && Usb3Link::activeSink() == nullptr && !p_rLink.connected();
    }


private slots:
    void initTestCase()
    {
        sim::SetFastMode(true);
        InitProxyParameterTable();
    }
    void cleanupTestCase() { sim::SetFastMode(false); }
    void init()
    {
        m_pBench = std::make_unique<BoardLinkBench>();
        InitProxyParameterTable();
        sim::DunstelBoard::instance().powerCycle();
        sim::ResetCameraLinkSimulation();
        PvDeviceFinderWnd::SetAutomaticChoice(0);
        sim::ShutdownSharedEskraBoard();
        g_EskraReceiver.reset();
    }
    void cleanup()
    {
        PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
        sim::ShutdownSharedEskraBoard();
        m_pBench.reset();
    }

    // The one place that picks a link by the kind.
    void factoryPicksTheLink()
    {
        const std::unique_ptr<BoardLink> link = MakeBoardLink(BoardKind::Dunstel);
        QVERIFY(link != nullptr);
        QCOMPARE(link->kind(), BoardKind::Dunstel);
        QVERIFY(dynamic_cast<GigELink*>(link.get()) != nullptr);
        const std::unique_ptr<BoardLink> usb3 = MakeBoardLink(BoardKind::Corvane);
        QVERIFY(usb3 != nullptr);
        QCOMPARE(usb3->kind(), BoardKind::Corvane);
        QVERIFY(dynamic_cast<Usb3Link*>(usb3.get()) != nullptr);
        QVERIFY(MakeBoardLink(BoardKind::None) == nullptr);
        const std::unique_ptr<BoardLink> serial = MakeBoardLink(BoardKind::Eskra);
        QVERIFY(serial != nullptr);
        QCOMPARE(serial->kind(), BoardKind::Eskra);
        QVERIFY(dynamic_cast<EskraLink*>(serial.get()) != nullptr);
    }

    // Connect, identify, stream N frames, stop: the sink gets whole frames of
    // its geometry, and nothing after stop; the sensor is left safe.
    void connectIdentifyStreamStop()
    {
        const std::unique_ptr<BoardLink> link = makeLink();
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        QVERIFY(link->connected());
        QVERIFY(m_pBench->logLines().contains("Select the GigE in the Pleora Window"));

        const std::optional<BoardIdentification> id = link->identify();
        QVERIFY(id.has_value());
        QVERIFY(id->ProxyRead);
        QVERIFY(id->RateRead);
        const sim::SimulationSettings settings;
        QCOMPARE(ProxyIndexFromListPosition(id->ProxyListPosition), settings.proxyIndex(BoardKind::Dunstel));
        QCOMPARE(id->FrameRate, settings.frameRateCode(BoardKind::Dunstel));

        CountingFrameSink sink = makeSink();
        bool bOpened = false;
        PrepareRequest request;
        request.ProxyIndex = kProxy;
        request.TransportOpened = [&] { bOpened = state(*link).Stream != nullptr; };
        const PrepareResult prepared = link->prepare(request);
        QCOMPARE(int(prepared.Result), int(PrepareResult::Ready));
        QVERIFY(bOpened);
        QCOMPARE(prepared.Width, sink.geometry().Width);
        QCOMPARE(prepared.Height, sink.geometry().Height);
        const InitResult geometry = link->init();
        QVERIFY(geometry.InBounds);
        QCOMPARE(geometry.Width, sink.geometry().Width);
        QCOMPARE(geometry.Height, sink.geometry().Height);
        QCOMPARE(geometry.Pitch, sink.geometry().Pitch);
        static_cast<GigELink&>(*link).setupDestination();
        QVERIFY(link->start(sink));
        QTRY_VERIFY_WITH_TIMEOUT(sink.frames() >= kFrames, kWaitMs);
        QCOMPARE(sink.wrongFrames(), 0);
        // Every pixel was written (0xABCD is not a pixel of the scene).
        QCOMPARE(std::count(sink.buffer().begin(), sink.buffer().end(), 0xABCD), 0L);

        // The safe registers go out before the tear-down, as the window sends
        // them; the operator has changed the integration time.
        const uint32_t tint = GetDefault(kProxy, ProxyParameterId::TINTMin) + 7;
        SetCurrent(kProxy, ProxyParameterId::TINTMin, tint);
        sim::ClearRecordedMessages();
        QCOMPARE(link->writeSafeRegisters(kProxy), 0);
        QList<QByteArray> expected;
        for (const RegisterWrite& write : link->safeRegisters(kProxy))
            expected << FormatGigECommand(write.Id, int(write.Value));
        QVERIFY(!expected.isEmpty());
        // The integration time the operator may have changed, not the proxy's default.
        QCOMPARE(link->safeRegisters(kProxy).front().Value, tint);
        QVERIFY(sim::RecordedBytes(BoardKind::Dunstel, "uart").contains(FormatGigECommand(BoardRegisterId::TINT, int(tint))));
        QCOMPARE(link->safeRegisters(kProxy).front().Id, int(BoardRegisterId::TINT));
        QCOMPARE(sim::RecordedBytes(BoardKind::Dunstel, "uart"), expected);

        link->stop();
        QVERIFY(TransportFreed(state(*link)));
        QVERIFY(!link->connected());
        const int iAfterStop = sink.frames();
        QTest::qWait(200);
        QCOMPARE(sink.frames(), iAfterStop);
        QVERIFY(!sim::DunstelBoard::instance().acquisitionRunning());
    }

    // Commands through the link: the indirect pair, a raw text and its reply.
    void commandsThroughTheLink()
    {
        const std::unique_ptr<BoardLink> link = makeLink();
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        sim::ClearRecordedMessages();
        QCOMPARE(link->writeIndirect(16, 2), 0);
        QCOMPARE(sim::RecordedBytes(BoardKind::Dunstel, "uart"),
                 QList<QByteArray>({FormatGigECommand(24, 16), FormatGigECommand(25, 2)}));

        // A failed address is not followed by its value.
        sim::ClearRecordedMessages();
        sim::InjectFault(BoardKind::Dunstel, Fault::WriteFailure, 1);
        QVERIFY(link->writeIndirect(16, 2) != 0);
        QVERIFY(sim::RecordedBytes(BoardKind::Dunstel, "uart").isEmpty());

        QVERIFY(link->sendText("!p"));
        const sim::SimulationSettings settings;
        const QByteArray number =
            QByteArray::number(sim::DunstelBoard::ProxyNumberOnWire(settings.proxyIndex(BoardKind::Dunstel)));
        QVERIFY2(link->readReply().startsWith(number), number.constData());
        // The GigE board takes no reference of its own: the program computes it.
        QVERIFY(!link->hasHardwareReference());
        link->stop();
        QVERIFY(TransportFreed(state(*link)));
    }

    // Ten seconds without a first frame end the connection; a frame resets the
    // count; the debug window's run holds the watchdog.
    void noFrameWatchdogPolicy()
    {
        const std::unique_ptr<BoardLink> link = makeLink();
        int seconds = 0;
        for (int i = 0; i < 10; ++i)
            QCOMPARE(int(link->noFrameWatchdog(0, seconds, false)), int(WatchdogAction::Counted));
        QCOMPARE(seconds, 10);
        QCOMPARE(int(link->noFrameWatchdog(0, seconds, true)), int(WatchdogAction::None));
        QCOMPARE(int(link->noFrameWatchdog(0, seconds, false)), int(WatchdogAction::Disconnect));
        QCOMPARE(int(link->noFrameWatchdog(3, seconds, false)), int(WatchdogAction::FrameSeen));
        QCOMPARE(seconds, 0);
    }

    // The board is there but does not answer: the reply reads as nothing.
    void identifyWithoutAReply()
    {
        const std::unique_ptr<BoardLink> link = makeLink();
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        sim::InjectFault(BoardKind::Dunstel, Fault::ReplyTimeout, 2);
        const std::optional<BoardIdentification> id = link->identify();
        QVERIFY(id.has_value());
        QVERIFY(!id->ProxyRead);
        QCOMPARE(id->FrameRate, int(DefaultFrameRateCode));
        link->stop();
        QVERIFY(TransportFreed(state(*link)));
    }

    // A question that cannot be sent leaves nothing known.
    void identifyWhenTheWriteFails()
    {
        const std::unique_ptr<BoardLink> link = makeLink();
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        sim::InjectFault(BoardKind::Dunstel, Fault::WriteFailure, 1);
        QVERIFY(!link->identify().has_value());
        link->stop();
    }

    // Faults of the connection: each gives its result, leaves nothing open,
    // and the next attempt with the fault gone streams.
    void connectionFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("absent");
        QTest::addColumn<int>("result");
        QTest::newRow("no board") << -1 << true << int(ConnectResult::GigENotChosen);
        QTest::newRow("device not listed") << int(Fault::DeviceAbsent) << false << int(ConnectResult::GigENotChosen);
        QTest::newRow("device does not open") << int(Fault::ActivationFailure) << false
                                              << int(ConnectResult::GigEOpenFailed);
        QTest::newRow("no UART port") << int(Fault::NoPort) << false << int(ConnectResult::LinkFailed);
    }
    void connectionFaults()
    {
        QFETCH(int, fault);
        QFETCH(bool, absent);
        QFETCH(int, result);
        sim::SimulationSettings settings;
        if (absent)
            settings.setBoardPresent(BoardKind::Dunstel, false);
        if (fault >= 0)
            sim::InjectFault(BoardKind::Dunstel, Fault(fault));
        const std::unique_ptr<BoardLink> link = makeLink();
        QCOMPARE(link->connect(), result);
        QVERIFY(!link->connected());
        QVERIFY(TransportFreed(state(*link)));
        QVERIFY(state(*link).DeviceInfo == nullptr);

        settings.setBoardPresent(BoardKind::Dunstel, true);
        sim::ClearAllFaults();
        CountingFrameSink sink = makeSink();
        QVERIFY(connectAndStart(*link, sink));
        QTRY_VERIFY_WITH_TIMEOUT(sink.frames() >= kFrames, kWaitMs);
        link->stop();
        QVERIFY(TransportFreed(state(*link)));
    }

    // Faults while streaming: the board goes away or stops sending. The stop
    // still frees every transport object, no frame follows it, and the next
    // connection streams.
    void faultWhileStreaming_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("unplugged") << int(Fault::DeviceLostMidStream);
        QTest::newRow("frames stop") << int(Fault::FramesStop);
    }
    void faultWhileStreaming()
    {
        QFETCH(int, fault);
        const std::unique_ptr<BoardLink> link = makeLink();
        CountingFrameSink sink = makeSink();
        QVERIFY(connectAndStart(*link, sink));
        QTRY_VERIFY_WITH_TIMEOUT(sink.frames() >= kFrames, kWaitMs);
        sim::InjectFault(BoardKind::Dunstel, Fault(fault));
        QTest::qWait(300);
        link->stop();
        QVERIFY(TransportFreed(state(*link)));
        const int iAfterStop = sink.frames();
        QTest::qWait(200);
        QCOMPARE(sink.frames(), iAfterStop);

        sim::ClearAllFaults();
        sim::DunstelBoard::instance().powerCycle();
        CountingFrameSink again = makeSink();
        QVERIFY(connectAndStart(*link, again));
        QTRY_VERIFY_WITH_TIMEOUT(again.frames() >= kFrames, kWaitMs);
        link->stop();
        QVERIFY(TransportFreed(state(*link)));
    }

    // The three Camera Link kinds come from the factory as one link in their dialects.
    void factoryPicksTheCameraLinkLink_data() { cameraLinkKinds(); }
    void factoryPicksTheCameraLinkLink()
    {
        QFETCH(BoardKind, kind);
        const std::unique_ptr<BoardLink> link = MakeBoardLink(kind);
        QVERIFY(link != nullptr);
        QCOMPARE(link->kind(), kind);
        auto* pCameraLink = dynamic_cast<CameraLinkLink*>(link.get());
        QVERIFY(pCameraLink != nullptr);
        QCOMPARE(pCameraLink->starDialect(), kind == BoardKind::Arvex);
        const FramePathRules rules = link->framePathRules();
        QVERIFY(rules.DropWhileDisplayBusy);
        QVERIFY(rules.FlagCameraLinkReady);
        QVERIFY(rules.ShowOnlyWhileAcquiring);
        // Belmor frames are saved from the display's copies, not from the stream.
        QCOMPARE(rules.Series != nullptr, kind != BoardKind::Belmor);
    }

    // Connect, identify, set the channel up, stream N frames, stop: the sink
    // gets whole frames of the channel's geometry and nothing after the stop;
    // the safe registers go out in the board's dialect.
    void cameraLinkConnectIdentifyStreamStop_data() { cameraLinkKinds(); }
    void cameraLinkConnectIdentifyStreamStop()
    {
        QFETCH(BoardKind, kind);
        onlyCameraLinkBoard(kind);
        const std::unique_ptr<CameraLinkLink> link = makeCameraLink(kind);
        QVERIFY(link != nullptr);
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        QVERIFY(link->connected());
        QVERIFY(m_pBench->logLines().contains("Port selected: 1"));

        sim::ClearRecordedMessages();
        const std::optional<BoardIdentification> id = link->identify();
        const sim::SimulationSettings settings;
        if (kind == BoardKind::Belmor) {
            // The operator chooses the Belmor's proxy: the board is not asked.
            QVERIFY(!id.has_value());
            QVERIFY(sim::RecordedBytes(kind, "serial").isEmpty());
        } else {
            QVERIFY(id.has_value());
            QVERIFY(id->ProxyRead);
            QCOMPARE(ProxyIndexFromListPosition(id->ProxyListPosition), settings.proxyIndex(kind));
            QCOMPARE(id->FrameRate, settings.frameRateCode(kind));
            const QList<QByteArray> questions = kind == BoardKind::Arvex ? QList<QByteArray>{"*p", "*f"}
                                                                         : QList<QByteArray>{"!p", "!f"};
            QCOMPARE(sim::RecordedBytes(kind, "serial"), questions);
        }

        bool bBeforeChannel = false;
        PrepareRequest request;
        request.ProxyIndex = kProxy;
        request.TransportOpened = [&] { bBeforeChannel = multicam_test::ChannelCount() == 0; };
        const PrepareResult prepared = link->prepare(request);
        QCOMPARE(int(prepared.Result), int(PrepareResult::Ready));
        QVERIFY(bBeforeChannel);
        QCOMPARE(multicam_test::ChannelCount(), 1);
        const InitResult geometry = link->init();
        QVERIFY(geometry.InBounds);
        QCOMPARE(geometry.Width, prepared.Width);
        QCOMPARE(geometry.Height, prepared.Height);
        QVERIFY(geometry.Pitch >= 2 * geometry.Width);
        CountingFrameSink sink(FrameGeometry{geometry.Width, geometry.Height, geometry.Pitch});
        QVERIFY(link->start(sink));
        QTRY_VERIFY_WITH_TIMEOUT(sink.frames() >= kFrames, kWaitMs);
        QCOMPARE(sink.wrongFrames(), 0);

        sim::ClearRecordedMessages();
        QCOMPARE(link->writeSafeRegisters(kProxy), 0);
        QList<QByteArray> expected;
        for (const RegisterWrite& write : link->safeRegisters(kProxy))
            expected << CameraLinkWire(kind, write);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(link->safeRegisters(kProxy).front().Id, int(BoardRegisterId::TINT));
        QCOMPARE(link->safeRegisters(kProxy).front().Value, GetDefault(kProxy, ProxyParameterId::TINTMin));
        QCOMPARE(sim::RecordedBytes(kind, "serial"), expected);

        link->stop();
        QVERIFY(CameraLinkFreed(*link));
        const int iAfterStop = sink.frames();
        QTest::qWait(200);
        QCOMPARE(sink.frames(), iAfterStop);
    }

    // A raw text and its reply through the link.
    void cameraLinkTextAndReply_data() { cameraLinkKinds(); }
    void cameraLinkTextAndReply()
    {
        QFETCH(BoardKind, kind);
        onlyCameraLinkBoard(kind);
        const std::unique_ptr<CameraLinkLink> link = makeCameraLink(kind);
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        const QByteArray query = kind == BoardKind::Arvex ? "*p" : "!p";
        QVERIFY(link->sendText(query));
        QTest::qWait(100);
        QVERIFY(!link->readReply().isEmpty());
        QVERIFY(!link->hasHardwareReference());
        link->stop();
        QVERIFY(CameraLinkFreed(*link));
    }

    // The board's own FPN reference: asked through the link by the board's
    // command, on the boards that have one.
    void boardReferenceThroughTheLink_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<QByteArray>("channel");
        QTest::addColumn<QList<QByteArray>>("command");
        QTest::newRow("Arvex") << BoardKind::Arvex << QByteArray("serial") << QList<QByteArray>{"*s"};
        QTest::newRow("Belmor") << BoardKind::Belmor << QByteArray("serial") << QList<QByteArray>{};
        QTest::newRow("Belmor+") << BoardKind::BelmorPlus << QByteArray("serial") << QList<QByteArray>{"!s"};
        QTest::newRow("Corvane") << BoardKind::Corvane << QByteArray("register") << QList<QByteArray>{"54=0"};
    }
    void boardReferenceThroughTheLink()
    {
        QFETCH(BoardKind, kind);
        QFETCH(QByteArray, channel);
        QFETCH(QList<QByteArray>, command);
        std::unique_ptr<BoardLink> link;
        if (kind == BoardKind::Corvane) {
            link = makeUsb3Link();
        } else {
            onlyCameraLinkBoard(kind);
            link = makeCameraLink(kind);
        }
        QVERIFY(link != nullptr);
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        sim::ClearRecordedMessages();
        QCOMPARE(link->referenceRule().BoardTakesReference, !command.isEmpty());
        QCOMPARE(link->takeHardwareReference(), command.isEmpty() ? 1 : 0);
        QCOMPARE(sim::RecordedBytes(kind, channel), command);
        link->stop();
    }

    // Faults of the connection: the port selection fails with its text, no
    // port stays open, and the next attempt with the fault gone streams.
    void cameraLinkConnectionFaults_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("message");
        for (BoardKind kind : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus}) {
            const QByteArray name = CameraLinkName(kind);
            QTest::newRow((name + ": no board").constData()) << kind << -1 << "no serial port detected";
            QTest::newRow((name + ": silent port").constData())
                << kind << int(Fault::SilentPort) << "clSerialInit error 128";
            QTest::newRow((name + ": line rate refused").constData())
                << kind << int(Fault::BaudRateFailure) << "clSetBaudRate error";
        }
    }
    void cameraLinkConnectionFaults()
    {
        QFETCH(BoardKind, kind);
        QFETCH(int, fault);
        QFETCH(QString, message);
        onlyCameraLinkBoard(fault < 0 ? BoardKind::None : kind);
        if (fault >= 0)
            sim::InjectFault(kind, Fault(fault));
        const std::unique_ptr<CameraLinkLink> link = makeCameraLink(kind);
        QCOMPARE(link->connect(), int(ConnectResult::LinkFailed));
        QVERIFY2(QString::fromLatin1(link->lastMessage()).contains(message), link->lastMessage());
        link->releaseConnection();
        QVERIFY(CameraLinkFreed(*link));

        sim::ClearAllFaults();
        onlyCameraLinkBoard(kind);
        const std::unique_ptr<CountingFrameSink> sink = connectAndStartCameraLink(*link);
        QVERIFY(sink != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(sink->frames() >= kFrames, kWaitMs);
        link->stop();
        QVERIFY(CameraLinkFreed(*link));
    }

    // A camera file that is not there: the channel is not set up, the
    // failure names the step, and the stop closes the grabber.
    void cameraLinkMissingCameraFile_data() { cameraLinkKinds(); }
    void cameraLinkMissingCameraFile()
    {
        QFETCH(BoardKind, kind);
        onlyCameraLinkBoard(kind);
        const std::unique_ptr<CameraLinkLink> link = makeCameraLink(kind);
        link->setCameraFile(QStringLiteral("NoSuchProxy"), true, false);
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        PrepareRequest request;
        request.ProxyIndex = kProxy;
        const PrepareResult prepared = link->prepare(request);
        QCOMPARE(int(prepared.Result), int(PrepareResult::Failed));
        QCOMPARE(prepared.Title, QStringLiteral("Critical"));
        QCOMPARE(prepared.Text, QStringLiteral("InitializeMultiCam() fail: InitChannel Error: McSetParamStr MC_CamFile fail"));
        QCOMPARE(QByteArray(link->lastMessage()), QByteArray("McSetParamStr MC_CamFile fail"));
        QVERIFY(!link->init().InBounds);
        QCOMPARE(multicam_test::ChannelCount(), 0);
        link->stop();
        QVERIFY(CameraLinkFreed(*link));
    }

    // Faults while streaming: the cable is pulled (the link reports an
    // acquisition failure) or the frames stop (it reports nothing). The stop
    // frees everything, no frame follows it, and the next connection streams.
    void cameraLinkFaultWhileStreaming_data()
    {
        QTest::addColumn<BoardKind>("kind");
        QTest::addColumn<int>("fault");
        for (BoardKind kind : {BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus}) {
            const QByteArray name = CameraLinkName(kind);
            QTest::newRow((name + ": unplugged").constData()) << kind << int(Fault::DeviceLostMidStream);
            QTest::newRow((name + ": frames stop").constData()) << kind << int(Fault::FramesStop);
        }
    }
    void cameraLinkFaultWhileStreaming()
    {
        QFETCH(BoardKind, kind);
        QFETCH(int, fault);
        onlyCameraLinkBoard(kind);
        const std::unique_ptr<CameraLinkLink> link = makeCameraLink(kind);
        std::atomic<int> failures{0};
        std::atomic<int> otherEnds{0};
        link->setStreamEnded([&](bool p_bFailure) { ++(p_bFailure ? failures : otherEnds); });
        std::unique_ptr<CountingFrameSink> sink = connectAndStartCameraLink(*link);
        QVERIFY(sink != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(sink->frames() >= kFrames, kWaitMs);
        QCOMPARE(failures.load(), 0);
        sim::InjectFault(kind, Fault(fault));
        if (Fault(fault) == Fault::DeviceLostMidStream)
            QTRY_VERIFY_WITH_TIMEOUT(failures.load() > 0, kWaitMs);
        else
            QTest::qWait(300);
        const int iAtFault = sink->frames();
        QTest::qWait(200);
        QCOMPARE(sink->frames(), iAtFault);
        if (Fault(fault) == Fault::FramesStop)
            QCOMPARE(failures.load(), 0);
        QCOMPARE(otherEnds.load(), 0);
        link->stop();
        QVERIFY(CameraLinkFreed(*link));

        sim::ClearAllFaults();
        const std::unique_ptr<CountingFrameSink> again = connectAndStartCameraLink(*link);
        QVERIFY(again != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(again->frames() >= kFrames, kWaitMs);
        link->stop();
        QVERIFY(CameraLinkFreed(*link));
    }

    // The serial-port board: connect, identify, prepare and init, frames
    // through the read cycle into the sink with a register change between two
    // frames, stop. Nothing else goes on the wire: the board is not asked
    // which proxy it runs, and its sensor is not parked before a tear-down.
    void eskraConnectIdentifyStreamStop()
    {
        const std::unique_ptr<BoardLink> link = makeEskraLink();
        sim::ClearRecordedMessages();
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        QVERIFY(!link->identify().has_value());

        const QStringList ports = AvailableSerialPortNames();
        QVERIFY(!ports.isEmpty());
        PrepareRequest request;
        request.ProxyIndex = kEskraProxy;
        bool bOpened = false;
        request.TransportOpened = [&] { bOpened = link->connected(); };
        const PrepareResult prepared = link->prepare(request);
        QCOMPARE(int(prepared.Result), int(PrepareResult::Ready));
        QVERIFY(bOpened);
        QVERIFY(eskra(*link).portFound());
        QCOMPARE(prepared.Width, EskraFrameWidth);
        QCOMPARE(prepared.Height, EskraFrameHeight);
        QCOMPARE(EskraLinkStateOf(*link).PortName, ports.first().toLatin1());
        const QStringList lines = m_pBench->logLines();
        QVERIFY(lines.contains("Open SerialPort"));
        QVERIFY(lines.contains("Serial Port : " + ports.first()));

        EskraLinkStateOf(*link).Checksums[0] = 7;
        const InitResult geometry = link->init();
        QVERIFY(geometry.InBounds);
        QCOMPARE(geometry.Width, EskraFrameWidth);
        QCOMPARE(geometry.Height, EskraFrameHeight);
        QCOMPARE(geometry.Pitch, 2 * EskraFrameWidth);
        QCOMPARE(EskraLinkStateOf(*link).Checksums[0], 0);

        CountingFrameSink sink = makeEskraSink();
        QVERIFY(link->start(sink));
        int iBetween = 0;
        bool bWritten = false;
        const int iCompleted = pumpFrames(*link, sink, kFrames, kWaitMs, [&] {
            ++iBetween;
            if (!bWritten)
                bWritten = link->writeRegister(BoardRegisterId::TINT, 1500) == 0;
        });
        QCOMPARE(sink.frames(), kFrames);
        QCOMPARE(iCompleted, kFrames);
        QCOMPARE(iBetween, kFrames);
        QVERIFY(bWritten);
        QCOMPARE(sink.wrongFrames(), 0);
        // Every pixel was decoded: a 14-bit sample times 4 (0xABCD is not one).
        QCOMPARE(std::count_if(sink.buffer().begin(), sink.buffer().end(), [](unsigned short v) { return v % 4 != 0; }),
                 0L);
        QCOMPARE(sim::RecordedBytes(BoardKind::Eskra, "serial"), QList<QByteArray>{"!11500"});
        QTRY_COMPARE_WITH_TIMEOUT(sim::SensorFor(BoardKind::Eskra)->registerValue(sim::Register::TINT), 1500, kWaitMs);

        sim::ClearRecordedMessages();
        QVERIFY(link->safeRegisters(kEskraProxy).empty());
        QCOMPARE(link->writeSafeRegisters(kEskraProxy), 0);
        link->stop();
        QVERIFY(!link->connected());
        // After the stop no cycle reaches the sink, and nothing went on the wire.
        const int iAfterStop = sink.frames();
        pumpFrames(*link, sink, iAfterStop + 1, 300);
        QCOMPARE(sink.frames(), iAfterStop);
        QVERIFY(sim::RecordedBytes(BoardKind::Eskra, "serial").isEmpty());
    }

    // Without a port to open the board is not prepared: the reason for the
    // operator, the port closed, and the next attempt with a port streams.
    void eskraPortFaults_data()
    {
        QTest::addColumn<bool>("listed");
        QTest::newRow("port does not open") << true;
        QTest::newRow("no port listed") << false;
    }
    void eskraPortFaults()
    {
        QFETCH(bool, listed);
        sim::SimulationSettings settings;
        if (listed) {
            SetConfiguredSerialPortName(QStringLiteral("kestivo-no-such-port"));
        } else {
            settings.setBoardPresent(BoardKind::Eskra, false);
            sim::ShutdownSharedEskraBoard();
            if (!AvailableSerialPortNames().isEmpty())
                QSKIP("this machine lists serial ports of its own");
        }
        const std::unique_ptr<BoardLink> link = makeEskraLink();
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        PrepareRequest request;
        request.ProxyIndex = kEskraProxy;
        bool bOpened = false;
        request.TransportOpened = [&] { bOpened = true; };
        const PrepareResult prepared = link->prepare(request);
        QCOMPARE(int(prepared.Result), int(PrepareResult::Failed));
        QVERIFY(!bOpened);
        QVERIFY(!link->connected());
        QCOMPARE(eskra(*link).portFound(), listed);
        if (listed) {
            QCOMPARE(prepared.Title, QStringLiteral("CRITICAL"));
            QCOMPARE(prepared.Text, QStringLiteral("Can't open Serial port kestivo-no-such-port correctly"));
        } else {
            QCOMPARE(prepared.Title, QStringLiteral("Critical"));
            QCOMPARE(prepared.Text, QStringLiteral("No serial port found: the Eskra DigiBoard can't be opened."));
            QVERIFY(m_pBench->logLines().contains("No serial port found"));
        }
        // The link shows no box itself.
        QVERIFY(m_pBench->boxes.isEmpty());
        link->stop();

        SetConfiguredSerialPortName(QString());
        settings.setBoardPresent(BoardKind::Eskra, true);
        CountingFrameSink sink = makeEskraSink();
        QVERIFY(prepareAndStartEskra(*link, sink));
        pumpFrames(*link, sink, kFrames, kWaitMs);
        QCOMPARE(sink.frames(), kFrames);
        link->stop();
    }

    // Faults while streaming: the board goes away, falls silent, stops its
    // frames, or bytes are lost or altered on the line. No spoiled frame
    // reaches the sink, the stop closes the port, nothing follows it, and the
    // next start (the board plugged in again) streams.
    void eskraFaultWhileStreaming_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("framesEnd");
        QTest::newRow("unplugged") << int(Fault::DeviceLostMidStream) << true;
        QTest::newRow("silent") << int(Fault::SilentPort) << true;
        QTest::newRow("frames stop") << int(Fault::FramesStop) << true;
        QTest::newRow("corrupted bytes") << int(Fault::CorruptedBytes) << true;
        QTest::newRow("dropped bytes") << int(Fault::DroppedBytes) << true;
    }
    void eskraFaultWhileStreaming()
    {
        QFETCH(int, fault);
        QFETCH(bool, framesEnd);
        const std::unique_ptr<BoardLink> link = makeEskraLink();
        CountingFrameSink sink = makeEskraSink();
        QVERIFY(prepareAndStartEskra(*link, sink));
        pumpFrames(*link, sink, kFrames, kWaitMs);
        QCOMPARE(sink.frames(), kFrames);
        sim::InjectFault(BoardKind::Eskra, Fault(fault));
        // The frame on the line when the fault came may still complete.
        pumpFrames(*link, sink, kFrames + 3, 300);
        const int iSettled = sink.frames();
        pumpFrames(*link, sink, iSettled + 1, 500);
        if (framesEnd)
            QCOMPARE(sink.frames(), iSettled);
        QCOMPARE(sink.wrongFrames(), 0);
        link->stop();
        QVERIFY(!link->connected());
        const int iAfterStop = sink.frames();
        pumpFrames(*link, sink, iAfterStop + 1, 200);
        QCOMPARE(sink.frames(), iAfterStop);

        sim::ClearAllFaults();
        sim::ShutdownSharedEskraBoard();
        g_EskraReceiver.reset();
        CountingFrameSink again = makeEskraSink();
        QVERIFY(prepareAndStartEskra(*link, again));
        pumpFrames(*link, again, kFrames, kWaitMs);
        QCOMPARE(again.frames(), kFrames);
        QCOMPARE(again.wrongFrames(), 0);
        link->stop();
    }

    // Register writes reach the wire only while the port is open.
    void eskraWritesNeedTheOpenPort()
    {
        const std::unique_ptr<BoardLink> link = makeEskraLink();
        QVERIFY(link->writeRegister(BoardRegisterId::TINT, 1500) != 0);
        CountingFrameSink sink = makeEskraSink();
        QVERIFY(prepareAndStartEskra(*link, sink));
        sim::ClearRecordedMessages();
        QCOMPARE(link->writeRegister(BoardRegisterId::ADD02, 2048), 0);
        // A value the command cannot carry is refused, not cut.
        QVERIFY(link->writeRegister(BoardRegisterId::ADD02, uint32_t(-1000000)) != 0);
        pumpFrames(*link, sink, 2, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(sim::RecordedBytes(BoardKind::Eskra, "serial"), QList<QByteArray>{"!22048"}, kWaitMs);
        link->stop();
        QVERIFY(link->writeRegister(BoardRegisterId::ADD02, 2048) != 0);
    }

    // The USB3 link: connect, identify, open the capture, N frames of the
    // capture's geometry into a counting sink (the two-tap proxy's unfolded
    // into the sink's buffer), the safe registers, stop.
    void usb3ConnectIdentifyStreamStop_data()
    {
        QTest::addColumn<int>("proxy");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("640x480") << kProxy << 640 << 480;
        QTest::newRow("Z1641 two taps") << 23 << 1288 << 1024;
    }
    void usb3ConnectIdentifyStreamStop()
    {
        QFETCH(int, proxy);
        QFETCH(int, width);
        QFETCH(int, height);
        sim::SimulationSettings settings;
        settings.setProxyIndex(BoardKind::Corvane, proxy);
        SetAcquisitionProxyName(ProxyModelName(proxy));

        const std::unique_ptr<BoardLink> link = makeUsb3Link();
        QVERIFY(link != nullptr);
        QCOMPARE(link->kind(), BoardKind::Corvane);
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        QVERIFY(link->connected());
        // The presence check leaves the device free for the queries.
        QCOMPARE(isInitialized(), 0);

        const std::optional<BoardIdentification> id = link->identify();
        QVERIFY(id.has_value());
        QVERIFY(id->ProxyRead);
        QVERIFY(id->RateRead);
        QCOMPARE(ProxyIndexFromListPosition(id->ProxyListPosition), proxy);
        QCOMPARE(id->FrameRate, settings.frameRateCode(BoardKind::Corvane));
        QCOMPARE(m_pBench->logLinesStartingWith("Corvane sent the following configuration: Proxy = "),
                 QStringList{"Corvane sent the following configuration: Proxy = " + QString::number(id->ProxyListPosition)
                             + " @" + QString::number(id->FrameRate) + "FPS"});

        PrepareRequest request;
        request.ProxyIndex = proxy;
        bool bOpened = false;
        request.TransportOpened = [&] { bOpened = isInitialized() != 0; };
        QCOMPARE(int(link->prepare(request).Result), int(PrepareResult::Ready));
        QVERIFY(bOpened);
        const InitResult geometry = link->init();
        QVERIFY(geometry.InBounds);
        QCOMPARE(geometry.Width, width);
        QCOMPARE(geometry.Height, height);
        QCOMPARE(geometry.Pitch, 2 * width);
        const QStringList lines = m_pBench->logLines();
        QVERIFY(lines.indexOf("***** Corvane initializing *****")
                < lines.indexOf("Get Corvane data about size and proxy configuration"));
        QVERIFY(lines.contains("***** Corvane initializing *****"));

        CountingFrameSink sink(FrameGeometry{geometry.Width, geometry.Height, geometry.Pitch});
        QVERIFY(link->start(sink));
        QCOMPARE(Usb3Link::activeSink(), static_cast<FrameSink*>(&sink));
        QTRY_VERIFY_WITH_TIMEOUT(sink.frames() >= kFrames, kWaitMs);
        QCOMPARE(sink.wrongFrames(), 0);

        sim::ClearRecordedMessages(BoardKind::Corvane);
        QCOMPARE(link->writeSafeRegisters(proxy), 0);
        QList<QByteArray> expected;
        for (const RegisterWrite& write : link->safeRegisters(proxy))
            expected << QByteArray::number(write.Id) + "=" + QByteArray::number(write.Value);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(link->safeRegisters(proxy).front().Id, int(BoardRegisterId::TINT));
        QCOMPARE(link->safeRegisters(proxy).front().Value, GetDefault(proxy, ProxyParameterId::TINTMin));
        QCOMPARE(sim::RecordedBytes(BoardKind::Corvane, "register"), expected);

        link->stop();
        QVERIFY(Usb3Freed(*link));
        // Read once the capture thread has ended: every pixel of the unfolded
        // frame was written (0xABCD is not a pixel of the scene).
        if (proxy == 23)
            QCOMPARE(std::count(sink.buffer().begin(), sink.buffer().end(), 0xABCD), 0L);
        const int iAfterStop = sink.frames();
        QTest::qWait(200);
        QCOMPARE(sink.frames(), iAfterStop);
        SetAcquisitionProxyName("");
    }

    // The USB3 frames are read in place in the capture's buffer, go to a
    // series of their own, and a frame after the stop stops the capture.
    void usb3FramePathRules()
    {
        const std::unique_ptr<BoardLink> link = makeUsb3Link();
        const FramePathRules rules = link->framePathRules();
        QVERIFY(rules.DropWhileDisplayBusy);
        QVERIFY(!rules.FlagCameraLinkReady);
        QVERIFY(!rules.ShowOnlyWhileAcquiring);
        QVERIFY(rules.Series != nullptr);
        QCOMPARE(rules.Series->FileIndex, &g_iSaveAllFramesFileIndex);
        QCOMPARE(rules.Series->SavedFrames, &g_iSaveAllFramesCount);
        QVERIFY(bool(rules.StopCaptureAfterStop));
        // The board takes its parameters, not texts.
        QVERIFY(!link->sendText("!p"));
        QVERIFY(link->readReply().isEmpty());
    }

    // Faults of the connection: each gives its result, leaves the capture
    // closed, and the next attempt with the fault gone streams.
    void usb3ConnectionFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("absent");
        QTest::addColumn<int>("result");
        QTest::newRow("no board") << -1 << true << int(ConnectResult::CorvaneAbsent);
        QTest::newRow("device not listed") << int(Fault::DeviceAbsent) << false << int(ConnectResult::CorvaneAbsent);
        QTest::newRow("device does not open") << int(Fault::ActivationFailure) << false
                                              << int(ConnectResult::LinkFailed);
    }
    void usb3ConnectionFaults()
    {
        QFETCH(int, fault);
        QFETCH(bool, absent);
        QFETCH(int, result);
        sim::SimulationSettings settings;
        settings.setProxyIndex(BoardKind::Corvane, kProxy);
        if (absent)
            settings.setBoardPresent(BoardKind::Corvane, false);
        if (fault >= 0)
            sim::InjectFault(BoardKind::Corvane, Fault(fault));
        const std::unique_ptr<BoardLink> link = makeUsb3Link();
        QCOMPARE(link->connect(), result);
        QVERIFY(Usb3Freed(*link));

        settings.setBoardPresent(BoardKind::Corvane, true);
        sim::ClearAllFaults();
        CountingFrameSink sink(FrameGeometry{640, 480, 1280});
        QVERIFY(connectAndStartUsb3(*link, sink, kProxy));
        QTRY_VERIFY_WITH_TIMEOUT(sink.frames() >= kFrames, kWaitMs);
        link->stop();
        QVERIFY(Usb3Freed(*link));
    }

    // The capture library refuses to open: the link says why, and nothing streams.
    void usb3CaptureDoesNotOpen()
    {
        sim::SimulationSettings settings;
        settings.setProxyIndex(BoardKind::Corvane, kProxy);
        const std::unique_ptr<BoardLink> link = makeUsb3Link();
        QCOMPARE(link->connect(), int(ConnectResult::Connected));
        sim::InjectFault(BoardKind::Corvane, Fault::ActivationFailure);
        PrepareRequest request;
        request.ProxyIndex = kProxy;
        bool bOpened = false;
        request.TransportOpened = [&] { bOpened = true; };
        const PrepareResult prepared = link->prepare(request);
        QCOMPARE(int(prepared.Result), int(PrepareResult::Failed));
        QVERIFY(!bOpened);
        QCOMPARE(prepared.Title, QString("Error when initializing Corvane"));
        QCOMPARE(prepared.Text, QString("An unexpected error happend when initializing Corvane DigiBoard."));
        QVERIFY(static_cast<Usb3Link&>(*link).captureStatus() < 0);
        sim::ClearAllFaults();
        link->stop();
        QVERIFY(Usb3Freed(*link));
    }

    // Faults while streaming: the board goes away or stops sending. The stop
    // still closes the capture, no frame follows it, and the next connection streams.
    void usb3FaultWhileStreaming_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("unplugged") << int(Fault::DeviceLostMidStream);
        QTest::newRow("frames stop") << int(Fault::FramesStop);
    }
    void usb3FaultWhileStreaming()
    {
        QFETCH(int, fault);
        sim::SimulationSettings().setProxyIndex(BoardKind::Corvane, kProxy);
        const std::unique_ptr<BoardLink> link = makeUsb3Link();
        CountingFrameSink sink(FrameGeometry{640, 480, 1280});
        QVERIFY(connectAndStartUsb3(*link, sink, kProxy));
        QTRY_VERIFY_WITH_TIMEOUT(sink.frames() >= kFrames, kWaitMs);
        sim::InjectFault(BoardKind::Corvane, Fault(fault));
        QTest::qWait(300);
        link->stop();
        QVERIFY(Usb3Freed(*link));
        const int iAfterStop = sink.frames();
        QTest::qWait(200);
        QCOMPARE(sink.frames(), iAfterStop);

        sim::ClearAllFaults();
        CountingFrameSink again(FrameGeometry{640, 480, 1280});
        QVERIFY(connectAndStartUsb3(*link, again, kProxy));
        QTRY_VERIFY_WITH_TIMEOUT(again.frames() >= kFrames, kWaitMs);
        link->stop();
        QVERIFY(Usb3Freed(*link));
    }
};

QTEST_MAIN(tst_board_link_conformance)
#include "tst_board_link_conformance.moc"
