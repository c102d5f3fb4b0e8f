// Reading the frame geometry out of a frame-grabber camera file.
#pragma once

#include <QString>

struct CameraFileGeometry
{
    int activePixels = 0;   // "Hactive_Px = N;"
    int activeLines = 0;    // "Vactive_Ln = N;"
};

// Reads p_sPath, opened as given ("/" separators). False when the file does not open or
// lacks a positive Hactive_Px or Vactive_Ln value; p_pError then says why.
bool ReadCameraFile(const QString& p_sPath, CameraFileGeometry* p_pGeometry, QString* p_pError);
