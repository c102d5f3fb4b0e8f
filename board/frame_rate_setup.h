// Frame-rate reconfiguration of an interface board: which rates a proxy offers, the custom pixel-clock search and the command sequence per board.
#pragma once

#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>

// Items of the frequency list of the board set-up window.
constexpr int FrameRateItemDefault = 0;
constexpr int FrameRateItemFirstPreset = 1;  // "25 FPS"
constexpr int FrameRateItemLastPreset = 7;   // "200 FPS"
constexpr int FrameRateItemCustom = 8;
constexpr int FrameRateItemCount = 9;

// Frame-rate codes the board and the main window share.
constexpr int FrameRateCodeNone = 0;
constexpr int FrameRateCodeCustom = 254;
constexpr int FrameRateCodeDefault = 255;

// The code of a frequency item (255 default, 25..200, 254 custom), 0 for any other item.
int FrameRateCodeOfItem(int p_iItem);
// The item of a preset code 25..200, or -1.
int FrameRateItemOfCode(int p_iCode);

// Whether the record offers the preset item (1..7): its pixel-clock multiplier cell is defined.
bool FrameRateItemOffered(int p_iProxyRow, int p_iItem);

// The pixel clock 100 MHz x M / D closest to a wanted frequency, M and D in 2..255;
// ties keep the smallest D, then the smallest M.
struct PixelClockChoice
{
    int Multiplier = 2;
    int Divider = 2;
    double GeneratedMHz = 100.0;
};
// p_pDiagnostics, when given, receives each better pair as it is found.
PixelClockChoice SearchPixelClock(double p_dWantedMHz, const std::function<void(int, int, double)>& p_Diagnostics = {});
// "Error: " + the relative error in percent (4 significant digits) + "%"; empty
// for a wanted frequency of 0, which has no relative error.
QString PixelClockErrorText(double p_dGeneratedMHz, double p_dWantedMHz);

// What the operator chose in the set-up window.
struct FrameRateSetupRequest
{
    int Kind = 0;            // DigiBoardKind
    int ProxyRow = 0;        // ProxyIndex of the chosen proxy
    bool ProxyChosen = false; // the proxy list is not on "Proxy Board..."
    int Item = FrameRateItemDefault;
    // Custom frequency only.
    int CustomCKDIV = 0;
    int CustomGSK = 0;
    double WantedMHz = 0.0;
    int Multiplier = 2;
    int Divider = 2;
    bool InvertTx = false;
    bool InvertPx = false;
    bool InvertDV = false;
    bool DisableDV = false;
    bool InvertMCLK = false;
};

struct FrameRateSetupStep
{
    enum Type { Write, Wait, Sleep, OpenCorvaneCapture };
    Type StepType = Write;
    int Id = 0;      // BoardRegisterId of a write
    int Value = 0;   // value of a write; milliseconds of a wait or sleep
    bool operator==(const FrameRateSetupStep& p_Other) const
    {
        return StepType == p_Other.StepType && Id == p_Other.Id && Value == p_Other.Value;
    }
};

// The whole reconfiguration, worked out before anything is sent.
struct FrameRateSetupPlan
{
    // Non-empty: the request cannot be sent; the text says why, nothing is sent.
    QString Refusal;
    QString LogLine;                    // "Reconfiguration : ..." (empty when the kind sends nothing)
    QVector<FrameRateSetupStep> Steps;  // in sending order
    int FrameRateCode = FrameRateCodeNone;  // what UpdateGSK_CKDIV carries
    int ConfiguredGSK = 0;
    bool KeepConfiguredGSK = false;     // kinds without a path leave the window's value alone
    // Cells of the proxy row written once the steps have run.
    bool RestoreCKDIVDefault = false;   // cell 196 := its default half
    bool WriteCKDIV = false;            // cell 196 := CKDIVValue
    bool WriteCustom = false;           // cells 361 := CKDIVValue, 360 := ConfiguredGSK
    uint32_t CKDIVValue = 0;
};

// The steps for a request, read from the current halves of the proxy row.
FrameRateSetupPlan PlanFrameRateSetup(const FrameRateSetupRequest& p_Request);

// How the steps reach the board: a write returns 0 when the board took it;
// OpenCorvane returns 0 when the USB3 capture is (or now is) initialised.
struct FrameRateSetupLinks
{
    std::function<int(int, int)> Write;
    std::function<void(int)> Wait;
    std::function<void(int)> Sleep;
    std::function<int()> OpenCorvane;
};

// Runs every step (a failed write does not stop the sequence, as on the board
// each parameter stands alone) and then stores the plan's cells in p_iProxyRow.
// True when every write and the library opening succeeded.
bool RunFrameRateSetup(const FrameRateSetupPlan& p_Plan, int p_iProxyRow, const FrameRateSetupLinks& p_Links);

class PvDeviceSerialPort;
// The links of the board kind: the Camera Link "!" (Belmor+) and "*" (Arvex)
// encoders, the USB3 parameter writer with its failure box (Corvane), the GigE
// UART bridge (Dunstel, on p_pGigEPort); WaitMs and a plain sleep.
FrameRateSetupLinks BoardFrameRateSetupLinks(int p_iKind, PvDeviceSerialPort* p_pGigEPort);
