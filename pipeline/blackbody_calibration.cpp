// Blackbody calibration capture: raw frame files, the "_Config.txt" description and the capture state.
#include "pipeline/blackbody_calibration.h"

#include <QFile>

#include <cstring>

QString FormatCalibrationTemperature(double p_dDegrees)
{
    return QString::number(p_dDegrees, 'g', 6);
}

QStringList CalibrationDescriptionLines(const CalibrationDescription& p_Description)
{
    const CalibrationDescription& d = p_Description;
    auto number = [](uint32_t v) { return QString::number(v); };
    QStringList lines;
    lines << QStringLiteral("ProxyBoard:") << d.ProxyName;
    lines << QStringLiteral("Sensor S/N:") << d.SensorSerialNumber;
    lines << QStringLiteral("Lens:") << d.Lens;
    for (int i = 0; i < CalibrationDescription::ParameterCount; ++i)
        lines << d.Captions[i] << number(d.Values[i]);
    lines << QStringLiteral("Image X Size:") << number(d.ImageWidth);
    lines << QStringLiteral("Image Y Size:") << number(d.ImageHeight);
    lines << QStringLiteral("Number of Left Temperature columns:") << number(d.LeftTemperatureColumns);
    lines << QStringLiteral("Number of Right Temperature columns:") << number(d.RightTemperatureColumns);
    lines << QStringLiteral("BlackBody 1 temperature:") << FormatCalibrationTemperature(d.TemperatureBB1);
    lines << QStringLiteral("BlackBody 2 temperature:") << FormatCalibrationTemperature(d.TemperatureBB2);
    lines << QStringLiteral("Number of image saved for each BlackBody:") << number(d.ImagesPerBlackbody);
    lines << QStringLiteral("Files path:") << d.FilesPath;
    return lines;
}

namespace {

void SetError(QString* p_pError, const QString& p_sText)
{
    if (p_pError)
        *p_pError = p_sText;
}

// Writes all of p_Bytes; false, with the reason, when the file cannot take them.
bool WriteWhole(QFile& p_rFile, const char* p_pBytes, qint64 p_iSize, QString* p_pError)
{
    if (p_rFile.write(p_pBytes, p_iSize) != p_iSize || !p_rFile.flush()) {
        SetError(p_pError, p_rFile.fileName() + ": " + p_rFile.errorString());
        p_rFile.close();
        return false;
    }
    p_rFile.close();
    if (p_rFile.error() != QFileDevice::NoError) {
        SetError(p_pError, p_rFile.fileName() + ": " + p_rFile.errorString());
        return false;
    }
    return true;
}

} // namespace

bool WriteCalibrationDescription(const QString& p_sPath, const CalibrationDescription& p_Description,
                                 QString* p_pError)
{
    QByteArray text;
    for (const QString& sLine : CalibrationDescriptionLines(p_Description)) {
        text += sLine.toUtf8();
        text += '\n';
    }
    QFile file(p_sPath);
    // Text mode: the platform's line ends.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        SetError(p_pError, p_sPath + ": " + file.errorString());
        return false;
    }
    return WriteWhole(file, text.constData(), text.size(), p_pError);
}

RawFrameFit FitRawFrame(const FrameGeometry& p_Delivered, uint32_t p_uWidth, uint32_t p_uHeight)
{
    if (p_uWidth == 0 || p_uHeight == 0 || p_Delivered.Height <= 0 || p_Delivered.Pitch <= 0)
        return RawFrameFit::TooSmall;
    const uint64_t lineBytes = uint64_t(p_uWidth) * 2;
    if (uint64_t(p_Delivered.Height) < p_uHeight || uint64_t(p_Delivered.Pitch) < lineBytes)
        return RawFrameFit::TooSmall;
    return uint64_t(p_Delivered.Pitch) == lineBytes ? RawFrameFit::Contiguous : RawFrameFit::RowByRow;
}

bool WriteBlackbodyRawFrame(const QString& p_sPath, const uint16_t* p_pFrame, const FrameGeometry& p_Delivered,
                            uint32_t p_uWidth, uint32_t p_uHeight, std::vector<uint8_t>& p_rScratch,
                            QString* p_pError)
{
    const RawFrameFit fit = p_pFrame ? FitRawFrame(p_Delivered, p_uWidth, p_uHeight) : RawFrameFit::TooSmall;
    if (fit == RawFrameFit::TooSmall) {
        SetError(p_pError, QStringLiteral("%1: the frame delivered (%2 lines of %3 bytes) is smaller than %4 x %5")
                               .arg(p_sPath)
                               .arg(p_Delivered.Height)
                               .arg(p_Delivered.Pitch)
                               .arg(p_uWidth)
                               .arg(p_uHeight));
        return false;
    }
    const size_t lineBytes = size_t(p_uWidth) * 2;
    const size_t imageBytes = lineBytes * p_uHeight;
    const char* pBytes = reinterpret_cast<const char*>(p_pFrame);
    if (fit == RawFrameFit::RowByRow) {
        p_rScratch.resize(imageBytes);
        for (uint32_t row = 0; row < p_uHeight; ++row)
            std::memcpy(p_rScratch.data() + row * lineBytes, pBytes + size_t(row) * size_t(p_Delivered.Pitch),
                        lineBytes);
        pBytes = reinterpret_cast<const char*>(p_rScratch.data());
    }
    QFile file(p_sPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        SetError(p_pError, p_sPath + ": " + file.errorString());
        return false;
    }
    return WriteWhole(file, pBytes, qint64(imageBytes), p_pError);
}

QString BlackbodyRawFramePath(const QString& p_sFolder, int p_iStep, uint32_t p_uIndex)
{
    return p_sFolder + (p_iStep == 1 ? QStringLiteral("/BB1/Image") : QStringLiteral("/BB2/Image"))
           + QString::number(p_uIndex) + QStringLiteral(".raw");
}

BlackbodyCapture::BlackbodyCapture(QObject* p_pParent)
    : QObject(p_pParent)
{
}

void BlackbodyCapture::prepare(const QString& p_sFolder, uint32_t p_uWidth, uint32_t p_uHeight, uint32_t p_uImages)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bCapturing = false;
    m_iStep = 0;
    m_uSaved = 0;
    m_uFailed = 0;
    m_uRefused = 0;
    m_uImages = p_uImages;
    m_sFolder = p_sFolder;
    m_uWidth = p_uWidth;
    m_uHeight = p_uHeight;
    m_sFirstFailure.clear();
}

void BlackbodyCapture::startCapturing()
{
    m_bCapturing = true;
}

void BlackbodyCapture::startStep(int p_iStep)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_uSaved = 0;
    m_iStep = p_iStep;
    m_bCapturing = true;
}

void BlackbodyCapture::endStep()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_iStep = 0;
    m_uSaved = 0;
}

void BlackbodyCapture::stopCapturing()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bCapturing = false;
    m_iStep = 0;
    m_uSaved = 0;
}

QString BlackbodyCapture::firstFailure() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_sFirstFailure;
}

void BlackbodyCapture::receiveRawImage(const uint16_t* p_pFrame, const FrameGeometry& p_Delivered)
{
    if (!m_bCapturing || !p_pFrame)
        return;
    int finishedStep = 0;
    {
        // A frame that comes while the previous one is still being written is dropped.
        std::unique_lock<std::mutex> lock(m_Mutex, std::try_to_lock);
        if (!lock.owns_lock())
            return;
        const int step = m_iStep;
        const uint32_t n = m_uSaved;
        if (!m_bCapturing || (step != 1 && step != 2) || n >= m_uImages)
            return;
        if (FitRawFrame(p_Delivered, m_uWidth, m_uHeight) == RawFrameFit::TooSmall) {
            ++m_uRefused;
            return;
        }
        QString sError;
        if (!WriteBlackbodyRawFrame(BlackbodyRawFramePath(m_sFolder, step, n), p_pFrame, p_Delivered, m_uWidth,
                                    m_uHeight, m_Scratch, &sError)) {
            if (m_uFailed++ == 0)
                m_sFirstFailure = sError;
        }
        m_uSaved = n + 1;
        if (n + 1 == m_uImages)
            finishedStep = step;
    }
    if (finishedStep)
        emit stepFinished(finishedStep);
}
