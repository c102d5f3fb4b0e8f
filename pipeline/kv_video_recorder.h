// The AVI recorder of the grey display image: folder, file name, frame rate and the video writer.
#pragma once

#include <QObject>
#include <QString>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <functional>

class KV_Log;

// The full path of the video: folder + name, ".avi" added unless the name
// already ends in it (in any case).
QString VideoFilePath(const QString& p_sFolder, const QString& p_sFileName);
// True when the writer takes frames of this size (1..2047 on each side).
bool VideoSizeAccepted(int p_iWidth, int p_iHeight);

class KV_VideoRecorder : public QObject
{
    Q_OBJECT

public:
    // The folder the operator picks (empty when none); the default is the
    // non-modal folder dialog, served while the event loop keeps running.
    using FolderChooser = std::function<QString()>;
    // Free bytes of the volume that holds a folder.
    using FreeSpaceProbe = std::function<double(const QString& p_sFolder)>;
    // Opens a URL with the desktop's default handler.
    using UrlOpener = std::function<void(const QString& p_sUrl)>;

    explicit KV_VideoRecorder(QObject* parent = nullptr);
    ~KV_VideoRecorder() override;

    void setFolderChooser(FolderChooser p_Chooser);
    void setFreeSpaceProbe(FreeSpaceProbe p_Probe);
    void setUrlOpener(UrlOpener p_Opener);
    QString videoPath() const { return VideoFilePath(videoFolder, fileName); }
    QString folder() const { return videoFolder; }
    int framesWritten() const { return m_iFramesWritten; }
    // The "Careful" information is shown at the first folder choice of a run;
    // tests start a new run with this.
    static void resetFolderCaution();

signals:
    void hardDiskAlmostFull();
    void errorHappend(QString, QString);
    void warningHappend(QString, QString);
    void informationHappend(QString, QString);
    void startRecord();
    void stopRecord();

public slots:
    void setLogFile(KV_Log* p_pLog);
    void setFrameRate(double p_dFrameRate);
    void setFileName(QString p_sFileName);
    void setLaunchVideoAutomatically(int p_iState);
    void setVideoSize(int p_iXSize, int p_iYSize);
    void selectFolder();
    void launchVideo();
    void AddImageToVideo(cv::Mat p_cvMatImageToSave);
    bool isRecording();
    bool isVideoFolderSelected();
    bool openFile();
    void closeFile();
    double getFrameRate();
    void isSpaceAvailable();

private:
    QString chooseFolder();
    void writeLog(const QString& p_sLine);

    bool launchVideoAutomatically = false;
    bool videoFolderSelected = false;
    bool recording = false;
    double frameRate = 30.0;
    int videoWidth = 0;
    int videoHeight = 0;
    QString fileName;
    QString videoFolder;
    cv::VideoWriter videoWriter;
    KV_Log* log = nullptr;
    KV_Log* m_pOwnLog = nullptr;

    QString m_sRecordedPath;
    int m_iFramesWritten = 0;
    FolderChooser m_FolderChooser;
    FreeSpaceProbe m_FreeSpace;
    UrlOpener m_UrlOpener;
};
