// Windowing camera files: the splice between two words, the geometry-line rewrite, and what the frame grabber reads back.
#include "board/windowing_camfile.h"
#include "platform/multicam/camera_file.h"
#include "support/test_app_folder.h"

#include <QFile>
#include <QtTest>

namespace {

// The layout of the staged camera files: every line carries one ';', the
// comment lines too, so a line count taken from ';' is only right by luck.
const QByteArray kCamFileCrLf = ";=====\r\n"
                                ";--- Active area ---\r\n"
                                "    Hactive_Px =        324;\r\n"
                                "    Vactive_Ln =        240;\r\n"
                                "    HSyncAft_Tk =       0;\r\n"
                                "    VSyncAft_Ln =       0;\r\n";

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& p_sPath, const QByteArray& p_Bytes)
{
    QFile f(p_sPath);
    return f.open(QIODevice::WriteOnly) && f.write(p_Bytes) == p_Bytes.size();
}

} // namespace

class TestWindowingCamFile : public QObject
{
    Q_OBJECT

private slots:
    void splice_data();
    void splice();
    void editedFileIsReadBackWithTheNewSize();
    void missingWordLeavesTheFileAsItWas_data();
    void missingWordLeavesTheFileAsItWas();
    void rewriteGeometryLines_data();
    void rewriteGeometryLines();
    void paths();
};

void TestWindowingCamFile::splice_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray a = SetWindowHactiveLine(330);
    const QByteArray b = SetWindowVactiveLine(240);
    QTest::newRow("CRLF file keeps CRLF")
        << kCamFileCrLf << true
        << QByteArray(";=====\r\n;--- Active area ---\r\n    Hactive_Px =        330;               <==\r\n"
                      "    Vactive_Ln =        240;               <==\r\n    HSyncAft_Tk =       0;\r\n"
                      "    VSyncAft_Ln =       0;\r\n");
    QTest::newRow("LF file")
        << QByteArray("x;\n  Hactive_Px = 1;\n  Vactive_Ln = 2;\n  HSyncAft_Tk = 0;\n") << true
        << QByteArray("x;\n  Hactive_Px =        330;               <==\n    Vactive_Ln =        240;"
                      "               <==\n    HSyncAft_Tk = 0;\n");
    // The word right after a doubled first letter is still found, at its own place.
    QTest::newRow("doubled first letter")
        << QByteArray("HHactive_Px = 1;\nHSyncAft_Tk = 0;\n") << true
        << QByteArray("H") + a + b + "HSyncAft_Tk = 0;\n";
    QTest::newRow("no word1") << QByteArray("Vactive_Ln = 2;\nHSyncAft_Tk = 0;\n") << false << QByteArray();
    QTest::newRow("no word2") << QByteArray("Hactive_Px = 1;\nVactive_Ln = 2;\n") << false << QByteArray();
    // word2 only before word1: splicing there would duplicate the file's middle.
    QTest::newRow("word2 before word1") << QByteArray("HSyncAft_Tk = 0;\nHactive_Px = 1;\n") << false << QByteArray();
    QTest::newRow("empty") << QByteArray() << false << QByteArray();
}

void TestWindowingCamFile::splice()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, found);
    QFETCH(QByteArray, expected);
    QByteArray result("untouched");
    QCOMPARE(SpliceBetweenWords(content, "Hactive_Px =", "HSyncAft_Tk =", SetWindowHactiveLine(330),
                                SetWindowVactiveLine(240), &result),
             found);
    QCOMPARE(result, found ? expected : QByteArray("untouched"));
}

void TestWindowingCamFile::editedFileIsReadBackWithTheNewSize()
{
    TestAppFolder folder;
    const QString sPath = folder.rootPath() + "/Camfiles/Windowing/CamFile_Windowing_Z641.txt";
    QVERIFY(QFile::copy(folder.rootPath() + "/Camfiles/CamFile_Z641.cam", sPath));
    const QByteArray before = ReadAll(sPath);
    const QByteArray a = SetWindowHactiveLine(330);
    const QByteArray b = SetWindowVactiveLine(241);
    QVERIFY(EditCamFileBetweenWords(sPath.toUtf8().constData(), "Hactive_Px =", "HSyncAft_Tk =", a.constData(),
                                    b.constData(), a.size(), b.size()));
    const QByteArray after = ReadAll(sPath);
    // Everything before the Hactive_Px line and from HSyncAft_Tk on is kept byte for byte.
    const int iHead = before.indexOf("Hactive_Px =");
    QCOMPARE(after.left(iHead), before.left(iHead));
    QVERIFY(after.endsWith(before.mid(before.indexOf("HSyncAft_Tk ="))));
    QVERIFY(!after.contains("324"));

    CameraFileGeometry g;
    QString sError;
    QVERIFY2(ReadCameraFile(sPath, &g, &sError), qPrintable(sError));
    QCOMPARE(g.activePixels, 330);
    QCOMPARE(g.activeLines, 241);
}

void TestWindowingCamFile::missingWordLeavesTheFileAsItWas_data()
{
    QTest::addColumn<QString>("word1");
    QTest::addColumn<QString>("word2");
    QTest::newRow("word1") << "Hactive_Px :" << "HSyncAft_Tk =";
    QTest::newRow("word2") << "Hactive_Px =" << "HSyncAft =";
}

void TestWindowingCamFile::missingWordLeavesTheFileAsItWas()
{
    QFETCH(QString, word1);
    QFETCH(QString, word2);
    TestAppFolder folder;
    const QString sPath = folder.filePath("cam.txt");
    QVERIFY(WriteAll(sPath, kCamFileCrLf));
    QVERIFY(!EditCamFileBetweenWords(sPath.toUtf8().constData(), word1, word2, "A", "B", 1, 1));
    QCOMPARE(ReadAll(sPath), kCamFileCrLf);
    // A file that is not there is a failure, not a new file.
    const QString sMissing = folder.filePath("missing.txt");
    QVERIFY(!EditCamFileBetweenWords(sMissing.toUtf8().constData(), "Hactive_Px =", "HSyncAft_Tk =", "A", "B", 1, 1));
    QVERIFY(!QFile::exists(sMissing));
}

void TestWindowingCamFile::rewriteGeometryLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("both lines, CRLF")
        << kCamFileCrLf
        << QByteArray(";=====\r\n;--- Active area ---\r\n    Hactive_Px =           328;       <=\r\n"
                      "    Vactive_Ln =          240;       <=\r\n    HSyncAft_Tk =       0;\r\n"
                      "    VSyncAft_Ln =       0;\r\n");
    QTest::newRow("upper case and every match")
        << QByteArray("HACTIVE_PX = 1;\nkeep;\nhactive_px = 2;\n")
        << QByteArray("    Hactive_Px =           328;       <=\n"
                      "keep;\n    Hactive_Px =           328;       <=\n");
    QTest::newRow("no geometry lines") << QByteArray("a;\r\nb;\nc") << QByteArray("a;\r\nb;\nc");
    QTest::newRow("last line without end")
        << QByteArray("x;\r\nVactive_Ln = 9;")
        << QByteArray("x;\r\n    Vactive_Ln =          240;       <=\r\n");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestWindowingCamFile::rewriteGeometryLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, expected);
    // A 320-column window with 8 blind columns, 240 rows.
    QCOMPARE(RewriteGeometryLines(content, 328, 240), expected);
    CameraFileGeometry g;
    if (expected.contains("Hactive_Px") && expected.contains("Vactive_Ln")) {
        TestAppFolder folder;
        QVERIFY(WriteAll(folder.filePath("g.cam"), RewriteGeometryLines(content, 328, 240)));
        QVERIFY(ReadCameraFile(folder.filePath("g.cam"), &g, nullptr));
        QCOMPARE(g.activePixels, 328);
        QCOMPARE(g.activeLines, 240);
    }
}

void TestWindowingCamFile::paths()
{
    QCOMPARE(WindowingCamFileBase("/a/bin", "Z641", false), QStringLiteral("/a/bin/../Camfiles/Windowing/CamFile_Windowing_Z641"));
    QCOMPARE(WindowingCamFileBase("/a/bin", "Z641", true),
             QStringLiteral("/a/bin/../Camfiles/Windowing/CamFile_Windowing_Z641_2"));
    QCOMPARE(SourceCamFilePath("/a/bin", "Y1437P", true), QStringLiteral("/a/bin/../Camfiles/CamFile_Y1437P_2.cam"));
}

QTEST_GUILESS_MAIN(TestWindowingCamFile)
#include "tst_windowing_camfile.moc"
