// The main window's side of the analysis and test windows: the debug window made once, the detection and proxy-test windows made anew at every use.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/header_constants.h"
#include "mainwindow/proxy_choice_source.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/bad_pixel_detection.h"
#include "tools/Window_Debug.h"
#include "tools/Window_DetectBP.h"
#include "tools/Window_TestProxy.h"

#include <opencv2/imgcodecs.hpp>

#include <QSpinBox>

#include <array>
#include <memory>

namespace {

// Where a test window drives the main window's controls: the spin box takes
// the value (clamped by its range) and its own value-changed handling follows.
void ForwardTo(QObject* p_pContext, QObject* p_pSender, void (Window_DetectBP::*p_Signal)(int), QSpinBox* p_pBox)
{
    QObject::connect(static_cast<Window_DetectBP*>(p_pSender), p_Signal, p_pContext,
                     [p_pBox](int v) { p_pBox->setValue(v); });
}
void ForwardTo(QObject* p_pContext, QObject* p_pSender, void (Window_TestProxy::*p_Signal)(int), QSpinBox* p_pBox)
{
    QObject::connect(static_cast<Window_TestProxy*>(p_pSender), p_Signal, p_pContext,
                     [p_pBox](int v) { p_pBox->setValue(v); });
}

} // namespace

void BringToolWindowToFront(QWidget* p_pWindow)
{
    if (p_pWindow->isMinimized())
        p_pWindow->showNormal();
    p_pWindow->show();
    p_pWindow->raise();
    p_pWindow->activateWindow();
}

void MainWindow::CreateAnalysisWindows()
{
    DebugWindow = new Window_Debug(nullptr);
    DebugWindow->setCopyright(HeaderConstants::FooterText);
    connect(this, &MainWindow::SendImageToDebug, DebugWindow.data(), &Window_Debug::calculateDebug);
    connect(DebugWindow.data(), &Window_Debug::signalDebugStart, this, &MainWindow::setStartDebug);
    connect(DebugWindow.data(), &Window_Debug::signalDebugStop, this, &MainWindow::setStopDebug);
    connect(DebugWindow.data(), &Window_Debug::signalTakeFPN, this, &MainWindow::takeFPNfromSignal);
    connect(this, &MainWindow::signalInterruptDebug, DebugWindow.data(), &Window_Debug::InterruptDebug);
}

void MainWindow::ActionDebug()
{
    if (DebugWindow)
        DebugWindow->show();
}

void MainWindow::setStartDebug()
{
    Window_Debug* w = DebugWindow.data();
    if (!w)
        return;
    w->setTINT(ui->spinBox_TINT->value());
    w->setDAC_A(ui->spinBox_DAC_A->value());
    w->setDAC_B(ui->spinBox_DAC_B->value());
    w->setDAC_C(ui->spinBox_DAC_C->value());
    w->setDAC_D(ui->spinBox_DAC_D->value());
    w->setGain(ui->spinBox_ImageGain->value());
    w->setOffset(ui->spinBox_ImageOffset->value());
    w->setCKDIV(ui->spinBox_CKDIV->value());
    w->setGMSGain0(ui->checkBox_Gain0->isChecked() ? 1 : 0);
    w->setGMSGain1(ui->checkBox_Gain1->isChecked() ? 1 : 0);
    w->setGMSGain2(ui->checkBox_Gain2->isChecked() ? 1 : 0);
    w->setGMSUpCol(ui->checkBox_UpCol->isChecked() ? 1 : 0);
    w->setGMSUpRow(ui->checkBox_UpRow->isChecked() ? 1 : 0);
    w->setFrequency(FrameRate);
    w->setProxyName(SetupProxySource ? SetupProxySource->ProxyText() : ProxyName);
    w->setDigiName(ui->comboBox_SelectDigiBoard->currentText());
    w->isNUCApply(ui->checkBox_ApplyNUC->isChecked());
    DebugRunning = true;
}

void MainWindow::setStopDebug()
{
    DebugRunning = false;
}

void MainWindow::Action_DetectBP()
{
    // One detection at a time: a second one would drive the same registers
    // and read the same frames.
    if (RunningDetectBPWindow && RunningDetectBPWindow->isRunning()) {
        BringToolWindowToFront(RunningDetectBPWindow.data());
        return;
    }
    auto* w = new Window_DetectBP(nullptr);
    DetectBPWindow = w;
    w->setAttribute(Qt::WA_QuitOnClose, false);
    ForwardTo(this, w, &Window_DetectBP::ValueDAC_A_changed, ui->spinBox_DAC_A);
    ForwardTo(this, w, &Window_DetectBP::ValueDAC_B_changed, ui->spinBox_DAC_B);
    ForwardTo(this, w, &Window_DetectBP::ValueDAC_C_changed, ui->spinBox_DAC_C);
    ForwardTo(this, w, &Window_DetectBP::ValueDAC_D_changed, ui->spinBox_DAC_D);
    connect(w, &Window_DetectBP::PushButton_SetParam, this, &MainWindow::PushButtonSetParameter_ProxyTest);
    connect(w, &Window_DetectBP::BadPixelDetectionStaus, this, &MainWindow::setBadPixelDetectionStatus);
    connect(w, &Window_DetectBP::BadPixelDetectionStaus, this, [this, w](bool p_bRunning) {
        if (p_bRunning)
            RunningDetectBPWindow = w;
    });
    connect(this, &MainWindow::setImageForBPDetection, w, &Window_DetectBP::setImageForAnalysis);
    // Once the window has taken a frame the frame path may send the next one:
    // frames that come while one waits are dropped, never queued up.
    connect(this, &MainWindow::setImageForBPDetection, w, [this](cv::Mat) { BPDetectionFrameQueued = false; });
    BPDetectionFrameQueued = false;
    w->setCopyright(HeaderConstants::FooterText);
    const int iProxy = CurrentProxyIndex;
    w->setProxyIndex(static_cast<uint16_t>(iProxy));
    w->Configured = true;
    const int iCell = GskDacValueCell(GskDacOfProxy(iProxy));
    if (iCell >= 0)
        w->setCurrentGSK(static_cast<int>(GetCurrent(iProxy, iCell)));
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
}

void MainWindow::Action_ProxyTest()
{
    // One test at a time: a second one would press the same connection button
    // and write the same registers.
    if (RunningTestProxyWindow && RunningTestProxyWindow->isRunning()) {
        BringToolWindowToFront(RunningTestProxyWindow.data());
        return;
    }
    auto* w = new Window_TestProxy(nullptr);
    TestProxyWindow = w;
    w->setBoardConnected(Connected);
    connect(this, &MainWindow::ConnectionChanged, w, &Window_TestProxy::setBoardConnected);
    connect(w, &Window_TestProxy::DisconnectBoard, this, &MainWindow::DisconnectBoard_ProxyTest);
    w->setAttribute(Qt::WA_QuitOnClose, false);
    ForwardTo(this, w, &Window_TestProxy::ValueDAC_A_changed, ui->spinBox_DAC_A);
    ForwardTo(this, w, &Window_TestProxy::ValueDAC_B_changed, ui->spinBox_DAC_B);
    ForwardTo(this, w, &Window_TestProxy::ValueDAC_C_changed, ui->spinBox_DAC_C);
    ForwardTo(this, w, &Window_TestProxy::ValueDAC_D_changed, ui->spinBox_DAC_D);
    ForwardTo(this, w, &Window_TestProxy::ValueTINT_changed, ui->spinBox_TINT);
    ForwardTo(this, w, &Window_TestProxy::ValueOffset_changed, ui->spinBox_ImageOffset);
    ForwardTo(this, w, &Window_TestProxy::ValueGain_changed, ui->spinBox_ImageGain);
    connect(w, &Window_TestProxy::PushButtonTakeFPN, this, &MainWindow::PushButtonTakeFPN_ProxyTest);
    connect(w, &Window_TestProxy::PushButtonConnect, this, &MainWindow::PushButtonConnect_ProxyTest);
    // Parameters the operator declined (TINT out of range) or that did not
    // reach the board end the run: its later steps would test something else.
    connect(w, &Window_TestProxy::PushButton_SetParam, this, [this, w]() {
        if (!PushButton_SetModuleParameters())
            w->stopRun();
    });
    // What the run writes into the main window's boxes is put back when it
    // ends, so that the operator's own values are the ones sent next.
    constexpr size_t kChanged = 7;
    QSpinBox* const changed[kChanged] = {ui->spinBox_TINT,  ui->spinBox_DAC_A,      ui->spinBox_DAC_B,
                                 ui->spinBox_DAC_C, ui->spinBox_DAC_D,      ui->spinBox_ImageGain,
                                 ui->spinBox_ImageOffset};
    auto saved = std::make_shared<std::array<int, kChanged>>();
    connect(w, &Window_TestProxy::TestStarted, this, [this, w, saved, changed]() {
        // A test window opened earlier may still be idle beside a running one.
        if (RunningTestProxyWindow && RunningTestProxyWindow != w && RunningTestProxyWindow->isRunning()) {
            w->stopRun();
            BringToolWindowToFront(RunningTestProxyWindow.data());
            return;
        }
        RunningTestProxyWindow = w;
        for (size_t i = 0; i < kChanged; ++i)
            (*saved)[i] = changed[i]->value();
    });
    connect(w, &Window_TestProxy::TestFinished, this, [this, w, saved, changed]() {
        if (RunningTestProxyWindow != w)
            return;
        RunningTestProxyWindow = nullptr;
        for (size_t i = 0; i < kChanged; ++i)
            changed[i]->setValue((*saved)[i]);
    });
    // The acquired 16-bit frame under the given name, relative to the working folder.
    connect(w, &Window_TestProxy::SaveBMPImage, this, [this](QString p_sName) {
        if (!AcquiredImage16b.empty())
            cv::imwrite(p_sName.toUtf8().constData(), AcquiredImage16b);
    });
    w->setCopyright(HeaderConstants::FooterText);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
}
