// Construction and shut-down of the main window, and the instance pointer.
#include "mainwindow/MainWindow.h"
#include "app/digiboard_kind.h"
#include "mainwindow/MW_AdvancedUser.h"

#include "ui_MainWindow.h"
#include "tools/Window_Calibration.h"
#include "tools/Window_Debug.h"
#include "tools/Window_DetectBP.h"
#include "tools/Window_TestProxy.h"
#include "tools/MW_Windowing.h"
#include "tools/MW_I2C_Configuration.h"
#include "tools/Setup_DigiBoard.h"
#include "tools/Window_Terminal.h"
#include "tools/Cmd_Perso.h"
#include "tools/Window_Histogram.h"
#include "tools/OffsetBP_Widget.h"

#include "app/app_paths.h"
#include "app/boot_file.h"
#include "app/globals.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/links/board_traits.h"
#include "board/os_version.h"
#include "mainwindow/MW_ProxyBelmor.h"
#include "mainwindow/Window_ConfSavingFile.h"
#include "mainwindow/separator_captions.h"
#include "pipeline/affichage.h"
#include "pipeline/kv_video_recorder.h"
#include "params/proxy_parameter_table.h"
#include "usb3lib/Quenlin.h"
#include "app/thread_call.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QSerialPort>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// The board selector's items: the item index is the DigiBoardKind.
const QStringList& DigiBoardComboItems()
{
    static const QStringList items = {
        QStringLiteral("Digi board ..."), QStringLiteral("Arvex"),  QStringLiteral("Belmor"),
        QStringLiteral("Belmor+"),        QStringLiteral("Dunstel"), QStringLiteral("Eskra"),
        QStringLiteral("Corvane")};
    return items;
}

// The DigiBoardKind named by p_sName (case ignored), or -1 for a name that is no item.
int DigiBoardKindFromName(const QString& p_sName)
{
    const QStringList& items = DigiBoardComboItems();
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i).compare(p_sName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString SizeText(const QSize& p_Size)
{
    return QString::number(p_Size.width()) + "x" + QString::number(p_Size.height());
}

// Replaces the form's placeholder item with the real list, item index = code.
void FillCombo(QComboBox* p_pCombo, const QStringList& p_Items)
{
    p_pCombo->removeItem(0);
    for (int i = 0; i < p_Items.size(); ++i)
        p_pCombo->insertItem(i, QIcon(), p_Items.at(i), QVariant());
}

QTimer* NewTimer(QObject* p_pParent, int p_iPeriodMs)
{
    auto* pTimer = new QTimer(p_pParent);
    pTimer->setInterval(p_iPeriodMs);
    return pTimer;
}

} // namespace

ScreenSetup ComputeScreenSetup(const QList<QSize>& p_Sizes)
{
    ScreenSetup setup;
    const QSize first = p_Sizes.isEmpty() ? QSize(0, 0) : p_Sizes.at(0);
    setup.DemoWidth = setup.MaxScreenWidth = first.width();
    setup.DemoHeight = setup.MaxScreenHeight = first.height();
    setup.Display1Text = "Display 1: " + SizeText(first);
    setup.LogLines << "Getting screen definition display 1: " + SizeText(first);
    if (p_Sizes.size() < 2) {
        setup.Display2Text = QStringLiteral("Display 2 : Not connected");
        setup.Display2Connected = false;
        setup.LogLines << QStringLiteral("Second Display not connected");
    } else {
        const QSize second = p_Sizes.at(1);
        setup.DemoWidth = second.width();
        setup.DemoHeight = second.height();
        setup.Display2Text = "Display 2: " + SizeText(second);
        setup.Display2Connected = true;
        setup.MaxScreenWidth = qMax(setup.MaxScreenWidth, second.width());
        setup.MaxScreenHeight = qMax(setup.MaxScreenHeight, second.height());
        setup.LogLines << "Getting screen definition display 2: " + SizeText(second);
    }
    // Leaves room for the task bar of the demo screen.
    setup.DemoHeight -= 60;
    return setup;
}

void CloseAndScheduleDeletion(const QList<QPointer<QWidget>>& p_Windows)
{
    for (const QPointer<QWidget>& pWindow : p_Windows) {
        if (!pWindow)
            continue;
        pWindow->close();
        pWindow->deleteLater();
    }
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    // Tool windows, recorder and debug window are created here, after the
    // serial port and around the log, in this order: terminal, advanced
    // commands, board set-up, bad-pixel offset, proxy selector, I2C,
    // advanced user; log; recorder; debug window.
    EskraSerialPort = new QSerialPort(this);
    Log = new KV_Log;
    // Lines written on a frame thread reach the windows on the GUI thread.
    connect(Log, &KV_Log::LineWritten, this, &MainWindow::LogLineWritten);
    ui = new Ui::MainWindow;

    ui->setupUi(this);
    LiftCaptionsOverSeparators(ui->centralWidget);
    // The state label's right edge lies under the left column's dividing line:
    // its right-aligned texts ("Connected !", ...) end clear of the line.
    ui->label_State->setContentsMargins(0, 0, 4, 0);
    CreateConnectionWindows(); // the Belmor proxy selector
    CreateAdvancedCommandsWindow();
    CreateBoardToolWindows();
    CreateBPOffsetWindow();
    setWindowTitle(HeaderConstants::WindowTitle);
    std::printf("Load %s\n", getLibraryVersion());
    std::fflush(stdout);
    ResetInformationLabels();

    ApplicationDir = ApplicationDirPath();
    qstrncpy(ApplicationDirUtf8, ApplicationDir.toUtf8().constData(), sizeof(ApplicationDirUtf8));

    createDatasheetFolder();
    createSavedConfigurationsFolder();
    createSavedImagesFolder();

    ui->pushButton_SizeUp->setIcon(QIcon(ApplicationDir + HeaderConstants::IconsFolder + HeaderConstants::IconSizeUp));

    ui->label_Copyright->setText(HeaderConstants::FooterText);
    ui->label_Copyright->setOpenExternalLinks(true);
    CommandsWindow->setCopyright(HeaderConstants::FooterText);
    SetupWindow->setCopyright(HeaderConstants::FooterText);
    CreateAnalysisWindows(); // the debug window, its credits and its connections
    I2CWindow->setCopyright(HeaderConstants::FooterText);

    InitProxyParameterTable();
    // The GigE stand-in reads no GenICam folder, so no GENICAM_ROOT_V2_4 is set.

    // Created in this order; none runs until acquisition or an operator choice starts it.
    Timers.OneSecond = NewTimer(this, OneSecondTimerPeriodMs);
    Timers.Histogram = NewTimer(this, HistogramTimerPeriodMs);
    Timers.SaveStream = NewTimer(this, Period);
    Timers.GainOffset = NewTimer(this, GainOffsetTimerPeriodMs);
    Timers.Miniature = NewTimer(this, MiniatureTimerPeriodMs);
    Timers.AGC = NewTimer(this, AGCTimerPeriodMs);
    Timers.RecordingBlink = NewTimer(this, RecordingBlinkTimerPeriodMs);
    // Before any connection: ImageReadyToDisplay is queued from the acquisition threads.
    qRegisterMetaType<cv::Mat>("cv::Mat");
    qRegisterMetaType<BoardKind>("BoardKind");

    // The image view, the miniature and the histogram go into their scroll
    // areas; each tool window's close signal is connected where it is made.
    CreateImageViews(); // ImageReadyToDisplay, the image view and the miniature (pipeline/)
    CreateImageOutputs(); // the recorder, the histogram and their controls (pipeline/)
    ConnectCalibrationWindow(); // the calibration action

    // Connection helpers, in this order: timers, actions, check boxes, combo
    // boxes, gain/offset sliders, push buttons, spin boxes, log errors, message
    // boxes, video recorder, histogram, debug window; then the bad-pixel offset
    // window and the advanced-user window. The slider and spin-box pairs come
    // first: a change reaches its partner before any other slot of the widget.
    ConnectSlidersAndSpinBoxes();
    ConnectMenuActions();
    ConnectComboBoxes();
    ConnectGainOffsetRefresh();
    ConnectProxyControls();
    ConnectConnectionControls();
    ConnectWindowingControls();
    ConnectControlSlots();
    connect(ui->action_About_Kestivo, &QAction::triggered, this, [this](bool) { Action_AboutKestivo(); });
    connect(ui->actionDebug_Mode, &QAction::triggered, this, [this](bool) { ActionDebug(); });
    connect(ui->actionDetectBP, &QAction::triggered, this, [this](bool) { Action_DetectBP(); });
    connect(ui->actionProxy_Test, &QAction::triggered, this, [this](bool) { Action_ProxyTest(); });
    ConnectHistogramWindowControls();

    Log->setLogDirectory(ApplicationDir + HeaderConstants::LogsFolder);
    Log->createLogFile();
    Log->setConsoleOutput(true);
    SetGlobalLog(Log);
    TerminalWindow->setLog(Log);
    SetupWindow->setLog(Log);
    CommandsWindow->setLog(Log);
    BPOffsetWindow->SetLog(Log);
    ProxySelector->SetLog(Log);
    I2CWindow->setLog(Log);
    AdvancedUserWindow->SetLog(Log);
    ImageView->setLog(Log);
    VideoRecorder->setLogFile(Log);
    VideoRecorder->setFileName(HeaderConstants::VideoFileName);

    if (QFileInfo::exists(ApplicationDirPath() + HeaderConstants::CalibrationProgramPath)) {
        Log->writeLine("Processing Calibration is available");
        ui->action_CablibrationScript->setVisible(true);
    } else {
        Log->writeLine("Processing Calibration is not available");
        ui->action_CablibrationScript->setVisible(false);
    }

    setWindowsVersion(DetectWindowsVersion(Log));

    ApplyScreenSetup();

    SingleViewHeight = height();
    SingleViewWidth = width();
    bInitDriverDone = false;
    AdvancedUserAuthenticated = 0;
    TerminalWindow->setStatusConnexion(false);

    ApplyInitialControlStates();

    FillComboBoxBPCorrectionMode();
    FillComboBoxInterpolation();
    FillComboBoxDigiBoard();
    FillComboBoxBayerMode();

    for (QWidget* pWidget : {static_cast<QWidget*>(ui->spinBox_XFirst), static_cast<QWidget*>(ui->spinBox_XLast),
                             static_cast<QWidget*>(ui->spinBox_YFirst), static_cast<QWidget*>(ui->spinBox_YLast),
                             static_cast<QWidget*>(ui->spinBox_AcqX), static_cast<QWidget*>(ui->spinBox_AcqY),
                             static_cast<QWidget*>(ui->checkBox_SizeA), static_cast<QWidget*>(ui->checkBox_SizeB),
                             static_cast<QWidget*>(ui->line), static_cast<QWidget*>(ui->line_2),
                             static_cast<QWidget*>(ui->pushButton_SetWindow)})
        pWidget->hide();

    qstrncpy(SnapshotExtension, "bmp", sizeof(SnapshotExtension));

    ReadBootFileAndSelectBoard();
}

MainWindow::~MainWindow()
{
    // A frame still delivered while the window goes finds no window rather than a freed one.
    if (g_pMainWindow == this)
        g_pMainWindow = nullptr;
    StopAcquisition = true;
    StopConnectionAsked = true;
    if (PasswordWindowOpen && AdvancedUserWindow)
        AdvancedUserWindow->close();
    if (HistogramWindowOpen && HistogramWindow) {
        // Its close slot forgets it; no event loop is left to run a deferred deletion.
        QPointer<Window_Histogram> pHistogram = HistogramWindow;
        pHistogram->close();
        delete pHistogram.data();
    }
    // Whatever closeEvent already scheduled for deletion is skipped: the
    // guarded pointers are null once the deletion has run.
    CloseAndScheduleDeletion(ShutdownWindows());
    // No event loop may be left to run the deferred deletion of the windowing window.
    delete WindowingWindow.data();
    delete CalibrationWindow.data();
    delete ClosedCalibrationWindow.data();
    delete DetectBPWindow.data();
    delete TestProxyWindow.data();
    delete DebugWindow.data();
    DestroyAdvancedCommandsWindow();
    DestroyBoardToolWindows();
    DestroyBPOffsetWindow();
    delete ConfSavingFileWindow.data();
    // Its destructor finalises a video still open.
    delete VideoRecorder;
    VideoRecorder = nullptr;
    BelmorProxySource = nullptr;
    delete ProxySelector;
    ProxySelector = nullptr;
    if (Log)
        Log->closeFile();
    delete ui;
    ui = nullptr;
    // The log goes with the window; GlobalLog falls back to the log made before main.
    delete Log;
    Log = nullptr;
}

void MainWindow::closeEvent(QCloseEvent* p_pEvent)
{
    // The same safe disconnection as the main button, for every kind and
    // state, before the window goes.
    TearDownConnectedBoard();
    StopAcquisition = true;
    StopConnectionAsked = true;
    KeepBootOptions();
    if (PasswordWindowOpen && AdvancedUserWindow)
        AdvancedUserWindow->close();
    if (ConfSavingFileWindow && ConfSavingFileWindow->IsOpen())
        CloseConfigSavingFile();
    // An open video is finalised before the program ends.
    CloseVideoForExit();
    CloseAndScheduleDeletion(ShutdownWindows());
    if (CalibrationWindow)
        CalibrationWindow->close();
    // Kept to the destructor, only hidden here.
    if (SetupWindowOpen)
        SetupWindow->close();
    if (TerminalWindowOpen)
        TerminalWindow->close();
    if (I2CWindowOpen)
        I2CWindow->close();
    // Lets the acquisition paths see the stop flags before the window goes.
    WaitMs(200);
    p_pEvent->accept();
}

void MainWindow::KeepBootOptions()
{
    // The board of the last connection stays; "Auto Start" and "Auto 1-pt NUC"
    // as the operator left them are read back at the next start.
    char szBoardName[BootBoardNameBufferSize] = {};
    bool bFileAutoStart = false;
    bool bFileAutoNUC = false;
    ReadBootFile(szBoardName, HeaderConstants::BootFileName, &bFileAutoStart, &bFileAutoNUC);
    if (bFileAutoStart == AutoStart && bFileAutoNUC == AutoNUC)
        return;
    UpdateBootFile(QString::fromUtf8(szBoardName), HeaderConstants::BootFileName, &AutoStart, &AutoNUC);
}

QList<QPointer<QWidget>> MainWindow::ShutdownWindows() const
{
    // In closing order: debug, bad-pixel detection, proxy test, windowing, advanced histogram.
    return {DebugWindow.data(), DetectBPWindow.data(), TestProxyWindow.data(), WindowingWindow.data(),
            HistogramWindow.data()};
}

void MainWindow::SetDigiBoardKind(BoardKind p_Kind)
{
    if (DigiBoardKind.exchange(p_Kind) != p_Kind)
        CallOnThreadOf(this, [this, p_Kind]() { emit DigiBoardKindChanged(p_Kind); });
}

void MainWindow::SetConnected(bool p_bConnected)
{
    if (Connected.exchange(p_bConnected) != p_bConnected)
        CallOnThreadOf(this, [this, p_bConnected]() { emit ConnectionChanged(p_bConnected); });
}

void MainWindow::SetCurrentProxyIndex(int p_iProxyIndex)
{
    if (CurrentProxyIndex.exchange(p_iProxyIndex) != p_iProxyIndex)
        CallOnThreadOf(this, [this, p_iProxyIndex]() { emit ProxyChanged(p_iProxyIndex); });
}

void MainWindow::GetPointerToInstance()
{
    g_pMainWindow = this;
}

// ---------------------------------------------------------------------------
// Construction steps

void MainWindow::CreateFolder(const QString& p_sRelative, char* p_szBuffer, const char* p_szLogLine)
{
    const QString sPath = ApplicationDirPath() + p_sRelative;
    qstrncpy(p_szBuffer, sPath.toUtf8().constData(), MainWindowPathBufferSize);
    if (!QFileInfo(sPath).isDir()) {
        Log->writeLine(p_szLogLine);
        QDir().mkdir(sPath);
    }
}

void MainWindow::createDatasheetFolder()
{
    CreateFolder(QStringLiteral("/../Datasheets/"), DatasheetsDir, "Creating Datasheet folder");
}

void MainWindow::createSavedConfigurationsFolder()
{
    CreateFolder(HeaderConstants::SavedConfigurationsFolder, SavedConfigurationsDir,
                 "Creating SavedConfigurations folder");
}

void MainWindow::createSavedImagesFolder()
{
    CreateFolder(QStringLiteral("/../SavedImages/"), SavedImagesDir, "Creating SavedImages folder");
}

void MainWindow::ApplyScreenSetup()
{
    QList<QSize> sizes;
    for (QScreen* pScreen : QGuiApplication::screens())
        sizes << pScreen->geometry().size();
    const ScreenSetup setup = ComputeScreenSetup(sizes);
    DemoWidth = setup.DemoWidth;
    DemoHeight = setup.DemoHeight;
    MaxScreenWidth = setup.MaxScreenWidth;
    MaxScreenHeight = setup.MaxScreenHeight;
    ui->actionDisplay_1->setText(setup.Display1Text);
    ui->actionDisplay_2->setText(setup.Display2Text);
    if (!setup.Display2Connected)
        ui->actionDisplay_2->setEnabled(false);
    for (const QString& sLine : setup.LogLines)
        Log->writeLine(sLine);
}

void MainWindow::ApplyInitialControlStates()
{
    ui->action_OpenBPOffsetWindow->setEnabled(false);
    ui->actionDualView->setEnabled(false);
    ui->action_CablibrationScript->setEnabled(false);
    ui->actionDebug_Mode->setEnabled(false);
    ui->actionDebug_Mode->setVisible(false);

    for (QWidget* pWidget : {static_cast<QWidget*>(ui->checkBox_WindowingEnabled),
                             static_cast<QWidget*>(ui->checkBox_2Tap),
                             static_cast<QWidget*>(ui->pushButton_Start),
                             static_cast<QWidget*>(ui->pushButton_Open_ProxyDatasheet),
                             static_cast<QWidget*>(ui->pushButton_LoadConfiguration),
                             static_cast<QWidget*>(ui->pushButton_SaveConfiguration),
                             static_cast<QWidget*>(ui->pushButton_SaveHistogramCSV),
                             static_cast<QWidget*>(ui->pushButton_SaveHistogramBMP),
                             static_cast<QWidget*>(ui->groupBox_RecordingVideo),
                             static_cast<QWidget*>(ui->groupBox_BadPixeCorrection),
                             static_cast<QWidget*>(ui->groupBox_ProxyParameters),
                             static_cast<QWidget*>(ui->groupBox_DisplayParameters),
                             static_cast<QWidget*>(ui->groupBox_NUC),
                             static_cast<QWidget*>(ui->groupBox_SaveImage),
                             static_cast<QWidget*>(ui->groupBox_SensorParameters)})
        pWidget->setEnabled(false);

    // The keyboard handling of the main window sees these widgets' events first.
    for (QObject* pObject : {static_cast<QObject*>(this), static_cast<QObject*>(ui->spinBox_DAC_A),
                             static_cast<QObject*>(ui->spinBox_DAC_B), static_cast<QObject*>(ui->spinBox_DAC_C),
                             static_cast<QObject*>(ui->spinBox_DAC_D), static_cast<QObject*>(ui->spinBox_AcqX),
                             static_cast<QObject*>(ui->spinBox_AcqY), static_cast<QObject*>(ui->spinBox_CKDIV),
                             static_cast<QObject*>(ui->spinBox_ImageGain),
                             static_cast<QObject*>(ui->spinBox_ImageOffset), static_cast<QObject*>(ui->spinBox_TINT),
                             static_cast<QObject*>(ui->spinBox_XFirst), static_cast<QObject*>(ui->spinBox_XLast),
                             static_cast<QObject*>(ui->spinBox_YFirst), static_cast<QObject*>(ui->spinBox_YLast),
                             static_cast<QObject*>(ui->centralWidget)})
        pObject->installEventFilter(this);

    ui->menu_NUC->setEnabled(false);
    ui->action_Datasheet_DigiBoard->setEnabled(false);
    ui->action_Datasheet_Proxy->setEnabled(false);
    ui->action_SoftwareBPCorrection->setChecked(true);
    ui->action_NUCSoftware->setChecked(true);
    ui->action_NUCSoftware->setEnabled(false);
    ui->action_NUCHardware->setChecked(false);
    ui->action_NUCHardware->setEnabled(false);
    ui->actionDetectBP->setVisible(true);
    ui->actionProxy_Test->setVisible(true);
    ui->checkBox_Enable_NUC2pt->hide();
    ui->pushButton_ChangeCalibFile->hide();
}

void MainWindow::ReadBootFileAndSelectBoard()
{
    char szBoardName[BootBoardNameBufferSize] = {};
    ReadBootFile(szBoardName, HeaderConstants::BootFileName, &AutoStart, &AutoNUC);
    SelectProxyComboIndex(QString::fromUtf8(szBoardName));
    ui->actionAuto_Start->setChecked(AutoStart);
    ui->actionAuto_NUC->setChecked(AutoNUC);
    Log->writeLine("Last configuration read");
    Log->writeLine("DigiBoard  : " + ui->comboBox_SelectDigiBoard->currentText());
    Log->writeLine("AutoStart  : " + QString::number(AutoStart ? 1 : 0));
    Log->writeLine("AutoNUC    : " + QString::number(AutoNUC ? 1 : 0));
}

// ---------------------------------------------------------------------------
// Combo boxes

void MainWindow::FillComboBoxDigiBoard()
{
    FillCombo(ui->comboBox_SelectDigiBoard, DigiBoardComboItems());
}

void MainWindow::FillComboBoxBPCorrectionMode()
{
    FillCombo(ui->comboBox_BPCorrectionMode, HeaderConstants::BPCorrectionModeNames);
}

void MainWindow::FillComboBoxInterpolation()
{
    FillCombo(ui->comboBox_InterpolationMethod, HeaderConstants::InterpolationNames);
}

void MainWindow::FillComboBoxBayerMode()
{
    FillCombo(ui->comboBox_BayerMode, HeaderConstants::BayerModeNames);
}

void MainWindow::SelectProxyComboIndex(QString p_sBoardName)
{
    ui->comboBox_SelectDigiBoard->setCurrentIndex(qMax(0, DigiBoardKindFromName(p_sBoardName)));
}

void MainWindow::ConnectComboBoxes()
{
    // The text overload of currentIndexChanged is deprecated; the item text of
    // the new index is the same value (empty while no item is current).
    QComboBox* pBoards = ui->comboBox_SelectDigiBoard;
    connect(pBoards, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, pBoards](int p_iIndex) { ComboBox_SelectDigiBoard(pBoards->itemText(p_iIndex)); });
    QComboBox* pBadPixels = ui->comboBox_BPCorrectionMode;
    connect(pBadPixels, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, pBadPixels](int p_iIndex) { ComboBox_BPCorrectionMode(pBadPixels->itemText(p_iIndex)); });
    QComboBox* pInterpolation = ui->comboBox_InterpolationMethod;
    connect(pInterpolation, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, pInterpolation](int p_iIndex) { ComboBox_InterpolationMethod(pInterpolation->itemText(p_iIndex)); });
    QComboBox* pBayer = ui->comboBox_BayerMode;
    connect(pBayer, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, pBayer](int p_iIndex) { ComboBox_BayerMode(pBayer->itemText(p_iIndex)); });
}

void MainWindow::TearDownConnectedBoard()
{
    if (!Connected && !bInitDriverDone && !CameraLinkSerialOpen)
        return;
    TeardownHold = true;
    ui->pushButton_Start->setEnabled(false);
    ui->comboBox_SelectDigiBoard->setEnabled(false);
    // A stream loop running below this call sees the stop flag and returns.
    StopAcquisition = true;
    if (Connected)
        Deinit();
    if (MainPressDepth == 0)
        ReleaseTeardownHold();
}

void MainWindow::ReleaseTeardownHold()
{
    if (!TeardownHold || !ui)
        return;
    TeardownHold = false;
    ui->comboBox_SelectDigiBoard->setEnabled(true);
    if (!Connected) {
        ui->pushButton_Start->setText(QStringLiteral("Connect"));
        ui->pushButton_Start->setEnabled(DigiBoardKind != BoardKind::None);
        if (DigiBoardKind != BoardKind::None)
            ui->label_State->setText(QStringLiteral("Ready"));
    }
}

void MainWindow::ComboBox_SelectDigiBoard(QString p_sBoardName)
{
    // Removing the form's placeholder item sends an empty text.
    if (p_sBoardName.isEmpty())
        return;
    Log->writeLine("DigiBoard changed to " + p_sBoardName);

    // The old board is torn down first, whatever its kind and state, with the
    // old kind still current: its safe registers go out through its own link.
    TearDownConnectedBoard();

    ui->label_Info_Proxy_Freq->clear();
    ui->pushButton_Start->setText(QStringLiteral("Connect"));
    ui->pushButton_Start->setEnabled(!TeardownHold);
    SetConnected(false);

    const int iIndex = DigiBoardKindFromName(p_sBoardName);
    const BoardKind iKind = BoardKindFromIndex(iIndex);
    if (iIndex < 0) {
        ui->label_State->setText(QStringLiteral("No Digi Board selected"));
        ui->action_Datasheet_DigiBoard->setEnabled(false);
        ui->action_Datasheet_Proxy->setEnabled(false);
        ui->pushButton_Start->setEnabled(false);
        ui->checkBox_2Tap->setEnabled(false);
    }
    SetDigiBoardKind(iKind);
    if (TeardownHold)
        ui->label_State->setText(QStringLiteral("Unmounting, wait..."));

    const bool bWindowing = BoardTraitsOf(iKind).WindowingConfiguration;
    ui->action_WindowingConfiguration->setEnabled(bWindowing);
    ui->checkBox_WindowingEnabled->setVisible(bWindowing);
    ui->checkBox_WindowingEnabled->setEnabled(bWindowing);

    if (!TeardownHold)
        ui->label_State->setText(QStringLiteral("Ready"));
}
