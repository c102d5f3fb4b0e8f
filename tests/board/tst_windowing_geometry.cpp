// Windowing arithmetic on the real proxy records: corners per mode and board, minimum size, TINT, SerData and the window presets.
#include "app/digiboard_kind.h"
#include "board/windowing_geometry.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QtTest>

Q_DECLARE_METATYPE(WindowCorners)
Q_DECLARE_METATYPE(SerDataBits)

namespace {
namespace P = ProxyParameterId;
// Belmor+ record 2: a 640 x 480 sensor, divisor 1, 10 blind columns, minimum 160 x 120.
constexpr int kRecord640 = 2;
// Record 9: 1024 x 768, divisor 4, 4 blind columns, minimum 160 x 80.
constexpr int kRecord1024 = 9;
} // namespace

class TestWindowingGeometry : public QObject
{
    Q_OBJECT

private slots:
    void init() { InitProxyParameterTable(); }

    void cameraLinkPresets_data();
    void cameraLinkPresets();
    void cameraLinkMinimumHeightComparesTheDifference_data();
    void cameraLinkMinimumHeightComparesTheDifference();
    void userWindowWithFirstAfterLastIsRefused_data();
    void userWindowWithFirstAfterLastIsRefused();
    void userWindowCellsAndCameraFileValues();
    void dunstelWindows_data();
    void dunstelWindows();
    void dunstelMinimumHeightCountsBothRows();
    void boardsWithoutGeometry();
    void tintClampsAtTheMinimum_data();
    void tintClampsAtTheMinimum();
    void serDataWord_data();
    void serDataWord();
    void windowPresets_data();
    void windowPresets();
    void windowSizeLimitsAndEstimates();
    void cornersForATypedSize_data();
    void cornersForATypedSize();
};

void TestWindowingGeometry::cameraLinkPresets_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<WindowCorners>("corners");
    QTest::addColumn<int>("acqX");
    QTest::addColumn<int>("acqY");
    QTest::addColumn<bool>("windowingDisabled");
    QTest::addColumn<uint>("hactive");
    QTest::addColumn<uint>("vactive");
    QTest::addColumn<int>("tint");
    // Full frame: the blind columns widen the line, the file is the ordinary one.
    QTest::newRow("mode 3 full frame") << 3 << WindowCorners{0, 650, 0, 479} << 651 << 480 << true << 648u << 480u
                                       << 631;
    QTest::newRow("mode 1 size A") << 1 << WindowCorners{128, 521, 96, 383} << 394 << 288 << false << 392u << 288u
                                   << 374;
    QTest::newRow("mode 2 size B") << 2 << WindowCorners{160, 489, 120, 359} << 330 << 240 << false << 328u << 240u
                                   << 310;
}

void TestWindowingGeometry::cameraLinkPresets()
{
    QFETCH(int, mode);
    QFETCH(WindowCorners, corners);
    QFETCH(int, acqX);
    QFETCH(int, acqY);
    QFETCH(bool, windowingDisabled);
    QFETCH(uint, hactive);
    QFETCH(uint, vactive);
    QFETCH(int, tint);

    const WindowingPlan plan = ComputeWindowingPlan(kRecord640, BoardKind::BelmorPlus, mode, {});
    QVERIFY(plan.Computed);
    QCOMPARE(plan.SpinCorners.XFirst, corners.XFirst);
    QCOMPARE(plan.SpinCorners.XLast, corners.XLast);
    QCOMPARE(plan.SpinCorners.YFirst, corners.YFirst);
    QCOMPARE(plan.SpinCorners.YLast, corners.YLast);
    QCOMPARE(plan.AcqX, acqX);
    QCOMPARE(plan.AcqY, acqY);
    QCOMPARE(plan.WindowingDisabled, windowingDisabled);
    QCOMPARE(plan.Hactive, hactive);
    QCOMPARE(plan.Vactive, vactive);
    QCOMPARE(plan.Error, WindowSizeError::None);

    ApplyWindowingToRecord(kRecord640, plan);
    QCOMPARE(GetCurrent(kRecord640, P::XFirst), corners.XFirst);
    QCOMPARE(GetCurrent(kRecord640, P::YLast), corners.YLast);
    QCOMPARE(GetCurrent(kRecord640, P::AcqX), uint32_t(acqX));
    QCOMPARE(GetCurrent(kRecord640, P::AcqY), uint32_t(acqY));
    QCOMPARE(WindowingTint(GetCurrent(kRecord640, P::AcqX), GetCurrent(kRecord640, P::WindowingDivisor), 15), tint);
    // Presets leave the user-window cells alone.
    QCOMPARE(GetCurrent(kRecord640, P::WindowUserLineWidth), 0u);
}

void TestWindowingGeometry::cameraLinkMinimumHeightComparesTheDifference_data()
{
    QTest::addColumn<uint>("yLast");
    QTest::addColumn<int>("error");
    // Cell 261 is 120: YLast - YFirst is compared with it, not the row count.
    QTest::newRow("119 refused") << 119u << int(WindowSizeError::TooNarrowY);
    QTest::newRow("120 accepted") << 120u << int(WindowSizeError::None);
}

void TestWindowingGeometry::cameraLinkMinimumHeightComparesTheDifference()
{
    QFETCH(uint, yLast);
    QFETCH(int, error);
    const WindowingPlan plan = ComputeWindowingPlan(kRecord640, BoardKind::BelmorPlus, 0, {0, 400, 0, yLast});
    QCOMPARE(int(plan.Error), error);
    QCOMPARE(plan.WindowingDisabled, false);
    if (plan.Error != WindowSizeError::None)
        QCOMPARE(WindowSizeErrorText(plan.Error), QStringLiteral("Change windowing Y parameter: minimum window size."));
}

void TestWindowingGeometry::userWindowWithFirstAfterLastIsRefused_data()
{
    QTest::addColumn<BoardKind>("kind");
    QTest::addColumn<WindowCorners>("user");
    QTest::addColumn<int>("error");
    QTest::newRow("Camera Link rows") << BoardKind::Arvex << WindowCorners{0, 400, 300, 10}
                                      << int(WindowSizeError::TooNarrowY);
    QTest::newRow("Camera Link columns") << BoardKind::BelmorPlus << WindowCorners{500, 100, 0, 300}
                                         << int(WindowSizeError::TooNarrowX);
    QTest::newRow("Dunstel columns") << BoardKind::Dunstel << WindowCorners{500, 100, 0, 300}
                                     << int(WindowSizeError::TooNarrowX);
}

void TestWindowingGeometry::userWindowWithFirstAfterLastIsRefused()
{
    QFETCH(BoardKind, kind);
    QFETCH(WindowCorners, user);
    QFETCH(int, error);
    // In 32-bit unsigned arithmetic the difference would wrap to a huge size
    // and pass the minimum test.
    const WindowingPlan plan = ComputeWindowingPlan(kRecord640, kind, 0, user);
    QVERIFY(plan.Inverted);
    QCOMPARE(int(plan.Error), error);
    QVERIFY(!plan.WriteUserCells);
    ApplyWindowingToRecord(kRecord640, plan);
    QVERIFY(GetCurrent(kRecord640, P::AcqX) <= 1024u);
    QVERIFY(GetCurrent(kRecord640, P::AcqY) <= 1024u);
    QCOMPARE(GetCurrent(kRecord640, P::WindowUserLineWidth), 0u);
}

void TestWindowingGeometry::userWindowCellsAndCameraFileValues()
{
    const WindowingPlan plan = ComputeWindowingPlan(kRecord640, BoardKind::Arvex, 0, {100, 419, 50, 289});
    QCOMPARE(plan.Error, WindowSizeError::None);
    QCOMPARE(plan.AcqX, 320);
    QCOMPARE(plan.AcqY, 240);
    // Line width with the 10 blind columns; the rows of the camera file; the
    // acquisition rows one more.
    QCOMPARE(plan.Hactive, 330u);
    QCOMPARE(plan.Vactive, 240u);
    QCOMPARE(plan.WindowingAcqX, 330u);
    QCOMPARE(plan.WindowingAcqY, 241u);
    ApplyWindowingToRecord(kRecord640, plan);
    QCOMPARE(GetCurrent(kRecord640, P::WindowUserLineWidth), 330u);
    QCOMPARE(GetCurrent(kRecord640, P::WindowUserAcqRows), 240u);
    QCOMPARE(GetCurrent(kRecord640, P::WindowUserLastColumn), 330u);
    QCOMPARE(GetCurrent(kRecord640, P::WindowUserRows), 241u);

    // Divisor 4: the minimum width is compared in column units (160 / 4 = 40).
    const WindowingPlan narrow = ComputeWindowingPlan(kRecord1024, BoardKind::BelmorPlus, 0, {0, 38, 0, 200});
    QCOMPARE(narrow.Error, WindowSizeError::TooNarrowX);
    const WindowingPlan wide = ComputeWindowingPlan(kRecord1024, BoardKind::BelmorPlus, 0, {0, 40, 0, 200});
    QCOMPARE(wide.Error, WindowSizeError::None);
}

void TestWindowingGeometry::dunstelWindows_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("mode");
    QTest::addColumn<WindowCorners>("user");
    QTest::addColumn<WindowCorners>("spin");
    QTest::addColumn<WindowCorners>("cells");
    QTest::addColumn<uint>("cellAcqX");
    QTest::addColumn<uint>("acqX");
    QTest::addColumn<uint>("acqY");
    // Dunstel windows start at the origin.
    QTest::newRow("mode 3") << kRecord640 << 3 << WindowCorners{} << WindowCorners{0, 639, 0, 479}
                            << WindowCorners{0, 639, 0, 479} << 640u << 640u << 480u;
    QTest::newRow("mode 1") << kRecord640 << 1 << WindowCorners{} << WindowCorners{0, 383, 0, 287}
                            << WindowCorners{0, 383, 0, 287} << 384u << 384u << 288u;
    // Size B shows its row count in the YLast box, one more than the cell.
    QTest::newRow("mode 2") << kRecord640 << 2 << WindowCorners{} << WindowCorners{0, 319, 0, 240}
                            << WindowCorners{0, 319, 0, 239} << 320u << 320u << 240u;
    // User windows: XLast down to a whole column unit (an even column at divisor 1).
    QTest::newRow("user d=1 odd") << kRecord640 << 0 << WindowCorners{10, 301, 0, 299} << WindowCorners{10, 300, 0, 299}
                                  << WindowCorners{10, 300, 0, 299} << 290u << 291u << 300u;
    QTest::newRow("user d=4") << kRecord1024 << 0 << WindowCorners{0, 302, 0, 299} << WindowCorners{0, 300, 0, 299}
                              << WindowCorners{0, 300, 0, 299} << 300u << 76u << 300u;
}

void TestWindowingGeometry::dunstelWindows()
{
    QFETCH(int, record);
    QFETCH(int, mode);
    QFETCH(WindowCorners, user);
    QFETCH(WindowCorners, spin);
    QFETCH(WindowCorners, cells);
    QFETCH(uint, cellAcqX);
    QFETCH(uint, acqX);
    QFETCH(uint, acqY);
    const WindowingPlan plan = ComputeWindowingPlan(record, BoardKind::Dunstel, mode, user);
    QVERIFY(plan.Computed);
    QCOMPARE(plan.SpinCorners.XFirst, spin.XFirst);
    QCOMPARE(plan.SpinCorners.XLast, spin.XLast);
    QCOMPARE(plan.SpinCorners.YLast, spin.YLast);
    QCOMPARE(plan.CellCorners.XLast, cells.XLast);
    QCOMPARE(plan.CellCorners.YLast, cells.YLast);
    QCOMPARE(plan.CellAcqX, cellAcqX);
    QCOMPARE(plan.WindowingAcqX, acqX);
    QCOMPARE(plan.WindowingAcqY, acqY);
    QCOMPARE(plan.SetAcqSpinBoxes, mode != 0);
}

void TestWindowingGeometry::dunstelMinimumHeightCountsBothRows()
{
    // Dunstel compares the row count: YLast - YFirst = 119 is 120 rows, enough.
    QCOMPARE(ComputeWindowingPlan(kRecord640, BoardKind::Dunstel, 0, {0, 400, 0, 119}).Error, WindowSizeError::None);
    QCOMPARE(ComputeWindowingPlan(kRecord640, BoardKind::Dunstel, 0, {0, 400, 0, 118}).Error,
             WindowSizeError::TooNarrowY);
}

void TestWindowingGeometry::boardsWithoutGeometry()
{
    for (BoardKind kind : {BoardKind::None, BoardKind::Eskra, BoardKind::Corvane})
        QVERIFY(!ComputeWindowingPlan(kRecord640, kind, 3, {}).Computed);
    QVERIFY(!ComputeWindowingPlan(-1, BoardKind::Arvex, 3, {}).Computed);
    QCOMPARE(WindowingMode(0, 0), 0);
    QCOMPARE(WindowingMode(2, 0), 1);
    QCOMPARE(WindowingMode(0, 1), 2);
    QCOMPARE(WindowingMode(1, 2), 3);
}

void TestWindowingGeometry::tintClampsAtTheMinimum_data()
{
    QTest::addColumn<uint>("acqX");
    QTest::addColumn<uint>("divisor");
    QTest::addColumn<int>("tint");
    QTest::newRow("wide") << 394u << 1u << 374;
    QTest::newRow("divisor 4") << 1028u << 4u << 237;
    // Unsigned arithmetic would wrap to about four thousand million.
    QTest::newRow("narrow window") << 10u << 1u << 15;
    QTest::newRow("divisor not set") << 100u << 65535u << 80;
}

void TestWindowingGeometry::tintClampsAtTheMinimum()
{
    QFETCH(uint, acqX);
    QFETCH(uint, divisor);
    QFETCH(int, tint);
    QCOMPARE(WindowingTint(acqX, divisor, 15), tint);
}

void TestWindowingGeometry::serDataWord_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<SerDataBits>("bits");
    QTest::addColumn<uint>("word");
    SerDataBits all{1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("compact all") << true << all << 0x73u;
    QTest::newRow("full all") << false << all << 0x7Fu;
    QTest::newRow("compact gain2 only") << true << SerDataBits{0, 0, 0, 0, 0, 0, 1, 0} << 0x40u;
    // The full layout has no Gain2 bit: bit 6 is the DAC filter.
    QTest::newRow("full gain2 only") << false << SerDataBits{0, 0, 0, 0, 0, 0, 1, 0} << 0u;
    QTest::newRow("full sizes and flips") << false << SerDataBits{1, 0, 1, 0, 0, 0, 0, 0} << 0x0Au;
    // Cells hold 0 or 1 but readers take any non-zero value as set.
    QTest::newRow("check state 2") << true << SerDataBits{0, 0, 2, 2, 0, 0, 0, 0} << 0x03u;
}

void TestWindowingGeometry::serDataWord()
{
    QFETCH(bool, compact);
    QFETCH(SerDataBits, bits);
    QFETCH(uint, word);
    QCOMPARE(SerDataWord(compact, bits), word);
}

void TestWindowingGeometry::windowPresets_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<uint>("width");
    QTest::addColumn<uint>("height");
    QTest::addColumn<int>("result");
    QTest::addColumn<WindowCorners>("corners");
    const WindowCorners unchanged{1, 2, 3, 4};
    QTest::newRow("QVGA on 1024x768") << "QVGA centered" << 1024u << 768u << int(PresetResult::Applied)
                                      << WindowCorners{352, 671, 264, 503};
    QTest::newRow("VGA on 1024x768") << "VGA centered" << 1024u << 768u << int(PresetResult::Applied)
                                     << WindowCorners{192, 831, 144, 623};
    QTest::newRow("VGA on 640x480") << "VGA centered" << 640u << 480u << int(PresetResult::Applied)
                                    << WindowCorners{0, 639, 0, 479};
    QTest::newRow("VGA on 320x240") << "VGA centered" << 320u << 240u << int(PresetResult::TooSmall) << unchanged;
    QTest::newRow("QVGA on 324x239") << "QVGA centered" << 324u << 239u << int(PresetResult::TooSmall) << unchanged;
    QTest::newRow("user defined") << "User defined" << 1024u << 768u << int(PresetResult::NotPreset) << unchanged;
}

void TestWindowingGeometry::windowPresets()
{
    QFETCH(QString, preset);
    QFETCH(uint, width);
    QFETCH(uint, height);
    QFETCH(int, result);
    QFETCH(WindowCorners, corners);
    WindowCorners c{1, 2, 3, 4};
    QCOMPARE(int(PresetWindow(preset, width, height, &c)), result);
    QCOMPARE(c.XFirst, corners.XFirst);
    QCOMPARE(c.XLast, corners.XLast);
    QCOMPARE(c.YFirst, corners.YFirst);
    QCOMPARE(c.YLast, corners.YLast);
}

void TestWindowingGeometry::windowSizeLimitsAndEstimates()
{
    QVERIFY(WindowSizeAllowed(160, 120));
    QVERIFY(WindowSizeAllowed(1024, 1024));
    QVERIFY(!WindowSizeAllowed(159, 120));
    QVERIFY(!WindowSizeAllowed(160, 1025));
    QVERIFY(!WindowSizeAllowed(65535, 480));

    QCOMPARE(EstimatedWindowFrameRate(640, 480, 30, 640, 480), uint16_t(30));
    QCOMPARE(EstimatedWindowFrameRate(640, 480, 30, 320, 240), uint16_t(120));
    QCOMPARE(EstimatedWindowFrameRate(640, 480, 0, 320, 240), uint16_t(0));
    QCOMPARE(EstimatedWindowFrameRate(640, 480, 30, 0, 240), uint16_t(0));

    QCOMPARE(WindowTintMaximum(320, 1), 307);
    QCOMPARE(WindowTintMaximum(320, 2), 147);
    QCOMPARE(WindowTintMaximum(20, 4), 0);

    QVERIFY(WindowingWindowModel("Z671Pv2"));
    QVERIFY(!WindowingWindowModel("Z602"));
    QVERIFY(!WindowingWindowModel("z641"));
}

void TestWindowingGeometry::cornersForATypedSize_data()
{
    QTest::addColumn<uint>("first");
    QTest::addColumn<uint>("size");
    QTest::addColumn<uint>("side");
    QTest::addColumn<uint>("newFirst");
    QTest::addColumn<uint>("newLast");
    QTest::newRow("first stays") << 100u << 320u << 640u << 100u << 419u;
    QTest::newRow("up to the edge") << 320u << 320u << 640u << 320u << 639u;
    QTest::newRow("moved back inside") << 321u << 320u << 640u << 320u << 639u;
    QTest::newRow("whole side") << 17u << 480u << 480u << 0u << 479u;
    QTest::newRow("beyond the sensor") << 5u << 700u << 640u << 0u << 639u;
    // No size, or no sensor: the corner stays where it is.
    QTest::newRow("no size") << 40u << 0u << 640u << 40u << 40u;
    QTest::newRow("no sensor") << 40u << 320u << 0u << 40u << 40u;
}

void TestWindowingGeometry::cornersForATypedSize()
{
    QFETCH(uint, first);
    QFETCH(uint, size);
    QFETCH(uint, side);
    QFETCH(uint, newFirst);
    QFETCH(uint, newLast);
    const TypedSizeCorners c = CornersForTypedSize(first, size, side);
    QCOMPARE(uint(c.First), newFirst);
    QCOMPARE(uint(c.Last), newLast);
}

QTEST_GUILESS_MAIN(TestWindowingGeometry)
#include "tst_windowing_geometry.moc"
