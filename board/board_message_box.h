// The critical boxes of the board links, shown on the GUI thread through the main window's box presenter.
#pragma once

#include <QString>

class QWidget;

// Shows one modal critical box with one OK button through PresentMessageBox
// (app/message_boxes.h, which tests replace). On the GUI thread the
// call returns when the operator closed the box; from any other thread (frame
// callbacks) the box is queued to the GUI thread without a parent and the
// call returns at once.
void ShowBoardCriticalBox(QWidget* p_pParent, const QString& p_sTitle, const QString& p_sText);
