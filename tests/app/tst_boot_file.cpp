// Creating, reading and rewriting the boot file.
#include "app/boot_file.h"
#include "app/header_constants.h"
#include "support/test_app_folder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <cstring>

namespace {

const QByteArray DefaultContent = "DigiBoard :Digi board ...\nAuto Start :0\nAuto NUC :0\n";

QByteArray ReadAll(const QString& p_sPath)
{
    QFile file(p_sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& p_sPath, const QByteArray& p_Content)
{
    QFile file(p_sPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(p_Content) == p_Content.size();
}

// The caller's 50-byte buffer with guard bytes behind it, so a copy that runs
// past the buffer shows.
struct NameBuffer
{
    char bytes[BootBoardNameBufferSize + 16];
    NameBuffer()
    {
        std::memset(bytes, 0, BootBoardNameBufferSize);
        std::memset(bytes + BootBoardNameBufferSize, 0x5A, 16);
    }
    bool guardIntact() const
    {
        for (int i = BootBoardNameBufferSize; i < BootBoardNameBufferSize + 16; ++i)
            if (bytes[i] != 0x5A)
                return false;
        return true;
    }
    QByteArray name() const { return QByteArray(bytes, int(strnlen(bytes, BootBoardNameBufferSize))); }
};

} // namespace

class TestBootFile : public QObject
{
    Q_OBJECT

private slots:
    void missingFileIsCreatedWithDefaults()
    {
        TestAppFolder app;
        const QString sPath = app.filePath(HeaderConstants::BootFileName);
        QVERIFY(!QFile::exists(sPath));
        NameBuffer buffer;
        bool bAutoStart = true;
        bool bAutoNUC = true;
        ReadBootFile(buffer.bytes, HeaderConstants::BootFileName, &bAutoStart, &bAutoNUC);
        QCOMPARE(ReadAll(sPath), DefaultContent);
        QVERIFY(!bAutoStart);
        QVERIFY(bAutoNUC); // not in the file yet: left as the caller had it
        QCOMPARE(buffer.name(), QByteArray());
        QVERIFY(buffer.guardIntact());

        // What was just created reads back as "no board", both options off.
        bAutoNUC = true;
        ReadBootFile(buffer.bytes, HeaderConstants::BootFileName, &bAutoStart, &bAutoNUC);
        QCOMPARE(buffer.name(), QByteArray("Digi board ..."));
        QVERIFY(!bAutoStart);
        QVERIFY(!bAutoNUC);
    }

    void readRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("autoNUCBefore");
        QTest::addColumn<QByteArray>("boardName");
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<bool>("autoNUC");

        QTest::newRow("board and auto start")
            << QByteArray("DigiBoard :Belmor+\nAuto Start :1\nAuto NUC :0\n") << true
            << QByteArray("Belmor+") << true << false;
        QTest::newRow("leading blank kept")
            << QByteArray("DigiBoard : Belmor\nAuto Start :0\nAuto NUC :0\n") << false
            << QByteArray(" Belmor") << false << false;
        QTest::newRow("2 is true") << QByteArray("DigiBoard :Eskra\nAuto Start :2\nAuto NUC :2\n")
                                   << false << QByteArray("Eskra") << true << true;
        QTest::newRow("x is false") << QByteArray("DigiBoard :Eskra\nAuto Start :x\nAuto NUC :x\n")
                                    << true << QByteArray("Eskra") << false << false;
        QTest::newRow("-1 is false") << QByteArray("DigiBoard :Eskra\nAuto Start :-1\nAuto NUC :-1\n")
                                     << true << QByteArray("Eskra") << false << false;
        QTest::newRow("CR LF line ends")
            << QByteArray("DigiBoard :Corvane\r\nAuto Start :1\r\nAuto NUC :1\r\n") << false
            << QByteArray("Corvane") << true << true;
        QTest::newRow("text after a second colon ignored")
            << QByteArray("DigiBoard :Arvex:old\nAuto Start :1:0\nAuto NUC :0\n") << true
            << QByteArray("Arvex") << true << false;
        QTest::newRow("lines without a colon read as empty")
            << QByteArray("DigiBoard Arvex\nAuto Start 1\nAuto NUC 1\n") << true << QByteArray()
            << false << false;
        QTest::newRow("empty lines") << QByteArray("\n\n\n") << true << QByteArray() << false << false;
        QTest::newRow("one line only: auto NUC untouched")
            << QByteArray("DigiBoard :Dunstel\n") << true << QByteArray("Dunstel") << false << true;
        QTest::newRow("empty file") << QByteArray() << true << QByteArray() << false << true;
        QTest::newRow("long name cut to 49 bytes")
            << (QByteArray("DigiBoard :") + QByteArray(80, 'B') + "\nAuto Start :1\nAuto NUC :1\n")
            << false << QByteArray(49, 'B') << true << true;
        // A two-byte character that would straddle the end is left out whole.
        QTest::newRow("long name not cut inside a character")
            << (QByteArray("DigiBoard :") + QByteArray(48, 'C') + "\xC3\xA9" + "\nAuto Start :0\nAuto NUC :0\n")
            << false << QByteArray(48, 'C') << false << false;
        QTest::newRow("UTF-8 name") << QByteArray("DigiBoard :Belm\xC3\xB6r\nAuto Start :0\nAuto NUC :1\n")
                                    << false << QByteArray("Belm\xC3\xB6r") << false << true;
    }
    void readRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, autoNUCBefore);
        QFETCH(QByteArray, boardName);
        QFETCH(bool, autoStart);
        QFETCH(bool, autoNUC);

        TestAppFolder app;
        const QString sPath = app.filePath(HeaderConstants::BootFileName);
        QVERIFY(WriteAll(sPath, content));
        NameBuffer buffer;
        bool bAutoStart = !autoStart;
        bool bAutoNUC = autoNUCBefore;
        ReadBootFile(buffer.bytes, HeaderConstants::BootFileName, &bAutoStart, &bAutoNUC);
        QCOMPARE(buffer.name(), boardName);
        QVERIFY(buffer.guardIntact());
        QCOMPARE(bAutoStart, autoStart);
        QCOMPARE(bAutoNUC, autoNUC);
        QCOMPARE(ReadAll(sPath), content); // reading never rewrites a readable file
    }

    void updateRewritesAndReadsBack_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<bool>("autoNUC");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("Corvane, start") << "Corvane" << true << false
                                        << QByteArray("DigiBoard :Corvane\nAuto Start :1\nAuto NUC :0\n");
        QTest::newRow("no board") << "Digi board ..." << false << false << DefaultContent;
        QTest::newRow("Belmor+, both") << "Belmor+" << true << true
                                       << QByteArray("DigiBoard :Belmor+\nAuto Start :1\nAuto NUC :1\n");
    }
    void updateRewritesAndReadsBack()
    {
        QFETCH(QString, board);
        QFETCH(bool, autoStart);
        QFETCH(bool, autoNUC);
        QFETCH(QByteArray, content);

        TestAppFolder app;
        const QString sPath = app.filePath(HeaderConstants::BootFileName);
        QVERIFY(WriteAll(sPath, "DigiBoard :Some much longer old board name\nAuto Start :1\nAuto NUC :1\nextra\n"));
        UpdateBootFile(board, HeaderConstants::BootFileName, &autoStart, &autoNUC);
        QCOMPARE(ReadAll(sPath), content);

        NameBuffer buffer;
        bool bAutoStart = !autoStart;
        bool bAutoNUC = !autoNUC;
        ReadBootFile(buffer.bytes, HeaderConstants::BootFileName, &bAutoStart, &bAutoNUC);
        QCOMPARE(QString::fromUtf8(buffer.name()), board);
        QCOMPARE(bAutoStart, autoStart);
        QCOMPARE(bAutoNUC, autoNUC);
    }

    // A name that can be neither read nor written as a file: nothing crashes,
    // auto start is off, the rest stays as the caller had it.
    void unusablePathLeavesValues()
    {
        TestAppFolder app;
        QVERIFY(QDir().mkpath(app.filePath("boot_dir")));
        NameBuffer buffer;
        std::strcpy(buffer.bytes, "kept");
        bool bAutoStart = true;
        bool bAutoNUC = true;
        ReadBootFile(buffer.bytes, QStringLiteral("boot_dir"), &bAutoStart, &bAutoNUC);
        QCOMPARE(buffer.name(), QByteArray("kept"));
        QVERIFY(!bAutoStart);
        QVERIFY(bAutoNUC);
        UpdateBootFile(QStringLiteral("Arvex"), QStringLiteral("boot_dir"), &bAutoStart, &bAutoNUC);
        QVERIFY(QFileInfo(app.filePath("boot_dir")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestBootFile)
#include "tst_boot_file.moc"
