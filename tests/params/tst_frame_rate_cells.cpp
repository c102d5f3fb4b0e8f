// Start-up frame-rate blocks, DAC channel codes and clock-divider cells.
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QtTest>
#include <vector>

namespace id = ProxyParameterId;

namespace {
constexpr uint NA = ProxyParameterNotSet;

// The seven cells of a block in one record, default halves; the current halves
// must equal them.
QVector<uint> Block(int p_iRecord, int p_iBase)
{
    QVector<uint> aValues;
    for (int i = 0; i < id::kFrameRateCount; ++i) {
        aValues << GetDefault(p_iRecord, p_iBase + i);
        if (GetCurrent(p_iRecord, p_iBase + i) != aValues.last())
            aValues.last() = 0xDEADu; // shows up in the comparison
    }
    return aValues;
}

// The rates whose cell of a block is defined.
QVector<int> RatesSet(int p_iRecord, int p_iBase)
{
    QVector<int> aRates;
    for (int i = 0; i < id::kFrameRateCount; ++i)
        if (GetDefault(p_iRecord, p_iBase + i) != NA)
            aRates << id::kFrameRates[i];
    return aRates;
}
} // namespace

class TestFrameRateCells : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitProxyParameterTable(); }

    // Which rates the board set-up offers (block 297) and which have a USB3
    // parameter (block 350), for every record.
    void offeredRates_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QVector<int>>("offered");
        QTest::addColumn<QVector<int>>("usb3");
        const QVector<int> none;
        QTest::newRow("0") << 0 << none << none;
        QTest::newRow("1") << 1 << none << none;
        QTest::newRow("2") << 2 << QVector<int>{30} << QVector<int>{30};
        QTest::newRow("3") << 3 << QVector<int>{30, 50, 60, 100} << QVector<int>{30, 50, 60, 100};
        QTest::newRow("4") << 4 << QVector<int>{25, 30, 50} << QVector<int>{25, 30, 50};
        QTest::newRow("5") << 5 << QVector<int>{25, 30, 50} << QVector<int>{25, 30, 50};
        QTest::newRow("6") << 6 << QVector<int>{25, 30, 50} << QVector<int>{25, 30, 50};
        QTest::newRow("7") << 7 << QVector<int>{25, 30, 50, 60} << QVector<int>{25, 30, 50, 60};
        QTest::newRow("8") << 8 << QVector<int>{25, 30, 50, 60} << QVector<int>{25, 30, 50, 60};
        QTest::newRow("9") << 9 << QVector<int>{25, 30, 50, 60, 100, 120} << QVector<int>{25, 30, 50, 60, 100, 120};
        QTest::newRow("10") << 10 << QVector<int>{30, 60, 120} << QVector<int>{30, 60, 120};
        QTest::newRow("11") << 11 << QVector<int>{25, 30, 50, 200} << QVector<int>{25, 30, 50, 200};
        QTest::newRow("12") << 12 << QVector<int>{25, 30, 50, 60, 100, 120} << none;
        QTest::newRow("13") << 13 << none << none;
        QTest::newRow("14") << 14 << QVector<int>{25, 30} << QVector<int>{25, 30};
        QTest::newRow("15") << 15 << QVector<int>{25, 30, 50, 60} << QVector<int>{25, 30, 50, 60};
        QTest::newRow("16") << 16 << QVector<int>{25, 30, 50, 60} << QVector<int>{25, 30, 50, 60};
        QTest::newRow("17") << 17 << QVector<int>{25, 30, 50} << QVector<int>{25, 30, 50};
        QTest::newRow("18") << 18 << QVector<int>{25, 30} << QVector<int>{25, 30};
        QTest::newRow("19") << 19 << QVector<int>{25, 30, 50, 60} << QVector<int>{25, 30, 50, 60};
        QTest::newRow("20") << 20 << QVector<int>{25, 50, 100} << none;
        QTest::newRow("21") << 21 << QVector<int>{25, 30, 50, 60, 100, 120} << QVector<int>{25, 30, 50, 60, 100, 120};
        QTest::newRow("22") << 22 << none << none;
        QTest::newRow("23") << 23 << none << none;
        QTest::newRow("24") << 24 << none << none;
    }
    void offeredRates()
    {
        QFETCH(int, record);
        QFETCH(QVector<int>, offered);
        QFETCH(QVector<int>, usb3);
        QCOMPARE(RatesSet(record, id::FrameRateParam28), offered);
        QCOMPARE(RatesSet(record, id::USB3FrameRateParam28), usb3);
        // Every other block covers the offered rates and no more, except the
        // GSK block of record 14, which has no GSK DAC at all.
        for (int iBase : {id::CKDIVPerFrameRate, id::FrameRateParam29, id::FrameRateParam33A,
                          id::FrameRateParam33B, id::FrameRateParam34A, id::FrameRateParam34B})
            QCOMPARE(RatesSet(record, iBase), offered);
        QCOMPARE(RatesSet(record, id::GSKPerFrameRate), record == 14 ? QVector<int>{} : offered);
    }

    void record14RatesOnly25And30()
    {
        QCOMPARE(RatesSet(14, id::FrameRateParam28), (QVector<int>{25, 30}));
        QCOMPARE(Block(14, id::GSKPerFrameRate), QVector<uint>(7, NA));
        QCOMPARE(GetDefault(14, id::GSKChannel), NA);
    }

    void only11Offers200()
    {
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
            QCOMPARE(GetDefault(iRecord, id::FrameRateParam28 + 6) != NA, iRecord == 11);
    }

    void blockValues_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("base");
        QTest::addColumn<QVector<uint>>("values");
        QTest::newRow("9 GSK") << 9 << int(id::GSKPerFrameRate) << QVector<uint>{2570, 2550, 2530, 2420, 2400, 2300, NA};
        QTest::newRow("9 CKDIV") << 9 << int(id::CKDIVPerFrameRate) << QVector<uint>{320, 320, 192, 192, 110, 110, NA};
        QTest::newRow("9 p28") << 9 << int(id::FrameRateParam28) << QVector<uint>{85, 100, 85, 100, 85, 100, NA};
        QTest::newRow("9 p29") << 9 << int(id::FrameRateParam29) << QVector<uint>{100, 100, 100, 100, 100, 100, NA};
        QTest::newRow("9 p33A") << 9 << int(id::FrameRateParam33A) << QVector<uint>{0, 0, 0, 0, 2, 2, NA};
        QTest::newRow("9 p33B") << 9 << int(id::FrameRateParam33B) << QVector<uint>{4, 4, 4, 4, 4, 4, NA};
        QTest::newRow("9 p34A") << 9 << int(id::FrameRateParam34A) << QVector<uint>{0, 2, 0, 2, 0, 2, NA};
        QTest::newRow("9 p34B") << 9 << int(id::FrameRateParam34B) << QVector<uint>{0, 0, 0, 0, 0, 0, NA};
        QTest::newRow("9 usb3") << 9 << int(id::USB3FrameRateParam28) << QVector<uint>{8500, 10200, 8500, 10200, 8500, 10200, NA};
        QTest::newRow("10 GSK") << 10 << int(id::GSKPerFrameRate) << QVector<uint>{NA, 885, NA, 880, NA, 770, NA};
        QTest::newRow("10 CKDIV") << 10 << int(id::CKDIVPerFrameRate) << QVector<uint>{NA, 2098, NA, 2065, NA, 2048, NA};
        QTest::newRow("11 GSK") << 11 << int(id::GSKPerFrameRate) << QVector<uint>{1200, 1210, 1250, NA, NA, NA, 1030};
        QTest::newRow("11 p28") << 11 << int(id::FrameRateParam28) << QVector<uint>{46, 28, 46, NA, NA, NA, 231};
        QTest::newRow("11 p29") << 11 << int(id::FrameRateParam29) << QVector<uint>{200, 100, 200, NA, NA, NA, 250};
        QTest::newRow("11 usb3") << 11 << int(id::USB3FrameRateParam28) << QVector<uint>{2300, 2800, 2300, NA, NA, NA, 9240};
        QTest::newRow("3 p28") << 3 << int(id::FrameRateParam28) << QVector<uint>{NA, 28, 104, 28, 104, NA, NA};
        QTest::newRow("3 usb3") << 3 << int(id::USB3FrameRateParam28) << QVector<uint>{NA, 3783, 6303, 3783, 6303, NA, NA};
        QTest::newRow("4 p34A") << 4 << int(id::FrameRateParam34A) << QVector<uint>{0, 0, 0, NA, NA, NA, NA};
        QTest::newRow("4 p34B") << 4 << int(id::FrameRateParam34B) << QVector<uint>{1, 1, 1, NA, NA, NA, NA};
        QTest::newRow("7 p34B") << 7 << int(id::FrameRateParam34B) << QVector<uint>{1, 1, 1, 0, NA, NA, NA};
        QTest::newRow("14 CKDIV") << 14 << int(id::CKDIVPerFrameRate) << QVector<uint>{1, 0, NA, NA, NA, NA, NA};
        QTest::newRow("14 p29") << 14 << int(id::FrameRateParam29) << QVector<uint>{3, 200, NA, NA, NA, NA, NA};
        QTest::newRow("14 usb3") << 14 << int(id::USB3FrameRateParam28) << QVector<uint>{6667, 4000, NA, NA, NA, NA, NA};
        QTest::newRow("17 p34A") << 17 << int(id::FrameRateParam34A) << QVector<uint>{2, 2, 2, NA, NA, NA, NA};
        QTest::newRow("18 GSK") << 18 << int(id::GSKPerFrameRate) << QVector<uint>{2930, 2936, NA, NA, NA, NA, NA};
        QTest::newRow("20 CKDIV") << 20 << int(id::CKDIVPerFrameRate) << QVector<uint>{256, NA, 128, NA, 0, NA, NA};
        QTest::newRow("21 usb3") << 21 << int(id::USB3FrameRateParam28) << QVector<uint>{6818, 8182, 3409, 8182, 3409, 8182, NA};
        QTest::newRow("21 p33A") << 21 << int(id::FrameRateParam33A) << QVector<uint>{0, 0, 0, 0, 2, 2, NA};
        QTest::newRow("23 GSK") << 23 << int(id::GSKPerFrameRate) << QVector<uint>(7, NA);
    }
    void blockValues()
    {
        QFETCH(int, record);
        QFETCH(int, base);
        QFETCH(QVector<uint>, values);
        QCOMPARE(Block(record, base), values);
    }

    void channelCodes_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QVector<uint>>("values");
        // 277 stop-zero, 278 GSK, 280 windowing, 332 GSK at 25 FPS, CKDIV start CL, USB3, GigE, high bit
        QTest::newRow("0 none") << 0 << QVector<uint>{NA, NA, NA, NA, NA, NA, NA, 0};
        QTest::newRow("1 Z654") << 1 << QVector<uint>{2, NA, 3, NA, NA, NA, NA, 0};
        QTest::newRow("2 Z668") << 2 << QVector<uint>{2, 3, NA, 3, 2049, 2049, 2049, 0};
        QTest::newRow("5 Z602") << 5 << QVector<uint>{2, 3, NA, 3, 5, 1029, 1029, 1};
        QTest::newRow("6 Y1436") << 6 << QVector<uint>{3, 13, 2, 13, NA, 0, NA, 0};
        QTest::newRow("9 Y1437P") << 9 << QVector<uint>{3, 13, 2, 13, 320, 320, 64, 0};
        QTest::newRow("10 Z671P") << 10 << QVector<uint>{3, 2, 12, 2, 2098, 2098, 2098, 0};
        QTest::newRow("12 Y1437P 120") << 12 << QVector<uint>{3, 13, 2, 13, 110, NA, NA, 0};
        QTest::newRow("13 No Proxy") << 13 << QVector<uint>{NA, NA, NA, NA, NA, NA, NA, 0};
        QTest::newRow("14 X1550") << 14 << QVector<uint>{NA, NA, NA, NA, NA, 0, NA, 0};
        QTest::newRow("16 T230") << 16 << QVector<uint>{2, 3, NA, 3, NA, NA, NA, 0};
        QTest::newRow("18 Z641") << 18 << QVector<uint>{2, 3, NA, 3, 2, 1026, 1026, 1};
        QTest::newRow("20 Y420") << 20 << QVector<uint>{3, 2, NA, 2, NA, 1, NA, 0};
        QTest::newRow("22 unnamed") << 22 << QVector<uint>{NA, NA, NA, NA, 1, 1, 1, 0};
        QTest::newRow("23 Z1641") << 23 << QVector<uint>{3, 2, NA, NA, 1, 1, 1, 0};
        QTest::newRow("24 Z633") << 24 << QVector<uint>{3, 2, NA, NA, NA, NA, NA, 0};
    }
    void channelCodes()
    {
        QFETCH(int, record);
        QFETCH(QVector<uint>, values);
        const int aCells[] = {id::StopZeroChannel, id::GSKChannel, id::WindowingChannel, id::GSKChannel25FPS,
                              id::CKDIVStartCameraLink, id::CKDIVStartUSB3, id::CKDIVStartGigE, id::CKDIVHighBit};
        QVector<uint> aActual;
        for (int iCell : aCells) {
            QCOMPARE(GetCurrent(record, iCell), GetDefault(record, iCell));
            aActual << GetDefault(record, iCell);
        }
        QCOMPARE(aActual, values);
    }

    // The 25 FPS channel equals the GSK channel wherever a rate is offered, and
    // where the high bit is set the USB3 and GigE start dividers carry it already.
    void channelConsistency()
    {
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord) {
            if (!RatesSet(iRecord, id::FrameRateParam28).isEmpty())
                QCOMPARE(GetDefault(iRecord, id::GSKChannel25FPS), GetDefault(iRecord, id::GSKChannel));
            if (GetDefault(iRecord, id::CKDIVHighBit) == 1) {
                const uint uDivider = GetDefault(iRecord, id::CKDIVStartCameraLink);
                QCOMPARE(GetDefault(iRecord, id::CKDIVStartUSB3), 1024 + uDivider);
                QCOMPARE(GetDefault(iRecord, id::CKDIVStartGigE), 1024 + uDivider);
            }
        }
    }

    void customConfigurationDefinedOnlyInRecord0()
    {
        for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord) {
            const uint uExpected = iRecord == 0 ? 0 : NA;
            QCOMPARE(GetDefault(iRecord, id::CustomGSK), uExpected);
            QCOMPARE(GetDefault(iRecord, id::CustomCKDIV), uExpected);
        }
    }
};

QTEST_GUILESS_MAIN(TestFrameRateCells)
#include "tst_frame_rate_cells.moc"
