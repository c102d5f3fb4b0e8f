// The transport state of the GigE Vision link (Dunstel): the device, its UART bridge, the stream and its pipeline.
#pragma once

#include <cstdint>
#include <list>

class BoardLink;
class PvBuffer;
class PvDevice;
class PvDeviceInfo;
class PvDeviceSerialPort;
class PvGenCommand;
class PvGenParameter;
class PvGenParameterArray;
class PvPipeline;
class PvPipelineEventSink;
class PvStream;

// Owned by the link; each pointer is null while its object does not exist.
struct GigELinkState
{
    // The device chosen in the device finder.
    const PvDeviceInfo* DeviceInfo = nullptr;
    PvDevice* Device = nullptr;
    PvDeviceSerialPort* SerialPort = nullptr;
    PvGenCommand* AcquisitionStartCommand = nullptr;
    PvGenCommand* AcquisitionStopCommand = nullptr;
    PvGenParameter* BandwidthParameter = nullptr;
    PvGenParameter* AcquisitionRateParameter = nullptr;
    PvGenParameterArray* DeviceParameters = nullptr;
    PvGenParameterArray* StreamParameters = nullptr;
    PvPipeline* Pipeline = nullptr;
    PvPipelineEventSink* EventSink = nullptr;
    PvStream* Stream = nullptr;
    uint32_t LinkWords[3] = {0, 0, 0};
    // The pipeline allocates its own buffers; this list stays for the
    // tear-down's "free the buffer list" step and is normally empty.
    std::list<PvBuffer*> BufferList;
    // The pipeline was started (the tear-down then sends AcquisitionStop).
    bool StreamStarted = false;
};

// The state of a GigE link (p_rLink must be one).
GigELinkState& GigELinkStateOf(BoardLink& p_rLink);
