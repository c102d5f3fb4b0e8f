// Bad-pixel map loading: the four software lists, or the pixel-by-pixel upload to the Arvex and Corvane boards.
#include "mainwindow/MainWindow.h"


#include "app/digiboard_kind.h"
#include "app/header_constants.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/bad_pixel_map.h"
#include "board/cameralink_commands.h"
#include "board/corvane_writer.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "tools/Window_SendingProgressBP.h"

#include <QCoreApplication>
#include <QPointer>

#include <cstdio>
#include <iostream>
#include <memory>

namespace {

namespace P = ProxyParameterId;

// Board register ids of the Arvex bad-pixel memory: index, column, row.
constexpr int kRegBadPixelIndex = 39;
constexpr int kRegBadPixelColumn = 40;
constexpr int kRegBadPixelRow = 41;
// The Corvane board's indirect write to the processing board behind it.
constexpr int kCorvaneExecute = 50;
constexpr int kCorvaneTarget = 51;
constexpr int kCorvaneRegister = 52;
constexpr int kCorvaneValue = 53;
constexpr int kProcessingBoard = 2;
// FPGA register of the Belmor+ board's bad-pixel management; 8 its SensorMaster bit.
constexpr int kFpgaBadPixelManagement = 16;

void PrintPair(const BadPixelPair& p_Pair)
{
    std::cout << "Y = " << p_Pair.Row << " & X = " << p_Pair.Column << std::endl;
}

} // namespace

void MainWindow::Load_BadPixel_File()
{
    const BoardKind kind = DigiBoardKind;
    const int r = CurrentProxyIndex;
    BadPixelUploadRunning = true;
    if (kind == BoardKind::BelmorPlus && r >= 0 && r < kProxyRecordCount)
        Send_Command_To_FPGA(kFpgaBadPixelManagement, GetCurrent(r, P::BPRegisterEncoding) != 0 ? 8 : 0);

    // After every load the correction is off until the operator chooses one.
    SetControlValue(MainControl::BPCorrectionModeBox, 0);
    if (r >= 0 && r < kProxyRecordCount)
        SetCurrent(r, P::BPCorrectionMode, 0);

    StopAcquisition = true;
    // The lists hold nothing until this load has filled them: an upload, a
    // failed read or a board without software lists leaves the counts at 0.
    ClearBadPixelCounts(BadPixelIndexList);

    auto finish = [this]() {
        // A disconnection during the load has stopped acquisition for good;
        // only a live connection gets its frames back.
        if (Connected)
            StopAcquisition = false;
        BadPixelUploadRunning = false;
    };

    if (BadPixelFile == nullptr) {
        Log->writeLine("BadPixel Map File .csv load fail");
        MessageBoxCritical(QStringLiteral("Critical"), QStringLiteral("Bad Pixel Map file .csv load fail"));
        finish();
        return;
    }

    const BadPixelMap map = ReadBadPixelCsv(ReadBadPixelFileContent(BadPixelFile));
    if (map.Separator == ',')
        std::cout << "Separateur ," << std::endl;
    else if (map.Separator == ';')
        std::cout << "Separateur ;" << std::endl;
    const int n = map.Pairs.size();
    std::cout << "Number of BadPixel : " << n << std::endl;
    if (map.StoppedEarly) {
        const QString sText = QStringLiteral("Line %1 of the bad pixel map is not a row and column pair.\n"
                                             "The File reading has been interrupted: %2 pairs read before it.")
                                  .arg(map.BadLine)
                                  .arg(n);
        Log->writeLine(sText);
        MessageBoxWarning(QStringLiteral("Warning"), sText);
    }

    const BadPixelFrame frame{uint32_t(std::max(0, FrameWidth.load())), uint32_t(std::max(0, FrameHeight.load())),
                              uint32_t(std::max(0, FramePitch.load()))};
    auto outOfRange = [this]() {
        Log->writeLine("The last coordinates read were out of image size. The File reading has been interrupted.");
        MessageBoxWarning(QStringLiteral("Out of range coordinates"),
                          QStringLiteral("The last coordinates read were out of image size.\n"
                                         "The File reading has been interrupted."));
    };
    auto inFrame = [&frame](const BadPixelPair& p) {
        return p.Row >= 0 && p.Column >= 0 && p.Row < int64_t(frame.Height) && p.Column < int64_t(frame.Width);
    };

    const bool bSoftware = kind == BoardKind::Belmor || kind == BoardKind::BelmorPlus || kind == BoardKind::Dunstel
                           || (kind == BoardKind::Corvane && BadPixelCorrectionOn);
    const bool bUpload = kind == BoardKind::Arvex || (kind == BoardKind::Corvane && !BadPixelCorrectionOn);

    if (bSoftware) {
        // Each list holds pitch x height words: the count and the indices.
        const size_t capacity = size_t(frame.PitchBytes) * frame.Height;
        const BadPixelFillResult result = FillBadPixelLists(map.Pairs, frame, BadPixelIndexList, capacity);
        for (uint32_t i = 0; i < result.Stored; ++i)
            PrintPair(map.Pairs[int(i)]);
        if (result.OutOfRange)
            outOfRange();
        if (result.Capped) {
            const QString sText = QStringLiteral("The bad pixel map holds %1 pixels, more than the frame can take.\n"
                                                 "Only the first %2 are used.")
                                      .arg(n)
                                      .arg(result.Stored);
            Log->writeLine(sText);
            MessageBoxWarning(QStringLiteral("Warning"), sText);
        }
        Log->writeLine(QStringLiteral("BadPixel Map loaded: %1 pixels").arg(result.Stored));
    } else if (bUpload) {
        SetControlEnabled(MainControl::SelectBPFileButton, false);
        auto* pProgress = new Window_SendingProgressBP(nullptr);
        QPointer<Window_SendingProgressBP> progress(pProgress);
        pProgress->setAttribute(Qt::WA_QuitOnClose, false);
        pProgress->setWindowTitle(QStringLiteral("Progressing ..."));
        pProgress->setCopyright(HeaderConstants::FooterText);
        ComboBox_BPCorrectionMode(ControlText(MainControl::BPCorrectionModeBox));
        pProgress->show();
        int sent = 0;
        for (int i = 0; i < n; ++i) {
            // The upload ends with the connection: nothing is written to a closed link.
            if (!Connected)
                break;
            const BadPixelPair& pair = map.Pairs[i];
            if (!inFrame(pair)) {
                outOfRange();
                break;
            }
            PrintPair(pair);
            const int row = int(pair.Row);
            const int column = int(pair.Column);
            if (kind == BoardKind::Arvex) {
                SendCameraLinkCommandStar(kRegBadPixelIndex, i, true);
                WaitMs(5);
                SendCameraLinkCommandStar(kRegBadPixelColumn, column, true);
                WaitMs(5);
                SendCameraLinkCommandStar(kRegBadPixelRow, row, true);
                WaitMs(150);
            } else {
                const int values[3][2] = {{10, i}, {11, column}, {12, row}};
                for (const auto& rv : values) {
                    SetCorvaneParameter(kCorvaneTarget, kProcessingBoard, true);
                    SetCorvaneParameter(kCorvaneRegister, rv[0], true);
                    SetCorvaneParameter(kCorvaneValue, rv[1], true);
                    SetCorvaneParameter(kCorvaneExecute, 0, true);
                }
            }
            ++sent;
            if (progress) {
                progress->setProgress(100 * i / n);
                progress->setInformation(QString::number(i + 1) + QStringLiteral(" over ") + QString::number(n));
            }
            QCoreApplication::processEvents();
        }
        delete progress.data();
        SetControlEnabled(MainControl::SelectBPFileButton, Connected);
        Log->writeLine(QStringLiteral("BadPixel Map sent to the DigiBoard: %1 of %2 pixels").arg(sent).arg(n));
    }
    finish();
}
