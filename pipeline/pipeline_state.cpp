// The image pipeline's own state inside the main window.
#include "pipeline/pipeline_state.h"

#include <QAbstractButton>
#include <QEvent>
#include <QWidget>

PipelineState::PipelineState(std::atomic<bool>* p_pFpnRequest, QObject* p_pParent)
    : QObject(p_pParent), Fpn(p_pFpnRequest)
{
}

void PipelineState::mirrorCheckBox(QAbstractButton* p_pBox, std::atomic<bool>& p_Mirror)
{
    p_Mirror.store(p_pBox->isChecked());
    connect(p_pBox, &QAbstractButton::toggled, this, [&p_Mirror](bool p_bChecked) { p_Mirror.store(p_bChecked); });
}

void PipelineState::mirrorSize(QWidget* p_pWidget)
{
    m_pSized = p_pWidget;
    ScrollAreaWidth.store(p_pWidget->width());
    ScrollAreaHeight.store(p_pWidget->height());
    p_pWidget->installEventFilter(this);
}

bool PipelineState::eventFilter(QObject* p_pWatched, QEvent* p_pEvent)
{
    if (p_pWatched == m_pSized && p_pEvent->type() == QEvent::Resize) {
        ScrollAreaWidth.store(m_pSized->width());
        ScrollAreaHeight.store(m_pSized->height());
    }
    return QObject::eventFilter(p_pWatched, p_pEvent);
}
