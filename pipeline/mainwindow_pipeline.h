// Free functions of the image pipeline on a main window: the FPN step, the frame hand-off and the save-all series.
#pragma once

#include "pipeline/frame_handoff.h"

#include <opencv2/core.hpp>

class MainWindow;

// How the acquisition side drives the pipeline of the main window:
// - Init: FrameWidth/FrameHeight/FramePitch, then ImageView->setFrameSize and
//   ImageView->initOverlay(pitch, height); InitMatrices calls InitPipelineImages.
// - g_pRawImage16b / g_pCorrectedImage16b (pipeline/frame_buffers.h) point at
//   frames of FrameHeight x FramePitch/2 pixels.
// - Getinterruption: ImageView->startAcquisition(scrollArea size, FrameWidth).
// - Every delivered frame, on the delivering thread: ComputeFPNReference(window),
//   then UpdateDisplay(g_pRawImage16b). Frames arriving while g_bDisplayBusy
//   is set are dropped and counted in Pipeline->DroppedFrames.
// - Deinit: ImageView->stopAcquisition(), ReleasePipelineImages(), LutActive = false.
// The hooks of PipelineState (calibration, displayed-RAW saver, recorder,
// Corvane register) are set by the subsystems that own those parts.

// The per-frame FPN step of the window; every frame path calls it just before UpdateDisplay.
void ComputeFPNReference(MainWindow& p_rWindow);
// Deep-copies the image into the staged reference of the window.
void SetMatNewFPNReference(MainWindow& p_rWindow, cv::Mat p_Image);

// Points g_pRawImage16b at p_pPixels (p_Geometry: the geometry the path read
// for this frame), then runs the FPN step, the display and the series on the
// calling thread, as the rule says.
FrameHandOffResult HandOffFrame(MainWindow& p_rWindow, unsigned short* p_pPixels, const FrameGeometry& p_Geometry,
                                const FrameHandOffRule& p_Rule);

// Whether a frame handed off now would be read by nothing: the display is
// busy (and refuses it) and no series of the rule is taking frames.
bool FrameDropsUnread(const MainWindow& p_rWindow, const FrameHandOffRule& p_Rule);

// What HandOffFrame does with a frame while the display is busy, for a frame
// whose pixels were not taken because FrameDropsUnread held: the FPN step
// skips it, and the display refuses and counts it when the rule shows it.
FrameHandOffResult HandOffUnreadFrame(MainWindow& p_rWindow, const FrameHandOffRule& p_Rule);

// Offers one frame to a save-all series of the window: its format and length
// from the window's save-all state, files in p_sFolder. The end of the series
// stops save-all at once (no further frame is saved) and leaves the widgets
// to the GUI thread.
FrameSeriesResult OfferFrameToSeries(MainWindow& p_rWindow, const FrameSeries& p_Series, const QString& p_sFolder,
                                     const unsigned short* p_pPixels, const FrameGeometry& p_Geometry,
                                     const cv::Mat& p_Display8b);

// The frame geometry the window holds now.
FrameGeometry WindowFrameGeometry(const MainWindow& p_rWindow);
