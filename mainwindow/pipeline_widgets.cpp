// The main window's form around the image pipeline: the views and outputs placed in it, and the few widgets the pipeline reads or sets.
#include "mainwindow/MainWindow.h"
#include "ui_MainWindow.h"

#include "pipeline/affichage.h"
#include "pipeline/display_preparation.h"
#include "pipeline/image_miniature.h"
#include "pipeline/kv_histogram.h"
#include "pipeline/kv_video_recorder.h"
#include "pipeline/pipeline_state.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// ---------------------------------------------------------------------------
// Construction

void MainWindow::CreateImageViews()
{
    Pipeline = new PipelineState(&FPNRequest, this);

    ImageView = new Affichage(this);
    ImageView->setGeometry(ui->scrollArea->x(), ui->scrollArea->y(), ui->scrollArea->width() - 20,
                           ui->scrollArea->height() - 20);
    ImageView->setAlignment(Qt::AlignCenter);
    ImageView->setMouseTracking(true);
    ui->scrollArea->setStyleSheet(QStringLiteral("background: rgb(230,246,255)"));
    ui->scrollArea->setWidget(ImageView);
    ImageView->setLog(Log);
    // The view redraws from the GUI-side copies renewed by the display slot,
    // never from the images the acquisition thread is writing.
    AffichageImageSource source;
    source.FrameCounter = [this] { return FrameCounter.load(); };
    source.DisplayScaled = [this] { return MatScaledCopy; };
    source.Display8b = [this] { return MatDisplayGrey; };
    source.LutActive = [this] { return LutActive.load(); };
    source.Colorize = [this](const cv::Mat& p_Image) { return ApplyColorLUT(p_Image); };
    ImageView->setImageSource(source);
    connect(ImageView, &Affichage::DisableInterpolation, this,
            [this] { ui->comboBox_InterpolationMethod->setEnabled(false); });
    connect(ImageView, &Affichage::EnableInterpolation, this,
            [this] { ui->comboBox_InterpolationMethod->setEnabled(true); });
    connect(ImageView, &Affichage::ButtonZoomM_Enabled, ui->pushButton_ZoomM, &QWidget::setEnabled);
    connect(ImageView, &Affichage::ButtonZoomP_Enabled, ui->pushButton_ZoomP, &QWidget::setEnabled);
    connect(ui->pushButton_ZoomM, &QPushButton::clicked, ImageView, &Affichage::zoomMinus);
    connect(ui->pushButton_ZoomP, &QPushButton::clicked, ImageView, &Affichage::zoomPlus);

    Miniature = new ImageMiniature(this);
    Miniature->setGeometry(ui->scrollArea->x(), ui->scrollArea->y(), int(Miniature->miniWidth),
                           int(Miniature->miniHeight));
    Miniature->setAlignment(Qt::AlignCenter);
    Miniature->setMouseTracking(true);
    ui->label_Miniature->setWidget(Miniature);

    // Queued from the acquisition threads, direct on the GUI thread (serial-port board).
    connect(this, &MainWindow::ImageReadyToDisplay, this, &MainWindow::UpdateImageDisplayed);
    connect(ui->pushButton_Take_FPN_Reference, &QPushButton::clicked, this, &MainWindow::PushButton_TakeFPNRef);
    connect(Timers.Miniature, &QTimer::timeout, this, &MainWindow::TimeOutUpdateImgMiniature);
    connect(Timers.AGC, &QTimer::timeout, this, &MainWindow::AGC_processing);

    Pipeline->mirrorCheckBox(ui->checkBox_ApplyNUC, Pipeline->ApplyNUCChecked);
    Pipeline->mirrorCheckBox(ui->checkBox_Enable_NUC2pt, Pipeline->NUC2ptChecked);
    Pipeline->mirrorCheckBox(ui->checkBox_Gamma, Pipeline->GammaChecked);
    Pipeline->mirrorCheckBox(ui->checkBox_AGC, Pipeline->AGCChecked);
    Pipeline->mirrorCheckBox(ui->checkBox_SaveAllDisplayedImageRAW, Pipeline->SaveAllDisplayedRawChecked);
    Pipeline->mirrorCheckBox(ui->checkBox_Enable_AverageFPN, AverageFPN);
    Pipeline->mirrorSize(ui->scrollArea);
    FPNAverageCount = ui->spinBox_Number_Images_AverageFPN->value();
    connect(ui->spinBox_Number_Images_AverageFPN, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this](int p_iValue) { FPNAverageCount = p_iValue; });
    Gamma = ui->spinBox_Gamma->value(); // then followed by SpinBox_Gamma
}

void MainWindow::CreateImageOutputs()
{
    VideoRecorder = new KV_VideoRecorder;

    Histogram = new KV_Histogram(this);
    Histogram->setGeometry(ui->scrollAreaWidget_Histo->x(), ui->scrollAreaWidget_Histo->y(),
                           Histogram->getWidgetWidth(), Histogram->getWidgetHeight());
    Histogram->setAlignment(Qt::AlignCenter);
    ui->label_Histogram->setWidget(Histogram);

    connect(Timers.RecordingBlink, &QTimer::timeout, this, &MainWindow::TimeOutREC);
    connect(Timers.Histogram, &QTimer::timeout, this, &MainWindow::CalculHistogram);
    connect(Timers.SaveStream, &QTimer::timeout, this, &MainWindow::TimeOutSaveStream);

    connect(ui->checkBox_SaveStream, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_Savestream);
    connect(ui->pushButton_SelectVideoPath, &QPushButton::released, this, &MainWindow::PushButton_SelectVideoFolder);
    connect(ui->pushButton_RecordVideo, &QPushButton::released, this, &MainWindow::PushButton_RecordVideo);
    connect(ui->pushButton_Take_Snapshot, &QPushButton::clicked, this, &MainWindow::PushButton_Snapshot);
    connect(ui->pushButton_SaveImage_Configuration, &QPushButton::released, this, &MainWindow::ActionSetupSavingFiles);
    connect(ui->action_SaveImages_Configuration, &QAction::triggered, this, &MainWindow::ActionSetupSavingFiles);

    for (QObject* pSource : {static_cast<QObject*>(VideoRecorder), static_cast<QObject*>(Histogram)}) {
        connect(pSource, SIGNAL(errorHappend(QString, QString)), this, SLOT(MessageBoxCritical(QString, QString)));
        connect(pSource, SIGNAL(informationHappend(QString, QString)), this,
                SLOT(MessageBoxInformation(QString, QString)));
        connect(pSource, SIGNAL(warningHappend(QString, QString)), this, SLOT(MessageBoxWarning(QString, QString)));
    }

    connect(VideoRecorder, &KV_VideoRecorder::startRecord, this, &MainWindow::startTimerREC);
    connect(VideoRecorder, &KV_VideoRecorder::stopRecord, this, &MainWindow::stopTimerREC);
    connect(ui->checkBox_LaunchVideoAfterRecord, &QCheckBox::stateChanged, VideoRecorder,
            &KV_VideoRecorder::setLaunchVideoAutomatically);
    connect(ui->lineEdit_FileNameVideo, &QLineEdit::textChanged, VideoRecorder, &KV_VideoRecorder::setFileName);
    connect(this, &MainWindow::saveImageToVideo, VideoRecorder, &KV_VideoRecorder::AddImageToVideo);

    connect(Histogram, &KV_Histogram::updateNbPixelMaxHisto, this, &MainWindow::setLabel_Histogram_NbPixelMaxValue);
    connect(this, &MainWindow::UpdateHistogram, Histogram, &KV_Histogram::calculateHistogram);
    connect(ui->pushButton_SaveHistogramCSV, &QPushButton::pressed, Histogram, &KV_Histogram::setSaveHistogramCSV);
    connect(ui->pushButton_SaveHistogramBMP, &QPushButton::pressed, Histogram, &KV_Histogram::setSaveHistogramBMP);
}

// ---------------------------------------------------------------------------
// Widgets the pipeline reads or sets (GUI thread)

void MainWindow::SetFpnReferenceButtonEnabled(bool p_bEnabled)
{
    ui->pushButton_Take_FPN_Reference->setEnabled(p_bEnabled);
}

void MainWindow::EnableNuc2ptBox()
{
    ui->checkBox_Enable_NUC2pt->setEnabled(true);
}

void MainWindow::EnableApplyNucBox()
{
    ui->checkBox_ApplyNUC->setEnabled(true);
}

void MainWindow::TickApplyNucBox()
{
    ui->checkBox_ApplyNUC->setChecked(true);
}

QSize MainWindow::ImageAreaSize() const
{
    return ui->scrollArea->size();
}

QSize MainWindow::ResetImageAreaMinimumSize()
{
    ui->scrollArea->setMinimumHeight(775);
    ui->scrollArea->setMinimumWidth(1030);
    return ui->scrollArea->size();
}

void MainWindow::ShowPixelReadout(const PixelReadout& p_Readout)
{
    ui->label_X_Pos_Val->setText(QString::number(p_Readout.X));
    ui->label_Y_Pos_Val->setText(QString::number(p_Readout.Y));
    ui->label_PixValue_Val->setText(QString::number(p_Readout.Value));
}

void MainWindow::ShowNoPixelReadout()
{
    ui->label_X_Pos_Val->setText(QStringLiteral("---"));
    ui->label_Y_Pos_Val->setText(QStringLiteral("---"));
    ui->label_PixValue_Val->setText(QStringLiteral("---"));
}

int MainWindow::BayerModeIndex() const
{
    return ui->comboBox_BayerMode->currentIndex();
}

void MainWindow::StepImageOffset(int p_iStep)
{
    ui->spinBox_ImageOffset->setValue(ui->spinBox_ImageOffset->value() + p_iStep);
}

void MainWindow::StepImageGain(int p_iStep)
{
    ui->spinBox_ImageGain->setValue(ui->spinBox_ImageGain->value() + p_iStep);
}

int MainWindow::AgcCentreSetting() const
{
    return ui->spinBox_AGC_Centre->value();
}

int MainWindow::AgcGainClipSetting() const
{
    return ui->spinBox_AGC_GainClip->value();
}

void MainWindow::ShowAgcGainAndOffset(int p_iGain, int p_iOffset)
{
    ui->horizontalSlider_ImageGain->setValue(p_iGain);
    ui->horizontalSlider_ImageOffset->setValue(p_iOffset);
    ui->spinBox_ImageOffset->setValue(p_iOffset);
}

void MainWindow::UntickSaveStream()
{
    ui->checkBox_SaveStream->setChecked(false);
}

void MainWindow::ShowRecIcon(const QPixmap& p_Icon)
{
    ui->label_REC_Img->setPixmap(p_Icon);
}
