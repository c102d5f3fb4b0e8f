// One connection attempt: open the selected board's command link and settle which proxy the operator works with.
#include "mainwindow/MainWindow.h"
#include "app/digiboard_kind.h"

#include "ui_MW_ProxyBelmor.h"

#include "app/kv_log.h"
#include "board/board_message_box.h"
#include "board/cameralink_serial.h"
#include "board/connect_retry.h"
#include "board/links/cameralink_link.h"
#include "mainwindow/MW_ProxyBelmor.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>

#include <vector>

namespace {

// A freshly shown selector needs a moment before the window system makes it
// active; only after that does losing the activation end the wait.
constexpr int kSelectorActivationGraceMs = 1000;

} // namespace

void MainWindow::ReleaseGigEConnection()
{
    DunstelLink->releaseConnection();
}

void MainWindow::CreateConnectionWindows()
{
    ProxySelector = new MW_ProxyBelmor;
    ProxySelector->SetLog(Log);
    BelmorProxySource = ProxySelector;
}

int MainWindow::ConnectToBoard(int attempt)
{
    QCoreApplication::processEvents();
    const BoardKind iKind = DigiBoardKind;

    auto openCameraLinkPort = [this]() -> bool {
        if (CameraLinkSerialOpen)
            return true;
        CameraLinkSerialOpen = true;
        Log->writeLine("Init CameraLink Serial Port ...");
        CameraLinkLink& link = CameraLinkBoard();
        if (link.connect() != ConnectResult::Connected) {
            CameraLinkSerialOpen = false;
            ShowBoardCriticalBox(this, QStringLiteral("Critical"),
                                 "ActivateTerminal() fail: Serial Port Initialization Error: "
                                     + QString::fromLocal8Bit(link.lastMessage()));
            Log->writeLine("... FAILED");
            return false;
        }
        Log->writeLine("... OK");
        return true;
    };

    switch (iKind) {
    case BoardKind::Belmor: {
        Log->writeLine("Mode Belmor selected");
        if (!openCameraLinkPort())
            return ConnectResult::LinkFailed;
        MW_ProxyBelmor* pSelector = ProxySelector;
        pSelector->show();
        pSelector->raise();
        pSelector->activateWindow();
        pSelector->StartGrabKeyboard();
        QElapsedTimer shown;
        shown.start();
        bool bWasActive = false;
        int iRejected = pSelector->RejectedCodes;
        while (!pSelector->Closed) {
            if (pSelector->RejectedCodes != iRejected) {
                // A wrong code keeps the selector open: its box took the
                // activation for a while, and the wait goes on as at the show.
                iRejected = pSelector->RejectedCodes;
                bWasActive = false;
                shown.restart();
            }
            const bool bActive = pSelector->isActiveWindow();
            bWasActive = bWasActive || bActive;
            if (!bActive && (bWasActive || shown.elapsed() > kSelectorActivationGraceMs))
                break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        pSelector->StopGrabKeyboard();
        if (!pSelector->Accepted) {
            pSelector->Accepted = false;
            pSelector->Closed = false;
            pSelector->hide();
            return ConnectResult::BelmorNotConfirmed;
        }
        SetCurrentProxyIndex(pSelector->ReadProxyNumber());
        pSelector->Accepted = false;
        pSelector->Closed = false;
        applyProxyModelDefaults();
        Log->writeLine("Proxy " + QString::number(CurrentProxyIndex) + " - " + ProxyName + " wanted");
        SetConnected(true);
        break;
    }
    case BoardKind::Arvex:
    case BoardKind::BelmorPlus:
        if (!openCameraLinkPort())
            return ConnectResult::LinkFailed;
        SetConnected(true);
        ReadConfigIntoDigiBoard();
        break;
    case BoardKind::Corvane:
        CorvaneLink->attach(LinkContext{Log});
        if (const int iResult = CorvaneLink->connect(); iResult != ConnectResult::Connected)
            // A capture that does not initialise is retried as an absent board until the last attempt.
            return iResult == ConnectResult::LinkFailed && attempt != ConnectAttemptLimit
                       ? ConnectResult::CorvaneAbsent
                       : iResult;
        SetConnected(true);
        ReadConfigIntoDigiBoard();
        break;
    case BoardKind::Dunstel: {
        DunstelLink->attach(LinkContext{Log});
        if (const int iResult = DunstelLink->connect(); iResult != ConnectResult::Connected)
            return iResult;
        Log->writeLine("Update the other window with the correct Serial Port used by the GigE");
        HandGigEToToolWindows();
        HandGigEToAdvancedCommands();
        SetConnected(true);
        qDebug() << "Reading config Into DB ...";
        ReadConfigIntoDigiBoard();
        qDebug() << "Reading OK !";
        break;
    }
    default:
        // No board, or Eskra (which connects from its own path): no link to open.
        break;
    }

    qDebug() << "Config MW_Setup";
    qDebug() << "Config I2C";
    qDebug() << "Config DONE !";
    return ConnectResult::Connected;
}
