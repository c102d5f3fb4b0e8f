// The critical boxes of the board links, shown on the GUI thread through the main window's box presenter.
#include "board/board_message_box.h"

#include "app/message_boxes.h"
#include "app/thread_call.h"

#include <QCoreApplication>
#include <QThread>

namespace {

void Present(QWidget* p_pParent, const QString& p_sTitle, const QString& p_sText)
{
    PresentMessageBox({p_pParent, QMessageBox::Critical, p_sTitle, p_sText, {QStringLiteral("Ok")}});
}

} // namespace

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
    PostToThreadOf(pApp, [p_sTitle, p_sText]() { Present(nullptr, p_sTitle, p_sText); });
}
