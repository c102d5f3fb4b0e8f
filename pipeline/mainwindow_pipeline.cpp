// The main window's image-pipeline methods: frame hand-off, per-frame correction, FPN reference, display slot, AGC,
// LUT and miniature; its image outputs: histogram timer, stream ticks, frame series, REC blink and the recorder's
// acquisition hooks.
#include "pipeline/mainwindow_pipeline.h"

#include "mainwindow/MainWindow.h"
#include "tools/Window_Histogram.h"

#include "app/app_paths.h"
#include "app/globals.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "board/acquisition_state.h"
#include "board/board_link.h"
#include "board/cameralink_serial.h"
#include "board/links/cameralink_link.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "pipeline/display_preparation.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/image_miniature.h"
#include "pipeline/kv_histogram.h"
#include "pipeline/kv_video_recorder.h"
#include "pipeline/pipeline_cells.h"
#include "pipeline/pipeline_state.h"
#include "pipeline/raw_frame_receiver.h"
#include "pipeline/stream_saver.h"
#include "app/thread_call.h"

#include <QTimer>

#include <opencv2/highgui.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <iostream>
#include <sstream>

namespace {

constexpr int kProxyBayer = 14;
const char* const kDemoWindow = "Vantrel - ScreenShow";

QPixmap GreyPixmap(const cv::Mat& p_Image)
{
    if (p_Image.empty() || p_Image.type() != CV_8UC1)
        return QPixmap();
    return QPixmap::fromImage(
        QImage(p_Image.data, p_Image.cols, p_Image.rows, int(p_Image.step), QImage::Format_Grayscale8));
}

QPixmap RgbPixmap(const cv::Mat& p_Image)
{
    if (p_Image.empty() || p_Image.type() != CV_8UC3)
        return QPixmap();
    return QPixmap::fromImage(
        QImage(p_Image.data, p_Image.cols, p_Image.rows, int(p_Image.step), QImage::Format_RGB888));
}

// The link of the board kind chosen; none while no board is chosen.
BoardLink* LinkOfKind(MainWindow& p_rWindow, BoardKind p_Kind)
{
    switch (p_Kind) {
    case BoardKind::Arvex:
    case BoardKind::Belmor:
    case BoardKind::BelmorPlus:
        return &p_rWindow.CameraLinkBoard();
    case BoardKind::Dunstel:
        return p_rWindow.DunstelLink.get();
    case BoardKind::Eskra:
        return p_rWindow.EskraBoardLink.get();
    case BoardKind::Corvane:
        return p_rWindow.CorvaneLink.get();
    case BoardKind::None:
        break;
    }
    return nullptr;
}

// Same type and size: the image is written in place, so no reader of a shared header sees it move.
void Ensure(cv::Mat& p_Image, int p_iRows, int p_iCols, int p_iType, double p_dValue = 0.0)
{
    if (p_Image.rows != p_iRows || p_Image.cols != p_iCols || p_Image.type() != p_iType)
        p_Image.create(p_iRows, p_iCols, p_iType);
    p_Image.setTo(cv::Scalar::all(p_dValue));
}

// The numbers of the displayed-frame and save-all series files: they grow for the whole run.
std::atomic<int> g_iDisplayedRawCounter{0};
std::atomic<int> g_iSaveAllFramesCounter{0};

void WriteImageQuietly(const char* p_szName, const cv::Mat& p_Image)
{
    if (p_Image.empty())
        return;
    try {
        cv::imwrite(p_szName, p_Image);
    } catch (const cv::Exception&) {
        // Image-writer failures of the series and the proxy test are not reported.
    }
}


} // namespace

// ---------------------------------------------------------------------------
// Working images

void MainWindow::InitPipelineImages()
{
    const int rows = FrameHeight;
    const int cols = FramePitch / 2;
    if (rows <= 0 || cols <= 0)
        return;
    Ensure(DisplayImage8b, rows, cols, CV_8UC1);
    Ensure(DisplayImage8bClone, rows, cols, CV_8UC1);
    Ensure(ScaledDisplayImage8b, rows, cols, CV_8UC1);
    Ensure(DisplayImage16b, rows, cols, CV_16UC1);
    Ensure(AcquiredImage16b, rows, cols, CV_16UC1);
    Ensure(FPNReferenceImage, rows, cols, CV_16UC1);
    Ensure(NewFPNReferenceImage, rows, cols, CV_16UC1);
    Ensure(WorkingImage32s, rows, cols, CV_32SC1);
    Ensure(WorkingImage32f, rows, cols, CV_32FC1);
    Ensure(NUC2ptGainImage, rows, cols, CV_64FC1, 1.0);
    Ensure(StreamDisplayed8b, rows, cols, CV_8UC1);
    Ensure(StreamDisplayed16b, rows, cols, CV_16UC1);
    Ensure(StreamAcquired16b, rows, cols, CV_16UC1);
    Ensure(StreamFPN16b, rows, cols, CV_16UC1);
    Ensure(LutPlaneR, 1, 256, CV_8UC1);
    Ensure(LutPlaneG, 1, 256, CV_8UC1);
    Ensure(LutPlaneB, 1, 256, CV_8UC1);
    Pipeline->Lut.clear();
    ColourLut = Pipeline->Lut.merged();
    Pipeline->AgcInput.release();
    // A run left from an earlier acquisition never continues on this one.
    Pipeline->Fpn.reset();
    Pipeline->FpnButtonDisabled = false;
}

void MainWindow::ReleasePipelineImages()
{
    Pipeline->Fpn.reset();
    Pipeline->AgcInput.release();
    for (cv::Mat* pImage : {&WorkingImage32s, &WorkingImage32f, &DisplayImage8bClone, &DisplayImage8b,
                            &DisplayImage16b, &NUC2ptGainImage, &ScaledDisplayImage8b, &FPNReferenceImage,
                            &NewFPNReferenceImage, &AcquiredImage16b, &StreamDisplayed8b, &StreamFPN16b,
                            &StreamDisplayed16b, &StreamAcquired16b})
        pImage->release();
    if (Pipeline->FpnButtonDisabled.exchange(false))
        SetFpnReferenceButtonEnabled(true);
}

// ---------------------------------------------------------------------------
// FPN reference

void MainWindow::PushButton_TakeFPNRef()
{
    Log->writeLine("Get FPN Reference Image");
    if (BoardLink* pLink = LinkOfKind(*this, DigiBoardKind)) {
        const ReferenceRule rule = pLink->referenceRule();
        const bool bBoardReference = rule.BoardTakesReference && !SoftwareNUC;
        if (!rule.OnlyWhileConnected || Connected) {
            if (!bBoardReference)
                FPNRequest = true;
            else if (pLink->takeHardwareReference() != 0)
                Log->writeLine(rule.NotSentLine);
        }
        const ReferenceBoxes boxes = bBoardReference ? rule.BoardBoxes : rule.ProgramBoxes;
        if (boxes == ReferenceBoxes::Nuc2ptAndApply) {
            EnableNuc2ptBox();
            SetCurrent(CurrentProxyIndex, PipelineCell::NUC2ptEnabled, 1);
        }
        if (boxes != ReferenceBoxes::None) {
            EnableApplyNucBox();
            SetCurrent(CurrentProxyIndex, PipelineCell::ApplyNUCEnabled, 1);
        }
    }
    if (AutoNUC)
        TickApplyNucBox();
}

void MainWindow::takeFPNfromSignal()
{
    // The reference is built from a delivered frame on the thread that delivers
    // it; only the serial-port board delivers on this thread, so only there is
    // the step run now.
    if (BoardTraitsOf(DigiBoardKind).DeliversOnWindowThread)
        ComputeFPNReference(*this);
}

void MainWindow::ComputeFPNReferenceStep()
{
    const size_t pixels = FPNReferenceImage.total();
    if (!g_pRawImage16b || pixels == 0 || FPNReferenceImage.type() != CV_16UC1)
        return;
    // While a frame is on its way to the screen the display slot copies the
    // reference for the stream saver; the reference is only rewritten between
    // such hand-offs (this frame would be dropped by UpdateDisplay anyway).
    if (g_bDisplayBusy)
        return;
    const unsigned frames = unsigned(std::max(FPNAverageCount.load(), 1));
    const FpnFrameResult r = Pipeline->Fpn.onFrame(g_pRawImage16b, FPNReferenceImage.ptr<uint16_t>(0), pixels,
                                                   AverageFPN, frames, std::cout);
    if (!r.Requested)
        return;
    if (r.AllocationFailed)
        Log->writeLine("Average FPN: not enough memory for the frame sums, reference not taken");
    if (r.RunDiscarded)
        Log->writeLine("Average FPN: unfinished run discarded");
    if (r.ReferenceBuilt) {
        SetMatNewFPNReference(*this, FPNReferenceImage);
        ReferenceMean = r.Mean;
    }
    if (r.RaiseNewReference)
        g_bNewFPNReference = true;
    // The button belongs to the GUI thread: its state changes are queued there.
    if (r.DisableButton && !Pipeline->FpnButtonDisabled.exchange(true))
        CallOnThreadOf(this, [this] { SetFpnReferenceButtonEnabled(false); });
    if (r.EnableButton && Pipeline->FpnButtonDisabled.exchange(false))
        CallOnThreadOf(this, [this] { SetFpnReferenceButtonEnabled(true); });
}

void ComputeFPNReference(MainWindow& p_rWindow)
{
    if (p_rWindow.Pipeline)
        p_rWindow.ComputeFPNReferenceStep();
}

void SetMatNewFPNReference(MainWindow& p_rWindow, cv::Mat p_Image)
{
    p_Image.copyTo(p_rWindow.NewFPNReferenceImage);
}

// ---------------------------------------------------------------------------
// Frame hand-off: the one way a delivered frame enters the pipeline, whatever board delivers it

FrameGeometry WindowFrameGeometry(const MainWindow& p_rWindow)
{
    return FrameGeometry{p_rWindow.FrameWidth, p_rWindow.FrameHeight, p_rWindow.FramePitch};
}

FrameSeriesResult OfferFrameToSeries(MainWindow& p_rWindow, const FrameSeries& p_Series, const QString& p_sFolder,
                                     const unsigned short* p_pPixels, const FrameGeometry& p_Geometry,
                                     const cv::Mat& p_Display8b)
{
    if (!p_Series.FileIndex || !p_Series.SavedFrames)
        return FrameSeriesResult::Nothing;
    FrameSeriesFrame frame;
    frame.Bmp = p_rWindow.SaveAllFramesBmp;
    frame.Raw = p_rWindow.SaveAllFramesRaw;
    frame.Limit = p_rWindow.NumberFrames;
    frame.Folder = p_sFolder;
    frame.Pixels = p_pPixels;
    frame.Width = p_Geometry.stride();
    frame.Height = p_Geometry.Height;
    if (frame.Bmp && !p_Series.Rule.BmpFromRaw)
        frame.Display8b = p_Display8b;
    const FrameSeriesResult result = SaveSeriesFrame(p_Series.Rule, *p_Series.FileIndex, *p_Series.SavedFrames, frame);
    if (result != FrameSeriesResult::Ended)
        return result;
    // Cleared now, so that the frames still coming before the GUI thread
    // takes the stop are not saved as the start of another series.
    p_rWindow.SaveAllFramesRunning = false;
    MainWindow* pWindow = &p_rWindow;
    CallOnThreadOf(pWindow, [pWindow] { pWindow->StopSaveAllFrames(); });
    return result;
}

FrameHandOffResult HandOffFrame(MainWindow& p_rWindow, unsigned short* p_pPixels, const FrameGeometry& p_Geometry,
                                const FrameHandOffRule& p_Rule)
{
    if (p_Rule.DropWhileDisplayBusy && g_bDisplayBusy)
        return FrameHandOffResult::DroppedWhileBusy;
    g_pRawImage16b = p_pPixels;
    ComputeFPNReference(p_rWindow);
    if (!p_Rule.Show || p_Rule.Show()) {
        if (p_Rule.FlagCameraLinkReady)
            p_rWindow.CameraLinkFrameReady = true;
        p_rWindow.UpdateDisplay(p_pPixels);
    }
    // After the display, so that a series of the display's image saves this frame's.
    if (p_Rule.Series && p_rWindow.SaveAllFramesRunning && p_pPixels && p_Geometry.Height > 0 && p_Geometry.Pitch > 0)
        OfferFrameToSeries(p_rWindow, *p_Rule.Series, SeriesFolder(), p_pPixels, p_Geometry,
                           p_rWindow.getMatDisplay8b());
    return FrameHandOffResult::HandedOver;
}

bool FrameDropsUnread(const MainWindow& p_rWindow, const FrameHandOffRule& p_Rule)
{
    return g_bDisplayBusy && !(p_Rule.Series && p_rWindow.SaveAllFramesRunning);
}

FrameHandOffResult HandOffUnreadFrame(MainWindow& p_rWindow, const FrameHandOffRule& p_Rule)
{
    if (p_Rule.DropWhileDisplayBusy)
        return FrameHandOffResult::DroppedWhileBusy;
    if (!p_Rule.Show || p_Rule.Show()) {
        if (p_Rule.FlagCameraLinkReady)
            p_rWindow.CameraLinkFrameReady = true;
        ++p_rWindow.Pipeline->DroppedFrames;
    }
    return FrameHandOffResult::HandedOver;
}

// ---------------------------------------------------------------------------
// Per-frame correction chain

void MainWindow::UpdateDisplay(unsigned short* pImage16b)
{
    const BoardKind kind = DigiBoardKind;
    if (g_bDisplayBusy || (IsCameraLinkBoard(kind) && !CameraLinkFrameReady)) {
        ++Pipeline->DroppedFrames;
        return;
    }
    CameraLinkFrameReady = false;
    g_bDisplayBusy = true;

    const int rows = FrameHeight;
    const int cols = FramePitch / 2;
    const FrameGeometry geometry{FrameWidth, rows, FramePitch};
    // A frame that does not match the working images (none allocated, or a
    // geometry change under way) is not processed; the display is released.
    if (!pImage16b || !g_pCorrectedImage16b || rows <= 0 || cols <= 0 || DisplayImage8b.rows != rows
        || DisplayImage8b.cols != cols || AcquiredImage16b.size() != DisplayImage8b.size()
        || DisplayImage16b.size() != DisplayImage8b.size()) {
        g_bDisplayBusy = false;
        return;
    }

    if (g_bNewFPNReference && Pipeline->ApplyNUCChecked) {
        NewFPNReferenceImage.copyTo(FPNReferenceImage);
        g_bNewFPNReference = false;
    }

    if (CalibrationWindowOpen) {
        // Held for the whole write: a calibration window closed meanwhile keeps its capture until then.
        const std::shared_ptr<RawFrameReceiver> pCalibration = std::atomic_load(&CalibrationCapture);
        if (pCalibration && pCalibration->isCapturing())
            pCalibration->receiveRawImage(pImage16b, geometry);
    }

    WindowCorrectionState window;
    window.BoardPath = BoardTraitsOf(kind).Correction;
    window.SoftwareNUC = SoftwareNUC;
    window.NUC2ptChecked = Pipeline->NUC2ptChecked;
    window.BadPixelCorrectionOn = BadPixelCorrectionOn;
    window.BadPixelOffsetX = BadPixelOffsetX;
    window.BadPixelOffsetY = BadPixelOffsetY;
    window.GammaChecked = Pipeline->GammaChecked;
    window.Gamma = Gamma;
    const int proxy = CurrentProxyIndex;
    const CorrectionSettings settings = ReadCorrectionSettings(proxy, window);

    if (settings.badPixelStageRuns() && BadPixelFillReset.exchange(false))
        Pipeline->BadPixelFill.ResetPending = true;
    BadPixelListView list;
    if (settings.BadPixelList >= 0 && settings.BadPixelList <= 3 && BadPixelIndexList[settings.BadPixelList]) {
        list.Words = BadPixelIndexList[settings.BadPixelList];
        list.CapacityWords = size_t(FramePitch) * size_t(rows);
    }

    // Images that do not have the frame's shape (a gain file of another size)
    // are left out rather than read past their end.
    const size_t pixels = geometry.pixelCount();
    auto fits = [pixels](const cv::Mat& p_Image, int p_iType) {
        return p_Image.isContinuous() && p_Image.type() == p_iType && p_Image.total() == pixels;
    };
    FrameInputs in{pImage16b, fits(FPNReferenceImage, CV_16UC1) ? FPNReferenceImage.ptr<uint16_t>(0) : nullptr,
                   fits(NUC2ptGainImage, CV_64FC1) ? NUC2ptGainImage.ptr<double>(0) : nullptr};
    FrameOutputs out;
    out.Acquired = AcquiredImage16b.ptr<uint16_t>(0);
    // The float image only feeds the AGC: it is kept up to date while the AGC box is checked.
    out.Working32f =
        Pipeline->AGCChecked && fits(WorkingImage32f, CV_32FC1) ? WorkingImage32f.ptr<float>(0) : nullptr;
    out.Corrected = g_pCorrectedImage16b;
    out.Display8 = DisplayImage8b.ptr<uint8_t>(0);
    out.Display16 = DisplayImage16b.ptr<uint16_t>(0);
    RunCorrectionChain(in, geometry, settings, list, Pipeline->BadPixelFill, Pipeline->Gamma, out);

    // A copy of its own for the detection window, and none while the last one
    // waits. The software path forwards the frames it corrects without FPN
    // subtraction; the board-corrected path every frame the board delivers
    // (its NUC, applied or not, is the board's own: the detection's
    // difference of two frames works on them as they come).
    const bool bForwardForDetection =
        settings.Path == CorrectionPath::Board
        || (settings.Path == CorrectionPath::Software && settings.Input == SoftwareInput::NoFPN);
    if (bForwardForDetection && BadPixelDetectionRunning
        && !BPDetectionFrameQueued.exchange(true))
        emit setImageForBPDetection(AcquiredImage16b.clone());

    DisplayImage8b.copyTo(DisplayImage8bClone);
    ImageView->setFrameSize(FrameWidth, FrameHeight);

    const DisplayScaleChoice choice =
        ChooseDisplayScale(DemoMode, DemoWidth, DemoHeight, ImageView->isCosmeticZoom(), Pipeline->ScrollAreaWidth,
                           Pipeline->ScrollAreaHeight, proxy, settings.Interpolation, cols, rows);
    DisplayScale = choice.Scale;
    ScaleDisplayImage(DisplayImage8b, ScaledDisplayImage8b, choice);

    Pipeline->ShownScale = choice.Scale;
    emit ImageReadyToDisplay(DisplayImage8b, ScaledDisplayImage8b);

    if (Pipeline->SaveAllDisplayedRawChecked)
        SaveDisplayedRaw(DisplayImage16b);

    LastDisplayScale = choice.Scale;
    StreamStarted = true;
    ImageView->shiftDisplayScale(choice.Scale);
}

// ---------------------------------------------------------------------------
// Display slot

void MainWindow::UpdateImageDisplayed(cv::Mat p_Full, cv::Mat p_Scaled)
{
    p_Scaled.copyTo(MatScaledCopy);
    if (FramesDisplayed < FramesReceived)
        ++FramesDisplayed;
    const int w = p_Scaled.cols;
    const int h = p_Scaled.rows;
    const QSize area = ImageAreaSize();
    const int areaW = area.width();
    const int areaH = area.height();
    const double shownScale = Pipeline->ShownScale;

    if (!DemoMode) {
        if (!ImageView->isTechnical()) {
            const QPoint pointer = ImageView->mouseImagePosition();
            const PixelReadout r = ReadoutScaled(p_Scaled, pointer.x(), pointer.y(), shownScale);
            if (r.Valid) {
                ShowPixelReadout(r);
            }
            ImageView->setMinimumSize(w, h);
            ImageView->setMaximumSize(w, h);
            if (w < areaW && h < areaH)
                ImageView->setGeometry((areaW - w) / 2, (areaH - h) / 2, w, h);
        } else {
            ImageView->setMinimumSize(areaW, areaH);
            ImageView->setMaximumSize(areaW, areaH);
            if (w < areaW && h < areaH)
                ImageView->setGeometry(0, 0, areaW, areaH);
        }
    } else {
        ShowNoPixelReadout();
    }

    if (DemoMode) {
        ShowDemoFrame(p_Full, p_Scaled);
    } else if (BayerCode > 0 && CurrentProxyIndex == kProxyBayer) {
        const cv::Mat colour = DebayerImage(p_Full, BayerCode);
        colour.copyTo(MatColourWork);
        cv::Mat resized;
        cv::resize(colour, resized, cv::Size(), shownScale, shownScale, cv::INTER_LINEAR);
        ImageView->setPixmap(RgbPixmap(resized));
    } else if (LutActive) {
        ApplyColorLUT(p_Scaled).copyTo(MatColourWork);
        ImageView->setPixmap(RgbPixmap(MatColourWork));
    } else {
        ImageView->setPixmap(GreyPixmap(p_Scaled));
    }

    MatDisplayColour = MatColourWork.clone();
    MatDisplayGrey = DisplayImage8bClone.clone();
    if (VideoRecorder && VideoRecorder->isRecording())
        emit saveImageToVideo(MatDisplayGrey);
    if (DebugRunning)
        emit SendImageToDebug(AcquiredImage16b.clone(), MatDisplayGrey);

    // The stream saver reads these on this thread; they are renewed while the
    // acquisition side still holds off, and only while stream saving runs.
    if (Timers.SaveStream && Timers.SaveStream->isActive()) {
        DisplayImage16b.copyTo(StreamDisplayed16b);
        DisplayImage8b.copyTo(StreamDisplayed8b);
        AcquiredImage16b.copyTo(StreamAcquired16b);
        FPNReferenceImage.copyTo(StreamFPN16b);
        StreamCopiesReady = true;
    }
    // The Belmor save-all series is written by the acquisition loop from this
    // frame's copies, taken while the acquisition side holds off.
    if (SaveAllFramesRunning && BoardTraitsOf(DigiBoardKind).SeriesSaving == FrameSeriesSaving::LoopFromDisplay && g_pRawImage16b && FrameHeight > 0 && FramePitch > 0) {
        cv::Mat(FrameHeight, FramePitch / 2, CV_16UC1, g_pRawImage16b).copyTo(SeriesRaw16b);
        MatDisplayGrey.copyTo(SeriesDisplay8b);
        SeriesFrameFresh = true;
    }
    if (Pipeline->AgcFrameWanted.exchange(false))
        WorkingImage32f.copyTo(Pipeline->AgcInput);

    const bool streamSaving = GetCurrent(CurrentProxyIndex, PipelineCell::SaveStream) != 0;
    if (!DemoMode && ImageView->isZoomActive() && !streamSaving && ImageView->isTechnical()) {
        const uint32_t viewW = uint32_t(std::max(ImageView->width(), 1));
        const uint32_t viewH = uint32_t(std::max(ImageView->height(), 1));
        const QPoint centre = ImageView->zoomWindowCentre();
        if (!Miniature->isPressed() && ImageView->hasBeenReleased() && ImageView->isCosmeticZoom()) {
            Miniature->setPointX(Miniature->miniWidth * uint32_t(std::max(centre.x(), 0)) / viewW);
            Miniature->setPointY(Miniature->miniHeight * uint32_t(std::max(centre.y(), 0)) / viewH);
            ImageView->centreOn(centre);
        } else if (Miniature->isReleased() && !ImageView->isZoomStarting() && ImageView->isCosmeticZoom()) {
            const QSize frame = ImageView->frameSize();
            ImageView->centreOn(QPoint(int(Miniature->pointX()) * frame.width() / int(Miniature->miniWidth),
                                       int(Miniature->pointY()) * frame.height() / int(Miniature->miniHeight)));
        }
        const QPoint pointer = ImageView->mouseImagePosition();
        const PixelReadout r = ReadoutFull(p_Full, pointer.x(), pointer.y());
        if (r.Valid) {
            ShowPixelReadout(r);
        }
    }
    // p_Full is the working display image itself: the acquisition side may
    // write the next frame into it only once the readout above is taken.
    g_bDisplayBusy = false;

    if (ImageView->takeMiniatureReset())
        Miniature->setMiniLogo();

    if (!Connected) {
        Miniature->setMiniLogo();
        Log->writeLine("Reset Main Display");
        const QSize resetArea = ResetImageAreaMinimumSize();
        ImageView->setScaledContents(false);
        ImageView->setMinimumHeight(resetArea.height() - 6);
        ImageView->setMaximumHeight(resetArea.height() - 6);
        ImageView->setMinimumWidth(resetArea.width() - 6);
        ImageView->setMaximumWidth(resetArea.width() - 6);
        ImageView->setAlignment(Qt::AlignCenter);
        ImageView->setPixmap(QPixmap(ApplicationDirPath() + HeaderConstants::LogosFolder + HeaderConstants::LogoImage));
        ImageView->setZoomAllowed(false);
        FrameCounter = -1;
    }
}

void MainWindow::ShowDemoFrame(const cv::Mat& p_Full, const cv::Mat& p_Scaled)
{
    const int w = p_Scaled.cols;
    const int h = p_Scaled.rows;
    // The same as the menu's "Normal Mode": the window, its title and the actions come back.
    auto leaveDemoMode = [this] {
        cv::destroyAllWindows();
        ScreenShowOpen = false;
        LeaveDemoMode();
    };
    int key = -1;
    try {
        if (!ScreenShowOpen) {
            cv::namedWindow(kDemoWindow, cv::WINDOW_NORMAL);
            cv::resizeWindow(kDemoWindow, w, h);
            cv::waitKey(10);
            ScreenShowOpen = true;
        }
        if (BayerModeIndex() > 0 && g_pCorrectedImage16b)
            cv::imshow(kDemoWindow, ConvertTo8bit(g_pCorrectedImage16b, BayerCode));
        else if (LutActive) {
            cv::Mat bgr;
            cv::cvtColor(ApplyColorLUT(p_Scaled), bgr, cv::COLOR_RGB2BGR);
            cv::imshow(kDemoWindow, bgr);
        } else
            cv::imshow(kDemoWindow, p_Scaled);
        key = cv::waitKey(10);
        // Closed with its own close button: the same as leaving with Escape.
        if (key != 27 && cv::getWindowProperty(kDemoWindow, cv::WND_PROP_VISIBLE) < 1)
            key = 27;
    } catch (const cv::Exception& e) {
        Log->writeLine(QString("Demo window can't be shown: ") + e.what());
        leaveDemoMode();
        return;
    }
    if (key == 's' || key == 'S') {
        Log->writeLine("Shutter command asked");
        if (BoardTraitsOf(DigiBoardKind).ShutterKeyTakesBoardReference) {
            if (SendCameraLinkText("!s") != 0)
                Log->writeLine("Camera Link text not sent: !s");
        } else {
            PushButton_TakeFPNRef();
        }
    } else if (key == 27) {
        Log->writeLine("Exit DemoMode asked");
        leaveDemoMode();
    } else if (key == '-' || key == '+') {
        StepImageOffset(key == '-' ? -100 : 100);
    } else if (key == '*' || key == '/') {
        StepImageGain(key == '*' ? 1 : -1);
    }
    if (DualView)
        ImageView->setPixmap(GreyPixmap(p_Full));
}

// ---------------------------------------------------------------------------
// Conversions and colour tables

cv::Mat MainWindow::ConvertTo8bit(unsigned short* p_pBuffer, int p_iBayerCode)
{
    return ::ConvertTo8bit(p_pBuffer, FrameHeight, FramePitch / 2, p_iBayerCode);
}

cv::Mat MainWindow::DebayerImage(cv::Mat p_Image, int p_iBayerCode)
{
    return ::DebayerImage(p_Image, p_iBayerCode);
}

cv::Mat MainWindow::ApplyColorLUT(cv::Mat p_Image)
{
    return ApplyColourLut(p_Image, Pipeline->Lut);
}

LutReadStatus MainWindow::openLUT_File(QString p_sPath)
{
    const LutReadStatus status =
        ReadLutFileStatus(p_sPath, Pipeline->Lut, [this](const QString& p_sLine) { Log->writeLine(p_sLine); });
    if (status == LutReadStatus::CannotOpen) {
        LutActive = false;
        return status;
    }
    if (status == LutReadStatus::NoColourTable) {
        const QString sText = "The file " + QFileInfo(p_sPath).fileName()
                              + " holds no colour table (no line of three values red;green;blue).\n"
                                "The colour table in use is kept.";
        Log->writeLine("LUT File refused, no colour table in it: " + p_sPath);
        MessageBoxWarning(QStringLiteral("Warning"), sText);
        return status;
    }
    Ensure(LutPlaneR, 1, 256, CV_8UC1);
    Ensure(LutPlaneG, 1, 256, CV_8UC1);
    Ensure(LutPlaneB, 1, 256, CV_8UC1);
    for (int i = 0; i < 256; ++i) {
        LutPlaneR.at<uint8_t>(0, i) = Pipeline->Lut.R[size_t(i)];
        LutPlaneG.at<uint8_t>(0, i) = Pipeline->Lut.G[size_t(i)];
        LutPlaneB.at<uint8_t>(0, i) = Pipeline->Lut.B[size_t(i)];
    }
    ColourLut = Pipeline->Lut.merged();
    LutActive = true;
    return status;
}

cv::Mat MainWindow::getMatDisplay8b() { return DisplayImage8b; }
cv::Mat MainWindow::getMatDisplayScaled() { return ScaledDisplayImage8b; }
cv::Mat MainWindow::getMatFPNReference() { return FPNReferenceImage; }


// ---------------------------------------------------------------------------
// Automatic gain control

void MainWindow::AGC_processing()
{
    AGCRunning = true;
    // The frame is copied by the display slot while the acquisition side holds
    // off, so the measurement never mixes two frames; this run measures the
    // latest copy and asks for the next one.
    Pipeline->AgcFrameWanted = true;
    const cv::Mat& img = Pipeline->AgcInput;
    if (img.empty() || img.type() != CV_32FC1) {
        AGCRunning = false;
        return;
    }
    const int proxy = CurrentProxyIndex;
    const AgcLevels levels = MeasureAgcLevels(img.ptr<float>(0), img.rows, img.cols, img.step1(), AGCMargin,
                                              GetCurrent(proxy, PipelineCell::AGCThreshold));
    if (levels.Skipped != 0)
        Log->writeLine("AGC: " + QString::number(levels.Skipped) + " pixels outside -65535..65535 left out");
    SmoothAgc(Pipeline->Agc, levels);
    if (GetCurrent(proxy, PipelineCell::AGC) != 0) {
        SetCurrent(proxy, PipelineCell::AGCCentre, uint32_t(AgcCentreSetting()));
        const AgcOutput out = ComputeAgcOutput(Pipeline->Agc, AgcGainClipSetting());
        if (out.GainValid)
            SetCurrent(proxy, PipelineCell::AGCGainClip, uint32_t(out.Gain));
        else
            Log->writeLine("AGC: the image has no range, the gain is kept");
        ShowAgcGainAndOffset(int(GetCurrent(proxy, PipelineCell::AGCGainClip)), out.Offset);
    }
    AGCRunning = false;
}

// ---------------------------------------------------------------------------
// Miniature

MiniatureCrossGeometry MainWindow::miniatureCrossGeometry() const
{
    MiniatureCrossGeometry g;
    g.DisplayScale = DisplayScale;
    g.SelectionX = Miniature->pointX();
    g.SelectionY = Miniature->pointY();
    g.ViewWidth = ImageView->width();
    g.ViewHeight = ImageView->height();
    g.FrameWidth = FrameWidth;
    g.FrameHeight = FrameHeight;
    g.MiniWidth = Miniature->miniWidth;
    g.MiniHeight = Miniature->miniHeight;
    return g;
}

QImage MainWindow::printCrossMini(QImage p_Picture)
{
    return PrintCrossMini(p_Picture, miniatureCrossGeometry());
}

void MainWindow::TimeOutUpdateImgMiniature()
{
    if (!ImageView->isTechnical() || GetCurrent(CurrentProxyIndex, PipelineCell::SaveStream) != 0
        || MatScaledCopy.empty())
        return;
    Miniature->setPixmap(MiniaturePixmap(MatScaledCopy, miniatureCrossGeometry()));
}

// ---------------------------------------------------------------------------
// Histogram

void MainWindow::CalculHistogram()
{
    if (FrameCounter > 1)
        emit UpdateHistogram(MatDisplayGrey);
    Histogram->calculateHistogram(MatDisplayGrey);
    // Not while a calculation waits in its save dialog: no second pass inside the first.
    if (HistogramWindowOpen && HistogramWindow && !HistogramWindow->isCalculating())
        emit UpdateAdvancedHistogram(MatDisplayGrey, MatDisplayColour);
}

void MainWindow::ResetHistogram()
{
    if (Histogram)
        Histogram->resetHistogram();
}

// ---------------------------------------------------------------------------
// Timed stream

void MainWindow::TimeOutSaveStream()
{
    // No frame copied since stream saving started: nothing to write yet.
    if (!StreamCopiesReady || StreamAcquired16b.empty())
        return;
    const int proxy = CurrentProxyIndex;
    StreamTickRequest q;
    q.SavedImagesDir = SavedImagesDir;
    q.ProxyName = ProxyName.toUtf8();
    q.Width = FramePitch / 2;
    q.Height = FrameHeight;
    q.Stamp = StreamTimestamp(QDateTime::currentDateTime());
    q.Raw = GetCurrent(proxy, ProxyParameterId::SaveRAW) != 0;
    q.Jpg = GetCurrent(proxy, ProxyParameterId::SaveJPG) != 0;
    q.Bmp = GetCurrent(proxy, ProxyParameterId::SaveBMP) != 0;
    q.Csv = GetCurrent(proxy, ProxyParameterId::SaveCSV) != 0;
    q.CSV8b = CSV8b;
    q.CSV16b = CSV16b;
    q.CSVAcquired = CSVAcquired;
    q.CSVFPN = CSVFPN;
    q.CSVDisplayed = CSVDisplayed;
    q.RAW8b = RAW8b;
    q.RAW16b = RAW16b;
    q.RAWAcquired = RAWAcquired;
    q.RAWFPN = RAWFPN;
    q.RAWDisplayed = RAWDisplayed;
    q.Acquired16b = StreamAcquired16b;
    q.FPN16b = StreamFPN16b;
    q.Displayed8b = StreamDisplayed8b;
    q.Displayed16b = StreamDisplayed16b;
    if (q.Jpg || q.Bmp) {
        // The display's red-green-blue order turned into the writer's order, on a copy.
        if (BayerCode != 0 && MatColourWork.type() == CV_8UC3)
            cv::cvtColor(MatColourWork, q.Picture, cv::COLOR_RGB2BGR);
        else
            q.Picture = MatDisplayGrey;
    }
    const StreamTickResult result = SaveStreamTick(q);
    if (result == StreamTickResult::Written)
        return;
    // Unticking stops the timer through CheckBox_Savestream, even while the box is disabled.
    UntickSaveStream();
    const QString text = result == StreamTickResult::RawOpenFailed ? QStringLiteral("RAW files cannot be saved ... ABORT")
                                                                   : QStringLiteral("CSV files cannot be saved ... ABORT");
    Log->writeLine(text);
    PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Error"), text, {QStringLiteral("Ok")}});
}

// ---------------------------------------------------------------------------
// Frame series

void MainWindow::SaveDisplayedRaw(cv::Mat p_Image)
{
    char szName[StreamFileNameBufferSize];
    const int n = std::snprintf(szName, sizeof szName, "%s/../SavedImages/%s/ImageDisplayed%d.raw", ApplicationDirUtf8,
                                g_szProxyName, g_iDisplayedRawCounter.fetch_add(1));
    std::FILE* pFile = (n > 0 && size_t(n) < sizeof szName) ? std::fopen(szName, "wb") : nullptr;
    if (!pFile) {
        // On the frame path: the frame is skipped, the operator told once in the log.
        if (!DisplayedRawFailureLogged.exchange(true))
            Log->writeLine(QString("Displayed RAW frame not saved, the file can't be created: ") + szName);
        return;
    }
    DisplayedRawFailureLogged = false;
    const size_t pixels = std::min(p_Image.total(), size_t(FramePitch) * size_t(FrameHeight) / 2);
    if (p_Image.isContinuous() && p_Image.elemSize() == 2)
        std::fwrite(p_Image.data, 2, pixels, pFile);
    std::fclose(pFile);
}

void MainWindow::SaveAllFrames_Belmor()
{
    const BoardKind kind = DigiBoardKind;
    // The Arvex and Belmor+ frame callbacks save their series themselves.
    if (BoardTraitsOf(kind).SeriesSaving == FrameSeriesSaving::FrameCallback)
        return;
    if (!SaveAllFramesRunning) {
        // The next series counts from its own first frame.
        SeriesFramesSaved = 0;
        return;
    }
    // Once per displayed frame: the acquisition loop polls far faster than frames come.
    if (!SeriesFrameFresh.exchange(false) || SeriesRaw16b.empty() || !SeriesRaw16b.isContinuous())
        return;
    const FrameSeries series{BelmorSeriesRule(), &g_iSaveAllFramesCounter, &SeriesFramesSaved};
    const FrameGeometry geometry{SeriesRaw16b.cols, SeriesRaw16b.rows, 2 * SeriesRaw16b.cols};
    OfferFrameToSeries(*this, series, QString::fromUtf8(SavedImagesDir) + QString::fromUtf8(g_szProxyName),
                       SeriesRaw16b.ptr<unsigned short>(0), geometry, SeriesDisplay8b);
}

void MainWindow::SaveBMP_ProxyTest(QString p_sName)
{
    WriteImageQuietly(p_sName.toUtf8().constData(), AcquiredImage16b);
}

// ---------------------------------------------------------------------------
// REC indicator and the recorder at acquisition start and stop

void MainWindow::TimeOutREC()
{
    const QPixmap icon(ApplicationDir + HeaderConstants::IconsFolder + HeaderConstants::IconRec);
    ShowRecIcon(RecBlinkPhase ? QPixmap() : icon);
    RecBlinkPhase = !RecBlinkPhase;
}

void MainWindow::SetVideoSizeForAcquisition()
{
    if (VideoRecorder)
        VideoRecorder->setVideoSize(FrameWidth, FrameHeight);
}

void MainWindow::StopVideoRecordingForDeinit()
{
    if (!VideoRecorder)
        return;
    // The file is finalised here, so the next acquisition records a new one.
    if (VideoRecorder->isRecording())
        VideoRecorder->closeFile();
    stopTimerREC();
    ResetGroupBoxVideoRecorder();
    VideoRecorder->setVideoSize(0, 0);
}

void MainWindow::CloseVideoForExit()
{
    if (VideoRecorder && VideoRecorder->isRecording())
        VideoRecorder->closeFile();
}
