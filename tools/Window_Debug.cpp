// The frame-statistics window: file choice, START checks, header, one measure line per displayed frame, and the end of a report.
#include "tools/Window_Debug.h"

#include "ui_Window_Debug.h"

#include "app/app_paths.h"
#include "app/header_constants.h"
#include "app/message_boxes.h"
#include "pipeline/debug_report.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QPixmap>
#include <QPointer>

Window_Debug::Window_Debug(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::Window_Debug)
{
    ui->setupUi(this);
    ui->label_picture->setPixmap(QPixmap(ApplicationDirPath() + HeaderConstants::LogosFolder + HeaderConstants::LogoImage));
    ui->lineEdit_FilePath->setEnabled(false);
    ui->spinBox_NumberImages->setValue(1);
    ui->label_Copyright->setOpenExternalLinks(true);
    setAttribute(Qt::WA_QuitOnClose, false);
    connect(ui->pushButton_StartDebug, &QPushButton::released, this, &Window_Debug::PushButton_StartDebug);
    connect(ui->pushButton_BrowseFile, &QPushButton::released, this, &Window_Debug::getSelectedFileNameByDialog);
    connect(ui->checkBox_ProcessedImages, &QCheckBox::stateChanged, this,
            &Window_Debug::CheckBox_ProcessedImage_stateChanged);
}

Window_Debug::~Window_Debug()
{
    if (m_Report.isOpen())
        m_Report.close();
    delete ui;
}

bool Window_Debug::eventFilter(QObject* p_pWatched, QEvent* p_pEvent)
{
    if (p_pWatched == this && p_pEvent->type() == QEvent::Close) {
        close();
        return true;
    }
    return false;
}

void Window_Debug::closeEvent(QCloseEvent* p_pEvent)
{
    // Closing only hides the window; a report in progress goes on.
    p_pEvent->accept();
}

void Window_Debug::setCopyright(QString p_sCopyright)
{
    ui->label_Copyright->setText(p_sCopyright);
}

void Window_Debug::CheckBox_ProcessedImage_stateChanged(int)
{
    ui->checkBox_AutoFPN->setEnabled(true);
}

void Window_Debug::getSelectedFileNameByDialog()
{
    if (m_bRunning || m_bChoosingFile)
        return;
    m_bChoosingFile = true;
    QPointer<Window_Debug> guard(this);
    QPointer<QFileDialog> dialog = new QFileDialog(this, QString(), QString(), QString());
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setNameFilter(HeaderConstants::FilterCsv);
    // The dialog is non-modal: the live image and the report go on while it is open.
    WaitForDialog(dialog.data());
    if (!guard)
        return;
    m_bChoosingFile = false;
    // A cancelled choice keeps the previous path.
    if (dialog && dialog->result() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        const QString sChosen = dialog->selectedFiles().first();
        if (!sChosen.isEmpty())
            m_sFilePath = DebugReportFileName(sChosen);
    }
    if (dialog)
        delete dialog.data();
    ui->lineEdit_FilePath->setText(m_sFilePath);
}

void Window_Debug::warn(const QString& p_sTitle, const QString& p_sText)
{
    PresentMessageBox({this, QMessageBox::Warning, p_sTitle, p_sText, {QStringLiteral("OK")}});
}

void Window_Debug::setControlsEnabled(bool p_bOn)
{
    for (QWidget* pWidget :
         std::initializer_list<QWidget*>{ui->checkBox_AutoFPN, ui->checkBox_MaxVal, ui->checkBox_MeanVal,
                                         ui->checkBox_MinVal, ui->checkBox_StdVal, ui->checkBox_RAWImages,
                                         ui->checkBox_ProcessedImages, ui->spinBox_NumberImages})
        pWidget->setEnabled(p_bOn);
}

void Window_Debug::PushButton_StartDebug()
{
    if (m_bRunning)
        return;
    // Every check runs before the file is opened, so a refused START leaves
    // an existing report as it was.
    if (m_sFilePath.isEmpty()) {
        warn(QStringLiteral("No file selected"), QStringLiteral("Please select a valid file"));
        return;
    }
    const bool bRaw = ui->checkBox_RAWImages->isChecked();
    const bool bProcessed = ui->checkBox_ProcessedImages->isChecked();
    if (!bRaw && !bProcessed) {
        warn(QStringLiteral("No image selected"), QStringLiteral("Please check an image type to analyze"));
        return;
    }
    const int iCount = ui->spinBox_NumberImages->value();
    if (iCount <= 0) {
        warn(QStringLiteral("Image Number incorrect"),
             QStringLiteral("Please define a correct number image to analyze"));
        return;
    }
    const bool bMin = ui->checkBox_MinVal->isChecked();
    const bool bMax = ui->checkBox_MaxVal->isChecked();
    const bool bMean = ui->checkBox_MeanVal->isChecked();
    const bool bStd = ui->checkBox_StdVal->isChecked();
    if (!bMin && !bMax && !bMean && !bStd) {
        warn(QStringLiteral("No information selected"), QStringLiteral("Please check information to save"));
        return;
    }
    m_Report.setFileName(m_sFilePath);
    if (!m_Report.open(QIODevice::WriteOnly | QIODevice::Text)) {
        warn(QStringLiteral("Error when creating the file"), QStringLiteral("This file can't be created"));
        return;
    }
    m_bAnalyseRaw = bRaw;
    m_bAnalyseProcessed = bProcessed;
    m_bAutoFPN = bRaw && ui->checkBox_AutoFPN->isChecked();
    m_iRequestedCount = iCount;
    m_bWantMin = bMin;
    m_bWantMax = bMax;
    m_bWantMean = bMean;
    m_bWantStd = bStd;

    emit signalDebugStart();

    DebugReportHeader h;
    h.Start = QDateTime::currentDateTime();
    h.DigiName = m_sDigiName;
    h.ProxyName = m_sProxyName;
    h.FrameRate = m_iFrameRate;
    h.Tint = m_iTint;
    h.DacA = m_iDacA;
    h.DacB = m_iDacB;
    h.DacC = m_iDacC;
    h.DacD = m_iDacD;
    h.Ckdiv = m_iCkdiv;
    h.Gain0 = m_iGain0;
    h.Gain1 = m_iGain1;
    h.Gain2 = m_iGain2;
    h.UpCol = m_iUpCol;
    h.UpRow = m_iUpRow;
    h.NucApplied = m_bNucApplied;
    h.ImageGain = m_iImageGain;
    h.ImageOffset = m_iImageOffset;
    m_Report.write(DebugReportHeaderText(h));
    m_Report.flush();

    m_iLineCounter = 0;
    m_bRunning = true;
    ui->pushButton_StartDebug->setEnabled(false);
    ui->pushButton_StartDebug->setText(QStringLiteral("In progress ..."));
    setControlsEnabled(false);
}

void Window_Debug::endReport(bool p_bWithEndingTime)
{
    if (p_bWithEndingTime)
        m_Report.write(DebugReportEndingText(QDateTime::currentDateTime()));
    m_Report.close();
    ui->pushButton_StartDebug->setEnabled(true);
    ui->pushButton_StartDebug->setText(QStringLiteral("START"));
    setControlsEnabled(true);
    m_bRunning = false;
    emit signalDebugStop();
}

void Window_Debug::calculateDebug(cv::Mat p_cvmatImageRAW, cv::Mat p_cvmatImageProcessed)
{
    if (!m_bRunning)
        return;
    if (m_iLineCounter >= m_iRequestedCount) {
        endReport(true);
        return;
    }
    QPointer<Window_Debug> guard(this);
    QCoreApplication::processEvents();
    // The report may have been interrupted (acquisition torn down) meanwhile.
    if (!guard || !m_bRunning)
        return;
    FrameStatistics raw, processed;
    if (m_bAnalyseRaw)
        raw = ComputeFrameStatistics(p_cvmatImageRAW);
    if (m_bAnalyseProcessed)
        processed = ComputeFrameStatistics(p_cvmatImageProcessed);
    ++m_iLineCounter;
    DebugReportChoice choice;
    choice.Raw = m_bAnalyseRaw;
    choice.Processed = m_bAnalyseProcessed;
    choice.Mean = m_bWantMean;
    choice.StdDev = m_bWantStd;
    choice.Min = m_bWantMin;
    choice.Max = m_bWantMax;
    m_Report.write(DebugReportMeasureLine(m_iLineCounter, choice, raw, processed));
    m_Report.flush();
    ui->pushButton_StartDebug->setText(QStringLiteral("In progress ...\n") + QString::number(m_iLineCounter)
                                       + QStringLiteral(" over ") + QString::number(m_iRequestedCount));
    if (m_bAutoFPN)
        emit signalTakeFPN();
}

void Window_Debug::InterruptDebug()
{
    if (m_bRunning)
        endReport(false);
}
