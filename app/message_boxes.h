// The program's modal message boxes, behind a presenter that tests replace, and the wait for a non-modal dialog.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

struct MessageBoxRequest
{
    QWidget* parent = nullptr;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons; // in the order shown; none of them is the default
};

// Shows the box and returns the index of the button pressed, or -1 when the
// box was closed without one.
using MessageBoxPresenter = std::function<int(const MessageBoxRequest&)>;

// Replaces the process-wide presenter; an empty function restores the modal QMessageBox.
void SetMessageBoxPresenter(MessageBoxPresenter p_Presenter);

int PresentMessageBox(const MessageBoxRequest& p_Request);

// Shows a non-modal dialog and waits for it in a local event loop, so that the
// operator's other windows stay live meanwhile; the wait ends with the dialog,
// whichever way it is closed. Returns its result (Rejected when it was
// destroyed before it finished).
int WaitForDialog(QDialog* p_pDialog);
