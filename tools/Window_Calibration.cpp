// The blackbody calibration window: its settings and form, and the capture run step by step from the event loop.
#include "tools/Window_Calibration.h"

#include "ui_Window_Calibration.h"

#include "app/app_paths.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "pipeline/blackbody_calibration.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace {

// The capture object may be released last by the thread that writes the
// frames: it is then deleted on its own thread.
std::shared_ptr<BlackbodyCapture> MakeCapture()
{
    return std::shared_ptr<BlackbodyCapture>(new BlackbodyCapture, [](BlackbodyCapture* p) {
        if (p->thread() == QThread::currentThread())
            delete p;
        else
            p->deleteLater();
    });
}

QString CleanFolder(const QString& p_sPath)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(p_sPath));
}

const QString kPrerequisites = QStringLiteral(
    "Required :\n\t- 2 temperature stabilized BlackBodies\n\t- The camera has to be working since 15 min minimum\n\t- "
    "The RAW stream has to be at correct grey scale\n");

} // namespace

class Window_Calibration::SlotScope
{
public:
    explicit SlotScope(Window_Calibration* p_pWindow)
        : m_pWindow(p_pWindow)
    {
        ++m_pWindow->m_iSlotDepth;
    }
    ~SlotScope()
    {
        if (--m_pWindow->m_iSlotDepth == 0 && m_pWindow->m_bDisposeAsked)
            m_pWindow->deleteLater();
    }
    SlotScope(const SlotScope&) = delete;
    SlotScope& operator=(const SlotScope&) = delete;

private:
    Window_Calibration* m_pWindow;
};

Window_Calibration::Window_Calibration(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::Window_Calibration)
    , m_Capture(MakeCapture())
    , m_pOwnLog(std::make_unique<KV_Log>())
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Calibration Window"));
    m_pLog = m_pOwnLog.get();
    connect(ui->pushButton_Start, &QPushButton::released, this, &Window_Calibration::pushButton_Start);
    connect(ui->pushButton_OpenFolder, &QPushButton::released, this, &Window_Calibration::OpenFolder);
    connect(ui->pushButton_ChangeFolder, &QPushButton::released, this, &Window_Calibration::pushButton_changeLocation);
    connect(ui->pushButton_Refresh, &QPushButton::released, this, &Window_Calibration::pushButton_Refresh);
    // Queued: the last frame of a step is written on the frame thread (or
    // inside the serial-port board's loop), and the next step starts from the event loop.
    connect(m_Capture.get(), &BlackbodyCapture::stepFinished, this, &Window_Calibration::onStepFinished,
            Qt::QueuedConnection);

    m_sSavingFolder = CleanFolder(ApplicationDirPath() + HeaderConstants::CalibrationFolder);
    ui->label_SavingLocation_val->setText(m_sSavingFolder);
    ui->label_picture->setPixmap(
        QPixmap(ApplicationDirPath() + HeaderConstants::LogosFolder + HeaderConstants::LogoMiniImage));
    ui->label_Prerequis->setText(kPrerequisites);
    ui->spinBox_NumberImage->setRange(10, 5000);
    ui->spinBox_NumberImage->setValue(100);
    ui->SpinBox_TempBB1->setRange(-50, 100);
    ui->SpinBox_TempBB1->setValue(20);
    ui->SpinBox_TempBB2->setRange(-50, 100);
    ui->SpinBox_TempBB2->setValue(35);
    for (QLabel* pLabel : {ui->label_TINT_val, ui->label_ADD02_val, ui->label_ADD03_val, ui->label_ADD0C_val,
                           ui->label_ADD0D_val, ui->label_CKDIV_val, ui->label_GMS_val})
        pLabel->setEnabled(false);
    ui->label_Copyright->setOpenExternalLinks(true);
    applyStartRule();
}

Window_Calibration::~Window_Calibration()
{
    m_Capture->stopCapturing();
    delete ui;
}

void Window_Calibration::setXSize(uint32_t p_uWidth)
{
    m_uWidth = p_uWidth;
    ui->label_ImageSize_val->setText(QString::number(m_uWidth) + "*" + QString::number(m_uHeight));
    applyStartRule();
}

void Window_Calibration::setYSize(uint32_t p_uHeight)
{
    m_uHeight = p_uHeight;
    ui->label_ImageSize_val->setText(QString::number(m_uWidth) + "*" + QString::number(m_uHeight));
    applyStartRule();
}

void Window_Calibration::setProxyName(QString p_sProxyName)
{
    m_sProxyName = p_sProxyName;
    ui->label_Proxy_val->setText(m_sProxyName);
    applyStartRule();
}

void Window_Calibration::setParameters(uint32_t p_uTINT, uint32_t p_uADD02, uint32_t p_uADD03, uint32_t p_uADD0C,
                                       uint32_t p_uADD0D, uint32_t p_uCKDIV, uint32_t p_uGMS)
{
    const uint32_t values[7] = {p_uTINT, p_uADD02, p_uADD03, p_uADD0C, p_uADD0D, p_uCKDIV, p_uGMS};
    QLabel* const labels[7] = {ui->label_TINT_val,  ui->label_ADD02_val, ui->label_ADD03_val, ui->label_ADD0C_val,
                               ui->label_ADD0D_val, ui->label_CKDIV_val, ui->label_GMS_val};
    for (int i = 0; i < 7; ++i) {
        m_Values[i] = values[i];
        labels[i]->setText(QString::number(values[i]));
    }
}

void Window_Calibration::setParameterTexts(QString p_sTINT, QString p_sADD02, QString p_sADD03, QString p_sADD0C,
                                           QString p_sADD0D, QString p_sCKDIV, QString p_sGMS)
{
    const QString captions[7] = {p_sTINT, p_sADD02, p_sADD03, p_sADD0C, p_sADD0D, p_sCKDIV, p_sGMS};
    QLabel* const captionLabels[7] = {ui->label_TINT,  ui->label_ADD02, ui->label_ADD03, ui->label_ADD0C,
                                      ui->label_ADD0D, ui->label_CKDIV, ui->label_GMS};
    QLabel* const valueLabels[7] = {ui->label_TINT_val,  ui->label_ADD02_val, ui->label_ADD03_val, ui->label_ADD0C_val,
                                    ui->label_ADD0D_val, ui->label_CKDIV_val, ui->label_GMS_val};
    for (int i = 0; i < 7; ++i) {
        if (!captions[i].isEmpty()) {
            captionLabels[i]->setText(captions[i]);
        } else {
            captionLabels[i]->clear();
            valueLabels[i]->clear();
        }
    }
}

void Window_Calibration::setLeftTemperatureColumns(uint32_t p_uCount)
{
    if (p_uCount != 15)
        m_uLeftColumns = p_uCount;
}

void Window_Calibration::setRightTemperatureColumns(uint32_t p_uCount)
{
    if (p_uCount != 15)
        m_uRightColumns = p_uCount;
}

void Window_Calibration::SetLog(KV_Log* p_pLog)
{
    if (p_pLog)
        m_pLog = p_pLog;
}

void Window_Calibration::setCopyright(QString p_sText)
{
    ui->label_Copyright->setText(p_sText);
}

bool Window_Calibration::isCapturing() const
{
    return m_Capture->isCapturing();
}

void Window_Calibration::receiveRawImage(const uint16_t* p_pFrame, const FrameGeometry& p_Delivered)
{
    m_Capture->receiveRawImage(p_pFrame, p_Delivered);
}

void Window_Calibration::dispose()
{
    m_bDisposeAsked = true;
    if (m_iSlotDepth == 0)
        deleteLater();
}

void Window_Calibration::applyStartRule()
{
    ui->pushButton_Start->setEnabled(!m_sProxyName.isEmpty() && m_uWidth != 0 && m_uHeight != 0
                                     && m_uImagesPerBlackbody == 0);
}

void Window_Calibration::setCaptureControlsEnabled(bool p_bEnabled)
{
    for (QWidget* pWidget :
         {static_cast<QWidget*>(ui->pushButton_ChangeFolder), static_cast<QWidget*>(ui->pushButton_Start),
          static_cast<QWidget*>(ui->spinBox_NumberImage), static_cast<QWidget*>(ui->SpinBox_TempBB1),
          static_cast<QWidget*>(ui->SpinBox_TempBB2), static_cast<QWidget*>(ui->lineEdit_SensorSN),
          static_cast<QWidget*>(ui->lineEdit_Lens), static_cast<QWidget*>(ui->pushButton_Refresh)})
        pWidget->setEnabled(p_bEnabled);
}

int Window_Calibration::ask(int p_iIcon, const QString& p_sTitle, const QString& p_sText, const QStringList& p_Buttons)
{
    if (m_bClosed)
        return -1;
    return PresentMessageBox({this, QMessageBox::Icon(p_iIcon), p_sTitle, p_sText, p_Buttons});
}

void Window_Calibration::pushButton_Start()
{
    SlotScope scope(this);
    const QStringList ok{QStringLiteral("OK")};
    if (ui->lineEdit_SensorSN->text().isEmpty()) {
        ask(QMessageBox::Critical, QStringLiteral("Please enter a Sensor Serial Number"),
            QStringLiteral("No Sensor Serial Number entered, please enter one before start"), ok);
        return;
    }
    if (ui->lineEdit_Lens->text().isEmpty()) {
        ask(QMessageBox::Critical, QStringLiteral("Please enter a lens"),
            QStringLiteral("No lens entered, please enter one before start"), ok);
        return;
    }
    if (QFile::exists(m_sSavingFolder + "/_Config.txt")
        && ask(QMessageBox::Warning, QStringLiteral("File existed"),
               QStringLiteral("A configuration has already been saved. Are you sure you want to erase it ?"),
               {QStringLiteral("OK"), QStringLiteral("Cancel")})
               != 0)
        return;
    if (m_bClosed)
        return;

    emit RefreshParameter();

    for (const char* szSub : {"BB1", "BB2"}) {
        if (!QDir().mkpath(m_sSavingFolder + "/" + szSub)) {
            ask(QMessageBox::Critical, QStringLiteral("Error creating folder"),
                QStringLiteral("The folder \"%1\" can't be created, abort").arg(QLatin1String(szSub)), ok);
            return;
        }
    }

    setCaptureControlsEnabled(false);
    m_uImagesPerBlackbody = uint32_t(ui->spinBox_NumberImage->value());
    m_Capture->prepare(m_sSavingFolder, m_uWidth, m_uHeight, m_uImagesPerBlackbody);

    const int answer =
        ask(QMessageBox::Question, QStringLiteral("Step 1"),
            "Please place the camera in front of the BlackBody 1 at "
                + FormatCalibrationTemperature(ui->SpinBox_TempBB1->value()) + " degrees.\nOnce done, click on OK",
            {QStringLiteral("OK"), QStringLiteral("Cancel")});
    if (m_bClosed)
        return;
    if (answer != 0) {
        setCaptureControlsEnabled(true);
        return;
    }
    // From here the frames drive the capture; the slot returns to the event
    // loop, which the serial-port board's frames need to arrive at all.
    m_Capture->startCapturing();
    m_Capture->startStep(1);
}

void Window_Calibration::onStepFinished(int p_iStep)
{
    SlotScope scope(this);
    if (m_bClosed || p_iStep != m_Capture->step())
        return;
    if (p_iStep == 1) {
        m_Capture->endStep();   // still capturing, nothing written until step 2
        ask(QMessageBox::Question, QStringLiteral("Step 2"),
            "Please place the camera in front of the BlackBody 2 at "
                + FormatCalibrationTemperature(ui->SpinBox_TempBB2->value()) + " degrees.\nOnce done, click on OK",
            {QStringLiteral("OK")});
        if (m_bClosed)
            return;
        m_Capture->startStep(2);
        return;
    }
    m_Capture->stopCapturing();
    finishCapture();
}

void Window_Calibration::finishCapture()
{
    const uint32_t uFailed = m_Capture->failedFiles();
    const QStringList ok{QStringLiteral("OK")};
    if (uFailed == 0) {
        ask(QMessageBox::Information, QStringLiteral("Finished"), QStringLiteral("The RAW images has been correctly saved"),
            ok);
    } else {
        ask(QMessageBox::Warning, QStringLiteral("Finished"),
            QStringLiteral("%1 of the %2 RAW images could not be saved.\n%3")
                .arg(uFailed)
                .arg(2 * m_uImagesPerBlackbody)
                .arg(m_Capture->firstFailure()),
            ok);
    }

    CalibrationDescription d;
    d.ProxyName = m_sProxyName;
    d.SensorSerialNumber = ui->lineEdit_SensorSN->text();
    d.Lens = ui->lineEdit_Lens->text();
    QLabel* const captionLabels[7] = {ui->label_TINT,  ui->label_ADD02, ui->label_ADD03, ui->label_ADD0C,
                                      ui->label_ADD0D, ui->label_CKDIV, ui->label_GMS};
    for (int i = 0; i < CalibrationDescription::ParameterCount; ++i) {
        d.Captions[i] = captionLabels[i]->text();
        d.Values[i] = m_Values[i];
    }
    d.ImageWidth = m_uWidth;
    d.ImageHeight = m_uHeight;
    d.LeftTemperatureColumns = m_uLeftColumns;
    d.RightTemperatureColumns = m_uRightColumns;
    d.TemperatureBB1 = ui->SpinBox_TempBB1->value();
    d.TemperatureBB2 = ui->SpinBox_TempBB2->value();
    d.ImagesPerBlackbody = m_uImagesPerBlackbody;
    d.FilesPath = m_sSavingFolder;
    const QString sConfig = m_sSavingFolder + "/_Config.txt";
    QString sError;
    const bool bWritten = WriteCalibrationDescription(sConfig, d, &sError);
    setCaptureControlsEnabled(true);
    if (!bWritten) {
        // Without its description the calibration program has nothing to work on.
        ask(QMessageBox::Critical, QStringLiteral("Error"),
            "The configuration file can't be written, the calibration program is not started.\n" + sError, ok);
        return;
    }

    // Detached, with its arguments apart: a folder with blanks stays one
    // argument, and closing the window or the program leaves it running.
    const QString sProgram = ApplicationDirPath() + HeaderConstants::CalibrationProgramPath;
    const QStringList arguments{QStringLiteral("-i"), sConfig};
    qDebug().noquote() << sProgram + " -i " + sConfig;
    if (!QProcess::startDetached(sProgram, arguments))
        m_pLog->writeLine("Processing Calibration can't be started: " + sProgram);
}

void Window_Calibration::pushButton_changeLocation()
{
    SlotScope scope(this);
    QPointer<QFileDialog> pDialog = new QFileDialog(nullptr);
    pDialog->setAttribute(Qt::WA_QuitOnClose, false);
    pDialog->setFileMode(QFileDialog::Directory);
    pDialog->setOption(QFileDialog::ShowDirsOnly, true);
    pDialog->setModal(false);
    pDialog->show();

    // The dialog is not modal: the window keeps the last folder that it
    // reported while open, whether it is then accepted or cancelled.
    QString sSelection;
    QEventLoop loop;
    QTimer poll;
    auto read = [&]() {
        if (pDialog)
            sSelection = pDialog->selectedFiles().value(0);
    };
    connect(&poll, &QTimer::timeout, &loop, [&]() {
        if (m_bClosed && pDialog)
            pDialog->close();
        if (!pDialog || !pDialog->isVisible())
            loop.quit();
        else
            read();
    });
    connect(pDialog.data(), &QDialog::finished, &loop, [&](int) {
        read();
        loop.quit();
    });
    read();
    poll.start(50);
    loop.exec();
    delete pDialog.data();

    if (m_bClosed || sSelection.isEmpty())
        return;
    m_sSavingFolder = CleanFolder(sSelection);
    ui->label_SavingLocation_val->setText(m_sSavingFolder);
}

void Window_Calibration::pushButton_Refresh()
{
    emit RefreshParameter();
}

void Window_Calibration::OpenFolder()
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(m_sSavingFolder)))
        m_pLog->writeLine("Open Calibration files folder: " + m_sSavingFolder);
    else
        m_pLog->writeLine("Failed Calibration files folder: " + m_sSavingFolder);
}

void Window_Calibration::closeEvent(QCloseEvent* e)
{
    // A capture under way ends here: no frame is written after the close,
    // and a question still open is answered as closed.
    m_bClosed = true;
    m_Capture->stopCapturing();
    for (QMessageBox* pBox : findChildren<QMessageBox*>())
        pBox->reject();
    emit CloseWindow();
    e->accept();
}
