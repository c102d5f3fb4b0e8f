// Every board kind's frames through the real main button to the view, and the save-all series each kind writes.
#include "road_bench.h"

#include "app/app_paths.h"
#include "board/acquisition_state.h"
#include "board/gige_link.h"
#include "board/mainwindow_board_link.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/pipeline_state.h"

#include <QDir>
#include <QRegularExpression>

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <thread>
#include <vector>

using sim::BoardKind;

namespace {

// Every file of the folder, in the order of their numbers.
QStringList SeriesFiles(const QString& p_sFolder)
{
    QStringList files = QDir(p_sFolder).entryList(QDir::Files);
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const QString stemA = a.section('.', 0, 0), stemB = b.section('.', 0, 0);
        const int i = stemA.indexOf(QRegularExpression("[0-9]")), j = stemB.indexOf(QRegularExpression("[0-9]"));
        return stemA.left(i) != stemB.left(j) ? a < b : stemA.mid(i).toInt() < stemB.mid(j).toInt();
    });
    return files;
}

} // namespace

class tst_frame_handoff : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void cleanupTestCase() { sim::SetFastMode(false); }

    void frameReachesTheViewAndSeriesIsSaved_data();
    void frameReachesTheViewAndSeriesIsSaved();
    void seriesEndsAtOnceAndTheNextCountsAgain();
    void busyDisplayDropsTheFrameUnread_data();
    void busyDisplayDropsTheFrameUnread();
};

void tst_frame_handoff::busyDisplayDropsTheFrameUnread_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("series");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<bool>("unread");
    QTest::newRow("display busy") << true << false << false << true;
    QTest::newRow("display busy, acquisition stopped") << true << false << true << true;
    QTest::newRow("display busy, series recording") << true << true << false << false;
    QTest::newRow("display free") << false << false << false << false;
}

// The GigE path's frames go on past a busy display (for the series): one that
// no series takes is read by nothing, so the link may leave it uncopied. Such a
// frame counts exactly as the same frame offered with its pixels, and the
// frame buffer and the pipeline's pointer to it stay as they were.
void tst_frame_handoff::busyDisplayDropsTheFrameUnread()
{
    QFETCH(bool, busy);
    QFETCH(bool, series);
    QFETCH(bool, stopped);
    QFETCH(bool, unread);
    TestAppFolder folder;
    MainWindow window;
    window.GetPointerToInstance();
    QVERIFY(window.Pipeline != nullptr);
    SetAcquisitionProxyName("UnreadProxy");
    QVERIFY(QDir().mkpath(SeriesFolder()));
    const std::unique_ptr<FrameSink> path = MakeWindowFramePath(&window, window.DunstelLink->framePathRules());
    window.SaveAllFramesRaw = true;
    window.SaveAllFramesBmp = false;
    window.NumberFrames = 1000;
    window.SaveAllFramesRunning = series;
    window.StopAcquisition = stopped;
    g_bDisplayBusy = busy;
    QCOMPARE(path->dropsUnread(), unread);
    if (!unread) {
        window.SaveAllFramesRunning = false;
        g_bDisplayBusy = false;
        return;
    }

    std::vector<unsigned short> frame(4 * 3, 0x1234);
    std::vector<unsigned short> other(4 * 3, 0x5678);
    g_pRawImage16b = other.data();
    auto counters = [&] {
        return std::vector<long>{window.FrameCounter, window.FramesReceived, long(window.Pipeline->DroppedFrames)};
    };
    const std::vector<long> before = counters();
    for (int i = 0; i < 3; ++i)
        path->offer(RawFrame{frame.data(), FrameGeometry{4, 3, 8}});
    const std::vector<long> afterOffer = counters();
    g_pRawImage16b = other.data();
    for (int i = 0; i < 3; ++i)
        path->offerUnread();
    const std::vector<long> afterUnread = counters();
    for (size_t i = 0; i < before.size(); ++i)
        QCOMPARE(afterUnread[i] - afterOffer[i], afterOffer[i] - before[i]);
    QCOMPARE(afterUnread[0] - afterOffer[0], 3L);
    QCOMPARE(afterUnread[2] - afterOffer[2], stopped ? 0L : 3L);
    QCOMPARE(g_pRawImage16b, other.data());
    QVERIFY(std::all_of(other.begin(), other.end(), [](unsigned short v) { return v == 0x5678; }));
    QVERIFY(QDir(SeriesFolder()).entryList(QDir::Files).isEmpty());
    g_bDisplayBusy = false;
    g_pRawImage16b = nullptr;
}

// Frames keep coming on the pipeline thread while the GUI thread has not yet
// taken the series' end: none of them may start another series. The next run
// counts its frames from 0 again, its file numbers go on.
void tst_frame_handoff::seriesEndsAtOnceAndTheNextCountsAgain()
{
    TestAppFolder folder;
    MainWindow window;
    window.GetPointerToInstance();
    SetAcquisitionProxyName("SeriesProxy");
    QVERIFY(QDir().mkpath(SeriesFolder()));
    const std::unique_ptr<FrameSink> path = MakeWindowFramePath(&window, window.DunstelLink->framePathRules());
    std::vector<unsigned short> frame(4 * 3);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint16_t(0x0102 + 0x1010 * i);
    window.SaveAllFramesRaw = true;
    window.SaveAllFramesBmp = false;
    window.NumberFrames = 2;
    const int iFirst = GigESaveImageIndex;
    for (int run = 0; run < 2; ++run) {
        window.SaveAllFramesRunning = true;
        std::thread pipelineThread([&] {
            for (int i = 0; i < 5; ++i)
                path->offer(RawFrame{frame.data(), FrameGeometry{window.FrameWidth, 3, 8}});
        });
        pipelineThread.join();
        QVERIFY(!window.SaveAllFramesRunning);
        QCoreApplication::processEvents();
    }
    QStringList expected;
    for (int i = iFirst; i < iFirst + 4; ++i)
        expected << QString("Image%1.raw").arg(i);
    QCOMPARE(SeriesFiles(SeriesFolder()), expected);
    QFile file(SeriesFolder() + "/" + expected.first());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 24);
    QCOMPARE(bytes.left(4), QByteArray("\x02\x01\x12\x11", 4));
    g_bDisplayBusy = false;
    g_pRawImage16b = nullptr;
}

// The rows run in this order in one process: the file numbers are the
// process-wide counters of each path, which no new connection resets. So the
// Belmor+ row continues the Arvex row's numbers (both are saved by the
// grabber's callback), and a BMP file takes its number before the increment
// on Camera Link but after it on GigE and USB3.
void tst_frame_handoff::frameReachesTheViewAndSeriesIsSaved_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("board");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("Arvex RAW") << 1 << int(BoardKind::Arvex) << true
                               << QStringList{"Image0.raw", "Image1.raw", "Image2.raw"};
    QTest::newRow("Belmor+ BMP") << 3 << int(BoardKind::BelmorPlus) << false
                                 << QStringList{"Image3.bmp", "Image4.bmp", "Image5.bmp"};
    QTest::newRow("Belmor RAW") << 2 << int(BoardKind::Belmor) << true
                                << QStringList{"Image0.raw", "Image1.raw", "Image2.raw"};
    QTest::newRow("Belmor BMP") << 2 << int(BoardKind::Belmor) << false
                                << QStringList{"Image3.bmp", "Image4.bmp", "Image5.bmp"};
    QTest::newRow("Dunstel BMP") << 4 << int(BoardKind::Dunstel) << false
                                 << QStringList{"Image1.bmp", "Image2.bmp", "Image3.bmp"};
    QTest::newRow("Dunstel RAW") << 4 << int(BoardKind::Dunstel) << true
                                 << QStringList{"Image3.raw", "Image4.raw", "Image5.raw"};
    QTest::newRow("Corvane BMP") << 6 << int(BoardKind::Corvane) << false
                                 << QStringList{"ImageAcquired1.bmp", "ImageAcquired2.bmp", "ImageAcquired3.bmp"};
    QTest::newRow("Corvane RAW") << 6 << int(BoardKind::Corvane) << true
                                 << QStringList{"ImageAcquired3.raw", "ImageAcquired4.raw", "ImageAcquired5.raw"};
    // The serial-port board's loop writes no save-all series.
    QTest::newRow("Eskra RAW") << 5 << int(BoardKind::Eskra) << true << QStringList{};
}

void tst_frame_handoff::frameReachesTheViewAndSeriesIsSaved()
{
    QFETCH(int, kind);
    QFETCH(int, board);
    QFETCH(bool, raw);
    QFETCH(QStringList, files);
    Road road(BoardKind(board), kind == 5 ? 5 : 2);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(kind);
    if (kind != 5) {
        if (kind == 2)
            road.confirmBelmorProxyLater(9);
        road.press();
        QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    }

    QString sFolder;
    int iPitch = 0, iHeight = 0;
    int iShownBefore = 0;
    bool bStarted = false, bStopped = false;
    auto* pPoll = new QTimer(&w);
    QObject::connect(pPoll, &QTimer::timeout, &w, [&]() {
        if (!bStarted) {
            // A frame has reached the view: the series starts from the next.
            if (w.FramesDisplayed <= 0 || w.StopAcquisition)
                return;
            bStarted = true;
            sFolder = ApplicationDirPath() + "/../SavedImages/" + QString::fromUtf8(g_szProxyName);
            QDir().mkpath(sFolder);
            iPitch = w.FramePitch;
            iHeight = w.FrameHeight;
            iShownBefore = w.FramesDisplayed;
            w.SaveAllFramesBmp = !raw;
            w.SaveAllFramesRaw = raw;
            w.NumberFrames = 3;
            w.SaveAllFramesRunning = true;
            return;
        }
        // The board without a series here: some frames shown while it "runs".
        const bool bDone = files.isEmpty() ? w.FramesDisplayed >= iShownBefore + 4 : !w.SaveAllFramesRunning;
        if (!bDone)
            return;
        pPoll->stop();
        w.SaveAllFramesRunning = false;
        road.press();
        bStopped = true;
    });
    pPoll->start(5);
    road.press();
    QTRY_VERIFY_WITH_TIMEOUT(bStopped, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 5000);
    QVERIFY(bStarted);

    const QStringList written = SeriesFiles(sFolder);
    QCOMPARE(written, files);
    if (files.isEmpty())
        return;
    QCOMPARE(road.ui()->pushButton_SaveAllFrames->text(), QString(raw ? "Save 3 frames in RAW" : "Save 3 frames in BMP"));
    for (const QString& sName : files) {
        QFile file(sFolder + "/" + sName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (!raw) {
            const cv::Mat image = cv::imread((sFolder + "/" + sName).toStdString(), cv::IMREAD_UNCHANGED);
            QCOMPARE(image.cols, iPitch / 2);
            QCOMPARE(image.rows, iHeight);
            continue;
        }
        // Pitch x height bytes, no header, low byte first: read that way the
        // scene is smooth from pixel to pixel, read the other way its noise
        // lands in the high byte.
        QCOMPARE(bytes.size(), iPitch * iHeight);
        qint64 iStepsLowFirst = 0, iStepsHighFirst = 0;
        auto pixel = [&](int i, bool lowFirst) {
            const int lo = uchar(bytes[2 * i + (lowFirst ? 0 : 1)]), hi = uchar(bytes[2 * i + (lowFirst ? 1 : 0)]);
            return hi * 256 + lo;
        };
        for (int i = 1; i < bytes.size() / 2; ++i) {
            iStepsLowFirst += std::abs(pixel(i, true) - pixel(i - 1, true));
            iStepsHighFirst += std::abs(pixel(i, false) - pixel(i - 1, false));
        }
        QVERIFY2(iStepsLowFirst < iStepsHighFirst, qPrintable(sName));
    }
}

QTEST_MAIN(tst_frame_handoff)
#include "tst_frame_handoff.moc"
