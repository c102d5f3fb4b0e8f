// The critical boxes of the board links, routed through one replaceable presenter.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Shows one modal critical box with one OK button. Tests replace it so that
// nothing blocks; an empty function restores the default.
using BoardMessagePresenter = std::function<void(QWidget* p_pParent, const QString& p_sTitle, const QString& p_sText)>;
void SetBoardMessagePresenter(BoardMessagePresenter p_Presenter);

// On the GUI thread the box is shown at once and the call returns when the
// operator closed it. From any other thread (frame callbacks) the box is
// queued to the GUI thread and the call returns at once, without a parent.
void ShowBoardCriticalBox(QWidget* p_pParent, const QString& p_sTitle, const QString& p_sText);
