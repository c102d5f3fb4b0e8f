// What tells the board kinds apart as data: names, how a connection is made and read back, the frame-rate dialect, the windowing family.
#pragma once

#include "app/digiboard_kind.h"
#include "board/links/board_mode_commands.h"
#include "pipeline/correction_path.h"

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

// Which of the no-frame watchdog's rules watches the stream.
enum class NoFrameWatchdog {
    None,                  // never watched
    Disconnects,           // ten silent seconds, then the disconnection (Dunstel, Eskra)
    WarnsThenDisconnects,  // a warning box at the fourth silent second, the disconnection from the tenth (Corvane)
};

// Which registers a windowing press writes once the geometry is computed.
enum class WindowingWrites {
    None,        // none: the camera file or the restart carries the window
    Corners,     // the corners, then the SerData word, through the Camera Link port (Belmor+)
    GigEBridge,  // TINT, the windowing DACs, the acquisition size, the corners and the voltages (Dunstel)
};

// How a windowing press restarts the stream.
enum class WindowingRestart {
    Press,          // the main button pressed
    StopThenPress,  // the stream stopped, then the main button pressed (Dunstel)
    Reconnect,      // the full restart through the windowing request, which loads the new camera file (Arvex, Belmor)
};

// Where a loaded bad-pixel map goes.
enum class BadPixelMapLoad {
    None,            // nowhere
    SoftwareLists,   // the program's four lists
    Upload,          // pixel by pixel to the board
    ListsOrUpload,   // the lists while the program's correction is on, else the upload (Corvane)
};

// Who saves the frames of a "Save all frames" series.
enum class FrameSeriesSaving {
    Loop,             // the acquisition loop, from the frame it holds
    LoopFromDisplay,  // the acquisition loop, from copies the display step takes of each frame (Belmor)
    FrameCallback,    // the link's frame callback itself (Arvex, Belmor+)
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

// One step of the stream start the window runs over a link, in the kind's order.
enum class StartOp {
    Log,                     // Text as a log line
    DisplayFree,             // no frame pending, the display free
    StreamAllowed,           // the stop flag cleared
    FrameCounter,            // the frame counter set to Value
    ClearFrameCounts,        // the received and displayed counts cleared
    NewFramePath,            // a frame path for the link's rules
    FramePathIfNone,         // the same unless the set-up already gave one
    Start,                   // the link started towards the path
    StartMarksStream,        // the same; once it streams the stream is marked started
    OneSecondTimer,          // the statistics timer
    GainOffsetTimer,         // the gain/offset refresh timer
    GainOffsetUnlessSoftwareNuc,  // the same unless the program corrects the NUC
    StartButton,             // the main button enabled
    FpgaNucOn,               // the FPGA NUC on, the image offset and gain cells from the spin boxes
    SendText,                // Text to the board
    WindowingRegisters,      // unless windowing is off: the TINT range and the sensor registers from the spin boxes
    WaitMs,                  // Value milliseconds of events
    EndUnlessConnected,      // a disconnection meanwhile ends the start
    WaitWhileStreaming,      // events until stopped, the counter at -1 or disconnected
    SaveFramesUntilStopped,  // the frame-saving loop; a lost channel is reported and torn down
    PumpUntilStopped,        // events and the link's pump until stopped
};

struct StartStep
{
    StartOp Op = StartOp::Log;
    const char* Text = nullptr;
    int Value = 0;
};

// One step of the "Start" press the window runs over a link, in the kind's order.
enum class PressOp {
    Log,                  // Text as a log line
    Console,              // Text on the console
    ConsoleDriverDone,    // the set-up flag on the console
    PortToToolWindows,    // the command port handed to the tool windows
    PrepareStream,        // the board set up for the proxy; a refusal ends the press (a refused size the connection)
    InitDriver,           // Init unless already done (InitDriverTraits); a failure ends the press
    WaitMs,               // Value milliseconds of events
    EndIfOvertaken,       // the press ends when the board was torn down meanwhile
    TwoTapLocked,         // the TwoTap box disabled
    SetParametersOn,      // the "Set parameters" button enabled
    AgcCellOff,           // the AGC cell at 0
    NucOffered,           // the NUC box enabled
    NucApplied,           // the NUC box checked
    SoftwareBPOffered,    // the software bad-pixel action enabled
    AgcOffered,           // the AGC box enabled, unchecked
    AgcWithdrawn,         // the AGC box disabled, unchecked
    DriverDone,           // the set-up flag raised
    DisplayWaits,         // stopped, the display busy, no frame pending
    StreamAllowed,        // the stop flag cleared
    FrameCounter,         // the frame counter set to Value
    NoFrameSecondsReset,  // the silent seconds back to 0
    StopCaption,          // the main button reads "Safe\ndisconnection"
    SetupDestination,     // the link's stream destination set up
    Stream,               // Getinterruption
    Deinit,               // the tear-down
    StartButtonOn,        // the main button enabled
    ViewOn,               // the view enabled
    UnmountAfterSilence,  // frames came or the silence was short: torn down at once; else the driver's unmount awaited first
};

struct PressStep
{
    PressOp Op = PressOp::Log;
    const char* Text = nullptr;
    int Value = 0;
};

// How a "Start" press runs Init.
struct InitDriverTraits
{
    bool ForcesWindowingOff = false;     // windowing switched off for good before Init
    bool FailureReenablesStart = false;  // the connection stays: the operator may press again
    bool ChecksOvertaken = false;        // a board torn down during Init ends the press
    bool MarksDone = false;              // the set-up flag raised after Init
    const char* Before = nullptr;        // logged before Init
    const char* After = nullptr;         // logged after it
    const char* AlreadyLog = nullptr;    // logged when Init ran earlier
    const char* AlreadyConsole = nullptr;  // on the console when Init ran earlier
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
    bool BPOffsetWindow = false;          // the BP offset window opens once streaming
    bool ReadsBPOffset = true;            // the BP offset file is read at the start
    std::vector<StartStep> StartSteps;    // the stream start after the common display set-up
    std::vector<PressStep> PressSteps;    // the "Start" press around Init and the stream
    InitDriverTraits PressInit;
    // ---- Commands and frame path ----
    bool OnePressStreams = false;         // one "Start" press connects, initialises and streams (Eskra)
    bool DisconnectStopsStream = false;   // a disconnect press only stops the stream: the start sequence under it tears down (Dunstel)
    bool QuietLinkFailure = false;        // a command link that failed to open is left to the link's own report: no serial-communication box (Corvane)
    bool ReportsNoFrameRate = false;      // the connection takes 255 as the frame rate: the board reports none (Belmor)
    bool OffersTwoTap = false;            // the TwoTap box enabled once connected (Belmor+)
    bool RegistersBetweenFrames = false;  // "Set parameters" writes only between two frames, the press pending until then (Eskra)
    bool ParameterFailureBox = false;     // a failed "Set parameters" write also names its parameter in a box (Corvane)
    bool TintInMicroseconds = false;      // TINT is sent in microseconds whatever the record's TINTInLines (Eskra)
    bool ClockInvertBit11 = false;        // the pixel-clock inversion is bit 11 on every record (Corvane)
    bool FpgaClockMode = false;           // a clock word the board took is followed by the record's FPGA clock mode (Camera Link)
    bool WindowingReinit = false;         // a windowing press loads the new camera file by a new Init (Belmor+)
    WindowingWrites WindowingRegisters = WindowingWrites::None;
    WindowingRestart WindowingRestarts = WindowingRestart::Press;
    BadPixelMapLoad BadPixelMap = BadPixelMapLoad::None;
    bool LeavesSensorSafe = false;        // the tear-down writes the safe sensor registers first
    bool KeepsImageBoxes = false;         // the HDR and InvertBW boxes stay checked through the tear-down (Arvex)
    bool BoardGainOffset = false;         // the refresh tick sends the image gain and offset to the board
    bool GainInSoftware = false;          // the gain slider's value is applied by the program at once, NUC or not
    bool OffsetAsIs = false;              // the offset slider's value is stored as it is (unless halved below)
    bool OffsetHalvedWithSoftwareNuc = false;  // with the program's NUC the offset is stored halved
    CorrectionPath Correction = CorrectionPath::None;  // the frames' path unless the program corrects the NUC
    NoFrameWatchdog Watchdog = NoFrameWatchdog::None;
    bool BandwidthFromDevice = false;     // the bandwidth label shows the device's own figure (Dunstel)
    bool DeliversOnWindowThread = false;  // frames are delivered on the window's thread (Eskra)
    FrameSeriesSaving SeriesSaving = FrameSeriesSaving::Loop;
    // ---- Form and board modes ----
    HdrModeBuilder HdrMode = BoardModes::HdrNothing;           // what the HDR box stores and sends
    InvertBWModeBuilder InvertBWMode = BoardModes::InvertBWStoreWithSoftwareNuc;  // what the inversion box stores and sends
    FpnModeBuilder FpnMode = BoardModes::FpnSoftware;          // what switching the FPN correction sends
    bool FormFlipsFromAltDefaults = false;     // the form's flip boxes start from the record's alternative flip defaults
    bool DefaultButtonUsesAltFlips = false;    // "Set default" takes the flips from the alternative flip defaults
    bool FirstStartDropsCKDIVHighBit = false;  // a first start's frame rate clears the record's CKDIV high bit
    bool RateDividerDropsCKDIVHighBit = false; // the divider a frame-rate choice shows clears the record's high bit first
    bool RateDividerFromStartCell = false;     // a rate neither listed nor custom shows the record's start divider
    bool OneProxyOnly = false;                 // the board carries one proxy: the form makes its record current and says so
    // The kind's form rules leave the record's image-gain, bad-pixel-mode and two-tap cells alone.
    bool KeepsRecordCells = false;
    bool ImageSpinBoxesWithoutArrows = false;  // the image gain and offset spin boxes show no arrows
    // The board corrects the image itself: no AGC, the NUC in hardware, the FPN
    // reference button, the divider locked, two taps on records 7 and 12 only.
    bool EmbeddedProcessing = false;
    bool OperatorSwitchesNuc = false;          // the operator may switch the NUC between hardware and software
    bool AverageFpnAtStart = false;            // the averaged FPN box starts checked
    bool WindowingCellsKept = false;           // the form only hides the windowing controls, their record cells stay
    bool WindowingConfiguration = false;       // the windowing configuration window and the windowing box are offered
    bool ShutterKeyTakesBoardReference = false; // the S key (form or demo window) has the board take its own reference ("!s") instead of the program's
    bool ShutterKeyOnWidgets = false;          // the S key pressed on a watched widget counts as the shutter key
};

// The traits of a kind; an unknown value gives those of None.
const BoardTraits& BoardTraitsOf(BoardKind p_Kind);
