// The Camera Link starts that the ordinary road does not take: the two-tap camera file, and windowing on.
// Each streams on the simulated board through the main button; the geometry and the pixels of a saved frame
// are checked against what the simulated sensor sends.
#include "road_bench.h"

#include "app/app_paths.h"
#include "params/data_cell_ids.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/frame_buffers.h"
#include "sim/core/board_registry.h"

#include <QDir>

#include <cstring>
#include <vector>

using namespace sim;

namespace {

struct Streamed
{
    int width = 0;
    int height = 0;
    int pitch = 0;
    QByteArray raw;        // the first frame of a RAW save-all series
    int matchedFrame = -1; // the sensor's frame it is, or -1
    int tintMaximum = -1;
    int tintValue = -1;
    int sliderMaximum = -1;
    int32_t sensorTint = -1;
};

// The simulated sensor's frame, among those it sent last, that p_Raw holds.
int MatchingFrame(BoardKind p_Board, const QByteArray& p_Raw, int p_iWidth, int p_iHeight)
{
    const auto sensor = SensorFor(p_Board);
    const int64_t iRendered = int64_t(sensor->framesRendered());
    std::vector<uint16_t> frame(size_t(p_iWidth) * size_t(p_iHeight));
    if (p_Raw.size() != int(frame.size() * 2))
        return -1;
    for (int64_t k = iRendered - 1; k >= 0 && k >= iRendered - 400; --k) {
        sensor->renderFrame(uint64_t(k), frame.data(), p_iWidth, p_iHeight, p_iWidth);
        if (std::memcmp(frame.data(), p_Raw.constData(), size_t(p_Raw.size())) == 0)
            return int(k);
    }
    return -1;
}

// Starts the connected board, saves one RAW frame once frames are shown,
// reads what the operator's controls and the sensor hold, and stops.
Streamed StreamOneFrame(Road& p_Road, BoardKind p_Board)
{
    MainWindow& w = *p_Road.Window;
    Streamed s;
    QString sFolder;
    bool bSaving = false, bStopped = false;
    auto* pPoll = new QTimer(&w);
    QObject::connect(pPoll, &QTimer::timeout, &w, [&]() {
        if (!bSaving) {
            if (w.FramesDisplayed <= 0 || w.StopAcquisition)
                return;
            sFolder = ApplicationDirPath() + "/../SavedImages/" + QString::fromUtf8(g_szProxyName);
            QDir().mkpath(sFolder);
            w.SaveAllFramesBmp = false;
            w.SaveAllFramesRaw = true;
            w.NumberFrames = 1;
            w.SaveAllFramesRunning = true;
            bSaving = true;
            return;
        }
        if (w.SaveAllFramesRunning)
            return;
        pPoll->stop();
        s.width = w.FrameWidth;
        s.height = w.FrameHeight;
        s.pitch = w.FramePitch;
        const QStringList files = QDir(sFolder).entryList({"Image*.raw"}, QDir::Files);
        if (!files.isEmpty()) {
            QFile file(sFolder + "/" + files.first());
            if (file.open(QIODevice::ReadOnly))
                s.raw = file.readAll();
        }
        // Matched while the registers stand as they streamed: the stop parks the sensor.
        s.matchedFrame = MatchingFrame(p_Board, s.raw, s.width, s.height);
        s.tintMaximum = p_Road.ui()->spinBox_TINT->maximum();
        s.tintValue = p_Road.ui()->spinBox_TINT->value();
        s.sliderMaximum = p_Road.ui()->horizontalSlider_TINT->maximum();
        s.sensorTint = SensorFor(p_Board)->registerValue(Register::TINT);
        p_Road.press();
        bStopped = true;
    });
    pPoll->start(10);
    p_Road.press();
    QElapsedTimer clock;
    clock.start();
    while (!bStopped && clock.elapsed() < 30000)
        QTest::qWait(20);
    return s;
}

// The camera file the grabber was given.
QString CameraFileSet()
{
    QString sPath;
    for (const auto& call : multicam_test::ParamCalls())
        if (call.kind == 'S' && call.param == MC_CamFile)
            sPath = QString::fromStdString(call.text);
    return sPath;
}

} // namespace

class tst_cameralink_start_paths : public QObject
{
    Q_OBJECT

private slots:
    void twoTapCameraFileStreams();
    void windowingOnRecomputesTheIntegrationRange();
};

// The Y1437P proxy at 120 FPS reads out on two taps: a board that says so
// at connection ticks the two-tap box, and the start loads the two-tap
// camera file, 1028 x 768 pixels.
void tst_cameralink_start_paths::twoTapCameraFileStreams()
{
    Road road(BoardKind::BelmorPlus, 12);
    SimulationSettings().setFrameRateCode(BoardKind::BelmorPlus, 120);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(3);
    road.press();
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    QCOMPARE(w.CurrentProxyIndex.load(), 12);
    QVERIFY(road.ui()->checkBox_2Tap->isVisible());
    QVERIFY(road.ui()->checkBox_2Tap->isChecked());
    QVERIFY(w.TwoTap);
    multicam_test::ClearParamCalls();

    const Streamed s = StreamOneFrame(road, BoardKind::BelmorPlus);
    QVERIFY2(!w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    QVERIFY2(CameraFileSet().replace('\\', '/').endsWith("/Camfiles/CamFile_Y1437P_2.cam"),
             qPrintable(CameraFileSet()));
    QCOMPARE(s.width, 1028);
    QCOMPARE(s.height, 768);
    QCOMPARE(s.pitch, 2056);
    QCOMPARE(s.raw.size(), 1028 * 768 * 2);
    QVERIFY2(s.matchedFrame >= 0, "the saved frame is none of the frames the sensor sent");
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
}

// With windowing on, the start narrows the integration time to the window:
// 640 pixels over a divisor of 1 with blind columns 0x12 give 640 - 3 - 13 =
// 624, the slider reaches 640, and the sensor takes 624.
void tst_cameralink_start_paths::windowingOnRecomputesTheIntegrationRange()
{
    Road road(BoardKind::Arvex, 2);
    // The windowing camera file of the record's proxy: a 640 x 240 window.
    const QString sProxy = QString::fromLatin1(ProxyModelName(2));
    QVERIFY(QDir().mkpath(road.Folder.filePath("../Camfiles/Windowing")));
    QFile camFile(road.Folder.filePath("../Camfiles/Windowing/CamFile_Windowing_" + sProxy + ".cam"));
    QVERIFY(camFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    camFile.write("    Taps =              1;\n"
                  "    Hactive_Px =        640;\n    Vactive_Ln =        240;\n"
                  "    HSyncAft_Tk =       0;\n    VSyncAft_Ln =       0;\n");
    camFile.close();
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(1);
    QVERIFY(road.ui()->checkBox_WindowingEnabled->isEnabled());
    road.ui()->checkBox_WindowingEnabled->setChecked(true);
    QVERIFY(!g_bWindowingDisabled);
    road.press();
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    QCOMPARE(w.CurrentProxyIndex.load(), 2);
    QCOMPARE(GetCurrent(2, ProxyParameterId::WindowingDivisor), 1u);
    SetCurrent(2, ProxyParameterId::BlindColumns, 0x12);
    multicam_test::ClearParamCalls();

    const Streamed s = StreamOneFrame(road, BoardKind::Arvex);
    g_bWindowingDisabled = true;
    QVERIFY2(!w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    QVERIFY2(CameraFileSet().replace('\\', '/').endsWith("/Camfiles/Windowing/CamFile_Windowing_" + sProxy + ".cam"),
             qPrintable(CameraFileSet()));
    QCOMPARE(s.width, 640);
    QCOMPARE(s.height, 240);
    QCOMPARE(s.raw.size(), 640 * 240 * 2);
    QVERIFY2(s.matchedFrame >= 0, "the saved frame is none of the frames the sensor sent");
    QCOMPARE(s.tintMaximum, 624);
    QCOMPARE(s.tintValue, 624);
    QCOMPARE(s.sliderMaximum, 640);
    QCOMPARE(s.sensorTint, 624);
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
}

QTEST_MAIN(tst_cameralink_start_paths)
#include "tst_cameralink_start_paths.moc"
