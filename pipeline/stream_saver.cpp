// The timed stream saver's file names, writers and tick.
#include "pipeline/stream_saver.h"

#include <opencv2/imgcodecs.hpp>

#include <array>
#include <vector>

QString StreamTimestamp(const QDateTime& p_Time)
{
    // The milliseconds are written without leading zeros, which Qt's "z" does not guarantee.
    return p_Time.toString(QStringLiteral("yyyyMMdd hh mm ss ")) + QString::number(p_Time.time().msec());
}

QByteArray StreamFileName(const char* p_szSavedImagesDir, const QByteArray& p_Proxy, int p_iWidth, int p_iHeight,
                          const QString& p_sStamp, const char* p_szSuffix)
{
    char szName[StreamFileNameBufferSize];
    const int n = std::snprintf(szName, sizeof szName, "%s%s/Image%dx%d %s %s", p_szSavedImagesDir,
                                p_Proxy.constData(), p_iWidth, p_iHeight, p_sStamp.toUtf8().constData(), p_szSuffix);
    if (n < 0 || size_t(n) >= sizeof szName)
        return QByteArray();
    return QByteArray(szName, n);
}

bool WriteRawImage(std::FILE* p_pFile, const cv::Mat& p_Image)
{
    if (!p_pFile)
        return false;
    const size_t rowBytes = size_t(p_Image.cols) * p_Image.elemSize();
    if (p_Image.isContinuous())
        return std::fwrite(p_Image.data, 1, rowBytes * size_t(p_Image.rows), p_pFile) == rowBytes * size_t(p_Image.rows);
    for (int r = 0; r < p_Image.rows; ++r)
        if (std::fwrite(p_Image.ptr(r), 1, rowBytes, p_pFile) != rowBytes)
            return false;
    return true;
}

namespace {

// "00" .. "99": two digits per step instead of one division per digit.
struct DigitPairs
{
    std::array<char, 200> Text{};
    DigitPairs()
    {
        for (int i = 0; i < 100; ++i) {
            Text[size_t(2 * i)] = char('0' + i / 10);
            Text[size_t(2 * i + 1)] = char('0' + i % 10);
        }
    }
};
const DigitPairs kPairs;

inline char* AppendValue(char* p, unsigned v)
{
    char tmp[8];
    char* t = tmp + sizeof tmp;
    while (v >= 100) {
        const unsigned q = v / 100;
        const unsigned r = v - q * 100;
        t -= 2;
        t[0] = kPairs.Text[2 * r];
        t[1] = kPairs.Text[2 * r + 1];
        v = q;
    }
    if (v >= 10) {
        t -= 2;
        t[0] = kPairs.Text[2 * v];
        t[1] = kPairs.Text[2 * v + 1];
    } else {
        *--t = char('0' + v);
    }
    const size_t n = size_t(tmp + sizeof tmp - t);
    for (size_t i = 0; i < n; ++i)
        p[i] = t[i];
    return p + n;
}

template <typename T>
void FormatRows(const cv::Mat& p_Image, std::string& p_Text, size_t p_uMaxDigits)
{
    p_Text.resize(size_t(p_Image.rows) * (size_t(p_Image.cols) * (p_uMaxDigits + 1) + 1));
    char* const begin = &p_Text[0];
    char* p = begin;
    for (int r = 0; r < p_Image.rows; ++r) {
        const T* row = p_Image.ptr<T>(r);
        for (int c = 0; c < p_Image.cols; ++c) {
            p = AppendValue(p, unsigned(row[c]));
            *p++ = ',';
        }
        *p++ = '\n';
    }
    p_Text.resize(size_t(p - begin));
}

bool WriteCsvFile(std::FILE* p_pFile, const cv::Mat& p_Image)
{
    // One buffer per thread, kept between ticks: a large frame is formatted without reallocating.
    thread_local std::string text;
    FormatCsvImage(p_Image, text);
    return std::fwrite(text.data(), 1, text.size(), p_pFile) == text.size();
}

void WritePicture(const QByteArray& p_Name, const cv::Mat& p_Picture)
{
    if (p_Name.isEmpty() || p_Picture.empty())
        return;
    try {
        cv::imwrite(p_Name.constData(), p_Picture);
    } catch (const cv::Exception&) {
        // The picture writers' failures are not reported; the other files still go.
    }
}

// The files of one family (RAW or CSV), opened together before any is written.
struct FamilyFile
{
    bool Wanted;
    const char* Suffix;
    const cv::Mat* Image;
    std::FILE* File;
    QByteArray Name;
    FamilyFile(bool p_bWanted, const char* p_szSuffix, const cv::Mat* p_pImage)
        : Wanted(p_bWanted), Suffix(p_szSuffix), Image(p_pImage), File(nullptr)
    {
    }
};

bool OpenFamily(std::vector<FamilyFile>& p_Files, const StreamTickRequest& p_Request, const char* p_szMode)
{
    bool ok = true;
    for (FamilyFile& f : p_Files) {
        if (!f.Wanted)
            continue;
        const QByteArray name = StreamFileName(p_Request.SavedImagesDir, p_Request.ProxyName, p_Request.Width,
                                               p_Request.Height, p_Request.Stamp, f.Suffix);
        f.Name = name;
        f.File = name.isEmpty() ? nullptr : std::fopen(name.constData(), p_szMode);
        if (!f.File) {
            ok = false;
            break;
        }
    }
    if (!ok) {
        // The family is written whole or not at all: the files just created go again.
        for (FamilyFile& f : p_Files)
            if (f.File) {
                std::fclose(f.File);
                f.File = nullptr;
                std::remove(f.Name.constData());
            }
    }
    return ok;
}

} // namespace

void FormatCsvImage(const cv::Mat& p_Image, std::string& p_Text)
{
    p_Text.clear();
    if (p_Image.empty() || p_Image.channels() != 1)
        return;
    if (p_Image.depth() == CV_8U)
        FormatRows<uint8_t>(p_Image, p_Text, 3);
    else if (p_Image.depth() == CV_16U)
        FormatRows<uint16_t>(p_Image, p_Text, 5);
}

StreamTickResult SaveStreamTick(const StreamTickRequest& p_Request)
{
    const StreamTickRequest& q = p_Request;
    if (q.Raw) {
        std::vector<FamilyFile> files = {{q.RAWAcquired, "Acquired_16b.raw", &q.Acquired16b},
                                         {q.RAWFPN, "FPN_16b.raw", &q.FPN16b},
                                         {q.RAWDisplayed && q.RAW8b, "Displayed_8b.raw", &q.Displayed8b},
                                         {q.RAWDisplayed && q.RAW16b, "Displayed_16b.raw", &q.Displayed16b}};
        if (!OpenFamily(files, q, "wb"))
            return StreamTickResult::RawOpenFailed;
        for (FamilyFile& f : files)
            if (f.File) {
                WriteRawImage(f.File, *f.Image);
                std::fclose(f.File);
            }
    }
    if (q.Jpg)
        WritePicture(StreamFileName(q.SavedImagesDir, q.ProxyName, q.Width, q.Height, q.Stamp, "Live.jpeg"), q.Picture);
    if (q.Bmp)
        WritePicture(StreamFileName(q.SavedImagesDir, q.ProxyName, q.Width, q.Height, q.Stamp, "Live.bmp"), q.Picture);
    if (q.Csv) {
        std::vector<FamilyFile> files = {{q.CSVAcquired, "Acquired_16b.csv", &q.Acquired16b},
                                         {q.CSVFPN, "FPN_16b.csv", &q.FPN16b},
                                         {q.CSVDisplayed && q.CSV8b, "Displayed_8b.csv", &q.Displayed8b},
                                         {q.CSVDisplayed && q.CSV16b, "Displayed_16b.csv", &q.Displayed16b}};
        if (!OpenFamily(files, q, "w"))
            return StreamTickResult::CsvOpenFailed;
        for (FamilyFile& f : files)
            if (f.File) {
                WriteCsvFile(f.File, *f.Image);
                std::fclose(f.File);
            }
    }
    return StreamTickResult::Written;
}
