// Bad-pixel detection arithmetic: GSK channel, level thresholds, the saturated difference, the 0.75-1.25 rule with blind columns, and the map text that the map reader reads back.
#include "board/bad_pixel_map.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/bad_pixel_detection.h"
#include "sim/core/sensor_model.h"

#include <QtTest>

Q_DECLARE_METATYPE(cv::Mat)

namespace {

// A uniform pair of frames whose difference is p_uStep everywhere.
struct FramePair
{
    cv::Mat Low;
    cv::Mat High;
    FramePair(int p_iRows, int p_iCols, uint16_t p_uLow, uint16_t p_uStep)
        : Low(p_iRows, p_iCols, CV_16UC1, cv::Scalar(p_uLow)),
          High(p_iRows, p_iCols, CV_16UC1, cv::Scalar(p_uLow + p_uStep))
    {
    }
    void setPixel(int r, int c, uint16_t p_uLow, uint16_t p_uHigh)
    {
        Low.at<uint16_t>(r, c) = p_uLow;
        High.at<uint16_t>(r, c) = p_uHigh;
    }
};

} // namespace

Q_DECLARE_METATYPE(QVector<DetectedPixel>)

class TestBadPixelDetection : public QObject
{
    Q_OBJECT

private slots:
    void gskChannelCodes_data();
    void gskChannelCodes();
    void startingGskFollowsTheRecord();
    void roundedMeanTiesToEven();
    void levelThresholds_data();
    void levelThresholds();
    void detection_data();
    void detection();
    void meanCoversBlindColumns();
    void refusesMismatchedFrames();
    void countBeyond16Bits();
    void csvTextReadsBackThroughTheMapReader();
    void serialNumbers_data();
    void serialNumbers();
    void simulatedSensorUnderALensCap();
};

void TestBadPixelDetection::gskChannelCodes_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<int>("cell");
    QTest::newRow("2 DAC A") << 2u << 170;
    QTest::newRow("3 DAC B") << 3u << 175;
    QTest::newRow("12 DAC C") << 12u << 180;
    QTest::newRow("13 DAC D") << 13u << 185;
    QTest::newRow("0") << 0u << -1;
    QTest::newRow("1") << 1u << -1;
    QTest::newRow("4") << 4u << -1;
    QTest::newRow("not set") << uint(ProxyParameterNotSet) << -1;
}

void TestBadPixelDetection::gskChannelCodes()
{
    QFETCH(uint, code);
    QFETCH(int, cell);
    QCOMPARE(GskDacValueCell(GskDacFromChannelCode(code)), cell);
}

void TestBadPixelDetection::startingGskFollowsTheRecord()
{
    InitProxyParameterTable();
    // Find a record with a GSK channel and one without (records 0, 13 have none).
    int withChannel = -1;
    for (int p = 0; p < kProxyRecordCount && withChannel < 0; ++p)
        if (GskDacOfProxy(p) != GskDac::None)
            withChannel = p;
    QVERIFY(withChannel >= 0);
    const int cell = GskDacValueCell(GskDacOfProxy(withChannel));
    SetCurrent(withChannel, cell, 1234);
    QCOMPARE(StartingGskValue(withChannel), 1234u);
    QCOMPARE(GskDacOfProxy(13), GskDac::None);
    QCOMPARE(StartingGskValue(13), 0u);
    QCOMPARE(StartingGskValue(-1), 0u);
    QCOMPARE(StartingGskValue(kProxyRecordCount), 0u);
    InitProxyParameterTable();
}

void TestBadPixelDetection::roundedMeanTiesToEven()
{
    // Two pixels: means 10.5 -> 10, 11.5 -> 12, 10.25 -> 10 (four pixels), 10.75 -> 11.
    auto mean = [](std::initializer_list<uint16_t> p_Values) {
        cv::Mat m(1, int(p_Values.size()), CV_16UC1);
        int i = 0;
        for (uint16_t v : p_Values)
            m.at<uint16_t>(0, i++) = v;
        return RoundedMean(m);
    };
    QCOMPARE(mean({10, 11}), 10);
    QCOMPARE(mean({11, 12}), 12);
    QCOMPARE(mean({10, 10, 10, 11}), 10);
    QCOMPARE(mean({10, 11, 11, 11}), 11);
    QCOMPARE(RoundedMean(cv::Mat()), 0);
}

void TestBadPixelDetection::levelThresholds_data()
{
    QTest::addColumn<int>("mean");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("above");
    QTest::addColumn<bool>("below");
    // 25 % is 16383.75, 75 % is 49151.25 on the 16-bit scale.
    QTest::newRow("16384 above 25") << 16384 << 25 << true << false;
    QTest::newRow("16383 stops the descent") << 16383 << 25 << false << true;
    QTest::newRow("49151 still below 75") << 49151 << 75 << false << true;
    QTest::newRow("49152 stops the ascent") << 49152 << 75 << true << false;
    QTest::newRow("99 %") << 65000 << 99 << true << false;
}

void TestBadPixelDetection::levelThresholds()
{
    QFETCH(int, mean);
    QFETCH(int, percent);
    QFETCH(bool, above);
    QFETCH(bool, below);
    QCOMPARE(AboveLevel(mean, percent), above);
    QCOMPARE(BelowLevel(mean, percent), below);
}

void TestBadPixelDetection::detection_data()
{
    QTest::addColumn<cv::Mat>("low");
    QTest::addColumn<cv::Mat>("high");
    QTest::addColumn<uint>("blindCell");
    QTest::addColumn<QVector<DetectedPixel>>("expected");

    {
        // 4 x 8, difference 1000 everywhere but: a dead pixel (no response),
        // a pixel darker in the high frame (saturates to 0, not -1000) and a
        // hot one (+2000). Mean 968.75: bounds 726.6 and 1210.9.
        FramePair f(4, 8, 10000, 1000);
        f.setPixel(0, 3, 300, 300);
        f.setPixel(1, 1, 12000, 11000);
        f.setPixel(2, 6, 10000, 12000);
        QTest::newRow("rule and saturation")
            << f.Low << f.High << 0u
            << QVector<DetectedPixel>{{0, 3}, {1, 1}, {2, 6}};
    }
    {
        // Bad pixels in the blind columns are not reported; cell 0x21: one at
        // the left, two at the right. (Defects are kept sparse: many of them
        // would pull the mean and make the good pixels bad.)
        FramePair f(20, 8, 5000, 2000);
        f.setPixel(0, 0, 100, 100);   // left blind
        f.setPixel(0, 1, 100, 100);   // first scanned
        f.setPixel(1, 5, 100, 100);   // last scanned
        f.setPixel(1, 6, 100, 100);   // right blind
        f.setPixel(1, 7, 100, 100);   // right blind
        QTest::newRow("blind columns 0x21") << f.Low << f.High << 0x21u << QVector<DetectedPixel>{{0, 1}, {1, 5}};
    }
    {
        // Cell 0x37 on a width of 16: columns 7 to 12 are scanned.
        FramePair f(20, 16, 5000, 2000);
        for (int c = 0; c < 16; ++c)
            if (c % 2 == 0)
                f.setPixel(0, c, 100, 100);
        QTest::newRow("blind columns 0x37")
            << f.Low << f.High << 0x37u << QVector<DetectedPixel>{{0, 8}, {0, 10}, {0, 12}};
    }
    {
        // Identical frames: mean 0; 0 is neither below 0 nor above 0.
        FramePair f(3, 3, 7000, 0);
        QTest::newRow("identical frames") << f.Low << f.High << 0u << QVector<DetectedPixel>{};
    }
    {
        // Row-major order: rows ascending, columns ascending within a row.
        FramePair f(10, 4, 1000, 3000);
        f.setPixel(2, 0, 0, 0);
        f.setPixel(0, 3, 0, 0);
        f.setPixel(0, 1, 0, 0);
        QTest::newRow("row-major order") << f.Low << f.High << 0u << QVector<DetectedPixel>{{0, 1}, {0, 3}, {2, 0}};
    }
}

void TestBadPixelDetection::detection()
{
    QFETCH(cv::Mat, low);
    QFETCH(cv::Mat, high);
    QFETCH(uint, blindCell);
    QFETCH(QVector<DetectedPixel>, expected);
    const BadPixelDetection d = DetectBadPixels(low, high, blindCell);
    QVERIFY(d.Valid);
    QCOMPARE(d.Pixels, expected);
}

void TestBadPixelDetection::meanCoversBlindColumns()
{
    // Difference 100 in the blind column, 1000 elsewhere; the mean counts both.
    FramePair f(1, 8, 0, 1000);
    f.setPixel(0, 0, 0, 100);
    cv::Mat diff;
    const BadPixelDetection d = DetectBadPixels(f.Low, f.High, 0x01u, &diff);
    QCOMPARE(d.MeanDifference, (100.0 + 7000.0) / 8.0);
    QVERIFY(d.Pixels.isEmpty());
    QCOMPARE(diff.type(), CV_16UC1);

    // A value exactly on either bound is good.
    cv::Mat low(1, 4, CV_16UC1, cv::Scalar(0));
    cv::Mat high(1, 4, CV_16UC1);
    // mean 1000: 750 and 1250 are on the bounds, 1000 twice.
    high.at<uint16_t>(0, 0) = 750;
    high.at<uint16_t>(0, 1) = 1250;
    high.at<uint16_t>(0, 2) = 1000;
    high.at<uint16_t>(0, 3) = 1000;
    QVERIFY(DetectBadPixels(low, high, 0).Pixels.isEmpty());
    high.at<uint16_t>(0, 0) = 749;
    high.at<uint16_t>(0, 1) = 1251;
    QCOMPARE(DetectBadPixels(low, high, 0).Pixels, (QVector<DetectedPixel>{{0, 0}, {0, 1}}));
}

void TestBadPixelDetection::refusesMismatchedFrames()
{
    const cv::Mat a(4, 4, CV_16UC1, cv::Scalar(1));
    QVERIFY(!DetectBadPixels(cv::Mat(), a, 0).Valid);
    QVERIFY(!DetectBadPixels(a, cv::Mat(), 0).Valid);
    QVERIFY(!DetectBadPixels(a, cv::Mat(4, 5, CV_16UC1, cv::Scalar(1)), 0).Valid);
    QVERIFY(!DetectBadPixels(a, cv::Mat(4, 4, CV_8UC1, cv::Scalar(1)), 0).Valid);
    // Blind columns wider than the frame scan nothing rather than read outside it.
    const BadPixelDetection d = DetectBadPixels(a, cv::Mat(4, 4, CV_16UC1, cv::Scalar(9)), 0xFFu);
    QVERIFY(d.Valid);
    QVERIFY(d.Pixels.isEmpty());
}

void TestBadPixelDetection::countBeyond16Bits()
{
    // 70000 bad pixels: every one is listed (a 16-bit count would show 4464).
    FramePair f(700, 1000, 0, 1000);
    for (int r = 0; r < 700; ++r)
        for (int c = 0; c < 1000; c += 10)
            f.setPixel(r, c, 0, 0);
    const BadPixelDetection d = DetectBadPixels(f.Low, f.High, 0);
    QCOMPARE(d.Pixels.size(), 70000);
}

void TestBadPixelDetection::csvTextReadsBackThroughTheMapReader()
{
    const QVector<DetectedPixel> pixels{{0, 7}, {12, 34}, {479, 639}};
    const QByteArray text = BadPixelCsvText(pixels);
    QCOMPARE(text, QByteArray("Ligne,Colonne\n0,7\n12,34\n479,639\n"));
    QCOMPARE(BadPixelCsvText({}), QByteArray("Ligne,Colonne\n"));

    const BadPixelMap map = ReadBadPixelCsv(text);
    QCOMPARE(map.Separator, ',');
    QVERIFY(!map.StoppedEarly);
    QCOMPARE(map.Pairs.size(), pixels.size());
    for (int i = 0; i < pixels.size(); ++i) {
        QCOMPARE(map.Pairs[i].Row, int64_t(pixels[i].Row));
        QCOMPARE(map.Pairs[i].Column, int64_t(pixels[i].Column));
    }
    QVERIFY(ReadBadPixelCsv(BadPixelCsvText({})).Pairs.isEmpty());
}

void TestBadPixelDetection::serialNumbers_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("usable");
    QTest::newRow("initial") << "000000000" << true;
    QTest::newRow("letters and dash") << "SN-12a_b" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("slash") << "../x" << false;
    QTest::newRow("only dots") << ".." << false;
    QTest::newRow("dots inside") << "a..b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("newline") << "a\nb" << false;
}

void TestBadPixelDetection::serialNumbers()
{
    QFETCH(QString, serial);
    QFETCH(bool, usable);
    QCOMPARE(IsUsableSerialNumber(serial), usable);
    if (usable)
        QCOMPARE(BadPixelFilePath(BadPixelFolder("/app/bin"), serial),
                 "/app/bin/../BadPixelsFiles/BP_" + serial + ".csv");
}

// The simulated sensor behind every board: with the lens covered, two frames
// 100 LSB of GSK DAC apart give back exactly its planted dead and hot pixels
// within the scanned columns.
void TestBadPixelDetection::simulatedSensorUnderALensCap()
{
    InitProxyParameterTable();
    const int record = 2;   // 640 x 480, blind columns 0x37, GSK on DAC B
    QCOMPARE(GskDacOfProxy(record), GskDac::B);
    sim::SensorModel model(sim::BoardKind::Corvane, record, 30);
    model.setLensCovered(true);
    const sim::FrameGeometry g = model.geometry();
    const int gsk = model.registerValue(sim::Register::ADD03);
    cv::Mat low(g.height, g.width, CV_16UC1), high(g.height, g.width, CV_16UC1);
    model.setRegister(sim::Register::ADD03, gsk - 50);
    model.renderFrame(10, low.ptr<uint16_t>(0), g.width, g.height, g.width);
    model.setRegister(sim::Register::ADD03, gsk + 50);
    model.renderFrame(150, high.ptr<uint16_t>(0), g.width, g.height, g.width);

    const uint32_t blindCell = GetDefault(record, ProxyParameterId::BlindColumns);
    const BlindColumns blind = BlindColumnsFromCell(blindCell);
    QVector<DetectedPixel> planted;
    for (int y = 0; y < g.height; ++y)
        for (int x = blind.Left; x < g.width - blind.Right; ++x)
            if (sim::SensorModel::DefectAt(x, y) != sim::PixelDefect::None)
                planted.append(DetectedPixel{y, x});
    QVERIFY(planted.size() > 50);
    const BadPixelDetection d = DetectBadPixels(low, high, blindCell);
    QVERIFY(d.Valid);
    QCOMPARE(d.Pixels.size(), planted.size());
    QCOMPARE(d.Pixels, planted);

    // Without the cap the scene's ramp and moving disc are no uniform field:
    // the same run then flags far more than the defects.
    model.setLensCovered(false);
    model.setRegister(sim::Register::ADD03, gsk - 50);
    model.renderFrame(10, low.ptr<uint16_t>(0), g.width, g.height, g.width);
    model.setRegister(sim::Register::ADD03, gsk + 50);
    model.renderFrame(150, high.ptr<uint16_t>(0), g.width, g.height, g.width);
    QVERIFY(DetectBadPixels(low, high, blindCell).Pixels.size() > 2 * planted.size());
}

QTEST_GUILESS_MAIN(TestBadPixelDetection)
#include "tst_bad_pixel_detection.moc"
