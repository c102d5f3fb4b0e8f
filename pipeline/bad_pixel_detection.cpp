// Automatic bad-pixel detection arithmetic and the bad-pixel map text.
#include "pipeline/bad_pixel_detection.h"

#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <opencv2/core.hpp>

#include <cfenv>
#include <cmath>

GskDac GskDacFromChannelCode(uint32_t p_uCode)
{
    switch (p_uCode) {
    case 2: return GskDac::A;
    case 3: return GskDac::B;
    case 12: return GskDac::C;
    case 13: return GskDac::D;
    default: return GskDac::None;
    }
}

int GskDacValueCell(GskDac p_Dac)
{
    switch (p_Dac) {
    case GskDac::A: return ProxyParameterId::DAC_A;
    case GskDac::B: return ProxyParameterId::DAC_B;
    case GskDac::C: return ProxyParameterId::DAC_C;
    case GskDac::D: return ProxyParameterId::DAC_D;
    case GskDac::None: break;
    }
    return -1;
}

GskDac GskDacOfProxy(int p_iProxyIndex)
{
    if (p_iProxyIndex < 0 || p_iProxyIndex >= kProxyRecordCount)
        return GskDac::None;
    return GskDacFromChannelCode(GetDefault(p_iProxyIndex, ProxyParameterId::GSKChannel));
}

uint32_t StartingGskValue(int p_iProxyIndex)
{
    const int iCell = GskDacValueCell(GskDacOfProxy(p_iProxyIndex));
    return iCell < 0 ? 0u : GetCurrent(p_iProxyIndex, iCell);
}

int32_t RoundedMean(const cv::Mat& p_Frame)
{
    if (p_Frame.empty())
        return 0;
    cv::Scalar mean, stddev;
    cv::meanStdDev(p_Frame, mean, stddev);
    // nearbyint rounds in the current mode, which is to-nearest-even unless
    // someone changed it; say so rather than rely on it.
    const int iMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(mean[0]);
    std::fesetround(iMode);
    return static_cast<int32_t>(r);
}

bool AboveLevel(int32_t p_iMean, int p_iPercent)
{
    return static_cast<double>(p_iMean) > static_cast<double>(p_iPercent) * 655.35;
}

bool BelowLevel(int32_t p_iMean, int p_iPercent)
{
    return static_cast<double>(p_iMean) < static_cast<double>(p_iPercent) * 655.35;
}

BlindColumns BlindColumnsFromCell(uint32_t p_uCell)
{
    return BlindColumns{static_cast<int>(p_uCell & 0x0Fu), static_cast<int>((p_uCell >> 4) & 0x0Fu)};
}

namespace {

template <typename T>
void ScanDifference(const cv::Mat& p_Diff, int p_iFirst, int p_iEnd, double p_dLow, double p_dHigh,
                    QVector<DetectedPixel>& p_rOut)
{
    for (int r = 0; r < p_Diff.rows; ++r) {
        const T* pRow = p_Diff.ptr<T>(r);
        for (int c = p_iFirst; c < p_iEnd; ++c) {
            const double v = static_cast<double>(pRow[c]);
            if (v < p_dLow || v > p_dHigh)
                p_rOut.append(DetectedPixel{r, c});
        }
    }
}

} // namespace

BadPixelDetection DetectBadPixels(const cv::Mat& p_Low, const cv::Mat& p_High, uint32_t p_uBlindColumnsCell,
                                  cv::Mat* p_pDifference)
{
    BadPixelDetection result;
    if (p_Low.empty() || p_High.empty() || p_Low.size() != p_High.size() || p_Low.type() != p_High.type()
        || p_Low.channels() != 1)
        return result;
    cv::Mat diff;
    cv::subtract(p_High, p_Low, diff, cv::noArray(), p_High.type());
    cv::Scalar mean, stddev;
    cv::meanStdDev(diff, mean, stddev);
    result.MeanDifference = mean[0];
    const BlindColumns blind = BlindColumnsFromCell(p_uBlindColumnsCell);
    const int iEnd = diff.cols - blind.Right;
    const double dLow = 0.75 * result.MeanDifference;
    const double dHigh = 1.25 * result.MeanDifference;
    switch (diff.depth()) {
    case CV_8U: ScanDifference<uint8_t>(diff, blind.Left, iEnd, dLow, dHigh, result.Pixels); break;
    case CV_16U: ScanDifference<uint16_t>(diff, blind.Left, iEnd, dLow, dHigh, result.Pixels); break;
    case CV_16S: ScanDifference<int16_t>(diff, blind.Left, iEnd, dLow, dHigh, result.Pixels); break;
    case CV_32S: ScanDifference<int32_t>(diff, blind.Left, iEnd, dLow, dHigh, result.Pixels); break;
    case CV_32F: ScanDifference<float>(diff, blind.Left, iEnd, dLow, dHigh, result.Pixels); break;
    case CV_64F: ScanDifference<double>(diff, blind.Left, iEnd, dLow, dHigh, result.Pixels); break;
    default: return BadPixelDetection{};
    }
    result.Valid = true;
    if (p_pDifference)
        *p_pDifference = diff;
    return result;
}

QByteArray BadPixelCsvText(const QVector<DetectedPixel>& p_Pixels)
{
    QByteArray text("Ligne,Colonne\n");
    text.reserve(text.size() + p_Pixels.size() * 10);
    for (const DetectedPixel& p : p_Pixels) {
        text += QByteArray::number(p.Row);
        text += ',';
        text += QByteArray::number(p.Column);
        text += '\n';
    }
    return text;
}

QString BadPixelFolder(const QString& p_sApplicationDir)
{
    return p_sApplicationDir + QStringLiteral("/../BadPixelsFiles/");
}

bool IsUsableSerialNumber(const QString& p_sSerial)
{
    if (p_sSerial.contains(QLatin1Char('/')) || p_sSerial.contains(QLatin1Char('\\'))
        || p_sSerial.contains(QStringLiteral("..")))
        return false;
    for (const QChar ch : p_sSerial)
        if (ch.category() == QChar::Other_Control)
            return false;
    return true;
}

QString BadPixelFilePath(const QString& p_sFolder, const QString& p_sSerial)
{
    return p_sFolder + QStringLiteral("BP_") + p_sSerial + QStringLiteral(".csv");
}
