// Frame-statistics report text: French numbers with U+00A0 groups, the header byte for byte, measure lines for each image choice, the ending and the file name.
#include "pipeline/debug_report.h"

#include <QtTest>

namespace {
const QString NB = QString(QChar(0x00A0));
}

class TestDebugReport : public QObject
{
    Q_OBJECT

private slots:
    void frenchNumbers_data();
    void frenchNumbers();
    void headerByteForByte();
    void measureLines_data();
    void measureLines();
    void statisticsOfAnImage();
    void endingAndFileName_data();
    void endingAndFileName();
};

void TestDebugReport::frenchNumbers_data()
{
    QTest::addColumn<bool>("real");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("int 0") << false << 0.0 << "0";
    QTest::newRow("int 999") << false << 999.0 << "999";
    QTest::newRow("int 1000") << false << 1000.0 << "1" + NB + "000";
    QTest::newRow("int 65535") << false << 65535.0 << "65" + NB + "535";
    QTest::newRow("int 1234567") << false << 1234567.0 << "1" + NB + "234" + NB + "567";
    QTest::newRow("int -2500") << false << -2500.0 << "-2" + NB + "500";
    QTest::newRow("real 123.4567") << true << 123.4567 << "123,457";
    QTest::newRow("real 12.34567") << true << 12.34567 << "12,3457";
    QTest::newRow("real trailing zeros dropped") << true << 2.5 << "2,5";
    QTest::newRow("real whole") << true << 300.0 << "300";
    QTest::newRow("real grouped") << true << 12345.67 << "12" + NB + "345,7";
    QTest::newRow("real 65535") << true << 65535.0 << "65" + NB + "535";
    QTest::newRow("real 999999.4") << true << 999999.4 << "999" + NB + "999";
    QTest::newRow("real scientific large") << true << 1234567.0 << "1,23457e+06";
    QTest::newRow("real 0.0001 fixed") << true << 0.0001 << "0,0001";
    QTest::newRow("real scientific small") << true << 0.0000123 << "1,23e-05";
}

void TestDebugReport::frenchNumbers()
{
    QFETCH(bool, real);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(real ? FrenchNumber(value) : FrenchNumber(qint64(value)), text);
    // Written as UTF-8: the separator is the two bytes C2 A0.
    if (text.contains(NB))
        QVERIFY(FrenchNumber(qint64(1000)).toUtf8() == QByteArray("1\xC2\xA0" "000"));
}

void TestDebugReport::headerByteForByte()
{
    DebugReportHeader h;
    h.Start = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 8));
    h.DigiName = "Belmor+";
    h.ProxyName = "Z668";
    h.FrameRate = 30;
    h.Tint = 1500;
    h.DacA = 2048;
    h.DacB = 10;
    h.DacC = 0;
    h.DacD = 4095;
    h.Ckdiv = 3;
    h.Gain0 = 1;
    h.Gain1 = 0;
    h.Gain2 = 1;
    h.UpCol = 0;
    h.UpRow = 1;
    h.NucApplied = true;
    h.ImageGain = 12;
    h.ImageOffset = -2500;
    const QByteArray nb("\xC2\xA0");
    const QByteArray expected = QByteArray("Starting Time: 2026 03 04 05 06 07 8\n"
                                           "Digi Board: Belmor+\n"
                                           "Proxy Board: Z668\n"
                                           "Framerate: 30\n"
                                           "----- Sensor Parameters -----\n"
                                           "TINT : 1")
                                + nb + "500\nADD02: 2" + nb + "048\n"
                                + "ADD03: 10\nADD0C: 0\nADD0D: 4" + nb + "095\n"
                                + "CKDIV: 3\nGain0: 1\nGain1: 0\nGain2: 1\nUpCol: 0\nUpRow: 1\n"
                                + "----- Image processing -----\n"
                                + "NUC Apply: 1\nGain: 12\nOffset: -2" + nb + "500\n\n"
                                + "----- ANALYZE -----\n"
                                + ";RAW Image;;;;Processed Image\n"
                                + "#Measure;Mean;Std;Min;Max;Mean;Std;Min;Max\n";
    QCOMPARE(DebugReportHeaderText(h), expected);
}

void TestDebugReport::measureLines_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("choice");   // letters: r p M S m X
    QTest::addColumn<QByteArray>("line");
    const QByteArray nb("\xC2\xA0");
    QTest::newRow("both, mean only") << 3 << "rpM" << QByteArray("3;123,457;;;;12,3457;;;;\n");
    QTest::newRow("both, all") << 1 << "rpMSmX"
                               << QByteArray("1;123,457;2,5;0;65") + nb + "535;12,3457;0,5;3;250;\n";
    QTest::newRow("raw only") << 2 << "rMSmX" << QByteArray("2;123,457;2,5;0;65") + nb + "535;\n";
    QTest::newRow("processed only") << 4 << "pMSmX" << QByteArray("4;;;;;12,3457;0,5;3;250;\n");
    QTest::newRow("processed, max only") << 5 << "pX" << QByteArray("5;;;;;;;;250;\n");
    QTest::newRow("number 1000 grouped") << 1000 << "rm" << QByteArray("1") + nb + "000;;;0;;\n";
}

void TestDebugReport::measureLines()
{
    QFETCH(int, number);
    QFETCH(QString, choice);
    QFETCH(QByteArray, line);
    DebugReportChoice c;
    c.Raw = choice.contains('r');
    c.Processed = choice.contains('p');
    c.Mean = choice.contains('M');
    c.StdDev = choice.contains('S');
    c.Min = choice.contains('m');
    c.Max = choice.contains('X');
    const FrameStatistics raw{123.4567, 2.5, 0, 65535};
    const FrameStatistics processed{12.34567, 0.5, 3, 250};
    QCOMPARE(DebugReportMeasureLine(number, c, raw, processed), line);
}

void TestDebugReport::statisticsOfAnImage()
{
    cv::Mat m(2, 2, CV_16UC1);
    m.at<uint16_t>(0, 0) = 10;
    m.at<uint16_t>(0, 1) = 20;
    m.at<uint16_t>(1, 0) = 30;
    m.at<uint16_t>(1, 1) = 40;
    const FrameStatistics st = ComputeFrameStatistics(m);
    QCOMPARE(st.Mean, 25.0);
    QCOMPARE(st.StdDev, std::sqrt(125.0));
    QCOMPARE(st.Min, 10.0);
    QCOMPARE(st.Max, 40.0);
    const FrameStatistics none = ComputeFrameStatistics(cv::Mat());
    QCOMPARE(none.Mean, 0.0);
}

void TestDebugReport::endingAndFileName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "/tmp/report" << "/tmp/report.csv";
    QTest::newRow("lower") << "/tmp/r.csv" << "/tmp/r.csv";
    QTest::newRow("mixed case") << "/tmp/r.CsV" << "/tmp/r.CsV";
    QTest::newRow("other extension") << "/tmp/r.txt" << "/tmp/r.txt.csv";
    QTest::newRow("empty stays empty") << "" << "";
}

void TestDebugReport::endingAndFileName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, name);
    QCOMPARE(DebugReportFileName(chosen), name);
    QCOMPARE(DebugReportEndingText(QDateTime(QDate(2026, 12, 10), QTime(23, 59, 58, 120))),
             QByteArray("\nEnding Time: 2026 12 10 23 59 58 120\n"));
}

QTEST_GUILESS_MAIN(TestDebugReport)
#include "tst_debug_report.moc"
