// The main window's menu actions: the NUC type pair, colour look-up tables, demo mode and dual view, the display choice, datasheets, the web site, the log-file actions and Exit; and their wiring.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/digiboard_kind.h"
#include "app/file_dialog.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "pipeline/colour_lut.h"
#include "params/proxy_parameter_table.h"
#include "pipeline/affichage.h"
#include "board/links/board_traits.h"
#include "board/links/usb3_link.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <opencv2/highgui.hpp>

#include <cstdio>

namespace {

// FPGA register 6 of the interface board: bit 0 correction off, bit 2 HDR.
constexpr int kNucFpgaAddress = 6;
// The USB3 board's processing board and its NUC parameter.
constexpr int kCorvaneProcessingBoard = 2;
constexpr int kCorvaneNucParameter = 6;

} // namespace

// ---------------------------------------------------------------------------
// Wiring

void MainWindow::ConnectMenuActions()
{
    // Only the actions no other helper connects; each reaches one slot.
    const auto unique = Qt::UniqueConnection;
    connect(ui->action_SoftwareBPCorrection, &QAction::triggered, this, &MainWindow::ActionBPCorrectionSoftware, unique);
    connect(ui->actionDemoMode, &QAction::triggered, this, &MainWindow::ActionDemoMode, unique);
    connect(ui->action_Datasheet_DigiBoard, &QAction::triggered, this, &MainWindow::Action_OpenDatasheetDigiBoard,
            unique);
    connect(ui->actionDisplay_1, &QAction::triggered, this, &MainWindow::ActionSelectDisplay1, unique);
    connect(ui->actionDisplay_2, &QAction::triggered, this, &MainWindow::ActionSelectDisplay2, unique);
    connect(ui->actionDualView, &QAction::triggered, this, &MainWindow::ActionDualView, unique);
    connect(ui->actionExit, &QAction::triggered, this, &MainWindow::ActionExit, unique);
    connect(ui->action_NUCHardware, &QAction::triggered, this, &MainWindow::ActionNUCHardware, unique);
    connect(ui->action_NUCSoftware, &QAction::triggered, this, &MainWindow::ActionNUCSoftware, unique);
    connect(ui->action_Datasheet_Proxy, &QAction::triggered, this, &MainWindow::Action_OpenDatasheetProxy, unique);
    connect(ui->action_Datasheet_Kestivo, &QAction::triggered, this, &MainWindow::Action_OpenDatasheetKestivo, unique);
    connect(ui->action_Rename_LogFile, &QAction::triggered, Log, QOverload<>::of(&KV_Log::renameFile), unique);
    connect(ui->action_Erase_LogFile_content, &QAction::triggered, Log, &KV_Log::resetFile, unique);
    connect(ui->action_Open_LogFile, &QAction::triggered, Log, &KV_Log::openLogFile, unique);
    connect(ui->action_Website, &QAction::triggered, this, &MainWindow::Action_OpenVantrelWebSite, unique);
    connect(ui->action_CoolLUT, &QAction::triggered, this, &MainWindow::Action_CoolLUT, unique);
    connect(ui->action_FireLUT, &QAction::triggered, this, &MainWindow::Action_FireLUT, unique);
    connect(ui->action_CustomLUT, &QAction::triggered, this, &MainWindow::Action_CustomLUT, unique);
    connect(ui->actionAuto_Start, &QAction::triggered, this, &MainWindow::ActionAutoStart, unique);
    connect(ui->actionAuto_NUC, &QAction::triggered, this, &MainWindow::ActionAutoNUC, unique);
}

void MainWindow::ConnectSlidersAndSpinBoxes()
{
    // Connected before every other slot of these widgets: a change first
    // reaches its partner, then the voltage labels and the "Set parameters" tint.
    const auto unique = Qt::UniqueConnection;
    const QPair<QSlider*, QSpinBox*> pairs[] = {{ui->horizontalSlider_TINT, ui->spinBox_TINT},
                                                {ui->horizontalSlider_DAC_A, ui->spinBox_DAC_A},
                                                {ui->horizontalSlider_DAC_B, ui->spinBox_DAC_B},
                                                {ui->horizontalSlider_DAC_C, ui->spinBox_DAC_C},
                                                {ui->horizontalSlider_DAC_D, ui->spinBox_DAC_D}};
    for (const auto& pair : pairs)
        connect(pair.first, &QSlider::valueChanged, pair.second, &QSpinBox::setValue, unique);
    for (const auto& pair : pairs)
        connect(pair.second, QOverload<int>::of(&QSpinBox::valueChanged), pair.first, &QSlider::setValue, unique);
    // A typed image gain or offset moves its slider, whose own slot stores it for the frame path.
    connect(ui->spinBox_ImageGain, QOverload<int>::of(&QSpinBox::valueChanged), ui->horizontalSlider_ImageGain,
            &QSlider::setValue, unique);
    connect(ui->spinBox_ImageOffset, QOverload<int>::of(&QSpinBox::valueChanged), ui->horizontalSlider_ImageOffset,
            &QSlider::setValue, unique);
    // Started by the acquisition; connected here once, so no start adds a second connection.
    connect(Timers.OneSecond, &QTimer::timeout, this, &MainWindow::TimeOut1s, unique);
}

// ---------------------------------------------------------------------------
// NUC type

void MainWindow::ActionNUCHardware()
{
    Log->writeLine("Click on Hardware NUC");
    ApplyNUCType(true, ui->action_NUCHardware->isChecked());
}

void MainWindow::ActionNUCSoftware()
{
    Log->writeLine("Click on Software NUC");
    ApplyNUCType(false, ui->action_NUCSoftware->isChecked());
}

void MainWindow::ApplyNUCType(bool p_bHardware, bool p_bChecked)
{
    using namespace ProxyParameterId;
    // Checking one action or unchecking the other chooses the same type.
    const bool bHardwareNUC = p_bHardware == p_bChecked;
    if (p_bHardware)
        Log->writeLine(p_bChecked ? "--> Hardware NUC Enabled" : "--> Software NUC Enabled (Hardware NUC unchecked)");
    else
        Log->writeLine(p_bChecked ? "--> Software NUC Enabled" : "--> Hardware NUC Enabled (Software NUC unchecked)");
    SoftwareNUC = !bHardwareNUC;
    ui->action_NUCHardware->setChecked(bHardwareNUC);
    ui->action_NUCSoftware->setChecked(!bHardwareNUC);

    // The display gain and offset start again from neutral values.
    const int p = CurrentProxyIndex;
    ui->spinBox_ImageGain->setValue(1);
    SetCurrent(p, ImageGainSlider, 1);
    ui->horizontalSlider_ImageOffset->setValue(0);
    ui->spinBox_ImageOffset->setValue(0);
    SetCurrent(p, ImageOffsetSlider, 0);
    SetCurrent(p, ImageOffset, 0);

    // The board's correction goes off (HDR kept) in every case.
    const int iNucValue = 1 + 4 * (ui->checkBox_HDR->isChecked() ? 1 : 0);
    const OnBoardNuc nuc = BoardTraitsOf(DigiBoardKind).Nuc;
    if (nuc == OnBoardNuc::FpgaRegister)
        Send_Command_To_FPGA(kNucFpgaAddress, static_cast<uchar>(iNucValue));
    else if (nuc == OnBoardNuc::ProcessingBoard)
        static_cast<Usb3Link&>(*CorvaneLink)
            .writeProcessingRegister(kCorvaneProcessingBoard, kCorvaneNucParameter, iNucValue);

    ui->checkBox_ApplyNUC->setChecked(false);
    ui->checkBox_Enable_NUC2pt->setChecked(false);
    ui->checkBox_AGC->setChecked(false);

    ui->checkBox_Enable_AverageFPN->setEnabled(!bHardwareNUC);
    ui->checkBox_ApplyNUC->setText(bHardwareNUC ? QStringLiteral("1 point NUC Embedded") : QStringLiteral("1 point NUC"));
    // Only checking "Hardware" takes the two-point NUC away.
    ui->checkBox_Enable_NUC2pt->setEnabled(!(p_bHardware && p_bChecked));
    QTimer* pGainOffset = Timers.GainOffset;
    if (bHardwareNUC) {
        if (!pGainOffset->isActive())
            pGainOffset->start(GainOffsetTimerPeriodMs);
    } else if (pGainOffset->isActive()) {
        pGainOffset->stop();
    }
    ui->action_SoftwareBPCorrection->setEnabled(bHardwareNUC);
    if (p_bHardware && p_bChecked)
        ui->action_SoftwareBPCorrection->setChecked(false);
    else if (!bHardwareNUC)
        ui->action_SoftwareBPCorrection->setChecked(true);
    // The correction follows the check mark the operator sees.
    BadPixelCorrectionOn = ui->action_SoftwareBPCorrection->isChecked();
    for (QWidget* pWidget : {static_cast<QWidget*>(ui->checkBox_AGC), static_cast<QWidget*>(ui->spinBox_AGC_Centre),
                             static_cast<QWidget*>(ui->spinBox_AGC_GainClip)})
        pWidget->setEnabled(!bHardwareNUC);
    ui->label_NUCType_Val->setText(bHardwareNUC ? QStringLiteral("Hardware") : QStringLiteral("Software"));
}

// ---------------------------------------------------------------------------
// Colour look-up tables

void MainWindow::ChooseLut(QAction* p_pChosen, const std::function<QString()>& p_Path)
{
    QAction* const actions[] = {ui->action_FireLUT, ui->action_CoolLUT, ui->action_CustomLUT};
    bool before[3] = {};
    for (int i = 0; i < 3; ++i) {
        before[i] = actions[i] != p_pChosen && actions[i]->isChecked();
        if (actions[i] != p_pChosen)
            actions[i]->setChecked(false);
    }
    const QString sPath = p_Path();
    if (!sPath.isEmpty() && openLUT_File(sPath) != LutReadStatus::NoColourTable)
        return;
    // Nothing new is in use: the menu shows the table that still is.
    for (int i = 0; i < 3; ++i)
        actions[i]->setChecked(before[i]);
}

void MainWindow::Action_CoolLUT()
{
    if (!ui->action_CoolLUT->isChecked()) {
        LutActive = false;
        return;
    }
    ChooseLut(ui->action_CoolLUT, [this]() { return ApplicationDir + HeaderConstants::LutFolder + "Cool.csv"; });
}

void MainWindow::Action_FireLUT()
{
    if (!ui->action_FireLUT->isChecked()) {
        LutActive = false;
        return;
    }
    ChooseLut(ui->action_FireLUT, [this]() { return ApplicationDir + HeaderConstants::LutFolder + "Fire.csv"; });
}

QString MainWindow::SelectLutFile()
{
    FileDialogRequest request;
    request.Parent = this;
    request.Filter = QStringLiteral("CSV files (*.csv)");
    return ChooseFile(request);
}

void MainWindow::Action_CustomLUT()
{
    if (!ui->action_CustomLUT->isChecked()) {
        LutActive = false;
        return;
    }
    ChooseLut(ui->action_CustomLUT, [this]() {
        const QString sPath = SelectLutFile();
        if (sPath.isEmpty() || !QFileInfo(sPath).isFile())
            return QString();
        Log->writeLine("LUT File selected :" + sPath);
        return sPath;
    });
}

// ---------------------------------------------------------------------------
// Options

void MainWindow::ActionBPCorrectionSoftware()
{
    const bool bChecked = ui->action_SoftwareBPCorrection->isChecked();
    std::printf("BP Correction mode : %d\n", bChecked ? 1 : 0);
    std::fflush(stdout);
    BadPixelCorrectionOn = bChecked;
}

void MainWindow::ActionAutoNUC()
{
    AutoNUC = ui->actionAuto_NUC->isChecked();
}

void MainWindow::ActionAutoStart()
{
    AutoStart = ui->actionAuto_Start->isChecked();
}

// ---------------------------------------------------------------------------
// Displays, demo mode and dual view

void MainWindow::SelectDisplay(int p_iScreen)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (p_iScreen < 0 || p_iScreen >= screens.size()) {
        Log->writeLine("Display " + QString::number(p_iScreen + 1) + " is not connected");
        return;
    }
    const QRect geometry = screens.at(p_iScreen)->geometry();
    DemoWidth = geometry.width();
    DemoHeight = geometry.height() - 60;
    Log->writeLine("Setting Main definition : " + QString::number(DemoWidth) + "x" + QString::number(DemoHeight));
}

void MainWindow::ActionSelectDisplay1()
{
    SelectDisplay(0);
}

void MainWindow::ActionSelectDisplay2()
{
    SelectDisplay(1);
}

void MainWindow::ShowLogoView()
{
    const QPixmap logo(ApplicationDir + HeaderConstants::LogosFolder + HeaderConstants::LogoImage);
    ui->scrollArea->setMinimumSize(1030, 775);
    if (!ImageView)
        return;
    const int iWidth = ui->scrollArea->width() - 6;
    const int iHeight = ui->scrollArea->height() - 6;
    ImageView->setScaledContents(false);
    ImageView->setMinimumSize(iWidth, iHeight);
    ImageView->setMaximumSize(iWidth, iHeight);
    ImageView->setGeometry(0, 0, iWidth, iHeight);
    ImageView->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    ImageView->setPixmap(logo);
}

void MainWindow::ActionDualView()
{
    if (ui->actionDualView->isChecked()) {
        DualView = true;
        setGeometry(7, 30, 1620, 700);
        return;
    }
    DualView = false;
    ShowLogoView();
}

void MainWindow::ActionDemoMode()
{
    if (DemoMode) {
        LeaveDemoMode();
        return;
    }
    setWindowTitle(HeaderConstants::WindowTitle + " -- DEMO MODE");
    setGeometry(7, 30, 485, 1000);
    ShowLogoView();
    ui->actionDemoMode->setText(QStringLiteral("Normal Mode"));
    ui->actionDualView->setEnabled(true);
    SavedInterpolationEnabled = ui->comboBox_InterpolationMethod->isEnabled();
    ui->comboBox_InterpolationMethod->setEnabled(true);
    DemoMode = true;
    Log->writeLine("DemoMode Enabled");
}

void MainWindow::LeaveDemoMode()
{
    if (!DemoMode)
        return;
    if (DualView) {
        DualView = false;
        ui->actionDualView->setChecked(false);
    }
    ui->actionDualView->setEnabled(false);
    setWindowTitle(HeaderConstants::WindowTitle);
    setGeometry(7, 30, SingleViewWidth, SingleViewHeight);
    // Ends the demo display window of the frame path.
    cv::destroyAllWindows();
    ScreenShowOpen = false;
    ui->actionDemoMode->setText(QStringLiteral("Demo Mode"));
    ui->comboBox_InterpolationMethod->setEnabled(SavedInterpolationEnabled);
    DemoMode = false;
    Log->writeLine("DemoMode Disabled");
}

// ---------------------------------------------------------------------------
// Datasheets and the web site

void MainWindow::OpenDatasheet(const QString& p_sPrefix, const QString& p_sMissing)
{
    const QString sFolder = ApplicationDir + QStringLiteral("/../Datasheets/");
    // The first file whose name starts with the prefix, in name order; an empty prefix takes any file.
    const QStringList found = QDir(sFolder).entryList({p_sPrefix + "*"}, QDir::Files, QDir::Name);
    if (found.isEmpty()) {
        std::printf("FindFirstFile failed (2)\n");
        std::fflush(stdout);
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Error"), p_sMissing, {QStringLiteral("OK")}});
        return;
    }
    std::printf("The first file found is %s\n", found.first().toLocal8Bit().constData());
    std::fflush(stdout);
    const QString sPath = QDir::cleanPath(QDir(sFolder).absoluteFilePath(found.first()));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(sPath)))
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Error"),
                           QStringLiteral("The datasheet has not been found."), {QStringLiteral("OK")}});
}

void MainWindow::Action_OpenDatasheetDigiBoard()
{
    Log->writeLine("Open DigiBoard Datasheet using menu");
    const QString sName = QString::fromLatin1(BoardTraitsOf(DigiBoardKind).DatasheetName);
    OpenDatasheet(sName, "No " + sName + " datasheet found.");
}

void MainWindow::Action_OpenDatasheetProxy()
{
    Log->writeLine("Open Proxy Datasheet using menu");
    OpenDatasheet(ProxyName, "No Proxy " + ProxyName + " datasheet found.");
}

void MainWindow::Action_OpenDatasheetKestivo()
{
    Log->writeLine("Open Kestivo Datasheet using menu");
    OpenDatasheet(QStringLiteral("Kestivo"), QStringLiteral("No Kestivo datasheet found."));
}

void MainWindow::Action_OpenVantrelWebSite()
{
    QDesktopServices::openUrl(QUrl(HeaderConstants::WebSiteAddress, QUrl::TolerantMode));
}

// ---------------------------------------------------------------------------
// Exit

void MainWindow::ActionExit()
{
    Log->writeLine("Exit using MenuBar");
    // The shut-down of every close: the board stopped safely, the options and
    // offsets kept, an open video finalised; the event loop then ends.
    close();
}
