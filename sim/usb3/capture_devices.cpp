// The simulated capture-device list and the streams of activated devices.
#include "sim/usb3/capture_devices.h"

#include "sim/core/fault_injector.h"
#include "sim/usb3/corvane_board.h"

#include <cstring>
#include <mutex>

namespace sim {

namespace {
constexpr int kCorvaneDeviceId = 1;

// The Z1641 proxy is read out through two taps: the board sends its
// 1288 x 1024 pixels as 512 lines of 2576, two sensor lines per line.
constexpr int kTwoTapProxyIndex = 23;
constexpr FrameGeometry kTwoTapTransferGeometry{2576, 512};

struct AddedDevice
{
    int id;
    QString name;
    FrameGeometry geometry;
    bool beforeBoard;
    // What every sample of the device's streams holds; empty: rendered frames.
    struct Sample
    {
        std::mutex mutex;
        std::vector<uint8_t> bytes;
    };
    std::shared_ptr<Sample> sample;
};

std::shared_ptr<AddedDevice::Sample> MakeSample(const std::vector<uint8_t>& p_Bytes)
{
    auto pSample = std::make_shared<AddedDevice::Sample>();
    pSample->bytes = p_Bytes;
    return pSample;
}

struct DeviceList
{
    std::mutex mutex;
    std::vector<AddedDevice> added;
    int nextId = 100;
};

DeviceList& Devices()
{
    static DeviceList s_List;
    return s_List;
}

// Host-order pixels to the board's byte order, high byte first. A buffer of
// the right size is only overwritten (the capture stack hands its samples'
// memory back), and the loop is one the compiler vectorises.
void ToBigEndian(const std::vector<uint16_t>& p_Pixels, std::vector<uint8_t>& p_Bytes)
{
    p_Bytes.resize(p_Pixels.size() * 2);
    uint8_t* __restrict out = p_Bytes.data();
    const uint16_t* __restrict in = p_Pixels.data();
    const size_t n = p_Pixels.size();
    for (size_t i = 0; i < n; ++i) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        const uint16_t w = __builtin_bswap16(in[i]);
#else
        const uint16_t w = in[i];
#endif
        std::memcpy(out + 2 * i, &w, sizeof w);
    }
}

class CorvaneStream final : public CaptureStream
{
public:
    CorvaneStream()
        : m_Board(CorvaneBoard::instance()), m_Sensor(m_Board.sensor()),
          m_uGeneration(m_Board.generation()), m_bTwoTap(m_Sensor->proxyIndex() == kTwoTapProxyIndex),
          m_Geometry(m_bTwoTap ? kTwoTapTransferGeometry : m_Sensor->geometry())
    {
    }

    QString friendlyName() const override { return QString::fromLatin1(kCorvaneFriendlyName); }
    FrameGeometry geometry() const override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Geometry;
    }
    double framesPerSecond() const override { return m_Sensor->framesPerSecond(); }
    CorvaneBoard* propertyPort() const override { return &m_Board; }

    bool lost() const override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_bLost || m_Board.generation() != m_uGeneration;
    }

    SampleResult nextSample(std::vector<uint8_t>& p_Bytes) override
    {
        if (lost())
            return markLost();
        if (ConsumeFault(BoardKind::Corvane, Fault::DeviceLostMidStream)) {
            m_Board.loseDevice(FaultParameter(BoardKind::Corvane, Fault::DeviceLostMidStream));
            return markLost();
        }
        if (ConsumeFault(BoardKind::Corvane, Fault::FramesStop))
            return SampleResult::NoSample;
        FrameGeometry g;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            if (ConsumeFault(BoardKind::Corvane, Fault::ChangedSampleSize)) {
                const int h = FaultParameter(BoardKind::Corvane, Fault::ChangedSampleSize);
                m_Geometry.height = h > 0 ? h : std::max(1, m_Geometry.height / 2);
            }
            g = m_Geometry;
        }
        if (m_bTwoTap) {
            // Two sensor lines per transfer line, pixel by pixel: even pixels
            // from line 2j, odd ones from line 2j + 1.
            m_Pixels.resize(static_cast<size_t>(g.pixelCount()));
            const FrameGeometry sensor{g.width / 2, g.height * 2};
            m_Sensor->renderNextFrame(m_Pixels.data(), sensor);
            m_Interleaved.resize(m_Pixels.size());
            for (int j = 0; j < g.height; ++j)
                for (int m = 0; m < sensor.width; ++m) {
                    const size_t out = static_cast<size_t>(j) * static_cast<size_t>(g.width) + 2u * static_cast<size_t>(m);
                    m_Interleaved[out] = m_Pixels[static_cast<size_t>(2 * j) * static_cast<size_t>(sensor.width) + static_cast<size_t>(m)];
                    m_Interleaved[out + 1] = m_Pixels[static_cast<size_t>(2 * j + 1) * static_cast<size_t>(sensor.width) + static_cast<size_t>(m)];
                }
            ToBigEndian(m_Interleaved, p_Bytes);
        } else {
            // Synthesised straight into the sample in the board's byte order,
            // as the other simulated boards render into their transport's
            // buffer: no frame of its own and no pass for the byte order. A
            // buffer of the right size is only overwritten.
            p_Bytes.resize(static_cast<size_t>(g.pitchBytes()) * static_cast<size_t>(g.height));
            m_Sensor->renderNextFrameHighByteFirst(p_Bytes.data(), g);
        }
        return SampleResult::Sample;
    }

private:
    SampleResult markLost()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bLost = true;
        return SampleResult::Lost;
    }

    CorvaneBoard& m_Board;
    const std::shared_ptr<SensorModel> m_Sensor;
    const uint64_t m_uGeneration;
    const bool m_bTwoTap;
    mutable std::mutex m_Mutex;
    FrameGeometry m_Geometry;
    bool m_bLost = false;
    std::vector<uint16_t> m_Pixels;        // two-tap only; used only by the thread that reads samples
    std::vector<uint16_t> m_Interleaved;
};

class AddedDeviceStream final : public CaptureStream
{
public:
    AddedDeviceStream(const AddedDevice& p_Device)
        : m_sName(p_Device.name), m_Geometry(p_Device.geometry), m_pSample(p_Device.sample),
          m_Sensor(BoardKind::Corvane, -1, 30)
    {
        m_Sensor.setGeometryOverride(m_Geometry);
    }
    QString friendlyName() const override { return m_sName; }
    FrameGeometry geometry() const override { return m_Geometry; }
    double framesPerSecond() const override { return 30.0; }
    CorvaneBoard* propertyPort() const override { return nullptr; }
    bool lost() const override { return false; }
    SampleResult nextSample(std::vector<uint8_t>& p_Bytes) override
    {
        {
            std::lock_guard<std::mutex> lock(m_pSample->mutex);
            if (!m_pSample->bytes.empty()) {
                p_Bytes = m_pSample->bytes;
                return SampleResult::Sample;
            }
        }
        m_Pixels.resize(static_cast<size_t>(m_Geometry.pixelCount()));
        m_Sensor.renderNextFrame(m_Pixels.data(), m_Geometry);
        ToBigEndian(m_Pixels, p_Bytes);
        return SampleResult::Sample;
    }

private:
    const QString m_sName;
    const FrameGeometry m_Geometry;
    const std::shared_ptr<AddedDevice::Sample> m_pSample;
    SensorModel m_Sensor;
    std::vector<uint16_t> m_Pixels;
};
} // namespace

std::vector<CaptureDeviceInfo> ListCaptureDevices()
{
    std::vector<CaptureDeviceInfo> list;
    const bool bBoard = CorvaneBoard::instance().listed();
    DeviceList& d = Devices();
    std::lock_guard<std::mutex> lock(d.mutex);
    for (const AddedDevice& a : d.added)
        if (a.beforeBoard)
            list.push_back(CaptureDeviceInfo{a.name, false, a.id});
    if (bBoard)
        list.push_back(CaptureDeviceInfo{QString::fromLatin1(kCorvaneFriendlyName), true, kCorvaneDeviceId});
    for (const AddedDevice& a : d.added)
        if (!a.beforeBoard)
            list.push_back(CaptureDeviceInfo{a.name, false, a.id});
    return list;
}

int AddCaptureDevice(const QString& p_sFriendlyName, const FrameGeometry& p_Geometry, bool p_bBeforeBoard)
{
    DeviceList& d = Devices();
    std::lock_guard<std::mutex> lock(d.mutex);
    const int id = d.nextId++;
    d.added.push_back(AddedDevice{id, p_sFriendlyName, p_Geometry, p_bBeforeBoard, MakeSample({})});
    return id;
}

int AddCaptureDeviceWithSample(const QString& p_sFriendlyName, const FrameGeometry& p_Geometry,
                               const std::vector<uint8_t>& p_Sample, bool p_bBeforeBoard)
{
    DeviceList& d = Devices();
    std::lock_guard<std::mutex> lock(d.mutex);
    const int id = d.nextId++;
    d.added.push_back(AddedDevice{id, p_sFriendlyName, p_Geometry, p_bBeforeBoard, MakeSample(p_Sample)});
    return id;
}

void SetCaptureDeviceSample(int p_iId, const std::vector<uint8_t>& p_Sample)
{
    DeviceList& d = Devices();
    std::lock_guard<std::mutex> lock(d.mutex);
    for (const AddedDevice& a : d.added)
        if (a.id == p_iId) {
            std::lock_guard<std::mutex> sampleLock(a.sample->mutex);
            a.sample->bytes = p_Sample;
        }
}

void RemoveAddedCaptureDevices()
{
    DeviceList& d = Devices();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.added.clear();
}

std::shared_ptr<CaptureStream> ActivateCaptureDevice(int p_iId)
{
    if (p_iId == kCorvaneDeviceId) {
        if (!CorvaneBoard::instance().listed() || ConsumeFault(BoardKind::Corvane, Fault::ActivationFailure))
            return nullptr;
        return std::make_shared<CorvaneStream>();
    }
    DeviceList& d = Devices();
    std::lock_guard<std::mutex> lock(d.mutex);
    for (const AddedDevice& a : d.added)
        if (a.id == p_iId)
            return std::make_shared<AddedDeviceStream>(a);
    return nullptr;
}

void ResetCaptureDevices()
{
    CorvaneBoard::instance().reset();
    RemoveAddedCaptureDevices();
}

} // namespace sim
