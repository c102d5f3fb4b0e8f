// The bad-pixel offset file without its window: creation, sections met later, rewrites and damaged text.
#include "app/bp_offset_file.h"
#include "support/test_app_folder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

const QByteArray First = "/***** Kestivo BP Offset File *****/";

QByteArray ReadAll(const QString& p_sPath)
{
    QFile file(p_sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& p_sPath, const QByteArray& p_Content)
{
    QFile file(p_sPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(p_Content) == p_Content.size();
}

QByteArray Section(const QByteArray& p_Name, int p_iX, int p_iY)
{
    return p_Name + " :\nX : " + QByteArray::number(p_iX) + "\nY : " + QByteArray::number(p_iY) + "\n";
}

} // namespace

class TestBPOffsetFile : public QObject
{
    Q_OBJECT

private slots:
    void headerLine()
    {
        QCOMPARE(BPOffsetHeaderLine(QStringLiteral("Z668")), QByteArray("Z668 :\n"));
        QCOMPARE(BPOffsetHeaderLine(QString::fromUtf8("Prox\xc3\xa9")), QByteArray("Prox\xc3\xa9 :\n"));
        // A line end in the name cannot split the header.
        QCOMPARE(BPOffsetHeaderLine(QStringLiteral("A\nB")), QByteArray("A B :\n"));
    }

    // The whole life of one file: created for Z668, edited, a second proxy met.
    void createEditAndSecondProxy()
    {
        TestAppFolder app;
        const QString sPath = app.filePath(BPOffsetFile::FileName);
        const QByteArray z668 = BPOffsetHeaderLine(QStringLiteral("Z668"));

        BPOffsetEnsureResult ensure = EnsureBPOffsetSection(sPath, z668);
        QCOMPARE(ensure.Status, BPOffsetFileStatus::Ok);
        QVERIFY(ensure.Created);
        QVERIFY(!ensure.Present);
        const QByteArray created = "/***** Kestivo BP Offset File *****/\nZ668 :\nX : 0\nY : 0";
        QCOMPARE(ReadAll(sPath), created);

        // Met again: nothing changes.
        ensure = EnsureBPOffsetSection(sPath, z668);
        QVERIFY(!ensure.Created);
        QVERIFY(ensure.Present);
        BPOffsetReadResult read = ReadBPOffsetSection(sPath, z668, true);
        QCOMPARE(read.Status, BPOffsetFileStatus::Ok);
        QVERIFY(read.Split.Found && read.Split.XRead && read.Split.YRead);
        QVERIFY(!read.Appended);
        QCOMPARE(read.Split.X, 0);
        QCOMPARE(ReadAll(sPath), created);

        QCOMPARE(SaveBPOffsetSection(sPath, z668, 5, -3), BPOffsetFileStatus::Ok);
        QCOMPARE(ReadAll(sPath), QByteArray("/***** Kestivo BP Offset File *****/\nZ668 :\nX : 5\nY : -3\n"));

        // The last line already ends: the new section follows a blank line.
        ensure = EnsureBPOffsetSection(sPath, BPOffsetHeaderLine(QStringLiteral("A123")));
        QVERIFY(!ensure.Present);
        QCOMPARE(ReadAll(sPath),
                 QByteArray("/***** Kestivo BP Offset File *****/\nZ668 :\nX : 5\nY : -3\n\nA123 :\nX : 0\nY : 0"));
        read = ReadBPOffsetSection(sPath, z668, true);
        QCOMPARE(read.Split.X, 5);
        QCOMPARE(read.Split.Y, -3);
    }

    // Two proxies met in turn, the second saved: seven lines, the last one ended.
    void twoProxiesSevenLines()
    {
        TestAppFolder app;
        const QString sPath = app.filePath(BPOffsetFile::FileName);
        EnsureBPOffsetSection(sPath, "A :\n");
        EnsureBPOffsetSection(sPath, "B :\n");
        QCOMPARE(SaveBPOffsetSection(sPath, "B :\n", 3, -2), BPOffsetFileStatus::Ok);
        QCOMPARE(ReadAll(sPath), First + "\nA :\nX : 0\nY : 0\nB :\nX : 3\nY : -2\n");
    }

    // Rewriting one section keeps every other byte, but the white space after
    // the rewritten values: the next section follows at once.
    void rewriteInsideKeepsTheRest()
    {
        TestAppFolder app;
        const QString sPath = app.filePath(BPOffsetFile::FileName);
        QVERIFY(WriteAll(sPath, First + "\nA :\nX : 1\nY : 2\n\n\nB :\nX : 7\nY : 8\n\nC :\nX : 0\nY : 0"));
        BPOffsetSplit split;
        QCOMPARE(SaveBPOffsetSection(sPath, "B :\n", -9, 4, &split), BPOffsetFileStatus::Ok);
        QCOMPARE(split.X, 7);
        QCOMPARE(split.Y, 8);
        QCOMPARE(ReadAll(sPath), First + "\nA :\nX : 1\nY : 2\n\n\nB :\nX : -9\nY : 4\nC :\nX : 0\nY : 0");
    }

    // Far more than 5000 bytes before and after the section: all of it stays.
    void largeFileKeepsEveryOtherSection()
    {
        TestAppFolder app;
        const QString sPath = app.filePath(BPOffsetFile::FileName);
        QByteArray before = First + "\n";
        QByteArray after;
        for (int i = 0; i < 400; ++i) {
            before += Section("Proxy_before_" + QByteArray::number(i), i % 201 - 100, -(i % 97));
            after += Section("Proxy_after_" + QByteArray::number(i), -(i % 89), i % 101);
        }
        QVERIFY(before.size() > 5000);
        QVERIFY(after.size() > 5000);
        QVERIFY(WriteAll(sPath, before + Section("Z668", 1, 1) + after));

        QCOMPARE(SaveBPOffsetSection(sPath, "Z668 :\n", 42, -17), BPOffsetFileStatus::Ok);
        QCOMPARE(ReadAll(sPath), before + Section("Z668", 42, -17) + after);

        // A proxy the large file lacks: every line kept once, the new section at the end.
        QCOMPARE(SaveBPOffsetSection(sPath, "Q1 :\n", 6, 6), BPOffsetFileStatus::Ok);
        QCOMPARE(ReadAll(sPath), before + Section("Z668", 42, -17) + after + Section("Q1", 6, 6));
        const BPOffsetReadResult read = ReadBPOffsetSection(sPath, "Proxy_after_399 :\n", false);
        QVERIFY(read.Split.Found);
        QCOMPARE(read.Split.X, -(399 % 89));
        QCOMPARE(read.Split.Y, 399 % 101);
    }

    // A read that adds a missing section starts it on a line of its own.
    void readAddsMissingSection_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("last line without its end")
            << QByteArray(First + "\nA :\nX : 0\nY : 0") << QByteArray(First + "\nA :\nX : 0\nY : 0\nZ :\nX : 0\nY : 0\n");
        QTest::newRow("last line ended")
            << QByteArray(First + "\nA :\nX : 0\nY : 0\n") << QByteArray(First + "\nA :\nX : 0\nY : 0\nZ :\nX : 0\nY : 0\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("Z :\nX : 0\nY : 0\n");
    }

    void readAddsMissingSection()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, expected);
        TestAppFolder app;
        const QString sPath = app.filePath(BPOffsetFile::FileName);
        QVERIFY(WriteAll(sPath, existing));
        const BPOffsetReadResult read = ReadBPOffsetSection(sPath, "Z :\n", true);
        QCOMPARE(read.Status, BPOffsetFileStatus::Ok);
        QVERIFY(!read.Split.Found);
        QVERIFY(read.Appended);
        QCOMPARE(ReadAll(sPath), expected);

        // A read for saving writes nothing.
        QVERIFY(WriteAll(sPath, existing));
        QVERIFY(!ReadBPOffsetSection(sPath, "Z :\n", false).Appended);
        QCOMPARE(ReadAll(sPath), existing);
    }

    void readWithoutFile()
    {
        TestAppFolder app;
        const QString sPath = app.filePath(BPOffsetFile::FileName);
        // Only looking: no file appears.
        QVERIFY(!ReadBPOffsetSection(sPath, "Z :\n", false).Split.Found);
        QVERIFY(!QFile::exists(sPath));
        // Adding: the file is made with the section alone.
        QVERIFY(ReadBPOffsetSection(sPath, "Z :\n", true).Appended);
        QCOMPARE(ReadAll(sPath), QByteArray("Z :\nX : 0\nY : 0\n"));
        // Saving without a file writes the section alone.
        QVERIFY(QFile::remove(sPath));
        QCOMPARE(SaveBPOffsetSection(sPath, "Z :\n", 2, 3), BPOffsetFileStatus::Ok);
        QCOMPARE(ReadAll(sPath), QByteArray("Z :\nX : 2\nY : 3\n"));
    }

    // How a section's text is found and read.
    void split_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("found");
        QTest::addColumn<bool>("xRead");
        QTest::addColumn<bool>("yRead");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("plain") << QByteArray("F\nZ :\nX : 4\nY : -5\nB :\n") << true << true << true << 4 << -5
                               << QByteArray("B :\n");
        QTest::newRow("blank lines after") << QByteArray("Z :\nX : 1\n\n\nY : 2\n\n  \nB :\n") << true << true << true
                                           << 1 << 2 << QByteArray("B :\n");
        QTest::newRow("outside the spin range") << QByteArray("Z :\nX : 250\nY : -1000\n") << true << true << true
                                                << 250 << -1000 << QByteArray();
        QTest::newRow("beyond int") << QByteArray("Z :\nX : 99999999999999999999\nY : -99999999999\n") << true << true
                                    << true << INT_MAX << INT_MIN << QByteArray();
        QTest::newRow("no spaces, plus sign") << QByteArray("Z :\nX:+3\nY:7") << true << true << true << 3 << 7
                                              << QByteArray();
        QTest::newRow("CRLF") << QByteArray("F\r\nZ :\r\nX : 8\r\nY : 9\r\nB :\r\n") << true << true << true << 8 << 9
                              << QByteArray("B :\r\n");
        QTest::newRow("header last, no line end") << QByteArray("F\nZ :") << true << false << false << 0 << 0
                                                  << QByteArray();
        QTest::newRow("X missing") << QByteArray("Z :\nY : 6\nB :\n") << true << false << true << 0 << 6
                                   << QByteArray("B :\n");
        QTest::newRow("value not a number") << QByteArray("Z :\nX : abc\nY : 1\n") << true << false << false << 0 << 0
                                            << QByteArray("X : abc\nY : 1\n");
        QTest::newRow("header inside a line") << QByteArray("XZ :\nX : 1\nY : 1\n") << false << false << false << 0 << 0
                                              << QByteArray();
        QTest::newRow("header at the end of a long line")
            << QByteArray(QByteArray(120, 'q') + "Z :\nX : 1\nY : 1\n") << false << false << false << 0 << 0
            << QByteArray();
        QTest::newRow("first of two") << QByteArray("Z :\nX : 1\nY : 2\nZ :\nX : 3\nY : 4\n") << true << true << true
                                      << 1 << 2 << QByteArray("Z :\nX : 3\nY : 4\n");
    }

    void split()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, found);
        QFETCH(bool, xRead);
        QFETCH(bool, yRead);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QByteArray, after);
        const BPOffsetSplit split = SplitBPOffsetText(text, "Z :\n");
        QCOMPARE(split.Found, found);
        QCOMPARE(split.XRead, xRead);
        QCOMPARE(split.YRead, yRead);
        QCOMPARE(split.X, x);
        QCOMPARE(split.Y, y);
        QCOMPARE(split.After, after);
        QVERIFY(text.startsWith(split.Before));
        QVERIFY(text.endsWith(split.After));
        if (!found)
            QCOMPARE(split.Before, text);

        // Saved and read back: the new values, and the rest of the text kept.
        const QByteArray saved = SavedBPOffsetText(split, "Z :\n", -7, 11);
        const BPOffsetSplit again = SplitBPOffsetText(saved, "Z :\n");
        QVERIFY(again.Found && again.XRead && again.YRead);
        QCOMPARE(again.X, -7);
        QCOMPARE(again.Y, 11);
        QCOMPARE(again.After, split.After);
        QVERIFY(saved.startsWith(split.Before));
    }

    // Damaged or odd bytes are kept as they are around the rewritten values.
    void unreadableValuesAreKept()
    {
        TestAppFolder app;
        const QString sPath = app.filePath(BPOffsetFile::FileName);
        static const char bytes[] = "X : abc\n\0\xff binary\n";
        const QByteArray rest(bytes, sizeof(bytes) - 1);
        QVERIFY(WriteAll(sPath, "Z :\n" + rest));
        QCOMPARE(SaveBPOffsetSection(sPath, "Z :\n", 1, 2), BPOffsetFileStatus::Ok);
        QCOMPARE(ReadAll(sPath), "Z :\nX : 1\nY : 2\n" + rest);
    }

    // A file that cannot be opened is reported and nothing is written.
    void fileThatCannotBeOpened()
    {
        TestAppFolder app;
        const QString sPath = app.filePath(BPOffsetFile::FileName);
        QVERIFY(QDir().mkpath(sPath));
        QCOMPARE(EnsureBPOffsetSection(sPath, "Z :\n").Status, BPOffsetFileStatus::CannotOpen);
        QCOMPARE(ReadBPOffsetSection(sPath, "Z :\n", true).Status, BPOffsetFileStatus::CannotOpen);
        QCOMPARE(SaveBPOffsetSection(sPath, "Z :\n", 1, 1), BPOffsetFileStatus::CannotWrite);
        QVERIFY(QFileInfo(sPath).isDir());
    }
};

QTEST_GUILESS_MAIN(TestBPOffsetFile)
#include "tst_bp_offset_file.moc"
