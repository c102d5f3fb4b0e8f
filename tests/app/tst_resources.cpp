// Every image and look-up table that the shared constants name is there and readable.
#include "app/app_paths.h"
#include "app/header_constants.h"
#include "support/test_app_folder.h"

#include <QFile>
#include <QImage>
#include <QTextStream>
#include <QtTest>

using namespace HeaderConstants;

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imagesLoad_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("logo") << LogosFolder + LogoImage << QSize(1024, 768);
        QTest::newRow("mini logo") << LogosFolder + LogoMiniImage << QSize();
        QTest::newRow("play") << IconsFolder + IconPlay << QSize();
        QTest::newRow("stop") << IconsFolder + IconStop << QSize();
        QTest::newRow("rec") << IconsFolder + IconRec << QSize();
        QTest::newRow("size up") << IconsFolder + IconSizeUp << QSize();
        QTest::newRow("windowing") << IllustrationsFolder + WindowingIllustration << QSize();
        // The histograms draw on these at their own sizes.
        QTest::newRow("histogram grid") << BackgroundsFolder + HistogramBackground << QSize(224, 161);
        QTest::newRow("advanced histogram grid")
            << BackgroundsFolder + AdvancedHistogramBackground << QSize(1024, 768);
    }
    void imagesLoad()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        TestAppFolder app;
        const QImage image(ApplicationDirPath() + path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        if (size.isValid())
            QCOMPARE(image.size(), size);
    }

    // A header line, then 256 entries of three levels 0..255, one per grey level.
    void lookUpTablesHaveAllLevels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("fire") << LutFire;
        QTest::newRow("cool") << LutCool;
    }
    void lookUpTablesHaveAllLevels()
    {
        QFETCH(QString, name);
        TestAppFolder app;
        QFile file(ApplicationDirPath() + LutFolder + name);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QTextStream in(&file);
        in.readLine();
        int iEntries = 0;
        while (!in.atEnd()) {
            const QStringList fields = in.readLine().split(QLatin1Char(';'));
            QCOMPARE(fields.size(), 3);
            for (const QString& field : fields) {
                bool bOk = false;
                const int iValue = field.toInt(&bOk);
                QVERIFY(bOk);
                QVERIFY(iValue >= 0 && iValue <= 255);
            }
            ++iEntries;
        }
        QCOMPARE(iEntries, 256);
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
