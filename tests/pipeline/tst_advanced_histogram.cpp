// The advanced histogram's numbers: grey and colour passes of known images, the moving average, the labels, the curve and fill geometry, the grid and the CSV text in French form.
#include "pipeline/advanced_histogram.h"

#include <QtTest>

using namespace AdvancedHistogram;

namespace {

const QString NB = QString(QChar(0x00A0));

float Bin(const cv::Mat& p_Counts, int p_iBin)
{
    return p_Counts.at<float>(p_iBin, 0);
}

cv::Mat Column(std::initializer_list<std::pair<int, float>> p_Bins)
{
    cv::Mat c = cv::Mat::zeros(BinCount, 1, CV_32FC1);
    for (const auto& b : p_Bins)
        c.at<float>(b.first, 0) = b.second;
    return c;
}

// A 1 x n grey image whose pixels hold the listed levels, each as often as said.
cv::Mat GreyImage(std::initializer_list<std::pair<int, int>> p_Levels)
{
    std::vector<uint8_t> pixels;
    for (const auto& l : p_Levels)
        pixels.insert(pixels.end(), size_t(l.second), uint8_t(l.first));
    return cv::Mat(1, int(pixels.size()), CV_8UC1, pixels.data()).clone();
}

} // namespace

class tst_advanced_histogram : public QObject
{
    Q_OBJECT

private slots:
    // Bins 0 and 255 only reach the saturation labels; the peak and the plot ignore them.
    void greyPassOfAKnownImage()
    {
        const cv::Mat image = GreyImage({{0, 10}, {255, 5}, {100, 1500}, {7, 3}});
        const GreyPass pass = ComputeGreyPass(image, 1, false);
        QCOMPARE(pass.BlackText, QString("10 are black saturated"));
        QCOMPARE(pass.WhiteText, QString("5 are white saturated"));
        QCOMPARE(Bin(pass.Histogram, 0), 0.0f);
        QCOMPARE(Bin(pass.Histogram, 255), 0.0f);
        QCOMPARE(Bin(pass.Histogram, 100), 1500.0f);
        QCOMPARE(Bin(pass.Histogram, 7), 3.0f);
        QCOMPARE(cv::sum(pass.Histogram)[0], 1503.0);
        // 1500 of 1518 pixels.
        QCOMPARE(pass.PeakText, QString("98.8142%\n1500 pixels"));
        QCOMPARE(Bin(pass.Scaled, 100), 768.0f);
        QCOMPARE(Bin(pass.Scaled, 50), 1.0f);
    }

    void greyPeakLabels_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("peak");
        QTest::addColumn<QString>("black");
        QTest::newRow("1024x768 of 128") << 768 << 1024 << 128 << "100.0000%\n786432 pixels" << "0 are black saturated";
        QTest::newRow("1280x1024: exponent") << 1024 << 1280 << 128 << "100.0000%\n1.31072e+06 pixels"
                                             << "0 are black saturated";
        QTest::newRow("all black") << 4 << 5 << 0 << "0.0000%\n0 pixels" << "20 are black saturated";
        // No pixels: the percentage 0 / 0 is left out.
        QTest::newRow("empty image") << 0 << 0 << 0 << "%\n0 pixels" << "0 are black saturated";
    }
    void greyPeakLabels()
    {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(int, level);
        const cv::Mat image = rows > 0 ? cv::Mat(rows, cols, CV_8UC1, cv::Scalar(level)) : cv::Mat();
        const GreyPass pass = ComputeGreyPass(image, 1, false);
        QTEST(pass.PeakText, "peak");
        QTEST(pass.BlackText, "black");
        QCOMPARE(pass.WhiteText, QString("0 are white saturated"));
        if (level == 128) {
            QCOMPARE(Bin(pass.Scaled, 128), 768.0f);
            QCOMPARE(CurvePoint(pass.Scaled, 128), cv::Point(512, 0));
            QCOMPARE(CurvePoint(pass.Scaled, 127), cv::Point(508, 767));
        } else {
            // Flat curve at y 767.
            for (int k = 0; k < BinCount; ++k)
                QCOMPARE(Bin(pass.Scaled, k), 1.0f);
        }
    }

    // A grey image of the wrong kind is taken as one without pixels.
    void greyPassRefusesOtherImages()
    {
        const GreyPass pass = ComputeGreyPass(cv::Mat(4, 4, CV_8UC3, cv::Scalar(9, 9, 9)), 1, false);
        QCOMPARE(cv::countNonZero(pass.Histogram), 0);
        QCOMPARE(pass.PeakText, QString("%\n0 pixels"));
    }

    void movingAverage_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("firstValued");
        QTest::addColumn<int>("lastValued");
        QTest::newRow("s 3") << 3 << 2 << 253;
        QTest::newRow("s 31") << 31 << 16 << 239;
        QTest::newRow("s 4 typed") << 4 << 2 << 253;
    }
    void movingAverage()
    {
        QFETCH(int, step);
        QFETCH(int, firstValued);
        QFETCH(int, lastValued);
        // Every bin i holds i + 1, so every window sum is known.
        cv::Mat in(BinCount, 1, CV_32FC1);
        for (int i = 0; i < BinCount; ++i)
            in.at<float>(i, 0) = float(i + 1);
        const cv::Mat out = MovingAverage(in, step, true);
        const int h = HalfWindow(step);
        for (int i = 0; i < BinCount; ++i) {
            if (i < firstValued || i > lastValued) {
                QCOMPARE(Bin(out, i), 0.0f);
                continue;
            }
            float sum = 0.0f;
            for (int j = i - h; j <= i + h; ++j)
                sum += float(j + 1);
            QCOMPARE(Bin(out, i), sum / float(step));
        }
        // An even step keeps the odd window below it but divides by the step.
        if (step == 4)
            QCOMPARE(Bin(out, 10), (10.0f + 11.0f + 12.0f) / 4.0f);
        // Off: the column itself.
        const cv::Mat off = MovingAverage(in, step, false);
        QCOMPARE(off.data, in.data);
    }

    void fillPolygonAndCurve()
    {
        const cv::Mat scaled = ScaleToPlot(Column({{128, 10.0f}}), PlotHeight);
        const std::vector<cv::Point> poly = FillPolygon(scaled, 3);
        QCOMPARE(int(poly.size()), 255);
        QCOMPARE(poly[0], cv::Point(0, 768));
        for (int v = 1; v <= 252; ++v)
            QCOMPARE(poly[size_t(v)], CurvePoint(scaled, v));
        QCOMPARE(poly[253], cv::Point(1024, 768));
        QCOMPARE(poly[254], cv::Point(1024, 768));
        // Filter off: points 0 to 253, then the corner.
        const std::vector<cv::Point> off = FillPolygon(scaled, 1);
        QCOMPARE(off[0], CurvePoint(scaled, 0));
        QCOMPARE(off[253], CurvePoint(scaled, 253));
        QCOMPARE(off[254], cv::Point(1024, 768));

        cv::Mat plot(PlotHeight, PlotWidth, CV_8UC4, PlotBackgroundColour);
        DrawCurve(plot, scaled, 1, GreyCurveColour, GreyFillColour, true);
        // Above a flat stretch of the curve the background stays; the spike at bin 128 is filled.
        QCOMPARE(plot.at<cv::Vec4b>(700, 100), cv::Vec4b(240, 240, 240, 0));
        const cv::Vec4b spike = plot.at<cv::Vec4b>(300, 512);
        QVERIFY(spike[3] > 0);
        QCOMPARE(int(spike[2]), 178);
        // The 4-pixel curve along y 767 shows above the fill, which covers it below.
        QCOMPARE(plot.at<cv::Vec4b>(765, 100), cv::Vec4b(39, 86, 178, 255));
        QCOMPARE(plot.at<cv::Vec4b>(767, 100), cv::Vec4b(39, 86, 178, 120));
    }

    void rgbPassScalesChannelsToTheHighestPeak()
    {
        // Red peak 40 pixels, green 20, blue none outside the saturated bins.
        cv::Mat colour(1, 60, CV_8UC3, cv::Scalar(0, 0, 0));
        for (int x = 0; x < 40; ++x)
            colour.at<cv::Vec3b>(0, x)[0] = 50;
        for (int x = 0; x < 20; ++x)
            colour.at<cv::Vec3b>(0, x)[1] = 90;
        for (int x = 0; x < 60; ++x)
            colour.at<cv::Vec3b>(0, x)[2] = 255;
        const RgbPass pass = ComputeRgbPass(colour, 1, false);
        QCOMPARE(Bin(pass.Red, 50), 40.0f);
        QCOMPARE(Bin(pass.Green, 90), 20.0f);
        QCOMPARE(cv::countNonZero(pass.Blue), 0);
        // 20 red zeros and 40 green zeros; 60 blue 255s.
        QCOMPARE(pass.BlackText, QString("60 are black saturated"));
        QCOMPARE(pass.WhiteText, QString("60 are white saturated"));
        QCOMPARE(pass.PeakText, QString("66.67%\n40 pixels"));
        QCOMPARE(Bin(pass.RedScaled, 50), 768.0f);
        QCOMPARE(Bin(pass.GreenScaled, 90), 384.0f);
        QCOMPARE(Bin(pass.GreenScaled, 10), 1.0f);
        // A channel without counts beside others lies at 0.
        QCOMPARE(Bin(pass.BlueScaled, 128), 0.0f);
    }

    // Every pixel saturated: the highest peak is 0, and no 0 / 0 reaches the scaling.
    void rgbPassWithoutAnyPeak()
    {
        cv::Mat colour(4, 4, CV_8UC3, cv::Scalar(0, 255, 0));
        const RgbPass pass = ComputeRgbPass(colour, 3, true);
        QCOMPARE(pass.PeakText, QString("0%\n0 pixels"));
        for (const cv::Mat* m : {&pass.RedScaled, &pass.GreenScaled, &pass.BlueScaled})
            for (int k = 0; k < BinCount; ++k)
                QCOMPARE(Bin(*m, k), 1.0f);
        QCOMPARE(pass.BlackText, QString("32 are black saturated"));
        QCOMPARE(pass.WhiteText, QString("16 are white saturated"));
        // A colour image that is not three 8-bit planes counts as empty.
        const RgbPass grey = ComputeRgbPass(cv::Mat(4, 4, CV_8UC1, cv::Scalar(7)), 1, false);
        QCOMPARE(grey.PeakText, QString("%\n0 pixels"));
        QCOMPARE(cv::countNonZero(grey.Red), 0);
    }

    void channelOrderAndBeta()
    {
        QCOMPARE(ChannelDrawingOrder(0), (std::vector<int>{2, 1, 0}));
        QCOMPARE(ChannelDrawingOrder(1), (std::vector<int>{2, 0, 1}));
        QCOMPARE(ChannelDrawingOrder(2), (std::vector<int>{0, 1, 2}));
        QCOMPARE(ChannelBeta(0.0, 0.0), 1.0);
        QCOMPARE(ChannelBeta(5.0, 10.0), 384.0);
    }

    void gridRowsAndColumns()
    {
        QCOMPARE(GridRows(768), (std::vector<int>{0, 76, 153, 230, 307, 384, 460, 537, 614, 691, 767}));
        QCOMPARE(GridColumns(1024), (std::vector<int>{0, 128, 256, 384, 512, 640, 768, 896, 1024}));
        cv::Mat background(768, 1024, CV_8UC3, cv::Scalar(200, 200, 200));
        DrawGrid(background);
        QCOMPARE(background.at<cv::Vec3b>(76, 10), cv::Vec3b(120, 120, 120));
        QCOMPARE(background.at<cv::Vec3b>(767, 10), cv::Vec3b(120, 120, 120));
        QCOMPARE(background.at<cv::Vec3b>(10, 896), cv::Vec3b(120, 120, 120));
        QCOMPARE(background.at<cv::Vec3b>(77, 10), cv::Vec3b(200, 200, 200));
    }

    void readouts()
    {
        // Before any calculation of the mode there is nothing to read.
        QCOMPARE(GreyReadout(cv::Mat(), 10), QString());
        QCOMPARE(RgbReadout(cv::Mat(), cv::Mat(), cv::Mat(), 10), QString());
        const cv::Mat g = Column({{10, 12.9f}});
        QCOMPARE(GreyReadout(g, 10), QString("12 pixels"));
        QCOMPARE(RgbReadout(g, Column({{10, 3.0f}}), Column({}), 10), QString("R: 12\nG: 3\nB: 0"));
    }

    void greyCsvByteForByte()
    {
        const cv::Mat h = Column({{1, 87.0f}, {100, 1500.0f}, {101, 12345.0f}, {102, 1310720.0f}, {103, 1234.5f}});
        const QByteArray csv = GreyCsvText(h);
        const QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines.size(), 258); // header, 256 bins, and the empty rest after the last line end
        QVERIFY(csv.endsWith('\n'));
        QCOMPARE(lines[0], QByteArray("Pixel Value,Number Pixel"));
        QCOMPARE(lines[1], QByteArray("0,0"));
        QCOMPARE(lines[2], QByteArray("1,87"));
        QCOMPARE(lines[101], QString("100,1" + NB + "500").toUtf8());
        QCOMPARE(lines[101], QByteArray("100,1\xC2\xA0" "500"));
        QCOMPARE(lines[102], QString("101,12" + NB + "345").toUtf8());
        QCOMPARE(lines[103], QByteArray("102,1,31072e+06"));
        QCOMPARE(lines[104], QString("103,1" + NB + "234,5").toUtf8());
        QCOMPARE(lines[256], QByteArray("255,0"));
    }

    void rgbCsvByteForByte()
    {
        const QByteArray csv = RgbCsvText(Column({{5, 2.0f}}), Column({{5, 3000.0f}}), Column({{6, 0.5f}}));
        const QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines.size(), 258);
        QCOMPARE(lines[0], QByteArray("Pixel Value,Red,Green,Blue"));
        QCOMPARE(lines[1], QByteArray("0,0,0,0"));
        QCOMPARE(lines[6], QByteArray("5,2,3\xC2\xA0" "000,0"));
        QCOMPARE(lines[7], QByteArray("6,0,0,0,5"));
        QCOMPARE(lines[256], QByteArray("255,0,0,0"));
    }
};

QTEST_MAIN(tst_advanced_histogram)
#include "tst_advanced_histogram.moc"
