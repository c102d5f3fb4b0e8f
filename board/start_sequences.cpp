// The "Start" branch of the main button: each board kind's start sequence around Init and Getinterruption.
#include "board/acquisition_links.h"
#include "board/acquisition_state.h"
#include "board/links/gige_link.h"

#include "app/widget_style.h"
#include "app/app_paths.h"
#include "app/globals.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "platform/ebus/ebus.h"

#include <QElapsedTimer>
#include <QIcon>

#include <iostream>

namespace {

// How long the unmount wait of a Camera Link stop without frames may take.
constexpr int kUnmountWaitLimitMs = 10000;

void CriticalBox(MainWindow* p_pWindow, const QString& p_sTitle, const QString& p_sText)
{
    PresentMessageBox({p_pWindow, QMessageBox::Critical, p_sTitle, p_sText, {QStringLiteral("OK")}});
}

} // namespace

void MainWindow::StartAcquisitionSequence()
{
    const MainPressScope scope(this);
    const BoardKind kind = DigiBoardKind;
    Log->writeLine("Acquisition in progress");
    SetControlEnabled(MainControl::SoftwareBPCorrectionAction, false);
    SetControlEnabled(MainControl::DatasheetProxyAction, true);
    SetControlEnabled(MainControl::OpenProxyDatasheetButton, true);
    SetControlText(MainControl::ProxyLabel, ProxyName);
    SetControlIcon(MainControl::StartButton, SharedIcon(ApplicationDirPath() + "/Images/Icons/" + "Icon_Stop.png"));
    auto enableView = [this]() {
        if (ImageView)
            ImageView->setEnabled(true);
    };
    const int proxy = CurrentProxyIndex;

    switch (kind) {
    case BoardKind::Arvex:
    case BoardKind::Belmor:
    case BoardKind::BelmorPlus: {
        if (!bInitDriverDone) {
            bool bWindowingDisabled = g_bWindowingDisabled;
            if (Init(&bWindowingDisabled)) {
                // The connection stays open; the operator may press "Start" again.
                SetControlEnabled(MainControl::StartButton, true);
                return;
            }
            if (StartOvertaken(kind))
                return;
            bInitDriverDone = true;
        } else {
            Log->writeLine("CameraLink already initialized");
        }
        SetControlEnabled(MainControl::TwoTapBox, false);
        SetControlEnabled(MainControl::SetParametersButton, true);
        SetCurrent(proxy, ProxyParameterId::AGC, 0);
        if (kind == BoardKind::BelmorPlus) {
            SetControlEnabled(MainControl::ApplyNUCBox, true);
            SetControlEnabled(MainControl::SoftwareBPCorrectionAction, true);
        } else if (kind == BoardKind::Arvex) {
            SetControlEnabled(MainControl::ApplyNUCBox, true);
            SetControlChecked(MainControl::ApplyNUCBox, true);
            SetControlEnabled(MainControl::AGCBox, false);
            SetControlChecked(MainControl::AGCBox, false);
        } else {
            SetControlEnabled(MainControl::AGCBox, true);
            SetControlChecked(MainControl::AGCBox, false);
        }
        Log->writeLine("... OK");
        StopAcquisition = true;
        g_bDisplayBusy = true;
        CameraLinkFrameReady = false;
        NoFrameSeconds = 0;
        SetControlText(MainControl::StartButton, QStringLiteral("Safe\ndisconnection"));
        Getinterruption();
        Log->writeLine("Acquisition Stopped");
        if (StartOvertaken(kind))
            return;
        if (FrameCounter > 0 || NoFrameSeconds <= 3) {
            Deinit();
            SetControlEnabled(MainControl::StartButton, true);
            enableView();
            return;
        }
        SetControlEnabled(MainControl::StartButton, false);
        SetControlText(MainControl::StateLabel, QStringLiteral("Unmounting, wait..."));
        QElapsedTimer waited;
        waited.start();
        while (!g_bAcquisitionEnded && waited.elapsed() < kUnmountWaitLimitMs) {
            SetControlText(MainControl::StateLabel, QStringLiteral("Unmounting Driver, wait..."));
            WaitMs(100);
        }
        SetControlText(MainControl::StateLabel, QStringLiteral("Ready"));
        Deinit();
        return;
    }

    case BoardKind::Corvane: {
        if (!bInitDriverDone) {
            g_bWindowingDisabled = true;
            bool bWindowingDisabled = true;
            if (Init(&bWindowingDisabled))
                return;
        } else {
            std::cout << "already initialized" << std::endl;
        }
        WaitMs(20);
        if (StartOvertaken(kind))
            return;
        SetControlEnabled(MainControl::SetParametersButton, true);
        SetControlEnabled(MainControl::AGCBox, true);
        SetControlChecked(MainControl::AGCBox, false);
        SetCurrent(proxy, ProxyParameterId::AGC, 0);
        bInitDriverDone = true;
        StopAcquisition = false;
        SetControlText(MainControl::StartButton, QStringLiteral("Safe\ndisconnection"));
        FrameCounter = -1;
        NoFrameSeconds = 0;
        Getinterruption();
        WaitMs(2);
        SetControlEnabled(MainControl::StartButton, true);
        enableView();
        return;
    }

    case BoardKind::Dunstel: {
        Log->writeLine("Send the Gige to used for other window");
        HandGigEToToolWindows();
        auto failStart = [this](const QString& p_sTitle, const QString& p_sText) {
            CriticalBox(this, p_sTitle, p_sText);
            Log->writeLine(p_sText);
            SetControlEnabled(MainControl::StartButton, true);
        };
        PrepareRequest request;
        request.ProxyIndex = proxy;
        // The stream browser of the advanced commands needs the stream just opened.
        request.TransportOpened = [this] { HandGigEToAdvancedCommands(); };
        const PrepareResult prepared = DunstelLink->prepare(request);
        if (prepared.Result == PrepareResult::Failed) {
            failStart(prepared.Title, prepared.Text);
            return;
        }
        FrameWidth = prepared.Width;
        FrameHeight = prepared.Height;
        if (prepared.Result == PrepareResult::SizeRefused) {
            // The device would stay connected without a stream: the whole
            // connection is torn down and the operator told why.
            Deinit();
            CriticalBox(this, QStringLiteral("Critical"),
                        "The Dunstel did not take the image size " + QString::number(prepared.RequestedWidth) + "x"
                            + QString::number(prepared.RequestedHeight) + ". The DigiBoard has been disconnected.");
            return;
        }
        if (!bInitDriverDone) {
            Log->writeLine("Initialize Driver ...");
            g_bWindowingDisabled = true;
            bool bWindowingDisabled = true;
            if (Init(&bWindowingDisabled))
                return;
            Log->writeLine("... OK");
        } else {
            Log->writeLine("Already initialized");
        }
        std::cout << "bInitDriverDone " << (bInitDriverDone ? 1 : 0) << std::endl;
        SetControlText(MainControl::StartButton, QStringLiteral("Safe\ndisconnection"));
        static_cast<GigELink&>(*DunstelLink).setupDestination();
        Getinterruption();
        Log->writeLine("Acquisition stopped");
        SetControlEnabled(MainControl::StartButton, true);
        Deinit();
        enableView();
        return;
    }

    case BoardKind::Eskra: {
        // The serial-port board connects and starts in one press; a failing
        // Init has already returned the window to "Connect".
        bool bWindowingDisabled = g_bWindowingDisabled;
        if (!bInitDriverDone && Init(&bWindowingDisabled))
            return;
        SetControlText(MainControl::StartButton, QStringLiteral("Safe\ndisconnection"));
        NoFrameSeconds = 0;
        Getinterruption();
        Deinit();
        enableView();
        return;
    }

    default:
        return;
    }
}
