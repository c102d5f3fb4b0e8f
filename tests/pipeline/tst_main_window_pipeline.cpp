// Tests of the pipeline inside the real main window: the one-frame hand-off, the FPN reference, AGC and LUT glue.
#include "frame_source.h"
#include "reference_chain.h"
#include "support/test_app_folder.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "board/cameralink_serial.h"
#include "board/links/board_traits.h"
#include "platform/clserial/clserial.h"
#include "sim/core/board_registry.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "pipeline/image_miniature.h"
#include "pipeline/pipeline_cells.h"
#include "pipeline/pipeline_state.h"
#include "ui_MainWindow.h"
#include "app/message_boxes.h"

#include <QFile>
#include <opencv2/highgui.hpp>
#include <opencv2/imgproc.hpp>
#include <QtTest>

#include <iostream>
#include <sstream>

namespace {

struct CoutCapture
{
    std::ostringstream Text;
    std::streambuf* Old;
    CoutCapture() : Old(std::cout.rdbuf(Text.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(Old); }
};

// A main window as it stands once a board streams: board kind, proxy and the
// identity offset and gain (offset 0, gain 1, centre 0).
struct Streaming
{
    TestAppFolder Folder;
    MainWindow Window;
    static constexpr int kProxy = 4;

    explicit Streaming(int p_iKind)
    {
        // A board write that fails (no link here) answers its box at once.
        SetMessageBoxPresenter([](const MessageBoxRequest&) { return 0; });
        Window.GetPointerToInstance();
        Window.DigiBoardKind = BoardKindFromIndex(p_iKind);
        Window.CurrentProxyIndex = kProxy;
        Window.Connected = true;
        Window.FrameCounter = 1;
        g_bDisplayBusy = false;
        g_bNewFPNReference = false;
        for (auto [cell, value] : {std::pair<int, uint32_t>{PipelineCell::ApplyNUC, 0},
                                   {PipelineCell::ImageOffset, 0},
                                   {PipelineCell::ImageGain, 1},
                                   {PipelineCell::AGCCentre, 0},
                                   {PipelineCell::HDR, 0},
                                   {PipelineCell::InvertBW, 0},
                                   {PipelineCell::BPCorrectionMode, 0},
                                   {PipelineCell::UpRow, 0},
                                   {PipelineCell::UpCol, 0},
                                   {PipelineCell::SaveStream, 0},
                                   {PipelineCell::InterpolationMethod, 1}})
            SetCurrent(kProxy, cell, value);
    }

    ~Streaming() { SetMessageBoxPresenter({}); }

    QString log() const
    {
        QFile f(Window.Log->filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

} // namespace

class tst_main_window_pipeline : public QObject
{
    Q_OBJECT

private slots:
    void guiThreadFrameIsShownAtOnce();
    void workerFramesWaitForTheDisplay();
    void cameraLinkFrameNeedsReadyFlag();
    void chainMatchesReferenceInWindow();
    void singleFpnReference();
    void averagedFpnReferenceAndButton();
    void boardSideFpnRequests();
    void agcWritesGainAndOffset();
    void lutFiles();
    void bayerOnlyOnProxy14();
    void demoModeFrame();
    void disconnectedFrameResetsDisplay();
    void zoomAndMiniatureThroughTheWindow();
    void miniatureCrossOnTheScaledCopy_data();
    void miniatureCrossOnTheScaledCopy();
};

void tst_main_window_pipeline::guiThreadFrameIsShownAtOnce()
{
    Streaming s(5); // the serial-port board delivers on the GUI thread
    FrameSource src(s.Window, 64, 48);
    src.fill(0x4321);
    src.deliver();
    // The direct connection ran the display slot inside the emission.
    QVERIFY(!g_bDisplayBusy);
    QCOMPARE(s.Window.FramesDisplayed.load(), 1);
    QCOMPARE(int(s.Window.MatDisplayGrey.at<uint8_t>(10, 10)), 0x43);
    QCOMPARE(s.Window.MatScaledCopy.cols, 64);
    QVERIFY(s.Window.StreamStarted);
    QCOMPARE(s.Window.ImageView->frameSize().width(), 64);
    src.deliver();
    QCOMPARE(s.Window.FramesDisplayed.load(), 2);
    QCOMPARE(s.Window.Pipeline->DroppedFrames.load(), 0u);
}

void tst_main_window_pipeline::workerFramesWaitForTheDisplay()
{
    Streaming s(4);
    FrameSource src(s.Window, 64, 48);
    src.startWorker(2000.0, 5);
    while (!src.workerDone()) // no event processing: the display slot must not run yet
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    src.stop();
    // One frame in flight: the other four were dropped, not queued.
    QVERIFY(g_bDisplayBusy);
    QCOMPARE(s.Window.Pipeline->DroppedFrames.load(), 4u);
    QCOMPARE(s.Window.FramesDisplayed.load(), 0);
    QCoreApplication::processEvents();
    QVERIFY(!g_bDisplayBusy);
    QCOMPARE(s.Window.FramesDisplayed.load(), 1);
    src.startWorker(2000.0, 1);
    QTRY_VERIFY(src.workerDone());
    src.stop();
    QTRY_COMPARE_WITH_TIMEOUT(s.Window.FramesDisplayed.load(), 2, 1000);
}

void tst_main_window_pipeline::cameraLinkFrameNeedsReadyFlag()
{
    Streaming s(2);
    FrameSource src(s.Window, 32, 16);
    s.Window.CameraLinkFrameReady = false;
    s.Window.UpdateDisplay(g_pRawImage16b);
    QVERIFY(!g_bDisplayBusy);
    QCOMPARE(s.Window.Pipeline->DroppedFrames.load(), 1u);
    s.Window.CameraLinkFrameReady = true;
    ++s.Window.FramesReceived;
    s.Window.UpdateDisplay(g_pRawImage16b); // on the GUI thread the display slot runs at once
    QVERIFY(!s.Window.CameraLinkFrameReady);
    QCOMPARE(s.Window.FramesDisplayed.load(), 1);
    QVERIFY(!g_bDisplayBusy);
}

void tst_main_window_pipeline::chainMatchesReferenceInWindow()
{
    Streaming s(5);
    SetCurrent(Streaming::kProxy, PipelineCell::ImageOffset, uint32_t(-50));
    SetCurrent(Streaming::kProxy, PipelineCell::ImageGain, 3);
    SetCurrent(Streaming::kProxy, PipelineCell::AGCCentre, 4);
    SetCurrent(Streaming::kProxy, PipelineCell::BPCorrectionMode, 6);
    s.Window.ui->checkBox_Gamma->setChecked(true);
    s.Window.ui->spinBox_Gamma->setValue(2.0);
    FrameSource src(s.Window, 40, 30);
    for (size_t i = 0; i < src.raw().size(); ++i)
        src.raw()[i] = uint16_t((i * 2654435761u) >> 16);
    std::vector<uint32_t> list = {3, 0, 41, 1199};
    list.resize(size_t(s.Window.FramePitch) * 30, 0);
    s.Window.BadPixelIndexList[0] = list.data();

    WindowCorrectionState state;
    state.BoardPath = BoardTraitsOf(BoardKind::Eskra).Correction;
    state.BadPixelCorrectionOn = true;
    state.GammaChecked = true;
    state.Gamma = 2.0;
    const CorrectionSettings settings = ReadCorrectionSettings(Streaming::kProxy, state);
    QVERIFY(settings.GammaOn);
    ref::Frame expected(src.raw().size());
    uint16_t fill = 0;
    bool reset = false;
    ref::RunChain(expected, src.raw().data(), s.Window.FPNReferenceImage.ptr<uint16_t>(0), nullptr,
                  FrameGeometry{40, 30, 80}, settings, std::vector<uint32_t>(list.begin(), list.begin() + 4), fill,
                  reset);
    src.deliver();
    s.Window.BadPixelIndexList[0] = nullptr;
    QCOMPARE(src.corrected(), expected.Corrected);
    const cv::Mat d8 = s.Window.MatDisplayGrey;
    QCOMPARE(std::vector<uint8_t>(d8.datastart, d8.dataend), expected.Display8);
    QCOMPARE(std::vector<uint16_t>(s.Window.AcquiredImage16b.ptr<uint16_t>(0),
                                   s.Window.AcquiredImage16b.ptr<uint16_t>(0) + src.raw().size()),
             src.raw());
}

void tst_main_window_pipeline::singleFpnReference()
{
    Streaming s(5);
    FrameSource src(s.Window, 16, 8);
    s.Window.PushButton_TakeFPNRef();
    QVERIFY(s.Window.FPNRequest);
    // (Its group box is disabled until a board streams: only the box's own state counts here.)
    QVERIFY(!s.Window.ui->checkBox_ApplyNUC->testAttribute(Qt::WA_ForceDisabled));
    QCOMPARE(GetCurrent(Streaming::kProxy, PipelineCell::ApplyNUCEnabled), 1u);
    QCOMPARE(GetCurrent(Streaming::kProxy, PipelineCell::NUC2ptEnabled), 1u);
    src.fill(1000);
    CoutCapture out;
    src.deliver();
    QCOMPARE(out.Text.str(), std::string("MeanReferenceImage = 1000\n"));
    QCOMPARE(int(s.Window.ReferenceMean.load()), 1000);
    QVERIFY(!s.Window.FPNRequest);
    // The box is not checked yet: the staged reference waits.
    QVERIFY(g_bNewFPNReference);
    s.Window.ui->checkBox_ApplyNUC->setChecked(true);
    SetCurrent(Streaming::kProxy, PipelineCell::ApplyNUC, 1);
    SetCurrent(Streaming::kProxy, PipelineCell::ImageOffset, 7);
    src.deliver();
    QVERIFY(!g_bNewFPNReference);
    QCOMPARE(src.corrected(), std::vector<uint16_t>(src.raw().size(), 7)); // (0 + 7) x 1
}

void tst_main_window_pipeline::averagedFpnReferenceAndButton()
{
    Streaming s(4);
    FrameSource src(s.Window, 8, 4);
    s.Window.ui->checkBox_Enable_AverageFPN->setChecked(true);
    s.Window.ui->spinBox_Number_Images_AverageFPN->setValue(3);
    QVERIFY(s.Window.AverageFPN);
    QCOMPARE(s.Window.FPNAverageCount.load(), 3);
    s.Window.PushButton_TakeFPNRef();
    const uint16_t values[3] = {10, 11, 13};
    for (int k = 0; k < 3; ++k) {
        src.fill(values[k]);
        src.deliver();
        QCoreApplication::processEvents(); // the queued button change
        if (k < 2) {
            QVERIFY(s.Window.ui->pushButton_Take_FPN_Reference->testAttribute(Qt::WA_ForceDisabled));
            QVERIFY(s.Window.FPNRequest);
        }
        QVERIFY(g_bNewFPNReference);
    }
    QVERIFY(!s.Window.ui->pushButton_Take_FPN_Reference->testAttribute(Qt::WA_ForceDisabled));
    QVERIFY(!s.Window.FPNRequest);
    QCOMPARE(int(s.Window.FPNReferenceImage.at<uint16_t>(0, 0)), 11);
    QCOMPARE(int(s.Window.NewFPNReferenceImage.at<uint16_t>(3, 7)), 11);
    QCOMPARE(int(s.Window.ReferenceMean.load()), 11);
}

void tst_main_window_pipeline::boardSideFpnRequests()
{
    Streaming s(3);
    // The Camera Link link is open to the simulated board, as after a connection.
    sim::ResetSimulation();
    sim::SimulationSettings settings;
    for (sim::BoardKind other : {sim::BoardKind::Arvex, sim::BoardKind::Belmor})
        settings.setBoardPresent(other, false);
    hSerRef ref = nullptr;
    QCOMPARE(clSerialInit(0, &ref), int32_t(CL_ERR_NO_ERR));
    g_hCameraLinkSerial = ref;
    auto sentTexts = []() {
        QStringList texts;
        for (const QByteArray& bytes : sim::RecordedBytes(sim::BoardKind::BelmorPlus, "serial"))
            texts << QString::fromLatin1(bytes);
        return texts;
    };
    // Belmor+ without software NUC: the board takes the reference, nothing is enabled.
    s.Window.SoftwareNUC = false;
    SetCurrent(Streaming::kProxy, PipelineCell::ApplyNUCEnabled, 0);
    s.Window.AutoNUC = true;
    s.Window.PushButton_TakeFPNRef();
    // Auto NUC ticks the box, whose slot then writes the board's NUC register (FPGA register 6).
    QCOMPARE(sentTexts(), (QStringList{"!s", "!a006", "!b000"}));
    QVERIFY(!s.Window.FPNRequest);
    QCOMPARE(GetCurrent(Streaming::kProxy, PipelineCell::ApplyNUCEnabled), 0u);
    QVERIFY(s.Window.ui->checkBox_ApplyNUC->isChecked()); // auto NUC still checks it
    // Arvex not connected: nothing sent, both boxes enabled.
    s.Window.DigiBoardKind = BoardKind::Arvex;
    s.Window.Connected = false;
    s.Window.PushButton_TakeFPNRef();
    QCOMPARE(sentTexts().size(), 3);
    QCOMPARE(GetCurrent(Streaming::kProxy, PipelineCell::ApplyNUCEnabled), 1u);
    QCOMPARE(GetCurrent(Streaming::kProxy, PipelineCell::NUC2ptEnabled), 1u);
    s.Window.Connected = true;
    s.Window.PushButton_TakeFPNRef();
    QCOMPARE(sentTexts().last(), QString("*s"));
    CloseCameraLinkSerial();
    sim::ResetSimulation();
}

void tst_main_window_pipeline::agcWritesGainAndOffset()
{
    Streaming s(5);
    SetCurrent(Streaming::kProxy, PipelineCell::AGC, 1);
    SetCurrent(Streaming::kProxy, PipelineCell::AGCThreshold, 0);
    s.Window.AGCMargin = 0;
    s.Window.ui->checkBox_AGC->setChecked(true);
    s.Window.ui->spinBox_AGC_GainClip->setMaximum(1000);
    s.Window.ui->spinBox_AGC_GainClip->setValue(1000);
    FrameSource src(s.Window, 20, 10);
    for (size_t i = 0; i < src.raw().size(); ++i)
        src.raw()[i] = uint16_t(i < 100 ? 1000 : 3000);
    s.Window.AGC_processing(); // no frame yet: asks for one
    QCOMPARE(GetCurrent(Streaming::kProxy, PipelineCell::AGCGainClip), GetDefault(Streaming::kProxy, PipelineCell::AGCGainClip));
    src.deliver();
    s.Window.AGC_processing();
    QCOMPARE(s.Window.Pipeline->Agc.Low, 33);
    QCOMPARE(s.Window.Pipeline->Agc.High, 100);
    QCOMPARE(GetCurrent(Streaming::kProxy, PipelineCell::AGCGainClip), 978u); // 65535 / 67
    QCOMPARE(s.Window.Pipeline->Agc.Offset, -132);
    QVERIFY(!s.Window.AGCRunning);
}

void tst_main_window_pipeline::lutFiles()
{
    Streaming s(5);
    FrameSource src(s.Window, 8, 4);
    s.Window.openLUT_File(s.Folder.filePath("LUT/Missing.csv"));
    QVERIFY(!s.Window.LutActive);
    QVERIFY(s.log().contains("Can't open correctily LUT File"));
    QDir().mkpath(s.Folder.filePath("LUT"));
    QFile f(s.Folder.filePath("LUT/Test.csv"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("R;G;B\n1;2;3\n250;251;252\n");
    f.close();
    s.Window.openLUT_File(f.fileName());
    QVERIFY(s.Window.LutActive);
    QCOMPARE(int(s.Window.LutPlaneG.at<uint8_t>(0, 1)), 251);
    QCOMPARE(s.Window.ColourLut.at<cv::Vec3b>(0, 0), cv::Vec3b(1, 2, 3));
    src.fill(0x0100); // grey level 1
    src.deliver();
    QCOMPARE(s.Window.MatColourWork.at<cv::Vec3b>(0, 0), cv::Vec3b(250, 251, 252));
}

void tst_main_window_pipeline::bayerOnlyOnProxy14()
{
    Streaming s(5);
    FrameSource src(s.Window, 64, 48);
    for (size_t i = 0; i < src.raw().size(); ++i)
        src.raw()[i] = uint16_t((i % 7) << 12);
    s.Window.BayerCode = 1;
    src.deliver();
    QVERIFY(s.Window.MatColourWork.empty()); // other proxies: the grey image
    QVERIFY(s.Window.ImageView->pixmap(Qt::ReturnByValue).toImage().isGrayscale());

    // Proxy 14 is shown at half size, demosaiced, even with a colour table loaded.
    s.Window.CurrentProxyIndex = 14;
    for (auto [cell, value] : {std::pair<int, uint32_t>{PipelineCell::ApplyNUC, 0},
                               {PipelineCell::ImageOffset, 0},
                               {PipelineCell::ImageGain, 1},
                               {PipelineCell::AGCCentre, 0},
                               {PipelineCell::HDR, 0},
                               {PipelineCell::InvertBW, 0},
                               {PipelineCell::BPCorrectionMode, 0}})
        SetCurrent(14, cell, value);
    s.Window.LutActive = true;
    src.deliver();
    QCOMPARE(s.Window.DisplayScale.load(), 0.5);
    QCOMPARE(s.Window.MatColourWork.type(), CV_8UC3);
    QCOMPARE(s.Window.MatColourWork.cols, 64);
    cv::Mat expected;
    cv::cvtColor(s.Window.MatDisplayGrey, expected, cv::COLOR_BayerRG2RGB);
    QCOMPARE(cv::norm(s.Window.MatColourWork, expected, cv::NORM_INF), 0.0);
    QCOMPARE(s.Window.ImageView->pixmap(Qt::ReturnByValue).width(), 32);
}

void tst_main_window_pipeline::demoModeFrame()
{
    // Headless there may be no window system for the demo window: the frame
    // is still handed on, and a window that cannot open ends demo mode with a log line.
    Streaming s(5);
    FrameSource src(s.Window, 64, 48);
    s.Window.DemoMode = true;
    src.deliver();
    QVERIFY(!g_bDisplayBusy);
    QCOMPARE(s.Window.ui->label_X_Pos_Val->text(), QString("---"));
    QCOMPARE(s.Window.DisplayScale.load(), double(std::min(float(s.Window.DemoWidth) / 64, float(s.Window.DemoHeight) / 48)));
    QCOMPARE(s.Window.MatScaledCopy.cols, cvRound(64 * s.Window.DisplayScale.load()));
    if (!s.Window.DemoMode)
        QVERIFY(s.log().contains("Demo window can't be shown"));
    s.Window.DemoMode = false;
    cv::destroyAllWindows();
}

void tst_main_window_pipeline::disconnectedFrameResetsDisplay()
{
    Streaming s(5);
    FrameSource src(s.Window, 8, 4);
    s.Window.Connected = false;
    src.deliver();
    QCOMPARE(s.Window.FrameCounter.load(), -1);
    QVERIFY(!s.Window.ImageView->isZoomAllowed());
    QVERIFY(s.log().contains("Reset Main Display"));
    QVERIFY(!g_bDisplayBusy);
}

// What the miniature timer shows: the scaled display copy with the cross at
// the selection, brought to the miniature's height. The copy is twice the
// miniature's size, so a miniature pixel is a copy pixel at twice its place.
void tst_main_window_pipeline::miniatureCrossOnTheScaledCopy_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("grey");
    QTest::newRow("centre") << QPoint(50, 30) << 0;
    QTest::newRow("horizontal arm, black part") << QPoint(46, 30) << 0;
    QTest::newRow("horizontal arm, white end") << QPoint(40, 30) << 255;
    QTest::newRow("beyond the horizontal arm") << QPoint(70, 30) << 128;
    QTest::newRow("vertical arm, black part") << QPoint(50, 27) << 0;
    QTest::newRow("vertical arm, white end") << QPoint(50, 40) << 255;
    QTest::newRow("beyond the vertical arm") << QPoint(50, 50) << 128;
    QTest::newRow("between the arms") << QPoint(55, 35) << 128;
}

void tst_main_window_pipeline::miniatureCrossOnTheScaledCopy()
{
    QFETCH(QPoint, at);
    QFETCH(int, grey);
    Streaming s(5);
    FrameSource src(s.Window, 640, 480);
    src.fill(0x8000);
    Affichage* view = s.Window.ImageView;
    view->startAcquisition(s.Window.ui->scrollArea->width(), s.Window.ui->scrollArea->height(), 640);
    src.deliver();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
    QVERIFY(view->isTechnical());

    s.Window.MatScaledCopy = cv::Mat(270, 360, CV_8UC1, cv::Scalar(128));
    s.Window.FrameWidth = 360;
    s.Window.FrameHeight = 270;
    s.Window.DisplayScale = 1.0;
    view->setFixedSize(int(s.Window.Miniature->miniWidth), int(s.Window.Miniature->miniHeight));
    s.Window.Miniature->setPointX(100);
    s.Window.Miniature->setPointY(60);
    s.Window.TimeOutUpdateImgMiniature();

    const QImage shown = s.Window.Miniature->pixmap(Qt::ReturnByValue).toImage();
    QCOMPARE(shown.size(), QSize(180, 135));
    QCOMPARE(qGray(shown.pixel(at)), grey);
}

void tst_main_window_pipeline::zoomAndMiniatureThroughTheWindow()
{
    Streaming s(5);
    FrameSource src(s.Window, 640, 480);
    src.fill(0x8000);
    Affichage* view = s.Window.ImageView;
    const int areaW = s.Window.ui->scrollArea->width();
    const int areaH = s.Window.ui->scrollArea->height();
    view->startAcquisition(areaW, areaH, 640);
    QVERIFY(view->isCosmetic());
    src.deliver();
    // Cosmetic zoom: the frame is fitted to the scroll area.
    const double scale = std::min(double(areaW) / 640, double(areaH) / 480);
    QCOMPARE(s.Window.DisplayScale.load(), scale);
    QCOMPARE(s.Window.MatScaledCopy.cols, cvRound(640 * scale));
    QCOMPARE(view->zoom(), scale); // the fit zoom is the fitted display scale

    // A click enters technical zoom; the next frame moves the miniature's
    // selection to the zoom centre and the miniature timer draws the cross.
    src.deliver();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
    QVERIFY(view->isTechnical());
    src.deliver();
    const uint32_t expectedX = s.Window.Miniature->miniWidth * uint32_t(view->zoomWindowCentre().x()) / uint32_t(view->width());
    QCOMPARE(s.Window.Miniature->pointX(), expectedX);
    s.Window.TimeOutUpdateImgMiniature();
    QCOMPARE(s.Window.Miniature->pixmap(Qt::ReturnByValue).height(), 135);

    // A right press turns zoom off; the next frame puts the miniature's logo back.
    QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QVERIFY(view->isOff());
    src.deliver();
    QVERIFY(!view->isMiniatureResetRequested());
    QCOMPARE(s.Window.DisplayScale.load(), 1.0);

    // Frames 1024 pixels wide or more start without zoom.
    view->stopAcquisition();
    view->startAcquisition(areaW, areaH, 1024);
    QVERIFY(view->isOff());
}

QTEST_MAIN(tst_main_window_pipeline)
#include "tst_main_window_pipeline.moc"
