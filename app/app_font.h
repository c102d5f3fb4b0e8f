// The application font, chosen by family and pixel size for the main form's absolute layout.
#pragma once

#include <QFont>

// "DejaVu Sans Condensed" at a fixed pixel size: the form's rectangles were
// drawn for a small dialog font, and a size in pixels does not follow the
// screen's DPI, so every caption fits the same everywhere. fontconfig supplies
// the family (Debian's fonts-dejavu-core); a missing one falls back to a sans-serif.
QFont ApplicationFont();

// Sets ApplicationFont() on the running QApplication.
void ApplyApplicationFont();
