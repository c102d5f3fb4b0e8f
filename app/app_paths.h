// The application folder, from which every relative folder is reached.
#pragma once

#include <QString>

// The folder of the running executable, without a trailing "/". Tests point
// it at a staged temporary tree so that nothing writes into the build tree.
QString ApplicationDirPath();

// Overrides ApplicationDirPath(); an empty path restores the executable's folder.
void SetApplicationDirPathOverride(const QString& p_sPath);
