// The controller window: the state every subsystem reads and writes, its signals and its timers.
#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QMetaType>
#include <QPointer>
#include <QSerialPortInfo>
#include <QSize>
#include <QString>
#include <QStringList>

#include "app/digiboard_kind.h"
#include "board/board_link_factory.h"
#include "board/links/cameralink_link_state.h"
#include "board/links/gige_link_state.h"
#include "board/links/eskra_link_state.h"
#include "mainwindow/main_controls.h"
#include "mainwindow/proxy_choice_source.h"

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <atomic>
#include <functional>
#include <memory>
#include <cstdint>
#include <cstdio>

class CameraLinkLink;

Q_DECLARE_METATYPE(cv::Mat)

class QAction;
class QCloseEvent;
class QIcon;
class QKeyEvent;
class Window_AdvancedUser;
class OffsetBP_Widget;
class MW_ProxyBelmor;
class MW_Windowing;
class Window_Debug;
class Window_DetectBP;
class Window_TestProxy;
class Setup_DigiBoard;
class Window_Terminal;
class MW_I2C_Configuration;
class Cmd_Perso;
class Window_AboutKestivo;
class Window_Histogram;
class Window_Calibration;
class RawFrameReceiver;
class QSerialPort;
class QTimer;
class KV_Log;
class Affichage;
class ImageMiniature;
struct MiniatureCrossGeometry;
class PipelineState;
class QUrl;
struct ConfigurationSettings;
struct ModeCommand;
struct PixelReadout;
enum class LutReadStatus : int;
class QPixmap;
class KV_Histogram;
class KV_VideoRecorder;
class Window_ConfSavingFile;


namespace Ui {
class MainWindow;
}

// The seven periodic timers of the main window, all on the GUI thread. The
// constructor creates them with their usual periods set but none started; the
// code that starts one passes the period again (stream saving takes Period).
struct MainWindowTimers
{
    QTimer* Miniature = nullptr;       // 3000 ms, TimeOutUpdateImgMiniature
    QTimer* OneSecond = nullptr;       // 1000 ms, TimeOut1s and the no-frame watchdog
    QTimer* Histogram = nullptr;       // 1000 ms, CalculHistogram
    QTimer* SaveStream = nullptr;      // Period ms, TimeOutSaveStream
    QTimer* AGC = nullptr;             // 50 ms, AGC_processing
    QTimer* GainOffset = nullptr;      // 1000 ms, TimeOutGainOffset
    QTimer* RecordingBlink = nullptr;  // 500 ms, TimeOutREC
};

constexpr int MiniatureTimerPeriodMs = 3000;
constexpr int OneSecondTimerPeriodMs = 1000;
constexpr int HistogramTimerPeriodMs = 1000;
constexpr int AGCTimerPeriodMs = 50;
constexpr int GainOffsetTimerPeriodMs = 1000;
constexpr int RecordingBlinkTimerPeriodMs = 500;

// Sizes of the fixed text buffers of the main window, terminator included.
constexpr int MainWindowPathBufferSize = 500;
constexpr int SnapshotExtensionBufferSize = 10;

// What the constructor takes from the screens: demo mode goes to the second
// screen when there is one, the working images are sized for the largest.
struct ScreenSetup
{
    int DemoWidth = 0;
    int DemoHeight = 0;
    int MaxScreenWidth = 0;
    int MaxScreenHeight = 0;
    QString Display1Text;
    QString Display2Text;
    bool Display2Connected = false;
    QStringList LogLines;
};
// p_Sizes: the screens' sizes, screen 0 first (only the first two count).
ScreenSetup ComputeScreenSetup(const QList<QSize>& p_Sizes);

// Closes each window that still exists, in the given order, and schedules it
// for deletion. Guarded pointers clear themselves once the deletion has run,
// so a later pass over the same pointers skips what is already gone.
void CloseAndScheduleDeletion(const QList<QPointer<QWidget>>& p_Windows);
// Shows a top-level tool window again in front of the others, and active.
void BringToolWindowToFront(QWidget* p_pWindow);

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The form, one pointer per object by object name.
    Ui::MainWindow* ui = nullptr;

    // ----- Folders and texts ---------------------------------------------------
    char ApplicationDirUtf8[MainWindowPathBufferSize] = {};
    char DatasheetsDir[MainWindowPathBufferSize] = {};
    char SavedConfigurationsDir[MainWindowPathBufferSize] = {};
    char SavedImagesDir[MainWindowPathBufferSize] = {};
    QString ApplicationDir;
    QString ProxyName;
    char SnapshotExtension[SnapshotExtensionBufferSize] = {};

    // ----- Flags ---------------------------------------------------------------
    // Atomic: the frame callbacks and worker threads read and write them
    // without a lock (the GUI thread owns everything else).
    std::atomic<bool> CameraLinkSerialOpen{false};
    std::atomic<bool> ScreenShowOpen{false};
    std::atomic<bool> Connected{false};
    std::atomic<bool> DemoMode{false};
    std::atomic<bool> ConfigurationCustom{false};
    std::atomic<bool> BadPixelFillReset{false};
    std::atomic<bool> FullFrameWindow{true};
    std::atomic<bool> FirstStart{true};
    std::atomic<bool> TwoTap{false};
    std::atomic<bool> GainOffsetChanged{false};
    std::atomic<bool> SaveAllFramesRaw{false};
    std::atomic<bool> SaveAllFramesBmp{true};
    std::atomic<bool> DualView{false};
    std::atomic<bool> AverageFPN{false};
    std::atomic<bool> FPNRequest{false};
    std::atomic<bool> StopAcquisition{false};
    std::atomic<bool> SetupWindowOpen{false};
    std::atomic<bool> TerminalWindowOpen{false};
    std::atomic<bool> CommandsWindowOpen{false};
    std::atomic<bool> PasswordWindowOpen{false};
    std::atomic<bool> CalibrationWindowOpen{false};
    std::atomic<bool> I2CWindowOpen{false};
    std::atomic<bool> SoftwareNUC{false};
    std::atomic<bool> BadPixelUploadRunning{false};
    std::atomic<bool> DebugRunning{false};
    std::atomic<bool> Connecting{false};
    std::atomic<bool> StopConnectionAsked{false};
    std::atomic<bool> bInitDriverDone{false};
    std::atomic<bool> BadPixelCorrectionOn{true};
    std::atomic<bool> StreamStarted{false};
    std::atomic<bool> HistogramWindowOpen{false};
    std::atomic<bool> LutActive{false};
    // Plain: the boot file reader and writer take their addresses.
    bool AutoStart = false;
    bool AutoNUC = false;
    std::atomic<bool> AGCRunning{false};
    std::atomic<bool> BadPixelDetectionRunning{false};
    // The stream-file choices of the saving options.
    std::atomic<bool> CSV8b{false};
    std::atomic<bool> CSV16b{false};
    std::atomic<bool> CSVAcquired{false};
    std::atomic<bool> CSVFPN{false};
    std::atomic<bool> CSVDisplayed{false};
    std::atomic<bool> RAW8b{false};
    std::atomic<bool> RAW16b{false};
    std::atomic<bool> RAWAcquired{false};
    std::atomic<bool> RAWFPN{false};
    std::atomic<bool> RAWDisplayed{false};

    // ----- Display, board and proxy values ---------------------------------------
    int AGCMargin = 0;
    int DemoWidth = 0;
    int DemoHeight = 0;
    int MaxScreenWidth = 0;
    int MaxScreenHeight = 0;
    std::atomic<BoardKind> DigiBoardKind{BoardKind::None};
    std::atomic<int> FrameRate{0};
    std::atomic<int> FramesDisplayed{0};
    std::atomic<int> MeasuredFrameRate{0};
    int AdvancedUserAuthenticated = 0;
    std::atomic<int> CurrentProxyIndex{0};
    int ImageSizeCode = 0;
    int NewImageSizeCode = 0;
    int DefaultImageSizeCode = 0;
    int BlindColumnsLeft = 0;
    int BlindColumnsRight = 0;
    std::atomic<int> NoFrameSeconds{0};
    std::atomic<int> BadPixelOffsetX{0};
    std::atomic<int> BadPixelOffsetY{0};
    int SingleViewHeight = 1080;
    int SingleViewWidth = 1920;
    std::atomic<int> BayerCode{0};
    int SnapshotFormat = 0;
    int SaveAllFramesFormat = 0;
    int Period = 100;
    std::atomic<int> NumberFrames{0};
    int F1F4Count = 0;
    // TINT, DAC A to D, OAdj0..2, MAdj0..2, Ref0, Ref1, UpCol, UpRow, Gain0..2, SizeA, SizeB, CKDIV.
    static constexpr int LastSentParameterCount = 21;
    int LastSentParameters[LastSentParameterCount] = {};
    std::atomic<uint16_t> ReferenceMean{0};
    std::atomic<double> Gamma{1.0};
    double LastDisplayScale = 1.0;
    std::atomic<double> DisplayScale{1.0};

    // ----- Bad pixels and the serial-port board ------------------------------------
    // One list per readout orientation: a count, then pixel indices.
    uint32_t* BadPixelIndexList[4] = {nullptr, nullptr, nullptr, nullptr};
    QFileInfo NUC2ptCalibFileInfo;
    FILE* BadPixelFile = nullptr;

    // ----- GigE Vision link -----------------------------------------------------------
    // The Dunstel's link, made with the window. It owns the transport objects;
    // the window and its tool windows see them by the names below.
    std::unique_ptr<BoardLink> DunstelLink = MakeBoardLink(BoardKind::Dunstel);
    GigELinkState& GigEState = GigELinkStateOf(*DunstelLink);
    PvDevice*& GigEDevice = GigEState.Device;
    PvDeviceSerialPort*& GigESerialPort = GigEState.SerialPort;
    PvGenCommand*& GigEAcquisitionStartCommand = GigEState.AcquisitionStartCommand;
    PvGenCommand*& GigEAcquisitionStopCommand = GigEState.AcquisitionStopCommand;
    PvGenParameter*& GigEBandwidthParameter = GigEState.BandwidthParameter;
    PvGenParameter*& GigEAcquisitionRateParameter = GigEState.AcquisitionRateParameter;
    PvGenParameterArray*& GigEDeviceParameters = GigEState.DeviceParameters;
    PvGenParameterArray*& GigEStreamParameters = GigEState.StreamParameters;
    PvPipeline*& GigEPipeline = GigEState.Pipeline;
    PvPipelineEventSink*& GigEEventSink = GigEState.EventSink;
    PvStream*& GigEStream = GigEState.Stream;
    uint32_t (&GigELinkWords)[3] = GigEState.LinkWords;
    // ----- Serial-port board link ----------------------------------------------------
    // The Eskra's link, made with the window. It owns the port, the frame
    // buffers' pointers, the sums and the receiver; the window sees them by
    // the names below.
    std::unique_ptr<BoardLink> EskraBoardLink = MakeBoardLink(BoardKind::Eskra);
    EskraLinkState& EskraState = EskraLinkStateOf(*EskraBoardLink);
    // Transmitted checksum, running sum, recomputed sum of the last Eskra frame.
    int (&EskraChecksums)[3] = EskraState.Checksums;
    QList<QSerialPortInfo>& EskraPortList = EskraState.PortList;
    QSerialPort*& EskraSerialPort = EskraState.SerialPort;
    // The serial-port board's port, as the port list named it.
    QByteArray& EskraPortName = EskraState.PortName;
    // Buffers of the serial-port board's frame stream (two halves of the double
    // buffer, a spare frame and the decoded pixel pairs); made by InitPointers.
    unsigned char* (&EskraBuffers)[3] = EskraState.Buffers;
    unsigned char*& EskraPixelBuffer = EskraState.PixelBuffer;
    // The Corvane's link, made with the window.
    std::unique_ptr<BoardLink> CorvaneLink = MakeBoardLink(BoardKind::Corvane);
    // The frame path a link streams into while acquisition runs; made at its
    // start, dropped once the link has stopped.
    std::unique_ptr<FrameSink> LinkFramePath;

    // ----- Camera Link ------------------------------------------------------------------
    // The link of the Camera Link kind chosen (Arvex, Belmor or Belmor+), made
    // at its first use and again when another of them is chosen. Its state is
    // the process's one frame grabber and serial link.
    std::unique_ptr<BoardLink> CameraLink;
    CameraLinkLinkState& CameraLinkState = CameraLinkTransport();
    // The Camera Link link of DigiBoardKind; when the kind is none of them, the
    // link made last (an Arvex one when none was).
    CameraLinkLink& CameraLinkBoard();
    // The link of DigiBoardKind, given the window's log; null for no board.
    BoardLink* SelectedBoardLink();

    // ----- Child objects ----------------------------------------------------------
    // The image view, the miniature, the tool windows, the recorder, the
    // histogram and the debug window join here as they are built, in the
    // creation order of the constructor. Windows that closeEvent schedules for
    // deletion (debug, bad-pixel detection, proxy test, windowing, terminal,
    // advanced histogram) are held in QPointer, so the destructor sees them gone.
    // Parentless tool windows are made with Qt::WA_QuitOnClose off: closing the
    // main window must end the event loop even while a tool window is open.
    KV_Log* Log = nullptr;

    // ----- Timers --------------------------------------------------------------------
    MainWindowTimers Timers;

    // ----- Working images (created by InitMatrices at acquisition start) ----------
    cv::Mat WorkingImage32s;
    cv::Mat WorkingImage32f;
    cv::Mat DisplayImage8bClone;
    cv::Mat DisplayImage8b;
    cv::Mat DisplayImage16b;
    cv::Mat NUC2ptGainImage;
    cv::Mat ScaledDisplayImage8b;
    cv::Mat FPNReferenceImage;
    cv::Mat NewFPNReferenceImage;
    cv::Mat AcquiredImage16b;
    cv::Mat MatDisplayGrey;
    cv::Mat MatColourWork;
    cv::Mat MatScaledCopy;
    cv::Mat MatDisplayColour;
    cv::Mat LutPlaneR;
    cv::Mat LutPlaneG;
    cv::Mat LutPlaneB;
    cv::Mat ColourLut;
    cv::Mat StreamDisplayed8b;
    cv::Mat StreamFPN16b;
    cv::Mat StreamDisplayed16b;
    cv::Mat StreamAcquired16b;

    cv::VideoWriter VideoWriter;

    // ----- Acquisition counters ------------------------------------------------------
    std::atomic<int> FrameCounter{-1};
    std::atomic<int> FramesReceived{0};
    std::atomic<int> FPNAverageCount{10};
    std::atomic<int> FrameWidth{0};
    std::atomic<int> FrameHeight{0};
    std::atomic<int> FramePitch{0};
    std::atomic<bool> SaveAllFramesRunning{false};
    std::atomic<bool> CameraLinkFrameReady{false};

    // ----- Construction helpers ------------------------------------------------------
    void createDatasheetFolder();
    void createSavedConfigurationsFolder();
    void createSavedImagesFolder();
    void FillComboBoxDigiBoard();
    void FillComboBoxBPCorrectionMode();
    void FillComboBoxInterpolation();
    void FillComboBoxBayerMode();
    void SelectProxyComboIndex(QString p_sBoardName);
    void ConnectComboBoxes();

    // Rewrites the boot file's options when the operator changed them since it was written.
    void KeepBootOptions();
    // Windows that closeEvent and the destructor close, in their order.
    QList<QPointer<QWidget>> ShutdownWindows() const;

    // ===== Image pipeline and display (defined in pipeline/) ========================
    Affichage* ImageView = nullptr;      // the main view, the widget of scrollArea
    ImageMiniature* Miniature = nullptr; // the miniature, the widget of label_Miniature
    PipelineState* Pipeline = nullptr;   // frame-path state and the widget mirrors it reads
    // Construction (mainwindow/pipeline_widgets.cpp): the view, the miniature,
    // the display hand-off, the widget mirrors and the miniature and AGC timers' slots.
    void CreateImageViews();
    // The widgets the pipeline's GUI-thread code reads or sets
    // (mainwindow/pipeline_widgets.cpp); the acquisition threads read the
    // mirrors of PipelineState instead.
    void SetFpnReferenceButtonEnabled(bool p_bEnabled);
    void EnableNuc2ptBox();
    void EnableApplyNucBox();
    void TickApplyNucBox();
    QSize ImageAreaSize() const;
    // Back to the start-up minimum; the area's size after it.
    QSize ResetImageAreaMinimumSize();
    void ShowPixelReadout(const PixelReadout& p_Readout);
    void ShowNoPixelReadout();
    int BayerModeIndex() const;
    void StepImageOffset(int p_iStep);
    void StepImageGain(int p_iStep);
    int AgcCentreSetting() const;
    int AgcGainClipSetting() const;
    void ShowAgcGainAndOffset(int p_iGain, int p_iOffset);
    void UntickSaveStream();
    void ShowRecIcon(const QPixmap& p_Icon);
    // Called by InitMatrices / Deinit: the pipeline's working images for the
    // current geometry, and their release.
    void InitPipelineImages();
    void ReleasePipelineImages();
    // The per-frame FPN step on the main window (ComputeFPNReference calls it).
    void ComputeFPNReferenceStep();
    cv::Mat getMatDisplay8b();
    cv::Mat getMatDisplayScaled();
    cv::Mat getMatFPNReference();
    cv::Mat ConvertTo8bit(unsigned short* p_pBuffer, int p_iBayerCode);
    cv::Mat DebayerImage(cv::Mat p_Image, int p_iBayerCode);
    cv::Mat ApplyColorLUT(cv::Mat p_Image);
    void ShowDemoFrame(const cv::Mat& p_Full, const cv::Mat& p_Scaled);
    // ===== end of the image pipeline section =========================================

    // ===== Image outputs: histogram, recorder, snapshots, streams, series ===========
    KV_Histogram* Histogram = nullptr;        // the live histogram, the widget of label_Histogram
    KV_VideoRecorder* VideoRecorder = nullptr; // the AVI recorder, made without parent, deleted with the window
    QPointer<Window_ConfSavingFile> ConfSavingFileWindow; // the saving-options dialog while it exists
    // Construction (mainwindow/pipeline_widgets.cpp): the histogram label, the
    // recorder and the wiring of their controls, timers and dialogs.
    void CreateImageOutputs();
    // Whether the REC icon shows at the next blink tick.
    bool RecBlinkPhase = false;
    // Set by the display slot once the stream copies hold a frame taken since stream saving started.
    std::atomic<bool> StreamCopiesReady{false};
    // The Belmor save-all series: the display slot keeps the newest frame
    // here, the acquisition loop saves it once.
    cv::Mat SeriesRaw16b;
    cv::Mat SeriesDisplay8b;
    std::atomic<bool> SeriesFrameFresh{false};
    std::atomic<int> SeriesFramesSaved{0};
    // The displayed-RAW series could not open a file; logged once until one opens again.
    std::atomic<bool> DisplayedRawFailureLogged{false};
    // The snapshot writer of one format: extension with its dot, counter cell.
    void SaveSnapshot(const char* p_szExtension, int p_iCounterCell);
    // ===== end of the image outputs section ==========================================

signals:
    // What tool windows follow; all are emitted on the GUI thread, when the state changes.
    void DigiBoardKindChanged(BoardKind p_Kind);
    void ConnectionChanged(bool p_bConnected);
    void ProxyChanged(int p_iProxyIndex);
    // Each line written to the log, without its time stamp.
    void LogLineWritten(QString p_sLine);
    // The board the advanced commands address: its name once connected, "NONE" after Deinit.
    void CommandsBoardChanged(QString p_sBoardName);
    void ImageReadyToDisplay(cv::Mat, cv::Mat);
    void saveImageToVideo(cv::Mat);
    void UpdateAdvancedHistogram(cv::Mat, cv::Mat);
    void UpdateHistogram(cv::Mat);
    void SendImageToDebug(cv::Mat, cv::Mat);
    void signalInterruptDebug();
    void setImageForBPDetection(cv::Mat);

public slots:
    void GetPointerToInstance();

    // ----- Menu actions (mainwindow/menu_actions.cpp) ---------------------------------
    // The NUC type pair: exactly one of "Hardware" and "Software" is checked.
    void ActionNUCHardware();
    void ActionNUCSoftware();
    // Colour look-up tables: Cool, Fire or a file of the operator's; unchecked: none.
    void Action_CoolLUT();
    void Action_FireLUT();
    void Action_CustomLUT();
    void ActionBPCorrectionSoftware();
    void ActionAutoNUC();
    void ActionAutoStart();
    void ActionSelectDisplay1();
    void ActionSelectDisplay2();
    void ActionDualView();
    // Toggles demo mode; LeaveDemoMode restores the normal window (nothing when demo mode is off).
    void ActionDemoMode();
    void LeaveDemoMode();
    void Action_OpenDatasheetDigiBoard();
    void Action_OpenDatasheetProxy();
    void Action_OpenDatasheetKestivo();
    void Action_OpenVantrelWebSite();
    // Ends the program through the same shut-down as closing the window.
    void ActionExit();

    // The slots and methods below are grouped by the code that defines them;
    // each group's definitions live in that subsystem's folder.

    // ----- Connection state machine and board links (board/) -----------------------
    // Board link: Camera Link port selection (p_szMessage holds
    // CameraLinkMessageBufferSize bytes), FPGA registers, image gain and offset.
    int ActivateTerminal_Belmor(char* p_szMessage);
    int ActivateTerminal_Arvex(char* p_szMessage);
    void Send_Command_To_FPGA(int Adresse, uchar Value);
    void SliderGainModified();
    void SliderOffsetModified();
    void TimeOutGainOffset();
    // Wires the image sliders to their spin boxes and slots and the gain/offset
    // timer to TimeOutGainOffset; called once at construction.
    void ConnectGainOffsetRefresh();
    // Connection state machine behind pushButton_Start, and the board identification.
    void PushButton_Start();
    void PushButton_Start_When_Connecting();
    void PushButtonConnect_ProxyTest();
    // Takes a connected board down (a streaming one by a safe disconnection)
    // so that the proxy test starts from the disconnected state.
    void DisconnectBoard_ProxyTest();
    void PushButtonSetParameter_ProxyTest();
    void PushButtonTakeFPN_ProxyTest();
    void CheckBox_WindowingEnabled(int p_iCheckBoxStatus);
    // One connection attempt (0 first, 1..10 retries): a ConnectResult.
    int ConnectToBoard(int attempt);
    void ReadConfigIntoDigiBoard();
    void ResetInformationLabels();
    // "Set parameters" and the GMS word of the current record. False when the
    // operator declined the TINT or a write failed (both already reported).
    bool PushButton_SetModuleParameters();
    uint32_t getGMSValue();

    // ----- Acquisition: Init, Getinterruption, Deinit, frame paths (board/) ---------
    // Init: true when acquisition must not start. p_pWindowingDisabled only
    // chooses the Camera Link camera file; it is never written.
    bool Init(bool* p_pWindowingDisabled);
    void InitPointers();
    void InitMatrices();
    // Starts the selected board's frame path; returns once acquisition has
    // ended for the Camera Link, GigE and serial-port boards, at once for USB3.
    void Getinterruption();
    // Safe registers, tear-down of the link and back to "Ready"; nothing when not connected.
    void Deinit();
    int SendDefaultSensorRegisters();
    // The "Start" branch of the main button: the start sequence of the board kind.
    void StartAcquisitionSequence();
    // One-second statistics and the no-frame watchdog.
    void TimeOut1s();
    // Serial-port board: the decode step of a checked frame into the raw frame.
    void ProcessImageEskra();

    // ----- Image pipeline and display (pipeline/) --------------------------------------
    void UpdateDisplay(unsigned short* pImage16b);
    void UpdateImageDisplayed(cv::Mat p_Full, cv::Mat p_Scaled);
    void PushButton_TakeFPNRef();
    void takeFPNfromSignal();
    void AGC_processing();
    // A file that holds no table is refused with a message, and the table in use stays.
    LutReadStatus openLUT_File(QString p_sPath);
    void TimeOutUpdateImgMiniature();
    QImage printCrossMini(QImage p_Picture);

    // ----- Proxy-dependent set-up and control refresh -----------------------------------
    void InitGUIWithProxy();
    void UpdateGUI();
    void UpdateValuesOnDynamicFrequency(int frameRate);
    void applyProxyModelDefaults();
    void updateLabelVoltage_ADD02(int p_iValue);
    void updateLabelVoltage_ADD03(int p_iValue);
    void updateLabelVoltage_ADD0C(int p_iValue);
    void updateLabelVoltage_ADD0D(int p_iValue);
    void setLabel_Histogram_NbPixelMaxValue(int p_iValue);

    // ----- Image outputs (pipeline/mainwindow_pipeline.cpp, mainwindow/snapshots.cpp,
    //       mainwindow/saving_options.cpp) ------------------------------------------------
    void CalculHistogram();
    void ResetHistogram();
    void TimeOutSaveStream();
    void SaveDisplayedRaw(cv::Mat p_Image);
    void SaveAllFrames_Belmor();
    void SaveBMP_ProxyTest(QString p_sName);
    void TimeOutREC();
    void startTimerREC();
    void stopTimerREC();
    void SetVideoSizeForAcquisition();
    void StopVideoRecordingForDeinit();
    void CloseVideoForExit();
    void SaveSnapshotBMP();
    void SaveSnapshotJPEG();
    void SaveSnapshotPNG();
    void SaveSnapshotTIF();
    void PushButton_Snapshot();
    bool CheckStreamStarted();
    void StopSaveAllFrames();
    void PushButton_RecordVideo();
    void PushButton_SelectVideoFolder();
    void ResetGroupBoxVideoRecorder();
    void CheckBox_Savestream(int p_iCheckBoxStatus);
    void setDACA_ProxyTest(int p_iValue);
    void setDACB_ProxyTest(int p_iValue);
    void setDACC_ProxyTest(int p_iValue);
    void setDACD_ProxyTest(int p_iValue);
    void setTINT_ProxyTest(int p_iValue);
    void setGain_ProxyTest(int p_iValue);
    void setOffset_ProxyTest(int p_iValue);
    void Update_ConfigurationSavingFile(int p_iSnapshotFormat, int p_iSaveAllFramesFormat, int p_iNumberFrames,
                                        int p_iPeriod, bool p_bBMP, bool p_bJPG, bool p_bCSV, bool p_bCSV8b,
                                        bool p_bCSV16b, bool p_bCSVFPN, bool p_bCSVAcquired, bool p_bCSVDisplayed,
                                        bool p_bRAW, bool p_bRAW8b, bool p_bRAW16b, bool p_bRAWFPN,
                                        bool p_bRAWAcquired, bool p_bRAWDisplayed);
    void ActionSetupSavingFiles();
    void ConnectConfSavingFile();
    void CloseConfigSavingFile();

    // ----- Combo boxes ------------------------------------------------------------
    void ComboBox_SelectDigiBoard(QString p_sBoardName);
    void ComboBox_BPCorrectionMode(QString p_sMode);
    void ComboBox_InterpolationMethod(QString p_sMethod);
    void ComboBox_BayerMode(QString p_sMode);
    void DisableInterpolationComboBox();
    void EnableInterpolationComboBox();

    // ----- Check boxes, push buttons, sliders and spin boxes ------------------------------
    // Information panel and the bad-pixel offsets (mainwindow/mode_check_boxes.cpp).
    void UpdateInformationWindowBeforeStart();
    void XOffsetBPChanged(int p_iValue);
    void YOffsetBPChanged(int p_iValue);
    // Image-processing and board-mode check boxes (mainwindow/mode_check_boxes.cpp).
    void CheckBox_2Tap(int p_iCheckBoxStatus);
    void Enable_2Tap();
    void Disable_2Tap();
    void CheckBox_AGC(int p_iCheckBoxStatus);
    void CheckBox_GMS(int p_iCheckBoxStatus);
    void CheckBox_HDR(int p_iCheckBoxStatus);
    void CheckBox_InvertBW(int p_iCheckBoxStatus);
    void CheckBox_SizeA(int p_iCheckBoxStatus);
    void CheckBox_SizeB(int p_iCheckBoxStatus);
    void SpinBox_Gamma(double p_dValue);
    // FPN, average FPN and two-point NUC (mainwindow/nuc_controls.cpp).
    void CheckBox_ApplyFPN(int p_iCheckBoxStatus);
    void CheckBox_AverageFPN(int p_iCheckBoxStatus);
    void SpinBox_AverageFPN(int p_iValue);
    void CheckBox_NUC2Pt(int p_iCheckBoxStatus);
    void PushButton_ChangeCalibFile();
    // Configuration files (mainwindow/configuration_slots.cpp).
    void PushButton_SaveConfiguraton();
    void PushButton_LoadConfiguraton();
    // Push buttons and the default parameters (mainwindow/push_buttons.cpp).
    void PushButton_OpenDatasheetProxy();
    void pushButton_Open_SavedImages_Folder();
    void PushButton_ResetGainOffset();
    void PushButton_SaveAllFrames();
    void PushButton_SetParameter_Color();
    void PushButton_SetDefaultParameter();

    // ----- Menu actions and tool windows --------------------------------------------------
    void ActionWindowing();
    void CloseWindowingConfigurationWindow();
    void Windowing_asked(bool p_bConfigured);
    // Sensor windowing from the main window's own window controls (board/).
    void PushButton_SetWindow();
    // Bad-pixel map: choose the file, then read it into the lists or upload it (board/).
    void PushButton_SelectBP_File();
    void Load_BadPixel_File();
    // The advanced-commands window: shown by action_OpenCommandsWindow, hidden by its close.
    void ActionCommands();
    void CloseAdvCmdWindow();
    // The board set-up window: shown by action_OpenSetupDigiBoardWindow (offering
    // to connect first), hidden by its close.
    void ActionSetupDigi();
    void CloseSetupDigiWindow();
    // The terminal: shown by action_OpenTerminal while a board is connected.
    void ActionTerminal();
    void CloseTermWindow();
    // The I2C configuration sender: shown by action_Send_I2C_Configuration_file
    // (offering to connect first).
    void ActionCommandsI2C();
    void CloseCommandI2CWindow();
    // The GigE serial port of the link to the set-up, terminal and I2C windows, or null.
    void HandGigEToToolWindows();
    void ResetGigEInToolWindows();
    // The connection state and the board kind to the set-up, terminal and I2C
    // windows (the I2C window learns the kind from the board configuration).
    void TellToolWindowsConnection(bool p_bConnected);
    void TellToolWindowsBoardKind(int p_iKind);
    void StopTerminalTimer();

    // ----- Message boxes and log errors ------------------------------------------------
    void ErrorLogCantBeOpen();
    void ErrorLogNotOpen();
    void ErrorLogNotWritable();
    void ErrorLogNotRenamed();
    void ErrorLogNotReset();
    void MessageBoxCritical(QString p_sTitle, QString p_sMessage);
    void MessageBoxWarning(QString p_sTitle, QString p_sMessage);
    void MessageBoxInformation(QString p_sTitle, QString p_sMessage);
    void MessageBoxFrequencyWarning(int p_iFrameRate);
    void WindowingValueCal();

    // ----- Keyboard, debug mode and advanced-user mode ---------------------------------
    void AdvancedUserMode(bool p_bChecked);
    void CheckPassword(int p_iResult);
    void WindowClosed();
    void CheckMainWindowActiv();
    void setBadPixelDetectionStatus(bool p_bRunning);
    // The calibration window's close, its parameter refresh, and its close by Deinit.
    void CloseCalibrationWindow();
    void RefreshParam_WindowCalib();
    void CloseCalibrationForDeinit();

    // ----- Bad-pixel offset window (mainwindow/bp_offset_window.cpp) ------------------
    // action_OpenBPOffsetWindow: shows the window, or saves its offsets and closes it.
    void action_OpenBPOffsetWindow();
    // At acquisition start: the proxy's section of the offset file into the window.
    void ReadBPOffsetForAcquisition();
    // At acquisition stop: the offsets saved, the window closed when open.
    void CloseBPOffsetWindowForDeinit();

public:
    // The file an operator picks in a non-modal dialog; empty on Cancel or
    // when the choice is not an existing file.
    QString SelectFileDialog(QString p_sTitle, QString p_sNameFilter);
    // Connections of the log errors, the windowing and DAC spin boxes and the
    // advanced-user mode; called once by the constructor.
    void ConnectProxyControls();

    // Wiring of the menu actions, the slider and spin-box pairs and the timers
    // that no other helper connects; called once by the constructor, first.
    void ConnectMenuActions();
    void ConnectSlidersAndSpinBoxes();
    // The size of the screen demo mode shows on (height less 60), chosen by the Display actions.
    void SelectDisplay(int p_iScreen);
    // One case of the NUC type pair: p_bHardware names the action, p_bChecked its new state.
    void ApplyNUCType(bool p_bHardware, bool p_bChecked);
    // The logo in place of the live image, sized to the scroll area.
    void ShowLogoView();
    // Opens the first datasheet whose name starts with p_sPrefix; p_sMissing is the box text when none.
    void OpenDatasheet(const QString& p_sPrefix, const QString& p_sMissing);
    // The state of comboBox_InterpolationMethod before demo mode enabled it.
    bool SavedInterpolationEnabled = false;
    // The file dialog of the custom LUT; empty on Cancel or when no file is chosen.
    QString SelectLutFile();
    // p_pChosen alone checked, the table of the path p_Path gives opened; when
    // it gives none, or the file holds no table, the choice in use stays checked.
    void ChooseLut(QAction* p_pChosen, const std::function<QString()>& p_Path);

    // Who answers which proxy was chosen: the Belmor's own selector on that
    // board, the board set-up window on the others. Each is set while its
    // window exists; while none answers, the current record stays selected.
    ProxyChoiceSource* BelmorProxySource = nullptr;
    ProxyChoiceSource* SetupProxySource = nullptr;
    ProxyChoiceSource* ProxyChoiceFor(BoardKind p_Kind) const;
    // The state behind DigiBoardKindChanged, ConnectionChanged and ProxyChanged:
    // each stores the value and emits the signal when it changed (queued to the
    // GUI thread when called from another thread).
    void SetDigiBoardKind(BoardKind p_Kind);
    void SetConnected(bool p_bConnected);
    void SetCurrentProxyIndex(int p_iProxyIndex);

    // ----- Left-column controls: helpers and state (mainwindow/) ---------------------
    // Connections of the check boxes, spin boxes and push buttons above; called once by the constructor.
    void ConnectControlSlots();
    // The display gain and offset put aside while the FPN correction is off (one pair per process).
    int SavedImageGain = 1;
    int SavedImageOffset = 0;
    int SendModeCameraLinkText(const QByteArray& p_Text);
    // One register of the current board through its family's encoder; 0 = sent.
    int WriteModeRegister(int p_iRegisterId, uint32_t p_uValue, bool p_bShowError);
    // The NUC register 6 of the USB3 board's processing board; the last step's result.
    int WriteCorvaneNucRegister(uint32_t p_uValue);
    // Stores p_Command's cell and sends it; a failed send is shown and logged with p_sFailurePrefix.
    void RunModeCommand(const ModeCommand& p_Command, int p_iCell, const QString& p_sFailurePrefix);
    void ApplySizePreset(bool p_bSizeA, int p_iCheckBoxStatus);
    // Cells and widgets of the image gain and offset.
    void SetImageGainAndOffset(int p_iGain, int p_iOffset);
    void ResetTwoPointNUCGains();
    // Forgets the gain file and switches the two-point NUC off.
    void DropTwoPointNUCFile();
    // The modal file dialog of the configuration files; empty on Cancel.
    QString AskConfigurationFile(bool p_bSave);
    ConfigurationSettings CurrentConfigurationSettings() const;
    // The password window of the advanced-user mode, made by ConnectProxyControls.
    Window_AdvancedUser* AdvancedUserWindow = nullptr;
    // Tracked from the central widget's show and hide events, so the capture
    // thread's activity check reads no widget. True until a hide: a window that
    // was never shown (a test, a start-up still under way) is not going away.
    std::atomic<bool> CentralWidgetVisible{true};
    // Set once the activity check has queued the tear-down; cleared when the
    // central widget shows again.
    std::atomic<bool> TearDownQueued{false};

    // ----- Acquisition state (board/) -------------------------------------------------
    // The grabber reported an acquisition failure; the Camera Link wait loop reacts.
    std::atomic<bool> CameraLinkAcquisitionFailed{false};
    // The box shown while Deinit works; closed at its end.
    QPointer<QWidget> DeinitializingBox;
    // Frames the USB3 path dropped because they were shorter than the geometry.
    std::atomic<unsigned> ShortFramesDropped{0};
    // Set when Deinit is asked for from a thread that must not run it.
    std::atomic<bool> DeinitQueued{false};
    // True while Deinit runs: a second call (a press or a timer handled in its
    // waits) returns instead of tearing the same links down under it.
    bool DeinitRunning = false;
    // Main-button presses and start sequences now on the stack: a tear-down
    // asked from inside one of them is over only once they have returned.
    int MainPressDepth = 0;
    // A board change or a close tears the connected board down: the main button
    // and the board list stay disabled until that is over (ReleaseTeardownHold).
    bool TeardownHold = false;
    // Tears down whatever board is connected, of any kind, holding the main
    // button and the board list; they come back when no press is left below.
    void TearDownConnectedBoard();
    void ReleaseTeardownHold();
    // True (and logged) when the board a start sequence began with has been
    // torn down in one of its waits: the sequence must then stop where it is.
    bool StartOvertaken(BoardKind p_Kind) const;
    // MW_Windowing::setCurrentFps while the windowing window exists (its owner sets it).
    std::function<void(uint16_t)> WindowingCurrentFps;

    // ----- Sensor windowing and bad-pixel maps (board/, mainwindow/) -------------------
    // The windowing window while it exists (created on first use, destroyed on its close).
    QPointer<MW_Windowing> WindowingWindow;
    // Connections of the set-window button, the windowing action and the
    // bad-pixel file button; called once by the constructor.
    void ConnectWindowingControls();
    // The About window: a new one at every use of action_About_Kestivo, each
    // deleted when closed; the latest is remembered.
    QPointer<Window_AboutKestivo> AboutWindow;
    void Action_AboutKestivo();

    // ----- Analysis and test windows (mainwindow/analysis_windows.cpp) -------------------
    // Set by the frame path when it sends a frame to the detection window,
    // cleared once the window has taken it; frames in between are dropped.
    std::atomic<bool> BPDetectionFrameQueued{false};
    // The frame-statistics (debug) window, created once by the constructor.
    QPointer<Window_Debug> DebugWindow;
    // A new detection or proxy-test window at every use, each deleted when
    // closed; the latest is remembered.
    QPointer<Window_DetectBP> DetectBPWindow;
    QPointer<Window_TestProxy> TestProxyWindow;
    // The test or detection window whose run is (or was last) in progress;
    // one runs at a time.
    QPointer<Window_TestProxy> RunningTestProxyWindow;
    QPointer<Window_DetectBP> RunningDetectBPWindow;
    void CreateAnalysisWindows();
    void ActionDebug();
    void Action_DetectBP();
    void Action_ProxyTest();
    // Answers of the debug window's start and stop: its header values, then DebugRunning.
    void setStartDebug();
    void setStopDebug();
    // The advanced histogram window while it exists (created on first use,
    // destroyed on its close); fed by UpdateAdvancedHistogram.
    QPointer<Window_Histogram> HistogramWindow;
    void ConnectHistogramWindowControls();
    void Action_OpenWindowHistogram();
    void CloseHistWindow();
    // Steps after the file dialog of PushButton_SelectBP_File: opens p_sPath,
    // clears the lists and loads the map. False when the file cannot be opened.
    bool OpenBadPixelFile(const QString& p_sPath);

    // ----- Blackbody calibration window (mainwindow/calibration_window.cpp) --------------
    // Created on first use, forgotten when closed; a closed window waits in
    // ClosedCalibrationWindow until its own slots have returned.
    QPointer<Window_Calibration> CalibrationWindow;
    QPointer<Window_Calibration> ClosedCalibrationWindow;
    // The open window's capture, null while no window is open; the frame path
    // reads it with std::atomic_load and holds it while it writes a frame.
    std::shared_ptr<RawFrameReceiver> CalibrationCapture;
    // The calibration action; called once by the constructor.
    void ConnectCalibrationWindow();
    void Action_CalibrationScript();

    // ----- Advanced commands (mainwindow/advanced_commands_window.cpp) -------------------
    // Created once by the constructor, kept to the end of the program.
    Cmd_Perso* CommandsWindow = nullptr;
    void CreateAdvancedCommandsWindow();
    void DestroyAdvancedCommandsWindow();
    // The GigE objects of the link to the window (port, device and, once
    // streaming, the stream), or null for each after a disconnection.
    void HandGigEToAdvancedCommands();
    void ResetGigEInAdvancedCommands();
    // Before the link frees the GigE device and stream: the window's parameter browsers close.
    void CloseAdvancedCommandsBrowsers();

    // ----- Board set-up, terminal and I2C windows (mainwindow/board_tool_windows.cpp) ---
    // Created once by the constructor, kept to the end of the program.
    Setup_DigiBoard* SetupWindow = nullptr;
    Window_Terminal* TerminalWindow = nullptr;
    MW_I2C_Configuration* I2CWindow = nullptr;
    void CreateBoardToolWindows();
    void DestroyBoardToolWindows();
    // One connection attempt without starting acquisition, for a window that needs a board.
    void ConnectForToolWindow();
    // The proxy and frame rate read from the board, into the set-up window; the kind to the I2C window.
    void ShowBoardConfigurationInSetupWindow(int p_iProxyListPosition, int p_iProxyRow, int p_iFrameRate);

    // ----- Bad-pixel offset window (mainwindow/bp_offset_window.cpp) ------------------
    // Created once by the constructor, kept to the end of the program.
    OffsetBP_Widget* BPOffsetWindow = nullptr;
    void CreateBPOffsetWindow();
    void DestroyBPOffsetWindow();

    // ----- Connection state (board/) ---------------------------------------------------
    // The Belmor proxy selector, made by the constructor (CreateConnectionWindows).
    MW_ProxyBelmor* ProxySelector = nullptr;
    // The device chosen in the GigE device finder; null when none.
    const PvDeviceInfo*& GigEDeviceInfo = GigEState.DeviceInfo;
    // The UTF-8 proxy name with its terminator, cut to p_uBufferSize bytes
    // (at a character boundary) when longer; the one-argument form takes 50.
    void GetProxyName(char* p_szBuffer, size_t p_uBufferSize = 50);
    void CreateConnectionWindows();
    void ReleaseGigEConnection();
    void ConnectConnectionControls();

    // ----- Main-window controls by name (mainwindow/main_controls.cpp) ----------------
    // Each call acts on the named control as the same call on its widget or
    // action would, the control's own signals and slots included; a call the
    // control does not take is refused with a warning.
    void SetControlEnabled(MainControl p_Control, bool p_bEnabled);
    void SetControlChecked(MainControl p_Control, bool p_bChecked);
    bool ControlChecked(MainControl p_Control) const;
    bool ControlVisible(MainControl p_Control) const;
    // A button's click or an action's trigger.
    void ClickControl(MainControl p_Control);
    // A spin box's or slider's value, a combo box's index.
    int ControlValue(MainControl p_Control) const;
    void SetControlValue(MainControl p_Control, int p_iValue);
    // The same with the control's signals held back: its slots do not run.
    void SetControlValueQuietly(MainControl p_Control, int p_iValue);
    int ControlMinimum(MainControl p_Control) const;
    void SetControlRange(MainControl p_Control, int p_iMinimum, int p_iMaximum);
    // The TINT slider's and spin box's bounds and step.
    void ShowTintRange(int p_iMinimum, int p_iMaximum, int p_iSingleStep);
    // A label's text or a button's caption; a combo box's current text.
    QString ControlText(MainControl p_Control) const;
    void SetControlText(MainControl p_Control, const QString& p_sText);
    // Empties a label.
    void ClearControlText(MainControl p_Control);
    void SetControlIcon(MainControl p_Control, const QIcon& p_Icon);
    void SetControlCheckable(MainControl p_Control, bool p_bCheckable);
    // Takes the control's tint (style sheet) off.
    void ClearControlTint(MainControl p_Control);
    QSize ControlSize(MainControl p_Control) const;
    void SetControlMinimumSize(MainControl p_Control, int p_iWidth, int p_iHeight);

protected:
    void closeEvent(QCloseEvent* p_pEvent) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void ApplyScreenSetup();
    void ApplyInitialControlStates();
    void ReadBootFileAndSelectBoard();
    void CreateFolder(const QString& p_sRelative, char* p_szBuffer, const char* p_szLogLine);

    // Steps of the proxy set-up and the board-kind rules.
    void ApplyClockDividerControls();
    void ApplyCustomFrameRateToDacs();
    void ApplyCustomFrameRateToDivider();
    void ApplyBoardKindRules(BoardKind p_Kind);
    // Shows p_uValue in spinBox_CKDIV; an undefined cell (65535) leaves it and is logged.
    bool SetClockDividerControl(uint32_t p_uValue, const char* p_szWhat);
    void SetGskDac(uint32_t p_uChannel, uint32_t p_uGsk, bool p_bWriteCells);
    // The four advanced-user controls and their cells.
    void LockAdvancedControls();
    void UnlockAdvancedControls();
    // Key S and F1/F4, shared by keyPressEvent and eventFilter.
    void HandleShutterKey();
    void HandleDebugKey();
    // Where the miniature's cross goes: the view, the miniature and the running acquisition.
    MiniatureCrossGeometry miniatureCrossGeometry() const;
};
