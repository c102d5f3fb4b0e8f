// MainWindow: the keys S, F1 and F4 on the window and its watched widgets, debug mode, and the file picker.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "board/cameralink_serial.h"
#include "board/links/board_traits.h"
#include "app/message_boxes.h"
#include "mainwindow/proxy_controls.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>

void MainWindow::HandleShutterKey()
{
    if (BoardTraitsOf(DigiBoardKind).ShutterKeyTakesBoardReference) {
        // The board takes its own reference.
        if (SendCameraLinkText("!s") != 0)
            Log->writeLine("Shutter command !s not sent");
        return;
    }
    PushButton_TakeFPNRef();
}

void MainWindow::HandleDebugKey()
{
    ++F1F4Count;
    if (F1F4Count != 2 || ui->actionDebug_Mode->isEnabled())
        return;
    Log->writeLine("Debug Mode enabled");
    ui->actionDebug_Mode->setVisible(true);
    ui->actionDebug_Mode->setEnabled(true);
    ui->actionDebug_Mode->setCheckable(true);
    PresentMessageBox({this, QMessageBox::Information, QStringLiteral("Debug Mode enabled"),
                       QStringLiteral("The Debug Mode has been enabled !"), {QStringLiteral("Ok")}});
}

void MainWindow::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_S:
        HandleShutterKey();
        break;
    case Qt::Key_F1:
    case Qt::Key_F4:
        HandleDebugKey();
        break;
    default:
        break;
    }
}

void MainWindow::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F1 || e->key() == Qt::Key_F4)
        --F1F4Count;
}

bool MainWindow::eventFilter(QObject* obj, QEvent* e)
{
    // The capture thread's activity check reads this instead of the widget.
    if (ui && obj == ui->centralWidget) {
        if (e->type() == QEvent::Show) {
            CentralWidgetVisible = true;
            TearDownQueued = false;
        } else if (e->type() == QEvent::Hide) {
            CentralWidgetVisible = false;
        }
    }
    if (e->type() != QEvent::KeyPress)
        return false;
    const int iKey = static_cast<QKeyEvent*>(e)->key();
    if (iKey == Qt::Key_S) {
        if (BoardTraitsOf(DigiBoardKind).ShutterKeyOnWidgets) {
            HandleShutterKey();
            return true;
        }
        return false;
    }
    if (iKey == Qt::Key_F1 || iKey == Qt::Key_F4) {
        HandleDebugKey();
        return true;
    }
    return false;
}

QString MainWindow::SelectFileDialog(QString p_sTitle, QString p_sNameFilter)
{
    QPointer<QFileDialog> pDialog = new QFileDialog(this, QString(), QString(), QString());
    pDialog->setWindowTitle(p_sTitle);
    pDialog->setNameFilter(p_sNameFilter);
    pDialog->setFileMode(QFileDialog::ExistingFile);
    pDialog->setModal(false);

    const int iResult = WaitForDialog(pDialog.data());

    // Cancel leaves the folder shown as the path, which names no file.
    QString sPath;
    if (pDialog) {
        if (iResult == QDialog::Accepted && !pDialog->selectedFiles().isEmpty())
            sPath = pDialog->selectedFiles().first();
        else
            sPath = pDialog->directory().absolutePath();
        pDialog->deleteLater();
    }
    if (iResult != QDialog::Accepted || !QFileInfo(sPath).isFile()) {
        Log->writeLine("Selected file: " + sPath + " does not seems correct. Abort.");
        return QString();
    }
    return sPath;
}
