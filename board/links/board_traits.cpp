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

BoardTraits None()
{
    BoardTraits t;
    t.DatasheetName = "Digi board ...";
    return t;
}

BoardTraits Arvex()
{
    BoardTraits t;
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
    return t;
}

BoardTraits Belmor()
{
    BoardTraits t;
    t.Kind = BoardKind::Belmor;
    t.Name = t.DatasheetName = "Belmor";
    t.ConnectsOnPress = t.CameraLinkPort = t.OperatorChoosesProxy = t.KeepsPortForWindowing = true;
    // Asked, it answers nothing: the operator chose its proxy in the selector.
    t.AskedForConfiguration = true;
    t.CKDIVStartCell = ProxyParameterId::CKDIVStartCameraLink;
    t.Windowing = WindowingFamily::CameraLink;
    t.InitSteps = CameraLinkInitSteps();
    return t;
}

BoardTraits BelmorPlus()
{
    BoardTraits t;
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
    return t;
}

BoardTraits Dunstel()
{
    BoardTraits t;
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
    return t;
}

BoardTraits Eskra()
{
    BoardTraits t;
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
    return t;
}

BoardTraits Corvane()
{
    BoardTraits t;
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
    return t;
}

} // namespace

const BoardTraits& BoardTraitsOf(BoardKind p_Kind)
{
    // Indexed by BoardKindIndex.
    static const BoardTraits kTraits[] = {None(), Arvex(), Belmor(), BelmorPlus(), Dunstel(), Eskra(), Corvane()};
    return kTraits[BoardKindIndex(BoardKindFromIndex(BoardKindIndex(p_Kind)))];
}
