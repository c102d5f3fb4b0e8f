// Reading the board's stored proxy and frame rate into the application, and the information panel's disconnected texts.
#include "mainwindow/MainWindow.h"
#include "app/digiboard_kind.h"

#include "ui_MainWindow.h"
#include "tools/Cmd_Perso.h"

#include "app/kv_log.h"
#include "app/waits.h"
#include "board/cameralink_serial.h"
#include "board/gige_link.h"
#include "board/links/board_traits.h"
#include "board/links/cameralink_link.h"
#include "board/board_configuration.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kNoProxyIndex = 13;
constexpr int kNoProxyPosition = 1;

} // namespace

void MainWindow::ReadConfigIntoDigiBoard()
{
    const BoardKind iKind = DigiBoardKind;
    BoardIdentification id;
    id.FrameRate = 0; // no board to ask: the common steps run with 0 and 0
    const BoardTraits& traits = BoardTraitsOf(iKind);
    // Nothing for a Belmor: the operator chose its proxy in the selector.
    if (traits.AskedForConfiguration) {
        const std::optional<BoardIdentification> answer = SelectedBoardLink()->identify();
        if (!answer)
            return;
        id = *answer;
        if (traits.LogsConfiguration)
            Log->writeLine(QString::fromLatin1(traits.Name) + " sent the following configuration: Proxy = "
                           + QString::number(id.ProxyListPosition) + " @" + QString::number(id.FrameRate) + "FPS");
        if (traits.DisablesPanelsWithoutProxy && id.ProxyListPosition == kNoProxyPosition)
            for (QWidget* pBox : {static_cast<QWidget*>(ui->groupBox_BadPixeCorrection),
                                  static_cast<QWidget*>(ui->groupBox_ProxyParameters),
                                  static_cast<QWidget*>(ui->groupBox_DisplayParameters),
                                  static_cast<QWidget*>(ui->groupBox_NUC), static_cast<QWidget*>(ui->groupBox_SaveImage),
                                  static_cast<QWidget*>(ui->groupBox_SensorParameters)})
                pBox->setEnabled(false);
    }

    if (traits.ReportsTwoTap) {
        const bool bTwoTap = ProxyListText(id.ProxyListPosition) == QLatin1String("Y1437P") && id.FrameRate == 120;
        SetCurrent(9, ProxyParameterId::TwoTap, bTwoTap ? 1 : 0);
        SetCurrent(12, ProxyParameterId::TwoTap, bTwoTap ? 1 : 0);
        // The box's own slot follows as after a click.
        ui->checkBox_2Tap->setChecked(bTwoTap);
    }

    FrameRate = id.FrameRate;
    ConfigurationCustom = id.FrameRate < DefaultFrameRateCode;
    const QString sProxyText = ProxyListText(id.ProxyListPosition);
    SetCurrentProxyIndex(ProxyIndexFromListPosition(id.ProxyListPosition));
    Log->writeLine("Proxy Number = " + QString::number(CurrentProxyIndex));
    // The kind first, so that the proxy's rates are checked for this board.
    ShowBoardConfigurationInSetupWindow(id.ProxyListPosition, CurrentProxyIndex, FrameRate);
    if (CommandsWindow)
        CommandsWindow->setProxyBoard(CurrentProxyIndex);
    UpdateValuesOnDynamicFrequency(FrameRate);
    if (CurrentProxyIndex == kNoProxyIndex || CurrentProxyIndex == 0) {
        Log->writeLine("Disable AutoStart feature. Proxy read from DigiBoard incorrect");
        ui->actionAuto_Start->setChecked(false);
        AutoStart = false;
    }
    ui->label_Info_Proxy_Freq->setText("with " + sProxyText + " working @ " + FrameRateEntryText(FrameRate));
}

void MainWindow::ResetInformationLabels()
{
    ui->label_Configuration_Val->setText(QStringLiteral("NONE"));
    ui->label_NUCType_Val->setText(QStringLiteral("---"));
    ui->label_TapMode_Val->setText(QStringLiteral("---"));
    ui->label_Connection_Val->setText(QStringLiteral("Disconnected"));
    ui->label_SN_Val->setText(QStringLiteral("No board"));
    ui->label_Framerate_Acq_Val->setText(QStringLiteral("--- FPS"));
    ui->label_Framerate_Shown_Val->setText(QStringLiteral("--- FPS"));
    ui->label_Height_Val->setText(QStringLiteral("---"));
    ui->label_Width_Val->setText(QStringLiteral("---"));
    ui->label_Bandwidth_Val->setText(QStringLiteral("--- Mbits/s"));
    for (QLabel* pLabel : {ui->label_X_Pos_Val, ui->label_Y_Pos_Val, ui->label_PixValue_Val, ui->label_MinValue_Val,
                           ui->label_MaxValue_Val, ui->label_StdValue_Val, ui->label_MeanValue_Val,
                           ui->label_Proxy_Val})
        pLabel->setText(QStringLiteral("---"));
}

void MainWindow::GetProxyName(char* p_szBuffer, size_t p_uBufferSize)
{
    if (!CopyUtf8Bounded(ProxyName, p_szBuffer, p_uBufferSize))
        Log->writeLine("Proxy name " + ProxyName + " cut to " + QString::number(p_uBufferSize - 1) + " bytes");
}
