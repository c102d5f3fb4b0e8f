// Tests of the live histogram: its bins and CSV table, the drawn curve, and the one-shot save requests of the label.
#include "support/test_app_folder.h"

#include "pipeline/kv_histogram.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

class tst_kv_histogram : public QObject
{
    Q_OBJECT

private slots:
    void uniformImage_data();
    void uniformImage();
    void csvTableOfAnyFrame();
    void largeBinInExponentForm();
    void saveRequestsBeforeAnyHistogram();
    void csvSavedOnceAtTheNextComputation();
    void cancelAndUnwritableFile();
    void bmpHoldsTheCanvas();
    void resetBlanksAndInvalidates();
    void countsAndCurveMatchAPlainPass_data();
    void countsAndCurveMatchAPlainPass();
};

void tst_kv_histogram::uniformImage_data()
{
    QTest::addColumn<int>("grey");
    QTest::newRow("black") << 0;
    QTest::newRow("mid") << 128;
    QTest::newRow("white") << 255;
}

// A uniform frame: one full bin; every other bin normalises to 1, so the curve
// is flat on the bottom row with a spike to row 0 at the grey level (bin 0 is never drawn).
void tst_kv_histogram::uniformImage()
{
    QFETCH(int, grey);
    const cv::Mat image(48, 64, CV_8UC1, cv::Scalar(grey));
    cv::Mat counts = ComputeGreyHistogram(image);
    QCOMPARE(HistogramMaxBin(counts), 64 * 48);
    QCOMPARE(counts.at<float>(grey), float(64 * 48));
    QCOMPARE(cv::sum(counts)[0], double(64 * 48));

    cv::Mat canvas(400, 256, CV_8UC4);
    const cv::Scalar curve(39, 86, 178, 255);
    DrawHistogramCurve(counts, canvas, cv::Scalar(240, 240, 240, 0), curve);
    QCOMPARE(counts.at<float>(grey), 400.0f);
    QCOMPARE(counts.at<float>(grey == 0 ? 1 : 0), 1.0f);
    // The cleared background is transparent; the curve is drawn over it.
    auto drawn = [&](int p_iRow, int p_iCol) { return canvas.at<cv::Vec4b>(p_iRow, p_iCol)[3] != 0; };
    QVERIFY(drawn(399, grey == 128 ? 150 : 100));
    QCOMPARE(drawn(0, grey), grey != 0);
    QVERIFY(!drawn(200, 10));
    QVERIFY(!drawn(0, 100));
}

void tst_kv_histogram::csvTableOfAnyFrame()
{
    cv::Mat image(30, 40, CV_8UC1);
    cv::randu(image, 0, 256);
    const QList<QByteArray> lines = HistogramCsvText(ComputeGreyHistogram(image)).split('\n');
    // 257 lines, each ended by "\n": the split leaves one empty piece after the last.
    QCOMPARE(lines.size(), 258);
    QVERIFY(lines.last().isEmpty());
    QCOMPARE(lines.first(), QByteArray("Pixel Value,Number Pixel"));
    long long sum = 0;
    for (int i = 1; i <= 256; ++i) {
        const QList<QByteArray> cells = lines.at(i).split(',');
        QCOMPARE(cells.size(), 2);
        QCOMPARE(cells.at(0).toInt(), i - 1);
        sum += cells.at(1).toLongLong();
    }
    QCOMPARE(sum, 40LL * 30LL);
}

void tst_kv_histogram::largeBinInExponentForm()
{
    cv::Mat counts(256, 1, CV_32FC1, cv::Scalar(0));
    counts.at<float>(7) = 1500000.0f;
    counts.at<float>(8) = 1234567.0f;
    counts.at<float>(9) = 999999.0f;
    const QByteArray text = HistogramCsvText(counts);
    QVERIFY(text.contains("\n7,1.5e+06\n"));
    QVERIFY(text.contains("\n8,1.23457e+06\n"));
    QVERIFY(text.contains("\n9,999999\n"));
    QVERIFY(text.contains("\n0,0\n"));
}

void tst_kv_histogram::saveRequestsBeforeAnyHistogram()
{
    TestAppFolder folder;
    KV_Histogram histogram;
    QSignalSpy info(&histogram, &KV_Histogram::informationHappend);
    histogram.setSaveHistogramCSV();
    histogram.setSaveHistogramBMP();
    QCOMPARE(info.count(), 2);
    QCOMPARE(info.at(0).at(0).toString(), QStringLiteral("Can't save histogram"));
    QCOMPARE(info.at(0).at(1).toString(),
             QStringLiteral("The Histogram can't be saved, the stream has not been started."));
    QVERIFY(!histogram.isCsvArmed());
    QVERIFY(!histogram.isBmpArmed());
    // No frame yet (the timer can tick first): still nothing to save.
    histogram.calculateHistogram(cv::Mat());
    QVERIFY(!histogram.isHistogramValid());
}

void tst_kv_histogram::csvSavedOnceAtTheNextComputation()
{
    TestAppFolder folder;
    KV_Histogram histogram;
    const QString path = folder.filePath("histo.csv");
    int asked = 0;
    histogram.setFileChooser([&](QWidget*, const QString& p_sCaption, const QString& p_sFilter) {
        ++asked;
        [&] {
            QCOMPARE(p_sCaption, QStringLiteral("Histogram file"));
            QCOMPARE(p_sFilter, QStringLiteral("CSV file (*.csv)"));
        }();
        return path;
    });
    QSignalSpy maxBin(&histogram, &KV_Histogram::updateNbPixelMaxHisto);
    const cv::Mat image(10, 20, CV_8UC1, cv::Scalar(42));
    histogram.calculateHistogram(image);
    QCOMPARE(maxBin.count(), 1);
    QCOMPARE(maxBin.at(0).at(0).toInt(), 200);
    histogram.setSaveHistogramCSV();
    histogram.setSaveHistogramCSV(); // twice before the tick: saved once
    QCOMPARE(asked, 0);
    histogram.calculateHistogram(image);
    histogram.calculateHistogram(image);
    QCOMPARE(asked, 1);
    QVERIFY(!histogram.isCsvArmed());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.startsWith("Pixel Value,Number Pixel\n0,0\n"));
    QVERIFY(text.contains("\n42,200\n"));
    QCOMPARE(text.count('\n'), 257);
}

void tst_kv_histogram::cancelAndUnwritableFile()
{
    TestAppFolder folder;
    KV_Histogram histogram;
    QString answer;
    histogram.setFileChooser([&](QWidget*, const QString&, const QString&) { return answer; });
    QSignalSpy errors(&histogram, &KV_Histogram::errorHappend);
    const cv::Mat image(4, 4, CV_8UC1, cv::Scalar(1));
    histogram.calculateHistogram(image);

    histogram.setSaveHistogramCSV();
    histogram.calculateHistogram(image); // cancelled: cleared, no message
    QVERIFY(!histogram.isCsvArmed());
    QCOMPARE(errors.count(), 0);

    answer = folder.filePath("no/such/folder/h.csv");
    for (auto arm : {&KV_Histogram::setSaveHistogramCSV, &KV_Histogram::setSaveHistogramBMP}) {
        (histogram.*arm)();
        histogram.calculateHistogram(image);
    }
    QCOMPARE(errors.count(), 2);
    QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("Histogram file"));
    QCOMPARE(errors.at(1).at(1).toString(),
             QStringLiteral("The histogram file gives can't be used. Please try again with an other file."));
    QVERIFY(!histogram.isCsvArmed());
    QVERIFY(!histogram.isBmpArmed());
}

void tst_kv_histogram::bmpHoldsTheCanvas()
{
    TestAppFolder folder;
    KV_Histogram histogram;
    const QString path = folder.filePath("histo.bmp");
    histogram.setFileChooser([&](QWidget*, const QString&, const QString&) { return path; });
    cv::Mat image(32, 32, CV_8UC1);
    cv::randu(image, 0, 256);
    histogram.calculateHistogram(image);
    histogram.setSaveHistogramBMP();
    histogram.calculateHistogram(image);
    const cv::Mat saved = cv::imread(path.toUtf8().constData(), cv::IMREAD_UNCHANGED);
    QCOMPARE(saved.cols, 256);
    QCOMPARE(saved.rows, 400);
    QVERIFY(saved.channels() >= 3);
}

void tst_kv_histogram::resetBlanksAndInvalidates()
{
    TestAppFolder folder;
    KV_Histogram histogram;
    QCOMPARE(histogram.getWidgetWidth(), 224);
    QCOMPARE(histogram.getWidgetHeight(), 161);
    histogram.calculateHistogram(cv::Mat(8, 8, CV_8UC1, cv::Scalar(3)));
    QVERIFY(histogram.isHistogramValid());
    QVERIFY(!histogram.pixmap(Qt::ReturnByValue).isNull());
    QSignalSpy maxBin(&histogram, &KV_Histogram::updateNbPixelMaxHisto);
    histogram.resetHistogram();
    QCOMPARE(maxBin.count(), 1);
    QCOMPARE(maxBin.at(0).at(0).toInt(), 0);
    QVERIFY(!histogram.isHistogramValid());
    QVERIFY(histogram.pixmap(Qt::ReturnByValue).isNull());
    QSignalSpy info(&histogram, &KV_Histogram::informationHappend);
    histogram.setSaveHistogramCSV();
    QCOMPARE(info.count(), 1);
}

// The counts and the curve are computed in parallel bands and strips: they
// must equal, byte for byte, a plain count and the curve drawn segment after
// segment on one canvas.
void tst_kv_histogram::countsAndCurveMatchAPlainPass_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("noise") << 0;
    QTest::newRow("one grey") << 1;
    QTest::newRow("spikes at both ends") << 2;
    QTest::newRow("ramp") << 3;
    QTest::newRow("odd size") << 4;
}

void tst_kv_histogram::countsAndCurveMatchAPlainPass()
{
    QFETCH(int, kind);
    cv::RNG rng(uint64(kind) + 7);
    for (int round = 0; round < 20; ++round) {
        cv::Mat image(kind == 4 ? 37 : 1024, kind == 4 ? 1283 : 1280, CV_8UC1);
        if (kind == 1) {
            image.setTo(rng.uniform(0, 256));
        } else if (kind == 2) {
            rng.fill(image, cv::RNG::UNIFORM, 0, 256);
            image.rowRange(0, 1 + round * 20).setTo(round % 2 ? 255 : 0);
        } else if (kind == 3) {
            for (int r = 0; r < image.rows; ++r)
                image.row(r).setTo((r + round) % 256);
        } else {
            rng.fill(image, cv::RNG::NORMAL, 128, 10 + 5 * round);
        }
        std::vector<float> plain(256, 0.f);
        for (int r = 0; r < image.rows; ++r)
            for (int c = 0; c < image.cols; ++c)
                plain[image.at<uint8_t>(r, c)] += 1.f;
        cv::Mat counts = ComputeGreyHistogram(image);
        QCOMPARE(std::vector<float>(counts.begin<float>(), counts.end<float>()), plain);

        cv::Mat reference = counts.clone();
        cv::Mat expected(400, 256, CV_8UC4);
        cv::normalize(reference, reference, 1.0, 400.0, cv::NORM_MINMAX, CV_32F);
        expected.setTo(cv::Scalar(240, 240, 240, 0));
        const float* n = reference.ptr<float>(0);
        for (int i = 2; i < 256; ++i)
            cv::line(expected, cv::Point(i - 1, cvRound(400.f - n[i - 1])), cv::Point(i, cvRound(400.f - n[i])),
                     cv::Scalar(39, 86, 178, 255), 2, cv::LINE_AA, 0);
        cv::Mat canvas(400, 256, CV_8UC4, cv::Scalar(1, 2, 3, 4));
        DrawHistogramCurve(counts, canvas, cv::Scalar(240, 240, 240, 0), cv::Scalar(39, 86, 178, 255));
        QCOMPARE(cv::norm(canvas, expected, cv::NORM_INF), 0.0);
    }
}

QTEST_MAIN(tst_kv_histogram)
#include "tst_kv_histogram.moc"
