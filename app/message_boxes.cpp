// The program's modal message boxes behind their presenter, and the wait for a non-modal dialog.
#include "app/message_boxes.h"

#include <QAbstractButton>
#include <QDialog>
#include <QEventLoop>
#include <QPushButton>

namespace {

MessageBoxPresenter& Presenter()
{
    static MessageBoxPresenter presenter;
    return presenter;
}

int ShowModalBox(const MessageBoxRequest& p_Request)
{
    QMessageBox box(p_Request.icon, p_Request.title, p_Request.text, QMessageBox::NoButton, p_Request.parent);
    QList<QAbstractButton*> buttons;
    for (const QString& sButton : p_Request.buttons)
        buttons << box.addButton(sButton, buttons.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::ActionRole);
    box.exec();
    return buttons.indexOf(box.clickedButton());
}

} // namespace

void SetMessageBoxPresenter(MessageBoxPresenter p_Presenter)
{
    Presenter() = std::move(p_Presenter);
}

int PresentMessageBox(const MessageBoxRequest& p_Request)
{
    if (Presenter())
        return Presenter()(p_Request);
    return ShowModalBox(p_Request);
}

int WaitForDialog(QDialog* p_pDialog)
{
    if (p_pDialog == nullptr)
        return QDialog::Rejected;
    QEventLoop loop;
    int iResult = QDialog::Rejected;
    QObject::connect(p_pDialog, &QDialog::finished, &loop, [&loop, &iResult](int p_iResult) {
        iResult = p_iResult;
        loop.quit();
    });
    QObject::connect(p_pDialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    p_pDialog->show();
    loop.exec();
    return iResult;
}
