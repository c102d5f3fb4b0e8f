// The ".conf" configuration file: writing the 41 lines and reading them back by position.
#include "mainwindow/configuration_file.h"

#include <QIODevice>
#include <QLocale>
#include <QStringList>
#include <QTextCodec>
#include <QTextStream>

#include <cmath>
#include <iterator>

namespace {

using S = ConfigurationSettings;

// Lines 5 to 41 in file order; the one real value (Gamma, line 35) has no
// integer member and is handled apart.
struct IntegerLine
{
    const char* Key;
    int S::*Member;
};

constexpr int kGammaLine = 35;
constexpr int kFirstValueLine = 5;
constexpr int kLongLineLimit = 200;
const char* const kGammaKey = "Gamma";

const IntegerLine kLinesBeforeGamma[] = {
    {"GMS", &S::GMS},       {"OAdj2", &S::OAdj2},   {"OAdj1", &S::OAdj1},   {"OAdj0", &S::OAdj0},
    {"MAdj2", &S::MAdj2},   {"MAdj1", &S::MAdj1},   {"MAdj0", &S::MAdj0},   {"Ref1", &S::Ref1},
    {"Ref0", &S::Ref0},     {"Gain1", &S::Gain1},   {"Gain2", &S::Gain2},   {"Gain3", &S::Gain3},
    {"UpCol", &S::UpCol},   {"UpRow", &S::UpRow},   {"bTINT", &S::bTINT},   {"bDACA", &S::bDACA},
    {"bDACB", &S::bDACB},   {"bDACC", &S::bDACC},   {"bDACD", &S::bDACD},   {"bCKDIV", &S::bCKDIV},
    {"bInvBW", &S::bInvBW}, {"bHDR", &S::bHDR},     {"bGamma", &S::bGamma}, {"bAGC", &S::bAGC},
    {"TINT", &S::TINT},     {"DACA", &S::DACA},     {"DACB", &S::DACB},     {"DACC", &S::DACC},
    {"DACD", &S::DACD},     {"CKDIV", &S::CKDIV},
};
const IntegerLine kLinesAfterGamma[] = {
    {"AGCGain", &S::AGCGain}, {"AGCCentre", &S::AGCCentre},     {"Bayer", &S::Bayer},
    {"Interpol", &S::Interpol}, {"Offset Image", &S::OffsetImage}, {"Gain Image", &S::GainImage},
};

static_assert(kFirstValueLine + int(std::size(kLinesBeforeGamma)) == kGammaLine, "Gamma is line 35");
static_assert(kGammaLine + int(std::size(kLinesAfterGamma)) == ConfigurationFileLineCount, "41 lines");

// The key padded to 16 characters, then "= ".
QString KeyField(const char* p_szKey)
{
    return QStringLiteral("%1= ").arg(QString::fromLatin1(p_szKey), -16);
}

int IntegerValue(const QString& p_sLine)
{
    bool bOk = false;
    const int iValue = ConfigurationLineValue(p_sLine).toInt(&bOk, 10);
    return bOk ? iValue : 0;
}

float RealValue(const QString& p_sLine)
{
    bool bOk = false;
    const double dValue = ConfigurationLineValue(p_sLine).toDouble(&bOk);
    // "nan", "inf" and values beyond single precision are not numbers a spin box can take.
    if (!bOk || !std::isfinite(dValue) || std::fabs(dValue) > 3.0e38)
        return 0.0f;
    return float(dValue);
}

} // namespace

QString ConfigurationFileText(const ConfigurationSettings& p_Settings, const QDateTime& p_Written)
{
    QString sText;
    sText += QStringLiteral("Configuration file - ")
             + QLocale::system().toString(p_Written, QStringLiteral("yyyy MMMM dd - hh:mm:ss")) + "\n";
    sText += "\n";
    sText += KeyField("DigiBoard") + p_Settings.DigiBoard + "\n";
    sText += KeyField("Proxy") + p_Settings.Proxy + "\n";
    for (const IntegerLine& line : kLinesBeforeGamma)
        sText += KeyField(line.Key) + QString::number(p_Settings.*line.Member) + "\n";
    sText += KeyField(kGammaKey) + QString::number(double(p_Settings.Gamma), 'g', 6) + "\n";
    for (const IntegerLine& line : kLinesAfterGamma)
        sText += KeyField(line.Key) + QString::number(p_Settings.*line.Member) + "\n";
    return sText;
}

bool WriteConfigurationFile(QIODevice& p_Device, const ConfigurationSettings& p_Settings,
                            const QDateTime& p_Written)
{
    const QByteArray bytes = ConfigurationFileText(p_Settings, p_Written).toUtf8();
    return p_Device.write(bytes) == bytes.size();
}

QString ConfigurationLineValue(const QString& p_sLine)
{
    const QStringList pieces = p_sLine.split(QLatin1Char('='), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (pieces.size() < 2)
        return QString();
    QString sValue = pieces.at(1);
    sValue.remove(QLatin1Char(' '));
    return sValue;
}

ConfigurationReadResult ReadConfigurationFile(QIODevice& p_Device)
{
    ConfigurationReadResult result;
    QTextStream stream(&p_Device);
    stream.setCodec(QTextCodec::codecForName("UTF-8"));
    stream.setAutoDetectUnicode(false);

    stream.readLine(kLongLineLimit); // line 1: the date
    stream.readLine();               // line 2: empty
    result.Settings.DigiBoard = ConfigurationLineValue(stream.readLine(kLongLineLimit));
    result.Settings.Proxy = ConfigurationLineValue(stream.readLine(kLongLineLimit));

    // Every line is read whatever happened before; the end of the stream after
    // one of lines 5 to 40 leaves the file short of line 41.
    bool bIncomplete = false;
    int iLine = kFirstValueLine;
    auto ended = [&stream, &iLine, &bIncomplete] {
        if (iLine < ConfigurationFileLineCount && stream.atEnd())
            bIncomplete = true;
        ++iLine;
    };
    for (const IntegerLine& line : kLinesBeforeGamma) {
        result.Settings.*line.Member = IntegerValue(stream.readLine());
        ended();
    }
    result.Settings.Gamma = RealValue(stream.readLine());
    ended();
    for (const IntegerLine& line : kLinesAfterGamma) {
        result.Settings.*line.Member = IntegerValue(stream.readLine());
        ended();
    }
    result.Status = bIncomplete ? ConfigurationReadStatus::Incomplete : ConfigurationReadStatus::Complete;
    return result;
}
