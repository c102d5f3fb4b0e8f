// The command sequences of the advanced-commands window: FPGA register editor, particular parameters, manual and USB3 commands.
#include "board/advanced_commands.h"

#include "app/header_constants.h"

#include <cstdio>

namespace {

constexpr int kParticularAddressRegister = 0;  // FPGA register that takes address, then value
constexpr int kParticularCommandRegister = 1;  // FPGA register that takes the command word
constexpr int kParticularAddressCommand = 0xE0;
constexpr int kParticularValueCommand = 0xF0;

PersoWrite Address(int p_iRegister, int p_iValue) { return {p_iRegister, p_iValue, true}; }
PersoWrite Value(int p_iRegister, int p_iValue) { return {p_iRegister, p_iValue, false}; }

} // namespace

PersoPath PersoPathForBoardName(const QString& p_sBoardName)
{
    if (p_sBoardName == QLatin1String("Belmor+"))
        return PersoPath::CameraLink;
    if (p_sBoardName == QLatin1String("Corvane"))
        return PersoPath::Usb3;
    if (p_sBoardName == QLatin1String("Dunstel"))
        return PersoPath::GigE;
    return PersoPath::None;
}

QString PersoFailureText(const PersoWrite& p_Write)
{
    char szMessage[100] = {};
    std::snprintf(szMessage, sizeof szMessage,
                  p_Write.IsAddress ? "Couldn't set PERSO_ADDR to %d.\n" : "Couldn't set PERSO_VALUE to %d.\n",
                  p_Write.Value);
    return QString::fromLatin1(szMessage);
}

int PersoRegisterMaximum(PersoPath p_Path, bool p_bAddress)
{
    (void)p_bAddress; // both registers of a pair have the same width
    switch (p_Path) {
    case PersoPath::CameraLink:
        return 255;
    case PersoPath::GigE:
        return 9999;
    case PersoPath::Usb3:
        return 65535;
    case PersoPath::None:
        break;
    }
    return 0;
}

QString CheckPersoSequence(PersoPath p_Path, const PersoSequence& p_Sequence)
{
    for (const PersoWrite& write : p_Sequence) {
        const int iMaximum = PersoRegisterMaximum(p_Path, write.IsAddress);
        if (write.Value < 0 || write.Value > iMaximum)
            return QStringLiteral("%1 %2 does not fit %3 (0 to %4).\nNothing was sent.")
                .arg(write.IsAddress ? QStringLiteral("Address") : QStringLiteral("Value"))
                .arg(write.Value)
                .arg(write.IsAddress ? QStringLiteral("PERSO_ADDR") : QStringLiteral("PERSO_VALUE"))
                .arg(iMaximum);
    }
    return QString();
}

PersoSequence ManualCommandSequence(PersoPath p_Path, int p_iAddress, int p_iValue)
{
    switch (p_Path) {
    case PersoPath::CameraLink:
    case PersoPath::GigE:
        return {Address(BoardRegisterId::PERSO_ADDR, p_iAddress), Value(BoardRegisterId::PERSO_VALUE, p_iValue)};
    case PersoPath::Usb3:
        return {Address(BoardRegisterId::FpgaRegisterAddress, p_iAddress), Value(BoardRegisterId::FpgaRegisterValue, p_iValue)};
    case PersoPath::None:
        break;
    }
    return {};
}

// ---- FPGA register editor -------------------------------------------------------------

const std::array<FpgaRegisterRow, 17>& FpgaRegisterTable()
{
    // Addresses 1, 9, 11, 18, 20 and 22 are the high halves of the 16-bit
    // registers; 15 is no register. The placeholder leaves every bit box
    // disabled: it names no register whose bits could mean anything.
    static const std::array<FpgaRegisterRow, 17> table = {{
        {"Choose register...", 0, 16, 0x0000,
         {{"Bit0", "Bit1", "Bit2", "Bit3", "Bit4", "Bit5", "Bit6", "Bit7", "Bit8", "Bit9", "Bit10", "Bit11", "Bit12", "Bit13", "Bit14", "Bit15"}},
         true},
        {"Proxy SPI", 0, 16, 0xFFFF,
         {{"Data0", "Data1", "Data2", "Data3", "Data4", "Data5", "Data6", "Data7", "Data8", "Data9", "Data10", "Data11", "Data12", "Data13", "Data14", "Data15"}},
         true},
        {"Proxy Clock", 2, 8, 0x0003,
         {{"Invert_MCLK", "Invert_PV", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}},
         true},
        {"OutputClock", 3, 8, 0x0000,
         {{"OutputClock", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}},
         false},
        {"CameraLink", 4, 8, 0x003E,
         {{"", "Disable_DV", "Invert_TX", "Invert_DV", "Invert_LV", "Invert_FV", "", "", "", "", "", "", "", "", "", ""}},
         true},
        {"Debug", 5, 8, 0x00FF,
         {{"ByPass", "BusWidth0", "BusWidth1", "BusWidth2", "Debug0", "Debug1", "Debug2", "Debug3", "", "", "", "", "", "", "", ""}},
         true},
        {"NUC", 6, 8, 0x0007,
         {{"ByPass", "ReadPhase", "HDR", "", "", "", "", "", "", "", "", "", "", "", "", ""}},
         true},
        {"Contrast", 7, 8, 0x00FF,
         {{"Contrast0", "Contrast1", "Contrast2", "Contrast3", "Contrast4", "Contrast5", "Contrast6", "Contrast7", "", "", "", "", "", "", "", ""}},
         true},
        {"Luminance", 8, 16, 0xFFFF,
         {{"Luminance0", "Luminance1", "Luminance2", "Luminance3", "Luminance4", "Luminance5", "Luminance6", "Luminance7", "Luminance8", "Luminance9", "Luminance10", "Luminance11", "Luminance12", "Luminance13", "Luminance14", "Luminance15"}},
         true},
        {"ClockGen", 10, 16, 0x0000,
         {{"Mult0", "Mult1", "Mult2", "Mult3", "Mult4", "Mult5", "Mult6", "Mult7", "Div0", "Div1", "Div2", "Div3", "Div4", "Div5", "Div6", "Div7"}},
         true},
        {"PortMap", 12, 8, 0x000F,
         {{"ByPass", "HotBW", "TapMode0", "TapMode1", "", "", "", "", "", "", "", "", "", "", "", ""}},
         true},
        {"Shutter", 13, 8, 0x00FF,
         {{"Timer0", "Timer1", "Timer2", "Timer3", "Timer4", "Timer5", "Timer6", "Timer7", "", "", "", "", "", "", "", ""}},
         true},
        {"Shutter Command", 14, 8, 0x0001,
         {{"Command", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}},
         true},
        {"BadPixel Management", 16, 8, 0x000F,
         {{"ByPass", "Mode0", "Mode1", "SensorMaster", "", "", "", "", "", "", "", "", "", "", "", ""}},
         true},
        {"BadPixel Address", 17, 16, 0xFFFF,
         {{"Add0", "Add1", "Add2", "Add3", "Add4", "Add5", "Add6", "Add7", "Add8", "Add9", "Add10", "Add11", "Add12", "Add13", "Add14", "Add15"}},
         true},
        {"BadPixel PosX", 19, 16, 0x0FFF,
         {{"PosX0", "PosX1", "PosX2", "PosX3", "PosX4", "PosX5", "PosX6", "PosX7", "PosX8", "PosX9", "PosX10", "PosX11", "", "", "", ""}},
         true},
        {"BadPixel PosY", 21, 16, 0x0FFF,
         {{"PosY0", "PosY1", "PosY2", "PosY3", "PosY4", "PosY5", "PosY6", "PosY7", "PosY8", "PosY9", "PosY10", "PosY11", "", "", "", ""}},
         true},
    }};
    return table;
}

const FpgaRegisterRow* FindFpgaRegister(const QString& p_sName)
{
    for (const FpgaRegisterRow& row : FpgaRegisterTable())
        if (p_sName == QLatin1String(row.Name))
            return &row;
    return nullptr;
}

uint16_t FpgaValueFromBits(const std::array<bool, 16>& p_Ticked)
{
    uint16_t uValue = 0;
    for (int i = 0; i < 16; ++i)
        if (p_Ticked[static_cast<size_t>(i)])
            uValue = static_cast<uint16_t>(uValue | (1u << i));
    return uValue;
}

PersoSequence FpgaRegisterSequence(int p_iAddress, uint32_t p_uValue, bool p_bSixteenBits)
{
    PersoSequence sequence = {Address(BoardRegisterId::PERSO_ADDR, p_iAddress),
                              Value(BoardRegisterId::PERSO_VALUE, static_cast<int>(p_uValue % 256))};
    if (p_bSixteenBits) {
        sequence.push_back(Address(BoardRegisterId::PERSO_ADDR, p_iAddress + 1));
        sequence.push_back(Value(BoardRegisterId::PERSO_VALUE, static_cast<int>((p_uValue >> 8) & 0xFF)));
    }
    return sequence;
}

// ---- Particular parameters ------------------------------------------------------------

ParticularParameter ParticularParameterFromText(const QString& p_sText)
{
    const QStringList& names = HeaderConstants::ParticularParameterNames;
    if (p_sText == names.value(0))
        return ParticularParameter::Interframe;
    if (p_sText == names.value(1))
        return ParticularParameter::Interline;
    if (p_sText == names.value(2))
        return ParticularParameter::ConfigurationMode;
    if (p_sText == names.value(3))
        return ParticularParameter::PipeAlignment;
    return ParticularParameter::None;
}

int ParticularParameterAddress(ParticularParameter p_Parameter, int p_iProxyIndex)
{
    switch (p_Parameter) {
    case ParticularParameter::Interframe:
        return p_iProxyIndex == 5 ? 0x8F : 0x56;
    case ParticularParameter::Interline:
        return 0x62;
    case ParticularParameter::ConfigurationMode:
        return 1;
    case ParticularParameter::PipeAlignment:
        return 0x87;
    case ParticularParameter::None:
        break;
    }
    return -1;
}

QString ParticularParameterHint(ParticularParameter p_Parameter)
{
    switch (p_Parameter) {
    case ParticularParameter::Interline:
        return QStringLiteral("Not available on all Proxy");
    case ParticularParameter::ConfigurationMode:
        return QStringLiteral("Only available with X1550");
    case ParticularParameter::PipeAlignment:
        return QStringLiteral("Only available with Y1437P");
    case ParticularParameter::Interframe:
    case ParticularParameter::None:
        break;
    }
    return QString();
}

const QStringList& ConfigurationModeNames()
{
    static const QStringList names = {QStringLiteral("Rolling Shutter Mode"), QStringLiteral("Global Shutter Mode"),
                                      QStringLiteral("Differential Mode")};
    return names;
}

int ConfigurationModeValue(int p_iIndex)
{
    switch (p_iIndex) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 4;
    default:
        return 0;
    }
}

PersoSequence ParticularParameterSequence(PersoPath p_Path, int p_iAddress, int p_iValue)
{
    switch (p_Path) {
    case PersoPath::CameraLink:
        return {Address(BoardRegisterId::PERSO_ADDR, kParticularAddressRegister), Value(BoardRegisterId::PERSO_VALUE, p_iAddress),
                Address(BoardRegisterId::PERSO_ADDR, kParticularCommandRegister),
                Value(BoardRegisterId::PERSO_VALUE, kParticularAddressCommand),
                Address(BoardRegisterId::PERSO_ADDR, kParticularAddressRegister), Value(BoardRegisterId::PERSO_VALUE, p_iValue),
                Address(BoardRegisterId::PERSO_ADDR, kParticularCommandRegister),
                Value(BoardRegisterId::PERSO_VALUE, kParticularValueCommand)};
    case PersoPath::Usb3:
    case PersoPath::GigE:
        return ManualCommandSequence(p_Path, p_iAddress, p_iValue);
    case PersoPath::None:
        break;
    }
    return {};
}

// ---- USB3 board commands ----------------------------------------------------------------

Usb3Sequence Usb3BoardCommandSequence(int p_iBoardAddress, int p_iRegister, int p_iValue)
{
    return {{51, p_iBoardAddress}, {52, p_iRegister}, {53, p_iValue}, {50, 0}};
}

Usb3Sequence Usb3DirectWriteSequence(uint16_t p_uAddress, uint16_t p_uValue)
{
    return {{60, p_uAddress % 256}, {61, (p_uAddress / 256) % 256}, {62, p_uValue % 256},
            {63, (p_uValue / 256) % 256}, {64, 0}};
}

int DestinationBoardAddress(const QString& p_sName)
{
    static const int addresses[] = {0, 1, 2, 15};
    const QStringList& names = HeaderConstants::DestinationBoardNames;
    for (int i = 0; i < names.size() && i < 4; ++i)
        if (names.at(i).compare(p_sName, Qt::CaseInsensitive) == 0)
            return addresses[i];
    return -1;
}
