// Frame-rate reconfiguration: offered rates, the pixel-clock search and the exact command sequence per board kind.
#include "board/cameralink_commands.h"
#include "board/frame_rate_setup.h"
#include "board/gige_link.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QtTest>

Q_DECLARE_METATYPE(FrameRateSetupRequest)

namespace {

constexpr int kArvex = 1, kBelmor = 2, kBelmorPlus = 3, kDunstel = 4, kEskra = 5, kCorvane = 6;
constexpr int kY1437P = 9, kZ647 = 11, kY1437P120 = 12, kZ603 = 17, kY420 = 20;

// The steps as short texts: "27=9", "wait 150", "sleep 100", "open".
QStringList StepTexts(const FrameRateSetupPlan& p_Plan)
{
    QStringList texts;
    for (const FrameRateSetupStep& step : p_Plan.Steps) {
        switch (step.StepType) {
        case FrameRateSetupStep::Write: texts << QString("%1=%2").arg(step.Id).arg(step.Value); break;
        case FrameRateSetupStep::Wait: texts << QString("wait %1").arg(step.Value); break;
        case FrameRateSetupStep::Sleep: texts << QString("sleep %1").arg(step.Value); break;
        case FrameRateSetupStep::OpenCorvaneCapture: texts << "open"; break;
        }
    }
    return texts;
}

FrameRateSetupRequest Request(int p_iKind, int p_iRow, int p_iItem)
{
    FrameRateSetupRequest request;
    request.Kind = p_iKind;
    request.ProxyRow = p_iRow;
    request.ProxyChosen = true;
    request.Item = p_iItem;
    return request;
}

} // namespace

class TestFrameRateSetup : public QObject
{
    Q_OBJECT

private slots:
    void init() { InitProxyParameterTable(); }

    void offeredRates_data();
    void offeredRates();
    void pixelClockSearch_data();
    void pixelClockSearch();
    void sequences_data();
    void sequences();
    void belmorPlusTextsOnTheWire();
    void arvexAndCorvaneRefuseAnUndefinedPixelFrequency_data();
    void arvexAndCorvaneRefuseAnUndefinedPixelFrequency();
    void cellsFollowTheConfiguration();
    void failedWriteOrLibraryMakesTheRunFail();
};

void TestFrameRateSetup::offeredRates_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("items");
    QTest::newRow("Z647: 25, 30, 50, 200") << kZ647 << QList<int>{1, 2, 3, 7};
    QTest::newRow("Y1437P: 25 to 120") << kY1437P << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("Y420: 25, 50, 100") << kY420 << QList<int>{1, 3, 5};
    QTest::newRow("no proxy record") << 13 << QList<int>{};
    QTest::newRow("record 0") << 0 << QList<int>{};
    QTest::newRow("out of range row") << 25 << QList<int>{};
}

void TestFrameRateSetup::offeredRates()
{
    QFETCH(int, row);
    QFETCH(QList<int>, items);
    QList<int> offered;
    for (int iItem = 0; iItem < FrameRateItemCount; ++iItem)
        if (FrameRateItemOffered(row, iItem))
            offered << iItem;
    QCOMPARE(offered, items);
}

void TestFrameRateSetup::pixelClockSearch_data()
{
    QTest::addColumn<double>("wanted");
    QTest::addColumn<int>("multiplier");
    QTest::addColumn<int>("divider");
    QTest::addColumn<QString>("error");
    QTest::newRow("100: the first pair, not 3/3") << 100.0 << 2 << 2 << "Error: 0%";
    QTest::newRow("60") << 60.0 << 3 << 5 << "Error: 0%";
    QTest::newRow("120") << 120.0 << 6 << 5 << "Error: 0%";
    QTest::newRow("27") << 27.0 << 27 << 100 << "Error: 0%";
    QTest::newRow("33.3333") << 33.3333 << 2 << 6 << "Error: 0.0001%";
    QTest::newRow("74.25") << 74.25 << 173 << 233 << "Error: -0.001445%";
    QTest::newRow("0.7") << 0.7 << 2 << 255 << "Error: 12.04%";
    // No relative error exists for 0: no figure rather than "inf".
    QTest::newRow("0") << 0.0 << 2 << 255 << "";
}

void TestFrameRateSetup::pixelClockSearch()
{
    QFETCH(double, wanted);
    QFETCH(int, multiplier);
    QFETCH(int, divider);
    QFETCH(QString, error);
    int iImprovements = 0;
    const PixelClockChoice choice = SearchPixelClock(wanted, [&](int, int, double) { ++iImprovements; });
    QCOMPARE(choice.Multiplier, multiplier);
    QCOMPARE(choice.Divider, divider);
    QCOMPARE(choice.GeneratedMHz, multiplier * 100.0 / divider);
    QCOMPARE(PixelClockErrorText(choice.GeneratedMHz, wanted), error);
    QVERIFY(iImprovements >= 1);
}

void TestFrameRateSetup::sequences_data()
{
    QTest::addColumn<FrameRateSetupRequest>("request");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("code");

    QTest::newRow("Belmor+ Y1437P 100 FPS") << Request(kBelmorPlus, kY1437P, 5)
        << QStringList{"27=9", "30=110", "28=85", "29=100", "31=2400", "32=13", "33=6", "34=0", "35=100"} << 100;
    QTest::newRow("Belmor+ Y1437P 120 FPS: proxy number 12") << Request(kBelmorPlus, kY1437P, 6)
        << QStringList{"27=12", "30=110", "28=100", "29=100", "31=2300", "32=13", "33=6", "34=2", "35=120"} << 120;
    QTest::newRow("Arvex Y1437P 120 FPS") << Request(kArvex, kY1437P, 6)
        << QStringList{"27=12", "wait 150", "30=110", "28=10200", "31=2300", "35=120"} << 120;
    QTest::newRow("Belmor+ record 12 at 30 FPS: proxy number 9") << Request(kBelmorPlus, kY1437P120, 2)
        << QStringList{"27=9", "30=320", "28=100", "29=100", "31=2550", "32=13", "33=4", "34=2", "35=30"} << 30;
    QTest::newRow("Corvane Y1437P 30 FPS") << Request(kCorvane, kY1437P, 2)
        << QStringList{"open", "wait 150", "16=8", "wait 150", "30=320", "28=10200", "31=2550", "32=13", "35=30",
                       "sleep 100"}
        << 30;
    QTest::newRow("Corvane record 12: proxy number 8") << Request(kCorvane, kY1437P120, 0)
        << QStringList{"open", "wait 150", "16=8", "wait 150", "sleep 100"} << 255;
    QTest::newRow("Corvane Z603 25 FPS: CKDIV high bit") << Request(kCorvane, kZ603, 1)
        << QStringList{"open", "wait 150", "16=16", "wait 150", "30=" + QString::number((1 << 10) + 6),
                       "28=4967", "31=1300", "32=3", "35=25", "sleep 100"}
        << 25;
    QTest::newRow("Dunstel Z647 200 FPS") << Request(kDunstel, kZ647, 7)
        << QStringList{"27=9", "30=0", "28=231", "29=250", "31=1030", "32=3", "35=200"} << 200;
    QTest::newRow("Dunstel record 12: proxy number 7") << Request(kDunstel, kY1437P120, 0)
        << QStringList{"27=7"} << 255;
    QTest::newRow("Belmor+ default frequency") << Request(kBelmorPlus, kZ647, 0) << QStringList{"27=11"} << 255;

    FrameRateSetupRequest noProxy = Request(kArvex, 0, 0);
    noProxy.ProxyChosen = false;
    QTest::newRow("Arvex, no proxy chosen: nothing but the code") << noProxy << QStringList{} << 255;
    FrameRateSetupRequest corvaneNoProxy = Request(kCorvane, 0, 0);
    corvaneNoProxy.ProxyChosen = false;
    QTest::newRow("Corvane, no proxy chosen: both waits") << corvaneNoProxy
        << QStringList{"open", "wait 150", "wait 150", "sleep 100"} << 255;

    QTest::newRow("Belmor sends nothing") << Request(kBelmor, kY1437P, 5) << QStringList{} << 0;
    QTest::newRow("Eskra sends nothing") << Request(kEskra, kZ603, 1) << QStringList{} << 0;
    QTest::newRow("no board sends nothing") << Request(0, kZ603, 1) << QStringList{} << 0;

    FrameRateSetupRequest custom = Request(kBelmorPlus, kY1437P, 8);
    custom.CustomCKDIV = 2100;
    custom.CustomGSK = 1234;
    custom.Multiplier = 173;
    custom.Divider = 233;
    custom.WantedMHz = 74.25;
    custom.InvertDV = true;
    custom.DisableDV = true;
    custom.InvertMCLK = true;
    QTest::newRow("Belmor+ custom: raw CKDIV, M, D, option bits") << custom
        << QStringList{"27=9", "30=2100", "28=173", "29=233", "31=1234", "32=13", "33=10", "34=1", "35=254"} << 254;
    custom.InvertTx = true;
    custom.InvertPx = true;
    custom.InvertDV = false;
    custom.DisableDV = false;
    custom.InvertMCLK = false;
    QTest::newRow("Belmor+ custom: TX and pixel clock bits") << custom
        << QStringList{"27=9", "30=2100", "28=173", "29=233", "31=1234", "32=13", "33=4", "34=2", "35=254"} << 254;
    custom.Kind = kArvex;
    custom.WantedMHz = 42.999;
    QTest::newRow("Arvex custom: wanted x 100, truncated") << custom
        << QStringList{"27=9", "wait 150", "30=2100", "28=4299", "31=1234", "35=254"} << 254;
    custom.WantedMHz = 0.29;
    QTest::newRow("Arvex custom: 0.29 MHz is 29, not 28") << custom
        << QStringList{"27=9", "wait 150", "30=2100", "28=29", "31=1234", "35=254"} << 254;
    custom.Kind = kCorvane;
    custom.ProxyRow = kZ603;
    custom.WantedMHz = 42.999;
    QTest::newRow("Corvane custom: high bit and CKDIV mod 1024") << custom
        << QStringList{"open", "wait 150", "16=16", "wait 150", "30=" + QString::number(1024 + 2100 % 1024),
                       "28=4299", "31=1234", "32=3", "35=254", "sleep 100"}
        << 254;
    custom.Kind = kDunstel;
    QTest::newRow("Dunstel custom: M and D") << custom
        << QStringList{"27=15", "30=" + QString::number(1024 + 2100 % 1024), "28=173", "29=233", "31=1234", "32=3",
                       "35=254"}
        << 254;
}

void TestFrameRateSetup::sequences()
{
    QFETCH(FrameRateSetupRequest, request);
    QFETCH(QStringList, steps);
    QFETCH(int, code);
    const FrameRateSetupPlan plan = PlanFrameRateSetup(request);
    QCOMPARE(plan.Refusal, QString());
    QCOMPARE(StepTexts(plan), steps);
    QCOMPARE(plan.FrameRateCode, code);
}

void TestFrameRateSetup::belmorPlusTextsOnTheWire()
{
    const FrameRateSetupPlan plan = PlanFrameRateSetup(Request(kBelmorPlus, kY1437P, 5));
    QList<QByteArray> texts;
    for (const FrameRateSetupStep& step : plan.Steps)
        texts << FormatBelmorCommand(step.Id, step.Value);
    QCOMPARE(texts, (QList<QByteArray>{"!P0009", "!S0110", "!Q0085", "!R0100", "!T2400", "!U0013", "!V0006",
                                       "!W0000", "!X0100"}));
    QCOMPARE(plan.LogLine, QStringLiteral("Reconfiguration : 100 FPS"));

    // Every id the GigE path sends has a letter on that board.
    for (const FrameRateSetupStep& step : PlanFrameRateSetup(Request(kDunstel, kZ647, 7)).Steps)
        QVERIFY2(!FormatGigECommand(step.Id, step.Value).isEmpty(), qPrintable(QString::number(step.Id)));
}

void TestFrameRateSetup::arvexAndCorvaneRefuseAnUndefinedPixelFrequency_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("refused");
    QTest::newRow("Arvex Y420 25 FPS") << kArvex << kY420 << 1 << true;
    QTest::newRow("Corvane Y420 100 FPS") << kCorvane << kY420 << 5 << true;
    QTest::newRow("Corvane record 12 30 FPS") << kCorvane << kY1437P120 << 2 << true;
    QTest::newRow("Belmor+ Y420 25 FPS takes M and D") << kBelmorPlus << kY420 << 1 << false;
    QTest::newRow("Dunstel Y420 25 FPS takes M and D") << kDunstel << kY420 << 1 << false;
    QTest::newRow("Arvex Y420 default") << kArvex << kY420 << 0 << false;
    QTest::newRow("rate the proxy does not offer") << kBelmorPlus << kZ647 << 4 << true;
}

void TestFrameRateSetup::arvexAndCorvaneRefuseAnUndefinedPixelFrequency()
{
    QFETCH(int, kind);
    QFETCH(int, row);
    QFETCH(int, item);
    QFETCH(bool, refused);
    const FrameRateSetupPlan plan = PlanFrameRateSetup(Request(kind, row, item));
    QCOMPARE(!plan.Refusal.isEmpty(), refused);
    if (refused) {
        QVERIFY(plan.Steps.isEmpty());
        int iWrites = 0;
        FrameRateSetupLinks links;
        links.Write = [&](int, int) { ++iWrites; return 0; };
        QVERIFY(!RunFrameRateSetup(plan, row, links));
        QCOMPARE(iWrites, 0);
    }
    for (const FrameRateSetupStep& step : plan.Steps)
        QVERIFY(step.Value != int(ProxyParameterNotSet));
}

void TestFrameRateSetup::cellsFollowTheConfiguration()
{
    namespace id = ProxyParameterId;
    FrameRateSetupLinks links;
    links.Write = [](int, int) { return 0; };

    // A preset stores the divider word it sent in cell 196.
    FrameRateSetupPlan plan = PlanFrameRateSetup(Request(kCorvane, kZ603, 1));
    QVERIFY(RunFrameRateSetup(plan, kZ603, links));
    QCOMPARE(GetCurrent(kZ603, id::CKDIV), uint32_t((1 << 10) + 6));
    QCOMPARE(plan.ConfiguredGSK, 1300);

    // Default restores the default half and takes the 30 FPS GSK value.
    plan = PlanFrameRateSetup(Request(kCorvane, kZ603, 0));
    QVERIFY(RunFrameRateSetup(plan, kZ603, links));
    QCOMPARE(GetCurrent(kZ603, id::CKDIV), GetDefault(kZ603, id::CKDIV));
    QCOMPARE(plan.ConfiguredGSK, 1300);

    // Custom writes 360 and 361 and leaves 196.
    SetCurrent(kZ603, id::CKDIV, 77);
    FrameRateSetupRequest custom = Request(kDunstel, kZ603, 8);
    custom.CustomCKDIV = 3000;
    custom.CustomGSK = 999;
    plan = PlanFrameRateSetup(custom);
    QVERIFY(RunFrameRateSetup(plan, kZ603, links));
    QCOMPARE(GetCurrent(kZ603, id::CKDIV), 77u);
    QCOMPARE(GetCurrent(kZ603, id::CustomCKDIV), uint32_t(1024 + 3000 % 1024));
    QCOMPARE(GetCurrent(kZ603, id::CustomGSK), 999u);
}

void TestFrameRateSetup::failedWriteOrLibraryMakesTheRunFail()
{
    const FrameRateSetupPlan plan = PlanFrameRateSetup(Request(kCorvane, kY1437P, 2));
    QStringList written;
    FrameRateSetupLinks links;
    links.Write = [&](int p_iId, int p_iValue) {
        written << QString("%1=%2").arg(p_iId).arg(p_iValue);
        return p_iId == 28 ? 1 : 0;
    };
    links.OpenCorvane = []() { return 0; };
    // One refused write fails the run; the other parameters still go out.
    QVERIFY(!RunFrameRateSetup(plan, kY1437P, links));
    QCOMPARE(written.size(), 6);

    links.Write = [](int, int) { return 0; };
    QVERIFY(RunFrameRateSetup(plan, kY1437P, links));
    links.OpenCorvane = []() { return -5; };
    QVERIFY(!RunFrameRateSetup(plan, kY1437P, links));
}

QTEST_GUILESS_MAIN(TestFrameRateSetup)
#include "tst_frame_rate_setup.moc"
