// The ".conf" configuration file: 41 lines of sensor and display settings, read back by line position.
#pragma once

#include <QDateTime>
#include <QString>

class QIODevice;

// Every value of a configuration file, in file order. Flags are written as 0
// or 1; on reading every integer is kept as read (a cell takes "2" as 2).
struct ConfigurationSettings
{
    QString DigiBoard; // line 3, the board combo box's text
    QString Proxy;     // line 4, the proxy model name

    // Lines 5 to 28.
    int GMS = 0;
    int OAdj2 = 0;
    int OAdj1 = 0;
    int OAdj0 = 0;
    int MAdj2 = 0;
    int MAdj1 = 0;
    int MAdj0 = 0;
    int Ref1 = 0;
    int Ref0 = 0;
    int Gain1 = 0; // checkBox_Gain0
    int Gain2 = 0; // checkBox_Gain1
    int Gain3 = 0; // checkBox_Gain2
    int UpCol = 0;
    int UpRow = 0;
    int bTINT = 0;
    int bDACA = 0;
    int bDACB = 0;
    int bDACC = 0;
    int bDACD = 0;
    int bCKDIV = 0; // the advanced-user check box
    int bInvBW = 0;
    int bHDR = 0;
    int bGamma = 0;
    int bAGC = 0;

    // Lines 29 to 41.
    int TINT = 0;
    int DACA = 0;
    int DACB = 0;
    int DACC = 0;
    int DACD = 0;
    int CKDIV = 0;
    float Gamma = 0.0f;
    int AGCGain = 0;
    int AGCCentre = 0;
    int Bayer = 0;
    int Interpol = 0;
    int OffsetImage = 0;
    int GainImage = 0;
};

// Number of lines of a complete file.
constexpr int ConfigurationFileLineCount = 41;

// The whole file text ("\n" line ends); line 1 carries p_Written in the
// system locale's long month name.
QString ConfigurationFileText(const ConfigurationSettings& p_Settings, const QDateTime& p_Written);

// Writes the text to an open, writable device as UTF-8; false when the device
// takes less than the whole text.
bool WriteConfigurationFile(QIODevice& p_Device, const ConfigurationSettings& p_Settings,
                            const QDateTime& p_Written);

// The value a line carries: the text between its first and a possible second
// "=", without blanks. A line without "=" carries an empty value.
QString ConfigurationLineValue(const QString& p_sLine);

enum class ConfigurationReadStatus
{
    Complete,
    Incomplete, // the file ended before its 41st line
};

struct ConfigurationReadResult
{
    ConfigurationReadStatus Status = ConfigurationReadStatus::Incomplete;
    ConfigurationSettings Settings; // every line read, also from an incomplete file
};

// Reads a configuration file from an open, readable device (UTF-8). Lines 1,
// 3 and 4 are read in pieces of at most 200 characters (the rest counts as the
// next line); a value that is not a number reads as 0; lines after the 41st
// are ignored.
ConfigurationReadResult ReadConfigurationFile(QIODevice& p_Device);
