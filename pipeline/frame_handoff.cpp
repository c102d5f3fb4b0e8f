// The one way a delivered frame enters the pipeline, whatever board delivers it.
#include "pipeline/frame_handoff.h"

#include "app/app_paths.h"
#include "app/globals.h"
#include "board/acquisition_state.h"
#include "mainwindow/MainWindow.h"
#include "pipeline/frame_buffers.h"
#include "pipeline/mainwindow_pipeline.h"
#include "app/thread_call.h"

QString SeriesFolder()
{
    return ApplicationDirPath() + QStringLiteral("/../SavedImages/") + QString::fromUtf8(g_szProxyName);
}

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
    ComputeFPNReference();
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
