// The GigE board's quick parameters: eight GenICam features written between an acquisition stop and restart.
#include "board/gige_quick_parameters.h"

#include "platform/ebus/ebus.h"

namespace {

const char* const kAcquisitionStart = "AcquisitionStart";
const char* const kAcquisitionStop = "AcquisitionStop";
constexpr int kWaitAfterWriteMs = 100;
constexpr int kWaitAfterLastWriteMs = 200;

PvString Ascii(const QString& p_s)
{
    return PvString(p_s.toStdString());
}

} // namespace

const QStringList& GigEQuickFeatureNames()
{
    static const QStringList names = {
        QStringLiteral("TestPattern"),
        QStringLiteral("PixelFormat"),
        QStringLiteral("PixelBusDataValidEnabled"),
        QStringLiteral("PixelBusDataValidPolarity"),
        QStringLiteral("PixelBusLineValidPolarity"),
        QStringLiteral("PixelBusFrameValidPolarity"),
        QStringLiteral("PixelBusLineValidEdgeSensitivity"),
        QStringLiteral("PixelBusFrameValidEdgeSensitivity"),
    };
    return names;
}

bool IsGigEQuickBoolean(const QString& p_sFeature)
{
    return p_sFeature == QLatin1String("PixelBusDataValidEnabled");
}

GigEQuickResult SendGigEQuickParameters(GigEFeatureAccess& p_Device, const std::vector<GigEQuickValue>& p_Values,
                                        const std::function<void(int)>& p_Wait,
                                        const std::function<void(const QString&)>& p_Log)
{
    GigEQuickResult result;
    // Checked before anything is stopped: without both commands the device
    // could be stopped but never started again.
    if (!p_Device.hasCommand(kAcquisitionStart) || !p_Device.hasCommand(kAcquisitionStop)) {
        result.Outcome = GigEQuickOutcome::MissingCommands;
        return result;
    }
    p_Device.execute(kAcquisitionStop);
    p_Device.setStreamEnabled(false);

    for (size_t i = 0; i < p_Values.size(); ++i) {
        const GigEQuickValue& value = p_Values[i];
        p_Log("Update " + value.Feature + " from " + p_Device.currentValue(value) + " to " + value.Text);
        if (!p_Device.write(value)) {
            result.Outcome = GigEQuickOutcome::WriteFailed;
            result.FailedFeature = value.Feature;
            break;
        }
        p_Wait(i + 1 < p_Values.size() ? kWaitAfterWriteMs : kWaitAfterLastWriteMs);
        // The wait lets the operator disconnect; a device that went away is not touched again.
        if (!p_Device.stillThere()) {
            result.Outcome = GigEQuickOutcome::DeviceGone;
            return result;
        }
    }

    p_Device.setStreamEnabled(true);
    p_Device.execute(kAcquisitionStart);
    return result;
}

// ---- PvDevice --------------------------------------------------------------------------

PvDeviceFeatureAccess::PvDeviceFeatureAccess(PvDevice* p_pDevice, std::function<PvDevice*()> p_CurrentDevice)
    : m_pDevice(p_pDevice), m_CurrentDevice(std::move(p_CurrentDevice))
{
}

bool PvDeviceFeatureAccess::hasCommand(const QString& p_sName)
{
    PvGenParameterArray* pArray = m_pDevice->GetParameters();
    return pArray != nullptr && dynamic_cast<PvGenCommand*>(pArray->Get(Ascii(p_sName))) != nullptr;
}

void PvDeviceFeatureAccess::execute(const QString& p_sName)
{
    if (auto* pCommand = dynamic_cast<PvGenCommand*>(m_pDevice->GetParameters()->Get(Ascii(p_sName))))
        pCommand->Execute();
}

void PvDeviceFeatureAccess::setStreamEnabled(bool p_bEnabled)
{
    if (p_bEnabled)
        m_pDevice->StreamEnable(0);
    else
        m_pDevice->StreamDisable(0);
}

QString PvDeviceFeatureAccess::currentValue(const GigEQuickValue& p_Value)
{
    PvGenParameterArray* pArray = m_pDevice->GetParameters();
    if (p_Value.Boolean) {
        bool bCurrent = false;
        pArray->GetBooleanValue(Ascii(p_Value.Feature), bCurrent);
        return bCurrent ? QStringLiteral("True") : QStringLiteral("False");
    }
    PvString sCurrent;
    pArray->GetEnumValue(Ascii(p_Value.Feature), sCurrent);
    return QString::fromLatin1(sCurrent.GetAscii());
}

bool PvDeviceFeatureAccess::write(const GigEQuickValue& p_Value)
{
    PvGenParameterArray* pArray = m_pDevice->GetParameters();
    const PvResult result = p_Value.Boolean ? pArray->SetBooleanValue(Ascii(p_Value.Feature), p_Value.BooleanValue)
                                            : pArray->SetEnumValue(Ascii(p_Value.Feature), Ascii(p_Value.Text));
    return result.IsOK();
}

bool PvDeviceFeatureAccess::stillThere()
{
    return m_CurrentDevice && m_CurrentDevice() == m_pDevice && m_pDevice->IsConnected();
}
