// The simulated video-capture devices: the Corvane board and any further devices tests add.
#pragma once

#include "sim/core/sensor_model.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace sim {

class CorvaneBoard;

struct CaptureDeviceInfo
{
    QString friendlyName;
    bool isCorvane = false;
    int id = 0;             // stable per device while it is listed
};

// The devices a capture-device enumeration finds now, in order: added
// devices placed first, the Corvane board (when listed), added devices placed last.
std::vector<CaptureDeviceInfo> ListCaptureDevices();

// A further capture device for tests (a webcam-like device without the
// register port), sending 16-bit frames of p_Geometry high byte first.
// Returns its id.
int AddCaptureDevice(const QString& p_sFriendlyName, const FrameGeometry& p_Geometry, bool p_bBeforeBoard);
// The same device sending p_Sample, byte for byte, as every sample (of any
// length, odd included), while its media type keeps announcing p_Geometry.
int AddCaptureDeviceWithSample(const QString& p_sFriendlyName, const FrameGeometry& p_Geometry,
                               const std::vector<uint8_t>& p_Sample, bool p_bBeforeBoard);
// The added device p_iId sends p_Sample (empty: rendered frames) from its
// next sample on, on the streams already open too.
void SetCaptureDeviceSample(int p_iId, const std::vector<uint8_t>& p_Sample);
void RemoveAddedCaptureDevices();

// The stream of one activated device. The geometry is fixed at activation,
// as a USB video device negotiates its format once; only an injected
// ChangedSampleSize fault changes it mid-stream. The Corvane board sends the
// sensor's acquisition buffer, except for the two-tap Z1641 (record 23):
// 2576 x 512, each line holding sensor lines 2j (even pixels) and 2j + 1 (odd
// pixels) of a 1288 x 1024 frame.
class CaptureStream
{
public:
    virtual ~CaptureStream() = default;

    virtual QString friendlyName() const = 0;
    virtual FrameGeometry geometry() const = 0;      // of the next sample
    virtual int strideBytes() const { return geometry().pitchBytes(); }
    virtual double framesPerSecond() const = 0;
    // The register port, or null for a device without one.
    virtual CorvaneBoard* propertyPort() const = 0;

    enum class SampleResult { Sample, NoSample, Lost };
    // Produces the next sample: stride x height bytes, each pixel high byte
    // first. NoSample while frames are stopped; Lost once the device is gone
    // (and for ever after on this stream).
    virtual SampleResult nextSample(std::vector<uint8_t>& p_Bytes) = 0;
    // True once the device went away; the stream delivers nothing more.
    virtual bool lost() const = 0;
};

// Opens the listed device p_iId; null when it is not listed (any longer) or
// an ActivationFailure fault hits this call.
std::shared_ptr<CaptureStream> ActivateCaptureDevice(int p_iId);

// Resets the Corvane board and removes added devices.
void ResetCaptureDevices();

} // namespace sim
