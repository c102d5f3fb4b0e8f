// The main window's side of the blackbody calibration window: made on first use, fed the sensor values, handed the frames while it captures, disposed of when closed.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/header_constants.h"
#include "app/kv_log.h"
#include "params/data_cell_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/blackbody_calibration.h"
#include "tools/Window_Calibration.h"

void MainWindow::ConnectCalibrationWindow()
{
    connect(ui->action_CablibrationScript, &QAction::triggered, this, [this](bool) { Action_CalibrationScript(); });
}

void MainWindow::Action_CalibrationScript()
{
    if (CalibrationWindow) {
        CalibrationWindow->show();
        CalibrationWindow->raise();
        CalibrationWindow->activateWindow();
        return;
    }
    auto* pWindow = new Window_Calibration(nullptr);
    pWindow->setAttribute(Qt::WA_QuitOnClose, false);
    pWindow->setXSize(uint32_t(std::max(0, FrameWidth.load())));
    pWindow->setYSize(uint32_t(std::max(0, FrameHeight.load())));
    pWindow->SetLog(Log);
    pWindow->setCopyright(HeaderConstants::FooterText);
    const uint32_t uBlind = GetCurrent(CurrentProxyIndex, ProxyParameterId::BlindColumns);
    pWindow->setLeftTemperatureColumns(uBlind & 0xF);
    pWindow->setRightTemperatureColumns((uBlind >> 4) & 0xF);
    pWindow->setProxyName(ProxyName);
    CalibrationWindow = pWindow;
    RefreshParam_WindowCalib();
    connect(pWindow, &Window_Calibration::CloseWindow, this, &MainWindow::CloseCalibrationWindow);
    connect(pWindow, &Window_Calibration::RefreshParameter, this, &MainWindow::RefreshParam_WindowCalib);
    std::atomic_store(&CalibrationCapture, std::shared_ptr<RawFrameReceiver>(pWindow->capture()));
    pWindow->show();
    CalibrationWindowOpen = true;
}

void MainWindow::RefreshParam_WindowCalib()
{
    Window_Calibration* pWindow = CalibrationWindow.data();
    if (!pWindow)
        return;
    pWindow->setParameters(uint32_t(ui->spinBox_TINT->value()), uint32_t(ui->spinBox_DAC_A->value()),
                           uint32_t(ui->spinBox_DAC_B->value()), uint32_t(ui->spinBox_DAC_C->value()),
                           uint32_t(ui->spinBox_DAC_D->value()), uint32_t(ui->spinBox_CKDIV->value()), getGMSValue());
    pWindow->setParameterTexts(ui->label_TINT->text(), ui->label_ADD02->text(), ui->label_ADD03->text(),
                               ui->label_ADD0C->text(), ui->label_ADD0D->text(), ui->label_CKDIV->text(),
                               ui->checkBox_GMS->text());
}

void MainWindow::CloseCalibrationWindow()
{
    Log->writeLine("Close Calibration Window");
    CalibrationWindowOpen = false;
    std::atomic_store(&CalibrationCapture, std::shared_ptr<RawFrameReceiver>());
    if (CalibrationWindow) {
        // Its close handling, and maybe a step's question, are still on the stack.
        ClosedCalibrationWindow = CalibrationWindow;
        CalibrationWindow->dispose();
    }
    CalibrationWindow = nullptr;
}

void MainWindow::CloseCalibrationForDeinit()
{
    if (CalibrationWindowOpen && CalibrationWindow)
        CalibrationWindow->close();
    CalibrationWindowOpen = false;
}
