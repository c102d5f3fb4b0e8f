// The simulated USB3 board driven through the video-capture stand-in alone.
#include "support/build_speed.h"
#include "platform/mediacapture/media_foundation.h"
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "sim/usb3/capture_devices.h"
#include "sim/usb3/corvane_board.h"
#include "params/proxy_parameter_table.h"
#include "support/test_app_folder.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

using namespace sim;

namespace {

template <class T>
struct ComPtr
{
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }
    void reset()
    {
        if (p)
            p->Release();
        p = nullptr;
    }
    T** put()
    {
        reset();
        return &p;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

struct Device
{
    QString name;
    ComPtr<IMFActivate> activate;
};

// The devices as a capture library finds them.
std::vector<std::unique_ptr<Device>> Enumerate(HRESULT* p_pHr = nullptr)
{
    std::vector<std::unique_ptr<Device>> out;
    ComPtr<IMFAttributes> attributes;
    MFCreateAttributes(attributes.put(), 1);
    attributes->SetGUID(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE, MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID);
    IMFActivate** ppDevices = nullptr;
    UINT32 count = 0;
    const HRESULT hr = MFEnumDeviceSources(attributes.p, &ppDevices, &count);
    if (p_pHr)
        *p_pHr = hr;
    for (UINT32 i = 0; i < count; ++i) {
        auto d = std::make_unique<Device>();
        d->activate.p = ppDevices[i];
        LPWSTR name = nullptr;
        UINT32 len = 0;
        if (SUCCEEDED(d->activate->GetAllocatedString(MF_DEVSOURCE_ATTRIBUTE_FRIENDLY_NAME, &name, &len))) {
            d->name = QString::fromWCharArray(name, int(len));
            CoTaskMemFree(name);
        }
        out.push_back(std::move(d));
    }
    CoTaskMemFree(ppDevices);
    return out;
}

HRESULT ActivateBoard(ComPtr<IMFMediaSource>& p_Source)
{
    for (auto& d : Enumerate())
        if (d->name.startsWith("Vantrel_Corvane"))
            return d->activate->ActivateObject(IID_IMFMediaSource, p_Source.putVoid());
    return MF_E_NOT_FOUND;
}

FrameGeometry RecordGeometry(int p_iProxy)
{
    EnsureProxyParameterTableFilled();
    const uint32_t w = GetDefault(p_iProxy, 241), h = GetDefault(p_iProxy, 242);
    if (w == ProxyParameterNotSet || h == ProxyParameterNotSet)
        return kFallbackGeometry;
    return FrameGeometry{int(w), int(h)};
}

HRESULT WriteRegister(IAMVideoProcAmp* p_pAmp, LONG p_lAddress, LONG p_lValue)
{
    HRESULT hr = p_pAmp->Set(VideoProcAmp_BacklightCompensation, p_lAddress, VideoProcAmp_Flags_Manual);
    if (SUCCEEDED(hr))
        hr = p_pAmp->Set(VideoProcAmp_Brightness, p_lValue, VideoProcAmp_Flags_Manual);
    if (SUCCEEDED(hr))
        hr = p_pAmp->Set(VideoProcAmp_Contrast, 1, VideoProcAmp_Flags_Manual);
    return hr;
}

// An application callback: re-requests a sample after each one until told to
// stop, like the capture library does.
class Callback final : public IMFSourceReaderCallback
{
public:
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(Callback, IMFSourceReaderCallback), {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
    ULONG AddRef() override { return ++m_uRef; }
    ULONG Release() override
    {
        const ULONG u = --m_uRef;
        if (u == 0)
            delete this;
        return u;
    }
    HRESULT OnReadSample(HRESULT p_hr, DWORD, DWORD p_dwFlags, LONGLONG p_llTime, IMFSample* p_pSample) override
    {
        std::unique_lock<std::mutex> lock(mutex);
        threads.push_back(std::this_thread::get_id());
        statuses.push_back(p_hr);
        flags.push_back(p_dwFlags);
        if (p_pSample) {
            IMFMediaBuffer* pBuffer = nullptr;
            p_pSample->ConvertToContiguousBuffer(&pBuffer);
            DWORD len = 0;
            BYTE* pData = nullptr;
            pBuffer->Lock(&pData, nullptr, &len);
            lengths.push_back(len);
            pBuffer->Unlock();
            pBuffer->Release();
            times.push_back(p_llTime);
        }
        if (releaseReaderInside && reader) {
            // What a recovery does: tear the reader down from inside its callback.
            IMFSourceReader* r = reader;
            reader = nullptr;
            r->Release();
        } else if (!stop && reader) {
            requestStatus = reader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr,
                                               nullptr, nullptr);
        }
        changed.notify_all();
        return S_OK;
    }
    HRESULT OnFlush(DWORD) override { return S_OK; }
    HRESULT OnEvent(DWORD, IMFMediaEvent*) override { return S_OK; }

    bool waitFor(size_t p_uCalls, int p_iMs = 5000)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(p_iMs), [&] { return statuses.size() >= p_uCalls; });
    }
    size_t calls()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return statuses.size();
    }

    std::atomic<ULONG> m_uRef{1};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::thread::id> threads;
    std::vector<HRESULT> statuses;
    std::vector<DWORD> flags;
    std::vector<DWORD> lengths;
    std::vector<LONGLONG> times;
    std::atomic<bool> stop{false};
    bool releaseReaderInside = false;
    IMFSourceReader* reader = nullptr;   // not owned
    HRESULT requestStatus = S_OK;
};

HRESULT CreateReader(IMFMediaSource* p_pSource, Callback* p_pCallback, ComPtr<IMFSourceReader>& p_Reader)
{
    ComPtr<IMFAttributes> attributes;
    MFCreateAttributes(attributes.put(), 2);
    attributes->SetUINT32(MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING, 0);
    if (p_pCallback)
        attributes->SetUnknown(MF_SOURCE_READER_ASYNC_CALLBACK, p_pCallback);
    const HRESULT hr = MFCreateSourceReaderFromMediaSource(p_pSource, attributes.p, p_Reader.put());
    if (p_pCallback)
        p_pCallback->reader = p_Reader.p;
    return hr;
}

FrameGeometry CurrentGeometry(IMFSourceReader* p_pReader, UINT32* p_pStride = nullptr)
{
    ComPtr<IMFMediaType> type;
    if (FAILED(p_pReader->GetCurrentMediaType(MF_SOURCE_READER_FIRST_VIDEO_STREAM, type.put())))
        return {};
    UINT64 size = 0;
    type->GetUINT64(MF_MT_FRAME_SIZE, &size);
    if (p_pStride)
        type->GetUINT32(MF_MT_DEFAULT_STRIDE, p_pStride);
    return FrameGeometry{int(size >> 32), int(size & 0xFFFFFFFFu)};
}

// A capture that rebuilds itself from inside its callback when a sample
// request fails, the way the capture library recovers a lost device: the old
// reader is released on its own thread and a new one is opened from there.
class RecoveringCapture final : public IMFSourceReaderCallback
{
public:
    static RecoveringCapture* Open(std::atomic<int>* p_pFrames, std::atomic<int>* p_pRecoveries)
    {
        auto* c = new RecoveringCapture(p_pFrames, p_pRecoveries);
        if (FAILED(c->start())) {
            c->close();
            c->Release();
            return nullptr;
        }
        return c;
    }
    HRESULT QueryInterface(REFIID p_Riid, void** p_ppv) override
    {
        const QITAB table[] = {QITABENT(RecoveringCapture, IMFSourceReaderCallback), {nullptr, 0}};
        return QISearch(this, table, p_Riid, p_ppv);
    }
    ULONG AddRef() override { return ++m_uRef; }
    ULONG Release() override
    {
        const ULONG u = --m_uRef;
        if (u == 0)
            delete this;
        return u;
    }
    HRESULT OnReadSample(HRESULT p_hr, DWORD, DWORD, LONGLONG, IMFSample* p_pSample) override
    {
        std::lock_guard<std::recursive_mutex> lock(m_Lock);
        if (m_bStop.load())
            return S_OK;
        if (SUCCEEDED(p_hr) && p_pSample)
            ++*m_pFrames;
        const HRESULT hr = m_pReader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr);
        if (FAILED(hr)) {
            ++*m_pRecoveries;
            close();
            while (!m_bStop.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                RecoveringCapture* pNext = Open(m_pFrames, m_pRecoveries);
                if (pNext) {
                    m_pNext.store(pNext);
                    break;
                }
            }
        }
        return S_OK;
    }
    HRESULT OnFlush(DWORD) override { return S_OK; }
    HRESULT OnEvent(DWORD, IMFMediaEvent*) override { return S_OK; }

    // Stops this capture and every one that replaced it; releases them all.
    static void StopChain(RecoveringCapture* p_pFirst)
    {
        for (RecoveringCapture* c = p_pFirst; c != nullptr;) {
            c->m_bStop.store(true);
            {
                std::lock_guard<std::recursive_mutex> lock(c->m_Lock);
                c->close();
            }
            RecoveringCapture* pNext = c->m_pNext.exchange(nullptr);
            c->Release();
            c = pNext;
        }
    }

private:
    RecoveringCapture(std::atomic<int>* p_pFrames, std::atomic<int>* p_pRecoveries)
        : m_pFrames(p_pFrames), m_pRecoveries(p_pRecoveries)
    {
    }
    HRESULT start()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        m_bCom = true;
        MFStartup(MF_VERSION);
        m_bStarted = true;
        ComPtr<IMFMediaSource> source;
        HRESULT hr = ActivateBoard(source);
        if (FAILED(hr))
            return hr;
        m_pSource = source.p;
        source.p = nullptr;
        ComPtr<IMFAttributes> attributes;
        MFCreateAttributes(attributes.put(), 4);
        attributes->SetUnknown(MF_SOURCE_READER_ASYNC_CALLBACK, this);
        hr = MFCreateSourceReaderFromMediaSource(m_pSource, attributes.p, &m_pReader);
        if (FAILED(hr))
            return hr;
        return m_pReader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr);
    }
    void close()
    {
        if (m_pSource) {
            m_pSource->Pause();
            m_pSource->Shutdown();
            m_pSource->Release();
            m_pSource = nullptr;
        }
        if (m_pReader) {
            m_pReader->Release();
            m_pReader = nullptr;
        }
        if (m_bStarted)
            MFShutdown();
        m_bStarted = false;
        if (m_bCom)
            CoUninitialize();
        m_bCom = false;
    }

    std::atomic<ULONG> m_uRef{1};
    std::recursive_mutex m_Lock;
    std::atomic<bool> m_bStop{false};
    std::atomic<RecoveringCapture*> m_pNext{nullptr};
    std::atomic<int>* const m_pFrames;
    std::atomic<int>* const m_pRecoveries;
    IMFMediaSource* m_pSource = nullptr;
    IMFSourceReader* m_pReader = nullptr;
    bool m_bStarted = false;
    bool m_bCom = false;
};

} // namespace

class TestMediaCaptureCorvane : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_pFolder = std::make_unique<TestAppFolder>();
        ResetSimulation();
        ResetCaptureDevices();
        SetFastMode(true);
        QCOMPARE(MFStartup(MF_VERSION), S_OK);
    }
    void cleanup()
    {
        while (MFStartupCountForTests() > 0)
            MFShutdown();
        SetFastMode(false);
        ResetCaptureDevices();
        ResetSimulation();
        QCOMPARE(LiveSourceReadersForTests(), 0);
        QCOMPARE(LiveMediaSourcesForTests(), 0);
        m_pFolder.reset();
    }

    void enumerationFindsTheBoardByName()
    {
        AddCaptureDevice("Integrated Camera", FrameGeometry{32, 16}, true);
        AddCaptureDevice("Vantrel_Corvaneless", FrameGeometry{32, 16}, false);
        const auto devices = Enumerate();
        QCOMPARE(int(devices.size()), 3);
        QCOMPARE(devices[0]->name, QString("Integrated Camera"));
        QVERIFY(devices[1]->name.startsWith("Vantrel_Corvane"));
        QCOMPARE(devices[1]->name, QString(kCorvaneFriendlyName));
        GUID type{};
        QCOMPARE(devices[1]->activate->GetGUID(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE, &type), S_OK);
        QVERIFY(type == MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID);

        // A device without the register port offers no processing amplifier.
        ComPtr<IMFMediaSource> camera;
        QCOMPARE(devices[0]->activate->ActivateObject(IID_IMFMediaSource, camera.putVoid()), S_OK);
        ComPtr<IAMVideoProcAmp> amp;
        QCOMPARE(camera->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), E_NOINTERFACE);
    }

    void boardAbsence_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("simulation off") << "off";
        QTest::newRow("board not present") << "absent";
        QTest::newRow("device absent fault") << "fault";
    }
    void boardAbsence()
    {
        QFETCH(QString, how);
        SimulationSettings settings;
        if (how == "off")
            settings.setSimulationEnabled(false);
        else if (how == "absent")
            settings.setBoardPresent(BoardKind::Corvane, false);
        else
            InjectFault(BoardKind::Corvane, Fault::DeviceAbsent);
        HRESULT hr = E_FAIL;
        QVERIFY(Enumerate(&hr).empty());
        QCOMPARE(hr, S_OK);   // no device is a count of 0, not an error
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), MF_E_NOT_FOUND);
    }

    void activationFailureHitsOneCall()
    {
        InjectFault(BoardKind::Corvane, Fault::ActivationFailure, 1);
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), E_FAIL);
        QVERIFY(!source);
        QCOMPARE(ActivateBoard(source), S_OK);
    }

    void mediaTypeHasTheProxyGeometry_data()
    {
        QTest::addColumn<int>("proxy");
        QTest::addColumn<int>("width");    // 0: the record's acquisition buffer
        QTest::addColumn<int>("height");
        QTest::newRow("Z668") << 2 << 0 << 0;
        QTest::newRow("Z602") << 5 << 0 << 0;
        QTest::newRow("Z1641 two-tap") << 23 << 2576 << 512;
    }
    void mediaTypeHasTheProxyGeometry()
    {
        QFETCH(int, proxy);
        QFETCH(int, width);
        QFETCH(int, height);
        SimulationSettings().setProxyIndex(BoardKind::Corvane, proxy);
        const FrameGeometry expected = width ? FrameGeometry{width, height} : RecordGeometry(proxy);
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);

        // The first media type through the presentation descriptor.
        ComPtr<IMFPresentationDescriptor> pd;
        QCOMPARE(source->CreatePresentationDescriptor(pd.put()), S_OK);
        ComPtr<IMFStreamDescriptor> sd;
        BOOL selected = 0;
        QCOMPARE(pd->GetStreamDescriptorByIndex(0, &selected, sd.put()), S_OK);
        ComPtr<IMFMediaTypeHandler> handler;
        QCOMPARE(sd->GetMediaTypeHandler(handler.put()), S_OK);
        ComPtr<IMFMediaType> first;
        QCOMPARE(handler->GetMediaTypeByIndex(0, first.put()), S_OK);
        QCOMPARE(handler->SetCurrentMediaType(first.p), S_OK);
        ComPtr<IMFMediaType> second;
        QCOMPARE(handler->GetMediaTypeByIndex(1, second.put()), MF_E_NO_MORE_TYPES);

        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, nullptr, reader), S_OK);
        UINT32 stride = 0;
        QCOMPARE(CurrentGeometry(reader.p, &stride), expected);
        QCOMPARE(int(stride), expected.width * 2);

        DWORD flags = 0;
        ComPtr<IMFSample> sample;
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, nullptr, &flags, nullptr, sample.put()), S_OK);
        QVERIFY(sample);
        ComPtr<IMFMediaBuffer> buffer;
        QCOMPARE(sample->ConvertToContiguousBuffer(buffer.put()), S_OK);
        DWORD len = 0;
        QCOMPARE(buffer->GetCurrentLength(&len), S_OK);
        QCOMPARE(int(len), int(stride) * expected.height);
    }

    // The samples carry the sensor's pixels high byte first.
    void synchronousSamplesAreBigEndian()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, nullptr, reader), S_OK);
        const FrameGeometry g = CurrentGeometry(reader.p);
        std::vector<uint16_t> expected(size_t(g.pixelCount()));
        SensorFor(BoardKind::Corvane)->renderFrame(0, expected.data(), g.width, g.height, g.width);

        ComPtr<IMFSample> sample;
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, nullptr, nullptr, nullptr, sample.put()), S_OK);
        ComPtr<IMFMediaBuffer> buffer;
        sample->ConvertToContiguousBuffer(buffer.put());
        BYTE* pData = nullptr;
        DWORD len = 0;
        QCOMPARE(buffer->Lock(&pData, nullptr, &len), S_OK);
        QCOMPARE(int(len), g.pixelCount() * 2);
        for (int i : {0, 1, g.width, g.pixelCount() / 2, g.pixelCount() - 1})
            QCOMPARE(int(pData[2 * i] * 256 + pData[2 * i + 1]), int(expected[size_t(i)]));
        QCOMPARE(buffer->Unlock(), S_OK);
        QCOMPARE(buffer->Unlock(), MF_E_INVALIDREQUEST);
        QCOMPARE(SensorFor(BoardKind::Corvane)->framesRendered(), uint64_t(1));
    }

    // Z1641: each transfer line carries two sensor lines, pixel by pixel.
    void twoTapLinesInterleaveTwoSensorLines()
    {
        SimulationSettings().setProxyIndex(BoardKind::Corvane, 23);
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, nullptr, reader), S_OK);
        std::vector<uint16_t> sensor(size_t(1288) * 1024);
        SensorFor(BoardKind::Corvane)->renderFrame(0, sensor.data(), 1288, 1024, 1288);
        ComPtr<IMFSample> sample;
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, nullptr, nullptr, nullptr, sample.put()), S_OK);
        ComPtr<IMFMediaBuffer> buffer;
        sample->ConvertToContiguousBuffer(buffer.put());
        BYTE* p = nullptr;
        DWORD len = 0;
        buffer->Lock(&p, nullptr, &len);
        QCOMPARE(int(len), 2637824);
        auto pixel = [&](int line, int i) { return int(p[2 * (line * 2576 + i)] * 256 + p[2 * (line * 2576 + i) + 1]); };
        for (auto [j, m] : {std::pair{0, 0}, {0, 1287}, {1, 5}, {511, 640}}) {
            QCOMPARE(pixel(j, 2 * m), int(sensor[size_t(2 * j) * 1288 + size_t(m)]));
            QCOMPARE(pixel(j, 2 * m + 1), int(sensor[size_t(2 * j + 1) * 1288 + size_t(m)]));
        }
        buffer->Unlock();
    }

    void asynchronousSamplesArriveOnTheReaderThreadAtTheRate()
    {
        SetFastMode(false);
        SimulationSettings().setFrameRateCode(BoardKind::Corvane, 50);
        // A small frame, so that the pace is the board's even in sanitizer builds.
        SensorFor(BoardKind::Corvane)->setGeometryOverride(FrameGeometry{64, 48});
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        auto* cb = new Callback;
        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, cb, reader), S_OK);
        const FrameGeometry g = CurrentGeometry(reader.p);

        // Output arguments belong to synchronous reads.
        DWORD flags = 0;
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, &flags, nullptr, nullptr),
                 E_INVALIDARG);
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr), S_OK);
        QVERIFY(cb->waitFor(12));
        cb->stop = true;
        {
            std::lock_guard<std::mutex> lock(cb->mutex);
            QVERIFY(cb->threads.front() != std::this_thread::get_id());
            for (size_t i = 0; i < cb->threads.size(); ++i) {
                QCOMPARE(cb->threads[i], cb->threads.front());
                QCOMPARE(cb->statuses[i], S_OK);
                QCOMPARE(int(cb->lengths[i]), g.pixelCount() * 2);
            }
            // 50 frames a second: 20 ms apart on average, never bunched up.
            const double spanMs = double(cb->times.back() - cb->times.front()) / 1e4;
            const double periodMs = spanMs / double(cb->times.size() - 1);
            QVERIFY2(periodMs > 17.0 && periodMs < 100.0, qPrintable(QString::number(periodMs)));
        }
        reader.reset();
        QCOMPARE(cb->m_uRef.load(), ULONG(1));   // the reader let go of the callback
        cb->Release();
    }

    // The indirect board command of a register write, exactly as the board receives it.
    void indirectCommandSequenceIsRecordedExactly()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IAMVideoProcAmp> amp;
        QCOMPARE(source->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), S_OK);
        for (auto [address, value] : {std::pair{51, 2}, {52, 6}, {53, 1}, {50, 0}})
            QCOMPARE(WriteRegister(amp.p, address, value), S_OK);

        QCOMPARE(RecordedBytes(BoardKind::Corvane, "property"),
                 (QList<QByteArray>{"8,51", "0,2", "1,1", "8,52", "0,6", "1,1",
                                    "8,53", "0,1", "1,1", "8,50", "0,0", "1,1"}));
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "register"),
                 (QList<QByteArray>{"51=2", "52=6", "53=1", "50=0"}));
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "board"), QList<QByteArray>{"2,6,1"});
        QCOMPARE(CorvaneBoard::instance().boardRegister(2, 6), 1);
        QVERIFY(!SensorFor(BoardKind::Corvane)->boardCorrectedOutput());   // the Processing Board's NUC is off
        for (auto [address, value] : {std::pair{51, 15}, {52, 1}, {53, 0}, {50, 0}})
            QCOMPARE(WriteRegister(amp.p, address, value), S_OK);
        QVERIFY(SensorFor(BoardKind::Corvane)->boardCorrectedOutput());    // reference taken
        const auto messages = RecordedMessages(BoardKind::Corvane, "property");
        for (size_t i = 1; i < messages.size(); ++i)
            QVERIFY(messages[i - 1].timestampNs <= messages[i].timestampNs);
    }

    void registersReachTheBoards()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IAMVideoProcAmp> amp;
        QCOMPARE(source->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), S_OK);
        auto sensor = SensorFor(BoardKind::Corvane);

        QCOMPARE(WriteRegister(amp.p, 0, 123), S_OK);       // TINT
        QCOMPARE(sensor->registerValue(Register::TINT), 123);
        QCOMPARE(WriteRegister(amp.p, 20, 1), S_OK);        // pixel-clock inversion, not the image gain
        QCOMPARE(sensor->registerValue(Register::GAIN_IMG), 0);
        QCOMPARE(CorvaneBoard::instance().registerValue(20), 1);
        QCOMPARE(WriteRegister(amp.p, 14, 4), S_OK);        // FPGA register 4 := 0x42
        QCOMPARE(WriteRegister(amp.p, 15, 0x42), S_OK);
        QCOMPARE(sensor->fpgaRegister(4), 0x42);

        QVERIFY(!sensor->boardCorrectedOutput());
        QCOMPARE(WriteRegister(amp.p, 54, 0), S_OK);        // board-side FPN reference
        QVERIFY(sensor->boardCorrectedOutput());

        const int bytes[] = {0x34, 0x12, 0x78, 0x56};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(WriteRegister(amp.p, 60 + i, bytes[i]), S_OK);
        QVERIFY(RecordedBytes(BoardKind::Corvane, "direct").isEmpty());
        QCOMPARE(WriteRegister(amp.p, 64, 0), S_OK);
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "direct"), QList<QByteArray>{QByteArray("\x34\x12\x78\x56")});

        // Selecting an address shows that register in the value property.
        QCOMPARE(amp->Set(VideoProcAmp_BacklightCompensation, 0, VideoProcAmp_Flags_Manual), S_OK);
        LONG value = 0;
        QCOMPARE(amp->Get(VideoProcAmp_Brightness, &value, nullptr), S_OK);
        QCOMPARE(value, LONG(123));
        QCOMPARE(amp->Set(VideoProcAmp_Hue, 1, VideoProcAmp_Flags_Manual), E_PROP_ID_UNSUPPORTED);
    }

    void latchClearsAfterConfiguredReads_data()
    {
        QTest::addColumn<int>("clearReads");
        QTest::newRow("at the first poll") << 0;
        QTest::newRow("at the second poll") << 1;
        QTest::newRow("at the fifth poll") << 4;
    }
    void latchClearsAfterConfiguredReads()
    {
        QFETCH(int, clearReads);
        CorvaneBoard::instance().setLatchClearReads(clearReads);
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IAMVideoProcAmp> amp;
        QCOMPARE(source->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), S_OK);
        LONG latch = -1;
        QCOMPARE(amp->Get(VideoProcAmp_Contrast, &latch, nullptr), S_OK);
        QCOMPARE(latch, LONG(0));                        // nothing pending
        QCOMPARE(WriteRegister(amp.p, 2, 1000), S_OK);
        QCOMPARE(SensorFor(BoardKind::Corvane)->registerValue(Register::ADD03), 1000);   // committed at the latch
        for (int i = 0; i < clearReads; ++i) {
            QCOMPARE(amp->Get(VideoProcAmp_Contrast, &latch, nullptr), S_OK);
            QCOMPARE(latch, LONG(1));
        }
        QCOMPARE(amp->Get(VideoProcAmp_Contrast, &latch, nullptr), S_OK);
        QCOMPARE(latch, LONG(0));
        LONG lo = -1, hi = -1, step = -1, def = -1, caps = -1;
        QCOMPARE(amp->GetRange(VideoProcAmp_Contrast, &lo, &hi, &step, &def, &caps), S_OK);
        QCOMPARE(hi, LONG(1));
        QCOMPARE(caps, LONG(VideoProcAmp_Flags_Manual));
    }

    void propertyFaults()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IAMVideoProcAmp> amp;
        QCOMPARE(source->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), S_OK);
        LONG latch = 0;

        InjectFault(BoardKind::Corvane, Fault::LatchNeverClears);
        QCOMPARE(WriteRegister(amp.p, 0, 10), S_OK);
        for (int i = 0; i < 50; ++i) {
            QCOMPARE(amp->Get(VideoProcAmp_Contrast, &latch, nullptr), S_OK);
            QCOMPARE(latch, LONG(1));
        }
        ClearFault(BoardKind::Corvane, Fault::LatchNeverClears);

        // The value set fails: it never reached the board.
        ClearRecordedMessages();
        InjectFault(BoardKind::Corvane, Fault::WriteFailure, 1, 1);
        QCOMPARE(WriteRegister(amp.p, 1, 7), E_FAIL);
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "property"), QList<QByteArray>{"8,1"});
        QVERIFY(RecordedBytes(BoardKind::Corvane, "register").isEmpty());

        InjectFault(BoardKind::Corvane, Fault::ReplyTimeout, 1);
        QCOMPARE(amp->Get(VideoProcAmp_Contrast, &latch, nullptr), HRESULT_TIMEOUT);
        QCOMPARE(amp->Get(VideoProcAmp_Contrast, &latch, nullptr), S_OK);
    }

    // The stored proxy and frame rate are the range defaults of properties 0 and 8,
    // and what the board is told to store survives a restart.
    void storedNumbersAreRangeDefaultsAndSurviveRestart()
    {
        {
            SimulationSettings settings;
            settings.setProxyIndex(BoardKind::Corvane, 10);
            settings.setFrameRateCode(BoardKind::Corvane, 60);
        }
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IAMVideoProcAmp> amp;
        QCOMPARE(source->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), S_OK);
        LONG def = 0;
        QCOMPARE(amp->GetRange(VideoProcAmp_Brightness, nullptr, nullptr, nullptr, &def, nullptr), S_OK);
        QCOMPARE(def, LONG(9));          // record 10 is board number 9
        QCOMPARE(amp->GetRange(VideoProcAmp_BacklightCompensation, nullptr, nullptr, nullptr, &def, nullptr), S_OK);
        QCOMPARE(def, LONG(60));

        QCOMPARE(WriteRegister(amp.p, 16, 8), S_OK);    // what the set-up writes for record 12
        QCOMPARE(WriteRegister(amp.p, 35, 100), S_OK);
        amp.reset();
        source.reset();

        ResetBoards();
        ResetCaptureDevices();           // power cycle
        QCOMPARE(SimulationSettings().proxyIndex(BoardKind::Corvane), 9);
        QCOMPARE(SimulationSettings().frameRateCode(BoardKind::Corvane), 100);
        QCOMPARE(ActivateBoard(source), S_OK);
        QCOMPARE(source->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), S_OK);
        QCOMPARE(amp->GetRange(VideoProcAmp_Brightness, nullptr, nullptr, nullptr, &def, nullptr), S_OK);
        QCOMPARE(def, LONG(8));
        QCOMPARE(amp->GetRange(VideoProcAmp_BacklightCompensation, nullptr, nullptr, nullptr, &def, nullptr), S_OK);
        QCOMPARE(def, LONG(100));
    }

    void boardNumbering_data()
    {
        QTest::addColumn<int>("proxy");
        QTest::addColumn<int>("number");
        QTest::newRow("none") << 0 << -1;
        QTest::newRow("Z654") << 1 << 0;
        QTest::newRow("Y1437P 120") << 12 << 8;
        QTest::newRow("No Proxy") << 13 << 12;
        QTest::newRow("Z633") << 24 << 23;
    }
    void boardNumbering()
    {
        QFETCH(int, proxy);
        QFETCH(int, number);
        QCOMPARE(CorvaneBoard::CorvaneNumberFromProxyIndex(proxy), number);
        if (number >= 0)
            QCOMPARE(CorvaneBoard::ProxyIndexFromCorvaneNumber(number), proxy == 12 ? 9 : proxy);
    }

    void framesThatStop()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IMFSourceReader> syncReader;
        QCOMPARE(CreateReader(source.p, nullptr, syncReader), S_OK);
        InjectFault(BoardKind::Corvane, Fault::FramesStop, 10);
        for (int i = 0; i < 10; ++i) {
            DWORD flags = 0;
            ComPtr<IMFSample> sample;
            QCOMPARE(syncReader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, nullptr, &flags, nullptr, sample.put()),
                     S_OK);
            QVERIFY(!sample);
            QCOMPARE(flags, MF_SOURCE_READERF_STREAMTICK);
        }
        ComPtr<IMFSample> sample;
        QCOMPARE(syncReader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, nullptr, nullptr, nullptr, sample.put()), S_OK);
        QVERIFY(sample);

        // Asynchronously a stopped board leaves the request waiting.
        auto* cb = new Callback;
        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, cb, reader), S_OK);
        InjectFault(BoardKind::Corvane, Fault::FramesStop);
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr), S_OK);
        QVERIFY(!cb->waitFor(1, 200));
        ClearFault(BoardKind::Corvane, Fault::FramesStop);
        QVERIFY(cb->waitFor(3));
        cb->stop = true;
        reader.reset();
        cb->Release();
    }

    void changedSampleSizeShowsInTheMediaType()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        auto* cb = new Callback;
        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, cb, reader), S_OK);
        const FrameGeometry before = CurrentGeometry(reader.p);
        InjectFault(BoardKind::Corvane, Fault::ChangedSampleSize, 1, 2, 100);
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr), S_OK);
        QVERIFY(cb->waitFor(4));
        cb->stop = true;
        QVERIFY(cb->waitFor(4));
        {
            std::lock_guard<std::mutex> lock(cb->mutex);
            QCOMPARE(int(cb->lengths[1]), before.pixelCount() * 2);
            QCOMPARE(int(cb->lengths[2]), before.width * 2 * 100);
            QCOMPARE(int(cb->lengths[3]), before.width * 2 * 100);   // the new size stays
        }
        QCOMPARE(CurrentGeometry(reader.p), (FrameGeometry{before.width, 100}));
        reader.reset();
        cb->Release();
    }

    // The stand-in reports the loss through the stream, the device is gone
    // for a while and then streams again from a new activation.
    void deviceLostMidStream()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        auto* cb = new Callback;
        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, cb, reader), S_OK);
        InjectFault(BoardKind::Corvane, Fault::DeviceLostMidStream, 1, 3, 300);
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr), S_OK);
        QVERIFY(cb->waitFor(4));
        QVERIFY(!cb->waitFor(5, 100));
        {
            std::lock_guard<std::mutex> lock(cb->mutex);
            QCOMPARE(cb->statuses[2], S_OK);
            QCOMPARE(cb->statuses[3], MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED);
            QCOMPARE(cb->flags[3], MF_SOURCE_READERF_ERROR);
            QCOMPARE(int(cb->lengths.size()), 3);
            QCOMPARE(cb->requestStatus, MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED);
        }
        QCOMPARE(source->Pause(), MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED);
        ComPtr<IAMVideoProcAmp> amp;
        QCOMPARE(source->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), S_OK);
        QCOMPARE(amp->Set(VideoProcAmp_BacklightCompensation, 1, VideoProcAmp_Flags_Manual),
                 MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED);
        QVERIFY(Enumerate().empty());
        reader.reset();
        cb->Release();
        amp.reset();
        source.reset();

        QTRY_VERIFY_WITH_TIMEOUT(!Enumerate().empty(), 3000);
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IMFSourceReader> again;
        QCOMPARE(CreateReader(source.p, nullptr, again), S_OK);
        ComPtr<IMFSample> sample;
        QCOMPARE(again->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, nullptr, nullptr, nullptr, sample.put()), S_OK);
        QVERIFY(sample);
    }

    // Streaming while another thread writes registers, polls the latch and
    // re-opens the device to read the stored numbers, as the program does
    // during an acquisition. Run under ThreadSanitizer this finds races.
    void streamWhileTheRegisterLinkIsBusy()
    {
        SensorFor(BoardKind::Corvane)->setGeometryOverride(FrameGeometry{64, 48});
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        auto* cb = new Callback;
        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, cb, reader), S_OK);
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr), S_OK);
        ComPtr<IAMVideoProcAmp> amp;
        QCOMPARE(source->QueryInterface(IID_IAMVideoProcAmp, amp.putVoid()), S_OK);
        // For 800 ms and until ten frames came meanwhile: a loaded machine
        // only makes it last longer, a stream stalled by the writes never
        // gets there.
        const auto start = std::chrono::steady_clock::now();
        const auto until = start + std::chrono::milliseconds(800);
        const auto bound = start + std::chrono::seconds(20 * BuildSlowdown);
        int writes = 0;
        while ((std::chrono::steady_clock::now() < until || cb->calls() <= 10 || writes <= 10)
               && std::chrono::steady_clock::now() < bound && writes < 3000) {
            QCOMPARE(WriteRegister(amp.p, writes % 13, 100 + writes), S_OK);
            LONG latch = 1;
            while (latch != 0)
                QCOMPARE(amp->Get(VideoProcAmp_Contrast, &latch, nullptr), S_OK);
            ComPtr<IMFMediaSource> second;
            QCOMPARE(ActivateBoard(second), S_OK);
            ComPtr<IAMVideoProcAmp> secondAmp;
            QCOMPARE(second->QueryInterface(IID_IAMVideoProcAmp, secondAmp.putVoid()), S_OK);
            LONG def = 0;
            QCOMPARE(secondAmp->GetRange(VideoProcAmp_Brightness, nullptr, nullptr, nullptr, &def, nullptr), S_OK);
            ++writes;
        }
        const size_t frames = cb->calls();
        cb->stop = true;
        reader.reset();
        cb->Release();
        QVERIFY(writes > 10);
        QVERIFY(frames > 10);
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "register").size(), writes);
    }

    // A device lost mid-stream, rebuilt from inside the callback while the
    // board is away: frames flow again from the new capture.
    void recoveryFromInsideTheCallback()
    {
        SensorFor(BoardKind::Corvane)->setGeometryOverride(FrameGeometry{64, 48});
        std::atomic<int> frames{0}, recoveries{0};
        // The captures count into these locals from their reader threads: a
        // failing check that leaves early still stops them first.
        struct StopOnExit
        {
            RecoveringCapture* first = nullptr;
            ~StopOnExit()
            {
                if (first)
                    RecoveringCapture::StopChain(first);
            }
        } chain;
        chain.first = RecoveringCapture::Open(&frames, &recoveries);
        QVERIFY(chain.first);
        QTRY_VERIFY(frames.load() >= 5);
        InjectFault(BoardKind::Corvane, Fault::DeviceLostMidStream, 1, 0, 200);
        QTRY_COMPARE(recoveries.load(), 1);
        const int atLoss = frames.load();
        QTRY_VERIFY_WITH_TIMEOUT(frames.load() >= atLoss + 5, 5000);
        RecoveringCapture::StopChain(std::exchange(chain.first, nullptr));
        QTRY_COMPARE(LiveSourceReadersForTests(), 0);
        QTRY_COMPARE(LiveMediaSourcesForTests(), 0);
    }

    // A recovery releases the reader from inside its own callback: no hang,
    // and the callback outlives the call.
    void readerReleasedFromItsOwnCallback()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        auto* cb = new Callback;
        cb->releaseReaderInside = true;
        ComPtr<IMFSourceReader> reader;
        QCOMPARE(CreateReader(source.p, cb, reader), S_OK);
        IMFSourceReader* raw = reader.p;
        reader.p = nullptr;   // the callback owns the last reference now
        QCOMPARE(raw->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, nullptr, nullptr, nullptr, nullptr), S_OK);
        QVERIFY(cb->waitFor(1));
        QTRY_COMPARE(LiveSourceReadersForTests(), 0);
        QTRY_COMPARE(cb->m_uRef.load(), ULONG(1));
        cb->Release();
    }

    void lifecycleErrors()
    {
        ComPtr<IMFMediaSource> source;
        QCOMPARE(ActivateBoard(source), S_OK);
        ComPtr<IMFSourceReader> reader;
        MFShutdown();
        QCOMPARE(CreateReader(source.p, nullptr, reader), MF_E_SHUTDOWN);   // the stack is not started
        QCOMPARE(MFStartup(MF_VERSION), S_OK);
        QCOMPARE(CreateReader(source.p, nullptr, reader), S_OK);
        QCOMPARE(source->Shutdown(), S_OK);
        QCOMPARE(source->Shutdown(), MF_E_SHUTDOWN);
        QCOMPARE(source->Pause(), MF_E_SHUTDOWN);
        ComPtr<IMFSample> sample;
        QCOMPARE(reader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, nullptr, nullptr, nullptr, sample.put()),
                 MF_E_SHUTDOWN);
        ComPtr<IMFSourceReader> another;
        QCOMPARE(CreateReader(source.p, nullptr, another), MF_E_SHUTDOWN);
        QCOMPARE(reader->ReadSample(7, 0, nullptr, nullptr, nullptr, sample.put()), MF_E_INVALIDSTREAMNUMBER);

        QCOMPARE(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE), S_OK);
        QCOMPARE(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE), S_FALSE);
        QCOMPARE(CoInitializeEx(nullptr, 0), RPC_E_CHANGED_MODE);
        CoUninitialize();
        CoUninitialize();
    }

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
};

QTEST_GUILESS_MAIN(TestMediaCaptureCorvane)
#include "tst_mediacapture_corvane.moc"
