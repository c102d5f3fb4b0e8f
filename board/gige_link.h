// The GigE Vision board link (Dunstel): device choice, connection, UART bridge, stream, pipeline and frame callback.
#pragma once

#include "pipeline/frame_sink.h"
#include "platform/ebus/ebus.h"

#include <QString>

#include <atomic>
#include <list>

// ---- Connection, stream and features (GUI thread) --------------------------------

// Runs the device finder modally; the chosen device, or null (cancelled or no finder).
const PvDeviceInfo* SelectGigEDevice(PvDeviceFinderWnd* p_pFinder);
PvDevice* ConnectGigEDevice(const PvDeviceInfo* p_pInfo);
// Sets bulk channel 0 up as a 9600-baud UART and opens the port on it; null on failure.
PvDeviceSerialPort* OpenGigESerial(PvDevice* p_pDevice);
void CloseGigESerial(PvDeviceSerialPort* p_pPort);
PvStream* OpenGigEStream(const PvDeviceInfo* p_pInfo);
void SetupGigEStreamDestination(PvDevice* p_pDevice, PvStream* p_pStream);
// 16 buffers of the device's payload size.
PvPipeline* CreateGigEPipeline(PvDevice* p_pDevice, PvStream* p_pStream);
void FreeGigEBufferList(std::list<PvBuffer*>& p_List);

int GetGigEWidth(PvDevice* p_pDevice);
int GetGigEHeight(PvDevice* p_pDevice);
// 0 on success, 1 on failure (logged).
int SetGigEWidth(int p_iWidth, PvDevice* p_pDevice);
int SetGigEHeight(int p_iHeight, PvDevice* p_pDevice);
int SetGigEPixelFormat(PvDevice* p_pDevice, const char* p_szFormat);

// Logs and shows a recognised PvResult code (see the table in the source);
// any other code, OK included, does nothing.
void ShowPvResultError(PvResult p_Result, QString p_sTitle);

// ---- UART commands --------------------------------------------------------------

// The register letter of the GigE board for a BoardRegisterId, or 0 when it has none.
char GigERegisterLetter(int p_iId);
// "!" + letter + "%04d" + "\n\r"; empty when the id has no letter.
QByteArray FormatGigECommand(int p_iId, int p_iValue);

// The register encoder of the board: 0 = sent (after a 120 ms wait), 1 = not
// sent (no letter, silently; or a failed write, logged).
int SendGigECommand(PvDeviceSerialPort* p_pPort, int p_iId, int p_iValue);
// Flushes the receive side, then writes the text's bytes; whether the write succeeded.
bool FlushAndSendGigE(PvDeviceSerialPort* p_pPort, const char* p_szText);
// Up to 100 bytes within 1000 ms; true on a time-out (logged).
bool ReadGigESerial(PvDeviceSerialPort* p_pPort, unsigned char* p_pBuffer);
// Up to 1000 bytes within 1 ms; true on a time-out or without a port.
bool ReadGigESerialRaw(PvDeviceSerialPort* p_pPort, unsigned char* p_pBuffer);

// ---- Frame callback (pipeline thread) ---------------------------------------------

// Copies one delivered buffer (p_uAcquired bytes received into a buffer of
// p_uCapacity) into p_pRaw, which holds p_iHeight x p_iPitch / 2 pixels. Only
// a buffer holding exactly one frame of that geometry, little-endian 16-bit
// pixels, is taken; for any other the result is false and nothing is written.
bool CopyGigEFrame(const uint8_t* p_pData, uint32_t p_uAcquired, uint32_t p_uCapacity, int p_iHeight, int p_iPitch,
                   unsigned short* p_pRaw);

// Save-all-frames counters of the GigE path; 0 at program start, never reset
// by a new connection. Only the pipeline thread writes them (through the
// frame hand-off of the pipeline).
extern std::atomic<int> GigESaveImageIndex;
extern std::atomic<int> GigESaveFrameCount;

// The pipeline's sink: takes each whole frame of the sink's geometry into the
// sink's buffer and offers it to the sink. A buffer that does not hold exactly one
// frame of the current geometry (a geometry change under way, a short
// transfer) is dropped and counted, so the display never shows a torn or
// shifted frame. A frame the sink would drop unread (a busy display, no series
// recording) is handed back to the pipeline uncopied and offered as unread.
class GigEFrameSink : public PvPipelineEventSink
{
public:
    explicit GigEFrameSink(FrameSink& p_Sink) : m_Sink(p_Sink) {}
    void OnBufferReady(PvPipeline* p_pPipeline) override;

    int droppedFrames() const { return m_iDropped.load(); }

private:
    FrameSink& m_Sink;
    std::atomic<int> m_iDropped{0};
};
