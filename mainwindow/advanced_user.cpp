// MainWindow: the advanced-user mode and its password, the capture thread's activity check, the bad-pixel detection status, and the wiring of these controls.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "mainwindow/MW_AdvancedUser.h"
#include "app/message_boxes.h"
#include "mainwindow/proxy_controls.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "app/thread_call.h"

#include <QPointer>

#include <opencv2/highgui.hpp>

using namespace ProxyParameterId;

void MainWindow::LockAdvancedControls()
{
    const int p = CurrentProxyIndex;
    ui->spinBox_CKDIV->setEnabled(false);
    ui->label_CKDIV->setEnabled(false);
    ui->checkBox_DACFilter->setEnabled(false);
    SetCurrent(p, CKDIVEnabled, 0);
    SetCurrent(p, CKDIVLabelEnabled, 0);
    SetCurrent(p, DACFilterEnabled, 0);
    ui->checkBox_InvPClock->setChecked(false);
    ui->checkBox_InvPClock->setEnabled(false);
    SetCurrent(p, InvPClockEnabled, 0);
    SetCurrent(p, InvPClock, 0);
}

void MainWindow::UnlockAdvancedControls()
{
    const int p = CurrentProxyIndex;
    ui->spinBox_CKDIV->setEnabled(true);
    ui->label_CKDIV->setEnabled(true);
    SetCurrent(p, CKDIVEnabled, 1);
    SetCurrent(p, CKDIVLabelEnabled, 1);
    // Only the first three proxies have a DAC filter.
    const bool bDacFilter = p >= 1 && p <= 3;
    ui->checkBox_DACFilter->setEnabled(bDacFilter);
    SetCurrent(p, DACFilterEnabled, bDacFilter ? 1 : 0);
    ui->checkBox_InvPClock->setEnabled(true);
    SetCurrent(p, InvPClockEnabled, 1);
}

void MainWindow::AdvancedUserMode(bool p_bChecked)
{
    const int p = CurrentProxyIndex;
    SetCurrent(p, ControlCells::AdvancedUserState, p_bChecked ? 1 : 0);
    Log->writeLine("Advanced User Mode CheckBox:" + QString::number(p_bChecked ? 1 : 0));
    Log->writeLine("Window Open:" + QString::number(PasswordWindowOpen ? 1 : 0));

    if (PasswordWindowOpen && p_bChecked) {
        if (AdvancedUserWindow) {
            AdvancedUserWindow->close();
            AdvancedUserWindow->StopGrabKeyboard();
        }
        return;
    }
    const uint32_t uState = GetCurrent(p, ControlCells::AdvancedUserState);
    if (!PasswordWindowOpen && uState != 0 && AdvancedUserAuthenticated == 0) {
        PasswordWindowOpen = true;
        if (AdvancedUserWindow)
            AdvancedUserWindow->ClearPassword();
        // Checked again only by an accepted password; unchecking locks the controls meanwhile.
        ui->checkBox_Advanced_user->setChecked(false);
        if (AdvancedUserWindow) {
            AdvancedUserWindow->StartGrabKeyboard();
            AdvancedUserWindow->show();
        }
        return;
    }
    if (uState == 0)
        LockAdvancedControls();
    else if (AdvancedUserAuthenticated == 1)
        UnlockAdvancedControls();
}

void MainWindow::CheckPassword(int p_iResult)
{
    if (p_iResult == 0) {
        AdvancedUserAuthenticated = 1;
        Log->writeLine("Password correct");
        ui->checkBox_Advanced_user->setChecked(true);
        UnlockAdvancedControls();
        return;
    }
    Log->writeLine("Password incorrect");
    LockAdvancedControls();
    ui->checkBox_Advanced_user->setChecked(false);
    PresentMessageBox({AdvancedUserWindow, QMessageBox::Warning, QStringLiteral("Warning"),
                       QStringLiteral("Incorrect Password. Please try again."), {QStringLiteral("Ok")}});
}

void MainWindow::WindowClosed()
{
    PasswordWindowOpen = false;
    if (AdvancedUserAuthenticated == 0)
        ui->checkBox_Advanced_user->setChecked(false);
}

void MainWindow::CheckMainWindowActiv()
{
    if (CentralWidgetVisible)
        return;
    // Called for every frame: the tear-down is asked for once.
    if (TearDownQueued.exchange(true))
        return;
    StopAcquisition = true;
    // The tear-down and the display windows belong to the GUI thread; this
    // may run on the capture thread, which must not wait for its own stop.
    PostToThreadOf(this, [this]() {
        Deinit();
        cv::destroyAllWindows();
    });
}

void MainWindow::setBadPixelDetectionStatus(bool p_bRunning)
{
    BadPixelDetectionRunning = p_bRunning;
}

void MainWindow::ConnectProxyControls()
{
    connect(Log, &KV_Log::LogFileCantBeOpen, this, &MainWindow::ErrorLogCantBeOpen);
    connect(Log, &KV_Log::LogFileNotOpened, this, &MainWindow::ErrorLogNotOpen);
    connect(Log, &KV_Log::LogFileNotWritable, this, &MainWindow::ErrorLogNotWritable);
    connect(Log, &KV_Log::LogFileNotRenamed, this, &MainWindow::ErrorLogNotRenamed);
    connect(Log, &KV_Log::LogFileNotReset, this, &MainWindow::ErrorLogNotReset);

    for (QSpinBox* pSpin : {ui->spinBox_YFirst, ui->spinBox_YLast, ui->spinBox_XLast, ui->spinBox_XFirst})
        connect(pSpin, QOverload<int>::of(&QSpinBox::valueChanged), this, &MainWindow::WindowingValueCal);
    connect(ui->spinBox_DAC_A, QOverload<int>::of(&QSpinBox::valueChanged), this, &MainWindow::updateLabelVoltage_ADD02);
    connect(ui->spinBox_DAC_B, QOverload<int>::of(&QSpinBox::valueChanged), this, &MainWindow::updateLabelVoltage_ADD03);
    connect(ui->spinBox_DAC_C, QOverload<int>::of(&QSpinBox::valueChanged), this, &MainWindow::updateLabelVoltage_ADD0C);
    connect(ui->spinBox_DAC_D, QOverload<int>::of(&QSpinBox::valueChanged), this, &MainWindow::updateLabelVoltage_ADD0D);

    AdvancedUserWindow = new Window_AdvancedUser;
    AdvancedUserWindow->SetLog(Log);
    connect(AdvancedUserWindow, &Window_AdvancedUser::ButtonPressed, this, &MainWindow::CheckPassword);
    connect(AdvancedUserWindow, &Window_AdvancedUser::WindowClosed, this, &MainWindow::WindowClosed);
    connect(ui->checkBox_Advanced_user, &QCheckBox::toggled, this, &MainWindow::AdvancedUserMode);
    // The password window has no parent; it goes with the main window.
    QPointer<Window_AdvancedUser> pWindow = AdvancedUserWindow;
    connect(this, &QObject::destroyed, pWindow, [pWindow]() { delete pWindow.data(); });
}
