// The command sequences of the advanced-commands window: FPGA register editor, particular parameters, manual and USB3 commands.
#pragma once

#include "params/board_register_id.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// How a board takes its personal address / value pair.
enum class PersoPath {
    None,       // Belmor, Eskra, no board: nothing is sent
    CameraLink, // Belmor+ "!a%03d" / "!b%03d" (and Arvex for the FPGA editor)
    Usb3,       // Corvane parameters 14 / 15
    GigE,       // Dunstel UART "!a%04d" / "!b%04d"
};

// "Belmor+", "Corvane" and "Dunstel" (exact, case-sensitive); any other name: None.
PersoPath PersoPathForBoardName(const QString& p_sBoardName);

// The board's address register and its value register on each path:
// PERSO_ADDR and PERSO_VALUE on Camera Link and GigE, the USB3 parameters
// FpgaRegisterAddress and FpgaRegisterValue on Corvane.

// One write of a sequence. IsAddress tells which failure text describes it.
struct PersoWrite
{
    int Register = 0;
    int Value = 0;
    bool IsAddress = false;
    bool operator==(const PersoWrite& o) const
    {
        return Register == o.Register && Value == o.Value && IsAddress == o.IsAddress;
    }
};
using PersoSequence = std::vector<PersoWrite>;

// "Couldn't set PERSO_ADDR to %d.\n" or "Couldn't set PERSO_VALUE to %d.\n"
// filled with the write's value, cut to the 100-byte message buffer.
QString PersoFailureText(const PersoWrite& p_Write);

// The largest value each register of a path takes. The Camera Link board's
// FPGA registers are one byte each, and its command field has three digits;
// the GigE board's field has four digits; the USB3 parameters take 16 bits.
int PersoRegisterMaximum(PersoPath p_Path, bool p_bAddress);
// Empty when every write fits its register; else the operator's message for
// the first write that does not (nothing of the sequence may then be sent).
QString CheckPersoSequence(PersoPath p_Path, const PersoSequence& p_Sequence);

// ---- Manual command ----------------------------------------------------------------

// Address then value on the board's pair; empty for PersoPath::None.
PersoSequence ManualCommandSequence(PersoPath p_Path, int p_iAddress, int p_iValue);

// ---- FPGA register editor -------------------------------------------------------------

struct FpgaRegisterRow
{
    const char* Name;
    int Address;
    int Width;            // 8 or 16
    uint16_t EnabledBits; // bit N set: checkBox_BitN is enabled
    std::array<const char*, 16> BitLabels;
    bool SendEnabled;
};

// The 17 rows, in the order of the register combo box.
const std::array<FpgaRegisterRow, 17>& FpgaRegisterTable();
// The first row named exactly p_sName (case-sensitive), or null.
const FpgaRegisterRow* FindFpgaRegister(const QString& p_sName);
// The value the ticked bit boxes stand for: the sum of 2^N over the ticked boxes.
uint16_t FpgaValueFromBits(const std::array<bool, 16>& p_Ticked);
// (24, a), (25, low byte); for a 16-bit register then (24, a + 1), (25, high byte).
PersoSequence FpgaRegisterSequence(int p_iAddress, uint32_t p_uValue, bool p_bSixteenBits);

// ---- Particular parameters ------------------------------------------------------------

enum class ParticularParameter { None, Interframe, Interline, ConfigurationMode, PipeAlignment };

ParticularParameter ParticularParameterFromText(const QString& p_sText);
// The sensor address of the parameter; "Interframe" is 0x8F on proxy 5, else 0x56.
int ParticularParameterAddress(ParticularParameter p_Parameter, int p_iProxyIndex);
// The hint shown under the parameter ("" for Interframe).
QString ParticularParameterHint(ParticularParameter p_Parameter);
// The configuration modes and the value each one sends (index out of range: 0).
const QStringList& ConfigurationModeNames();
int ConfigurationModeValue(int p_iIndex);
// Camera Link: address into FPGA register 0, 0xE0 into register 1, the value
// into register 0, 0xF0 into register 1 (eight writes). USB3: parameters 14
// and 15. GigE: 24 and 25. None: empty.
PersoSequence ParticularParameterSequence(PersoPath p_Path, int p_iAddress, int p_iValue);

// ---- USB3 board commands ----------------------------------------------------------------

struct Usb3Write
{
    int Parameter = 0;
    int Value = 0;
    bool operator==(const Usb3Write& o) const { return Parameter == o.Parameter && Value == o.Value; }
};
using Usb3Sequence = std::vector<Usb3Write>;

// A command to a board behind the USB3 board: 51 := board address,
// 52 := register, 53 := value, then 50 := 0 executes it.
Usb3Sequence Usb3BoardCommandSequence(int p_iBoardAddress, int p_iRegister, int p_iValue);
// The direct byte transfer: 60, 61 := address low and high byte, 62, 63 :=
// value low and high byte, then 64 := 0 executes it.
Usb3Sequence Usb3DirectWriteSequence(uint16_t p_uAddress, uint16_t p_uValue);
// The address of a destination board by its name (case ignored): 0 for the
// placeholder, 1, 2 and 15 for the three boards, -1 for any other text.
int DestinationBoardAddress(const QString& p_sName);
