// How the connection code reaches main-window steps that live in other files (small main-window services that may not exist yet).
#pragma once

class QObject;

// Runs the main-window slot p_szSlot() when the window has one; false when not.
bool InvokeSlotIfPresent(QObject* p_pObject, const char* p_szSlot);
