// The save-all-frames series of every frame path: one file per frame, BMP or little-endian RAW.
#include "pipeline/frame_series_saver.h"

#include <QFile>

#include <opencv2/imgcodecs.hpp>

#include <vector>

FrameSeriesRule CameraLinkSeriesRule()
{
    return {QStringLiteral("Image"), false, true};
}

FrameSeriesRule BelmorSeriesRule()
{
    // The BMP is the image the display slot showed for this frame.
    return {QStringLiteral("Image"), false, false};
}

FrameSeriesRule GigESeriesRule()
{
    return {QStringLiteral("Image"), true, false};
}

FrameSeriesRule Usb3SeriesRule()
{
    // The BMP is the frame's own 8-bit image, not whatever the display showed last.
    return {QStringLiteral("ImageAcquired"), true, true};
}

bool WriteRawLittleEndian(const QString& p_sPath, const unsigned short* p_pPixels, size_t p_uPixels)
{
    QFile file(p_sPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::vector<unsigned char> bytes(p_uPixels * 2);
    for (size_t i = 0; i < p_uPixels; ++i) {
        bytes[2 * i] = static_cast<unsigned char>(p_pPixels[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<unsigned char>(p_pPixels[i] >> 8);
    }
    return file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()))
           == static_cast<qint64>(bytes.size());
}

FrameSeriesResult SaveSeriesFrame(const FrameSeriesRule& p_Rule, std::atomic<int>& p_rFileIndex,
                                  std::atomic<int>& p_rSavedFrames, const FrameSeriesFrame& p_Frame)
{
    const bool bBmp = p_Frame.Bmp;
    const bool bRaw = !bBmp && p_Frame.Raw;
    if (!bBmp && !bRaw)
        return FrameSeriesResult::Nothing;
    if (p_Frame.Limit != 0 && p_rSavedFrames.fetch_add(1) == p_Frame.Limit) {
        p_rSavedFrames = 0;
        return FrameSeriesResult::Ended;
    }
    const size_t uPixels = p_Frame.Width > 0 && p_Frame.Height > 0
                               ? size_t(p_Frame.Width) * size_t(p_Frame.Height)
                               : 0;
    const QString sBase = p_Frame.Folder + QLatin1Char('/') + p_Rule.Stem;
    if (bBmp) {
        const int iIndex = p_Rule.BmpIndexAfterIncrement ? ++p_rFileIndex : p_rFileIndex++;
        cv::Mat image;
        if (p_Rule.BmpFromRaw) {
            if (p_Frame.Pixels == nullptr || uPixels == 0)
                return FrameSeriesResult::Nothing;
            image = cv::Mat(p_Frame.Height, p_Frame.Width, CV_8UC1, cv::Scalar(0));
            uint8_t* pOut = image.ptr<uint8_t>(0);
            for (size_t i = 0; i < uPixels; ++i)
                pOut[i] = uint8_t(p_Frame.Pixels[i] >> 8);
        } else {
            image = p_Frame.Display8b;
        }
        try {
            if (!image.empty())
                cv::imwrite((sBase + QString::number(iIndex) + QStringLiteral(".bmp")).toStdString(), image);
        } catch (const cv::Exception&) {
            // On the frame path: a file the image writer refuses is skipped without a message.
        }
        return FrameSeriesResult::Saved;
    }
    const int iIndex = p_rFileIndex++;
    if (p_Frame.Pixels != nullptr && uPixels != 0)
        WriteRawLittleEndian(sBase + QString::number(iIndex) + QStringLiteral(".raw"), p_Frame.Pixels, uPixels);
    return FrameSeriesResult::Saved;
}
