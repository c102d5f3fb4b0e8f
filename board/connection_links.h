// How the connection code reaches board links and main-window steps that live in other files, and what it does when one is missing.
#pragma once

#include <QByteArray>

#include <functional>

class QObject;

// Calls into board links whose code is not part of the connection files. An
// empty member makes the caller take the fallback named beside it (logged).
struct ConnectionLinks
{
    // Dunstel, GigE Vision link. Empty: the connection reports 0x8 (nothing chosen).
    std::function<bool()> SelectGigEDevice;   // true: a device was chosen
    std::function<bool()> ConnectGigEDevice;  // true: connected
    std::function<bool()> OpenGigESerial;     // true: the serial bridge is open
    // FlushAndSendGigE / ReadGigESerial over the bridge. Empty: nothing read.
    std::function<bool(const char*)> GigESendText;
    std::function<QByteArray()> GigEReadReply;
    // SendGigECommand(port, id, value), 0 = sent. Empty: the write fails.
    std::function<int(int, int)> SendGigECommand;
    // SetCorvaneParameter(id, value, true), 0 = sent. Empty: the library's
    // setParameter directly (a negative status is a failure).
    std::function<int(int, int)> SetCorvaneParameter;
};

// Runs the main-window slot p_szSlot() when the window has one; false when not.
bool InvokeSlotIfPresent(QObject* p_pObject, const char* p_szSlot);
// The same for a slot taking two ints.
bool InvokeSlotIfPresent(QObject* p_pObject, const char* p_szSlot, int p_iFirst, int p_iSecond);
// MainWindow::Init(bool*): *p_pbFailed is its result. False when no Init exists.
bool InvokeInitIfPresent(QObject* p_pObject, bool* p_pbWindowingDisabled, bool* p_pbFailed);
