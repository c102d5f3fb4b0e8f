// Discovery and devices of the GigE Vision stand-in, over the simulated Dunstel board.
#include "platform/ebus/ebus.h"
#include "platform/ebus/pv_private.h"

#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/gige/dunstel_board.h"

namespace {

sim::DunstelBoard& Board() { return sim::DunstelBoard::instance(); }

PvResult FromStatus(sim::FeatureStatus p_Status)
{
    switch (p_Status) {
    case sim::FeatureStatus::Ok: return PvResult::Code::OK;
    case sim::FeatureStatus::NotFound: return PvResult::Code::NOT_FOUND;
    case sim::FeatureStatus::WrongType: return PvResult::Code::WRONG_TYPE;
    case sim::FeatureStatus::InvalidValue: return PvResult::Code::GENICAM_ERROR;
    case sim::FeatureStatus::Locked: return PvResult::Code::ACCESS_DENIED;
    }
    return PvResult::Code::UNEXPECTED;
}

PvGenType FromType(sim::FeatureType p_Type)
{
    switch (p_Type) {
    case sim::FeatureType::Integer: return PvGenTypeInteger;
    case sim::FeatureType::Float: return PvGenTypeFloat;
    case sim::FeatureType::Enumeration: return PvGenTypeEnum;
    case sim::FeatureType::Boolean: return PvGenTypeBoolean;
    case sim::FeatureType::Command: return PvGenTypeCommand;
    }
    return PvGenTypeInteger;
}

// The device's features, reached over its control link: nothing answers once
// the link is closed or the device is gone. Every write and command is
// recorded on the board's "feature" channel as "Name=value" or "Name".
class DeviceFeatures : public PvFeatureSource
{
public:
    explicit DeviceFeatures(const std::atomic<bool>* p_pConnected) : m_pConnected(p_pConnected) {}

    std::vector<Info> list() const override
    {
        std::vector<Info> v;
        for (const sim::FeatureInfo& f : Board().features())
            v.push_back({f.name.toStdString(), FromType(f.type), f.writable});
        return v;
    }
    PvResult getInteger(const std::string& n, int64_t& v) const override
    {
        if (!linked())
            return PvResult::Code::NOT_CONNECTED;
        return FromStatus(Board().getInteger(QString::fromStdString(n), &v));
    }
    PvResult setInteger(const std::string& n, int64_t v) override
    {
        if (!linked())
            return PvResult::Code::NOT_CONNECTED;
        record(n + "=" + std::to_string(v));
        return FromStatus(Board().setInteger(QString::fromStdString(n), v));
    }
    PvResult integerRange(const std::string& n, int64_t& lo, int64_t& hi) const override
    {
        for (const sim::FeatureInfo& f : Board().features())
            if (f.name.toStdString() == n) {
                if (f.type != sim::FeatureType::Integer)
                    return PvResult::Code::WRONG_TYPE;
                lo = f.minimum;
                hi = f.maximum;
                return PvResult::Code::OK;
            }
        return PvResult::Code::NOT_FOUND;
    }
    PvResult getFloat(const std::string& n, double& v) const override
    {
        if (!linked())
            return PvResult::Code::NOT_CONNECTED;
        return FromStatus(Board().getFloat(QString::fromStdString(n), &v));
    }
    PvResult getEnum(const std::string& n, std::string& v) const override
    {
        if (!linked())
            return PvResult::Code::NOT_CONNECTED;
        QString s;
        const PvResult r = FromStatus(Board().getEnum(QString::fromStdString(n), &s));
        if (r.IsOK())
            v = s.toStdString();
        return r;
    }
    PvResult setEnum(const std::string& n, const std::string& v) override
    {
        if (!linked())
            return PvResult::Code::NOT_CONNECTED;
        record(n + "=" + v);
        return FromStatus(Board().setEnum(QString::fromStdString(n), QString::fromStdString(v)));
    }
    PvResult enumEntries(const std::string& n, std::vector<std::string>& e) const override
    {
        for (const sim::FeatureInfo& f : Board().features())
            if (f.name.toStdString() == n) {
                if (f.type != sim::FeatureType::Enumeration)
                    return PvResult::Code::WRONG_TYPE;
                e.clear();
                for (const QString& s : f.entries)
                    e.push_back(s.toStdString());
                return PvResult::Code::OK;
            }
        return PvResult::Code::NOT_FOUND;
    }
    PvResult getBoolean(const std::string& n, bool& v) const override
    {
        if (!linked())
            return PvResult::Code::NOT_CONNECTED;
        return FromStatus(Board().getBoolean(QString::fromStdString(n), &v));
    }
    PvResult setBoolean(const std::string& n, bool v) override
    {
        if (!linked())
            return PvResult::Code::NOT_CONNECTED;
        record(n + "=" + (v ? "true" : "false"));
        return FromStatus(Board().setBoolean(QString::fromStdString(n), v));
    }
    PvResult execute(const std::string& n) override
    {
        if (!linked())
            return PvResult::Code::NOT_CONNECTED;
        record(n);
        return FromStatus(Board().execute(QString::fromStdString(n)));
    }

private:
    bool linked() const { return m_pConnected->load() && !Board().lost(); }
    static void record(const std::string& p_sText)
    {
        sim::RecordMessage(sim::BoardKind::Dunstel, QByteArrayLiteral("feature"), QByteArray::fromStdString(p_sText));
    }
    const std::atomic<bool>* m_pConnected;
};


} // namespace

// One information object per device for the whole process.
const PvDeviceInfo* PvFindDeviceInfo(const PvString& p_sConnectionId)
{
    static PvDeviceInfo* s_pInfo = [] {
        auto* p = new PvDeviceInfo;
        p->m_sDisplayId = Board().displayId().toStdString();
        p->m_sConnectionId = Board().connectionId().toStdString();
        p->m_sMac = Board().macAddress().toStdString();
        p->m_sModel = Board().modelName().toStdString();
        return p;
    }();
    if (p_sConnectionId != PvString(s_pInfo->m_sConnectionId))
        return nullptr;
    return Board().discoverable() ? s_pInfo : nullptr;
}

std::vector<const PvDeviceInfo*> PvDiscoverDevices()
{
    std::vector<const PvDeviceInfo*> v;
    if (const PvDeviceInfo* p = PvFindDeviceInfo(Board().connectionId().toStdString()))
        v.push_back(p);
    return v;
}

PvDevice::PvDevice()
    : m_pParameters(new PvGenParameterArray(std::make_shared<DeviceFeatures>(&m_bConnected)))
{
}

PvDevice::~PvDevice()
{
    if (m_bConnected.load())
        Disconnect();
}

PvDevice* PvDevice::CreateAndConnect(const PvDeviceInfo* p_pInfo, PvResult* p_pResult)
{
    if (p_pInfo == nullptr) {
        if (p_pResult != nullptr)
            *p_pResult = PvResult::Code::INVALID_PARAMETER;
        return nullptr;
    }
    return CreateAndConnect(p_pInfo->GetConnectionID(), p_pResult);
}

PvDevice* PvDevice::CreateAndConnect(const PvString& p_sConnectionId, PvResult* p_pResult)
{
    PvResult result = PvResult::Code::OK;
    PvDevice* pDevice = nullptr;
    if (PvFindDeviceInfo(p_sConnectionId) == nullptr)
        result = PvResult::Code::NOT_FOUND;
    else if (sim::ConsumeFault(sim::BoardKind::Dunstel, sim::Fault::ActivationFailure))
        result = PvResult::Code::TIMEOUT;   // listed, but the control link never comes up
    else {
        pDevice = new PvDeviceGEV;
        pDevice->m_bConnected.store(true);
    }
    if (p_pResult != nullptr)
        *p_pResult = result;
    return pDevice;
}

void PvDevice::Free(PvDevice* p_pDevice)
{
    delete p_pDevice;
}

uint32_t PvDevice::GetPayloadSize()
{
    if (!IsConnected())
        return 0;
    return static_cast<uint32_t>(Board().payloadSize());
}

PvResult PvDevice::StreamEnable(uint32_t p_uChannel)
{
    if (!IsConnected())
        return PvResult::Code::NOT_CONNECTED;
    if (p_uChannel != 0)
        return PvResult::Code::INVALID_PARAMETER;
    Board().setStreamEnabled(true);
    return PvResult::Code::OK;
}

PvResult PvDevice::StreamDisable(uint32_t p_uChannel)
{
    if (!IsConnected())
        return PvResult::Code::NOT_CONNECTED;
    if (p_uChannel != 0)
        return PvResult::Code::INVALID_PARAMETER;
    Board().setStreamEnabled(false);
    return PvResult::Code::OK;
}

bool PvDevice::IsConnected() const
{
    return m_bConnected.load() && !Board().lost();
}

PvResult PvDevice::Disconnect()
{
    if (!m_bConnected.exchange(false))
        return PvResult::Code::NOT_CONNECTED;
    Board().controlReleased();
    return PvResult::Code::OK;
}

PvResult PvDeviceGEV::NegotiatePacketSize(uint32_t p_uChannel, uint32_t /*p_uFallbackSize*/)
{
    if (!IsConnected())
        return PvResult::Code::NOT_CONNECTED;
    if (p_uChannel != 0)
        return PvResult::Code::INVALID_PARAMETER;
    // The simulated link carries jumbo frames.
    return m_pParameters->SetIntegerValue("GevSCPSPacketSize", 8164);
}

PvResult PvDeviceGEV::SetStreamDestination(const PvString& p_sIpAddress, uint16_t p_uPort, uint32_t p_uChannel)
{
    if (!IsConnected())
        return PvResult::Code::NOT_CONNECTED;
    if (p_uChannel != 0 || p_sIpAddress.GetLength() == 0)
        return PvResult::Code::INVALID_PARAMETER;
    m_sDestination = p_sIpAddress.GetAscii();
    m_uDestinationPort = p_uPort;
    return PvResult::Code::OK;
}
