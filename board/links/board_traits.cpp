// What tells the board kinds apart as data, one row per kind.
#include "board/links/board_traits.h"

#include "board/cameralink_commands.h"
#include "board/corvane_writer.h"
#include "board/gige_link.h"
#include "params/proxy_parameter_ids.h"

namespace {

int WriteBang(PvDeviceSerialPort*, int p_iId, int p_iValue)
{
    return SendCameraLinkCommand(p_iId, p_iValue, false);
}

int WriteStar(PvDeviceSerialPort*, int p_iId, int p_iValue)
{
    return SendCameraLinkCommandStar(p_iId, p_iValue, false);
}

int WriteCorvane(PvDeviceSerialPort*, int p_iId, int p_iValue)
{
    return SetCorvaneParameter(p_iId, p_iValue, true);
}

int WriteGigE(PvDeviceSerialPort* p_pGigEPort, int p_iId, int p_iValue)
{
    return SendGigECommand(p_pGigEPort, p_iId, p_iValue);
}

// The Camera Link set-up: its serial port, the channel built for the camera
// file with the frame path already in place, then the geometry it streams.
std::vector<InitStep> CameraLinkInitSteps()
{
    return {{InitOp::Log, "***** Belmor+ initializing *****"},
            {InitOp::OpenCommandPort},
            {InitOp::CameraFile, "Multicam initialization with Camfile"},
            {InitOp::PrepareChannel},
            {InitOp::Geometry},
            {InitOp::OperatorProxyName},
            {InitOp::LogProxyName, "Proxy "},
            {InitOp::LogSizes},
            {InitOp::OrientationCells},
            {InitOp::Pointers},
            {InitOp::Matrices},
            {InitOp::Overlay},
            {InitOp::ViewFrameSize},
            {InitOp::FrameCounter, nullptr, 0}};
}

// The Camera Link start: the channel already streams into its path; the
// sensor set up from the window, then the frame-saving loop until the stop.
std::vector<StartStep> CameraLinkStartSteps(std::vector<StartStep> p_Refresh)
{
    std::vector<StartStep> steps = {{StartOp::FramePathIfNone}, {StartOp::Start}};
    steps.insert(steps.end(), p_Refresh.begin(), p_Refresh.end());
    // The disconnection is offered once the start's own writes are through:
    // pressed while one waits for its reply, it would close the port under the
    // next.
    const std::vector<StartStep> rest = {{StartOp::StartButton},
                                         {StartOp::Log, "Start Image display update timer"},
                                         {StartOp::OneSecondTimer},
                                         {StartOp::WindowingRegisters},
                                         {StartOp::Log, "Start display"},
                                         {StartOp::WaitMs, nullptr, 100},
                                         // A disconnect press handled in the waits above has run Deinit already:
                                         // clearing the stop flag now would stream from a deleted channel.
                                         {StartOp::EndUnlessConnected},
                                         {StartOp::FrameCounter, nullptr, 0},
                                         {StartOp::DisplayFree},
                                         {StartOp::StreamAllowed},
                                         {StartOp::SaveFramesUntilStopped}};
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

// The Camera Link press: Init once, the controls of the kind, the stream, then
// the tear-down, after the driver's unmount when no frame came for long.
std::vector<PressStep> CameraLinkPressSteps(std::vector<PressStep> p_Controls)
{
    std::vector<PressStep> steps = {{PressOp::InitDriver}, {PressOp::TwoTapLocked}, {PressOp::SetParametersOn},
                                    {PressOp::AgcCellOff}};
    steps.insert(steps.end(), p_Controls.begin(), p_Controls.end());
    const std::vector<PressStep> rest = {{PressOp::Log, "... OK"},
                                         {PressOp::DisplayWaits},
                                         {PressOp::NoFrameSecondsReset},
                                         {PressOp::StopCaption},
                                         {PressOp::Stream},
                                         {PressOp::Log, "Acquisition Stopped"},
                                         {PressOp::EndIfOvertaken},
                                         {PressOp::UnmountAfterSilence}};
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

InitDriverTraits CameraLinkPressInit()
{
    InitDriverTraits t;
    t.FailureReenablesStart = t.ChecksOvertaken = t.MarksDone = true;
    t.AlreadyLog = "CameraLink already initialized";
    return t;
}

BoardTraits None()
{
    BoardTraits t;
    // ---- Form and board modes ----
    t.WindowingCellsKept = true;
    t.DatasheetName = "Digi board ...";
    return t;
}

BoardTraits Arvex()
{
    BoardTraits t;
    // ---- Form and board modes ----
    t.HdrMode = BoardModes::HdrArvex;
    t.InvertBWMode = BoardModes::InvertBWArvex;
    t.FpnMode = BoardModes::FpnArvex;
    t.FormFlipsFromAltDefaults = true;
    t.FirstStartDropsCKDIVHighBit = true;
    t.EmbeddedProcessing = true;
    t.WindowingCellsKept = t.WindowingConfiguration = true;
    t.Kind = BoardKind::Arvex;
    t.Name = t.DatasheetName = "Arvex";
    t.ConnectsOnPress = t.CameraLinkPort = t.KeepsPortForWindowing = true;
    t.AskedForConfiguration = t.ReportsTwoTap = true;
    t.CKDIVStartCell = ProxyParameterId::CKDIVStartCameraLink;
    t.Windowing = WindowingFamily::CameraLink;
    t.BadPixels = OnBoardBadPixels::StarRegister;
    t.Nuc = OnBoardNuc::FpgaRegister;
    t.FrameRate.Reconfigures = true;
    t.FrameRate.Numbering = ProxyNumbering::CameraLink;
    t.FrameRate.WaitAfterProxy = true;
    t.FrameRate.PixelFrequency = true;
    t.FrameRate.Write = WriteStar;
    t.InitSteps = CameraLinkInitSteps();
    t.BPOffsetWindow = true;
    t.StartSteps = CameraLinkStartSteps(
        {{StartOp::SendText, "#A002#R052#D00000"}, {StartOp::EndUnlessConnected}, {StartOp::GainOffsetTimer}});
    t.PressSteps = CameraLinkPressSteps({{PressOp::NucOffered}, {PressOp::NucApplied}, {PressOp::AgcWithdrawn}});
    t.PressInit = CameraLinkPressInit();
    // ---- Commands and frame path ----
    t.FpgaClockMode = true;
    t.WindowingRestarts = WindowingRestart::Reconnect;
    t.BadPixelMap = BadPixelMapLoad::Upload;
    t.LeavesSensorSafe = t.KeepsImageBoxes = t.BoardGainOffset = true;
    t.Correction = CorrectionPath::Board;
    t.SeriesSaving = FrameSeriesSaving::FrameCallback;
    return t;
}

BoardTraits Belmor()
{
    BoardTraits t;
    // ---- Form and board modes ----
    t.HdrMode = BoardModes::HdrStoreOnly;
    t.InvertBWMode = BoardModes::InvertBWStoreOnly;
    t.FirstStartDropsCKDIVHighBit = t.RateDividerDropsCKDIVHighBit = t.RateDividerFromStartCell = true;
    t.KeepsRecordCells = true;
    t.WindowingCellsKept = true;
    t.ShutterKeyOnWidgets = true;
    t.Kind = BoardKind::Belmor;
    t.Name = t.DatasheetName = "Belmor";
    t.ConnectsOnPress = t.CameraLinkPort = t.OperatorChoosesProxy = t.KeepsPortForWindowing = true;
    // Asked, it answers nothing: the operator chose its proxy in the selector.
    t.AskedForConfiguration = true;
    t.CKDIVStartCell = ProxyParameterId::CKDIVStartCameraLink;
    t.Windowing = WindowingFamily::CameraLink;
    t.InitSteps = CameraLinkInitSteps();
    t.ReadsBPOffset = false;
    t.StartSteps = CameraLinkStartSteps({});
    t.PressSteps = CameraLinkPressSteps({{PressOp::AgcOffered}});
    t.PressInit = CameraLinkPressInit();
    // ---- Commands and frame path ----
    t.ReportsNoFrameRate = t.FpgaClockMode = true;
    t.WindowingRestarts = WindowingRestart::Reconnect;
    t.BadPixelMap = BadPixelMapLoad::SoftwareLists;
    t.LeavesSensorSafe = t.GainInSoftware = t.OffsetAsIs = true;
    t.Correction = CorrectionPath::Software;
    t.SeriesSaving = FrameSeriesSaving::LoopFromDisplay;
    return t;
}

BoardTraits BelmorPlus()
{
    BoardTraits t;
    // ---- Form and board modes ----
    t.HdrMode = BoardModes::HdrBelmorPlus;
    t.InvertBWMode = BoardModes::InvertBWBelmorPlus;
    t.FpnMode = BoardModes::FpnBelmorPlus;
    t.FormFlipsFromAltDefaults = t.DefaultButtonUsesAltFlips = true;
    t.FirstStartDropsCKDIVHighBit = t.RateDividerDropsCKDIVHighBit = t.RateDividerFromStartCell = true;
    t.ImageSpinBoxesWithoutArrows = t.EmbeddedProcessing = t.OperatorSwitchesNuc = true;
    t.WindowingCellsKept = t.WindowingConfiguration = true;
    t.ShutterKeyTakesBoardReference = t.ShutterKeyOnWidgets = true;
    t.Kind = BoardKind::BelmorPlus;
    t.Name = t.DatasheetName = "Belmor+";
    t.ConnectsOnPress = t.CameraLinkPort = t.KeepsPortForWindowing = true;
    t.AskedForConfiguration = t.LogsConfiguration = t.ReportsTwoTap = true;
    t.CKDIVStartCell = ProxyParameterId::CKDIVStartCameraLink;
    t.Windowing = WindowingFamily::CameraLink;
    t.BadPixels = OnBoardBadPixels::FpgaRegister;
    t.Nuc = OnBoardNuc::FpgaRegister;
    t.FrameRate.Reconfigures = true;
    t.FrameRate.Numbering = ProxyNumbering::CameraLink;
    t.FrameRate.GSKChannel = t.FrameRate.Options = true;
    t.FrameRate.Write = WriteBang;
    t.InitSteps = CameraLinkInitSteps();
    t.BPOffsetWindow = true;
    t.StartSteps = CameraLinkStartSteps({{StartOp::FpgaNucOn}, {StartOp::EndUnlessConnected}, {StartOp::GainOffsetTimer}});
    t.PressSteps = CameraLinkPressSteps({{PressOp::NucOffered}, {PressOp::SoftwareBPOffered}});
    t.PressInit = CameraLinkPressInit();
    // ---- Commands and frame path ----
    t.OffersTwoTap = t.FpgaClockMode = t.WindowingReinit = true;
    t.WindowingRegisters = WindowingWrites::Corners;
    t.BadPixelMap = BadPixelMapLoad::SoftwareLists;
    t.LeavesSensorSafe = t.BoardGainOffset = t.OffsetAsIs = t.OffsetHalvedWithSoftwareNuc = true;
    t.Correction = CorrectionPath::Board;
    t.SeriesSaving = FrameSeriesSaving::FrameCallback;
    return t;
}

BoardTraits Dunstel()
{
    BoardTraits t;
    // ---- Form and board modes ----
    t.HdrMode = BoardModes::HdrStoreOnly;
    t.InvertBWMode = BoardModes::InvertBWStoreOnly;
    t.FormFlipsFromAltDefaults = t.DefaultButtonUsesAltFlips = true;
    t.RateDividerFromStartCell = true;
    t.ShutterKeyOnWidgets = true;
    t.Kind = BoardKind::Dunstel;
    t.Name = t.DatasheetName = "Dunstel";
    t.ConnectsOnPress = t.PortToToolWindows = true;
    t.AskedForConfiguration = t.LogsConfiguration = true;
    t.CKDIVStartCell = ProxyParameterId::CKDIVStartGigE;
    t.Windowing = WindowingFamily::Dunstel;
    t.FrameRate.Reconfigures = true;
    t.FrameRate.Numbering = ProxyNumbering::Dunstel;
    t.FrameRate.CKDIVHighBit = t.FrameRate.GSKChannel = true;
    t.FrameRate.Write = WriteGigE;
    // The device was set up by the start press: only its geometry is read here.
    t.InitSteps = {{InitOp::Log, "***** Dunstel initializing *****"},
                   {InitOp::OrientationCells},
                   {InitOp::DriverDone},
                   {InitOp::Log, "Get Dunstel data about size and proxy configuration"},
                   {InitOp::Geometry},
                   {InitOp::AcquisitionNotEnded},
                   {InitOp::StreamAllowed},
                   {InitOp::ModelProxyName},
                   {InitOp::LogProxyName, "Proxy: "},
                   {InitOp::LogSizes},
                   {InitOp::BadSizeEnds},
                   {InitOp::Pointers},
                   {InitOp::Matrices},
                   {InitOp::Overlay},
                   {InitOp::ViewFrameSize},
                   {InitOp::FrameCounter, nullptr, -1},
                   {InitOp::DriverDone}};
    t.BPOffsetWindow = true;
    // No frame arrives before the link's pipeline runs.
    t.StartSteps = {{StartOp::DisplayFree},
                    {StartOp::StreamAllowed},
                    {StartOp::Log, "Start Image display update timer"},
                    {StartOp::FrameCounter, nullptr, 0},
                    {StartOp::NewFramePath},
                    {StartOp::StartMarksStream},
                    {StartOp::OneSecondTimer},
                    {StartOp::StartButton},
                    {StartOp::Log, "Start display"},
                    {StartOp::WaitWhileStreaming}};
    // The device is set up before Init, which then only reads its geometry.
    t.PressSteps = {{PressOp::Log, "Send the Gige to used for other window"},
                    {PressOp::PortToToolWindows},
                    {PressOp::PrepareStream},
                    {PressOp::InitDriver},
                    {PressOp::ConsoleDriverDone},
                    {PressOp::StopCaption},
                    {PressOp::SetupDestination},
                    {PressOp::Stream},
                    {PressOp::Log, "Acquisition stopped"},
                    {PressOp::StartButtonOn},
                    {PressOp::Deinit},
                    {PressOp::ViewOn}};
    t.PressInit.ForcesWindowingOff = true;
    t.PressInit.Before = "Initialize Driver ...";
    t.PressInit.After = "... OK";
    t.PressInit.AlreadyLog = "Already initialized";
    // ---- Commands and frame path ----
    t.DisconnectStopsStream = true;
    t.WindowingRegisters = WindowingWrites::GigEBridge;
    t.WindowingRestarts = WindowingRestart::StopThenPress;
    t.BadPixelMap = BadPixelMapLoad::SoftwareLists;
    t.LeavesSensorSafe = t.GainInSoftware = t.OffsetAsIs = true;
    t.Correction = CorrectionPath::Software;
    t.Watchdog = NoFrameWatchdog::Disconnects;
    t.BandwidthFromDevice = true;
    return t;
}

BoardTraits Eskra()
{
    BoardTraits t;
    // ---- Form and board modes ----
    t.OneProxyOnly = true;
    t.Kind = BoardKind::Eskra;
    t.Name = "Eskra";
    // A failure also ends the one-press connection: the button returns to "Connect".
    t.DeinitOnPrepareFailure = true;
    t.InitSteps = {{InitOp::Log, "***** Eskra initializing *****"},
                   {InitOp::Prepare},
                   {InitOp::OrientationCells},
                   {InitOp::Geometry},
                   {InitOp::StreamAllowed},
                   {InitOp::Log, "Init Matrices"},
                   {InitOp::Pointers},
                   {InitOp::Matrices},
                   {InitOp::Overlay},
                   {InitOp::Log, "Init OK"},
                   {InitOp::ModelProxyName},
                   {InitOp::LogProxyName, "Proxy: "},
                   {InitOp::DriverDone}};
    t.BPOffsetWindow = true;
    t.ReadsBPOffset = false;
    // Counted from 0, so the watchdog sees the first frame of the first second.
    t.StartSteps = {{StartOp::DisplayFree},
                    {StartOp::StartButton},
                    {StartOp::OneSecondTimer},
                    {StartOp::FrameCounter, nullptr, 0},
                    {StartOp::StreamAllowed},
                    {StartOp::NewFramePath},
                    {StartOp::Start},
                    {StartOp::PumpUntilStopped}};
    // The serial-port board connects and starts in one press; a failing
    // Init has already returned the window to "Connect".
    t.PressSteps = {{PressOp::InitDriver},
                    {PressOp::StopCaption},
                    {PressOp::NoFrameSecondsReset},
                    {PressOp::Stream},
                    {PressOp::Deinit},
                    {PressOp::ViewOn}};
    // ---- Commands and frame path ----
    t.OnePressStreams = t.RegistersBetweenFrames = t.TintInMicroseconds = true;
    t.OffsetAsIs = true;
    t.Correction = CorrectionPath::Software;
    t.Watchdog = NoFrameWatchdog::Disconnects;
    t.DeliversOnWindowThread = true;
    return t;
}

BoardTraits Corvane()
{
    BoardTraits t;
    // ---- Form and board modes ----
    t.HdrMode = BoardModes::HdrCorvane;
    t.InvertBWMode = BoardModes::InvertBWStoreOnly;
    t.FpnMode = BoardModes::FpnCorvane;
    t.RateDividerFromStartCell = true;
    t.OperatorSwitchesNuc = t.AverageFpnAtStart = true;
    t.ShutterKeyOnWidgets = true;
    t.Kind = BoardKind::Corvane;
    t.Name = t.DatasheetName = "Corvane";
    t.ConnectsOnPress = true;
    t.AskedForConfiguration = t.DisablesPanelsWithoutProxy = true;
    t.CKDIVStartCell = ProxyParameterId::CKDIVStartUSB3;
    t.BadPixels = OnBoardBadPixels::ProcessingBoard;
    t.Nuc = OnBoardNuc::ProcessingBoard;
    t.FrameRate.Reconfigures = true;
    t.FrameRate.Numbering = ProxyNumbering::Corvane;
    t.FrameRate.PixelFrequency = t.FrameRate.CKDIVHighBit = t.FrameRate.GSKChannel = true;
    t.FrameRate.SettleMs = 100;
    t.FrameRate.Write = WriteCorvane;
    t.DeinitOnPrepareFailure = true;
    t.InitSteps = {{InitOp::Prepare},
                   {InitOp::AcquisitionNotEnded},
                   {InitOp::OrientationCells},
                   {InitOp::DriverDone},
                   {InitOp::StreamAllowed},
                   {InitOp::Geometry},
                   {InitOp::ModelProxyName},
                   {InitOp::LogProxyName, "Proxy: "},
                   {InitOp::LogSizes},
                   {InitOp::BadSizeEnds},
                   {InitOp::ViewFrameSize},
                   {InitOp::Pointers},
                   {InitOp::Matrices},
                   {InitOp::Overlay},
                   {InitOp::FrameCounter, nullptr, -1},
                   {InitOp::DriverDone},
                   {InitOp::WaitMs, nullptr, 1}};
    t.BPOffsetWindow = true;
    t.StartSteps = {{StartOp::DisplayFree},
                    {StartOp::StreamAllowed},
                    {StartOp::Log, "Start display"},
                    {StartOp::FrameCounter, nullptr, 1},
                    {StartOp::ClearFrameCounts},
                    {StartOp::NewFramePath},
                    {StartOp::Start},
                    {StartOp::OneSecondTimer},
                    {StartOp::GainOffsetUnlessSoftwareNuc}};
    t.PressSteps = {{PressOp::InitDriver},
                    {PressOp::WaitMs, nullptr, 20},
                    {PressOp::EndIfOvertaken},
                    {PressOp::SetParametersOn},
                    {PressOp::AgcOffered},
                    {PressOp::AgcCellOff},
                    {PressOp::DriverDone},
                    {PressOp::StreamAllowed},
                    {PressOp::StopCaption},
                    {PressOp::FrameCounter, nullptr, -1},
                    {PressOp::NoFrameSecondsReset},
                    {PressOp::Stream},
                    {PressOp::WaitMs, nullptr, 2},
                    {PressOp::StartButtonOn},
                    {PressOp::ViewOn}};
    t.PressInit.ForcesWindowingOff = true;
    t.PressInit.AlreadyConsole = "already initialized";
    // ---- Commands and frame path ----
    t.QuietLinkFailure = t.ParameterFailureBox = t.ClockInvertBit11 = true;
    t.BadPixelMap = BadPixelMapLoad::ListsOrUpload;
    t.LeavesSensorSafe = t.BoardGainOffset = t.OffsetHalvedWithSoftwareNuc = true;
    t.Correction = CorrectionPath::Board;
    t.Watchdog = NoFrameWatchdog::WarnsThenDisconnects;
    return t;
}

} // namespace

const BoardTraits& BoardTraitsOf(BoardKind p_Kind)
{
    // Indexed by BoardKindIndex.
    static const BoardTraits kTraits[] = {None(), Arvex(), Belmor(), BelmorPlus(), Dunstel(), Eskra(), Corvane()};
    return kTraits[BoardKindIndex(BoardKindFromIndex(BoardKindIndex(p_Kind)))];
}
