// The critical boxes of the board links, routed through one replaceable presenter.
#include "board/board_message_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

#include <mutex>

namespace {

std::mutex g_PresenterMutex;
BoardMessagePresenter g_Presenter;

BoardMessagePresenter CurrentPresenter()
{
    std::lock_guard<std::mutex> lock(g_PresenterMutex);
    return g_Presenter;
}

void Present(QWidget* p_pParent, const QString& p_sTitle, const QString& p_sText)
{
    if (BoardMessagePresenter presenter = CurrentPresenter()) {
        presenter(p_pParent, p_sTitle, p_sText);
        return;
    }
    QMessageBox box(QMessageBox::Critical, p_sTitle, p_sText, QMessageBox::Ok, p_pParent);
    box.exec();
}

} // namespace

void SetBoardMessagePresenter(BoardMessagePresenter p_Presenter)
{
    std::lock_guard<std::mutex> lock(g_PresenterMutex);
    g_Presenter = std::move(p_Presenter);
}

void ShowBoardCriticalBox(QWidget* p_pParent, const QString& p_sTitle, const QString& p_sText)
{
    QCoreApplication* pApp = QCoreApplication::instance();
    if (pApp == nullptr)
        return;
    if (QThread::currentThread() == pApp->thread()) {
        Present(p_pParent, p_sTitle, p_sText);
        return;
    }
    // A widget must not be touched off the GUI thread, the parent included.
    QMetaObject::invokeMethod(
        pApp, [p_sTitle, p_sText]() { Present(nullptr, p_sTitle, p_sText); }, Qt::QueuedConnection);
}
