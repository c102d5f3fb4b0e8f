// The blackbody calibration files: the "_Config.txt" lines, the raw frame files and the capture's numbering, also with frames from another thread.
#include "pipeline/blackbody_calibration.h"
#include "support/test_app_folder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>
#include <thread>
#include <vector>

namespace {

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A frame of p_iRows lines of p_iPitch bytes whose every word tells its frame, line and column.
std::vector<uint16_t> MakeFrame(int p_iRows, int p_iPitch, int p_iTag)
{
    std::vector<uint16_t> words(size_t(p_iRows) * size_t(p_iPitch / 2));
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = uint16_t(p_iTag * 1000 + int(i) * 7);
    return words;
}

// The width x height image of a frame, as its raw file must hold it.
QByteArray ExpectedImage(const std::vector<uint16_t>& p_Frame, int p_iPitch, int p_iWidth, int p_iHeight)
{
    QByteArray bytes;
    const char* p = reinterpret_cast<const char*>(p_Frame.data());
    for (int row = 0; row < p_iHeight; ++row)
        bytes.append(p + size_t(row) * size_t(p_iPitch), p_iWidth * 2);
    return bytes;
}

CalibrationDescription SampleDescription()
{
    CalibrationDescription d;
    d.ProxyName = "Z668";
    d.SensorSerialNumber = "SN 0042";
    d.Lens = "F/1 25 mm";
    const char* captions[] = {"TINT", "GFID", "GSK", "", "VBUS", "CKDIV", "GMS"};
    const uint32_t values[] = {120, 2048, 1536, 0, 4095, 3, 0x1234};
    for (int i = 0; i < CalibrationDescription::ParameterCount; ++i) {
        d.Captions[i] = captions[i];
        d.Values[i] = values[i];
    }
    d.ImageWidth = 640;
    d.ImageHeight = 480;
    d.LeftTemperatureColumns = 2;
    d.RightTemperatureColumns = 0;
    d.TemperatureBB1 = 20.0;
    d.TemperatureBB2 = 35.5;
    d.ImagesPerBlackbody = 10;
    d.FilesPath = "/data/Calibration File";
    return d;
}

} // namespace

class tst_blackbody_calibration : public QObject
{
    Q_OBJECT

private slots:
    void temperatureFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 20.00 << "20";
        QTest::newRow("one decimal") << 35.50 << "35.5";
        QTest::newRow("negative") << -12.25 << "-12.25";
        QTest::newRow("top of range") << 100.0 << "100";
        QTest::newRow("bottom of range") << -50.0 << "-50";
        QTest::newRow("zero") << 0.0 << "0";
    }
    void temperatureFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(FormatCalibrationTemperature(value), text);
    }

    // The description file, byte for byte: 18 pairs, an empty caption gives an
    // empty heading line and still its value, UTF-8, one line end per line.
    void descriptionFile()
    {
        TestAppFolder folder;
        CalibrationDescription d = SampleDescription();
        d.Lens = QString::fromUtf8("Objectif \xc3\xa9tanche");
        const QString sPath = folder.filePath("_Config.txt");
        QVERIFY(WriteFile(sPath, QByteArray(5000, 'x')));   // an older, longer file is replaced
        QString sError;
        QVERIFY2(WriteCalibrationDescription(sPath, d, &sError), qPrintable(sError));
        const QByteArray expected = "ProxyBoard:\nZ668\n"
                                    "Sensor S/N:\nSN 0042\n"
                                    "Lens:\nObjectif \xc3\xa9tanche\n"
                                    "TINT\n120\n"
                                    "GFID\n2048\n"
                                    "GSK\n1536\n"
                                    "\n0\n"
                                    "VBUS\n4095\n"
                                    "CKDIV\n3\n"
                                    "GMS\n4660\n"
                                    "Image X Size:\n640\n"
                                    "Image Y Size:\n480\n"
                                    "Number of Left Temperature columns:\n2\n"
                                    "Number of Right Temperature columns:\n0\n"
                                    "BlackBody 1 temperature:\n20\n"
                                    "BlackBody 2 temperature:\n35.5\n"
                                    "Number of image saved for each BlackBody:\n10\n"
                                    "Files path:\n/data/Calibration File\n";
        QCOMPARE(ReadAll(sPath), expected);
        QCOMPARE(CalibrationDescriptionLines(d).size(), 36);
    }

    void descriptionFileThatCannotBeWritten()
    {
        TestAppFolder folder;
        QString sError;
        const QString sPath = folder.filePath("no such folder/_Config.txt");
        QVERIFY(!WriteCalibrationDescription(sPath, SampleDescription(), &sError));
        QVERIFY2(sError.startsWith(sPath + ": "), qPrintable(sError));
        QVERIFY(!QFile::exists(sPath));
    }

    // The raw file holds width x height pixels from the top-left of the frame,
    // whatever the line length delivered; a smaller frame writes nothing.
    void rawFrame_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pitch");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("fit");
        QTest::newRow("exact") << 6 << 16 << 8 << 6 << int(RawFrameFit::Contiguous);
        QTest::newRow("more lines than the image") << 9 << 16 << 8 << 6 << int(RawFrameFit::Contiguous);
        QTest::newRow("padded lines") << 6 << 24 << 8 << 6 << int(RawFrameFit::RowByRow);
        QTest::newRow("wider frame") << 7 << 20 << 8 << 6 << int(RawFrameFit::RowByRow);
        QTest::newRow("fewer lines") << 5 << 16 << 8 << 6 << int(RawFrameFit::TooSmall);
        QTest::newRow("shorter lines") << 6 << 14 << 8 << 6 << int(RawFrameFit::TooSmall);
        QTest::newRow("no geometry") << 0 << 0 << 8 << 6 << int(RawFrameFit::TooSmall);
        QTest::newRow("no image size") << 6 << 16 << 0 << 0 << int(RawFrameFit::TooSmall);
    }
    void rawFrame()
    {
        QFETCH(int, rows);
        QFETCH(int, pitch);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, fit);
        TestAppFolder folder;
        const FrameGeometry delivered{pitch / 2, rows, pitch};
        QCOMPARE(int(FitRawFrame(delivered, uint32_t(width), uint32_t(height))), fit);
        std::vector<uint16_t> frame = MakeFrame(std::max(rows, 1), std::max(pitch, 2), 3);
        const QString sPath = folder.filePath("Image0.raw");
        QVERIFY(WriteFile(sPath, QByteArray(4096, 'x')));
        std::vector<uint8_t> scratch;
        QString sError;
        const bool bWritten =
            WriteBlackbodyRawFrame(sPath, frame.data(), delivered, uint32_t(width), uint32_t(height), scratch, &sError);
        if (fit == int(RawFrameFit::TooSmall)) {
            QVERIFY(!bWritten);
            QVERIFY(sError.contains("smaller"));
            QCOMPARE(ReadAll(sPath), QByteArray(4096, 'x'));   // left as it was
            return;
        }
        QVERIFY2(bWritten, qPrintable(sError));
        QCOMPARE(ReadAll(sPath), ExpectedImage(frame, pitch, width, height));
    }

    void rawFrameThatCannotBeWritten()
    {
        TestAppFolder folder;
        std::vector<uint16_t> frame = MakeFrame(2, 8, 1);
        std::vector<uint8_t> scratch;
        QString sError;
        const QString sPath = folder.filePath("missing/Image0.raw");
        QVERIFY(!WriteBlackbodyRawFrame(sPath, frame.data(), FrameGeometry{4, 2, 8}, 4, 2, scratch, &sError));
        QVERIFY2(sError.startsWith(sPath + ": "), qPrintable(sError));
    }

    // Each step writes Image0.raw to Image(N-1).raw of the first N frames it
    // sees, signals once after the last file, and ignores frames between and
    // after the steps.
    void captureNumbersEachStep()
    {
        TestAppFolder folder;
        const QString sRoot = folder.filePath("calib");
        QVERIFY(QDir().mkpath(sRoot + "/BB1") && QDir().mkpath(sRoot + "/BB2"));
        const int w = 8, h = 4, pitch = 20, rows = 5;   // padded lines and one line more than the image
        const FrameGeometry delivered{10, rows, pitch};
        BlackbodyCapture capture;
        QSignalSpy finished(&capture, &BlackbodyCapture::stepFinished);
        capture.prepare(sRoot, w, h, 10);

        std::vector<std::vector<uint16_t>> frames;
        for (int i = 0; i < 40; ++i)
            frames.push_back(MakeFrame(rows, pitch, i));

        capture.receiveRawImage(frames[0].data(), delivered);   // not capturing
        capture.startCapturing();
        QVERIFY(capture.isCapturing());
        capture.receiveRawImage(frames[0].data(), delivered);   // no step yet
        capture.startStep(1);
        for (int i = 1; i <= 15; ++i)
            capture.receiveRawImage(frames[size_t(i)].data(), delivered);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 1);
        QCOMPARE(capture.savedCount(), 10u);
        capture.endStep();
        capture.receiveRawImage(frames[16].data(), delivered);   // between the steps
        capture.startStep(2);
        for (int i = 20; i < 40; ++i)
            capture.receiveRawImage(frames[size_t(i)].data(), delivered);
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1).at(0).toInt(), 2);
        capture.stopCapturing();
        QVERIFY(!capture.isCapturing());
        QCOMPARE(capture.failedFiles(), 0u);

        for (int step = 1; step <= 2; ++step) {
            QDir dir(sRoot + (step == 1 ? "/BB1" : "/BB2"));
            QCOMPARE(dir.entryList(QDir::Files).size(), 10);
            for (uint32_t n = 0; n < 10; ++n) {
                const int source = step == 1 ? int(n) + 1 : int(n) + 20;
                QCOMPARE(ReadAll(BlackbodyRawFramePath(sRoot, step, n)),
                         ExpectedImage(frames[size_t(source)], pitch, w, h));
            }
        }
        QVERIFY(!QFile::exists(sRoot + "/_Config.txt"));
    }

    // Files that cannot be written are counted, with the first reason; the
    // step still ends after N frames. Frames too small are refused, not counted.
    void captureCountsFailuresAndRefusals()
    {
        TestAppFolder folder;
        const QString sRoot = folder.filePath("calib");   // no BB1 folder
        BlackbodyCapture capture;
        QSignalSpy finished(&capture, &BlackbodyCapture::stepFinished);
        capture.prepare(sRoot, 4, 2, 10);
        capture.startStep(1);
        std::vector<uint16_t> frame = MakeFrame(2, 8, 0);
        capture.receiveRawImage(frame.data(), FrameGeometry{4, 1, 8});   // one line short
        QCOMPARE(capture.refusedFrames(), 1u);
        QCOMPARE(capture.savedCount(), 0u);
        for (int i = 0; i < 12; ++i)
            capture.receiveRawImage(frame.data(), FrameGeometry{4, 2, 8});
        QCOMPARE(finished.count(), 1);
        QCOMPARE(capture.failedFiles(), 10u);
        QVERIFY2(capture.firstFailure().startsWith(sRoot + "/BB1/Image0.raw: "), qPrintable(capture.firstFailure()));
        capture.prepare(sRoot, 4, 2, 10);   // a new capture starts a new tally
        QCOMPARE(capture.failedFiles(), 0u);
        QVERIFY(capture.firstFailure().isEmpty());
    }

    // Frames from another thread while the GUI thread runs the steps: exactly
    // N files in each folder, numbered from 0, none written after a step ended.
    void captureFromAnotherThread()
    {
        TestAppFolder folder;
        const QString sRoot = folder.filePath("calib");
        QVERIFY(QDir().mkpath(sRoot + "/BB1") && QDir().mkpath(sRoot + "/BB2"));
        BlackbodyCapture capture;
        std::atomic<int> finishedStep{0};
        connect(&capture, &BlackbodyCapture::stepFinished, &capture, [&](int s) { finishedStep = s; },
                Qt::DirectConnection);
        capture.prepare(sRoot, 16, 8, 10);
        std::atomic<bool> stop{false};
        std::thread source([&]() {
            std::vector<uint16_t> frame = MakeFrame(8, 32, 5);
            uint32_t tag = 0;
            while (!stop) {
                ++tag;
                std::memcpy(frame.data(), &tag, sizeof tag);
                capture.receiveRawImage(frame.data(), FrameGeometry{16, 8, 32});
            }
        });
        capture.startCapturing();
        for (int step = 1; step <= 2; ++step) {
            capture.startStep(step);
            QTRY_COMPARE_WITH_TIMEOUT(finishedStep.load(), step, 10000);
            // Frames keep coming: none may add an eleventh file or rewrite the step.
            QTest::qWait(20);
            capture.endStep();
        }
        capture.stopCapturing();
        stop = true;
        source.join();
        for (const char* sub : {"/BB1", "/BB2"}) {
            QStringList files = QDir(sRoot + sub).entryList(QDir::Files);
            QStringList expected;
            for (int n = 0; n < 10; ++n)
                expected << QString("Image%1.raw").arg(n);
            std::sort(files.begin(), files.end());
            std::sort(expected.begin(), expected.end());
            QCOMPARE(files, expected);
        }
        // Image0 of BB2 comes after the last of BB1.
        const QByteArray last1 = ReadAll(sRoot + "/BB1/Image9.raw");
        const QByteArray first2 = ReadAll(sRoot + "/BB2/Image0.raw");
        QCOMPARE(last1.size(), 16 * 8 * 2);
        uint32_t tagLast1 = 0, tagFirst2 = 0;
        std::memcpy(&tagLast1, last1.constData(), sizeof tagLast1);
        std::memcpy(&tagFirst2, first2.constData(), sizeof tagFirst2);
        QVERIFY2(tagFirst2 > tagLast1, qPrintable(QString("%1 %2").arg(tagLast1).arg(tagFirst2)));
    }

private:
    static bool WriteFile(const QString& p_sPath, const QByteArray& p_Bytes)
    {
        QFile f(p_sPath);
        return f.open(QIODevice::WriteOnly) && f.write(p_Bytes) == p_Bytes.size();
    }
};

QTEST_MAIN(tst_blackbody_calibration)
#include "tst_blackbody_calibration.moc"
