// The video processing-amplifier interface of a capture device.
#pragma once

#include "platform/mediacapture/com_base.h"

extern const IID IID_IAMVideoProcAmp;

enum VideoProcAmpProperty : LONG {
    VideoProcAmp_Brightness = 0,
    VideoProcAmp_Contrast = 1,
    VideoProcAmp_Hue = 2,
    VideoProcAmp_Saturation = 3,
    VideoProcAmp_Sharpness = 4,
    VideoProcAmp_Gamma = 5,
    VideoProcAmp_ColorEnable = 6,
    VideoProcAmp_WhiteBalance = 7,
    VideoProcAmp_BacklightCompensation = 8,
    VideoProcAmp_Gain = 9,
};

enum VideoProcAmpFlags : LONG {
    VideoProcAmp_Flags_Auto = 1,
    VideoProcAmp_Flags_Manual = 2,
};

// LONG is 32 bits, as the device's property values are.
// Obtained from a media source with QueryInterface(IID_IAMVideoProcAmp).
// A property the device does not implement answers E_PROP_ID_UNSUPPORTED;
// a device that went away answers MF_E_VIDEO_RECORDING_DEVICE_INVALIDATED,
// a shut-down source MF_E_SHUTDOWN. Get's and GetRange's output pointers may be null.
class IAMVideoProcAmp : public IUnknown
{
public:
    virtual HRESULT GetRange(LONG p_Property, LONG* p_pMin, LONG* p_pMax, LONG* p_pSteppingDelta,
                             LONG* p_pDefault, LONG* p_pCapsFlags) = 0;
    virtual HRESULT Set(LONG p_Property, LONG p_lValue, LONG p_Flags) = 0;
    virtual HRESULT Get(LONG p_Property, LONG* p_lValue, LONG* p_Flags) = 0;
};
