// Start-up geometry, register, windowing and counter cells of the proxy records.
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QtTest>
#include <vector>

namespace id = ProxyParameterId;

namespace {
constexpr uint NA = ProxyParameterNotSet;

// Compares one record's cells with the expected values, both halves, naming
// the first cell that differs.
void CompareCells(int p_iRecord, const std::vector<int>& p_aCells, const QVector<uint>& p_aExpected)
{
    QCOMPARE(p_aExpected.size(), int(p_aCells.size()));
    for (int i = 0; i < p_aExpected.size(); ++i) {
        const int iCell = p_aCells[i];
        const uint uDefault = GetDefault(p_iRecord, iCell);
        const uint uCurrent = GetCurrent(p_iRecord, iCell);
        QVERIFY2(uDefault == p_aExpected[i] && uCurrent == p_aExpected[i],
                 qPrintable(QString("record %1 cell %2: default %3, current %4, expected %5")
                                .arg(p_iRecord).arg(iCell).arg(uDefault).arg(uCurrent).arg(p_aExpected[i])));
    }
}
} // namespace

class TestGeometryRegisterCells : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitProxyParameterTable(); }

    void geometry_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QVector<uint>>("values");
        // sensor W, H, buffer W, H, blind columns, divisor, GigE W, H, AcqX max, AcqX, AcqY max, AcqY
        QTest::newRow("0 none") << 0 << QVector<uint>{NA, NA, 255, 255, 0, 1, NA, NA, 255, 254, 255, 254};
        QTest::newRow("1 Z654") << 1 << QVector<uint>{NA, NA, 384, 288, 55, 1, NA, NA, 392, 384, 296, 288};
        QTest::newRow("3 Z668P") << 3 << QVector<uint>{640, 480, 640, 480, 115, 1, 648, 480, 640, 640, 480, 480};
        QTest::newRow("9 Y1437P") << 9 << QVector<uint>{1024, 768, 1024, 768, 49, 4, 1028, 768, 1028, 1028, 768, 768};
        QTest::newRow("13 No Proxy") << 13 << QVector<uint>{NA, NA, 255, 255, 0, 1, NA, NA, 255, 254, 255, 254};
        QTest::newRow("14 X1550") << 14 << QVector<uint>{1280, 1024, 1280, 1024, 0, 1, 1280, 1024, NA, NA, NA, NA};
        QTest::newRow("16 T230") << 16 << QVector<uint>{NA, NA, 160, 120, 0, 1, 164, 120, 160, 160, 120, 120};
        QTest::newRow("17 Z603") << 17 << QVector<uint>{1024, 768, 80, 80, 34, 1, 84, 80, 80, 80, 80, 80};
        QTest::newRow("18 Z641") << 18 << QVector<uint>{320, 240, 320, 240, 49, 1, 324, 240, 160, 160, 120, 120};
        QTest::newRow("20 Y420") << 20 << QVector<uint>{640, 480, 640, 480, 34, 2, 644, 480, 320, 320, 480, 480};
        QTest::newRow("22 unnamed") << 22 << QVector<uint>{650, 512, 650, 520, 0, 1, NA, NA, NA, NA, NA, NA};
        QTest::newRow("23 Z1641") << 23 << QVector<uint>{1280, 1024, 2560, 512, 0, 4, NA, NA, 640, 640, 480, 480};
        QTest::newRow("24 Z633") << 24 << QVector<uint>{320, 240, 320, 240, 0, 1, 320, 240, 320, 320, 480, 480};
    }
    void geometry()
    {
        QFETCH(int, record);
        QFETCH(QVector<uint>, values);
        CompareCells(record,
                     {id::SensorWidth, id::SensorHeight, id::AcqBufferWidth, id::AcqBufferHeight,
                      id::BlindColumns, id::WindowingDivisor, id::GigEImageWidth, id::GigEImageHeight,
                      158, 160, 163, 165},
                     values);
    }

    void registerDefaults_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QVector<uint>>("values");
        // TINT, max, min; TINT slider, max, min; DAC A, B, C, D; CKDIV
        QTest::newRow("0 none") << 0 << QVector<uint>{255, 255, 15, 255, 255, 15, 0, 0, 0, 0, 0};
        QTest::newRow("4 Z646") << 4 << QVector<uint>{371, 371, 2, 371, 371, 2, 600, 2920, 0, 0, 50};
        QTest::newRow("6 Y1436") << 6 << QVector<uint>{491, 511, 15, 491, 511, 15, 3120, 3560, 2300, 1600, 0};
        QTest::newRow("9 Y1437P") << 9 << QVector<uint>{255, 255, 15, 255, 255, 15, 3550, 2890, 2100, 2550, 320};
        QTest::newRow("10 Z671P") << 10 << QVector<uint>{306, 306, 1, 306, 306, 1, 885, 3460, 3072, 2560, 2098};
        // The only record whose slider and spin box minima differ.
        QTest::newRow("11 Z647") << 11 << QVector<uint>{367, 367, 2, 367, 367, 15, 2992, 1210, 0, 0, 1};
        // The 120 FPS variant differs from record 9 in DAC D and CKDIV only.
        QTest::newRow("12 Y1437P 120") << 12 << QVector<uint>{255, 255, 15, 255, 255, 15, 3550, 2890, 2100, 2300, 64};
        QTest::newRow("14 X1550") << 14 << QVector<uint>{4, 4095, 1, 4, 4095, 1, 1685, NA, NA, NA, 0};
        QTest::newRow("16 T230") << 16 << QVector<uint>{2048, 4095, 1, 2048, 4095, 1, 3410, 3420, 0, 0, 0};
        QTest::newRow("21 Z671Pv2") << 21 << QVector<uint>{306, 320, 1, 306, 320, 1, 550, 3580, 4095, 2230, 1};
        QTest::newRow("22 unnamed") << 22 << QVector<uint>{58, 353, 1, 58, 353, 1, 511, 0, 0, 0, 0};
        QTest::newRow("24 Z633") << 24 << QVector<uint>{303, 4095, 15, 303, 4095, 15, 0, 0, 0, 0, 0};
    }
    void registerDefaults()
    {
        QFETCH(int, record);
        QFETCH(QVector<uint>, values);
        CompareCells(record, {216, 214, 215, 155, 153, 154, 170, 175, 180, 185, 196}, values);
    }

    // The sliders show the spin boxes' DAC values; record 14 has one DAC only,
    // and its B and D sliders sit at 0 where the spin boxes are undefined.
    void dacSlidersFollowSpinBoxes()
    {
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord) {
            QCOMPARE(GetDefault(iRecord, 125), GetDefault(iRecord, 170));
            if (iRecord == 14) {
                QCOMPARE(GetDefault(iRecord, 130), 0u);
                QCOMPARE(GetDefault(iRecord, 140), 0u);
                continue;
            }
            QCOMPARE(GetDefault(iRecord, 130), GetDefault(iRecord, 175));
            QCOMPARE(GetDefault(iRecord, 140), GetDefault(iRecord, 185));
        }
        CompareCells(14, {125, 130, 140}, {1685, 0, 0});
        CompareCells(9, {125, 130, 140}, {3550, 2890, 2550});
    }

    void registerLayoutFlags_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QVector<uint>>("values");
        // 243, 357, 358, 362, 363, 394, 395, 396, flips 348, 349, AGC margin, threshold, 251
        QTest::newRow("0 none") << 0 << QVector<uint>{0, 0, 0, 0, 0, 0, 0, 0, NA, NA, 20, 5, 1};
        QTest::newRow("1 Z654") << 1 << QVector<uint>{0, 1, 0, 1, 0, 0, 16, 0, 1, 1, 20, 5, 0};
        QTest::newRow("6 Y1436") << 6 << QVector<uint>{0, 1, 0, 1, 0, 0, 16, 0, 1, 1, 80, 40, 0};
        QTest::newRow("9 Y1437P") << 9 << QVector<uint>{0, 1, 0, 1, 0, 1, 4, 7, 1, 1, 40, 20, 0};
        QTest::newRow("13 No Proxy") << 13 << QVector<uint>{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 20, 5, 1};
        QTest::newRow("14 X1550") << 14 << QVector<uint>{0, 0, 1, 0, 0, 0, 8, 0, 0, 0, 20, 5, 0};
        QTest::newRow("16 T230") << 16 << QVector<uint>{1, 1, 0, 0, 1, NA, NA, 0, 0, 0, 20, 5, 0};
        QTest::newRow("20 Y420") << 20 << QVector<uint>{0, 1, 0, 1, 0, 0, 4, 7, 0, 0, 20, 5, 0};
        QTest::newRow("22 unnamed") << 22 << QVector<uint>{1, 0, 0, 1, 0, 0, 4, 0, 1, 1, 40, 20, 0};
        QTest::newRow("24 Z633") << 24 << QVector<uint>{1, 1, 0, 1, 0, 0, 0, 0, NA, NA, 20, 5, 0};
    }
    void registerLayoutFlags()
    {
        QFETCH(int, record);
        QFETCH(QVector<uint>, values);
        CompareCells(record,
                     {id::BPRegisterEncoding, id::GMSCompactLayoutA, id::TINTInLines, id::GMSCompactLayoutB,
                      id::GMSAdjustLayout, id::FPGAClockModeBase, id::FPGAClockModeModulus,
                      id::FPGAClockModeShift, id::UpColAltDefault, id::UpRowAltDefault, id::AGCMargin,
                      id::AGCThreshold, id::AdvancedUserState},
                     values);
    }

    void tintInLinesOnlyInX1550()
    {
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
            QCOMPARE(GetDefault(iRecord, id::TINTInLines) != 0, iRecord == 14);
    }

    void windowPresets_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QVector<uint>>("values");
        // Size A/B active; Size A preset; Size B preset; full-frame preset; minimum W, H
        QTest::newRow("0 none") << 0
            << QVector<uint>{0, 0, 79, 80, 80, 80, 0, 0, 0, 0, 0, 0, 0, 0, 32, 32};
        QTest::newRow("2 Z668") << 2
            << QVector<uint>{0, 1, 383, 288, 392, 288, 319, 240, 328, 240, 639, 480, 648, 480, 160, 120};
        QTest::newRow("6 Y1436") << 6
            << QVector<uint>{0, 1, 319, 480, 658, 480, 159, 240, 338, 240, 511, 768, 1042, 768, 160, 80};
        QTest::newRow("9 Y1437P") << 9
            << QVector<uint>{0, 1, 159, 480, 644, 480, 79, 240, 324, 240, 255, 768, 1028, 768, 160, 80};
        QTest::newRow("11 Z647") << 11
            << QVector<uint>{0, 0, 383, 288, 389, 288, 0, 0, 0, 0, 0, 0, 0, 0, 160, 80};
        QTest::newRow("14 X1550") << 14
            << QVector<uint>{NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA};
        QTest::newRow("18 Z641") << 18
            << QVector<uint>{0, 0, 319, 240, 160, 120, 0, 0, 0, 0, 0, 0, 0, 0, 80, 80};
        QTest::newRow("20 Y420") << 20
            << QVector<uint>{0, 0, 319, 480, 640, 480, 191, 288, 384, 288, 323, 488, 648, 488, 160, 80};
        QTest::newRow("22 unnamed") << 22
            << QVector<uint>{NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA};
        QTest::newRow("24 Z633") << 24
            << QVector<uint>{0, 0, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA, NA};
    }
    void windowPresets()
    {
        QFETCH(int, record);
        QFETCH(QVector<uint>, values);
        CompareCells(record,
                     {id::SizeAActive, id::SizeBActive,
                      id::WindowSizeALastColumn, id::WindowSizeARows, id::WindowSizeALineWidth, id::WindowSizeAAcqRows,
                      id::WindowSizeBLastColumn, id::WindowSizeBRows, id::WindowSizeBLineWidth, id::WindowSizeBAcqRows,
                      id::WindowFullLastColumn, id::WindowFullRows, id::WindowFullLineWidth, id::WindowFullAcqRows,
                      id::WindowMinWidth, id::WindowMinHeight},
                     values);
    }

    void userWindowStartsEmpty()
    {
        const std::vector<int> aCells = {id::WindowUserLastColumn, id::WindowUserRows,
                                         id::WindowUserLineWidth, id::WindowUserAcqRows};
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord) {
            const uint uExpected = (iRecord == 14 || iRecord == 22 || iRecord == 24) ? NA : 0;
            CompareCells(iRecord, aCells, QVector<uint>(4, uExpected));
        }
    }

    void windowCorners_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QVector<uint>>("values");
        // XFirst max, XLast max, XLast, YFirst max, YLast max, YLast
        QTest::newRow("0 none") << 0 << QVector<uint>{391, 391, 383, 295, 295, 287};
        QTest::newRow("5 Z602") << 5 << QVector<uint>{79, 79, 79, 79, 79, 79};
        // YLast starts above its maximum: the control clamps it to 767.
        QTest::newRow("7 Y1437") << 7 << QVector<uint>{1023, 1023, 1023, 767, 767, 1023};
        QTest::newRow("12 Y1437P 120") << 12 << QVector<uint>{1028, 1028, 1023, 767, 767, 1023};
        QTest::newRow("14 X1550") << 14 << QVector<uint>{NA, NA, NA, NA, NA, NA};
        QTest::newRow("15 Z615") << 15 << QVector<uint>{158, 159, 159, 118, 119, 119};
        QTest::newRow("20 Y420") << 20 << QVector<uint>{318, 639, 639, 478, 479, 479};
        QTest::newRow("22 unnamed") << 22 << QVector<uint>{NA, NA, NA, NA, NA, NA};
        QTest::newRow("24 Z633") << 24 << QVector<uint>{318, 639, 639, 478, 479, 479};
    }
    void windowCorners()
    {
        QFETCH(int, record);
        QFETCH(QVector<uint>, values);
        CompareCells(record, {219, 224, 226, 229, 234, 236}, values);
    }

    void countersAndAGCAuxiliaryStartAtZero()
    {
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
            CompareCells(iRecord,
                         {id::SnapshotCounterBMP, id::SnapshotCounterJPEG, id::SnapshotCounterPNG,
                          id::SnapshotCounterTIF, id::AGCAuxiliary},
                         QVector<uint>(5, 0));
    }

    void halvesEqualAndFirstCellsUnset()
    {
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord) {
            for (int iCell = 0; iCell < kProxyParameterCount; ++iCell)
                QCOMPARE(GetCurrent(iRecord, iCell), GetDefault(iRecord, iCell));
            CompareCells(iRecord, {0, 1, 2, 3, 4, 5, 6, 7}, QVector<uint>(8, NA));
        }
    }

    // A refill after the program changed current halves brings back the start-up state.
    void refillRestoresStartUpValues()
    {
        SetCurrent(9, 216, 12);
        SetCurrent(23, id::AcqBufferWidth, 7);
        InitProxyParameterTable();
        QCOMPARE(GetCurrent(9, 216), 255u);
        QCOMPARE(GetCurrent(23, id::AcqBufferWidth), 2560u);
    }
};

QTEST_GUILESS_MAIN(TestGeometryRegisterCells)
#include "tst_geometry_register_cells.moc"
