// The frame-statistics report's text.
#include "pipeline/debug_report.h"

#include <QLocale>

namespace {

const QLocale& French()
{
    static const QLocale s_French(QStringLiteral("fr"));
    return s_French;
}

// Whatever the locale groups with (U+202F or U+00A0 depending on the Qt
// version, a plain space elsewhere) becomes U+00A0.
QString WithNoBreakSpace(QString p_sText)
{
    const QChar group = French().groupSeparator();
    const QChar nbsp(FrenchGroupSeparator);
    if (group != nbsp)
        p_sText.replace(group, nbsp);
    p_sText.replace(QChar(0x202F), nbsp);
    return p_sText;
}

} // namespace

QString FrenchNumber(qint64 p_iValue)
{
    return WithNoBreakSpace(French().toString(p_iValue));
}

QString FrenchNumber(double p_dValue)
{
    return WithNoBreakSpace(French().toString(p_dValue, 'g', 6));
}

QString DebugReportTime(const QDateTime& p_Time)
{
    // Qt 5.15's "z" drops trailing zeros (a fraction of the second); the
    // report wants the milliseconds as a number without leading zeros.
    return p_Time.toString(QStringLiteral("yyyy MM dd hh mm ss ")) + QString::number(p_Time.time().msec());
}

QByteArray DebugReportHeaderText(const DebugReportHeader& h)
{
    auto n = [](int v) { return FrenchNumber(qint64(v)); };
    QString s;
    s += QStringLiteral("Starting Time: ") + DebugReportTime(h.Start) + QLatin1Char('\n');
    s += QStringLiteral("Digi Board: ") + h.DigiName + QLatin1Char('\n');
    s += QStringLiteral("Proxy Board: ") + h.ProxyName + QLatin1Char('\n');
    s += QStringLiteral("Framerate: ") + n(h.FrameRate) + QLatin1Char('\n');
    s += QStringLiteral("----- Sensor Parameters -----\n");
    s += QStringLiteral("TINT : ") + n(h.Tint) + QLatin1Char('\n');
    s += QStringLiteral("ADD02: ") + n(h.DacA) + QLatin1Char('\n');
    s += QStringLiteral("ADD03: ") + n(h.DacB) + QLatin1Char('\n');
    s += QStringLiteral("ADD0C: ") + n(h.DacC) + QLatin1Char('\n');
    s += QStringLiteral("ADD0D: ") + n(h.DacD) + QLatin1Char('\n');
    s += QStringLiteral("CKDIV: ") + n(h.Ckdiv) + QLatin1Char('\n');
    s += QStringLiteral("Gain0: ") + n(h.Gain0) + QLatin1Char('\n');
    s += QStringLiteral("Gain1: ") + n(h.Gain1) + QLatin1Char('\n');
    s += QStringLiteral("Gain2: ") + n(h.Gain2) + QLatin1Char('\n');
    s += QStringLiteral("UpCol: ") + n(h.UpCol) + QLatin1Char('\n');
    s += QStringLiteral("UpRow: ") + n(h.UpRow) + QLatin1Char('\n');
    s += QStringLiteral("----- Image processing -----\n");
    s += QStringLiteral("NUC Apply: ") + n(h.NucApplied ? 1 : 0) + QLatin1Char('\n');
    s += QStringLiteral("Gain: ") + n(h.ImageGain) + QLatin1Char('\n');
    s += QStringLiteral("Offset: ") + n(h.ImageOffset) + QStringLiteral("\n\n");
    s += QStringLiteral("----- ANALYZE -----\n");
    s += QStringLiteral(";RAW Image;;;;Processed Image\n");
    s += QStringLiteral("#Measure;Mean;Std;Min;Max;Mean;Std;Min;Max\n");
    return s.toUtf8();
}

FrameStatistics ComputeFrameStatistics(const cv::Mat& p_Image)
{
    FrameStatistics st;
    if (p_Image.empty())
        return st;
    cv::Scalar mean, stddev;
    cv::meanStdDev(p_Image, mean, stddev);
    st.Mean = mean[0];
    st.StdDev = stddev[0];
    // minMaxLoc wants one channel; a colour image is measured as one long row.
    const cv::Mat flat = p_Image.channels() == 1 ? p_Image : p_Image.reshape(1);
    cv::minMaxLoc(flat, &st.Min, &st.Max);
    return st;
}

QByteArray DebugReportMeasureLine(int p_iNumber, const DebugReportChoice& c, const FrameStatistics& p_Raw,
                                  const FrameStatistics& p_Processed)
{
    auto fields = [&c](const FrameStatistics& st) {
        QString s;
        if (c.Mean)
            s += FrenchNumber(st.Mean);
        s += QLatin1Char(';');
        if (c.StdDev)
            s += FrenchNumber(st.StdDev);
        s += QLatin1Char(';');
        if (c.Min)
            s += FrenchNumber(st.Min);
        s += QLatin1Char(';');
        if (c.Max)
            s += FrenchNumber(st.Max);
        s += QLatin1Char(';');
        return s;
    };
    QString line = FrenchNumber(qint64(p_iNumber)) + QLatin1Char(';');
    if (c.Raw)
        line += fields(p_Raw);
    else if (c.Processed)
        line += QStringLiteral(";;;;");
    if (c.Processed)
        line += fields(p_Processed);
    line += QLatin1Char('\n');
    return line.toUtf8();
}

QByteArray DebugReportEndingText(const QDateTime& p_Time)
{
    return (QStringLiteral("\nEnding Time: ") + DebugReportTime(p_Time) + QLatin1Char('\n')).toUtf8();
}

QString DebugReportFileName(const QString& p_sChosen)
{
    if (p_sChosen.isEmpty() || p_sChosen.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return p_sChosen;
    return p_sChosen + QStringLiteral(".csv");
}
