// The GMS layouts, TINT to EXP, the clock word, the FPGA clock mode and the TINT ranges of "Set parameters".
#include "board/sensor_parameter_math.h"

#include "params/proxy_parameter_table.h"

#include <QtTest>

Q_DECLARE_METATYPE(GmsLayout)
Q_DECLARE_METATYPE(GmsCells)

class tst_sensor_parameter_math : public QObject
{
    Q_OBJECT

private slots:
    void gmsWord_data();
    void gmsWord();
    void gmsLayoutOfTheFilledRecords();
    void exp_data();
    void exp();
    void clockWord_data();
    void clockWord();
    void clockMode_data();
    void clockMode();
    void tintRange_data();
    void tintRange();
    void tintNominalRange_data();
    void tintNominalRange();
};

namespace {

// SizeB, UpRow, Gain1 and DACFilter ticked, the rest clear.
GmsCells SomeBitsTicked(uint32_t p_u243, uint32_t p_u357, uint32_t p_u362, uint32_t p_u363)
{
    GmsCells c;
    c.BPRegisterEncoding = p_u243;
    c.CompactLayoutA = p_u357;
    c.CompactLayoutB = p_u362;
    c.AdjustLayout = p_u363;
    c.SizeB = 1;
    c.UpRow = 1;
    c.Gain1 = 1;
    c.DACFilter = 1;
    return c;
}

} // namespace

void tst_sensor_parameter_math::gmsWord_data()
{
    QTest::addColumn<GmsCells>("cells");
    QTest::addColumn<int>("proxy");
    QTest::addColumn<uint>("word");

    QTest::newRow("compact with size bits") << SomeBitsTicked(0, 1, 1, 0) << 3 << 101u;
    QTest::newRow("compact, board encoding") << SomeBitsTicked(1, 1, 1, 0) << 4 << 34u;
    QTest::newRow("no layout") << SomeBitsTicked(1, 0, 0, 0) << 13 << 0u;
    QTest::newRow("adjust layout beats nothing") << SomeBitsTicked(1, 0, 1, 1) << 16 << 1u + 8u;

    GmsCells record20 = SomeBitsTicked(0, 1, 1, 0);
    record20.DACFilter = 1;
    record20.Gain2 = 0;
    QTest::newRow("record 20 takes Gain2 for bit 6") << record20 << 20 << 1u + 4u + 32u;
    record20.Gain2 = 1;
    record20.DACFilter = 0;
    QTest::newRow("record 20 Gain2 set") << record20 << 20 << 1u + 4u + 32u + 64u;

    GmsCells adjust;
    adjust.AdjustLayout = 1;
    adjust.UpRow = adjust.UpCol = adjust.Gain0 = adjust.Gain1 = adjust.Ref0 = adjust.Ref1 = 1;
    adjust.MAdj0 = adjust.MAdj1 = adjust.MAdj2 = adjust.OAdj0 = adjust.OAdj1 = adjust.OAdj2 = 1;
    QTest::newRow("adjust, all twelve bits") << adjust << 16 << 4095u;

    GmsCells weighted = SomeBitsTicked(0, 1, 1, 0);
    weighted.SizeB = 3; // taken with its weight, not masked to one bit
    QTest::newRow("a cell above 1 adds its weight") << weighted << 3 << 103u;
}

void tst_sensor_parameter_math::gmsWord()
{
    QFETCH(GmsCells, cells);
    QFETCH(int, proxy);
    QFETCH(uint, word);
    QCOMPARE(ComputeGMSWord(cells, proxy), uint32_t(word));
}

void tst_sensor_parameter_math::gmsLayoutOfTheFilledRecords()
{
    InitProxyParameterTable();
    const QList<int> compact = {4, 5, 8, 10, 11, 15, 17, 18, 19, 21, 23, 24};
    const QList<int> compact2 = {1, 2, 3, 6, 7, 9, 12, 20};
    for (int p = 0; p < kProxyRecordCount; ++p) {
        const GmsCells c = ReadGmsCells(p);
        const GmsLayout layout =
            SelectGmsLayout(c.BPRegisterEncoding, c.CompactLayoutA, c.CompactLayoutB, c.AdjustLayout);
        GmsLayout expected = GmsLayout::None;
        if (compact.contains(p))
            expected = GmsLayout::Compact;
        else if (compact2.contains(p))
            expected = GmsLayout::Compact2;
        else if (p == 16)
            expected = GmsLayout::Adjust;
        QVERIFY2(layout == expected, qPrintable(QString("record %1").arg(p)));
    }
}

void tst_sensor_parameter_math::exp_data()
{
    QTest::addColumn<int>("tint");
    QTest::addColumn<int>("frameRate");
    QTest::addColumn<uint>("clockCell");
    QTest::addColumn<uint>("exp");

    QTest::newRow("30 FPS") << 1000 << 30 << 0u << 31u;
    QTest::newRow("default rate") << 1000 << 255 << 0u << 31u;
    QTest::newRow("divider 4") << 1000 << 30 << 2u << 8u;
    QTest::newRow("only the low 3 bits divide") << 1000 << 30 << 2050u << 8u;
    QTest::newRow("60 FPS halves the line") << 1000 << 60 << 0u << 62u;
    // Nothing known yet: the default line time, not a division by zero.
    QTest::newRow("rate 0") << 1000 << 0 << 0u << 31u;
    QTest::newRow("negative rate") << 1000 << -255 << 0u << 31u;
    QTest::newRow("TINT 0") << 0 << 30 << 0u << 0u;
}

void tst_sensor_parameter_math::exp()
{
    QFETCH(int, tint);
    QFETCH(int, frameRate);
    QFETCH(uint, clockCell);
    QFETCH(uint, exp);
    QCOMPARE(ComputeEXP(tint, frameRate, clockCell), uint32_t(exp));
}

void tst_sensor_parameter_math::clockWord_data()
{
    QTest::addColumn<int>("divider");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<int>("proxy");
    QTest::addColumn<bool>("corvane");
    QTest::addColumn<uint>("word");

    QTest::newRow("record 9") << 3 << true << 9 << false << 131u;
    QTest::newRow("record 12") << 3 << true << 12 << false << 131u;
    QTest::newRow("record 1") << 3 << true << 1 << false << 2051u;
    QTest::newRow("Corvane record 9") << 3 << true << 9 << true << 2051u;
    QTest::newRow("not inverted") << 3 << false << 9 << false << 3u;
}

void tst_sensor_parameter_math::clockWord()
{
    QFETCH(int, divider);
    QFETCH(bool, invert);
    QFETCH(int, proxy);
    QFETCH(bool, corvane);
    QFETCH(uint, word);
    QCOMPARE(ComputeClockWord(divider, invert, proxy, corvane), uint32_t(word));
}

void tst_sensor_parameter_math::clockMode_data()
{
    QTest::addColumn<uint>("word");
    QTest::addColumn<uint>("base");
    QTest::addColumn<uint>("modulus");
    QTest::addColumn<uint>("shift");
    QTest::addColumn<int>("mode"); // -1: none

    QTest::newRow("remainder 0") << 32u << 1u << 16u << 0u << 6;
    QTest::newRow("remainder 1") << 33u << 1u << 16u << 0u << 4;
    QTest::newRow("shifted") << 0x300u << 2u << 3u << 8u << 10;
    QTest::newRow("wraps at 256") << 0u << 64u << 1u << 0u << 2;
    QTest::newRow("modulus 0: no mode") << 32u << 1u << 0u << 0u << -1;
}

void tst_sensor_parameter_math::clockMode()
{
    QFETCH(uint, word);
    QFETCH(uint, base);
    QFETCH(uint, modulus);
    QFETCH(uint, shift);
    QFETCH(int, mode);
    const std::optional<uint32_t> result = ComputeFPGAClockMode(word, base, modulus, shift);
    QCOMPARE(result.has_value(), mode >= 0);
    if (mode >= 0)
        QCOMPARE(*result, uint32_t(mode));
}

void tst_sensor_parameter_math::tintRange_data()
{
    QTest::addColumn<int>("frameRate");
    QTest::addColumn<int>("divider");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("step");

    QTest::newRow("30 FPS") << 30 << 0 << 25 << 66212 << 32;
    QTest::newRow("default rate") << 255 << 0 << 25 << 66212 << 32;
    QTest::newRow("default rate, divider 2") << 255 << 1 << 50 << 132425 << 64;
    QTest::newRow("rate 0 uses the default") << 0 << 0 << 25 << 66212 << 32;
    QTest::newRow("divider 8 wraps to 1") << 30 << 8 << 25 << 66212 << 32;
}

void tst_sensor_parameter_math::tintRange()
{
    QFETCH(int, frameRate);
    QFETCH(int, divider);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, step);
    const TintRange range = ComputeTintRange(frameRate, divider);
    QCOMPARE(range.Minimum, minimum);
    QCOMPARE(range.Maximum, maximum);
    QCOMPARE(range.SingleStep, step);
}

void tst_sensor_parameter_math::tintNominalRange_data()
{
    QTest::addColumn<uint>("tint");
    QTest::addColumn<uint>("width");
    QTest::addColumn<uint>("divisor");
    QTest::addColumn<bool>("outside");

    QTest::newRow("319 of 640/2") << 319u << 640u << 2u << false;
    QTest::newRow("320 of 640/2") << 320u << 640u << 2u << true;
    QTest::newRow("no acquisition") << 0u << 0u << 1u << true;
    QTest::newRow("divisor 0 counts as 1") << 100u << 640u << 0u << false;
}

void tst_sensor_parameter_math::tintNominalRange()
{
    QFETCH(uint, tint);
    QFETCH(uint, width);
    QFETCH(uint, divisor);
    QFETCH(bool, outside);
    QCOMPARE(TintOutsideNominalRange(tint, width, divisor), outside);
}

QTEST_GUILESS_MAIN(tst_sensor_parameter_math)
#include "tst_sensor_parameter_math.moc"
