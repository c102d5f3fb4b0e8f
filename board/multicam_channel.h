// The Camera Link frame-grabber channel: camera file choice, channel set-up and the frame callback.
#pragma once

#include "pipeline/correction_chain.h"
#include "platform/multicam/multicam.h"

#include <QString>

#include <cstddef>

// Size of the error text buffer InitializeMultiCam fills.
constexpr size_t MultiCamMessageBufferSize = 1000;

// The camera file of a proxy below p_sApplicationDir, with "/" separators.
QString CameraFilePath(const QString& p_sApplicationDir, const QString& p_sProxyName, bool p_bWindowingDisabled,
                       bool p_bTwoTap);

class CameraLinkLink;

// Opens the driver and sets up, activates and registers the one channel, whose
// signals go to p_pLink (none when null); the frame geometry goes into
// *p_pGeometry. 0 on success, -1 on failure with
// the failing step's text in p_szMessage (MultiCamMessageBufferSize bytes);
// the channel is then deleted. A geometry the frame buffers cannot serve
// (zero, or a side above CameraLinkMaxFrameSide, or a pitch below two bytes
// per pixel) fails too.
int InitializeMultiCam(QString p_sProxyName, bool* p_pWindowingDisabled, char* p_szMessage, bool p_bTwoTap,
                       CameraLinkLink* p_pLink, FrameGeometry* p_pGeometry);

// Idles and deletes the channel when one exists, then closes the driver.
void CloseMultiCamChannel();

// The channel's signal callback: hands the signal to the link registered with it; grabber thread.
void MultiCamCallback(PMCSIGNALINFO p_pSignalInfo);
