// The AVI recorder: its checks before opening, the folder choice, the writer and its closing.
#include "pipeline/kv_video_recorder.h"

#include "app/kv_log.h"
#include "app/message_boxes.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

namespace {

// Shown once per run, at the first folder choice.
bool g_bFolderCautionPending = true;

constexpr int kMaxVideoSide = 2047;

} // namespace

QString VideoFilePath(const QString& p_sFolder, const QString& p_sFileName)
{
    QString path = p_sFolder + p_sFileName;
    if (!path.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive))
        path += QStringLiteral(".avi");
    return path;
}

bool VideoSizeAccepted(int p_iWidth, int p_iHeight)
{
    return p_iWidth > 0 && p_iWidth <= kMaxVideoSide && p_iHeight > 0 && p_iHeight <= kMaxVideoSide;
}

KV_VideoRecorder::KV_VideoRecorder(QObject* parent)
    : QObject(parent)
{
    m_pOwnLog = new KV_Log;
    log = m_pOwnLog;
}

KV_VideoRecorder::~KV_VideoRecorder()
{
    if (videoWriter.isOpened())
        closeFile();
    delete m_pOwnLog;
}

void KV_VideoRecorder::resetFolderCaution()
{
    g_bFolderCautionPending = true;
}

void KV_VideoRecorder::setFolderChooser(FolderChooser p_Chooser)
{
    m_FolderChooser = std::move(p_Chooser);
}

void KV_VideoRecorder::setFreeSpaceProbe(FreeSpaceProbe p_Probe)
{
    m_FreeSpace = std::move(p_Probe);
}

void KV_VideoRecorder::setUrlOpener(UrlOpener p_Opener)
{
    m_UrlOpener = std::move(p_Opener);
}

void KV_VideoRecorder::writeLog(const QString& p_sLine)
{
    if (log)
        log->writeLine(p_sLine);
}

void KV_VideoRecorder::setLogFile(KV_Log* p_pLog)
{
    if (!p_pLog) {
        emit errorHappend(QStringLiteral("KV_Log file problem"),
                          QStringLiteral("The KV_Log file can't be initialized for the Video Recorder."));
        return;
    }
    log = p_pLog;
}

void KV_VideoRecorder::setFrameRate(double p_dFrameRate)
{
    writeLog("Video Recorder framerate changed to " + QString::number(p_dFrameRate, 'g', 6));
    frameRate = p_dFrameRate;
}

void KV_VideoRecorder::setFileName(QString p_sFileName)
{
    writeLog("Video Recorder file name changed to " + p_sFileName);
    fileName = p_sFileName;
}

void KV_VideoRecorder::setLaunchVideoAutomatically(int p_iState)
{
    launchVideoAutomatically = p_iState != 0;
}

void KV_VideoRecorder::setVideoSize(int p_iXSize, int p_iYSize)
{
    videoWidth = p_iXSize;
    videoHeight = p_iYSize;
}

bool KV_VideoRecorder::isRecording()
{
    return recording;
}

bool KV_VideoRecorder::isVideoFolderSelected()
{
    return videoFolderSelected;
}

double KV_VideoRecorder::getFrameRate()
{
    return frameRate;
}

QString KV_VideoRecorder::chooseFolder()
{
    if (m_FolderChooser)
        return m_FolderChooser();
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setSidebarUrls({QUrl::fromLocalFile(QDir::rootPath()), QUrl::fromLocalFile(QDir::homePath())});
    dialog.setWindowModality(Qt::NonModal);
    // Frames and timers keep being served while the operator chooses.
    WaitForDialog(&dialog);
    if (dialog.result() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? dialog.directory().absolutePath() : files.first();
}

void KV_VideoRecorder::selectFolder()
{
    writeLog(QStringLiteral("Selection of the Video folder"));
    if (g_bFolderCautionPending) {
        g_bFolderCautionPending = false;
        emit informationHappend(
            QStringLiteral("Careful"),
            QStringLiteral("Please be careful and don't save the video anywhere, it risks to saturate the Disk Drive."));
    }
    const QString chosen = chooseFolder();
    // A cancelled dialog keeps the folder chosen before, if any.
    if (chosen.isEmpty())
        return;
    videoFolderSelected = false;
    videoFolder = chosen;
    if (!QFileInfo(videoFolder).isDir()) {
        emit errorHappend(QStringLiteral("Not a valid directory"),
                          QStringLiteral("The directory choose is not valid. Please choose an other one."));
        return;
    }
    const QString before = videoFolder;
    isSpaceAvailable();
    // "Yes" to the low-space question has chosen (or failed to choose) another folder.
    if (videoFolder != before)
        return;
    if (!videoFolder.endsWith(QLatin1Char('/')) && !videoFolder.endsWith(QLatin1Char('\\')))
        videoFolder += QLatin1Char('/');
    writeLog("Folder Selected: " + videoFolder);
    videoFolderSelected = true;
}

void KV_VideoRecorder::isSpaceAvailable()
{
    const double bytes =
        m_FreeSpace ? m_FreeSpace(videoFolder) : double(QStorageInfo(videoFolder).bytesAvailable());
    const double gigabytes = bytes / (1024.0 * 1024.0 * 1024.0);
    writeLog("Space Available on the drive (GB) : " + QString::number(gigabytes, 'g', 6));
    if (gigabytes >= 1.0)
        return;
    const int answer = PresentMessageBox(
        {nullptr, QMessageBox::Warning, QStringLiteral("Low space available"),
         QStringLiteral("The free space available on the disk drive is lower than 1GB. Would you like to select an "
                        "other folder ?"),
         {QStringLiteral("Yes"), QStringLiteral("No")}});
    if (answer == 0)
        selectFolder();
}

bool KV_VideoRecorder::openFile()
{
    if (!VideoSizeAccepted(videoWidth, videoHeight)) {
        emit errorHappend(QStringLiteral("Problem with video size"),
                          QStringLiteral("Video size was not set correctly. The video can't be saved"));
        return false;
    }
    if (fileName.isEmpty()) {
        emit errorHappend(QStringLiteral("Problem with video file name"),
                          QStringLiteral("Video file name was not set correctly. The video can't be saved"));
        return false;
    }
    if (videoFolder.isEmpty()) {
        emit errorHappend(QStringLiteral("Problem with video file directory"),
                          QStringLiteral("Video file directory was not set correctly. The video can't be saved"));
        return false;
    }
    const QString path = VideoFilePath(videoFolder, fileName);
    if (QFileInfo::exists(path)) {
        const int answer = PresentMessageBox(
            {nullptr, QMessageBox::Warning, QStringLiteral("File already exists"),
             "The file " + path + " exists. Do you want to overwrite it ?", {QStringLiteral("No"), QStringLiteral("Yes")}});
        if (answer != 1)
            return false;
        if (!QFile::remove(path)) {
            PresentMessageBox({nullptr, QMessageBox::Critical, QStringLiteral("Error when overwriting"),
                               QStringLiteral("The specified file can't be overwrited. Aborting recording file"),
                               {QStringLiteral("Ok")}});
            return false;
        }
    }
    bool bOpened = false;
    try {
        // Codec 0: the writer's uncompressed frames in an AVI container.
        bOpened = videoWriter.open(path.toUtf8().constData(), cv::CAP_FFMPEG, 0, frameRate,
                                   cv::Size(videoWidth, videoHeight), false);
    } catch (const cv::Exception& e) {
        writeLog(QString("Video writer refused the file: ") + e.what());
        bOpened = false;
    }
    if (!bOpened || !videoWriter.isOpened()) {
        emit errorHappend(QStringLiteral("Problem with video file"),
                          QStringLiteral("Video file has not been open. The video can't be saved."));
        return false;
    }
    m_sRecordedPath = path;
    m_iFramesWritten = 0;
    recording = true;
    emit startRecord();
    return true;
}

void KV_VideoRecorder::AddImageToVideo(cv::Mat p_cvMatImageToSave)
{
    if (!videoWriter.isOpened())
        openFile();
    if (!videoWriter.isOpened() || p_cvMatImageToSave.empty() || p_cvMatImageToSave.type() != CV_8UC1)
        return;
    // The display image may be wider than the frame (its pitch); a frame of
    // another size (a new geometry while recording) is dropped rather than
    // given to the writer, which would refuse or corrupt it.
    if (p_cvMatImageToSave.rows != videoHeight || p_cvMatImageToSave.cols < videoWidth)
        return;
    cv::Mat frame = p_cvMatImageToSave.cols == videoWidth
                        ? p_cvMatImageToSave
                        : p_cvMatImageToSave(cv::Rect(0, 0, videoWidth, videoHeight));
    videoWriter.write(frame);
    ++m_iFramesWritten;
}

void KV_VideoRecorder::closeFile()
{
    emit stopRecord();
    recording = false;
    if (videoWriter.isOpened()) {
        videoWriter.release();
        if (launchVideoAutomatically)
            launchVideo();
    }
}

void KV_VideoRecorder::launchVideo()
{
    writeLog(QStringLiteral("Launch video recorded"));
    // A local-file URL: "file:///" and the absolute path, without doubling its leading "/".
    const QUrl url = QUrl::fromLocalFile(m_sRecordedPath);
    if (m_UrlOpener)
        m_UrlOpener(url.toString());
    else
        QDesktopServices::openUrl(url);
}
