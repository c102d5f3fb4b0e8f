// The Camera Link serial link: finding the port the board answers on, raw texts out, replies in.
#pragma once

#include <QString>

#include <cstddef>

class KV_Log;

// 0-based index of the port that answered the last port selection (the last
// port tried when none did); the frame-grabber channel uses it as its driver index.
extern int g_iCameraLinkPortIndex;

// Size of the error-message buffer that the port selection fills.
constexpr size_t CameraLinkMessageBufferSize = 1000;
// Longest raw text SendCameraLinkText takes (its buffer holds 50 bytes).
constexpr int CameraLinkTextMaxLength = 49;
// Longest reply ReadCameraLinkSerial gathers (its buffer holds 3000 bytes).
constexpr int CameraLinkReplyMaxLength = 2999;
// Failure status of SendCameraLinkText for a text that is too long.
constexpr int CameraLinkTextRefused = -2;
// Error code of the last port's probe when nothing answered.
constexpr int CameraLinkProbeUnanswered = 128;

// Probes the ports in index order with "v" and keeps the first one that answers
// open at 9600 baud in g_hCameraLinkSerial. 0 on success, 1 on failure with an
// error text in p_szMessage (p_uMessageSize bytes, terminator included).
// Lines go to p_pLog (GlobalLog when null).
int SelectCameraLinkPort(KV_Log* p_pLog, char* p_szMessage, size_t p_uMessageSize);

// Closes g_hCameraLinkSerial when one is open and clears it; a closed link is
// left alone, so the handle is never closed twice.
void CloseCameraLinkSerial();

// Sends a raw text unchanged after draining pending input. Returns the write
// status (0 = sent); a text longer than 49 characters is refused with
// CameraLinkTextRefused and a log line, nothing is sent.
int SendCameraLinkText(const char* p_szText);

// Everything the board has sent, up to the first zero byte or byte above 127.
// Gathers at most 2999 bytes; the rest stays pending for the next call. With
// p_bLog the last piece read goes to the log as "Read: " + piece.
QString ReadCameraLinkSerial(bool p_bLog);
