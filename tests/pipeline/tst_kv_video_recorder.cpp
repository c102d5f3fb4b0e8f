// Tests of the AVI recorder: its refusals and questions, the folder choice, and the finished file read back.
#include "support/test_app_folder.h"

#include "app/message_boxes.h"
#include "pipeline/kv_video_recorder.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <opencv2/videoio.hpp>

namespace {

// Answers every box with the button of the given text and records what was asked.
struct BoxAnswers
{
    QList<MessageBoxRequest> Asked;
    QString Answer;
    BoxAnswers()
    {
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            Asked << p_Request;
            return int(p_Request.buttons.indexOf(Answer));
        });
    }
    ~BoxAnswers() { SetMessageBoxPresenter({}); }
};

// A recorder with a chosen folder, a frame size and plenty of free space.
struct Recorder
{
    TestAppFolder Folder;
    KV_VideoRecorder Video;
    explicit Recorder(int p_iWidth = 64, int p_iHeight = 48)
    {
        Video.setFolderChooser([this] { return Folder.rootPath(); });
        Video.setFreeSpaceProbe([](const QString&) { return 100.0 * 1024 * 1024 * 1024; });
        Video.setFileName(QStringLiteral("Video.avi"));
        Video.setVideoSize(p_iWidth, p_iHeight);
        Video.selectFolder();
    }
};

cv::Mat Frame(int p_iWidth, int p_iHeight, int p_iValue)
{
    return cv::Mat(p_iHeight, p_iWidth, CV_8UC1, cv::Scalar(p_iValue));
}

} // namespace

class tst_kv_video_recorder : public QObject
{
    Q_OBJECT

private slots:
    void init() { KV_VideoRecorder::resetFolderCaution(); }
    void filePath_data();
    void filePath();
    void refusals_data();
    void refusals();
    void existingFileAndNo();
    void existingFileAndYes();
    void folderChoice();
    void lowSpaceOffersAnotherFolder();
    void recordsFramesThatReadBack();
    void ffprobeSeesFramesAndRate();
    void launchAfterRecording();
};

void tst_kv_video_recorder::filePath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("added") << "clip" << "D:/videos/clip.avi";
    QTest::newRow("upper case kept") << "clip.AVI" << "D:/videos/clip.AVI";
    QTest::newRow("other extension") << "clip.mp4" << "D:/videos/clip.mp4.avi";
}

void tst_kv_video_recorder::filePath()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(VideoFilePath(QStringLiteral("D:/videos/"), name), path);
}

void tst_kv_video_recorder::refusals_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("title");
    QTest::newRow("too wide") << 2048 << 1 << "v" << true << "Problem with video size";
    QTest::newRow("no width") << 0 << 480 << "v" << true << "Problem with video size";
    QTest::newRow("too high") << 640 << 2048 << "v" << true << "Problem with video size";
    QTest::newRow("no name") << 640 << 480 << "" << true << "Problem with video file name";
    QTest::newRow("no folder") << 640 << 480 << "v" << false << "Problem with video file directory";
}

void tst_kv_video_recorder::refusals()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, name);
    QFETCH(bool, folder);
    QFETCH(QString, title);
    TestAppFolder app;
    KV_VideoRecorder video;
    video.setFreeSpaceProbe([](const QString&) { return 1e12; });
    video.setFolderChooser([&] { return app.rootPath(); });
    if (folder)
        video.selectFolder();
    video.setVideoSize(width, height);
    video.setFileName(name);
    QSignalSpy errors(&video, &KV_VideoRecorder::errorHappend);
    QSignalSpy started(&video, &KV_VideoRecorder::startRecord);
    QVERIFY(!video.openFile());
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), title);
    QVERIFY(!video.isRecording());
    QCOMPARE(started.count(), 0);
}

void tst_kv_video_recorder::existingFileAndNo()
{
    BoxAnswers boxes;
    boxes.Answer = QStringLiteral("No");
    Recorder r;
    const QString path = r.Video.videoPath();
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();
    QSignalSpy errors(&r.Video, &KV_VideoRecorder::errorHappend);
    QVERIFY(!r.Video.openFile());
    QCOMPARE(boxes.Asked.size(), 1);
    QCOMPARE(boxes.Asked.at(0).title, QStringLiteral("File already exists"));
    QCOMPARE(boxes.Asked.at(0).text, "The file " + path + " exists. Do you want to overwrite it ?");
    QCOMPARE(errors.count(), 0);
    QVERIFY(!r.Video.isRecording());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep"));
}

void tst_kv_video_recorder::existingFileAndYes()
{
    BoxAnswers boxes;
    boxes.Answer = QStringLiteral("Yes");
    Recorder r;
    QFile f(r.Video.videoPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    QVERIFY(r.Video.openFile());
    r.Video.closeFile();
    QVERIFY(QFileInfo(r.Video.videoPath()).size() > 3);
}

void tst_kv_video_recorder::folderChoice()
{
    TestAppFolder app;
    KV_VideoRecorder video;
    video.setFreeSpaceProbe([](const QString&) { return 1e12; });
    QString chosen = app.rootPath() + "/nowhere";
    video.setFolderChooser([&] { return chosen; });
    QSignalSpy info(&video, &KV_VideoRecorder::informationHappend);
    QSignalSpy errors(&video, &KV_VideoRecorder::errorHappend);
    video.selectFolder();
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.at(0).at(0).toString(), QStringLiteral("Careful"));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Not a valid directory"));
    QVERIFY(!video.isVideoFolderSelected());

    chosen = app.rootPath();
    video.selectFolder();
    QCOMPARE(info.count(), 1); // once per run
    QVERIFY(video.isVideoFolderSelected());
    QCOMPARE(video.folder(), app.rootPath() + "/");

    // A cancelled dialog keeps the folder chosen before.
    chosen.clear();
    video.selectFolder();
    QVERIFY(video.isVideoFolderSelected());
    QCOMPARE(video.folder(), app.rootPath() + "/");
}

void tst_kv_video_recorder::lowSpaceOffersAnotherFolder()
{
    BoxAnswers boxes;
    boxes.Answer = QStringLiteral("Yes");
    TestAppFolder app;
    KV_VideoRecorder video;
    const QString small = app.rootPath() + "/SavedImages";
    const QString large = app.rootPath() + "/Camfiles";
    QStringList choices = {small, large};
    video.setFolderChooser([&] { return choices.takeFirst(); });
    video.setFreeSpaceProbe([&](const QString& p_sFolder) { return p_sFolder == small ? 0.5 * (1 << 30) : 1e12; });
    video.selectFolder();
    QCOMPARE(boxes.Asked.size(), 1);
    QCOMPARE(boxes.Asked.at(0).title, QStringLiteral("Low space available"));
    QVERIFY(video.isVideoFolderSelected());
    QCOMPARE(video.folder(), large + "/");

    boxes.Answer = QStringLiteral("No");
    choices = QStringList{small};
    video.selectFolder();
    QCOMPARE(boxes.Asked.size(), 2);
    QCOMPARE(video.folder(), small + "/");
    QVERIFY(video.isVideoFolderSelected());
}

void tst_kv_video_recorder::recordsFramesThatReadBack()
{
    Recorder r(64, 48);
    QSignalSpy started(&r.Video, &KV_VideoRecorder::startRecord);
    QSignalSpy stopped(&r.Video, &KV_VideoRecorder::stopRecord);
    r.Video.setFrameRate(25.0);
    QVERIFY(r.Video.openFile());
    QCOMPARE(started.count(), 1);
    QVERIFY(r.Video.isRecording());
    for (int i = 0; i < 7; ++i)
        r.Video.AddImageToVideo(Frame(64, 48, 30 * i));
    // The display image as wide as the pitch: the frame's own columns are written.
    r.Video.AddImageToVideo(Frame(80, 48, 200));
    // Another geometry: dropped, not handed to the writer.
    r.Video.AddImageToVideo(Frame(32, 24, 10));
    QCOMPARE(r.Video.framesWritten(), 8);
    r.Video.closeFile();
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!r.Video.isRecording());

    cv::VideoCapture in(r.Video.videoPath().toUtf8().constData());
    QVERIFY(in.isOpened());
    QCOMPARE(int(in.get(cv::CAP_PROP_FRAME_WIDTH)), 64);
    QCOMPARE(int(in.get(cv::CAP_PROP_FRAME_HEIGHT)), 48);
    QCOMPARE(in.get(cv::CAP_PROP_FPS), 25.0);
    int frames = 0;
    cv::Mat frame;
    std::vector<int> levels;
    while (in.read(frame)) {
        levels.push_back(frame.at<cv::Vec3b>(10, 10)[0]);
        ++frames;
    }
    QCOMPARE(frames, 8);
    QCOMPARE(levels.front(), 0);
    QCOMPARE(levels.at(3), 90);
    QCOMPARE(levels.back(), 200);
}

void tst_kv_video_recorder::ffprobeSeesFramesAndRate()
{
    const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    if (ffprobe.isEmpty())
        QSKIP("ffprobe is not installed (scripts/install-deps.sh installs ffmpeg)");
    Recorder r(40, 30);
    r.Video.setFrameRate(12.5);
    QVERIFY(r.Video.openFile());
    for (int i = 0; i < 5; ++i)
        r.Video.AddImageToVideo(Frame(40, 30, i * 50));
    r.Video.closeFile();
    QProcess probe;
    probe.start(ffprobe, {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                          "stream=width,height,r_frame_rate,nb_read_frames", "-of", "default=noprint_wrappers=1",
                          r.Video.videoPath()});
    QVERIFY(probe.waitForFinished(30000));
    const QString out = QString::fromUtf8(probe.readAllStandardOutput());
    QVERIFY2(out.contains("width=40\n"), qPrintable(out));
    QVERIFY2(out.contains("height=30\n"), qPrintable(out));
    QVERIFY2(out.contains("r_frame_rate=25/2\n"), qPrintable(out));
    QVERIFY2(out.contains("nb_read_frames=5\n"), qPrintable(out));
}

void tst_kv_video_recorder::launchAfterRecording()
{
    Recorder r;
    QStringList opened;
    r.Video.setUrlOpener([&](const QString& p_sUrl) { opened << p_sUrl; });
    QVERIFY(r.Video.openFile());
    r.Video.closeFile();
    QVERIFY(opened.isEmpty());
    QFile::remove(r.Video.videoPath());
    r.Video.setLaunchVideoAutomatically(2);
    QVERIFY(r.Video.openFile());
    r.Video.closeFile();
    QCOMPARE(opened, QStringList{"file://" + r.Video.videoPath()});
    // A second close has no file to finish and opens nothing.
    r.Video.closeFile();
    QCOMPARE(opened.size(), 1);
}

QTEST_MAIN(tst_kv_video_recorder)
#include "tst_kv_video_recorder.moc"
