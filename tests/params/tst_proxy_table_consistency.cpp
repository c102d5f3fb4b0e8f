// Whole-table checks: cells that must agree across groups, and the number of defined cells.
#include "params/proxy_parameter_fill.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QtTest>

namespace {
constexpr uint32_t NS = ProxyParameterNotSet;
}

class tst_proxy_table_consistency : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void slidersFollowTheirSpinBoxes_data();
    void slidersFollowTheirSpinBoxes();
    void definedCellCount();
};

void tst_proxy_table_consistency::init()
{
    InitProxyParameterTable();
}

// Each slider carries the same five cells as its spin box. The two known
// differences: record 14 has no DAC B to D, where the sliders hold 0 and the
// spin boxes "not defined"; and record 11's TINT slider starts at 15 while
// its spin box goes down to 2.
void tst_proxy_table_consistency::slidersFollowTheirSpinBoxes_data()
{
    QTest::addColumn<int>("slider");
    QTest::addColumn<int>("spinBox");
    QTest::addColumn<bool>("absentInRecord14");
    using namespace ProxyParameterId;
    QTest::newRow("DAC A") << int(DAC_ASliderEnabled) << int(DAC_AEnabled) << false;
    QTest::newRow("DAC B") << int(DAC_BSliderEnabled) << int(DAC_BEnabled) << true;
    QTest::newRow("DAC C") << int(DAC_CSliderEnabled) << int(DAC_CEnabled) << true;
    QTest::newRow("DAC D") << int(DAC_DSliderEnabled) << int(DAC_DEnabled) << true;
    QTest::newRow("image gain") << int(ImageGainSliderEnabled) << int(ImageGainEnabled) << false;
    QTest::newRow("image offset") << int(ImageOffsetSliderEnabled) << int(ImageOffsetEnabled) << false;
    QTest::newRow("TINT") << int(TINTSliderEnabled) << int(TINTEnabled) << false;
}

void tst_proxy_table_consistency::slidersFollowTheirSpinBoxes()
{
    QFETCH(int, slider);
    QFETCH(int, spinBox);
    QFETCH(bool, absentInRecord14);
    for (int record = 0; record < kProxyRecordCount; ++record)
        for (int k = 0; k < 5; ++k) {
            const uint32_t s = GetDefault(record, slider + k);
            const uint32_t b = GetDefault(record, spinBox + k);
            const QByteArray where = "record " + QByteArray::number(record) + " cells "
                    + QByteArray::number(slider + k) + "/" + QByteArray::number(spinBox + k) + ": "
                    + QByteArray::number(s) + " " + QByteArray::number(b);
            const bool rangeOrValue = k >= 1 && k <= 3;
            if (absentInRecord14 && record == 14 && rangeOrValue) {
                QVERIFY2(s == 0 && b == NS, where.constData());
            } else if (slider == ProxyParameterId::TINTSliderEnabled && record == 11 && k == 2) {
                QVERIFY2(s == 15 && b == 2, where.constData());
            } else {
                QVERIFY2(s == b, where.constData());
            }
        }
}

// Every start-up value of the data sheets, counted over the whole table: the
// cells the three fills write (seen against a marker no cell holds) are
// exactly the cells the table then defines. The two image-offset maxima hold
// 65535 as a real value and count as defined.
void tst_proxy_table_consistency::definedCellCount()
{
    constexpr uint32_t kMarker = 0xA5A5A5A5u;
    for (int record = 0; record < kProxyRecordCount; ++record)
        for (int cell = 0; cell < kProxyParameterCount; ++cell)
            AssignProxyStartValue(record, cell, kMarker);
    proxy_fill::FillControlDescriptorCells(AssignProxyStartValue);
    proxy_fill::FillGeometryAndRegisterCells(AssignProxyStartValue);
    proxy_fill::FillFrameRateCells(AssignProxyStartValue);
    int written = 0;
    for (int record = 0; record < kProxyRecordCount; ++record)
        for (int cell = 0; cell < kProxyParameterCount; ++cell)
            if (GetDefault(record, cell) != kMarker)
                ++written;
    QVERIFY(written > 0);

    InitProxyParameterTable();
    int defined = 0;
    for (int record = 0; record < kProxyRecordCount; ++record)
        for (int cell = 0; cell < kProxyParameterCount; ++cell) {
            const bool realMaximum = cell == ProxyParameterId::ImageOffsetSliderMax
                    || cell == ProxyParameterId::ImageOffsetMax;
            if (GetDefault(record, cell) != NS || realMaximum)
                ++defined;
        }
    QCOMPARE(defined, written);
}

QTEST_GUILESS_MAIN(tst_proxy_table_consistency)
#include "tst_proxy_table_consistency.moc"
