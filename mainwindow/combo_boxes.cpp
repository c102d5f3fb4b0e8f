// The bad-pixel mode, interpolation and Bayer selectors of the main window, and what each choice sets or sends.
#include "mainwindow/MainWindow.h"
#include "tools/Window_Histogram.h"
#include "app/digiboard_kind.h"

#include "ui_MainWindow.h"

#include "app/header_constants.h"
#include "app/kv_log.h"
#include "board/links/cameralink_link.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "board/links/board_traits.h"
#include "board/links/usb3_link.h"

#include <QTimer>

namespace {
constexpr int kFpgaBadPixelRegister = 16;   // Belmor+
constexpr int kProcessingBoard = 2;         // behind the Corvane board
constexpr int kProcessingBoardBadPixelParameter = 9;

// Index of the item matching p_sText (case ignored), or -1.
int MatchItem(const QStringList& p_Items, const QString& p_sText)
{
    for (int i = 0; i < p_Items.size(); ++i)
        if (p_Items.at(i).compare(p_sText, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The board-side encoding of modes 0..4 (Arvex register 38, Corvane board 2 parameter 9).
constexpr int kOnBoardBadPixelCode[5] = {1, 0, 2, 4, 6};

} // namespace

void MainWindow::ComboBox_BPCorrectionMode(QString p_sMode)
{
    if (p_sMode.isEmpty())
        return;
    Log->writeLine("Change BP Correction Mode to " + p_sMode);
    const int p = CurrentProxyIndex;
    const int iMatch = MatchItem(HeaderConstants::BPCorrectionModeNames, p_sMode);
    if (iMatch >= 0)
        SetCurrent(p, ProxyParameterId::BPCorrectionMode, static_cast<uint32_t>(iMatch));
    const int m = static_cast<int>(GetCurrent(p, ProxyParameterId::BPCorrectionMode));
    const bool bGainOffsetRunning = Timers.GainOffset && Timers.GainOffset->isActive();

    const OnBoardBadPixels correction = BoardTraitsOf(DigiBoardKind).BadPixels;
    switch (correction) {
    case OnBoardBadPixels::FpgaRegister:
        if (m >= 1 && m <= 4) {
            const int iValue = GetCurrent(p, ProxyParameterId::BPRegisterEncoding) == 0 ? 2 * m - 2 : 2 * (m + 3);
            Send_Command_To_FPGA(kFpgaBadPixelRegister, static_cast<uchar>(iValue));
            return;
        }
        break;
    case OnBoardBadPixels::StarRegister:
        if (bGainOffsetRunning && m >= 0 && m <= 4)
            CameraLinkBoard().writeRegister(BoardRegisterId::BadPixelMode, uint32_t(kOnBoardBadPixelCode[m]));
        return;
    case OnBoardBadPixels::ProcessingBoard:
        if (BadPixelCorrectionOn) {
            // The frame path restarts the replacement for the new mode.
            BadPixelFillReset = true;
        } else if (bGainOffsetRunning && m >= 0 && m <= 4) {
            static_cast<Usb3Link&>(*CorvaneLink)
                .writeProcessingRegister(kProcessingBoard, kProcessingBoardBadPixelParameter, kOnBoardBadPixelCode[m]);
        }
        return;
    case OnBoardBadPixels::None:
        break;
    }
    BadPixelFillReset = true;
}

void MainWindow::ComboBox_InterpolationMethod(QString p_sMethod)
{
    if (p_sMethod.isEmpty())
        return;
    Log->writeLine("Changed Interpolation method to " + p_sMethod);
    const int iMatch = MatchItem(HeaderConstants::InterpolationNames, p_sMethod);
    if (iMatch >= 0)
        SetCurrent(CurrentProxyIndex, ProxyParameterId::InterpolationMethod, static_cast<uint32_t>(iMatch));
}

void MainWindow::ComboBox_BayerMode(QString p_sMode)
{
    if (p_sMode.isEmpty())
        return;
    Log->writeLine("Changed Bayer Mode to " + p_sMode);
    const int iMatch = MatchItem(HeaderConstants::BayerModeNames, p_sMode);
    if (iMatch >= 0)
        BayerCode = iMatch;
    if (HistogramWindowOpen && HistogramWindow)
        HistogramWindow->Enable_RGBHistogram_Option(BayerCode != 0);
}

void MainWindow::DisableInterpolationComboBox()
{
    ui->comboBox_InterpolationMethod->setEnabled(false);
}

void MainWindow::EnableInterpolationComboBox()
{
    ui->comboBox_InterpolationMethod->setEnabled(true);
}
