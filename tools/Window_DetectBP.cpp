// The automatic bad-pixel detection window: the run set up around the search, the results table and the map file.
#include "tools/Window_DetectBP.h"

#include "ui_Window_DetectBP.h"

#include "app/app_paths.h"
#include "app/header_constants.h"
#include "app/waits.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/bad_pixel_detection.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTableWidgetItem>
#include <QUrl>

namespace {

constexpr uint16_t kNoProxyIndex = 13;

void Box(QWidget* p_pParent, QMessageBox::Icon p_Icon, const QString& p_sTitle, const QString& p_sText)
{
    PresentMessageBox({p_pParent, p_Icon, p_sTitle, p_sText, {QStringLiteral("OK")}});
}

} // namespace

Window_DetectBP::Window_DetectBP(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::Window_DetectBP)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Automatic BadPixel Detection"));
    ui->label_Copyright->setOpenExternalLinks(true);
    ui->label_Logo->setPixmap(QPixmap(ApplicationDirPath() + HeaderConstants::LogosFolder + HeaderConstants::LogoImage));
    ui->spinBox_ImageLevel_Min->setEnabled(false);
    ui->spinBox_ImageLevel_Max->setEnabled(false);
    ui->spinBox_GSK_Min->setEnabled(false);
    ui->spinBox_GSK_Max->setEnabled(false);
    ui->checkBox_GenerateCSV->setChecked(true);
    ui->checkBox_ImgLevel->setEnabled(true);
    ui->checkBox_ImgLevel->setChecked(false);
    ui->checkBoxGSKAdjustment->setEnabled(true);
    ui->checkBoxGSKAdjustment->setChecked(false);
    ui->pushButton_Start->setEnabled(false);
    ui->tableWidget_Coordinates->setRowCount(0);
    ui->tableWidget_Coordinates->setColumnCount(2);
    ui->tableWidget_Coordinates->setSelectionMode(QAbstractItemView::NoSelection);
    ui->tableWidget_Coordinates->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tableWidget_Coordinates->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    setTableHeaders();
    // The two mode boxes reach their slots by object name (setupUi).
    m_Writer = signalWriter();
}

Window_DetectBP::~Window_DetectBP()
{
    // Destroyed under a running detection (its owner went away): the main
    // window must not go on forwarding frames to nobody.
    if (m_bRunning)
        emit BadPixelDetectionStaus(false);
    delete m_pNotice;
    delete ui;
}

void Window_DetectBP::setCopyright(QString p_sText)
{
    ui->label_Copyright->setText(p_sText);
}

void Window_DetectBP::setProxyIndex(uint16_t p_uIndex)
{
    CurrentProxyIndex = p_uIndex;
}

void Window_DetectBP::setCurrentGSK(int p_iGsk)
{
    ui->spinBox_GSK_Min->setValue(p_iGsk - 50);
    ui->spinBox_GSK_Max->setValue(p_iGsk + 50);
    ui->label_CurrentGSKValue->setText(QStringLiteral("Current GSK value: ") + QString::number(p_iGsk));
}

void Window_DetectBP::setTableHeaders()
{
    ui->tableWidget_Coordinates->setHorizontalHeaderLabels({QStringLiteral("Y"), QStringLiteral("X")});
}

void Window_DetectBP::addBadPixelRow(QString p_sX, QString p_sY)
{
    auto* pY = new QTableWidgetItem(p_sY);
    auto* pX = new QTableWidgetItem(p_sX);
    pY->setTextAlignment(Qt::AlignCenter);
    pX->setTextAlignment(Qt::AlignCenter);
    QTableWidget* pTable = ui->tableWidget_Coordinates;
    m_iRowCounter = pTable->rowCount();
    pTable->insertRow(m_iRowCounter);
    pTable->setItem(m_iRowCounter, 0, pY);
    pTable->setItem(m_iRowCounter, 1, pX);
    pTable->setRowHeight(m_iRowCounter, 20);
    pTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    pTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ++m_iRowCounter;
}

void Window_DetectBP::enableControls(bool p_bOn)
{
    ui->pushButton_Start->setEnabled(p_bOn);
    ui->pushButton_OpenFile->setEnabled(p_bOn);
    ui->widget_ImageLevel->setEnabled(p_bOn);
    ui->widget_GSK_Adjustment->setEnabled(p_bOn);
    ui->lineEdit_SensorSN->setEnabled(p_bOn);
    ui->checkBox_GenerateCSV->setEnabled(p_bOn);
}

void Window_DetectBP::updateStartButton()
{
    ui->pushButton_Start->setEnabled(!m_bRunning
                                     && (ui->checkBox_ImgLevel->isChecked() || ui->checkBoxGSKAdjustment->isChecked()));
}

void Window_DetectBP::on_checkBox_ImgLevel_stateChanged(int p_iState)
{
    if (p_iState != 0)
        ui->checkBoxGSKAdjustment->setChecked(false);
    ui->spinBox_ImageLevel_Min->setEnabled(p_iState != 0);
    ui->spinBox_ImageLevel_Max->setEnabled(p_iState != 0);
    updateStartButton();
}

void Window_DetectBP::on_checkBoxGSKAdjustment_stateChanged(int p_iState)
{
    if (p_iState != 0)
        ui->checkBox_ImgLevel->setChecked(false);
    ui->spinBox_GSK_Min->setEnabled(p_iState != 0);
    ui->spinBox_GSK_Max->setEnabled(p_iState != 0);
    updateStartButton();
}

void Window_DetectBP::on_pushButton_OpenFile_released()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("file:") + ui->label_PathCSVfile->text()));
}

void Window_DetectBP::setImageForAnalysis(cv::Mat p_Frame)
{
    p_Frame.copyTo(LatestFrame);
    ++m_uFramesReceived;
    m_Search.frameArrived();
}

void Window_DetectBP::closeEvent(QCloseEvent* p_pEvent)
{
    if (m_bRunning) {
        // The run is inside one of its waits: it ends itself there (GSK
        // restored, status off) and closes the window then.
        m_bCloseRequested = true;
        p_pEvent->ignore();
        return;
    }
    p_pEvent->accept();
}

ParameterWriter Window_DetectBP::signalWriter()
{
    ParameterWriter writer;
    writer.SetValue = [this](ParameterBox p_Box, int p_iValue) {
        switch (p_Box) {
        case ParameterBox::DAC_A: emit ValueDAC_A_changed(p_iValue); break;
        case ParameterBox::DAC_B: emit ValueDAC_B_changed(p_iValue); break;
        case ParameterBox::DAC_C: emit ValueDAC_C_changed(p_iValue); break;
        case ParameterBox::DAC_D: emit ValueDAC_D_changed(p_iValue); break;
        // The detection writes only the GSK's DAC.
        default: break;
        }
    };
    writer.Send = [this]() { emit PushButton_SetParam(); };
    return writer;
}

void Window_DetectBP::waitMs(int p_iMs)
{
    WaitMs(p_iMs / m_iWaitDivisor);
}

void Window_DetectBP::finishRun()
{
    m_bRunning = false;
    if (m_pNotice) {
        m_pNotice->close();
        m_pNotice->deleteLater();
        m_pNotice = nullptr;
    }
    enableControls(true);
    updateStartButton();
    ui->pushButton_OpenFile->setEnabled(true);
}

BadPixelSearch::Io Window_DetectBP::searchIo()
{
    // Every wait may run the window's close (ended by the search) or its
    // destruction (then nothing of it may be touched again).
    QPointer<Window_DetectBP> guard(this);
    BadPixelSearch::Io io;
    io.Writer = m_Writer;
    io.GskShown = [this](uint32_t p_uValue) {
        ui->label_CurrentGSKValue->setText(QStringLiteral("Current GSK value: ")
                                           + QString::number(static_cast<int>(p_uValue)));
    };
    io.SetForwarding = [this](bool p_bOn) { emit BadPixelDetectionStaus(p_bOn); };
    io.Wait = [this, guard](int p_iMs) {
        waitMs(p_iMs);
        if (!guard)
            return BadPixelSearch::Course::WindowGone;
        return m_bCloseRequested ? BadPixelSearch::Course::CloseAsked : BadPixelSearch::Course::GoOn;
    };
    io.LatestFrame = [this]() -> const cv::Mat& { return LatestFrame; };
    io.ShowNotice = [this]() {
        m_pNotice->show();
        m_pNotice->raise();
    };
    io.CloseNotice = [this]() { m_pNotice->close(); };
    io.Error = [this](const QString& p_sTitle, const QString& p_sText) {
        Box(this, QMessageBox::Critical, p_sTitle, p_sText);
    };
    return io;
}

void Window_DetectBP::on_pushButton_Start_released()
{
    if (!Configured || CurrentProxyIndex == kNoProxyIndex || m_bRunning)
        return;
    const bool bImageLevel = ui->checkBox_ImgLevel->isChecked();
    const bool bGskAdjustment = !bImageLevel && ui->checkBoxGSKAdjustment->isChecked();
    const int iMinLevel = ui->spinBox_ImageLevel_Min->value();
    const int iMaxLevel = ui->spinBox_ImageLevel_Max->value();
    if (bImageLevel && iMinLevel >= iMaxLevel) {
        // The ascent could end without a high frame and subtract a stale one.
        Box(this, QMessageBox::Warning, QStringLiteral("Invalid parameter"),
            QStringLiteral("The minimum level must be below the maximum level."));
        return;
    }

    QTableWidget* pTable = ui->tableWidget_Coordinates;
    while (pTable->rowCount() > 0)
        pTable->removeRow(0);
    m_iRowCounter = 0;
    LowFrame.release();
    HighFrame.release();
    DifferenceFrame.release();

    m_pNotice = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Please cover"),
                                QStringLiteral("Please cover the lens while the test is running. "), QMessageBox::Ok);
    m_pNotice->setModal(true);
    m_pNotice->button(QMessageBox::Ok)->animateClick(3000 / m_iWaitDivisor);

    m_bRunning = true;
    m_bCloseRequested = false;
    m_Search.restartFrameCount();
    emit BadPixelDetectionStaus(true);
    enableControls(false);

    if (!bImageLevel && !bGskAdjustment) {
        emit BadPixelDetectionStaus(false);
        finishRun();
        return;
    }

    BadPixelSearchSettings settings;
    settings.SearchMode = bImageLevel ? BadPixelSearchSettings::Mode::ImageLevel
                                      : BadPixelSearchSettings::Mode::GskAdjustment;
    settings.MinLevel = iMinLevel;
    settings.MaxLevel = iMaxLevel;
    settings.GskMin = ui->spinBox_GSK_Min->value();
    settings.GskMax = ui->spinBox_GSK_Max->value();
    settings.StartGsk = StartingGskValue(CurrentProxyIndex);
    settings.Channel = GskDacOfProxy(CurrentProxyIndex);
    const BadPixelSearch::Result search = m_Search.run(settings, searchIo());
    // The search has ended with the window gone: nothing of it is touched.
    if (search.End == BadPixelSearch::Outcome::Gone)
        return;
    LowFrame = search.Low;
    HighFrame = search.High;
    if (search.End == BadPixelSearch::Outcome::Done)
        return showDetection();
    // The search has put the GSK back; the controls come back, then a missing frame is told.
    finishRun();
    if (search.End == BadPixelSearch::Outcome::Closed)
        close();
    else if (search.End == BadPixelSearch::Outcome::NoFrame)
        Box(this, QMessageBox::Critical, BadPixelSearch::NoFrameTitle(), BadPixelSearch::NoFrameText());
}

void Window_DetectBP::showDetection()
{
    const uint32_t uBlind = GetDefault(CurrentProxyIndex, ProxyParameterId::BlindColumns);
    const BadPixelDetection detection = DetectBadPixels(LowFrame, HighFrame, uBlind, &DifferenceFrame);
    if (!detection.Valid) {
        finishRun();
        Box(this, QMessageBox::Critical, QStringLiteral("No image"),
            QStringLiteral("The two images of the detection differ in size. Please run the detection again."));
        return;
    }
    QTableWidget* pTable = ui->tableWidget_Coordinates;
    pTable->setUpdatesEnabled(false);
    for (const DetectedPixel& p : detection.Pixels)
        addBadPixelRow(QString::number(p.Column), QString::number(p.Row));
    pTable->setUpdatesEnabled(true);
    m_uBadPixelCount = static_cast<uint32_t>(detection.Pixels.size());
    ui->label_NumberBP->setText(QStringLiteral("Number of BadPixel detected: ") + QString::number(m_uBadPixelCount));

    m_bRunning = false;
    if (ui->checkBox_GenerateCSV->isChecked())
        writeMapFile();
    finishRun();
}

void Window_DetectBP::writeMapFile()
{
    const QString sFolder = BadPixelFolder(ApplicationDirPath());
    QDir dir(sFolder);
    if (!dir.exists())
        QDir().mkdir(sFolder);
    if (!dir.exists()) {
        Box(this, QMessageBox::Critical, QStringLiteral("Folder can't be created"),
            QStringLiteral("The destination folder has not been created, please check Kestivo's priviledges."));
        return;
    }
    const QString sSerial = ui->lineEdit_SensorSN->text();
    if (!IsUsableSerialNumber(sSerial)) {
        Box(this, QMessageBox::Warning, QStringLiteral("Invalid serial number"),
            QStringLiteral("The sensor serial number can't hold '/', '\\', '..' or control characters. Abort saving."));
        return;
    }
    m_sSerialNumber = sSerial;
    const QString sPath = BadPixelFilePath(sFolder, m_sSerialNumber);
    if (QFile::exists(sPath)) {
        const int iAnswer = PresentMessageBox({nullptr, QMessageBox::NoIcon, QStringLiteral("File already exists"),
                                               QStringLiteral("The file already exists, do you want to replace it ?"),
                                               {QStringLiteral("Yes"), QStringLiteral("No")}});
        if (iAnswer == 1)
            return;
        QFile::remove(sPath);
    }

    QTableWidget* pTable = ui->tableWidget_Coordinates;
    QVector<DetectedPixel> pixels;
    pixels.reserve(pTable->rowCount());
    for (int r = 0; r < pTable->rowCount(); ++r)
        pixels.append(DetectedPixel{pTable->item(r, 0)->text().toInt(), pTable->item(r, 1)->text().toInt()});
    const QByteArray text = BadPixelCsvText(pixels);

    QFile file(sPath);
    const bool bOpen = file.open(QIODevice::ReadWrite | QIODevice::Text);
    // A short write would leave a map that the loader takes for a complete one.
    const bool bWritten = bOpen && file.write(text) == text.size() && file.flush();
    file.close();
    if (!bWritten) {
        if (bOpen)
            QFile::remove(sPath);
        PresentMessageBox({nullptr, QMessageBox::NoIcon, QStringLiteral("File not opened"),
                           QStringLiteral("The file can't be created or opened. Abort saving."), {QStringLiteral("OK")}});
        return;
    }
    ui->label_PathCSVfile->setText(QFileInfo(sPath).filePath());
}
