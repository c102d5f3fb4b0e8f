// Tests of the colour look-up tables, the 8-bit and Bayer conversions and the pixel read-out.
#include "pipeline/colour_lut.h"
#include "pipeline/display_preparation.h"
#include "support/test_app_folder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <opencv2/imgproc.hpp>

namespace {
QString WriteFile(const TestAppFolder& folder, const QString& name, const QByteArray& content)
{
    QDir().mkpath(folder.filePath("LUT"));
    const QString path = folder.filePath("LUT/" + name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(content);
    return path;
}
} // namespace

class tst_display_preparation : public QObject
{
    Q_OBJECT

private slots:
    void lutLines();
    void lutStopsAt256AndKeepsLaterEntries();
    void lutMissingFileLogs();
    void lutWithoutAnyColourIsRefused_data();
    void lutWithoutAnyColourIsRefused();
    void shippedTables();
    void applyLut();
    void convertAndDebayer();
    void readout();
};

void tst_display_preparation::lutLines()
{
    TestAppFolder folder;
    const QString path = WriteFile(folder, "t.csv",
                                   "R;G;B\n"
                                   "12;34;56;78\n"
                                   "300;-1;7\r\n"
                                   "x;2.5;9\n"
                                   "1;2\n"
                                   "\n"
                                   " 4 ; 5 ;6\n");
    ColourLutPlanes p;
    p.R.fill(99);
    QVERIFY(ReadLutFile(path, p));
    QCOMPARE(int(p.R[0]), 12); QCOMPARE(int(p.G[0]), 34); QCOMPARE(int(p.B[0]), 56);
    QCOMPARE(int(p.R[1]), 44); QCOMPARE(int(p.G[1]), 255); QCOMPARE(int(p.B[1]), 7);
    QCOMPARE(int(p.R[2]), 0); QCOMPARE(int(p.G[2]), 0); QCOMPARE(int(p.B[2]), 9);
    QCOMPARE(int(p.R[3]), 1); QCOMPARE(int(p.G[3]), 2); QCOMPARE(int(p.B[3]), 0); // missing field
    QCOMPARE(int(p.R[4]), 0); // empty line
    QCOMPARE(int(p.R[5]), 4); QCOMPARE(int(p.B[5]), 6);
    QCOMPARE(int(p.R[6]), 99); // after the last data line: kept
}

void tst_display_preparation::lutStopsAt256AndKeepsLaterEntries()
{
    TestAppFolder folder;
    QByteArray content = "header\n";
    for (int i = 0; i < 300; ++i)
        content += QByteArray::number(i) + ";" + QByteArray::number(i / 2) + ";1\n";
    ColourLutPlanes p;
    QVERIFY(ReadLutFile(WriteFile(folder, "big.csv", content), p));
    QCOMPARE(int(p.R[255]), 255);
    QCOMPARE(int(p.G[255]), 127);
    QVERIFY(ReadLutFile(WriteFile(folder, "short.csv", "h\n1;1;1\n"), p));
    QCOMPARE(int(p.R[0]), 1);
    QCOMPARE(int(p.R[200]), 200); // previous table's entries stay
    p.clear();
    QVERIFY(ReadLutFile(WriteFile(folder, "ten.csv", "h\n" + QByteArray("9;9;9\n").repeated(10)), p));
    QCOMPARE(int(p.R[9]), 9);
    QCOMPARE(int(p.R[10]), 0);
}

void tst_display_preparation::lutMissingFileLogs()
{
    TestAppFolder folder;
    ColourLutPlanes p;
    p.R.fill(5);
    QStringList lines;
    QVERIFY(!ReadLutFile(folder.filePath("LUT/none.csv"), p, [&lines](const QString& l) { lines << l; }));
    QCOMPARE(lines, QStringList{"Can't open correctily LUT File"});
    QCOMPARE(int(p.R[17]), 5);
}

void tst_display_preparation::lutWithoutAnyColourIsRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x01\x02\n\xff\xfe", 21)
                            << int(LutReadStatus::NoColourTable);
    QTest::newRow("words") << QByteArray("a;b;c\nred;green;blue\nx;y\n") << int(LutReadStatus::NoColourTable);
    QTest::newRow("one colour among garbage") << QByteArray("h\nx;y;z\n1;2;3\n") << int(LutReadStatus::Loaded);
    // A header alone changes no entry and is taken, as before.
    QTest::newRow("header only") << QByteArray("R;G;B\n") << int(LutReadStatus::Loaded);
}

void tst_display_preparation::lutWithoutAnyColourIsRefused()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    TestAppFolder folder;
    ColourLutPlanes p;
    p.R.fill(5);
    p.G.fill(6);
    p.B.fill(7);
    const ColourLutPlanes before = p;
    QCOMPARE(int(ReadLutFileStatus(WriteFile(folder, "t.csv", content), p)), status);
    if (status == int(LutReadStatus::NoColourTable)) {
        QVERIFY(p.R == before.R && p.G == before.G && p.B == before.B);
    } else if (content.contains("1;2;3")) {
        QCOMPARE(int(p.R[0]), 0); // the line of words: 0
        QCOMPARE(int(p.R[1]), 1);
        QCOMPARE(int(p.B[1]), 3);
    }
}

void tst_display_preparation::shippedTables()
{
    // The staged LUT folder carries the two tables the menu actions open.
    TestAppFolder folder;
    ColourLutPlanes cool, fire;
    QVERIFY(ReadLutFile(folder.filePath("LUT/Cool.csv"), cool));
    QVERIFY(ReadLutFile(folder.filePath("LUT/Fire.csv"), fire));
    QCOMPARE(int(cool.R[0]), 0);
    QCOMPARE(int(cool.G[0]), 255);
    QCOMPARE(int(cool.B[0]), 255);
    QCOMPARE(int(cool.R[1]), 1);
    QCOMPARE(int(fire.R[1]), 2);
    QCOMPARE(int(fire.G[0]), 0);
}

void tst_display_preparation::applyLut()
{
    ColourLutPlanes p;
    for (int i = 0; i < 256; ++i) {
        p.R[size_t(i)] = uint8_t(255 - i);
        p.G[size_t(i)] = uint8_t(i / 2);
        p.B[size_t(i)] = uint8_t(i);
    }
    cv::Mat grey(3, 4, CV_8UC1);
    for (int i = 0; i < 12; ++i)
        grey.data[i] = uint8_t(i * 20);
    const cv::Mat colour = ApplyColourLut(grey, p);
    QCOMPARE(colour.type(), CV_8UC3);
    // Same as merging the planes and applying OpenCV's table per channel.
    cv::Mat grey3, expected;
    cv::merge(std::vector<cv::Mat>{grey, grey, grey}, grey3);
    cv::LUT(grey3, p.merged(), expected);
    QCOMPARE(cv::norm(colour, expected, cv::NORM_INF), 0.0);
    QCOMPARE(colour.at<cv::Vec3b>(0, 1), cv::Vec3b(235, 10, 20));
}

void tst_display_preparation::convertAndDebayer()
{
    std::vector<uint16_t> buf = {0x1234, 0xFF00, 0x00FF, 0x8000, 0x0100, 0x7FFF, 0xABCD, 0x0001};
    cv::Mat grey = ConvertTo8bit(buf.data(), 2, 4, 0);
    QCOMPARE(grey.type(), CV_8UC1);
    const uint8_t expected[] = {0x12, 0xFF, 0x00, 0x80, 0x01, 0x7F, 0xAB, 0x00};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(int(grey.data[i]), int(expected[i]));
    QCOMPARE(BayerConversionCode(1), 46);
    QCOMPARE(BayerConversionCode(2), 48);
    QCOMPARE(BayerConversionCode(3), 49);
    QCOMPARE(BayerConversionCode(4), 47);
    QCOMPARE(BayerConversionCode(0), -1);
    for (int code = 1; code <= 4; ++code) {
        const cv::Mat c = ConvertTo8bit(buf.data(), 2, 4, code);
        QCOMPARE(c.type(), CV_8UC3);
        cv::Mat ocv;
        cv::cvtColor(grey, ocv, BayerConversionCode(code));
        QCOMPARE(cv::norm(c, ocv, cv::NORM_INF), 0.0);
    }
    QCOMPARE(DebayerImage(grey, 0).data, grey.data);
}

void tst_display_preparation::readout()
{
    cv::Mat scaled(4, 6, CV_8UC1, cv::Scalar(0));
    scaled.at<uint8_t>(3, 5) = 201;
    PixelReadout r = ReadoutScaled(scaled, 5, 3, 0.5);
    QVERIFY(r.Valid);
    QCOMPARE(r.X, 10);
    QCOMPARE(r.Y, 6);
    QCOMPARE(r.Value, 201);
    QVERIFY(!ReadoutScaled(scaled, 6, 3, 0.5).Valid); // one past the last column
    QVERIFY(!ReadoutScaled(scaled, -1, 0, 1.0).Valid);
    QVERIFY(!ReadoutFull(scaled, 2, 4).Valid);
    QCOMPARE(ReadoutFull(scaled, 5, 3).Value, 201);
}

QTEST_GUILESS_MAIN(tst_display_preparation)
#include "tst_display_preparation.moc"
