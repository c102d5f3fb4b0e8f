// The shared simulator building blocks: settings file, sensor model, recorder and fault injector.
#include "sim/core/board_registry.h"
#include "sim/core/fault_injector.h"
#include "sim/core/message_recorder.h"
#include "sim/core/sensor_model.h"
#include "sim/core/simulation_settings.h"
#include "support/test_app_folder.h"

#include <QFile>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace sim;

namespace {
double Mean(const std::vector<uint16_t>& p_Frame)
{
    double sum = 0;
    for (uint16_t v : p_Frame)
        sum += v;
    return sum / static_cast<double>(p_Frame.size());
}

// Mean over pixels without a defect, so that dead and hot pixels do not skew levels.
double MeanOfGoodPixels(const std::vector<uint16_t>& p_Frame, int p_iWidth)
{
    double sum = 0;
    int n = 0;
    for (size_t i = 0; i < p_Frame.size(); ++i)
        if (SensorModel::DefectAt(static_cast<int>(i) % p_iWidth, static_cast<int>(i) / p_iWidth) == PixelDefect::None) {
            sum += p_Frame[i];
            ++n;
        }
    return sum / n;
}

std::vector<uint16_t> Render(const SensorModel& p_Model, uint64_t p_uIndex, int w = 160, int h = 120)
{
    std::vector<uint16_t> frame(static_cast<size_t>(w) * h);
    p_Model.renderFrame(p_uIndex, frame.data(), w, h, w);
    return frame;
}
} // namespace

class TestSimCore : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetSimulation(); }
    void cleanup() { ResetSimulation(); }

    void settingsDefaultsWithoutFile()
    {
        TestAppFolder folder;
        const SimulationSettings settings;
        QCOMPARE(settings.filePath(), folder.binPath() + "/Simulation.ini");
        QVERIFY(settings.simulationEnabled());
        for (BoardKind kind : kAllBoardKinds) {
            QVERIFY(settings.boardAvailable(kind));
            QCOMPARE(settings.frameRateCode(kind), 30);
        }
        QCOMPARE(settings.proxyIndex(BoardKind::Corvane), 2);
        QCOMPARE(settings.proxyIndex(BoardKind::Eskra), 5);
        QVERIFY(!QFile::exists(settings.filePath()));   // reading writes nothing
    }

    void settingsSwitchBoardsAndSurviveARestart()
    {
        TestAppFolder folder;
        {
            SimulationSettings settings;
            settings.setBoardPresent(BoardKind::Dunstel, false);
            settings.setProxyIndex(BoardKind::Arvex, 23);
            settings.setFrameRateCode(BoardKind::Arvex, 254);
        }
        const SimulationSettings reread;
        QVERIFY(!reread.boardAvailable(BoardKind::Dunstel));
        QVERIFY(reread.boardAvailable(BoardKind::Corvane));
        QCOMPARE(reread.proxyIndex(BoardKind::Arvex), 23);
        QCOMPARE(reread.frameRateCode(BoardKind::Arvex), 254);
        QCOMPARE(reread.proxyIndex(BoardKind::Belmor), 2);

        SimulationSettings off;
        off.setSimulationEnabled(false);
        QVERIFY(!SimulationSettings().boardAvailable(BoardKind::Corvane));
    }

    // A value that cannot be read keeps its default and is named once in a
    // warning (file, key, value); the keys that can be read still count.
    void settingsWarnOnceAboutAnIgnoredValue_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("proxy out of range") << QByteArray("[Corvane]\nProxyIndex=99\n") << "Corvane/ProxyIndex" << "99";
        QTest::newRow("proxy not a number") << QByteArray("[Corvane]\nProxyIndex=two\n") << "Corvane/ProxyIndex" << "two";
        QTest::newRow("rate not a number") << QByteArray("[Corvane]\nFrameRate=abc\n") << "Corvane/FrameRate" << "abc";
        QTest::newRow("rate beyond a byte") << QByteArray("[Corvane]\nFrameRate=3000\n") << "Corvane/FrameRate" << "3000";
        QTest::newRow("present garbled") << QByteArray("[Corvane]\nPresent=nope\n") << "Corvane/Present" << "nope";
        QTest::newRow("enabled garbled") << QByteArray("[Simulation]\nEnabled=maybe\n") << "Simulation/Enabled" << "maybe";
        QTest::newRow("list value") << QByteArray("[Corvane]\nProxyIndex=3,4\n") << "Corvane/ProxyIndex" << "3,4";
    }

    void settingsWarnOnceAboutAnIgnoredValue()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, key);
        QFETCH(QString, value);
        TestAppFolder folder;
        const QString sPath = folder.binPath() + "/Simulation.ini";
        QFile file(sPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text + "[Eskra]\nPresent=false\n[Arvex]\nProxyIndex=7\nFrameRate=254\n");
        file.close();

        static QStringList s_Warnings;
        s_Warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
              [](QtMsgType p_Type, const QMessageLogContext&, const QString& p_sText) {
                  if (p_Type == QtWarningMsg)
                      s_Warnings << p_sText;
              });
        const SimulationSettings settings;
        for (int i = 0; i < 3; ++i) {   // read again and again, as the boards do
            QVERIFY(settings.simulationEnabled());
            QVERIFY(settings.boardAvailable(BoardKind::Corvane));
            QCOMPARE(settings.proxyIndex(BoardKind::Corvane), 2);
            QCOMPARE(settings.frameRateCode(BoardKind::Corvane), 30);
            QVERIFY(!settings.boardPresent(BoardKind::Eskra));
            QCOMPARE(settings.proxyIndex(BoardKind::Arvex), 7);
            QCOMPARE(settings.frameRateCode(BoardKind::Arvex), 254);
        }
        qInstallMessageHandler(previous);
        QCOMPARE(s_Warnings.size(), 1);
        QVERIFY2(s_Warnings.first().contains(sPath), qPrintable(s_Warnings.first()));
        QVERIFY2(s_Warnings.first().contains(key + "=\"" + value + "\""), qPrintable(s_Warnings.first()));
    }

    // A file the settings wrote themselves, and one without the file, read without a word.
    void settingsReadSilentlyWhenSound()
    {
        TestAppFolder folder;
        static int s_iWarnings = 0;
        s_iWarnings = 0;
        const QtMessageHandler previous = qInstallMessageHandler(
              [](QtMsgType p_Type, const QMessageLogContext&, const QString&) { s_iWarnings += p_Type == QtWarningMsg; });
        SimulationSettings settings;
        QCOMPARE(settings.proxyIndex(BoardKind::Dunstel), 2);
        settings.setSimulationEnabled(true);
        settings.setBoardPresent(BoardKind::Dunstel, false);
        settings.setProxyIndex(BoardKind::Dunstel, 24);
        settings.setFrameRateCode(BoardKind::Dunstel, 255);
        QVERIFY(settings.simulationEnabled());
        QVERIFY(!settings.boardPresent(BoardKind::Dunstel));
        QCOMPARE(settings.proxyIndex(BoardKind::Dunstel), 24);
        QCOMPARE(settings.frameRateCode(BoardKind::Dunstel), 255);
        qInstallMessageHandler(previous);
        QCOMPARE(s_iWarnings, 0);
    }

    // A board set-up written through the board (the model) is still there
    // after the simulated boards are power-cycled.
    void boardSetupSurvivesPowerCycle()
    {
        TestAppFolder folder;
        auto model = SensorFor(BoardKind::Corvane);
        QCOMPARE(SensorFor(BoardKind::Corvane), model);
        model->setProxyIndex(10);
        model->setRegister(Register::FrameRateCode, 60);
        QCOMPARE(model->frameRateCode(), 60);
        ResetBoards();
        auto fresh = SensorFor(BoardKind::Corvane);
        QVERIFY(fresh != model);
        QCOMPARE(fresh->proxyIndex(), 10);
        QCOMPARE(fresh->frameRateCode(), 60);
        QCOMPARE(fresh->framesPerSecond(), 60.0);
        QCOMPARE(SensorFor(BoardKind::Arvex)->proxyIndex(), 2);   // other boards untouched
    }

    void geometryFromRecordFallbackAndOverride()
    {
        SensorModel model(BoardKind::Corvane, 2, 30);
        QCOMPARE(model.geometry(), (FrameGeometry{640, 480}));   // record 2, or the fallback
        QCOMPARE(model.geometry().pitchBytes(), 1280);
        model.setGeometryOverride(FrameGeometry{100, 50});
        QCOMPARE(model.geometry(), (FrameGeometry{100, 50}));
        model.clearGeometryOverride();
        QCOMPARE(model.geometry().width, 640);
        SensorModel outOfTable(BoardKind::Corvane, 40, 30);
        QCOMPARE(outOfTable.geometry(), kFallbackGeometry);
    }

    void fpgaRegistersThroughPersoPairs()
    {
        SensorModel model(BoardKind::BelmorPlus, 2, 30);
        model.setRegister(Register::PERSO_ADDR, 4);
        model.setRegister(Register::PERSO_VALUE, 0x2A);
        model.setRegister(Register::PERSO_ADDR, 7);
        QCOMPARE(model.fpgaRegister(4), 0x2A);
        QCOMPARE(model.fpgaRegister(7), 0);
        QCOMPARE(model.registerValue(Register::PERSO_ADDR), 7);
        QCOMPARE(static_cast<int>(model.fpgaRegisters().size()), 1);
        model.setRegister(500, 1);                 // outside the file: ignored
        QCOMPARE(model.registerValue(500), 0);
    }

    void framesAreDeterministicAndMoveSlowly()
    {
        const SensorModel a(BoardKind::Corvane, 2, 30), b(BoardKind::Arvex, 2, 30);
        QCOMPARE(Render(a, 7), Render(b, 7));         // same registers, same frame
        const auto f0 = Render(a, 0), f1 = Render(a, 1), f300 = Render(a, 300);
        QVERIFY(f0 != f1);                             // temporal noise
        QVERIFY(std::abs(Mean(f0) - Mean(f1)) < 50);   // but the scene hardly moves
        // Half a turn later the warm disc is on the other side.
        double diff = 0;
        for (size_t i = 0; i < f0.size(); ++i)
            diff += std::abs(int(f0[i]) - int(f300[i]));
        QVERIFY(diff / f0.size() > 500);
    }

    void nonUniformityAndBoardCorrection()
    {
        SensorModel model(BoardKind::BelmorPlus, 2, 30);
        // Two pixels side by side see almost the same scene; the spread between
        // neighbours is the offset and gain non-uniformity.
        auto spread = [&] {
            const auto f = Render(model, 3);
            double sum = 0;
            for (size_t i = 1; i < f.size(); ++i)
                sum += std::abs(int(f[i]) - int(f[i - 1]));
            return sum / f.size();
        };
        const double raw = spread();
        model.setBoardCorrectedOutput(true);
        const double corrected = spread();
        QVERIFY2(raw > 3 * corrected, qPrintable(QString("%1 vs %2").arg(raw).arg(corrected)));
    }

    void levelFollowsRegisters_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("delta");
        QTest::addColumn<bool>("raises");
        // Record 2 carries its GSK voltage on DAC B (ADD03), record 8 on DAC A.
        QTest::newRow("longer integration") << 2 << int(Register::TINT) << 100 << true;
        QTest::newRow("shorter integration") << 2 << int(Register::TINT) << -100 << false;
        QTest::newRow("higher GSK") << 2 << int(Register::FrameRateGsk) << 500 << true;
        QTest::newRow("lower GSK") << 2 << int(Register::FrameRateGsk) << -500 << false;
        QTest::newRow("ADD02 up") << 2 << int(Register::ADD02) << 300 << true;
        QTest::newRow("ADD03 up, not the GSK DAC") << 8 << int(Register::ADD03) << 300 << false;
        QTest::newRow("GSK DAC up") << 2 << int(Register::ADD03) << 5 << true;
        QTest::newRow("GSK DAC down") << 2 << int(Register::ADD03) << -5 << false;
        QTest::newRow("GSK DAC A up") << 8 << int(Register::ADD02) << 5 << true;
    }
    void levelFollowsRegisters()
    {
        QFETCH(int, record);
        QFETCH(int, id);
        QFETCH(int, delta);
        QFETCH(bool, raises);
        SensorModel model(BoardKind::Corvane, record, 30);
        const auto before = Render(model, 5);
        model.setRegister(id, model.registerValue(id) + delta);
        const auto after = Render(model, 5);
        const double change = MeanOfGoodPixels(after, 160) - MeanOfGoodPixels(before, 160);
        QVERIFY2(raises ? change > 100 : change < -100, qPrintable(QString::number(change)));
        // Dead and hot pixels follow nothing.
        for (size_t i = 0; i < before.size(); ++i)
            if (SensorModel::DefectAt(int(i) % 160, int(i) / 160) != PixelDefect::None)
                QCOMPARE(after[i], before[i]);
    }

    void defectsAreFixedAndPresent()
    {
        SensorModel model(BoardKind::Corvane, 2, 30);
        const auto f = Render(model, 0, 640, 480);
        int dead = 0, hot = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const PixelDefect d = SensorModel::DefectAt(x, y);
                if (d == PixelDefect::Dead) {
                    ++dead;
                    QVERIFY(f[size_t(y) * 640 + x] < 1000);
                } else if (d == PixelDefect::Hot) {
                    ++hot;
                    QVERIFY(f[size_t(y) * 640 + x] > 60000);
                }
            }
        QVERIFY(dead > 20 && dead < 400);
        QVERIFY(hot > 20 && hot < 400);
    }

    void outputDepthInversionAndPitch()
    {
        SensorModel model(BoardKind::Eskra, 5, 30);
        model.setOutputBits(14);
        const auto f = Render(model, 0, 84, 80);
        QVERIFY(*std::max_element(f.begin(), f.end()) < 16384);
        model.setRegister(Register::INVERT_BW_DISPLAY, 1);
        const auto inv = Render(model, 0, 84, 80);
        QCOMPARE(int(inv[100]), 16383 - int(f[100]));

        // A pitch wider than the line leaves the padding alone.
        std::vector<uint16_t> padded(size_t(10) * 4, 0xABCD);
        model.renderFrame(0, padded.data(), 8, 4, 10);
        QCOMPARE(padded[8], uint16_t(0xABCD));
        QCOMPARE(padded[39], uint16_t(0xABCD));
        QVERIFY(padded[10] != 0xABCD);
    }

    // The USB3 board's order, rendered in the synthesis pass: the same pixels
    // (defects included) high byte first, and the frame counted as any other.
    void highByteFirstIsTheSameFrameSwapped_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("16 bits") << 16 << false << 640 << 480;
        QTest::newRow("inverted") << 16 << true << 640 << 480;
        QTest::newRow("14 bits, odd width") << 14 << false << 83 << 7;
    }
    void highByteFirstIsTheSameFrameSwapped()
    {
        QFETCH(int, bits);
        QFETCH(bool, invert);
        QFETCH(int, width);
        QFETCH(int, height);
        SensorModel model(BoardKind::Corvane, 14, 30);
        model.setOutputBits(bits);
        model.setRegister(Register::INVERT_BW_DISPLAY, invert ? 1 : 0);
        std::vector<uint8_t> bytes(size_t(width) * height * 2);
        for (uint64_t k = 0; k < 2; ++k) {
            QCOMPARE(model.renderNextFrameHighByteFirst(bytes.data(), FrameGeometry{width, height}),
                     SensorModel::kFirstFrameCounter + uint32_t(k));
            const auto expected = Render(model, k, width, height);
            for (size_t i = 0; i < expected.size(); ++i)
                if (uint16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]) != expected[i])
                    QFAIL(qPrintable(QString("frame %1, pixel %2").arg(k).arg(i)));
        }
        QCOMPARE(model.framesRendered(), uint64_t(2));
    }

    void frameCounterWrapsEarly()
    {
        SensorModel model(BoardKind::Corvane, 2, 30);
        std::vector<uint16_t> frame(16 * 16);
        QCOMPARE(model.frameCounter(), SensorModel::kFirstFrameCounter);
        uint32_t last = 0;
        for (int i = 0; i < 20; ++i)
            last = model.renderNextFrame(frame.data(), 16, 16, 16);
        QCOMPARE(last, uint32_t(3));     // 0xFFFFFFF0 + 19 wrapped
        QCOMPARE(model.framesRendered(), uint64_t(20));
    }

    void faultsCountCalls()
    {
        InjectFault(BoardKind::Corvane, Fault::WriteFailure, 2, 1);
        QVERIFY(!FaultPending(BoardKind::Corvane, Fault::WriteFailure));
        QVERIFY(!ConsumeFault(BoardKind::Corvane, Fault::WriteFailure));   // skipped
        QVERIFY(FaultPending(BoardKind::Corvane, Fault::WriteFailure));
        QVERIFY(ConsumeFault(BoardKind::Corvane, Fault::WriteFailure));
        QVERIFY(ConsumeFault(BoardKind::Corvane, Fault::WriteFailure));
        QVERIFY(!ConsumeFault(BoardKind::Corvane, Fault::WriteFailure));   // used up
        QVERIFY(!ConsumeFault(BoardKind::Arvex, Fault::WriteFailure));     // per board

        InjectFault(BoardKind::Arvex, Fault::ChangedSampleSize, -1, 0, 240);
        for (int i = 0; i < 5; ++i)
            QVERIFY(ConsumeFault(BoardKind::Arvex, Fault::ChangedSampleSize));
        QCOMPARE(FaultParameter(BoardKind::Arvex, Fault::ChangedSampleSize), 240);
        ClearFault(BoardKind::Arvex, Fault::ChangedSampleSize);
        QVERIFY(!ConsumeFault(BoardKind::Arvex, Fault::ChangedSampleSize));
    }

    void recorderKeepsExactBytesInOrder()
    {
        const QByteArray withZeros("*O00300\0", 8);
        RecordMessage(BoardKind::Arvex, "serial", withZeros);
        RecordMessage(BoardKind::Arvex, "serial", "!p");
        RecordMessage(BoardKind::Corvane, "property", "8,51");
        QCOMPARE(RecordedBytes(BoardKind::Arvex), (QList<QByteArray>{withZeros, "!p"}));
        QCOMPARE(RecordedBytes(BoardKind::Arvex).first().size(), 8);
        QCOMPARE(RecordedBytes(BoardKind::Corvane, "serial"), QList<QByteArray>{});
        const auto messages = RecordedMessages(BoardKind::Arvex);
        QVERIFY(messages[0].timestampNs <= messages[1].timestampNs);
        ClearRecordedMessages(BoardKind::Arvex);
        QVERIFY(RecordedBytes(BoardKind::Arvex).isEmpty());
        QCOMPARE(RecordedBytes(BoardKind::Corvane).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSimCore)
#include "tst_sim_core.moc"
