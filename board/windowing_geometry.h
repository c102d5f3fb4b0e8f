// Sensor windowing arithmetic: window corners per mode and board, the minimum-size test, TINT, the SerData word and the windowing window's presets.
#pragma once

#include "app/digiboard_kind.h"

#include <QString>

#include <cstdint>

// The four corners of a window, inclusive, in sensor pixels (X in units of
// the windowing divisor on the boards that take it so).
struct WindowCorners
{
    uint32_t XFirst = 0;
    uint32_t XLast = 0;
    uint32_t YFirst = 0;
    uint32_t YLast = 0;
};

enum class WindowSizeError {
    None,
    TooNarrowY,   // "Change windowing Y parameter: minimum window size."
    TooNarrowX,   // "Change windowing X parameter: minimum window size."
};

// What one set-window press works out for the current record. Nothing is
// written here: ApplyWindowingToRecord stores the cells.
struct WindowingPlan
{
    bool Computed = false;        // false: the board kind has no window geometry (Eskra, Corvane, none)
    int Mode = 0;                 // 0 user window, 1 size A, 2 size B, 3 full frame
    bool WindowingDisabled = true; // the ordinary camera file is loaded, not the windowing one
    // The corner spin boxes after the press.
    WindowCorners SpinCorners;
    // Cells 221, 226, 231, 236 (XFirst, XLast, YFirst, YLast).
    WindowCorners CellCorners;
    // spinBox_AcqX / spinBox_AcqY; SetAcqSpinBoxes false leaves them as they are.
    bool SetAcqSpinBoxes = true;
    int AcqX = 0;
    int AcqY = 0;
    // Cells 160 and 165.
    uint32_t CellAcqX = 0;
    uint32_t CellAcqY = 0;
    // The user-window cells 255, 259, 265, 269, written in mode 0 only.
    bool WriteUserCells = false;
    uint32_t UserLastColumn = 0;
    uint32_t UserRows = 0;
    uint32_t UserLineWidth = 0;
    uint32_t UserAcqRows = 0;
    // The camera file's geometry and the acquisition size the board is given.
    uint32_t Hactive = 0;
    uint32_t Vactive = 0;
    uint32_t WindowingAcqX = 0;
    uint32_t WindowingAcqY = 0;
    WindowSizeError Error = WindowSizeError::None;
    // A user window whose first corner lies after its last one: refused as
    // below the minimum size (its unsigned difference would pass the test).
    bool Inverted = false;
};

// The mode of a press from the SizeA / SizeB cells 238 and 239.
int WindowingMode(uint32_t p_uSizeA, uint32_t p_uSizeB);

// The press's geometry for record p_iRecord on board kind p_Kind (a
// BoardKind code), with the corner spin boxes as the operator left them.
// Reads the parameter table, writes nothing.
WindowingPlan ComputeWindowingPlan(int p_iRecord, BoardKind p_Kind, int p_iMode, const WindowCorners& p_UserCorners);

// Stores the plan's cells (221, 226, 231, 236, 160, 165 and, in mode 0, 255,
// 259, 265, 269) in the current halves of record p_iRecord.
void ApplyWindowingToRecord(int p_iRecord, const WindowingPlan& p_Plan);

// The message box text of a size error; empty for None.
QString WindowSizeErrorText(WindowSizeError p_Error);

// The integration time after a press: cell 160 / divisor - 20, never below
// p_iMinimum (a narrow window would make the difference negative).
int WindowingTint(uint32_t p_uCellAcqX, uint32_t p_uDivisor, int p_iMinimum);

// The register bits of the SerData word (each 0 or 1).
struct SerDataBits
{
    uint32_t SizeA = 0, SizeB = 0, UpCol = 0, UpRow = 0;
    uint32_t Gain0 = 0, Gain1 = 0, Gain2 = 0, DACFilter = 0;
};
// The 7-bit SerData word (BoardRegisterId 4). p_bCompactLayout (cell 243 != 0):
// bit 0 UpCol, 1 UpRow, 4-6 Gain0-2; otherwise bit 0 SizeB, 1 SizeA, 2 UpRow,
// 3 UpCol, 4 Gain0, 5 Gain1, 6 DACFilter.
uint32_t SerDataWord(bool p_bCompactLayout, const SerDataBits& p_Bits);

// ---- The windowing window ------------------------------------------------------

// Window sizes the windowing window lets the operator set: 160..1024 x 120..1024.
bool WindowSizeAllowed(uint32_t p_uWidth, uint32_t p_uHeight);

enum class PresetResult {
    Applied,    // p_pCorners holds the preset
    TooSmall,   // the sensor is smaller than the preset: corners unchanged
    NotPreset,  // "User defined" or any other text: corners unchanged
};
// "QVGA centered" (320 x 240) or "VGA centered" (640 x 480) centred on a
// p_uSensorWidth x p_uSensorHeight sensor.
PresetResult PresetWindow(const QString& p_sPreset, uint32_t p_uSensorWidth, uint32_t p_uSensorHeight,
                          WindowCorners* p_pCorners);

// The first and last corner along one side for a window size the operator
// typed: the first corner stays and the last follows, unless the window would
// pass the sensor's edge (0 .. p_uSensorSide - 1), when it is moved back inside.
// A size beyond the sensor is the sensor's side.
struct TypedSizeCorners
{
    uint32_t First = 0;
    uint32_t Last = 0;
};
TypedSizeCorners CornersForTypedSize(uint32_t p_uFirst, uint32_t p_uSize, uint32_t p_uSensorSide);

// The frame rate a window allows: image area x current rate / window area, in
// 32 bits, kept to 16; 0 when any input is 0.
uint16_t EstimatedWindowFrameRate(uint32_t p_uImageWidth, uint32_t p_uImageHeight, uint32_t p_uFrameRate,
                                  uint32_t p_uWindowWidth, uint32_t p_uWindowHeight);
// The largest integration time of a window: width / divisor - 13, 0 at least.
int WindowTintMaximum(uint32_t p_uWindowWidth, uint32_t p_uDivisor);

// The windowing window's proxy models (the only ones it lets the operator window).
bool WindowingWindowModel(const QString& p_sProxyName);

// The BoardRegisterId of a DAC channel code (2 A, 3 B, 12 C, 13 D); -1 for any other code.
int WindowingDacRegister(uint32_t p_uCode);
