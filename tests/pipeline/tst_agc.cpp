// Tests of the automatic gain control's measurement, smoothing and outputs.
#include "pipeline/agc.h"

#include <QtTest>

#include <limits>
#include <vector>

namespace {
// Every level from 1000 to 3000 twice, in one row.
std::vector<float> Levels1000To3000()
{
    std::vector<float> img;
    for (int v = 1000; v <= 3000; ++v) {
        img.push_back(float(v));
        img.push_back(float(v));
    }
    return img;
}
} // namespace

class tst_agc : public QObject
{
    Q_OBJECT

private slots:
    void smoothingSequenceFromZero();
    void steadyStateAndClip();
    void thresholdNegativeLevelsAndMargin();
    void outOfRangeSamplesAreSkipped();
    void zeroRangeKeepsPreviousGain();
};

void tst_agc::smoothingSequenceFromZero()
{
    const std::vector<float> img = Levels1000To3000();
    AgcState state;
    // Each run moves the averages a thirtieth of the way, in integers: from 0
    // towards 1000 and 3000.
    static const int kLow[40] = {33,  65,  96,  126, 155, 183, 210, 236, 261, 285, 308, 331, 353, 374,
                                 394, 414, 433, 451, 469, 486, 503, 519, 535, 550, 565, 579, 593, 606,
                                 619, 631, 643, 654, 665, 676, 686, 696, 706, 715, 724, 733};
    static const int kHigh[40] = {100,  196,  289,  379,  466,  550,  631,  709,  785,  858,
                                  929,  998,  1064, 1128, 1190, 1250, 1308, 1364, 1418, 1470,
                                  1521, 1570, 1617, 1663, 1707, 1750, 1791, 1831, 1869, 1906,
                                  1942, 1977, 2011, 2043, 2074, 2104, 2133, 2161, 2188, 2215};
    for (int run = 0; run < 40; ++run) {
        const AgcLevels l = MeasureAgcLevels(img.data(), 1, int(img.size()), img.size(), 0, 1);
        QCOMPARE(l.Low, 1000);
        QCOMPARE(l.High, 3000);
        SmoothAgc(state, l);
        const int low = kLow[run], high = kHigh[run];
        QCOMPARE(state.Low, low);
        QCOMPARE(state.High, high);
        QCOMPARE(state.Range, high - low);
        QCOMPARE(state.Centre, (high + low) / 2);
        const AgcOutput out = ComputeAgcOutput(state, 32);
        QVERIFY(out.GainValid);
        // The range never falls below 2048 here: the clip of 32 always holds.
        QCOMPARE(out.Gain, 32);
        QCOMPARE(out.Offset, -2 * ((high + low) / 2));
        if (run == 39) {
            QCOMPARE(state.Range, 1482);
            QCOMPARE(state.Centre, 1474);
            QCOMPARE(out.Offset, -2948);
        }
        if (run == 0) {
            QCOMPARE(state.Low, 33);
            QCOMPARE(state.High, 100);
            QCOMPARE(out.Gain, 32);
            QCOMPARE(out.Offset, -132);
        }
    }
}

void tst_agc::steadyStateAndClip()
{
    const std::vector<float> img = Levels1000To3000();
    AgcState state;
    state.Low = 1000;
    state.High = 3000;
    SmoothAgc(state, MeasureAgcLevels(img.data(), 1, int(img.size()), img.size(), 0, 1));
    QCOMPARE(state.Low, 1000);
    QCOMPARE(state.High, 3000);
    QCOMPARE(state.Range, 2000);
    QCOMPARE(state.Centre, 2000);
    AgcOutput out = ComputeAgcOutput(state, 100);
    QCOMPARE(out.Gain, 32);
    QCOMPARE(out.Offset, -4000);
    out = ComputeAgcOutput(state, 10);
    QCOMPARE(out.Gain, 10);
}

void tst_agc::thresholdNegativeLevelsAndMargin()
{
    // 3 x 5 image: a border of 65535 values, inside -20 (twice), 7 (three
    // times) and 500 once; threshold 1 ignores 500 and, with margin 1, the border.
    std::vector<float> img(15, 65535.f);
    img[6] = -20.f;
    img[7] = 7.f;
    img[8] = 500.f;
    AgcLevels l = MeasureAgcLevels(img.data(), 3, 5, 5, 1, 0);
    QCOMPARE(l.Low, -20);
    QCOMPARE(l.High, 500);
    std::vector<float> img2 = {7.f, 7.f, -20.f, -20.f, 500.f};
    l = MeasureAgcLevels(img2.data(), 1, 5, 5, 0, 1);
    QCOMPARE(l.Low, -20);
    QCOMPARE(l.High, 7);
    l = MeasureAgcLevels(img.data(), 3, 5, 5, 0, 5);
    QCOMPARE(l.High, 65535); // the border: 12 pixels
    l = MeasureAgcLevels(img.data(), 3, 5, 5, 2, 0); // margin leaves nothing
    QCOMPARE(l.Low, 0);
    QCOMPARE(l.High, 0);
    l = MeasureAgcLevels(img.data(), 3, 5, 5, -7, 5); // a negative margin counts as none
    QCOMPARE(l.High, 65535);
}

void tst_agc::outOfRangeSamplesAreSkipped()
{
    std::vector<float> img = {70000.f, -70000.f, std::numeric_limits<float>::quiet_NaN(), 12.f, 12.f};
    const AgcLevels l = MeasureAgcLevels(img.data(), 1, 5, 5, 0, 1);
    QCOMPARE(l.Skipped, size_t(3));
    QCOMPARE(l.Low, 12);
    QCOMPARE(l.High, 12);
}

void tst_agc::zeroRangeKeepsPreviousGain()
{
    AgcState state;
    std::vector<float> img(4, 0.f);
    SmoothAgc(state, MeasureAgcLevels(img.data(), 2, 2, 2, 0, 0));
    QCOMPARE(state.Range, 0);
    const AgcOutput out = ComputeAgcOutput(state, 100);
    QVERIFY(!out.GainValid);
    QCOMPARE(out.Offset, 0);
}

QTEST_GUILESS_MAIN(tst_agc)
#include "tst_agc.moc"
