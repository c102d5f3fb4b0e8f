// Colour look-up tables: the LUT file reader and the colouring of 8-bit images.
#include "pipeline/colour_lut.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

void ColourLutPlanes::clear()
{
    R.fill(0);
    G.fill(0);
    B.fill(0);
}

cv::Mat ColourLutPlanes::merged() const
{
    cv::Mat lut(1, 256, CV_8UC3);
    for (int i = 0; i < 256; ++i)
        lut.at<cv::Vec3b>(0, i) = cv::Vec3b(R[size_t(i)], G[size_t(i)], B[size_t(i)]);
    return lut;
}

namespace {
uint8_t LowByteOf(const QStringList& p_Fields, int p_iIndex, bool* p_pRead)
{
    *p_pRead = false;
    if (p_iIndex >= p_Fields.size())
        return 0;
    const int v = p_Fields[p_iIndex].trimmed().toInt(p_pRead, 10);
    return *p_pRead ? uint8_t(uint32_t(v) & 0xFFu) : 0;
}
} // namespace

LutReadStatus ReadLutFileStatus(const QString& p_sPath, ColourLutPlanes& p_Planes, const PipelineLogSink& p_Log)
{
    QFile file(p_sPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || !file.isReadable()) {
        if (p_Log)
            p_Log(QStringLiteral("Can't open correctily LUT File"));
        return LutReadStatus::CannotOpen;
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    in.readLine(); // header
    // Read into a copy: a file that turns out to hold no table changes nothing.
    ColourLutPlanes read = p_Planes;
    int k = 0;
    bool bAnyEntry = false;
    while (!in.atEnd() && k < 256) {
        const QStringList fields = in.readLine().split(QLatin1Char(';'), Qt::KeepEmptyParts);
        bool bR = false, bG = false, bB = false;
        read.R[size_t(k)] = LowByteOf(fields, 0, &bR);
        read.G[size_t(k)] = LowByteOf(fields, 1, &bG);
        read.B[size_t(k)] = LowByteOf(fields, 2, &bB);
        bAnyEntry = bAnyEntry || (bR && bG && bB);
        ++k;
    }
    // A header alone loads nothing and changes nothing; data lines of which
    // none is a colour are something else than a table.
    if (k > 0 && !bAnyEntry)
        return LutReadStatus::NoColourTable;
    p_Planes = read;
    return LutReadStatus::Loaded;
}

bool ReadLutFile(const QString& p_sPath, ColourLutPlanes& p_Planes, const PipelineLogSink& p_Log)
{
    return ReadLutFileStatus(p_sPath, p_Planes, p_Log) == LutReadStatus::Loaded;
}

cv::Mat ApplyColourLut(const cv::Mat& p_Grey, const ColourLutPlanes& p_Planes)
{
    if (p_Grey.empty() || p_Grey.type() != CV_8UC1)
        return cv::Mat();
    cv::Mat out(p_Grey.rows, p_Grey.cols, CV_8UC3);
    for (int y = 0; y < p_Grey.rows; ++y) {
        const uint8_t* s = p_Grey.ptr<uint8_t>(y);
        uint8_t* d = out.ptr<uint8_t>(y);
        for (int x = 0; x < p_Grey.cols; ++x) {
            const uint8_t v = s[x];
            d[3 * x] = p_Planes.R[v];
            d[3 * x + 1] = p_Planes.G[v];
            d[3 * x + 2] = p_Planes.B[v];
        }
    }
    return out;
}
