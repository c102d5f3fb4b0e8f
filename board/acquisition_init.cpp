// Acquisition set-up per board kind: frame geometry, frame buffers and working images (MainWindow::Init and helpers).
#include "board/acquisition_links.h"
#include "board/acquisition_state.h"
#include "board/connect_retry.h"
#include "board/eskra_frame_stream.h"
#include "board/links/cameralink_link.h"
#include "board/mainwindow_board_link.h"
#include "board/board_message_box.h"
#include "board/links/eskra_link.h"
#include "board/multicam_channel.h"
#include "board/links/usb3_link.h"

#include "app/globals.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/message_boxes.h"
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "platform/ebus/ebus.h"
#include "usb3lib/Quenlin.h"
#include "platform/serialports/serial_ports.h"

#include <vector>

namespace {

void Box(MainWindow* p_pWindow, const QString& p_sTitle, const QString& p_sText)
{
    PresentMessageBox({p_pWindow, QMessageBox::Critical, p_sTitle, p_sText, {QStringLiteral("OK")}});
}

} // namespace

bool MainWindow::Init(bool* p_pWindowingDisabled)
{
    GetPointerToInstance();
    const BoardKind kind = DigiBoardKind;
    const int proxy = CurrentProxyIndex;
    auto logSizes = [this](const char* p_szProxyLabel) {
        Log->writeLine(QString::fromLatin1(p_szProxyLabel) + QString::fromUtf8(g_szProxyName));
        Log->writeLine("AcqSizeX: " + QString::number(FrameWidth.load()));
        Log->writeLine("AcqSizeY: " + QString::number(FrameHeight.load()));
        Log->writeLine("AcqPitch: " + QString::number(FramePitch.load()));
    };
    auto setOrientationCells = [proxy]() {
        SetCurrent(proxy, ProxyParameterId::UpCol, 1);
        SetCurrent(proxy, ProxyParameterId::UpRow, 1);
    };

    switch (kind) {
    case BoardKind::Arvex:
    case BoardKind::Belmor:
    case BoardKind::BelmorPlus: {
        CameraLinkLink& link = CameraLinkBoard();
        Log->writeLine("***** Belmor+ initializing *****");
        if (!CameraLinkSerialOpen) {
            CameraLinkSerialOpen = true;
            Log->writeLine("Init CameraLink Serial Port ...");
            if (link.connect() != ConnectResult::Connected) {
                CameraLinkSerialOpen = false;
                Box(this, QStringLiteral("Critical"),
                    "ActivateTerminal() fail: Serial Port Initialization Error: " + QString::fromLatin1(link.lastMessage()));
                Log->writeLine("... FAILED");
                return true;
            }
            Log->writeLine("... OK");
        }
        Log->writeLine("Multicam initialization with Camfile");
        link.setCameraFile(ProxyName, p_pWindowingDisabled ? *p_pWindowingDisabled : true, TwoTap);
        // The channel runs once set up: its first frames find the path, and a busy display.
        std::unique_ptr<FrameSink> path = MakeWindowFramePath(this, link.framePathRules());
        link.setFrameSink(path.get());
        LinkFramePath = std::move(path);
        PrepareRequest request;
        request.ProxyIndex = proxy;
        request.TransportOpened = [this] {
            bInitDriverDone = true;
            g_bAcquisitionEnded = false;
            g_bDisplayBusy = true;
            CameraLinkFrameReady = false;
        };
        const PrepareResult prepared = link.prepare(request);
        if (prepared.Result != PrepareResult::Ready) {
            // No channel exists any more: the next Start must set it up again.
            bInitDriverDone = false;
            Box(this, prepared.Title, prepared.Text);
            Log->writeLine("... FAILED");
            Log->writeLine("ISSUE : " + QString::fromLatin1(link.lastMessage()));
            return true;
        }
        const InitResult geometry = link.init();
        FrameWidth = geometry.Width;
        FrameHeight = geometry.Height;
        FramePitch = geometry.Pitch;
        SetAcquisitionProxyName(ProxyName.toUtf8().constData());
        logSizes("Proxy ");
        setOrientationCells();
        InitPointers();
        InitMatrices();
        if (ImageView) {
            ImageView->initOverlay(FramePitch, FrameHeight);
            ImageView->setFrameSize(FrameWidth, FrameHeight);
        }
        FrameCounter = 0;
        return false;
    }

    case BoardKind::Corvane: {
        CorvaneLink->attach(LinkContext{Log});
        PrepareRequest request;
        request.ProxyIndex = proxy;
        const PrepareResult prepared = CorvaneLink->prepare(request);
        if (prepared.Result == PrepareResult::Failed) {
            Box(this, prepared.Title, prepared.Text);
            Log->writeLine("Failed while initializing Corvane - ERROR "
                           + QString::number(static_cast<Usb3Link&>(*CorvaneLink).captureStatus()));
            Deinit();
            return true;
        }
        g_bAcquisitionEnded = false;
        setOrientationCells();
        bInitDriverDone = true;
        StopAcquisition = false;
        const InitResult geometry = CorvaneLink->init();
        FrameWidth = geometry.Width;
        FrameHeight = geometry.Height;
        FramePitch = geometry.Pitch;
        SetAcquisitionProxyName(ProxyModelName(proxy));
        logSizes("Proxy: ");
        if (!geometry.InBounds) {
            Log->writeLine("Problem when initialization (Bad Size) --> Deinit");
            Deinit();
            return true;
        }
        if (ImageView)
            ImageView->setFrameSize(FrameWidth, FrameHeight);
        InitPointers();
        InitMatrices();
        if (ImageView)
            ImageView->initOverlay(FramePitch, FrameHeight);
        FrameCounter = -1;
        bInitDriverDone = true;
        WaitMs(1);
        return false;
    }

    case BoardKind::Dunstel: {
        Log->writeLine("***** Dunstel initializing *****");
        setOrientationCells();
        bInitDriverDone = true;
        Log->writeLine("Get Dunstel data about size and proxy configuration");
        const InitResult geometry = DunstelLink->init();
        g_bAcquisitionEnded = false;
        StopAcquisition = false;
        FrameWidth = geometry.Width;
        FrameHeight = geometry.Height;
        FramePitch = geometry.Pitch;
        SetAcquisitionProxyName(ProxyModelName(proxy));
        logSizes("Proxy: ");
        if (!geometry.InBounds) {
            Log->writeLine("Problem when initialization (Bad Size) --> Deinit");
            Deinit();
            return true;
        }
        InitPointers();
        InitMatrices();
        if (ImageView) {
            ImageView->initOverlay(FramePitch, FrameHeight);
            ImageView->setFrameSize(FrameWidth, FrameHeight);
        }
        FrameCounter = -1;
        bInitDriverDone = true;
        return false;
    }

    case BoardKind::Eskra: {
        Log->writeLine("***** Eskra initializing *****");
        EskraBoardLink->attach(LinkContext{Log});
        PrepareRequest request;
        request.ProxyIndex = proxy;
        const PrepareResult prepared = EskraBoardLink->prepare(request);
        // A failure also ends the one-press connection: the button returns to "Connect".
        if (prepared.Result != PrepareResult::Ready) {
            if (static_cast<const EskraLink&>(*EskraBoardLink).portFound())
                ShowBoardCriticalBox(nullptr, prepared.Title, prepared.Text);
            else
                Box(this, prepared.Title, prepared.Text);
            Deinit();
            return true;
        }
        setOrientationCells();
        const InitResult geometry = EskraBoardLink->init();
        StopAcquisition = false;
        FrameWidth = geometry.Width;
        FrameHeight = geometry.Height;
        FramePitch = geometry.Pitch;
        Log->writeLine("Init Matrices");
        InitPointers();
        InitMatrices();
        if (ImageView)
            ImageView->initOverlay(FramePitch, FrameHeight);
        Log->writeLine("Init OK");
        SetAcquisitionProxyName(ProxyModelName(proxy));
        Log->writeLine("Proxy: " + QString::fromUtf8(g_szProxyName));
        bInitDriverDone = true;
        return false;
    }

    default:
        return false;
    }
}

void MainWindow::InitPointers()
{
    Log->writeLine("Data pointer initialization ...");
    AllocateAcquisitionBuffers(this, size_t(std::max(FramePitch.load(), 0)), size_t(std::max(FrameHeight.load(), 0)));
    Log->writeLine("... OK");
}

void MainWindow::InitMatrices()
{
    Log->writeLine("Matrices initialization ...");
    // The pipeline owns the images' roles; it makes them for the current
    // geometry (create keeps an image that already has the size and type) and
    // fills them, the two-point gain plane with 1.0 and the others with 0.
    if (FrameHeight > 0 && FramePitch >= 2)
        InitPipelineImages();
    Log->writeLine("... OK");
}
