// The two-point NUC gain file reader: values to pixels, and every way a file can fall short.
#include "pipeline/two_point_nuc_gain_file.h"

#include "support/test_app_folder.h"

#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(TwoPointNUCGainStatus)

namespace {

// A 3 x 2 image in a frame buffer 4 pixels wide.
constexpr int kWidth = 3;
constexpr int kHeight = 2;
constexpr int kColumns = 4;

QString WriteFile(const TestAppFolder& p_Folder, const QByteArray& p_Bytes)
{
    const QString sPath = p_Folder.rootPath() + "/gain.csv";
    QFile file(sPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(p_Bytes);
    return sPath;
}

} // namespace

class tst_two_point_nuc_gain_file : public QObject
{
    Q_OBJECT

private slots:
    void valuesToPixels();
    void contents_data();
    void contents();
    void unusablePathOrSize();
};

// Value i lands at row i / width, column i % width; the padding column stays 1.0.
void tst_two_point_nuc_gain_file::valuesToPixels()
{
    TestAppFolder folder;
    const QString sPath = WriteFile(folder, "1.5;2;3;\n4;5e-1;-6.25;\n");
    const TwoPointNUCGainRead r = ReadTwoPointNUCGainFile(sPath, kWidth, kHeight, kColumns);
    QCOMPARE(r.Status, TwoPointNUCGainStatus::Loaded);
    QCOMPARE(r.ValuesRead, int64_t(6));
    QVERIFY(!r.DataLeft);
    QCOMPARE(r.Gains.type(), CV_64FC1);
    QCOMPARE(r.Gains.rows, kHeight);
    QCOMPARE(r.Gains.cols, kColumns);
    const double expected[kHeight][kColumns] = {{1.5, 2, 3, 1.0}, {4, 0.5, -6.25, 1.0}};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kColumns; ++x)
            QCOMPARE(r.Gains.at<double>(y, x), expected[y][x]);
}

void tst_two_point_nuc_gain_file::contents_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TwoPointNUCGainStatus>("status");
    QTest::addColumn<int>("valuesRead");
    QTest::addColumn<int>("failedValue");
    QTest::addColumn<bool>("dataLeft");

    using St = TwoPointNUCGainStatus;
    QTest::newRow("one line, no final ;") << QByteArray("1;1;1;1;1;1") << St::Loaded << 6 << -1 << false;
    QTest::newRow("blanks, no ;") << QByteArray(" 1 1\t1\r\n1 1 1 ") << St::Loaded << 6 << -1 << false;
    QTest::newRow("more values than pixels") << QByteArray("1;1;1;1;1;1;7;8;") << St::Loaded << 6 << -1 << true;
    QTest::newRow("rubbish after the last pixel") << QByteArray("1;1;1;1;1;1;x") << St::Loaded << 6 << -1 << true;
    QTest::newRow("empty") << QByteArray() << St::TooFewValues << 0 << -1 << false;
    QTest::newRow("five values") << QByteArray("1;1;1;\n1;1;\n") << St::TooFewValues << 5 << -1 << false;
    // A word among the values: the reader stops there instead of spinning on it.
    QTest::newRow("word") << QByteArray("1;1;abc;1;1;1;") << St::NotANumber << 2 << 2 << false;
    QTest::newRow("number with a tail") << QByteArray("1;1.5x;1;1;1;1;") << St::NotANumber << 1 << 1 << false;
    QTest::newRow("empty field") << QByteArray("1;;1;1;1;1;1;") << St::NotANumber << 1 << 1 << false;
    QTest::newRow("blank before ;") << QByteArray("1 ;1;1;1;1;1;") << St::NotANumber << 1 << 1 << false;
    QTest::newRow("decimal comma") << QByteArray("1,5;1;1;1;1;1;") << St::NotANumber << 0 << 0 << false;
    QTest::newRow("nan") << QByteArray("1;nan;1;1;1;1;") << St::NotANumber << 1 << 1 << false;
    QTest::newRow("inf") << QByteArray("1;1;inf;1;1;1;") << St::NotANumber << 2 << 2 << false;
    QTest::newRow("beyond double") << QByteArray("1;1;1e999;1;1;1;") << St::NotANumber << 2 << 2 << false;
    QTest::newRow("endless digits") << QByteArray(100000, '7') << St::NotANumber << 0 << 0 << false;
}

void tst_two_point_nuc_gain_file::contents()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TwoPointNUCGainStatus, status);
    QFETCH(int, valuesRead);
    QFETCH(int, failedValue);
    QFETCH(bool, dataLeft);
    TestAppFolder folder;
    const TwoPointNUCGainRead r = ReadTwoPointNUCGainFile(WriteFile(folder, bytes), kWidth, kHeight, kColumns);
    QCOMPARE(r.Status, status);
    QCOMPARE(r.ValuesRead, int64_t(valuesRead));
    QCOMPARE(r.FailedValue, int64_t(failedValue));
    QCOMPARE(r.DataLeft, dataLeft);
    // Only a full read hands out gains; a failure leaves the caller's own matrix in use.
    QCOMPARE(r.Gains.empty(), status != TwoPointNUCGainStatus::Loaded);
    QCOMPARE(TwoPointNUCGainFailureText(r, kWidth, kHeight).isEmpty(), status == TwoPointNUCGainStatus::Loaded);
    if (status == TwoPointNUCGainStatus::TooFewValues)
        QCOMPARE(TwoPointNUCGainFailureText(r, kWidth, kHeight),
                 QStringLiteral("The 2 points NUC Gain file holds %1 values, 6 are needed (3 x 2). The gains were "
                                "not changed.")
                     .arg(valuesRead));
}

void tst_two_point_nuc_gain_file::unusablePathOrSize()
{
    TestAppFolder folder;
    const QString sPath = WriteFile(folder, "1;1;1;1;1;1;");
    QCOMPARE(ReadTwoPointNUCGainFile(sPath, 0, kHeight, kColumns).Status, TwoPointNUCGainStatus::NoFrameSize);
    QCOMPARE(ReadTwoPointNUCGainFile(sPath, kWidth, 0, kColumns).Status, TwoPointNUCGainStatus::NoFrameSize);
    QCOMPARE(ReadTwoPointNUCGainFile(sPath, kWidth, kHeight, kWidth - 1).Status, TwoPointNUCGainStatus::NoFrameSize);
    QCOMPARE(ReadTwoPointNUCGainFile(folder.rootPath() + "/missing.csv", kWidth, kHeight, kColumns).Status,
             TwoPointNUCGainStatus::CannotOpen);
    QCOMPARE(TwoPointNUCGainFailureText(
                 ReadTwoPointNUCGainFile(folder.rootPath() + "/missing.csv", kWidth, kHeight, kColumns), 3, 2),
             QStringLiteral("2 points NUC Gain file .csv load fail"));

    // 499 bytes is the longest path taken; one more is refused before any open.
    QString sLong = folder.rootPath() + "/";
    sLong += QString(TwoPointNUCGainPathMaxBytes - sLong.toUtf8().size(), 'g');
    QCOMPARE(sLong.toUtf8().size(), TwoPointNUCGainPathMaxBytes);
    QCOMPARE(ReadTwoPointNUCGainFile(sLong, kWidth, kHeight, kColumns).Status, TwoPointNUCGainStatus::CannotOpen);
    QCOMPARE(ReadTwoPointNUCGainFile(sLong + "g", kWidth, kHeight, kColumns).Status,
             TwoPointNUCGainStatus::PathTooLong);
    // Multi-byte characters count as their UTF-8 bytes.
    QString sWide = folder.rootPath() + "/" + QString(250, QChar(0xE9));
    QCOMPARE(ReadTwoPointNUCGainFile(sWide, kWidth, kHeight, kColumns).Status, TwoPointNUCGainStatus::PathTooLong);
}

QTEST_GUILESS_MAIN(tst_two_point_nuc_gain_file)
#include "tst_two_point_nuc_gain_file.moc"
