// The timed stream saver's files: names, raw and CSV image writers, and one tick over the chosen files.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <opencv2/core.hpp>

#include <cstdio>
#include <string>

// Stream and series file names are limited to this many bytes (terminator included).
constexpr size_t StreamFileNameBufferSize = 500;

// "yyyyMMdd hh mm ss z", z the milliseconds without leading zeros.
QString StreamTimestamp(const QDateTime& p_Time);
// p_szSavedImagesDir + p_Proxy + "/Image<w>x<h> <stamp> <suffix>"; empty when
// the name would not fit StreamFileNameBufferSize.
QByteArray StreamFileName(const char* p_szSavedImagesDir, const QByteArray& p_Proxy, int p_iWidth, int p_iHeight,
                          const QString& p_sStamp, const char* p_szSuffix);

// The image's pixels row by row, no header (8- or 16-bit, host order, which
// is little-endian on every machine the program runs on); false on a short write.
bool WriteRawImage(std::FILE* p_pFile, const cv::Mat& p_Image);
// The CSV text of an 8- or 16-bit single-channel image into p_Text (replaced):
// one line per row, every value followed by ",", each line ended by "\n".
void FormatCsvImage(const cv::Mat& p_Image, std::string& p_Text);

// What one tick writes and from which images.
struct StreamTickRequest
{
    const char* SavedImagesDir = "";
    QByteArray ProxyName;
    int Width = 0;
    int Height = 0;
    QString Stamp;
    bool Raw = false, Jpg = false, Bmp = false, Csv = false;
    bool CSV8b = false, CSV16b = false, CSVAcquired = false, CSVFPN = false, CSVDisplayed = false;
    bool RAW8b = false, RAW16b = false, RAWAcquired = false, RAWFPN = false, RAWDisplayed = false;
    cv::Mat Acquired16b;
    cv::Mat FPN16b;
    cv::Mat Displayed8b;
    cv::Mat Displayed16b;
    // The picture of the JPEG and BMP files, in the image writer's channel order.
    cv::Mat Picture;
};

enum class StreamTickResult { Written, RawOpenFailed, CsvOpenFailed };

// One stream tick: the RAW files, the JPEG and BMP pictures, then the CSV
// files. A family whose files cannot all be opened writes none of them and
// ends the tick (what was written before it stays).
StreamTickResult SaveStreamTick(const StreamTickRequest& p_Request);
