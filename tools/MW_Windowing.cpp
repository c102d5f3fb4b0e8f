// The sensor windowing window: the operator's sub-window of the sensor, its estimated frame rate, camera file and corners.
#include "tools/MW_Windowing.h"
#include "params/board_register_id.h"

#include "ui_MW_Windowing.h"

#include "app/app_paths.h"
#include "app/header_constants.h"
#include "board/windowing_camfile.h"
#include "board/windowing_geometry.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QSaveFile>
#include <QSpinBox>
#include <QThread>

namespace {

namespace P = ProxyParameterId;

const QString kNotOfferedText = QStringLiteral("Windowing is not available with this proxy");

// Board register ids of the window corners.

} // namespace

MW_Windowing::MW_Windowing(QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MW_Windowing)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Windowing configuration"));
    const QString sApp = ApplicationDirPath();
    ui->Image_Windowing->setPixmap(QPixmap(sApp + HeaderConstants::IllustrationsFolder
                                           + HeaderConstants::WindowingIllustration));
    ui->label_LogoRN->setPixmap(QPixmap(sApp + HeaderConstants::LogosFolder + HeaderConstants::LogoMiniImage));
    ui->label_Copyright->setText(HeaderConstants::FooterText);
    ui->label_Copyright->setOpenExternalLinks(true);

    for (QSpinBox* pBox : {ui->spinBox_XFirst, ui->spinBox_XLast, ui->spinBox_YFirst, ui->spinBox_YLast,
                           ui->spinBox_XAcqSize, ui->spinBox_YAcqSize})
        pBox->setValue(0);
    ui->spinBox_TINTMax->setRange(0, 9999);
    ui->spinBox_TINTMax->setValue(0);
    ui->spinBox_EstimatedFramerate->setRange(0, 9999);
    ui->spinBox_EstimatedFramerate->setValue(0);
    ui->pushButton_SetWindow->setEnabled(false);

    connect(ui->spinBox_XFirst, QOverload<int>::of(&QSpinBox::valueChanged), this, &MW_Windowing::setXFirst);
    connect(ui->spinBox_XLast, QOverload<int>::of(&QSpinBox::valueChanged), this, &MW_Windowing::setXLast);
    connect(ui->spinBox_YFirst, QOverload<int>::of(&QSpinBox::valueChanged), this, &MW_Windowing::setYFirst);
    connect(ui->spinBox_YLast, QOverload<int>::of(&QSpinBox::valueChanged), this, &MW_Windowing::setYLast);
    // The size boxes show the corners' sizes; a size the operator types moves the last corner.
    connect(ui->spinBox_XAcqSize, QOverload<int>::of(&QSpinBox::valueChanged), this, &MW_Windowing::setXSize);
    connect(ui->spinBox_YAcqSize, QOverload<int>::of(&QSpinBox::valueChanged), this, &MW_Windowing::setYSize);
    connect(ui->pushButton_SetWindow, &QPushButton::released, this, &MW_Windowing::Modify_CamFileWindowing);
    connect(ui->comboBox_windowing, &QComboBox::currentTextChanged, this,
            &MW_Windowing::updateComboBoxPredifinedWindowing);
}

MW_Windowing::~MW_Windowing()
{
    delete ui;
}

void MW_Windowing::setProxy(QString p_sProxyName, int p_iProxyIndex)
{
    m_sProxyName = p_sProxyName;
    m_iProxyIndex = (p_iProxyIndex >= 0 && p_iProxyIndex < kProxyRecordCount) ? p_iProxyIndex : 0;
    const int r = m_iProxyIndex;
    const uint32_t blind = GetCurrent(r, P::BlindColumns);
    m_uBlindColumns = uint16_t(blind == ProxyParameterNotSet ? 0 : (blind >> 4) + (blind & 15));
    const QString sApp = ApplicationDirPath();
    m_sSourceCamFile = SourceCamFilePath(sApp, p_sProxyName, m_bSecondCamFile);
    m_sWindowingCamFile = WindowingCamFileBase(sApp, p_sProxyName, m_bSecondCamFile) + QStringLiteral(".cam");
    ui->label_ProxyName->setText(p_sProxyName);
    m_uSensorWidth = uint16_t(GetCurrent(r, P::SensorWidth));
    m_uSensorHeight = uint16_t(GetCurrent(r, P::SensorHeight));
    ui->label_DefaultImageSize->setText(QString::number(m_uSensorWidth) + "x" + QString::number(m_uSensorHeight));

    const int w = m_uSensorWidth;
    const int h = m_uSensorHeight;
    const bool bOffered = WindowingWindowModel(p_sProxyName);
    m_bWindowingOffered = bOffered;
    ui->comboBox_windowing->setEnabled(bOffered);
    // The ranges are set for every model, so a model without windowing still
    // shows its full sensor in the (disabled) corner boxes.
    ui->spinBox_XAcqSize->setRange(0, w);
    ui->spinBox_YAcqSize->setRange(0, h);
    ui->spinBox_XFirst->setRange(0, w);
    ui->spinBox_XLast->setRange(0, w);
    ui->spinBox_YFirst->setRange(0, h);
    ui->spinBox_YLast->setRange(0, h);
    for (QSpinBox* pBox : {ui->spinBox_XFirst, ui->spinBox_XLast, ui->spinBox_YFirst, ui->spinBox_YLast,
                           ui->spinBox_XAcqSize, ui->spinBox_YAcqSize})
        pBox->setEnabled(bOffered);
    // A model without windowing has no windowing camera file that matches its
    // stream (its full sensor plus the blind columns is not what it delivers):
    // the set button stays greyed and says why.
    ui->pushButton_SetWindow->setToolTip(bOffered ? QString() : kNotOfferedText);
    ui->spinBox_XFirst->setValue(0);
    ui->spinBox_XLast->setValue(w - 1);
    ui->spinBox_YFirst->setValue(0);
    ui->spinBox_YLast->setValue(h - 1);
}

void MW_Windowing::setImageSize(uint16_t p_uWidth, uint16_t p_uHeight)
{
    m_uImageWidth = uint16_t(p_uWidth > m_uBlindColumns ? p_uWidth - m_uBlindColumns : 0);
    m_uImageHeight = p_uHeight;
    ui->label_ActualImageSize->setText(QString::number(m_uImageWidth) + "x" + QString::number(m_uImageHeight));
    updateWindowFps();
}

void MW_Windowing::setCurrentFps(uint16_t p_uFps)
{
    m_FpsRing[m_iRingNext] = p_uFps;
    m_iRingNext = (m_iRingNext + 1) % kRingSize;
    uint32_t sum = 0;
    for (uint16_t v : m_FpsRing)
        sum += v;
    m_uCurrentFps = uint16_t((sum + kRingSize / 2) / kRingSize);
    updateWindowFps();
}

void MW_Windowing::setXFirst(int p_iValue)
{
    m_uXFirst = uint16_t(p_iValue);
    updateWindowWidth();
}

void MW_Windowing::setXLast(int p_iValue)
{
    m_uXLast = uint16_t(p_iValue);
    updateWindowWidth();
}

void MW_Windowing::setYFirst(int p_iValue)
{
    m_uYFirst = uint16_t(p_iValue);
    updateWindowHeight();
}

void MW_Windowing::setYLast(int p_iValue)
{
    m_uYLast = uint16_t(p_iValue);
    updateWindowHeight();
}

void MW_Windowing::setXSize(int p_iSize)
{
    if (m_bWritingSizes || p_iSize <= 0 || !m_bWindowingOffered)
        return;
    const TypedSizeCorners c = CornersForTypedSize(m_uXFirst, uint32_t(p_iSize), m_uSensorWidth);
    ui->spinBox_XFirst->setValue(int(c.First));
    ui->spinBox_XLast->setValue(int(c.Last));
}

void MW_Windowing::setYSize(int p_iSize)
{
    if (m_bWritingSizes || p_iSize <= 0 || !m_bWindowingOffered)
        return;
    const TypedSizeCorners c = CornersForTypedSize(m_uYFirst, uint32_t(p_iSize), m_uSensorHeight);
    ui->spinBox_YFirst->setValue(int(c.First));
    ui->spinBox_YLast->setValue(int(c.Last));
}

void MW_Windowing::writeSizeBox(QSpinBox* p_pBox, int p_iValue)
{
    m_bWritingSizes = true;
    p_pBox->setValue(p_iValue);
    m_bWritingSizes = false;
}

void MW_Windowing::updateButton()
{
    ui->pushButton_SetWindow->setEnabled(m_bWindowingOffered && WindowSizeAllowed(m_uWindowWidth, m_uWindowHeight));
}

void MW_Windowing::updateTintMaximum()
{
    m_uTintMax = uint16_t(WindowTintMaximum(m_uWindowWidth, GetCurrent(m_iProxyIndex, P::WindowingDivisor)));
    ui->spinBox_TINTMax->setValue(m_uTintMax);
}

void MW_Windowing::updateWindowWidth()
{
    if (m_uXLast < m_uXFirst) {
        writeSizeBox(ui->spinBox_XAcqSize, 0);
        ui->pushButton_SetWindow->setEnabled(false);
    }
    // 16-bit arithmetic: a last column before the first wraps to a size the limits refuse.
    m_uWindowWidth = uint16_t(m_uXLast - m_uXFirst + 1);
    if (m_uXLast >= m_uXFirst)
        writeSizeBox(ui->spinBox_XAcqSize, m_uWindowWidth);
    updateButton();
    updateWindowFps();
    // The TINT maximum follows the width, so it is refreshed here too.
    updateTintMaximum();
}

void MW_Windowing::updateWindowHeight()
{
    if (m_uYLast < m_uYFirst) {
        writeSizeBox(ui->spinBox_YAcqSize, 0);
        ui->pushButton_SetWindow->setEnabled(false);
    }
    m_uWindowHeight = uint16_t(m_uYLast - m_uYFirst + 1);
    if (m_uYLast >= m_uYFirst)
        writeSizeBox(ui->spinBox_YAcqSize, m_uWindowHeight);
    updateButton();
    updateWindowFps();
    updateTintMaximum();
}

void MW_Windowing::updateWindowFps()
{
    if (m_uCurrentFps == 0 || m_uSensorWidth == 0 || m_uSensorHeight == 0 || m_uWindowWidth == 0
        || m_uWindowHeight == 0)
        return;
    m_uEstimatedFps =
        EstimatedWindowFrameRate(m_uImageWidth, m_uImageHeight, m_uCurrentFps, m_uWindowWidth, m_uWindowHeight);
    ui->spinBox_EstimatedFramerate->setValue(m_uEstimatedFps);
}

void MW_Windowing::updateComboBoxPredifinedWindowing(QString p_sText)
{
    WindowCorners c{m_uXFirst, m_uXLast, m_uYFirst, m_uYLast};
    const PresetResult result = PresetWindow(p_sText, m_uSensorWidth, m_uSensorHeight, &c);
    if (result == PresetResult::TooSmall) {
        PresentMessageBox({this, QMessageBox::Warning, QStringLiteral("Incorrect Size"),
                           QStringLiteral("This Windowing is not available with this sensor"), {}});
        return;
    }
    ui->spinBox_XFirst->setValue(int(c.XFirst));
    ui->spinBox_XLast->setValue(int(c.XLast));
    ui->spinBox_YFirst->setValue(int(c.YFirst));
    ui->spinBox_YLast->setValue(int(c.YLast));
    // The spin boxes report only changes; the sizes follow the stored corners either way.
    m_uXFirst = uint16_t(c.XFirst);
    m_uXLast = uint16_t(c.XLast);
    m_uYFirst = uint16_t(c.YFirst);
    m_uYLast = uint16_t(c.YLast);
    updateWindowWidth();
    updateWindowHeight();
}

void MW_Windowing::Modify_CamFileWindowing()
{
    if (!QFileInfo::exists(m_sWindowingCamFile)) {
        if (!QFile::copy(m_sSourceCamFile, m_sWindowingCamFile)) {
            PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Copy failed"),
                               QStringLiteral("The Windowing CamFile has not been created. Please check Kestivo have "
                                              "access to the files"),
                               {}});
            return;
        }
        PresentMessageBox({this, QMessageBox::Information, QStringLiteral("Copy sucessful"),
                           QStringLiteral("The Windowing CamFile has been created"), {}});
    }

    // Written to a temporary file and swapped in, so a failed open or write
    // leaves the camera file as it was.
    QFile in(m_sWindowingCamFile);
    QSaveFile out(m_sWindowingCamFile);
    bool bWritten = false;
    if (in.open(QIODevice::ReadOnly)) {
        const QByteArray content = in.readAll();
        in.close();
        const QByteArray rewritten =
            RewriteGeometryLines(content, uint32_t(m_uWindowWidth) + m_uBlindColumns, m_uWindowHeight);
        bWritten = out.open(QIODevice::WriteOnly) && out.write(rewritten) == rewritten.size() && out.commit();
    }
    if (!bWritten) {
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Critical"),
                           QStringLiteral("The Windowing CamFile could not be rewritten: ") + m_sWindowingCamFile,
                           {}});
        return;
    }
    PushButton_SetWindow();
}

void MW_Windowing::PushButton_SetWindow()
{
    const std::pair<int, int> writes[] = {
        {BoardRegisterId::Yfirst, m_uYFirst}, {BoardRegisterId::Ylast, m_uYLast}, {BoardRegisterId::Xfirst, m_uXFirst}, {BoardRegisterId::Xlast, m_uXLast}};
    for (const auto& [id, value] : writes) {
        // A corner the board did not take leaves it with a window the camera
        // file does not describe: no restart then (the writer has reported it).
        if (!m_WriteRegister || m_WriteRegister(id, value) != 0)
            return;
        QThread::msleep(100);
    }
    emit Windowing_configured(false);
}

void MW_Windowing::closeEvent(QCloseEvent* p_pEvent)
{
    emit CloseWindow();
    p_pEvent->accept();
}
