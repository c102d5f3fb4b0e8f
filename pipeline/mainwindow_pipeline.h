// Free functions of the image pipeline that reach the one main window.
#pragma once

#include <opencv2/core.hpp>

// How the acquisition side drives the pipeline of the main window:
// - Init: FrameWidth/FrameHeight/FramePitch, then ImageView->setFrameSize and
//   ImageView->initOverlay(pitch, height); InitMatrices calls InitPipelineImages.
// - g_pRawImage16b / g_pCorrectedImage16b (pipeline/frame_buffers.h) point at
//   frames of FrameHeight x FramePitch/2 pixels.
// - Getinterruption: ImageView->startAcquisition(scrollArea size, FrameWidth).
// - Every delivered frame, on the delivering thread: ComputeFPNReference(),
//   then UpdateDisplay(g_pRawImage16b). Frames arriving while g_bDisplayBusy
//   is set are dropped and counted in Pipeline->DroppedFrames.
// - Deinit: ImageView->stopAcquisition(), ReleasePipelineImages(), LutActive = false.
// The hooks of PipelineState (calibration, displayed-RAW saver, recorder,
// Corvane register) are set by the subsystems that own those parts.

// The per-frame FPN step; every frame path calls it just before UpdateDisplay.
void ComputeFPNReference();
// Deep-copies the image into the staged reference of the main window.
void SetMatNewFPNReference(cv::Mat p_Image);
