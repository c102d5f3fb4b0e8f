// The acquisition paths' calls into the board links, gathered in one place.
#pragma once

#include <cstddef>

class MainWindow;
class PvDevice;
class PvDeviceSerialPort;
class PvPipeline;
class PvPipelineEventSink;
class PvStream;
class PvDeviceInfo;

// Opens the Camera Link serial port the board answers on; 0 on success, else
// a reason in p_szMessage (p_uSize bytes).
int OpenCameraLinkSerialForAcquisition(MainWindow* p_pWindow, char* p_szMessage, size_t p_uSize);
// Closes the Camera Link serial port when one is open.
void CloseCameraLinkSerialForAcquisition();
// Sends a raw text over the Camera Link serial link; 0 = sent.
int SendCameraLinkTextForAcquisition(const char* p_szText);

// An FPGA register of the interface board (failures are shown and logged).
void SendFpgaRegisterForAcquisition(MainWindow* p_pWindow, int p_iAddress, int p_iValue);

// GigE Vision link operations (null or 0 results when the link is absent).
int GigEWidth(PvDevice* p_pDevice);
int GigEHeight(PvDevice* p_pDevice);
int SetGigESize(PvDevice* p_pDevice, int p_iWidth, int p_iHeight);
int SetGigEMono16(PvDevice* p_pDevice);
PvStream* OpenGigEStreamForAcquisition(const PvDeviceInfo* p_pInfo);
void SetupGigEDestination(PvDevice* p_pDevice, PvStream* p_pStream);
PvPipeline* CreateGigEPipelineForAcquisition(PvDevice* p_pDevice, PvStream* p_pStream);
// The frame sink that takes the pipeline's buffers into the raw frame and the pipeline.
PvPipelineEventSink* CreateGigEFrameSinkForAcquisition(MainWindow* p_pWindow);
void FreeGigEBuffersForAcquisition(MainWindow* p_pWindow);
void CloseGigESerialForAcquisition(PvDeviceSerialPort* p_pPort);
