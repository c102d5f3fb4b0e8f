// Tests of the per-frame correction chain against its plain per-pixel reference and worked examples.
#include "board/links/board_traits.h"
#include "pipeline/correction_chain.h"
#include "pipeline/pipeline_cells.h"
#include "params/proxy_parameter_table.h"
#include "reference_chain.h"

#include <QtTest>

#include <random>

namespace {

// One frame's buffers for the production chain, with the bad-pixel list of
// the settings' orientation.
struct Chain
{
    FrameGeometry Geometry;
    std::vector<uint16_t> Raw, Reference, Acquired, Corrected, Display16;
    std::vector<double> Gain2;
    std::vector<float> Working32f;
    std::vector<uint8_t> Display8;
    std::vector<uint32_t> BadPixels{0};
    BadPixelFillState Fill;
    GammaTable Gamma;

    Chain(int w, int h, int pitch) : Geometry{w, h, pitch}
    {
        const size_t n = Geometry.pixelCount();
        Raw.assign(n, 0);
        Reference.assign(n, 0);
        Acquired.assign(n, 0);
        Corrected.assign(n, 0);
        Display16.assign(n, 0);
        Gain2.assign(n, 1.0);
        Working32f.assign(n, 0.f);
        Display8.assign(n, 0);
    }

    void run(const CorrectionSettings& s)
    {
        FrameInputs in{Raw.data(), Reference.data(), Gain2.data()};
        FrameOutputs out{Acquired.data(), Working32f.data(), Corrected.data(), Display8.data(), Display16.data()};
        RunCorrectionChain(in, Geometry, s, BadPixelListView{BadPixels.data(), BadPixels.size()}, Fill, Gamma, out);
    }
};

// How a comparison with the reference fills the frame and moves it on.
struct ReferenceRun
{
    unsigned Seed;
    int ReferenceDivisor;  // the reference image is a random value divided by it
    int Frames;            // frames compared, so that the fill value's evolution is compared too
    int RawFactor;         // each next raw frame is the last one times this, plus RawStep
    int RawStep;
};

// Runs p_Run.Frames frames of random data through the chain and through the
// per-pixel reference, and compares every plane the chain writes. The list's
// first cell is set to its count.
void CompareWithReference(Chain& c, const CorrectionSettings& settings, std::vector<uint32_t> list,
                          const ReferenceRun& p_Run)
{
    const size_t n = c.Geometry.pixelCount();
    std::mt19937 rng(p_Run.Seed);
    std::uniform_int_distribution<int> pix(0, 65535);
    std::uniform_real_distribution<double> gain(0.5, 1.5);
    for (size_t i = 0; i < n; ++i) {
        c.Raw[i] = uint16_t(pix(rng));
        c.Reference[i] = uint16_t(pix(rng) / p_Run.ReferenceDivisor);
        c.Gain2[i] = gain(rng);
        c.Corrected[i] = uint16_t(pix(rng)); // what the "no board" path must leave
    }
    list[0] = uint32_t(list.size() - 1);
    c.BadPixels = list;
    c.Fill.ResetPending = true;

    ref::Frame expected(n);
    expected.Corrected = c.Corrected;
    uint16_t refFill = 0;
    bool refReset = true;
    for (int frame = 0; frame < p_Run.Frames; ++frame) {
        ref::RunChain(expected, c.Raw.data(), c.Reference.data(), c.Gain2.data(), c.Geometry, settings, list, refFill,
                      refReset);
        c.run(settings);
        QCOMPARE(c.Corrected, expected.Corrected);
        QCOMPARE(c.Display8, expected.Display8);
        QCOMPARE(c.Display16, expected.Display16);
        QCOMPARE(c.Fill.Value, refFill);
        if (settings.Path == CorrectionPath::Software) {
            QCOMPARE(c.Acquired, expected.Acquired);
            QCOMPARE(c.Working32f, expected.Working32f);
        }
        if (settings.Path == CorrectionPath::Board && !settings.Invert)
            QCOMPARE(c.Working32f, expected.Working32f);
        for (auto& v : c.Raw)
            v = uint16_t(v * p_Run.RawFactor + p_Run.RawStep);
    }
}

CorrectionSettings NoFpn(int32_t offset, int32_t gain, int32_t centre)
{
    CorrectionSettings s;
    s.Path = CorrectionPath::Software;
    s.Input = SoftwareInput::NoFPN;
    s.Offset = offset;
    s.Gain = gain;
    s.Centre = centre;
    return s;
}

uint16_t OnePixel(const CorrectionSettings& s, uint16_t raw, uint16_t reference = 0, uint16_t initial = 0)
{
    Chain c(1, 1, 2);
    c.Raw[0] = raw;
    c.Reference[0] = reference;
    c.Corrected[0] = initial;
    c.run(s);
    return c.Corrected[0];
}

} // namespace

Q_DECLARE_METATYPE(CorrectionSettings)

class tst_correction_chain : public QObject
{
    Q_OBJECT

private slots:
    void pixelArithmetic_data();
    void pixelArithmetic();
    void gammaValues_data();
    void gammaValues();
    void gammaTableMatchesPowForEveryValue();
    void gammaTableMatchesFormulaForEveryValue_data();
    void gammaTableMatchesFormulaForEveryValue();
    void gammaPassGivesTheTableForEveryValue_data();
    void gammaPassGivesTheTableForEveryValue();
    void gammaWithBadPixelsMatchesReference_data();
    void gammaWithBadPixelsMatchesReference();
    void matchesReference_data();
    void matchesReference();
    void acquiredCopyOnEveryPath_data();
    void acquiredCopyOnEveryPath();
    void badPixelModes_data();
    void badPixelModes();
    void badPixelEdgesUseFill();
    void lineStepsByRowStride();
    void badPixelOffsetsAndListChoice();
    void badPixelCountNeverPassesItsBlock();
    void blinkCyclesAndWhiteReset();
    void settingsFromCells();
    void pathOfEveryKind_data();
    void pathOfEveryKind();
    void displayScale();
};

void tst_correction_chain::pixelArithmetic_data()
{
    QTest::addColumn<CorrectionSettings>("settings");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("reference");
    QTest::addColumn<int>("expected");

    QTest::newRow("offset 100 gain 2 centre 1") << NoFpn(100, 2, 1) << 1000 << 0 << 2456;
    QTest::newRow("identity") << NoFpn(0, 1, 0) << 4321 << 0 << 4321;
    QTest::newRow("clamp below 0") << NoFpn(-1005, 1, 0) << 1000 << 0 << 0;
    QTest::newRow("clamp above 65535") << NoFpn(69000, 1, 0) << 1000 << 0 << 65535;
    CorrectionSettings hdr = NoFpn(69000, 1, 0);
    hdr.Clamp = false;
    QTest::newRow("HDR keeps low 16 bits") << hdr << 1000 << 0 << 4464;
    CorrectionSettings inv = NoFpn(-1005, 1, 0);
    inv.Invert = true;
    QTest::newRow("inversion after clamp") << inv << 1000 << 0 << 65535;
    CorrectionSettings fpn = NoFpn(0, 1, 0);
    fpn.Input = SoftwareInput::FPN;
    QTest::newRow("FPN equal to raw gives 0") << fpn << 1000 << 1000 << 0;
    CorrectionSettings fpnOg = NoFpn(10, 3, 2);
    fpnOg.Input = SoftwareInput::FPN;
    QTest::newRow("FPN then offset and gain") << fpnOg << 1500 << 1000 << (500 + 10) * 3 + 512;
    QTest::newRow("FPN negative difference clamps") << fpn << 900 << 1000 << 0;
    CorrectionSettings nuc = NoFpn(0, 1, 0);
    nuc.Input = SoftwareInput::NUC2Pt;
    // One pixel: the reference mean is the reference itself.
    QTest::newRow("two-point, gain 1") << nuc << 1200 << 1000 << 1200;
    CorrectionSettings board;
    board.Path = CorrectionPath::Board;
    QTest::newRow("board corrects") << board << 1234 << 0 << 1234;
    board.Invert = true;
    QTest::newRow("board inverted") << board << 1234 << 0 << 65535 - 1234;
}

void tst_correction_chain::pixelArithmetic()
{
    QFETCH(CorrectionSettings, settings);
    QFETCH(int, raw);
    QFETCH(int, reference);
    QFETCH(int, expected);
    QCOMPARE(int(OnePixel(settings, uint16_t(raw), uint16_t(reference))), expected);
}

void tst_correction_chain::gammaValues_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<double>("gamma");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.0 on 16384") << true << 2.0 << 16384 << 32768;
    QTest::newRow("2.0 on 65535") << true << 2.0 << 65535 << 65280;
    QTest::newRow("0.5 on 16384") << true << 0.5 << 16384 << 4096;
    QTest::newRow("2.0 on 0") << true << 2.0 << 0 << 0;
    QTest::newRow("1.0 leaves the frame") << true << 1.0 << 12345 << 12345;
    QTest::newRow("0.0 leaves the frame") << true << 0.0 << 12345 << 12345;
    QTest::newRow("unchecked leaves the frame") << false << 2.0 << 12345 << 12345;
}

void tst_correction_chain::gammaValues()
{
    QFETCH(bool, checked);
    QFETCH(double, gamma);
    QFETCH(int, value);
    QFETCH(int, expected);
    CorrectionSettings s = NoFpn(0, 1, 0);
    s.GammaOn = GammaIsActive(checked, gamma);
    s.Gamma = gamma;
    Chain c(1, 1, 2);
    c.Raw[0] = uint16_t(value);
    c.run(s);
    QCOMPARE(int(c.Corrected[0]), expected);
    QCOMPARE(int(c.Display8[0]), expected >> 8);
}

void tst_correction_chain::gammaTableMatchesPowForEveryValue()
{
    // The table must give what the per-pixel power gives, for every value and
    // again after the gamma changes.
    GammaTable table;
    for (double g : {2.0, 0.45, 1.7, 2.0}) {
        table.update(g);
        std::vector<uint16_t> all(65536);
        for (uint32_t v = 0; v < 65536; ++v)
            all[v] = uint16_t(v);
        ref::ApplyGamma(all.data(), all.size(), g);
        for (uint32_t v = 0; v < 65536; ++v)
            if (table[uint16_t(v)] != all[v])
                QFAIL(qPrintable(QString("gamma %1 value %2").arg(g).arg(v)));
    }
}

void tst_correction_chain::gammaTableMatchesFormulaForEveryValue_data()
{
    QTest::addColumn<double>("gamma");
    for (double g : {1.0, 2.2, 0.45, 1e-3, 0.01, 50.0, 1e6, -1.0, -0.3})
        QTest::newRow(qPrintable(QString::number(g))) << g;
}

void tst_correction_chain::gammaTableMatchesFormulaForEveryValue()
{
    // The table and the per-pixel formula agree on every 16-bit value, for
    // gamma 1, extreme and negative values (for which the formula's guard
    // gives 0 where the power is not finite).
    QFETCH(double, gamma);
    GammaTable table;
    table.update(0.7); // built once for another gamma first
    table.update(gamma);
    for (uint32_t v = 0; v < 65536; ++v) {
        const uint16_t direct = GammaOfPixel(uint16_t(v), gamma);
        if (table[uint16_t(v)] != direct)
            QFAIL(qPrintable(QString("value %1").arg(v)));
    }
    if (gamma > 0) {
        std::vector<uint16_t> all(65536);
        for (uint32_t v = 0; v < 65536; ++v)
            all[v] = uint16_t(v);
        ref::ApplyGamma(all.data(), all.size(), gamma);
        for (uint32_t v = 0; v < 65536; ++v)
            if (table[uint16_t(v)] != all[v])
                QFAIL(qPrintable(QString("reference, value %1").arg(v)));
    }
}

void tst_correction_chain::gammaPassGivesTheTableForEveryValue_data()
{
    QTest::addColumn<double>("gamma");
    for (double g : {2.2, 0.45, 1.8, 3.0, 1.02, 1e-3, 50.0, -1.0, -0.3})
        QTest::newRow(qPrintable(QString::number(g))) << g;
}

void tst_correction_chain::gammaPassGivesTheTableForEveryValue()
{
    // Every 16-bit value twice through the gamma pass: once in order, so that
    // runs of pixels share their high byte, once shifted by half a run, so
    // that runs straddle two high bytes; the frame ends off a run's length.
    QFETCH(double, gamma);
    Chain c(251, 523, 2 * 251);
    const size_t n = c.Geometry.pixelCount();
    for (size_t i = 0; i < n; ++i)
        c.Raw[i] = uint16_t(i < 65536 ? i : i - 65536 + 32);
    CorrectionSettings s;
    s.Path = CorrectionPath::Board;
    s.GammaOn = true;
    s.Gamma = gamma;
    c.run(s);
    for (size_t i = 0; i < n; ++i) {
        const uint16_t expected = GammaOfPixel(c.Raw[i], gamma);
        if (c.Corrected[i] != expected || c.Display16[i] != expected || c.Display8[i] != uint8_t(expected >> 8))
            QFAIL(qPrintable(QString("pixel %1, value %2: %3, expected %4")
                                 .arg(i).arg(c.Raw[i]).arg(c.Corrected[i]).arg(expected)));
    }
}

void tst_correction_chain::gammaWithBadPixelsMatchesReference_data()
{
    QTest::addColumn<CorrectionSettings>("settings");
    const struct { const char* name; CorrectionPath path; SoftwareInput input; bool invert; } paths[] = {
        {"FPN", CorrectionPath::Software, SoftwareInput::FPN, false},
        {"two-point inverted", CorrectionPath::Software, SoftwareInput::NUC2Pt, true},
        {"no FPN", CorrectionPath::Software, SoftwareInput::NoFPN, false},
        {"board inverted", CorrectionPath::Board, SoftwareInput::NoFPN, true},
        {"no board", CorrectionPath::None, SoftwareInput::NoFPN, false},
    };
    for (const auto& p : paths)
        for (int mode : {1, 4, 5, 6})
            for (double g : {2.2, 0.45, 0.02, 30.0}) {
                CorrectionSettings s = NoFpn(-200, 2, 5);
                s.Path = p.path;
                s.Input = p.input;
                s.Invert = p.invert;
                s.BadPixelMode = mode;
                s.BadPixelOn = true;
                s.BadPixelList = mode % 4;
                s.BadPixelOffsetX = 1;
                s.GammaOn = true;
                s.Gamma = g;
                QTest::newRow(qPrintable(QString("%1, mode %2, gamma %3").arg(p.name).arg(mode).arg(g))) << s;
            }
}

void tst_correction_chain::gammaWithBadPixelsMatchesReference()
{
    // Several blocks of the passes, rows stored wider than the frame, and bad
    // pixels that are each other's neighbours (a replaced pixel feeds the next).
    QFETCH(CorrectionSettings, settings);
    Chain c(300, 70, 2 * 310);
    const size_t n = c.Geometry.pixelCount();
    std::vector<uint32_t> list = {0, 0, 1, 2, 3, 310, 311, 621, 2047, 2048, 2049, 2048, 5000, 5310, 4690};
    std::mt19937 rng(77);
    for (int i = 0; i < 400; ++i)
        list.push_back(uint32_t(rng() % (n + 50)));
    list.push_back(uint32_t(n - 1));
    CompareWithReference(c, settings, list, {99, 8, 2, 5, 11});
}

void tst_correction_chain::matchesReference_data()
{
    QTest::addColumn<CorrectionSettings>("settings");
    QTest::addColumn<int>("pitch");

    auto base = [](SoftwareInput in) {
        CorrectionSettings s = NoFpn(-300, 3, 7);
        s.Input = in;
        return s;
    };
    QTest::newRow("no FPN") << base(SoftwareInput::NoFPN) << 16;
    QTest::newRow("FPN") << base(SoftwareInput::FPN) << 16;
    QTest::newRow("two-point") << base(SoftwareInput::NUC2Pt) << 16;
    CorrectionSettings s = base(SoftwareInput::FPN);
    s.Clamp = false;
    s.Invert = true;
    QTest::newRow("FPN, HDR, inverted") << s << 16;
    s = base(SoftwareInput::NUC2Pt);
    s.Invert = true;
    s.GammaOn = true;
    s.Gamma = 1.8;
    QTest::newRow("two-point, inverted, gamma") << s << 16;
    for (int mode = 1; mode <= 7; ++mode)
        for (int list = 0; list < 4; ++list) {
            CorrectionSettings b = base(SoftwareInput::FPN);
            b.BadPixelMode = mode;
            b.BadPixelOn = true;
            b.BadPixelList = list;
            b.BadPixelOffsetX = (list == 3) ? -1 : 1;
            b.BadPixelOffsetY = (list == 2) ? 1 : 0;
            b.GammaOn = (mode % 2) == 0;
            b.Gamma = 2.2;
            QTest::newRow(qPrintable(QString("bad pixels mode %1 list %2").arg(mode).arg(list))) << b << 18;
        }
    CorrectionSettings board;
    board.Path = CorrectionPath::Board;
    board.BadPixelMode = 6;
    board.BadPixelOn = true;
    QTest::newRow("board path with mean pixel") << board << 16;
    board.Invert = true;
    QTest::newRow("board path inverted") << board << 16;
    CorrectionSettings none;
    none.Path = CorrectionPath::None;
    QTest::newRow("no board") << none << 16;
}

void tst_correction_chain::matchesReference()
{
    QFETCH(CorrectionSettings, settings);
    QFETCH(int, pitch);
    // 7 x 5 frame whose rows are longer than its width, so that the row stride
    // and the frame width differ.
    Chain c(7, 5, pitch);
    // Bad pixels everywhere, the frame's edges included, some twice, some out of range.
    CompareWithReference(c, settings, {0, 0, 1, 6, 7, 8, 9, 17, 20, 20, 28, 34, 35, 36, 100000},
                         {12345, 4, 3, 7, 13});
}

// The acquired copy is the raw frame whatever path corrects it, inverted
// display or not (the analysis windows read it).
void tst_correction_chain::acquiredCopyOnEveryPath_data()
{
    QTest::addColumn<int>("path");
    QTest::addColumn<int>("input");
    QTest::addColumn<bool>("invert");
    QTest::newRow("software, no FPN") << int(CorrectionPath::Software) << int(SoftwareInput::NoFPN) << false;
    QTest::newRow("software, FPN") << int(CorrectionPath::Software) << int(SoftwareInput::FPN) << false;
    QTest::newRow("board") << int(CorrectionPath::Board) << int(SoftwareInput::NoFPN) << false;
    QTest::newRow("board, FPN cell on") << int(CorrectionPath::Board) << int(SoftwareInput::FPN) << false;
    QTest::newRow("board, inverted") << int(CorrectionPath::Board) << int(SoftwareInput::NoFPN) << true;
    QTest::newRow("none") << int(CorrectionPath::None) << int(SoftwareInput::NoFPN) << false;
}

void tst_correction_chain::acquiredCopyOnEveryPath()
{
    QFETCH(int, path);
    QFETCH(int, input);
    QFETCH(bool, invert);
    // Wider than one block of the passes, with a pitch wider than the line.
    Chain c(300, 70, 2 * 310);
    for (size_t i = 0; i < c.Raw.size(); ++i) {
        c.Raw[i] = uint16_t(1000 + 37 * i);
        c.Reference[i] = uint16_t(i % 50);
    }
    CorrectionSettings s = NoFpn(0, 1, 0);
    s.Path = CorrectionPath(path);
    s.Input = SoftwareInput(input);
    s.Invert = invert;
    c.run(s);
    QVERIFY(c.Acquired == c.Raw);
}

void tst_correction_chain::badPixelModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("expected");
    // Row 1 of a 3 x 3 frame: 3, [bad], 6 with 10 above and 30 below.
    QTest::newRow("previous, unflipped: right neighbour") << 1 << 0 << 6;
    QTest::newRow("previous, row flip: right neighbour") << 1 << 1 << 6;
    QTest::newRow("previous, column flip: left neighbour") << 1 << 2 << 3;
    QTest::newRow("previous, both flips: left neighbour") << 1 << 3 << 3;
    QTest::newRow("black") << 2 << 0 << 0;
    QTest::newRow("line: above and below") << 5 << 0 << 20;
    QTest::newRow("mean pixel: 3 and 6 give 4") << 6 << 0 << 4;
    QTest::newRow("unknown mode: fill value") << 9 << 0 << 0;
}

void tst_correction_chain::badPixelModes()
{
    QFETCH(int, mode);
    QFETCH(int, list);
    QFETCH(int, expected);
    FrameGeometry g{3, 3, 6};
    std::vector<uint16_t> f = {10, 10, 10, 3, 999, 6, 30, 30, 30};
    std::vector<uint32_t> words = {1, 4};
    CorrectionSettings s;
    s.BadPixelMode = mode;
    s.BadPixelList = list;
    ApplyBadPixelReplacement(f.data(), g, s, {words.data(), words.size()}, 0);
    QCOMPARE(int(f[4]), expected);
}

void tst_correction_chain::badPixelEdgesUseFill()
{
    // The first and last pixel have no neighbour on one side: the fill value
    // is written instead of reading outside the frame.
    FrameGeometry g{4, 2, 8};
    CorrectionSettings s;
    for (int mode : {1, 6}) {
        for (int list : {0, 2}) {
            std::vector<uint16_t> f = {5, 6, 7, 8, 9, 10, 11, 12};
            std::vector<uint32_t> words = {2, 0, 7};
            s.BadPixelMode = mode;
            s.BadPixelList = list;
            ApplyBadPixelReplacement(f.data(), g, s, {words.data(), words.size()}, 777);
            if (mode == 1 && list == 0) {
                QCOMPARE(int(f[0]), 6);   // right neighbour exists
                QCOMPARE(int(f[7]), 777); // none right of the last pixel
            } else if (mode == 1) {
                QCOMPARE(int(f[0]), 777); // none left of the first pixel
                QCOMPARE(int(f[7]), 11);
            } else {
                QCOMPARE(int(f[0]), 777);
                QCOMPARE(int(f[7]), 777);
            }
        }
    }
}

void tst_correction_chain::lineStepsByRowStride()
{
    // Rows of 4 pixels stored with a stride of 6: "Line" reads one stored row
    // above and below, and writes the fill value on the first and last line.
    FrameGeometry g{4, 3, 12};
    std::vector<uint16_t> f(18, 0);
    f[1] = 100;  // row 0, column 1
    f[13] = 300; // row 2, column 1
    f[3] = 1;    // one frame width above index 7: must not be read
    f[11] = 1;   // one frame width below
    f[4] = 50;
    f[16] = 70;
    std::vector<uint32_t> words = {3, 7, 2, 10};
    CorrectionSettings s;
    s.BadPixelMode = 5;
    ApplyBadPixelReplacement(f.data(), g, s, {words.data(), words.size()}, 55);
    QCOMPARE(int(f[7]), 200);
    QCOMPARE(int(f[2]), 55); // first line: fill value
    QCOMPARE(int(f[10]), 60);
}

void tst_correction_chain::badPixelOffsetsAndListChoice()
{
    FrameGeometry g{4, 4, 8};
    CorrectionSettings s;
    s.BadPixelMode = 2;
    s.BadPixelOffsetX = 1;
    s.BadPixelOffsetY = 1; // one row = 4 pixels
    std::vector<uint32_t> words = {3, 10, 0, 20};
    struct Case { int list; int replaced; };
    // list 0: e - 4 - 1; list 1: e + 4 - 1; list 2: e - 4 + 1; list 3: e + 4 + 1
    for (Case c : {Case{0, 5}, Case{1, 13}, Case{2, 7}, Case{3, 15}}) {
        std::vector<uint16_t> f(16, 1000);
        s.BadPixelList = c.list;
        ApplyBadPixelReplacement(f.data(), g, s, {words.data(), words.size()}, 0);
        int zeros = 0;
        for (int i = 0; i < 16; ++i)
            zeros += f[size_t(i)] == 0;
        QCOMPARE(int(f[size_t(c.replaced)]), 0);
        // 0 and 20 move outside the frame for every list but one: skipped.
        QVERIFY(zeros <= 2);
    }
    std::vector<uint16_t> f(16, 1000);
    s.BadPixelList = -1; // flips outside 0..3
    ApplyBadPixelReplacement(f.data(), g, s, {words.data(), words.size()}, 0);
    QCOMPARE(f, std::vector<uint16_t>(16, 1000));
}

void tst_correction_chain::badPixelCountNeverPassesItsBlock()
{
    FrameGeometry g{4, 1, 8};
    std::vector<uint16_t> f(4, 9);
    std::vector<uint32_t> words = {1000000, 1, 2};
    CorrectionSettings s;
    s.BadPixelMode = 2;
    ApplyBadPixelReplacement(f.data(), g, s, {words.data(), words.size()}, 0);
    QCOMPARE(f, (std::vector<uint16_t>{9, 0, 0, 9}));
}

void tst_correction_chain::blinkCyclesAndWhiteReset()
{
    Chain c(2, 1, 4);
    c.BadPixels = {1, 0};
    CorrectionSettings s = NoFpn(0, 1, 0);
    s.BadPixelMode = 4;
    s.BadPixelOn = true;
    c.Fill.ResetPending = true;
    for (int frame = 0; frame < 257; ++frame) {
        c.run(s);
        QCOMPARE(int(c.Corrected[0]), (frame % 256) * 256);
        QCOMPARE(int(c.Display8[0]), frame % 256);
    }
    s.BadPixelMode = 3;
    c.Fill.ResetPending = true;
    c.run(s);
    QCOMPARE(int(c.Corrected[0]), 65535);
    // Switched off: the stage is skipped and the pixel keeps its corrected value.
    s.BadPixelOn = false;
    c.Raw[0] = 42;
    c.run(s);
    QCOMPARE(int(c.Corrected[0]), 42);
}

void tst_correction_chain::settingsFromCells()
{
    InitProxyParameterTable();
    const int proxy = 5;
    SetCurrent(proxy, PipelineCell::ApplyNUC, 0);
    SetCurrent(proxy, PipelineCell::ImageOffset, uint32_t(-250));
    SetCurrent(proxy, PipelineCell::ImageGain, 3);
    SetCurrent(proxy, PipelineCell::AGCCentre, 2);
    SetCurrent(proxy, PipelineCell::HDR, 0);
    SetCurrent(proxy, PipelineCell::InvertBW, 1);
    SetCurrent(proxy, PipelineCell::BPCorrectionMode, 6);
    SetCurrent(proxy, PipelineCell::UpRow, 1);
    SetCurrent(proxy, PipelineCell::UpCol, 1);
    SetCurrent(proxy, PipelineCell::InterpolationMethod, 2);
    WindowCorrectionState w;
    w.BoardPath = BoardTraitsOf(BoardKind::Dunstel).Correction;
    w.NUC2ptChecked = true;
    w.GammaChecked = true;
    w.Gamma = 2.0;
    CorrectionSettings s = ReadCorrectionSettings(proxy, w);
    QCOMPARE(int(s.Path), int(CorrectionPath::Software));
    QCOMPARE(int(s.Input), int(SoftwareInput::NUC2Pt));
    QCOMPARE(s.Offset, -250);
    QCOMPARE(s.Gain, 3);
    QCOMPARE(s.Centre, 2);
    QVERIFY(s.Clamp);
    QVERIFY(s.Invert);
    QCOMPARE(s.BadPixelList, 3);
    QCOMPARE(s.BadPixelMode, 6);
    QVERIFY(s.GammaOn);
    SetCurrent(proxy, PipelineCell::ApplyNUC, 1);
    SetCurrent(proxy, PipelineCell::UpRow, 65535);
    w.BoardPath = BoardTraitsOf(BoardKind::Corvane).Correction;
    s = ReadCorrectionSettings(proxy, w);
    QCOMPARE(int(s.Input), int(SoftwareInput::FPN));
    QCOMPARE(int(s.Path), int(CorrectionPath::Board));
    QCOMPARE(s.BadPixelList, -1);
    w.SoftwareNUC = true;
    QCOMPARE(int(ReadCorrectionSettings(proxy, w).Path), int(CorrectionPath::Software));
    w.BoardPath = BoardTraitsOf(BoardKind::None).Correction;
    w.SoftwareNUC = false;
    QCOMPARE(int(ReadCorrectionSettings(proxy, w).Path), int(CorrectionPath::None));
    InitProxyParameterTable();
}

void tst_correction_chain::pathOfEveryKind_data()
{
    QTest::addColumn<BoardKind>("kind");
    QTest::addColumn<int>("path");
    const int sw = int(CorrectionPath::Software);
    const int board = int(CorrectionPath::Board);
    QTest::newRow("no board") << BoardKind::None << int(CorrectionPath::None);
    QTest::newRow("Arvex") << BoardKind::Arvex << board;
    QTest::newRow("Belmor") << BoardKind::Belmor << sw;
    QTest::newRow("Belmor+") << BoardKind::BelmorPlus << board;
    QTest::newRow("Dunstel") << BoardKind::Dunstel << sw;
    QTest::newRow("Eskra") << BoardKind::Eskra << sw;
    QTest::newRow("Corvane") << BoardKind::Corvane << board;
}

// The kind's own path without the software NUC; with it, every kind takes the software chain.
void tst_correction_chain::pathOfEveryKind()
{
    QFETCH(BoardKind, kind);
    QFETCH(int, path);
    WindowCorrectionState w;
    w.BoardPath = BoardTraitsOf(kind).Correction;
    QCOMPARE(int(ReadCorrectionSettings(0, w).Path), path);
    w.SoftwareNUC = true;
    QCOMPARE(int(ReadCorrectionSettings(0, w).Path), int(CorrectionPath::Software));
}

void tst_correction_chain::displayScale()
{
    // Proxy 14 is shown at half size with linear interpolation unless demo
    // mode or cosmetic zoom fits it.
    DisplayScaleChoice c = ChooseDisplayScale(false, 0, 0, false, 1000, 700, 14, 0, 640, 480);
    QVERIFY(c.Resize);
    QCOMPARE(c.Scale, 0.5);
    QCOMPARE(c.CvInterpolation, int(cv::INTER_LINEAR));
    c = ChooseDisplayScale(false, 0, 0, true, 1000, 700, 14, 0, 640, 480);
    QCOMPARE(c.Scale, std::min(1000.0 / 640, 700.0 / 480));
    QCOMPARE(c.CvInterpolation, int(cv::INTER_NEAREST));
    c = ChooseDisplayScale(true, 1920, 1080, true, 1000, 700, 3, 3, 640, 480);
    QCOMPARE(c.Scale, double(std::min(1920.f / 640.f, 1080.f / 480.f)));
    QCOMPARE(c.CvInterpolation, int(cv::INTER_LANCZOS4));
    c = ChooseDisplayScale(false, 0, 0, false, 1000, 700, 3, 3, 640, 480);
    QVERIFY(!c.Resize);
    QCOMPARE(c.Scale, 1.0);
    QCOMPARE(CvInterpolationFor(7), int(cv::INTER_LINEAR));

    cv::Mat full(480, 640, CV_8UC1, cv::Scalar(77));
    cv::Mat scaled;
    ScaleDisplayImage(full, scaled, ChooseDisplayScale(false, 0, 0, false, 0, 0, 14, 1, 640, 480));
    QCOMPARE(scaled.cols, 320);
    QCOMPARE(scaled.rows, 240);
    QCOMPARE(int(scaled.at<uint8_t>(100, 100)), 77);
    const uint8_t* before = scaled.data;
    ScaleDisplayImage(full, scaled, ChooseDisplayScale(false, 0, 0, false, 0, 0, 14, 1, 640, 480));
    QCOMPARE(scaled.data, before); // same size: written in place
}

QTEST_GUILESS_MAIN(tst_correction_chain)
#include "tst_correction_chain.moc"
