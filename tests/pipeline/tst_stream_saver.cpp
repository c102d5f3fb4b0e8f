// Tests of the timed stream saver: file names, raw and CSV bytes, the chosen files and the open failures.
#include "support/test_app_folder.h"

#include "pipeline/stream_saver.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>

namespace {

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A request for a w x h frame of the proxy "Z671" in the test's SavedImages folder.
struct Tick
{
    TestAppFolder Folder;
    QByteArray Dir;
    StreamTickRequest Request;

    Tick(int p_iWidth, int p_iHeight)
    {
        Dir = (Folder.rootPath() + "/SavedImages/").toUtf8();
        QDir().mkpath(Folder.rootPath() + "/SavedImages/Z671");
        Request.SavedImagesDir = Dir.constData();
        Request.ProxyName = "Z671";
        Request.Width = p_iWidth;
        Request.Height = p_iHeight;
        Request.Stamp = QStringLiteral("20261210 09 30 05 7");
        Request.Acquired16b = cv::Mat(p_iHeight, p_iWidth, CV_16UC1);
        for (int i = 0; i < p_iWidth * p_iHeight; ++i)
            Request.Acquired16b.at<uint16_t>(i / p_iWidth, i % p_iWidth) = uint16_t(i * 977);
        Request.FPN16b = cv::Mat(p_iHeight, p_iWidth, CV_16UC1, cv::Scalar(65535));
        Request.Displayed8b = cv::Mat(p_iHeight, p_iWidth, CV_8UC1);
        for (int i = 0; i < p_iWidth * p_iHeight; ++i)
            Request.Displayed8b.at<uint8_t>(i / p_iWidth, i % p_iWidth) = uint8_t(i * 37);
        Request.Displayed16b = cv::Mat(p_iHeight, p_iWidth, CV_16UC1, cv::Scalar(9));
        Request.Picture = Request.Displayed8b;
    }

    QString file(const char* p_szSuffix) const
    {
        return QString::fromUtf8(Dir) + "Z671/Image" + QString::number(Request.Width) + "x"
               + QString::number(Request.Height) + " " + Request.Stamp + " " + p_szSuffix;
    }
    QStringList written() const
    {
        return QDir(Folder.rootPath() + "/SavedImages/Z671").entryList(QDir::Files, QDir::Name);
    }
};

} // namespace

class tst_stream_saver : public QObject
{
    Q_OBJECT

private slots:
    void timestampAndName();
    void acquiredRawOf640x480();
    void displayedCsvOf4x2();
    void sixteenBitCsvValues();
    void chosenFiles_data();
    void chosenFiles();
    void missingProxyFolder();
    void csvOpenFailureKeepsEarlierFiles();
};

void tst_stream_saver::timestampAndName()
{
    const QDateTime t(QDate(2026, 12, 10), QTime(9, 5, 7, 42));
    QCOMPARE(StreamTimestamp(t), QStringLiteral("20261210 09 05 07 42"));
    QCOMPARE(StreamFileName("/a/SavedImages/", "Z671", 640, 480, StreamTimestamp(t), "Live.bmp"),
             QByteArray("/a/SavedImages/Z671/Image640x480 20261210 09 05 07 42 Live.bmp"));
    // A name past the 500-byte buffer is refused rather than cut into another name.
    const QByteArray longDir(490, 'd');
    QVERIFY(StreamFileName(longDir.constData(), "Z671", 640, 480, "x", "Live.bmp").isEmpty());
}

void tst_stream_saver::acquiredRawOf640x480()
{
    Tick t(640, 480);
    t.Request.Raw = true;
    t.Request.RAWAcquired = true;
    QCOMPARE(SaveStreamTick(t.Request), StreamTickResult::Written);
    QCOMPARE(t.written(), QStringList{QStringLiteral("Image640x480 20261210 09 30 05 7 Acquired_16b.raw")});
    const QByteArray bytes = ReadAll(t.file("Acquired_16b.raw"));
    QCOMPARE(bytes.size(), 614400);
    // Little-endian 16-bit pixels from the top-left, row by row.
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(t.Request.Acquired16b.data), 614400), bytes);
    QCOMPARE(uint8_t(bytes[2]), uint8_t(977 & 0xFF));
    QCOMPARE(uint8_t(bytes[3]), uint8_t(977 >> 8));
}

void tst_stream_saver::displayedCsvOf4x2()
{
    Tick t(4, 2);
    t.Request.Csv = true;
    t.Request.CSVDisplayed = true;
    t.Request.CSV8b = true;
    QCOMPARE(SaveStreamTick(t.Request), StreamTickResult::Written);
    QCOMPARE(ReadAll(t.file("Displayed_8b.csv")), QByteArray("0,37,74,111,\n148,185,222,3,\n"));
}

void tst_stream_saver::sixteenBitCsvValues()
{
    cv::Mat image(2, 5, CV_16UC1);
    const uint16_t values[] = {0, 9, 10, 99, 100, 999, 1000, 9999, 10000, 65535};
    for (int i = 0; i < 10; ++i)
        image.at<uint16_t>(i / 5, i % 5) = values[i];
    std::string text;
    FormatCsvImage(image, text);
    QCOMPARE(QByteArray::fromStdString(text), QByteArray("0,9,10,99,100,\n999,1000,9999,10000,65535,\n"));
}

void tst_stream_saver::chosenFiles_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("suffixes");
    QTest::newRow("raw displayed without depth") << "R D" << QStringList{};
    QTest::newRow("csv displayed without depth") << "C d" << QStringList{};
    QTest::newRow("raw family") << "R A F D 8 6"
                                << QStringList{"Acquired_16b.raw", "Displayed_16b.raw", "Displayed_8b.raw",
                                               "FPN_16b.raw"};
    QTest::newRow("csv family") << "C a f d e s"
                                << QStringList{"Acquired_16b.csv", "Displayed_16b.csv", "Displayed_8b.csv",
                                               "FPN_16b.csv"};
    QTest::newRow("sub-options without their switch") << "A F D 8 6 a f d e s" << QStringList{};
    QTest::newRow("pictures") << "J B" << QStringList{"Live.bmp", "Live.jpeg"};
}

// Letters: R/C/J/B the switches; A F D 8 6 the RAW options, a f d e s the CSV ones.
void tst_stream_saver::chosenFiles()
{
    QFETCH(QString, choice);
    QFETCH(QStringList, suffixes);
    Tick t(6, 4);
    StreamTickRequest& q = t.Request;
    const QStringList letters = choice.split(' ', Qt::SkipEmptyParts);
    auto has = [&](const char* p_szLetter) { return letters.contains(QString::fromLatin1(p_szLetter)); };
    q.Raw = has("R");
    q.Csv = has("C");
    q.Jpg = has("J");
    q.Bmp = has("B");
    q.RAWAcquired = has("A");
    q.RAWFPN = has("F");
    q.RAWDisplayed = has("D");
    q.RAW8b = has("8");
    q.RAW16b = has("6");
    q.CSVAcquired = has("a");
    q.CSVFPN = has("f");
    q.CSVDisplayed = has("d");
    q.CSV8b = has("e");
    q.CSV16b = has("s");
    QCOMPARE(SaveStreamTick(q), StreamTickResult::Written);
    QStringList expected;
    for (const QString& s : suffixes)
        expected << "Image6x4 20261210 09 30 05 7 " + s;
    QCOMPARE(t.written(), expected);
    // The RAW and CSV files of one name hold the same image.
    if (has("C") && has("f"))
        QCOMPARE(ReadAll(t.file("FPN_16b.csv")), QByteArray("65535,65535,65535,65535,65535,65535,\n").repeated(4));
    if (has("B")) {
        const cv::Mat bmp = cv::imread(t.file("Live.bmp").toUtf8().constData(), cv::IMREAD_UNCHANGED);
        QCOMPARE(cv::countNonZero(bmp != q.Displayed8b), 0);
    }
}

void tst_stream_saver::missingProxyFolder()
{
    Tick t(8, 8);
    QDir(t.Folder.rootPath() + "/SavedImages/Z671").removeRecursively();
    t.Request.Raw = t.Request.Csv = t.Request.Bmp = true;
    t.Request.RAWAcquired = t.Request.CSVAcquired = true;
    QCOMPARE(SaveStreamTick(t.Request), StreamTickResult::RawOpenFailed);
    QVERIFY(!QDir(t.Folder.rootPath() + "/SavedImages/Z671").exists());
}

void tst_stream_saver::csvOpenFailureKeepsEarlierFiles()
{
    Tick t(8, 8);
    t.Request.Raw = t.Request.Csv = true;
    t.Request.RAWAcquired = t.Request.CSVAcquired = t.Request.CSVFPN = true;
    // A folder in the way of one CSV file: the whole CSV family fails, nothing of it is left.
    QVERIFY(QDir().mkpath(t.file("FPN_16b.csv")));
    QCOMPARE(SaveStreamTick(t.Request), StreamTickResult::CsvOpenFailed);
    QVERIFY(QFile::exists(t.file("Acquired_16b.raw")));
    QVERIFY(!QFile::exists(t.file("Acquired_16b.csv")));
}

QTEST_MAIN(tst_stream_saver)
#include "tst_stream_saver.moc"
