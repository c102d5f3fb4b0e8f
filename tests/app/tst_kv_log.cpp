// The log file's name, banner and line formats, the operator's log actions and its failure paths.
#include "app/kv_log.h"
#include "support/test_app_folder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <thread>
#include <vector>

namespace {

const QDateTime FixedNow(QDate(2026, 12, 8), QTime(7, 16, 5));

KV_Log::Clock FixedClock()
{
    return [] { return FixedNow; };
}

QByteArray ReadAll(const QString& p_sPath)
{
    QFile file(p_sPath);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

const QByteArray Banner = "\n***** LOG 08 Dec 2026 - 07:16:05 *****\n\n";

struct Message
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

} // namespace

class TestKvLog : public QObject
{
    Q_OBJECT

private:
    std::vector<Message> m_Messages;

private slots:
    void init()
    {
        m_Messages.clear();
        KV_Log::setMessageSink([this](QMessageBox::Icon p_Icon, const QString& p_sTitle,
                                      const QString& p_sText) {
            m_Messages.push_back({p_Icon, p_sTitle, p_sText});
        });
    }
    void cleanup() { KV_Log::setMessageSink(KV_Log::MessageSink()); }

    void fileNameComesFromTheStartTime()
    {
        KV_Log log(FixedClock(), QLocale::c());
        QCOMPARE(log.fileName(), QStringLiteral("Log_08_Dec_2026_07_16.txt"));
        QVERIFY(!log.isEnabled());
    }

    void logDirectoryGetsOneSeparator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("slash kept") << "/app/Logs/" << "/app/Logs/";
        QTest::newRow("none appended") << "/app/Logs" << "/app/Logs/";
        QTest::newRow("backslash becomes slash") << "/app/Logs\\" << "/app/Logs/";
    }
    void logDirectoryGetsOneSeparator()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        KV_Log log(FixedClock(), QLocale::c());
        log.setLogDirectory(path);
        QCOMPARE(log.folder(), folder);
    }

    void bannerAndLinesHaveTheirExactFormat()
    {
        TestAppFolder app;
        KV_Log log(FixedClock(), QLocale::c());
        log.setLogDirectory(app.binPath() + "/Logs/");
        log.createLogFile();
        QVERIFY(log.isEnabled());
        log.writeLine("Connected !");
        log.writeLine(QStringLiteral("Proxy: Z668P \u00b5s"));
        QCOMPARE(ReadAll(app.filePath("Logs/Log_08_Dec_2026_07_16.txt")),
                 Banner + "08 Dec 2026 - 07:16:05 : Connected !\n"
                 + QStringLiteral("08 Dec 2026 - 07:16:05 : Proxy: Z668P \u00b5s\n").toUtf8());
        QVERIFY(m_Messages.empty());
    }

    void missingFolderIsCreated()
    {
        TestAppFolder app;
        KV_Log log(FixedClock(), QLocale::c());
        log.setLogDirectory(app.binPath() + "/NewLogs/Deeper");
        log.createLogFile();
        QVERIFY(log.isEnabled());
        QVERIFY(QFile::exists(app.filePath("NewLogs/Deeper/Log_08_Dec_2026_07_16.txt")));
    }

    // Two runs started within one minute share the file, each with its banner.
    void twoStartsInOneMinuteAppend()
    {
        TestAppFolder app;
        for (int i = 0; i < 2; ++i) {
            KV_Log log(FixedClock(), QLocale::c());
            log.setLogDirectory(app.binPath() + "/Logs/");
            log.createLogFile();
            log.writeLine(QStringLiteral("run %1").arg(i));
        }
        QCOMPARE(ReadAll(app.filePath("Logs/Log_08_Dec_2026_07_16.txt")),
                 Banner + "08 Dec 2026 - 07:16:05 : run 0\n" + Banner
                     + "08 Dec 2026 - 07:16:05 : run 1\n");
    }

    void linesBeforeTheFileIsCreatedGoNowhere()
    {
        TestAppFolder app;
        KV_Log log(FixedClock(), QLocale::c());
        log.setLogDirectory(app.binPath() + "/Logs/");
        log.writeLine("too early");
        log.createLogFile();
        QCOMPARE(ReadAll(log.filePath()), Banner);
    }

    // The second argument-less rename finds Log_Renamed.txt taken: it reports
    // the failure and logging goes on there, appended and without a banner.
    void renameTwice()
    {
        TestAppFolder app;
        KV_Log log(FixedClock(), QLocale::c());
        QSignalSpy notRenamed(&log, &KV_Log::LogFileNotRenamed);
        log.setLogDirectory(app.binPath() + "/Logs/");
        log.createLogFile();
        log.writeLine("first");

        log.renameFile();
        QCOMPARE(notRenamed.count(), 0);
        QCOMPARE(m_Messages.size(), size_t(1));
        QCOMPARE(m_Messages[0].title, QStringLiteral("File renamed"));
        QCOMPARE(m_Messages[0].text, QStringLiteral("The log file has been renamed to Log_Renamed.txt"));
        QVERIFY(!QFile::exists(app.filePath("Logs/Log_08_Dec_2026_07_16.txt")));
        log.writeLine("second");

        // A new run's file, renamed onto the existing one.
        KV_Log other(FixedClock(), QLocale::c());
        QSignalSpy otherNotRenamed(&other, &KV_Log::LogFileNotRenamed);
        other.setLogDirectory(app.binPath() + "/Logs/");
        other.createLogFile();
        other.renameFile();
        QCOMPARE(otherNotRenamed.count(), 1);
        QCOMPARE(m_Messages.size(), size_t(1));
        QCOMPARE(other.fileName(), QStringLiteral("Log_Renamed.txt"));
        other.writeLine("third");

        QCOMPARE(ReadAll(app.filePath("Logs/Log_Renamed.txt")),
                 Banner + "08 Dec 2026 - 07:16:05 : first\n08 Dec 2026 - 07:16:05 : second\n"
                          "08 Dec 2026 - 07:16:05 : third\n");
    }

    void resetStartsTheFileAgainWithABanner()
    {
        TestAppFolder app;
        KV_Log log(FixedClock(), QLocale::c());
        QSignalSpy notReset(&log, &KV_Log::LogFileNotReset);
        log.setLogDirectory(app.binPath() + "/Logs/");
        log.createLogFile();
        log.writeLine("old");
        log.resetFile();
        log.writeLine("new");
        QCOMPARE(notReset.count(), 0);
        QCOMPARE(m_Messages.size(), size_t(1));
        QCOMPARE(m_Messages[0].title, QStringLiteral("File reseted"));
        QCOMPARE(m_Messages[0].text, QStringLiteral("The log file has been reseted."));
        QCOMPARE(ReadAll(log.filePath()), Banner + "08 Dec 2026 - 07:16:05 : new\n");
    }

    // A folder that cannot be made: one warning, then the program runs on
    // without a log; later lines neither crash nor warn again.
    void uncreatableFolderWarnsOnceAndLogsNothing()
    {
        TestAppFolder app;
        QFile blocker(app.filePath("Logs/blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString sFolder = app.binPath() + "/Logs/blocker/Logs/";

        KV_Log log(FixedClock(), QLocale::c());
        QSignalSpy cantOpen(&log, &KV_Log::LogFileCantBeOpen);
        log.setLogDirectory(sFolder);
        log.createLogFile();
        for (int i = 0; i < 5; ++i)
            log.writeLine("lost");
        QVERIFY(!log.isEnabled());
        QCOMPARE(m_Messages.size(), size_t(1));
        QCOMPARE(m_Messages[0].icon, QMessageBox::Warning);
        QCOMPARE(m_Messages[0].title, QStringLiteral("Failed chen creating directory"));
        QCOMPARE(m_Messages[0].text, "The directory " + sFolder + " cannot be created.\nNo Log will be saved.");
        QCOMPARE(cantOpen.count(), 0);
    }

    // A folder that exists but takes no file: the can't-open signal once, no box, no lines.
    void unwritableFolderSignalsOnce()
    {
        if (QFileInfo(QStringLiteral("/proc/self")).isDir() == false)
            QSKIP("needs /proc, a folder in which no file can be created");
        KV_Log log(FixedClock(), QLocale::c());
        QSignalSpy cantOpen(&log, &KV_Log::LogFileCantBeOpen);
        log.setLogDirectory(QStringLiteral("/proc/self/"));
        log.createLogFile();
        for (int i = 0; i < 5; ++i)
            log.writeLine("lost");
        QCOMPARE(cantOpen.count(), 1);
        QVERIFY(!log.isEnabled());
        QVERIFY(m_Messages.empty());
        QVERIFY(!QFile::exists(log.filePath()));
    }

    void globalLogDropsLinesUntilTheMainLogReplacesIt()
    {
        TestAppFolder app;
        QVERIFY(GlobalLog != nullptr);
        KV_Log* pPreMain = GlobalLog;
        GlobalLog->writeLine("before main window");
        QVERIFY(!pPreMain->isEnabled());
        {
            KV_Log mainLog(FixedClock(), QLocale::c());
            mainLog.setLogDirectory(app.binPath() + "/Logs/");
            mainLog.createLogFile();
            SetGlobalLog(&mainLog);
            GlobalLog->writeLine("through the global pointer");
            QCOMPARE(ReadAll(mainLog.filePath()),
                     Banner + "08 Dec 2026 - 07:16:05 : through the global pointer\n");
        }
        // The main window's log is gone: the pointer falls back rather than dangle.
        QCOMPARE(GlobalLog, pPreMain);
        GlobalLog->writeLine("after main window");
    }

    // Lines from an acquisition thread and the GUI thread never interleave within a line.
    void concurrentLinesStayWhole()
    {
        TestAppFolder app;
        KV_Log log(FixedClock(), QLocale::c());
        log.setLogDirectory(app.binPath() + "/Logs/");
        log.createLogFile();
        const int iLines = 200;
        std::thread worker([&] {
            for (int i = 0; i < iLines; ++i)
                log.writeLine(QStringLiteral("worker %1").arg(i));
        });
        for (int i = 0; i < iLines; ++i)
            log.writeLine(QStringLiteral("gui %1").arg(i));
        worker.join();

        const QList<QByteArray> lines = ReadAll(log.filePath()).mid(Banner.size()).split('\n');
        QCOMPARE(lines.size(), 2 * iLines + 1);
        QVERIFY(lines.last().isEmpty());
        for (int i = 0; i < 2 * iLines; ++i)
            QVERIFY2(QRegularExpression("^08 Dec 2026 - 07:16:05 : (gui|worker) \\d+$")
                         .match(QString::fromUtf8(lines[i]))
                         .hasMatch(),
                     lines[i].constData());
    }
};

QTEST_GUILESS_MAIN(TestKvLog)
#include "tst_kv_log.moc"
