// The two-point NUC gain file: reading its values into the per-pixel gain matrix.
#include "pipeline/two_point_nuc_gain_file.h"

#include <QByteArray>
#include <QFile>

#include <cmath>

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;
// Longer than any decimal double; a longer token is not a number.
constexpr int kLongestToken = 64;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Characters of the file one at a time, read in chunks.
class CharSource
{
public:
    explicit CharSource(QFile& p_File) : m_File(p_File) {}

    // -1 at the end of the file (or on a read error).
    int peek()
    {
        if (m_iPos >= m_Chunk.size()) {
            m_Chunk = m_File.read(kChunkBytes);
            m_iPos = 0;
            if (m_Chunk.isEmpty())
                return -1;
        }
        return static_cast<unsigned char>(m_Chunk.at(m_iPos));
    }
    void next() { ++m_iPos; }

private:
    QFile& m_File;
    QByteArray m_Chunk;
    int m_iPos = 0;
};

} // namespace

TwoPointNUCGainRead ReadTwoPointNUCGainFile(const QString& p_sPath, int p_iWidth, int p_iHeight, int p_iColumns)
{
    TwoPointNUCGainRead r;
    if (p_iWidth <= 0 || p_iHeight <= 0 || p_iColumns < p_iWidth) {
        r.Status = TwoPointNUCGainStatus::NoFrameSize;
        return r;
    }
    if (p_sPath.toUtf8().size() > TwoPointNUCGainPathMaxBytes) {
        r.Status = TwoPointNUCGainStatus::PathTooLong;
        return r;
    }
    QFile file(p_sPath);
    if (!file.open(QIODevice::ReadOnly)) {
        r.Status = TwoPointNUCGainStatus::CannotOpen;
        return r;
    }

    cv::Mat gains(p_iHeight, p_iColumns, CV_64FC1, cv::Scalar(1.0));
    const int64_t needed = int64_t(p_iWidth) * int64_t(p_iHeight);
    CharSource in(file);
    QByteArray token;
    while (r.ValuesRead < needed) {
        int c = in.peek();
        while (c >= 0 && IsBlank(char(c))) {
            in.next();
            c = in.peek();
        }
        if (c < 0) {
            r.Status = TwoPointNUCGainStatus::TooFewValues;
            return r;
        }
        token.clear();
        while (c >= 0 && c != ';' && !IsBlank(char(c)) && token.size() <= kLongestToken) {
            token.append(char(c));
            in.next();
            c = in.peek();
        }
        bool bOk = false;
        const double dValue = token.size() <= kLongestToken ? token.toDouble(&bOk) : 0.0;
        if (!bOk || !std::isfinite(dValue)) {
            r.Status = TwoPointNUCGainStatus::NotANumber;
            r.FailedValue = r.ValuesRead;
            r.FailedText = QString::fromUtf8(token.left(40));
            return r;
        }
        if (c == ';')
            in.next();
        gains.at<double>(int(r.ValuesRead / p_iWidth), int(r.ValuesRead % p_iWidth)) = dValue;
        ++r.ValuesRead;
    }
    int c = in.peek();
    while (c >= 0 && IsBlank(char(c))) {
        in.next();
        c = in.peek();
    }
    r.DataLeft = c >= 0;
    r.Status = TwoPointNUCGainStatus::Loaded;
    r.Gains = gains;
    return r;
}

QString TwoPointNUCGainFailureText(const TwoPointNUCGainRead& p_Read, int p_iWidth, int p_iHeight)
{
    const QString sNeeded = QString::number(int64_t(p_iWidth) * int64_t(p_iHeight));
    switch (p_Read.Status) {
    case TwoPointNUCGainStatus::Loaded:
        return QString();
    case TwoPointNUCGainStatus::NoFrameSize:
        return QStringLiteral("The image size is not known yet: start the stream before loading a 2 points NUC Gain file.");
    case TwoPointNUCGainStatus::PathTooLong:
        return QStringLiteral("The path of the 2 points NUC Gain file is longer than %1 bytes. Move the file to a "
                              "shorter path.")
            .arg(TwoPointNUCGainPathMaxBytes);
    case TwoPointNUCGainStatus::CannotOpen:
        return QStringLiteral("2 points NUC Gain file .csv load fail");
    case TwoPointNUCGainStatus::NotANumber:
        return QStringLiteral("The 2 points NUC Gain file is not valid: value %1 (\"%2\") is not a number. The gains "
                              "were not changed.")
            .arg(p_Read.FailedValue + 1)
            .arg(p_Read.FailedText);
    case TwoPointNUCGainStatus::TooFewValues:
        return QStringLiteral("The 2 points NUC Gain file holds %1 values, %2 are needed (%3 x %4). The gains were not "
                              "changed.")
            .arg(p_Read.ValuesRead)
            .arg(sNeeded)
            .arg(p_iWidth)
            .arg(p_iHeight);
    }
    return QString();
}
