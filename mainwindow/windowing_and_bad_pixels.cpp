// The main window's side of sensor windowing and bad-pixel maps: the windowing window's life cycle, the restart after windowing and the map file choice.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/file_dialog.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/acquisition_links.h"
#include "board/bad_pixel_map.h"
#include "board/register_writer.h"
#include "app/message_boxes.h"
#include "tools/MW_Windowing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstring>

void MainWindow::ConnectWindowingControls()
{
    connect(ui->pushButton_SetWindow, &QPushButton::released, this, &MainWindow::PushButton_SetWindow);
    connect(ui->action_WindowingConfiguration, &QAction::triggered, this, [this](bool) { ActionWindowing(); });
    connect(ui->pushButton_SelectBPFile, &QPushButton::clicked, this, [this](bool) { PushButton_SelectBP_File(); });
}

void MainWindow::ActionWindowing()
{
    if (!Connected) {
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Start connexion first"),
                           QStringLiteral("Connexion has not been established yet. Please click on Connect button first."),
                           {QStringLiteral("Ok")}});
        Log->writeLine("Windowing configuration can't be opened because no connection with a DigiBoard is made");
        return;
    }
    if (WindowingWindow) {
        // A hidden window is left alone until it reports its close.
        if (WindowingWindow->isVisible()) {
            WindowingWindow->activateWindow();
            WindowingWindow->centralWidget()->raise();
        }
        return;
    }
    auto* pWindow = new MW_Windowing(nullptr);
    WindowingWindow = pWindow;
    // A corner the board refuses is shown: the window then stops before the restart.
    pWindow->setRegisterWriter([this](int p_iId, int p_iValue) {
        return WriteWindowCorner(this, DigiBoardKind, p_iId, uint32_t(p_iValue), RegisterErrorPolicy::MessageBox);
    });
    pWindow->setProxy(ProxyName, CurrentProxyIndex);
    pWindow->setSecondCamFile(TwoTap);
    pWindow->setImageSize(uint16_t(FrameWidth.load()), uint16_t(FrameHeight.load()));
    connect(pWindow, &MW_Windowing::Windowing_configured, this, &MainWindow::Windowing_asked);
    connect(pWindow, &MW_Windowing::CloseWindow, this, &MainWindow::CloseWindowingConfigurationWindow);
    // Once a second, with the measured rate, the window is given the stream's
    // geometry when it has changed (a windowing restart changes it), so its
    // image size and estimate describe what streams.
    WindowingCurrentFps = [this, pGuard = QPointer<MW_Windowing>(pWindow), uWidth = uint16_t(FrameWidth.load()),
                           uHeight = uint16_t(FrameHeight.load())](uint16_t p_uFps) mutable {
        if (!pGuard)
            return;
        const uint16_t uNowWidth = uint16_t(FrameWidth.load());
        const uint16_t uNowHeight = uint16_t(FrameHeight.load());
        if (uNowWidth != 0 && uNowHeight != 0 && (uNowWidth != uWidth || uNowHeight != uHeight)) {
            uWidth = uNowWidth;
            uHeight = uNowHeight;
            pGuard->setImageSize(uWidth, uHeight);
        }
        pGuard->setCurrentFps(p_uFps);
    };
    pWindow->activateWindow();
    pWindow->setAttribute(Qt::WA_QuitOnClose, false);
    pWindow->show();
    Log->writeLine("Opening Windowing Configuration Window");
}

void MainWindow::CloseWindowingConfigurationWindow()
{
    Log->writeLine("Close Windowing Configuration Window");
    WindowingCurrentFps = nullptr;
    // The window's own close handling is still on the stack: deleted later.
    if (WindowingWindow)
        WindowingWindow->deleteLater();
    WindowingWindow = nullptr;
}

void MainWindow::Windowing_asked(bool)
{
    Deinit();
    ui->checkBox_WindowingEnabled->setChecked(true);
    WaitMs(200);
    if (!AutoStart)
        PushButton_Start();
    PushButton_Start();
}

void MainWindow::PushButton_SelectBP_File()
{
    // One load at a time: an upload processes events while it runs.
    if (BadPixelUploadRunning)
        return;
    Log->writeLine("Selection of a BP file");
    FileDialogRequest request;
    request.Parent = this;
    request.Filter = HeaderConstants::FilterCsv;
    request.Places = StandardPlacesAnd(ApplicationDir);
    const QString sPath = ChooseFile(request);
    if (sPath.isEmpty() || !QFileInfo(sPath).isFile())
        return;
    OpenBadPixelFile(sPath);
}

bool MainWindow::OpenBadPixelFile(const QString& p_sPath)
{
    Log->writeLine("BadPixel File selected: " + p_sPath);
    FILE* pFile = std::fopen(QFile::encodeName(p_sPath).constData(), "r");
    if (pFile == nullptr) {
        Log->writeLine("Error when opening BP file");
        MessageBoxCritical(QStringLiteral("Error"), QStringLiteral("Error when opening BP file"));
        return false;
    }
    // Looked at before anything changes: a file that is no map leaves the one in use.
    if (!IsReadableBadPixelMap(ReadBadPixelCsv(ReadBadPixelFileContent(pFile)))) {
        std::fclose(pFile);
        const QString sName = QFileInfo(p_sPath).fileName();
        Log->writeLine("BadPixel File refused, nothing in it reads as a map: " + p_sPath);
        MessageBoxCritical(QStringLiteral("Error"),
                           "Nothing can be read from " + sName
                               + " as a bad pixel map (a \"Ligne;Colonne\" header, then row and column pairs).\n"
                                 "The bad pixel map in use is kept.");
        return false;
    }
    if (BadPixelFile)
        std::fclose(BadPixelFile);
    BadPixelFile = pFile;
    const size_t bytes = size_t(std::max(0, FrameHeight.load())) * size_t(std::max(0, FramePitch.load()));
    for (uint32_t* pList : BadPixelIndexList)
        if (pList)
            std::memset(pList, 0, bytes);
    ui->label_BPFile->setText(QFileInfo(p_sPath).fileName());
    Load_BadPixel_File();
    return true;
}
