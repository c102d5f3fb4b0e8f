// How the connection code reaches main-window steps that live in other files (acquisition start and stop, tool windows).
#pragma once

class QObject;

// Runs the main-window slot p_szSlot() when the window has one; false when not.
bool InvokeSlotIfPresent(QObject* p_pObject, const char* p_szSlot);
// The same for a slot taking two ints.
bool InvokeSlotIfPresent(QObject* p_pObject, const char* p_szSlot, int p_iFirst, int p_iSecond);
// MainWindow::Init(bool*): *p_pbFailed is its result. False when no Init exists.
bool InvokeInitIfPresent(QObject* p_pObject, bool* p_pbWindowingDisabled, bool* p_pbFailed);
