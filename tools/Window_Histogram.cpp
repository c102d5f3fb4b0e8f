// The advanced histogram window: its controls, the calculation pass, the tracking line and the exports.
#include "tools/Window_Histogram.h"
#include "ui_Window_Histogram.h"

#include "app/app_paths.h"
#include "app/file_dialog.h"
#include "app/header_constants.h"
#include "app/message_boxes.h"
#include "pipeline/advanced_histogram.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <iostream>

using namespace AdvancedHistogram;

namespace {

const QString FileCaption = QStringLiteral("Histogram file");
const QString UnusableFileText =
    QStringLiteral("The histogram file gives can't be used. Please try again with an other file.");

const cv::Scalar& CurveColourOf(int p_iChannel)
{
    static const cv::Scalar colours[3] = {RedCurveColour, GreenCurveColour, BlueCurveColour};
    return colours[std::clamp(p_iChannel, 0, 2)];
}

const cv::Scalar& FillColourOf(int p_iChannel)
{
    static const cv::Scalar colours[3] = {RedFillColour, GreenFillColour, BlueFillColour};
    return colours[std::clamp(p_iChannel, 0, 2)];
}

// A picture over a four-component plot's pixels, no copy.
QImage RgbaView(const cv::Mat& p_Plot)
{
    return QImage(p_Plot.data, p_Plot.cols, p_Plot.rows, static_cast<int>(p_Plot.step), QImage::Format_RGBA8888);
}

} // namespace

Window_Histogram::Window_Histogram(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::Window_Histogram)
{
    ui->setupUi(this);

    RgbPlot = cv::Mat(PlotHeight, PlotWidth, CV_8UC4, cv::Scalar(200, 200, 200, 255));
    GreyPlot = cv::Mat(PlotHeight, PlotWidth, CV_8UC4, cv::Scalar(200, 200, 200, 255));
    BackgroundImage = cv::Mat(BackgroundHeight, BackgroundWidth, CV_8UC3, cv::Scalar(200, 200, 200));

    FilterStep = 1;
    FilterEnabled = false;
    ui->spinBox_FilterStep->setEnabled(false);

    connect(ui->checkBox_FilterEnable, &QCheckBox::released, this, &Window_Histogram::CheckBox_FilterEnabled);
    connect(ui->spinBox_FilterStep, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &Window_Histogram::SpinBox_FilterStep_ValueChanged);
    connect(ui->checkBox_RGBHisto, &QCheckBox::released, this, &Window_Histogram::CheckBox_RGBHistogram);
    connect(ui->checkBox_TrackingLine, &QCheckBox::released, this, &Window_Histogram::CheckBox_DisableTrackingLine);
    connect(ui->pushButton_SavePNG, &QPushButton::released, this, &Window_Histogram::PushButton_SaveHistogramPNG);
    connect(ui->pushButton_SaveCSV, &QPushButton::released, this, &Window_Histogram::PushButton_SaveHistogramCSV);

    setPlotBackground();
    setMouseTracking(true);
}

Window_Histogram::~Window_Histogram()
{
    delete ui;
}

void Window_Histogram::disposeWhenIdle()
{
    // A calculation can be waiting in a save dialog: deleting the window under
    // it would leave the pass running on a destroyed object.
    if (Calculating)
        m_bDisposeWhenIdle = true;
    else
        deleteLater();
}

// ---------------------------------------------------------------------------
// Calculation

void Window_Histogram::calculateHistogram(cv::Mat p_cvMatImage, cv::Mat p_cvMatImageRGB)
{
    Calculating = true;
    PlotImage = RgbMode ? drawRgbHistogram(p_cvMatImageRGB, PlotImage) : drawGreyHistogram(p_cvMatImage, PlotImage);
    ui->label->setPixmap(QPixmap::fromImage(PlotImage));
    ui->label->setScaledContents(true);
    Calculating = false;
    if (m_bDisposeWhenIdle)
        deleteLater();
}

QImage Window_Histogram::drawGreyHistogram(cv::Mat p_Image, QImage)
{
    const int step = FilterStep;
    const GreyPass pass = ComputeGreyPass(p_Image, step, FilterEnabled);
    ui->label_BlackSaturated->setText(pass.BlackText);
    ui->label_WhiteSaturated->setText(pass.WhiteText);
    GreyHistogram = pass.Histogram;
    ui->label_ValueMax->setText(pass.PeakText);
    GreyHistogramScaled = pass.Scaled;

    GreyPlot.setTo(PlotBackgroundColour);
    DrawCurve(GreyPlot, GreyHistogramScaled, step, GreyCurveColour, GreyFillColour, true);

    if (SavePngRequested)
        saveHistogramPng();
    if (SaveCsvRequested)
        saveHistogramCsvGrey(GreyHistogram);

    GreyPlot.copyTo(GreyPlotShown);
    if (TrackingLineEnabled)
        DrawTrackingLine(GreyPlotShown, TrackingX, 2);
    updateTrackingReadout();
    return RgbaView(GreyPlotShown);
}

QImage Window_Histogram::drawRgbHistogram(cv::Mat p_Image, QImage)
{
    const int step = FilterStep;
    RgbPlot.setTo(PlotBackgroundColour);
    const RgbPass pass = ComputeRgbPass(p_Image, step, FilterEnabled);
    ui->label_BlackSaturated->setText(pass.BlackText);
    ui->label_WhiteSaturated->setText(pass.WhiteText);
    RedHistogram = pass.Red;
    GreenHistogram = pass.Green;
    BlueHistogram = pass.Blue;
    ui->label_ValueMax->setText(pass.PeakText);
    RedHistogramScaled = pass.RedScaled;
    GreenHistogramScaled = pass.GreenScaled;
    BlueHistogramScaled = pass.BlueScaled;

    const cv::Mat scaled[3] = {RedHistogramScaled, GreenHistogramScaled, BlueHistogramScaled};
    for (int channel : ChannelDrawingOrder(ui->comboBox_setFront->currentIndex()))
        RgbPlot = drawChannelCurve(RgbPlot, scaled[channel], step, channel);

    if (SavePngRequested)
        saveHistogramPng();
    if (SaveCsvRequested)
        saveHistogramCsvRgb(RedHistogram, GreenHistogram, BlueHistogram);

    RgbPlot.copyTo(RgbPlotShown);
    if (TrackingLineEnabled)
        DrawTrackingLine(RgbPlotShown, TrackingX, 1);
    updateTrackingReadout();
    return RgbaView(RgbPlotShown);
}

cv::Mat Window_Histogram::drawChannelCurve(cv::Mat p_Plot, cv::Mat p_Scaled, int p_iStep, int p_iChannel)
{
    DrawCurve(p_Plot, p_Scaled, p_iStep, CurveColourOf(p_iChannel), FillColourOf(p_iChannel), false);
    return p_Plot;
}

// ---------------------------------------------------------------------------
// Controls

void Window_Histogram::Enable_RGBHistogram_Option(bool p_bEnable)
{
    RgbMode = false;
    ui->checkBox_RGBHisto->setChecked(false);
    ui->checkBox_RGBHisto->setEnabled(p_bEnable);
    ui->comboBox_setFront->setEnabled(p_bEnable);
}

void Window_Histogram::CheckBox_FilterEnabled()
{
    FilterEnabled = ui->checkBox_FilterEnable->isChecked();
    if (!FilterEnabled) {
        ui->spinBox_FilterStep->setEnabled(false);
        FilterStep = 1;
    } else {
        ui->spinBox_FilterStep->setEnabled(true);
        FilterStep = ui->spinBox_FilterStep->value();
    }
}

void Window_Histogram::SpinBox_FilterStep_ValueChanged(int p_iValue)
{
    FilterStep = p_iValue;
    std::cout << "Filter Step = " << p_iValue << std::endl;
}

void Window_Histogram::CheckBox_RGBHistogram()
{
    RgbMode = ui->checkBox_RGBHisto->isChecked();
}

void Window_Histogram::CheckBox_DisableTrackingLine()
{
    TrackingLineEnabled = !ui->checkBox_TrackingLine->isChecked();
    if (TrackingLineEnabled) {
        setTrackingLinePosition();
        updateTrackingReadout();
    } else {
        showPlot((RgbMode ? RgbPlot : GreyPlot).clone());
    }
}

void Window_Histogram::PushButton_SaveHistogramPNG()
{
    SavePngRequested = true;
}

void Window_Histogram::PushButton_SaveHistogramCSV()
{
    SaveCsvRequested = true;
}

// ---------------------------------------------------------------------------
// Background, tracking line and readout

void Window_Histogram::setPlotBackground()
{
    const QString file = ApplicationDirPath() + HeaderConstants::BackgroundsFolder +
                         HeaderConstants::AdvancedHistogramBackground;
    DrawGrid(BackgroundImage);
    PlotImage = QImage(BackgroundImage.data, BackgroundImage.cols, BackgroundImage.rows,
                       static_cast<int>(BackgroundImage.step), QImage::Format_RGB888);
    if (!QFileInfo::exists(file)) {
        try {
            cv::imwrite(QFile::encodeName(file).toStdString(), BackgroundImage);
        } catch (const cv::Exception&) {
            // Without the file the plot label has no background picture.
        }
    }
    ui->label->setStyleSheet(QStringLiteral("QLabel { background-image: url(") + file + QStringLiteral("); }"));
    ui->label->setAutoFillBackground(true);
}

void Window_Histogram::showPlot(const cv::Mat& p_Plot)
{
    // fromImage copies the pixels: the matrix may go once this returns.
    ui->label->setPixmap(QPixmap::fromImage(RgbaView(p_Plot)));
}

void Window_Histogram::setTrackingLinePosition()
{
    cv::Mat copy = (RgbMode ? RgbPlot : GreyPlot).clone();
    DrawTrackingLine(copy, TrackingX, 2);
    showPlot(copy);
}

void Window_Histogram::updateTrackingReadout()
{
    const int bin = TrackingX / BinWidth;
    ui->label_PixValue->setText(QStringLiteral("Value Pixel: ") + QString::number(bin));
    // Before the mode's first calculation there are no counts to show.
    ui->label_Values_XCoord->setText(RgbMode ? RgbReadout(RedHistogram, GreenHistogram, BlueHistogram, bin)
                                             : GreyReadout(GreyHistogram, bin));
}

void Window_Histogram::trackMouse(QMouseEvent* p_pEvent)
{
    TrackingX = std::clamp(p_pEvent->pos().x() - ui->label->x(), 0, BinWidth * 256 - 1);
}

void Window_Histogram::mousePressEvent(QMouseEvent* p_pEvent)
{
    MousePressed = true;
    trackMouse(p_pEvent);
    if (TrackingLineEnabled) {
        setTrackingLinePosition();
        updateTrackingReadout();
    }
}

void Window_Histogram::mouseReleaseEvent(QMouseEvent* p_pEvent)
{
    MousePressed = false;
    trackMouse(p_pEvent);
    if (TrackingLineEnabled) {
        setTrackingLinePosition();
        updateTrackingReadout();
    }
}

void Window_Histogram::mouseMoveEvent(QMouseEvent* p_pEvent)
{
    if (!MousePressed || !TrackingLineEnabled)
        return;
    trackMouse(p_pEvent);
    setTrackingLinePosition();
    updateTrackingReadout();
}

void Window_Histogram::closeEvent(QCloseEvent* p_pEvent)
{
    emit CloseWindow();
    p_pEvent->accept();
}

// ---------------------------------------------------------------------------
// Exports

QString Window_Histogram::chooseFile(QWidget* p_pParent, const QString& p_sFilter, const QString& p_sSuffix)
{
    if (m_Chooser)
        return m_Chooser(p_pParent, FileCaption, p_sFilter);
    FileDialogRequest request;
    request.Parent = p_pParent;
    request.Caption = FileCaption;
    request.Filter = p_sFilter;
    request.DefaultSuffix = p_sSuffix;
    request.Save = true;
    return ChooseFile(request);
}

void Window_Histogram::reportUnusableFile()
{
    PresentMessageBox({this, QMessageBox::Critical, FileCaption, UnusableFileText, {QStringLiteral("OK")}});
}

bool Window_Histogram::writeCsv(const QByteArray& p_Text)
{
    const QString name = chooseFile(this, QStringLiteral("CSV file (*.csv)"), QStringLiteral("csv"));
    if (name.isEmpty())
        return false;
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        reportUnusableFile();
        return false;
    }
    // A short write (a full disk) is reported as well, not left as a cut file.
    const bool written = file.write(p_Text) == p_Text.size() && file.flush();
    file.close();
    if (!written) {
        reportUnusableFile();
        return false;
    }
    return true;
}

void Window_Histogram::saveHistogramCsvGrey(cv::Mat p_Histogram)
{
    writeCsv(GreyCsvText(p_Histogram));
    SaveCsvRequested = false;
}

void Window_Histogram::saveHistogramCsvRgb(cv::Mat p_Red, cv::Mat p_Green, cv::Mat p_Blue)
{
    writeCsv(RgbCsvText(p_Red, p_Green, p_Blue));
    SaveCsvRequested = false;
}

void Window_Histogram::saveHistogramPng()
{
    const QString name = chooseFile(nullptr, QStringLiteral("PNG file (*.png)"), QStringLiteral("png"));
    if (name.isEmpty()) {
        SavePngRequested = false;
        return;
    }
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        reportUnusableFile();
        SavePngRequested = false;
        return;
    }
    file.close();
    // The picture the label shows now: the previous calculation's plot, or
    // what a tracking-line movement put there since.
    const QPixmap picture = ui->label->pixmap(Qt::ReturnByValue);
    if (picture.isNull() || !picture.save(name, "PNG")) {
        // No empty file is left behind under a picture's name.
        QFile::remove(name);
        reportUnusableFile();
    }
    SavePngRequested = false;
}
