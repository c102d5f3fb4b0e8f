// The save-all series: file names and numbering of each frame path, the series length and the RAW byte order.
#include "pipeline/frame_series_saver.h"
#include "support/test_app_folder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>

Q_DECLARE_METATYPE(FrameSeriesRule)

class tst_frame_series_saver : public QObject
{
    Q_OBJECT

private slots:
    // Three BMP frames then three RAW frames into one series of each path: the
    // names each path has always written.
    void namesAndNumbering_data()
    {
        QTest::addColumn<FrameSeriesRule>("rule");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("Camera Link") << CameraLinkSeriesRule()
                                     << QStringList{"Image0.bmp", "Image1.bmp", "Image2.bmp",
                                                    "Image3.raw", "Image4.raw", "Image5.raw"};
        // BMP takes the index after incrementing it, RAW before: 3 is written twice.
        QTest::newRow("GigE") << GigESeriesRule()
                              << QStringList{"Image1.bmp", "Image2.bmp", "Image3.bmp",
                                             "Image3.raw", "Image4.raw", "Image5.raw"};
        QTest::newRow("USB3") << Usb3SeriesRule()
                              << QStringList{"ImageAcquired1.bmp", "ImageAcquired2.bmp", "ImageAcquired3.bmp",
                                             "ImageAcquired3.raw", "ImageAcquired4.raw", "ImageAcquired5.raw"};
    }
    void namesAndNumbering()
    {
        QFETCH(FrameSeriesRule, rule);
        QFETCH(QStringList, files);
        TestAppFolder folder;
        std::atomic<int> index{0}, saved{0};
        std::vector<unsigned short> pixels(4 * 3, 0x1234);
        cv::Mat display(3, 4, CV_8UC1, cv::Scalar(7));
        FrameSeriesFrame frame;
        frame.Folder = folder.filePath("series");
        QDir().mkpath(frame.Folder);
        frame.Pixels = pixels.data();
        frame.Width = 4;
        frame.Height = 3;
        frame.Display8b = display;
        frame.Bmp = true;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(SaveSeriesFrame(rule, index, saved, frame), FrameSeriesResult::Saved);
        frame.Bmp = false;
        frame.Raw = true;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(SaveSeriesFrame(rule, index, saved, frame), FrameSeriesResult::Saved);
        QStringList written = QDir(frame.Folder).entryList(QDir::Files);
        std::sort(written.begin(), written.end());
        std::sort(files.begin(), files.end());
        QCOMPARE(written, files);
        // A BMP holds the raw high byte, or the display's image where the path saves that.
        const cv::Mat bmp = cv::imread((frame.Folder + "/" + files.first()).toStdString(), cv::IMREAD_GRAYSCALE);
        QCOMPARE(bmp.rows, 3);
        QCOMPARE(bmp.cols, 4);
        QCOMPARE(int(bmp.at<uint8_t>(2, 3)), rule.BmpFromRaw ? 0x12 : 7);
    }

    // With a limit of N, N files and the (N + 1)-th frame ends the series; the next series starts afresh.
    void limitEndsTheSeries()
    {
        TestAppFolder folder;
        std::atomic<int> index{0}, saved{0};
        unsigned short pixels[2] = {1, 2};
        FrameSeriesFrame frame;
        frame.Folder = folder.filePath(".");
        frame.Pixels = pixels;
        frame.Width = 2;
        frame.Height = 1;
        frame.Raw = true;
        frame.Limit = 2;
        const FrameSeriesRule rule = CameraLinkSeriesRule();
        QCOMPARE(SaveSeriesFrame(rule, index, saved, frame), FrameSeriesResult::Saved);
        QCOMPARE(SaveSeriesFrame(rule, index, saved, frame), FrameSeriesResult::Saved);
        QCOMPARE(SaveSeriesFrame(rule, index, saved, frame), FrameSeriesResult::Ended);
        QCOMPARE(saved.load(), 0);
        QCOMPARE(index.load(), 2);
        QCOMPARE(SaveSeriesFrame(rule, index, saved, frame), FrameSeriesResult::Saved);
        QCOMPARE(saved.load(), 1);
        // No format chosen: nothing written and nothing counted.
        frame.Raw = false;
        QCOMPARE(SaveSeriesFrame(rule, index, saved, frame), FrameSeriesResult::Nothing);
        QCOMPARE(saved.load(), 1);
    }

    // RAW files are little-endian words, no header, on every path.
    void rawIsLittleEndian()
    {
        TestAppFolder folder;
        const unsigned short pixels[3] = {0x0102, 0xA0B0, 0x00FF};
        const QString sPath = folder.filePath("frame.raw");
        QVERIFY(WriteRawLittleEndian(sPath, pixels, 3));
        QFile file(sPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\x02\x01\xB0\xA0\xFF\x00", 6));
        QVERIFY(!WriteRawLittleEndian(folder.filePath("missing/frame.raw"), pixels, 3));
    }
};

QTEST_MAIN(tst_frame_series_saver)
#include "tst_frame_series_saver.moc"
