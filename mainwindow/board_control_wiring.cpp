// The wiring of the main form's board controls to the board glue's slots: the main button, "Set parameters", the image gain and offset.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

void MainWindow::ConnectConnectionControls()
{
    // On every release the stop request comes first, the state machine second.
    connect(ui->pushButton_Start, &QPushButton::released, this, &MainWindow::PushButton_Start_When_Connecting);
    connect(ui->pushButton_Start, &QPushButton::released, this, &MainWindow::PushButton_Start);
    connect(ui->checkBox_WindowingEnabled, &QCheckBox::stateChanged, this, &MainWindow::CheckBox_WindowingEnabled);
    connect(ui->pushButton_SetParameters, &QPushButton::released, this, &MainWindow::PushButton_SetModuleParameters);
}

void MainWindow::ConnectGainOffsetRefresh()
{
    // Unique connections: the constructor wires these once, and calling it
    // again (tests do) must not send each change twice.
    const auto unique = Qt::UniqueConnection;
    connect(ui->horizontalSlider_ImageGain, &QSlider::valueChanged, ui->spinBox_ImageGain, &QSpinBox::setValue, unique);
    connect(ui->horizontalSlider_ImageGain, &QSlider::valueChanged, this, &MainWindow::SliderGainModified, unique);
    connect(ui->horizontalSlider_ImageOffset, &QSlider::valueChanged, ui->spinBox_ImageOffset, &QSpinBox::setValue, unique);
    connect(ui->horizontalSlider_ImageOffset, &QSlider::valueChanged, this, &MainWindow::SliderOffsetModified, unique);
    connect(Timers.GainOffset, &QTimer::timeout, this, &MainWindow::TimeOutGainOffset, unique);
}
