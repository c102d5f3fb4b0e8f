// The free rules behind the proxy-driven controls: voltages, pixel count, exposure ranges, password, frame-rate values, proxy texts.
#include "mainwindow/proxy_controls.h"
#include "mainwindow/advanced_user_password.h"

#include "board/sensor_parameter_math.h"
#include "params/proxy_parameter_table.h"

#include <QtTest>

class TestProxyControls : public QObject
{
    Q_OBJECT

private slots:
    void init() { InitProxyParameterTable(); }

    void voltageText_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const int a02 = int(BiasInput::ADD02), a03 = int(BiasInput::ADD03), a0C = int(BiasInput::ADD0C),
                  a0D = int(BiasInput::ADD0D);
        QTest::newRow("Z602 02 min") << a02 << "Z602" << 0 << "0.8V";
        QTest::newRow("Z602 02 max") << a02 << "Z602" << 4095 << "3.2V";
        QTest::newRow("Z603 shares Z602") << a02 << "Z603" << 4095 << "3.2V";
        QTest::newRow("Z654 02 max") << a02 << "Z654" << 4095 << "3.7V";
        QTest::newRow("Y1437P 02 half") << a02 << "Y1437P" << 2048 << "3.0V";
        QTest::newRow("Z1641 03 min is 0.0") << a03 << "Z1641" << 0 << "0.0V";
        QTest::newRow("Z668P 03 max") << a03 << "Z668P" << 4095 << "4.4V";
        // 4.45 rounds to the single-precision 4.4499998.
        QTest::newRow("Z668 03 max") << a03 << "Z668" << 4095 << "4.4V";
        QTest::newRow("Z647 0C min") << a0C << "Z647" << 0 << "4.1V";
        QTest::newRow("Y1437P 0C max") << a0C << "Y1437P" << 4095 << "2.5V";
        QTest::newRow("Y1437 0C max") << a0C << "Y1437" << 4095 << "2.6V";
        QTest::newRow("Z671Pv2 0D max") << a0D << "Z671Pv2" << 4095 << "2.5V";
        QTest::newRow("Y420 0D min") << a0D << "Y420" << 0 << "0.3V";
        QTest::newRow("X1550 always 0") << a02 << "X1550" << 4095 << "0.0V";
        QTest::newRow("T230 always 0") << a03 << "T230" << 2000 << "0.0V";
        QTest::newRow("no proxy") << a0D << "" << 4095 << "0.0V";
        QTest::newRow("case matters") << a02 << "z602" << 4095 << "0.0V";
    }
    void voltageText()
    {
        QFETCH(int, input);
        QFETCH(QString, model);
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(BiasVoltageText(BiasInput(input), model, code), text);
    }

    void pixelCount_data()
    {
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("text");
        QTest::newRow("uniform 640x480") << 307200 << 640 << 480 << "100.0000% - 307200 pixels";
        QTest::newRow("one pixel") << 1 << 640 << 480 << "0.0003% - 1 pixels";
        QTest::newRow("half") << 153600 << 640 << 480 << "50.0000% - 153600 pixels";
        QTest::newRow("zero pixels") << 0 << 640 << 480 << "";
        QTest::newRow("no geometry yet") << 12 << 0 << 0 << "";
        QTest::newRow("no height") << 12 << 640 << 0 << "";
    }
    void pixelCount()
    {
        QFETCH(int, pixels);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, text);
        QCOMPARE(HistogramPixelCountText(pixels, width, height), text);
    }

    void exposureRange()
    {
        // The 30 FPS line time when the rate is the board's default one.
        const auto range = X1550ExposureRange(255, 0, 1, 1);
        QVERIFY(range);
        QCOMPARE(range->minimum, 25);
        QCOMPARE(range->maximum, 66212);
        QCOMPARE(range->singleStep, 32);
        QCOMPARE(range->sliderValue, 25);

        // The low three bits of the divider scale every bound by 2^k.
        const auto scaled = X1550ExposureRange(255, 8 + 2, 1, 2);
        QVERIFY(scaled);
        // 4 x (32.3499 - 7.2725) and 4 x (2 x 32.3499 - 7.2725), truncated.
        QCOMPARE(scaled->minimum, 100);
        QCOMPARE(scaled->spinBoxValue, 229);

        // A rate given in frames per second.
        const auto at25 = X1550ExposureRange(25, 0, 100, 100);
        QVERIFY(at25);
        // t = 1e9 / (25 x 1329216) = 30.0929: a step of 1.29 t, the value
        // 100 steps less 0.29 t, both truncated.
        QCOMPARE(at25->singleStep, 38);
        QCOMPARE(at25->spinBoxValue, 3873);

        // Not read yet: no finite clock period, the controls keep their ranges.
        QVERIFY(!X1550ExposureRange(0, 0, 1, 1));
        QVERIFY(!X1550ExposureRange(-3, 0, 1, 1));
    }

    // The X1550's exposure controls take their bounds and step from the TINT
    // range of "Set parameters"; these are the numbers the window showed
    // before the two shared the arithmetic.
    void x1550ExposureTable_data()
    {
        QTest::addColumn<int>("frameRate");
        QTest::addColumn<int>("divider");
        QTest::addColumn<uint>("sliderLines");
        QTest::addColumn<uint>("spinBoxLines");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("sliderValue");
        QTest::addColumn<int>("spinBoxValue");
        QTest::newRow("default rate") << 255 << 0 << 1u << 1u << 25 << 66212 << 32 << 25 << 25;
        QTest::newRow("default rate, divider 3") << 255 << 3 << 100u << 2047u << 200 << 529703 << 258 << 25821 << 529703;
        QTest::newRow("past the default") << 300 << 0 << 10u << 20u << 25 << 66212 << 32 << 316 << 639;
        QTest::newRow("1 FPS") << 1 << 0 << 2u << 2047u << 752 << 1986388 << 970 << 1722 << 1986388;
        QTest::newRow("25 FPS") << 25 << 0 << 100u << 100u << 30 << 79455 << 38 << 3873 << 3873;
        QTest::newRow("30 FPS") << 30 << 1 << 2047u << 1u << 50 << 132425 << 64 << 132425 << 50;
        QTest::newRow("50 FPS") << 50 << 2 << 500u << 1000u << 60 << 158911 << 77 << 38802 << 77622;
        QTest::newRow("60 FPS") << 60 << 7 << 2047u << 2047u << 1604 << 4237629 << 2070 << 4237629 << 4237629;
        QTest::newRow("100 FPS") << 100 << 0 << 0u << 1u << 7 << 19863 << 9 << -2 << 7;
        QTest::newRow("120 FPS") << 120 << 4 << 1u << 50u << 100 << 264851 << 129 << 100 << 6440;
        QTest::newRow("200 FPS") << 200 << 5 << 300u << 3u << 120 << 317822 << 155 << 46548 << 430;
        QTest::newRow("custom 254") << 254 << 6 << 1000u << 1000u << 189 << 500507 << 244 << 244479 << 244479;
        QTest::newRow("divider high bits ignored") << 30 << 10 << 1u << 2u << 100 << 264851 << 129 << 100 << 229;
        QTest::newRow("divider 15") << 60 << 15 << 10u << 10u << 1604 << 4237629 << 2070 << 20238 << 20238;
        QTest::newRow("negative divider") << 25 << -1 << 5u << 5u << 3851 << 10170311 << 4968 << 23727 << 23727;
        QTest::newRow("undefined slider cell") << 30 << 7 << 65535u << 65535u << 3209 << 8475259 << 4140 << 271365528 << 271365528;
        QTest::newRow("huge line count") << 1 << 7 << 4000000000u << 1u << 96297 << 254257788 << 124223 << 2147483647 << 96297;
    }
    void x1550ExposureTable()
    {
        QFETCH(int, frameRate);
        QFETCH(int, divider);
        QFETCH(uint, sliderLines);
        QFETCH(uint, spinBoxLines);
        const std::optional<ExposureRange> range = X1550ExposureRange(frameRate, divider, sliderLines, spinBoxLines);
        QVERIFY(range);
        QTEST(range->minimum, "minimum");
        QTEST(range->maximum, "maximum");
        QTEST(range->singleStep, "step");
        QTEST(range->sliderValue, "sliderValue");
        QTEST(range->spinBoxValue, "spinBoxValue");
        const TintRange tint = ComputeTintRange(frameRate, divider);
        QCOMPARE(range->minimum, tint.Minimum);
        QCOMPARE(range->maximum, tint.Maximum);
        QCOMPARE(range->singleStep, tint.SingleStep);
    }

    void password_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("result");
        QTest::newRow("right") << "quartzine" << 0;
        QTest::newRow("capitals") << "QUARTZINE" << 0;
        QTest::newRow("mixed") << "QuartZine" << 0;
        QTest::newRow("empty sorts first") << "" << 1;
        QTest::newRow("prefix") << "quartz" << 1;
        QTest::newRow("longer") << "quartzines" << -1;
        QTest::newRow("smaller letter") << "quartzina" << 1;
        QTest::newRow("greater letter") << "quartzinf" << -1;
        QTest::newRow("long entry") << QString(500, QChar('x')) << -1;
        QTest::newRow("multibyte") << QString::fromUtf8("quartzin\xC3\xA9") << -1;
    }
    void password()
    {
        QFETCH(QString, typed);
        QFETCH(int, result);
        QCOMPARE(CompareAdvancedUserPassword(typed), result);
    }

    void proxyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("record");
        QTest::newRow("Z654") << "Z654" << 1;
        QTest::newRow("Y1437P") << "Y1437P" << 9;
        QTest::newRow("No Proxy") << "No Proxy" << 13;
        QTest::newRow("X1550") << "X1550" << 14;
        QTest::newRow("Z603") << "Z603" << 17;
        QTest::newRow("Z1641") << "Z1641" << 23;
        QTest::newRow("Z633") << "Z633" << 24;
        QTest::newRow("placeholder") << "Proxy Board..." << 0;
        QTest::newRow("unknown") << "Q999" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("lower case") << "z654" << 0;
    }
    void proxyText()
    {
        QFETCH(QString, text);
        QFETCH(int, record);
        QCOMPARE(ProxyIndexFromProxyText(text), record);
    }

    // The model name of a record, as the parameter library names it; the
    // placeholder records and the unnamed one give the empty text.
    void modelNameOfRecord_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("name");
        QTest::newRow("0 none") << 0 << "";
        QTest::newRow("1 Z654") << 1 << "Z654";
        QTest::newRow("9 Y1437P") << 9 << "Y1437P";
        QTest::newRow("12 Y1437P at 120 FPS") << 12 << "Y1437P";
        QTest::newRow("13 No Proxy") << 13 << "";
        QTest::newRow("14 X1550") << 14 << "X1550";
        QTest::newRow("22 unnamed") << 22 << "";
        QTest::newRow("24 Z633") << 24 << "Z633";
        QTest::newRow("below") << -1 << "";
        QTest::newRow("above") << 25 << "";
    }
    void modelNameOfRecord()
    {
        QFETCH(int, record);
        QFETCH(QString, name);
        QCOMPARE(ModelNameOfRecord(record), name);
    }

    void frameRatePositions()
    {
        const int rates[] = {25, 30, 50, 60, 100, 120, 200};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(FrameRatePosition(rates[i]), i);
        for (int other : {0, 75, 254, 255, -1})
            QCOMPARE(FrameRatePosition(other), -1);
    }

    // A rate the record does not offer gives no value rather than 65535.
    void frameRateValuesNeverCarryTheUnsetMarker()
    {
        const int p = 9;
        SetCurrent(p, ControlCells::CKDIVPerFrameRate + 2, 77);
        SetCurrent(p, ControlCells::GSKPerFrameRate + 2, 1234);
        FrameRateValues at50 = DynamicFrequencyValues(p, 50);
        QVERIFY(at50.listed);
        QCOMPARE(at50.ckdiv.value_or(0), 77u);
        QCOMPARE(at50.gsk.value_or(0), 1234u);

        SetCurrent(p, ControlCells::CKDIVPerFrameRate + 6, ProxyParameterNotSet);
        SetCurrent(p, ControlCells::GSKPerFrameRate + 6, ProxyParameterNotSet);
        const FrameRateValues at200 = DynamicFrequencyValues(p, 200);
        QVERIFY(at200.listed);
        QVERIFY(!at200.ckdiv);
        QVERIFY(!at200.gsk);

        SetCurrent(p, ControlCells::CustomCKDIV, 40);
        SetCurrent(p, ControlCells::CustomGSK, ProxyParameterNotSet);
        const FrameRateValues custom = DynamicFrequencyValues(p, 254);
        QCOMPARE(custom.ckdiv.value_or(0), 40u);
        QVERIFY(!custom.gsk);

        QVERIFY(!DynamicFrequencyValues(p, 255).listed);
        QVERIFY(!DynamicFrequencyValues(p, 75).listed);
    }

    void defaultDivider()
    {
        const int p = 9;
        SetCurrent(p, ControlCells::CKDIVHighBit, 1);
        const uint32_t uGigE = GetDefault(p, ControlCells::CKDIVStartGigE);
        if (uGigE != ProxyParameterNotSet)
            QCOMPARE(DefaultFrequencyDivider(p, BoardKind::Dunstel).value_or(0), 1024u + uGigE);
        QVERIFY(!DefaultFrequencyDivider(p, BoardKind::Eskra));
        QVERIFY(!DefaultFrequencyDivider(p, BoardKind::None));
        SetCurrent(p, ControlCells::CKDIVHighBit, ProxyParameterNotSet);
        QVERIFY(!DefaultFrequencyDivider(p, BoardKind::Dunstel));
    }

    void gskChannels()
    {
        QCOMPARE(GskDacForChannel(2).dac, 0);
        QCOMPARE(GskDacForChannel(3).spinBoxCell, 175);
        QCOMPARE(GskDacForChannel(12).sliderCell, 135);
        QCOMPARE(GskDacForChannel(13).dac, 3);
        QCOMPARE(GskDacForChannel(65535).dac, -1);
        QCOMPARE(GskDacForChannel(1).dac, -1);
    }

    void modelDefaults()
    {
        QVERIFY(!ProxyModelDefaultsFor(0));
        QVERIFY(!ProxyModelDefaultsFor(13));
        QVERIFY(!ProxyModelDefaultsFor(22));
        QVERIFY(!ProxyModelDefaultsFor(25));
        const auto p9 = ProxyModelDefaultsFor(9);
        const auto p12 = ProxyModelDefaultsFor(12);
        QVERIFY(p9 && p12);
        QCOMPARE(p9->name, QStringLiteral("Y1437P"));
        QCOMPARE(p12->name, p9->name);
        QCOMPARE(p12->voltage0D, p9->voltage0D);
        QCOMPARE(ProxyModelDefaultsFor(3)->voltage0C, QStringLiteral("5.0V"));
        QCOMPARE(ProxyModelDefaultsFor(3)->camFileSizeMode, 3);
        QCOMPARE(ProxyModelDefaultsFor(5)->sizeACaption, QStringLiteral("Default size"));
        QCOMPARE(ProxyModelDefaultsFor(16)->voltage02, QStringLiteral("0V"));
        QCOMPARE(ProxyModelDefaultsFor(24)->name, QStringLiteral("Z633"));
    }
};

QTEST_GUILESS_MAIN(TestProxyControls)
#include "tst_proxy_controls.moc"
