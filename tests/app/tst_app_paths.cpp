// The staged test folder and the application-folder override.
#include "app/app_paths.h"
#include "support/test_app_folder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QtTest>

class TestAppPaths : public QObject
{
    Q_OBJECT
private slots:
    void overrideFollowsTheFixture()
    {
        QString sBin;
        {
            TestAppFolder folder;
            QVERIFY(folder.isValid());
            sBin = folder.binPath();
            QCOMPARE(ApplicationDirPath(), sBin);
            QVERIFY(QFileInfo(sBin + "/Logs").isDir());
            QVERIFY(QFileInfo(sBin + "/../SavedImages").isDir());
        }
        QCOMPARE(ApplicationDirPath(), QCoreApplication::applicationDirPath());
        QVERIFY(!QFileInfo::exists(sBin));
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_app_paths.moc"
