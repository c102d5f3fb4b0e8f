// The GigE board's quick parameters: eight GenICam features written between an acquisition stop and restart.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class PvDevice;

// One feature of the quick parameters and the value chosen for it.
struct GigEQuickValue
{
    QString Feature;
    bool Boolean = false;   // a boolean feature: BooleanValue is written, else Text
    QString Text;           // the enumeration entry, or the combo text of the boolean
    bool BooleanValue = false;
};

// The eight features in the order they are written.
const QStringList& GigEQuickFeatureNames();
// Which of them is the boolean one ("PixelBusDataValidEnabled").
bool IsGigEQuickBoolean(const QString& p_sFeature);

// What the sequence needs of a device. The device adapter below speaks to a
// PvDevice; tests give a recorder.
class GigEFeatureAccess
{
public:
    virtual ~GigEFeatureAccess() = default;
    // Whether the device has a command feature of that name.
    virtual bool hasCommand(const QString& p_sName) = 0;
    virtual void execute(const QString& p_sName) = 0;
    virtual void setStreamEnabled(bool p_bEnabled) = 0;
    // The current value for the log line: the entry name, or "True" / "False".
    virtual QString currentValue(const GigEQuickValue& p_Value) = 0;
    // Whether the write was taken.
    virtual bool write(const GigEQuickValue& p_Value) = 0;
    // Still the same connected device (checked after every wait).
    virtual bool stillThere() = 0;
};

enum class GigEQuickOutcome {
    Done,            // all eight written, stream and acquisition restarted
    MissingCommands, // no AcquisitionStart or AcquisitionStop: nothing was touched
    WriteFailed,     // FailedFeature refused; stream and acquisition restarted
    DeviceGone,      // the device went away during a wait; nothing more was sent
};

struct GigEQuickResult
{
    GigEQuickOutcome Outcome = GigEQuickOutcome::Done;
    QString FailedFeature;
};

// Stops the acquisition and the stream, writes the values in order with the
// log line "Update <feature> from <current> to <new>" before each write and a
// wait after each (100 ms, 200 ms after the last), then enables the stream and
// starts the acquisition again, also after a refused write so the device is
// never left without a stream. p_Wait waits (processing events) for the given
// milliseconds; p_Log writes one log line.
GigEQuickResult SendGigEQuickParameters(GigEFeatureAccess& p_Device, const std::vector<GigEQuickValue>& p_Values,
                                        const std::function<void(int)>& p_Wait,
                                        const std::function<void(const QString&)>& p_Log);

// The feature access of a PvDevice. p_CurrentDevice tells which device the
// program holds now (null once disconnected); a different answer than the
// device the access was made for means that device may be gone.
class PvDeviceFeatureAccess : public GigEFeatureAccess
{
public:
    PvDeviceFeatureAccess(PvDevice* p_pDevice, std::function<PvDevice*()> p_CurrentDevice);
    bool hasCommand(const QString& p_sName) override;
    void execute(const QString& p_sName) override;
    void setStreamEnabled(bool p_bEnabled) override;
    QString currentValue(const GigEQuickValue& p_Value) override;
    bool write(const GigEQuickValue& p_Value) override;
    bool stillThere() override;

private:
    PvDevice* m_pDevice;
    std::function<PvDevice*()> m_CurrentDevice;
};
