// MainWindow: the push buttons of the left column (datasheet, gain/offset reset, save-all-frames, saved-images folder), the "Set parameters" tint, the default parameters, and the wiring of these controls.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/widget_style.h"
#include "app/digiboard_kind.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "board/links/board_traits.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <cstdio>

namespace {

int Flag(const QCheckBox* p_pBox)
{
    return p_pBox->isChecked() ? 1 : 0;
}

} // namespace

void MainWindow::PushButton_OpenDatasheetProxy()
{
    Log->writeLine("Open Datasheet using button");
    const QString sFolder = ApplicationDir + QStringLiteral("/../Datasheets/");
    // The first file whose name starts with the proxy's, in name order.
    const QStringList found = QDir(sFolder).entryList({ProxyName + "*"}, QDir::Files, QDir::Name);
    if (ProxyName.isEmpty() || found.isEmpty()) {
        std::printf("FindFirstFile failed (2)\n");
        std::fflush(stdout);
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Error"),
                           "No Proxy " + ProxyName + " datasheet found.", {QStringLiteral("OK")}});
        return;
    }
    std::printf("The first file found is %s\n", found.first().toLocal8Bit().constData());
    std::fflush(stdout);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(sFolder).absoluteFilePath(found.first()))))
        PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Error"),
                           QStringLiteral("Impossible to open the datasheet"), {QStringLiteral("OK")}});
}

void MainWindow::pushButton_Open_SavedImages_Folder()
{
    const QString sPath = ApplicationDir + QStringLiteral("/../SavedImages/") + ProxyName;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::cleanPath(sPath))))
        Log->writeLine("Open SavedImages folder: " + sPath);
    else
        Log->writeLine("Failed opening SavedImages folder: " + sPath);
}

void MainWindow::PushButton_ResetGainOffset()
{
    if (ui->checkBox_AGC->isChecked())
        ui->checkBox_AGC->setChecked(false);
    ui->spinBox_ImageGain->setValue(1);
    ui->spinBox_ImageOffset->setValue(0);
}

void MainWindow::PushButton_SaveAllFrames()
{
    if (!SaveAllFramesRunning) {
        SaveAllFramesRunning = true;
        ui->pushButton_SaveAllFrames->setText(QStringLiteral("Stop"));
        Log->writeLine("Save all frames : ON");
        return;
    }
    SaveAllFramesRunning = false;
    const int iFrames = NumberFrames;
    if (SaveAllFramesBmp) {
        ui->actionSaveAllFrames->setText(QStringLiteral("Save all frames in RAW"));
        ui->pushButton_SaveAllFrames->setText(iFrames > 0 ? "Save " + QString::number(iFrames) + " frames in BMP"
                                                          : QStringLiteral("Save all frames BMP"));
    } else if (SaveAllFramesRaw) {
        ui->actionSaveAllFrames->setText(QStringLiteral("Save all frames in BMP"));
        ui->pushButton_SaveAllFrames->setText(iFrames > 0 ? "Save " + QString::number(iFrames) + " frames in RAW"
                                                          : QStringLiteral("Save all frames RAW"));
    }
    Log->writeLine("Save all frames : OFF");
}

void MainWindow::PushButton_SetParameter_Color()
{
    // Widget, then its place among the values last sent.
    const std::pair<int, int> compared[] = {
        {ui->spinBox_TINT->value(), 0},   {ui->spinBox_DAC_A->value(), 1}, {ui->spinBox_DAC_B->value(), 2},
        {ui->spinBox_DAC_C->value(), 3},  {ui->spinBox_DAC_D->value(), 4}, {Flag(ui->checkBox_UpCol), 13},
        {Flag(ui->checkBox_UpRow), 14},   {Flag(ui->checkBox_Gain0), 15},  {Flag(ui->checkBox_Gain1), 16},
        {Flag(ui->checkBox_Gain2), 17},   {Flag(ui->checkBox_SizeA), 18},  {Flag(ui->checkBox_SizeB), 19},
        {ui->spinBox_CKDIV->value(), 20}, {Flag(ui->checkBox_OAdj0), 5},   {Flag(ui->checkBox_OAdj1), 6},
        {Flag(ui->checkBox_OAdj2), 7},    {Flag(ui->checkBox_MAdj0), 8},   {Flag(ui->checkBox_MAdj1), 9},
        {Flag(ui->checkBox_MAdj2), 10},   {Flag(ui->checkBox_Ref0), 11},   {Flag(ui->checkBox_Ref1), 12},
    };
    bool bChanged = false;
    for (const auto& c : compared)
        bChanged = bChanged || c.first != LastSentParameters[c.second];
    SetStyleSheetIfChanged(ui->pushButton_SetParameters, bChanged ? HeaderConstants::ButtonHighlightStyle : QString());
}

void MainWindow::PushButton_SetDefaultParameter()
{
    using namespace ProxyParameterId;
    Log->writeLine("Reset all parameters");
    const int p = CurrentProxyIndex;
    for (int iCell : {int(TINT), int(DAC_A), int(DAC_B), int(DAC_C), int(DAC_D), int(Gain2), int(Gain1), int(Gain0),
                      int(SizeA), int(SizeB), int(DACFilter), int(CKDIV)})
        SetCurrent(p, iCell, GetDefault(p, iCell));
    const bool bAltFlips = BoardTraitsOf(DigiBoardKind.load()).DefaultButtonUsesAltFlips;
    SetCurrent(p, UpCol, GetDefault(p, bAltFlips ? int(UpColAltDefault) : int(UpCol)));
    SetCurrent(p, UpRow, GetDefault(p, bAltFlips ? int(UpRowAltDefault) : int(UpRow)));
    ui->checkBox_UpCol->setChecked(GetCurrent(p, UpCol) != 0);
    ui->checkBox_UpRow->setChecked(GetCurrent(p, UpRow) != 0);

    ui->spinBox_TINT->setValue(int(GetCurrent(p, TINT)));
    ui->spinBox_DAC_A->setValue(int(GetCurrent(p, DAC_A)));
    ui->spinBox_DAC_B->setValue(int(GetCurrent(p, DAC_B)));
    ui->spinBox_DAC_C->setValue(int(GetCurrent(p, DAC_C)));
    ui->spinBox_DAC_D->setValue(int(GetCurrent(p, DAC_D)));
    ui->spinBox_CKDIV->setValue(int(GetCurrent(p, CKDIV)));

    ui->checkBox_Gain2->setChecked(GetCurrent(p, Gain2) != 0);
    ui->checkBox_Gain1->setChecked(GetCurrent(p, Gain1) != 0);
    ui->checkBox_Gain0->setChecked(GetCurrent(p, Gain0) != 0);
    ui->checkBox_SizeA->setChecked(GetCurrent(p, SizeA) != 0);
    ui->checkBox_SizeB->setChecked(GetCurrent(p, SizeB) != 0);
    ui->checkBox_DACFilter->setChecked(GetCurrent(p, DACFilter) != 0);

    SetStyleSheetIfChanged(ui->pushButton_SetParameters, HeaderConstants::ButtonHighlightStyle);
}

void MainWindow::ConnectControlSlots()
{
    const auto unique = Qt::UniqueConnection;
    // Check boxes.
    // The "Set parameters" tint first: a size preset's own slot then runs with the tint already set.
    for (QCheckBox* pBox : {ui->checkBox_UpCol, ui->checkBox_UpRow, ui->checkBox_SizeA, ui->checkBox_SizeB,
                            ui->checkBox_Gain0, ui->checkBox_Gain1, ui->checkBox_Gain2})
        connect(pBox, &QCheckBox::stateChanged, this, &MainWindow::PushButton_SetParameter_Color, unique);
    connect(ui->checkBox_SizeA, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_SizeA, unique);
    connect(ui->checkBox_SizeB, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_SizeB, unique);
    connect(ui->checkBox_2Tap, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_2Tap, unique);
    connect(ui->checkBox_AGC, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_AGC, unique);
    connect(ui->checkBox_GMS, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_GMS, unique);
    connect(ui->checkBox_HDR, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_HDR, unique);
    connect(ui->checkBox_InvertBW, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_InvertBW, unique);
    connect(ui->checkBox_ApplyNUC, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_ApplyFPN, unique);
    connect(ui->checkBox_Enable_AverageFPN, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_AverageFPN, unique);
    connect(ui->checkBox_Enable_NUC2pt, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_NUC2Pt, unique);
    // Spin boxes.
    connect(ui->spinBox_Number_Images_AverageFPN, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &MainWindow::SpinBox_AverageFPN, unique);
    connect(ui->spinBox_Gamma, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &MainWindow::SpinBox_Gamma,
            unique);
    // Push buttons and the reset action.
    connect(ui->pushButton_SaveConfiguration, &QPushButton::released, this, &MainWindow::PushButton_SaveConfiguraton,
            unique);
    connect(ui->pushButton_LoadConfiguration, &QPushButton::released, this, &MainWindow::PushButton_LoadConfiguraton,
            unique);
    connect(ui->pushButton_ChangeCalibFile, &QPushButton::released, this, &MainWindow::PushButton_ChangeCalibFile,
            unique);
    connect(ui->pushButton_Reset_Gain_Offset, &QPushButton::released, this, &MainWindow::PushButton_ResetGainOffset,
            unique);
    connect(ui->pushButton_Open_ProxyDatasheet, &QPushButton::released, this,
            &MainWindow::PushButton_OpenDatasheetProxy, unique);
    connect(ui->pushButton_SaveAllFrames, &QPushButton::clicked, this, &MainWindow::PushButton_SaveAllFrames, unique);
    connect(ui->pushButton_Open_SavedImages_Folder, &QPushButton::clicked, this,
            &MainWindow::pushButton_Open_SavedImages_Folder, unique);
    connect(ui->action_ResetParameters, &QAction::triggered, this, &MainWindow::PushButton_SetDefaultParameter,
            unique);
    // The "Set parameters" tint follows every compared spin box.
    for (QSpinBox* pBox : {ui->spinBox_TINT, ui->spinBox_DAC_A, ui->spinBox_DAC_B, ui->spinBox_DAC_C, ui->spinBox_DAC_D,
                           ui->spinBox_CKDIV})
        connect(pBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &MainWindow::PushButton_SetParameter_Color,
                unique);
}
