// What tells the board kinds apart as data: names, how a connection is made and read back, the frame-rate dialect, the windowing family.
#pragma once

#include "app/digiboard_kind.h"

#include <vector>

class PvDeviceSerialPort;

// How a reconfiguration names the proxy to the board.
enum class ProxyNumbering {
    None,           // no proxy step
    CameraLink,     // parameter 27: the record, the Y1437P by the chosen rate
    Corvane,        // the capture opened, then parameter 16: the record less one
    Dunstel,        // parameter 27: the record less two
};

// Which geometry a windowing press computes.
enum class WindowingFamily { None, CameraLink, Dunstel };

// Where the board corrects its bad pixels itself, if it does.
enum class OnBoardBadPixels {
    None,             // only the program replaces them
    FpgaRegister,     // the interface board's FPGA register (Belmor+)
    StarRegister,     // the Camera Link star register, while the refresh runs (Arvex)
    ProcessingBoard,  // the USB3 processing board, while the refresh runs (Corvane)
};

// Where the board's own NUC correction is switched.
enum class OnBoardNuc {
    None,             // the board has none
    FpgaRegister,     // the interface board's FPGA register 6 (Arvex, Belmor+)
    ProcessingBoard,  // the USB3 processing board's parameter (Corvane)
};

struct FrameRateTraits
{
    bool Reconfigures = false;     // false: nothing is sent, the code stays 0
    ProxyNumbering Numbering = ProxyNumbering::None;
    bool WaitAfterProxy = false;   // the board needs a moment after the proxy number (Arvex)
    bool PixelFrequency = false;   // the pixel-clock parameter carries the frequency, no divider follows
    bool CKDIVHighBit = false;     // the divider word carries the record's high bit
    bool GSKChannel = false;       // the GSK channel is sent
    bool Options = false;          // the two option words are sent
    int SettleMs = 0;              // a plain sleep once every step ran
    // One board parameter as a reconfiguration sends it: 0 = sent. Null: nothing to send.
    int (*Write)(PvDeviceSerialPort* p_pGigEPort, int p_iId, int p_iValue) = nullptr;
};

// One step of the acquisition set-up the window runs over a link, in the
// kind's order (what each step does is the window's; its text and value are here).
enum class InitOp {
    Log,                  // Text as a log line
    OpenCommandPort,      // the command link opened unless it already is; a failure ends the set-up
    CameraFile,           // Text logged, the camera file chosen and the frame path given before the channel runs
    Prepare,              // the board set up for the proxy; a failure ends the set-up
    PrepareChannel,       // the same, the window's acquisition flags set once the transport opened
    AcquisitionNotEnded,  // the acquisition-ended flag cleared
    OrientationCells,     // the UpCol and UpRow cells set to 1
    DriverDone,           // the set-up flag raised
    StreamAllowed,        // the stop flag cleared
    Geometry,             // the geometry read from the link
    OperatorProxyName,    // the acquisition's proxy name: the one the operator chose
    ModelProxyName,       // the acquisition's proxy name: the proxy record's model
    LogProxyName,         // Text followed by the acquisition's proxy name
    LogSizes,             // the three size lines
    BadSizeEnds,          // no usable size: logged, torn down, the set-up ends
    Pointers,             // the frame buffers
    Matrices,             // the working images
    Overlay,              // the view's overlay for the pitch and height
    ViewFrameSize,        // the view's frame size
    FrameCounter,         // the frame counter set to Value
    WaitMs,               // Value milliseconds of events
};

struct InitStep
{
    InitOp Op = InitOp::Log;
    const char* Text = nullptr;
    int Value = 0;
};

struct BoardTraits
{
    BoardKind Kind = BoardKind::None;
    const char* Name = "";           // as a refusal names the board
    const char* DatasheetName = "";  // the datasheet file prefix (empty: any file)
    // ---- Connection --------------------------------------------------------------
    bool ConnectsOnPress = false;        // the connection attempt opens a command link (Eskra has its own path)
    bool CameraLinkPort = false;         // the command link is the Camera Link serial port
    bool OperatorChoosesProxy = false;   // the proxy selector, nothing asked of the board (Belmor)
    bool PortToToolWindows = false;      // the command port is handed to the tool windows (Dunstel), and taken back at the tear-down
    bool KeepsPortForWindowing = false;  // a windowing restart keeps the command link and the TwoTap choice open (Camera Link)
    // ---- Identification --------------------------------------------------------------
    bool AskedForConfiguration = false;  // identify() is asked once connected
    bool LogsConfiguration = false;      // "<Name> sent the following configuration: ..."
    bool ReportsTwoTap = false;          // the Y1437P at 120 FPS runs two taps
    bool DisablesPanelsWithoutProxy = false;  // no proxy on the board: the parameter panels are disabled
    // ---- Set-up ------------------------------------------------------------------------
    int CKDIVStartCell = -1;             // the record's default clock divider start; -1: none
    WindowingFamily Windowing = WindowingFamily::None;
    OnBoardBadPixels BadPixels = OnBoardBadPixels::None;
    OnBoardNuc Nuc = OnBoardNuc::None;
    FrameRateTraits FrameRate;
    // ---- Acquisition life cycle ------------------------------------------------------
    std::vector<InitStep> InitSteps;      // the set-up before a first start
    bool DeinitOnPrepareFailure = false;  // a set-up the board refused tears the connection down
};

// The traits of a kind; an unknown value gives those of None.
const BoardTraits& BoardTraitsOf(BoardKind p_Kind);
