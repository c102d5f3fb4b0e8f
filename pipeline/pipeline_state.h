// The image pipeline's own state inside the main window: what the frame path keeps between frames and the widget mirrors it reads.
#pragma once

#include "pipeline/agc.h"
#include "pipeline/colour_lut.h"
#include "pipeline/correction_chain.h"
#include "pipeline/fpn_reference.h"

#include <QObject>
#include <opencv2/core.hpp>

#include <atomic>

class QAbstractButton;
class QSpinBox;
class QWidget;

// The frame path runs on acquisition threads, where no widget may be read:
// the GUI thread keeps these mirrors of the widgets it needs up to date
// through the widgets' own signals (and a resize filter for the scroll area).
class PipelineState : public QObject
{
    Q_OBJECT

public:
    explicit PipelineState(std::atomic<bool>* p_pFpnRequest, QObject* p_pParent = nullptr);

    // Widget mirrors, written on the GUI thread only.
    std::atomic<bool> ApplyNUCChecked{false};
    std::atomic<bool> NUC2ptChecked{false};
    std::atomic<bool> GammaChecked{false};
    std::atomic<bool> AGCChecked{false};
    std::atomic<bool> SaveAllDisplayedRawChecked{false};
    std::atomic<int> ScrollAreaWidth{0};
    std::atomic<int> ScrollAreaHeight{0};

    void mirrorCheckBox(QAbstractButton* p_pBox, std::atomic<bool>& p_Mirror);
    void mirrorSize(QWidget* p_pWidget);

    // Acquisition side, touched only by the thread that delivers frames.
    FpnReferenceBuilder Fpn;
    BadPixelFillState BadPixelFill;
    GammaTable Gamma;
    // Frames refused by the one-frame rule (busy display, or a Camera Link frame not flagged ready).
    std::atomic<unsigned> DroppedFrames{0};
    // The push button's state as last asked for, so that a run queues one change, not one per frame.
    std::atomic<bool> FpnButtonDisabled{false};
    // The scale of the frame handed to the display slot.
    std::atomic<double> ShownScale{1.0};

    // GUI side.
    AgcState Agc;
    cv::Mat AgcInput;                         // the AGC's copy of the float working image
    std::atomic<bool> AgcFrameWanted{false};  // the AGC asks the next displayed frame for a copy
    ColourLutPlanes Lut;

protected:
    bool eventFilter(QObject* p_pWatched, QEvent* p_pEvent) override;

private:
    QWidget* m_pSized = nullptr;
};
