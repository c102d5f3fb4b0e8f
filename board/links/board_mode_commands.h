// What the board-mode check boxes (HDR, inversion, FPN correction) store and send, one family of builders per way a board takes them.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// How a command reaches the board.
enum class ModeRoute
{
    None,            // nothing is sent
    CameraLinkText,  // a raw "#A002#R006#D0000n" text (Arvex)
    Register,        // a register id through the board's own encoder
    FpgaRegister,    // FPGA register 6 as a PERSO_ADDR / PERSO_VALUE pair (Belmor+)
    CorvaneIndirect, // processing board 2, register 6 through parameters 51, 52, 53 and 50 (Corvane)
};

// FPGA register of the interface board that holds the NUC bits:
// bit 0 correction off, bit 1 read phase, bit 2 HDR.
constexpr int NucFpgaRegister = 6;

struct ModeCommand
{
    bool Store = false;     // the parameter cell takes CellValue
    uint32_t CellValue = 0; // the check state (0 or 2): readers test for non-zero
    ModeRoute Route = ModeRoute::None;
    int RegisterId = -1;    // Register route
    uint32_t Value = 0;     // the value the board receives
    QByteArray Text;        // CameraLinkText route
    int Sends = 1;          // the text is sent this many times; the last result counts
    QString FailureText;    // shown and logged when the (last) send fails
};

struct FpnCommand
{
    ModeRoute Route = ModeRoute::None;
    uint32_t Value = 0;          // the NUC register value
    QByteArray Text;             // CameraLinkText route
    int EnabledCell = -1;        // -1: cell 27 left alone, else its new value
    QString LogLine;             // "Enabling NUC ... with ReadPhase" when switching on, else empty
};

// HDR (cell 40). p_iState is the Qt check state.
using HdrModeBuilder = ModeCommand (*)(bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked, int p_iProxyIndex,
                                       int p_iFrameRate);
// Black-and-white inversion (cell 43).
using InvertBWModeBuilder = ModeCommand (*)(bool p_bSoftwareNUC, int p_iState);
// The NUC register when the FPN correction is switched on or off.
// p_iSetupFrequency is the board set-up window's frame rate, p_iMeasuredFrameRate the frames of the last second.
using FpnModeBuilder = FpnCommand (*)(bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex,
                                      int p_iFrameRate, int p_iSetupFrequency, int p_iMeasuredFrameRate);

namespace BoardModes {

// HDR: nothing stored, nothing sent (no board, the serial-port board).
ModeCommand HdrNothing(bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked, int p_iProxyIndex, int p_iFrameRate);
// HDR: the check state stored for the frame path, nothing sent (Belmor, Dunstel).
ModeCommand HdrStoreOnly(bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked, int p_iProxyIndex,
                         int p_iFrameRate);
// HDR: the NUC register as a Camera Link text, twice with the read-phase bit at fast rates (Arvex).
ModeCommand HdrArvex(bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked, int p_iProxyIndex, int p_iFrameRate);
// HDR: the HDR register unless the program corrects the NUC (Belmor+).
ModeCommand HdrBelmorPlus(bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked, int p_iProxyIndex,
                          int p_iFrameRate);
// HDR: the processing board's NUC register unless the program corrects the NUC (Corvane).
ModeCommand HdrCorvane(bool p_bSoftwareNUC, int p_iState, bool p_bApplyNUCChecked, int p_iProxyIndex,
                       int p_iFrameRate);

// Inversion: stored only while the program corrects the NUC (no board, the serial-port board).
ModeCommand InvertBWStoreWithSoftwareNuc(bool p_bSoftwareNUC, int p_iState);
// Inversion: the check state stored, nothing sent (Belmor, Corvane, Dunstel).
ModeCommand InvertBWStoreOnly(bool p_bSoftwareNUC, int p_iState);
// Inversion: the display-inversion register, 1 or 0, unless the program corrects the NUC (Arvex).
ModeCommand InvertBWArvex(bool p_bSoftwareNUC, int p_iState);
// Inversion: the display-inversion register, 2 or its complement, unless the program corrects the NUC (Belmor+).
ModeCommand InvertBWBelmorPlus(bool p_bSoftwareNUC, int p_iState);

// FPN: the frame path applies the reference in software, nothing sent.
FpnCommand FpnSoftware(bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex, int p_iFrameRate,
                       int p_iSetupFrequency, int p_iMeasuredFrameRate);
// FPN: the NUC register as a Camera Link text, the read phase by the chosen rate (Arvex).
FpnCommand FpnArvex(bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex, int p_iFrameRate,
                    int p_iSetupFrequency, int p_iMeasuredFrameRate);
// FPN: FPGA register 6 unless the program corrects the NUC, the read phase by the set-up and measured rates (Belmor+).
FpnCommand FpnBelmorPlus(bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex, int p_iFrameRate,
                         int p_iSetupFrequency, int p_iMeasuredFrameRate);
// FPN: the same through the processing board (Corvane).
FpnCommand FpnCorvane(bool p_bSoftwareNUC, bool p_bOn, bool p_bHDR, int p_iProxyIndex, int p_iFrameRate,
                      int p_iSetupFrequency, int p_iMeasuredFrameRate);

} // namespace BoardModes
