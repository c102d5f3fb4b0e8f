// MainWindow: the log-failure boxes, the generic message slots, the frame-rate warning and the window-corner slot.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QMetaObject>
#include <QPushButton>

namespace {

void LogErrorBox(QWidget* p_pParent, const char* p_szText)
{
    PresentMessageBox({p_pParent, QMessageBox::Critical, QStringLiteral("LogFile Error"),
                       QString::fromLatin1(p_szText), {QStringLiteral("Ok")}});
}

} // namespace

void MainWindow::ErrorLogCantBeOpen()
{
    LogErrorBox(this, "The log file can't be opened. No log will be saved.");
}

void MainWindow::ErrorLogNotOpen()
{
    LogErrorBox(this, "The log file is not opened. No log will be saved.");
}

void MainWindow::ErrorLogNotWritable()
{
    LogErrorBox(this, "The log file is not writable. No log will be saved.");
}

void MainWindow::ErrorLogNotRenamed()
{
    LogErrorBox(this, "The log file can't be renamed. The destination file name may already exists.");
}

void MainWindow::ErrorLogNotReset()
{
    LogErrorBox(this, "The log file can't be reset.");
}

void MainWindow::MessageBoxCritical(QString p_sTitle, QString p_sMessage)
{
    PresentMessageBox({this, QMessageBox::Critical, p_sTitle, p_sMessage, {QStringLiteral("Ok")}});
}

void MainWindow::MessageBoxWarning(QString p_sTitle, QString p_sMessage)
{
    PresentMessageBox({this, QMessageBox::Warning, p_sTitle, p_sMessage, {QStringLiteral("Ok")}});
}

void MainWindow::MessageBoxInformation(QString p_sTitle, QString p_sMessage)
{
    PresentMessageBox({this, QMessageBox::Information, p_sTitle, p_sMessage, {QStringLiteral("Ok")}});
}

void MainWindow::MessageBoxFrequencyWarning(int p_iFrameRate)
{
    const QString sText =
        "Frequency value (" + QString::number(p_iFrameRate)
        + "FPS) read by Kestivo is not include in the frequency list tested with this proxy. It is possible to use "
          "this frequency without reconfiguration at your own risks.\n\nVantrel recommands to use one on the "
          "frequency tested and available (using Setup DigiBoard window).";
    const int iPressed = PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Frequency problem"), sText,
                                            {QStringLiteral("Ok"), QStringLiteral("Open")}});
    if (iPressed != 1)
        return;
    ActionSetupDigi();
}

void MainWindow::WindowingValueCal()
{
    const int p = CurrentProxyIndex;
    if (p >= 0 && p < kProxyRecordCount) {
        SetCurrent(p, ProxyParameterId::XFirst, static_cast<uint32_t>(ui->spinBox_XFirst->value()));
        SetCurrent(p, ProxyParameterId::XLast, static_cast<uint32_t>(ui->spinBox_XLast->value()));
        SetCurrent(p, ProxyParameterId::YFirst, static_cast<uint32_t>(ui->spinBox_YFirst->value()));
        SetCurrent(p, ProxyParameterId::YLast, static_cast<uint32_t>(ui->spinBox_YLast->value()));
    } else {
        return;
    }
    const int iWidth = static_cast<int>(GetCurrent(p, ProxyParameterId::XLast))
                       - static_cast<int>(GetCurrent(p, ProxyParameterId::XFirst)) + 1;
    const int iHeight = static_cast<int>(GetCurrent(p, ProxyParameterId::YLast))
                        - static_cast<int>(GetCurrent(p, ProxyParameterId::YFirst)) + 1;
    ui->spinBox_AcqX->setValue(iWidth);
    ui->spinBox_AcqY->setValue(iHeight);
}
