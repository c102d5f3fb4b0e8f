// The set-window button of the main window: window corners, windowing camera file, board registers and the restart.
#include "mainwindow/MainWindow.h"


#include "app/digiboard_kind.h"
#include "app/globals.h"
#include "app/kv_log.h"
#include "app/waits.h"
#include "board/cameralink_commands.h"
#include "board/gige_link.h"
#include "board/windowing_camfile.h"
#include "board/windowing_geometry.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>

#include <algorithm>

#include <iostream>
#include <utility>
#include <vector>

namespace {

namespace P = ProxyParameterId;

bool IsCameraLink(BoardKind p_Kind)
{
    return p_Kind == BoardKind::Arvex || p_Kind == BoardKind::Belmor || p_Kind == BoardKind::BelmorPlus;
}

uint32_t Ticked(bool p_bChecked)
{
    return p_bChecked ? 1u : 0u;
}

// One register write of the sequence and the text its failure is reported with.
struct WindowWrite
{
    int Id;
    int Value;
    QString FailureText;
};

QString FailureText(const char* p_szFormat, int p_iValue)
{
    return QString::asprintf(p_szFormat, p_iValue);
}

// The BoardRegisterId of a DAC channel code (2 A, 3 B, 12 C, 13 D); -1 for any other code.
int DacRegisterOfCode(uint32_t p_uCode)
{
    switch (p_uCode) {
    case 2:
        return 1;
    case 3:
        return 2;
    case 12:
        return 11;
    case 13:
        return 12;
    default:
        return -1;
    }
}

} // namespace

void MainWindow::PushButton_SetWindow()
{
    const BoardKind kind = DigiBoardKind;
    const int r = CurrentProxyIndex;
    if (r < 0 || r >= kProxyRecordCount)
        return;

    // 1. The Camera Link grabber must have been set up by a start.
    if (!bInitDriverDone && IsCameraLink(kind)) {
        std::cout << "bInitDriverDone " << bool(bInitDriverDone) << std::endl;
        g_bWindowingInProgress = false;
        Log->writeLine("CameraLink Driver not initialized, Start the camera first");
        MessageBoxWarning(QStringLiteral("Warning"), QStringLiteral("CameraLink Driver not initialized, Start the camera first"));
        return;
    }

    // 2. The press starts.
    std::cout << "bInitDriverDone = " << bool(bInitDriverDone) << std::endl;
    g_bWindowingInProgress = true;
    SetControlEnabled(MainControl::SetWindowButton, false);
    SetCurrent(r, P::SetWindowButtonEnabled, 0);
    // Every way out before the restart gives the button and the flag back.
    auto abandon = [this, r]() {
        SetControlEnabled(MainControl::SetWindowButton, true);
        SetCurrent(r, P::SetWindowButtonEnabled, 1);
        g_bWindowingInProgress = false;
    };
    NewImageSizeCode = WindowingMode(GetCurrent(r, P::SizeAActive), GetCurrent(r, P::SizeBActive));
    std::cout << "NbWindowingRun: " << NewImageSizeCode << std::endl;
    const WindowCorners user{uint32_t(ControlValue(MainControl::XFirstSpinBox)),
                             uint32_t(ControlValue(MainControl::XLastSpinBox)),
                             uint32_t(ControlValue(MainControl::YFirstSpinBox)),
                             uint32_t(ControlValue(MainControl::YLastSpinBox))};
    SetCurrent(r, P::YFirst, user.YFirst);
    SetCurrent(r, P::YLast, user.YLast);
    SetCurrent(r, P::XFirst, user.XFirst);
    SetCurrent(r, P::XLast, user.XLast);

    // 3-4. Geometry. Eskra and Corvane have none: their press only flips the state and restarts.
    const WindowingPlan plan = ComputeWindowingPlan(r, kind, NewImageSizeCode, user);
    if (plan.Computed) {
        g_bWindowingDisabled = plan.WindowingDisabled;
        {
            // The corner boxes' own slot would copy them into the cells with
            // other values than the board keeps (Dunstel): the plan writes the cells.
            SetControlValueQuietly(MainControl::XFirstSpinBox, int(plan.SpinCorners.XFirst));
            SetControlValueQuietly(MainControl::XLastSpinBox, int(plan.SpinCorners.XLast));
            SetControlValueQuietly(MainControl::YFirstSpinBox, int(plan.SpinCorners.YFirst));
            SetControlValueQuietly(MainControl::YLastSpinBox, int(plan.SpinCorners.YLast));
            if (plan.SetAcqSpinBoxes) {
                SetControlValueQuietly(MainControl::AcqXSpinBox, plan.AcqX);
                SetControlValueQuietly(MainControl::AcqYSpinBox, plan.AcqY);
            }
        }
        ApplyWindowingToRecord(r, plan);

        // 5. Minimum size (an inverted user window counts as below it). A
        // refused window changes nothing on the board: the stream goes on as
        // it was and the button keeps offering the same step.
        if (plan.Error != WindowSizeError::None) {
            const QString sText = WindowSizeErrorText(plan.Error);
            Log->writeLine(sText);
            MessageBoxCritical(QStringLiteral("Critical"), sText);
            SetControlEnabled(MainControl::SetParametersButton, true);
            abandon();
            return;
        }
    }

    if (plan.Computed) {
        const uint32_t d = GetCurrent(r, P::WindowingDivisor);

        // 6. Integration time for the window.
        SetControlValue(MainControl::TINTSpinBox,
                        WindowingTint(GetCurrent(r, P::AcqX), d, ControlMinimum(MainControl::TINTSpinBox)));
        std::cout << "WindowingAcqX: " << plan.WindowingAcqX << std::endl;
        std::cout << "WindowingAcqY: " << plan.WindowingAcqY << std::endl;

        // 7. The windowing camera file of the Camera Link grabber.
        if (IsCameraLink(kind) && NewImageSizeCode != DefaultImageSizeCode) {
            const QByteArray line1 = SetWindowHactiveLine(plan.Hactive);
            const QByteArray line2 = SetWindowVactiveLine(plan.Vactive);
            std::cout << "Hactive_Px " << line1.constData() << "Vactive_Ln " << line2.constData() << std::endl;
            // Edited under its own name (through a temporary file): no exit leaves it renamed.
            const QString sCamFile = WindowingCamFileBase(ApplicationDir, ProxyName, TwoTap) + QStringLiteral(".cam");
            if (!QFileInfo::exists(sCamFile)) {
                const QString sSource = SourceCamFilePath(ApplicationDir, ProxyName, TwoTap);
                if (QFile::copy(sSource, sCamFile))
                    Log->writeLine("Windowing CamFile created: " + sCamFile);
            }
            if (!EditCamFileBetweenWords(sCamFile.toUtf8().constData(), QStringLiteral("Hactive_Px ="),
                                         QStringLiteral("HSyncAft_Tk ="), line1.constData(), line2.constData(),
                                         line1.size(), line2.size())) {
                const QString sText = QStringLiteral("Camfiles error, missing 'Hactive_Px =' or 'HSyncAft_Tk =' words");
                Log->writeLine(sText + ": " + sCamFile);
                MessageBoxCritical(QStringLiteral("Critical"), sText);
                abandon();
                return;
            }
        }

        // 8. Belmor+ takes the new camera file by a new initialisation.
        if (kind == BoardKind::BelmorPlus) {
            Deinit();
            WaitMs(500);
            SetConnected(true);
            bool bWindowingDisabled = g_bWindowingDisabled;
            if (Init(&bWindowingDisabled)) {
                // No channel stands: the next start must set one up.
                bInitDriverDone = false;
                abandon();
                return;
            }
        }

        // 9. Form to table.
        SetControlChecked(MainControl::ApplyNUCBox, false);
        if (!FullFrameWindow) {
            SetControlChecked(MainControl::SizeABox, true);
            SetControlChecked(MainControl::SizeBBox, true);
        }
        SetCurrent(r, P::TINT, uint32_t(ControlValue(MainControl::TINTSpinBox)));
        SetCurrent(r, P::DAC_A, uint32_t(ControlValue(MainControl::DACASpinBox)));
        SetCurrent(r, P::DAC_B, uint32_t(ControlValue(MainControl::DACBSpinBox)));
        SetCurrent(r, P::DAC_C, uint32_t(ControlValue(MainControl::DACCSpinBox)));
        SetCurrent(r, P::DAC_D, uint32_t(ControlValue(MainControl::DACDSpinBox)));
        SetCurrent(r, P::Gain2, Ticked(ControlChecked(MainControl::Gain2Box)));
        SetCurrent(r, P::Gain1, Ticked(ControlChecked(MainControl::Gain1Box)));
        SetCurrent(r, P::Gain0, Ticked(ControlChecked(MainControl::Gain0Box)));
        SetCurrent(r, P::UpCol, Ticked(ControlChecked(MainControl::UpColBox)));
        SetCurrent(r, P::UpRow, Ticked(ControlChecked(MainControl::UpRowBox)));
        SetCurrent(r, P::SizeA, Ticked(ControlChecked(MainControl::SizeABox)));
        SetCurrent(r, P::SizeB, Ticked(ControlChecked(MainControl::SizeBBox)));
        SetCurrent(r, P::DACFilter, Ticked(ControlChecked(MainControl::DACFilterBox)));
        SerDataBits bits;
        bits.SizeA = GetCurrent(r, P::SizeA);
        bits.SizeB = GetCurrent(r, P::SizeB);
        bits.UpCol = GetCurrent(r, P::UpCol);
        bits.UpRow = GetCurrent(r, P::UpRow);
        bits.Gain0 = GetCurrent(r, P::Gain0);
        bits.Gain1 = GetCurrent(r, P::Gain1);
        bits.Gain2 = GetCurrent(r, P::Gain2);
        bits.DACFilter = GetCurrent(r, P::DACFilter);
        const uint32_t uEncoding = GetCurrent(r, P::BPRegisterEncoding);
        const int serData = int(SerDataWord(uEncoding != 0, bits));
        std::cout << "Sensor SerData config : " << serData << " with " << std::endl
                  << "Gain 2 = " << bits.Gain2 << " (optional, depends on Proxy)" << std::endl
                  << "Gain 1 = " << bits.Gain1 << std::endl
                  << "Gain 0 = " << bits.Gain0 << std::endl
                  << "UpRow  = " << bits.UpRow << std::endl
                  << "UpCol  = " << bits.UpCol << std::endl
                  << "SizeA  = " << bits.SizeA << std::endl
                  << "SizeB  = " << bits.SizeB << std::endl;

        // 10. Register writes, stopping at the first that fails.
        const bool bSendCorners = NewImageSizeCode == 0 || uEncoding == 1;
        const WindowCorners& c = plan.SpinCorners;
        const uint32_t dd = (d == 0 || d == ProxyParameterNotSet) ? 1u : d;
        if (bSendCorners && (kind == BoardKind::BelmorPlus || kind == BoardKind::Dunstel))
            std::cout << "Windowing parameters: " << c.XFirst << "," << c.XLast << "," << c.YFirst / dd << ","
                      << c.YLast / dd << std::endl;
        std::vector<WindowWrite> writes;
        const auto corners = [&](bool p_bDivideX) {
            writes.push_back({5, int(c.YFirst), FailureText("clSerialWrite: !7%04d\n\r fail", int(c.YFirst))});
            writes.push_back({6, int(c.YLast), FailureText("clSerialWrite: !8%04d\n\r fail", int(c.YLast))});
            const int xFirst = int(p_bDivideX ? c.XFirst / dd : c.XFirst);
            const int xLast = int(p_bDivideX ? c.XLast / dd : c.XLast);
            writes.push_back({7, xFirst, FailureText("clSerialWrite: !9%04d\n\r fail", xFirst)});
            writes.push_back({8, xLast, FailureText("clSerialWrite: !A%04d\n\r fail", xLast)});
        };
        const WindowWrite serDataWrite{4, serData, FailureText("clSerialWrite: !6%04d\n\r fail", serData)};
        QString sFailure;
        if (kind == BoardKind::BelmorPlus) {
            if (bSendCorners)
                corners(false);
            writes.push_back(serDataWrite);
            for (const WindowWrite& w : writes)
                if (SendCameraLinkCommand(w.Id, w.Value, true) != 0) {
                    sFailure = w.FailureText;
                    break;
                }
        } else if (kind == BoardKind::Dunstel) {
            const int tint = int(GetCurrent(r, P::TINT));
            auto send = [this, &sFailure](const WindowWrite& w) {
                if (!sFailure.isEmpty())
                    return;
                if (SendGigECommand(GigESerialPort, w.Id, w.Value) != 0)
                    sFailure = w.FailureText;
            };
            send({0, std::min(tint, 20), FailureText("Couldn't set INTvalue to %d.\n", 20)});
            const int p = r;
            if (p == 6 || p == 7 || p == 9 || p == 12) {
                const std::pair<uint32_t, std::pair<int, const char*>> dacs[] = {
                    {GetCurrent(r, P::WindowingChannel), {0, "clSerialWrite: !2%04d\n\r fail"}},
                    {GetCurrent(r, P::StopZeroChannel), {0, "clSerialWrite: !3%04d\n\r fail"}},
                    {GetCurrent(r, P::GSKChannel), {4095, "clSerialWrite: !E%04d\n\r fail"}}};
                for (const auto& [code, write] : dacs) {
                    const int id = DacRegisterOfCode(code);
                    if (id >= 0)
                        send({id, write.first, FailureText(write.second, write.first)});
                }
                if (sFailure.isEmpty())
                    WaitMs(1000);
            }
            if (!FullFrameWindow)
                send(serDataWrite);
            std::cout << "Windowing parameters: " << plan.WindowingAcqX << "," << plan.WindowingAcqY << std::endl;
            send({9, int(plan.WindowingAcqX), FailureText("clSerialWrite: !B%04d\n\r fail", int(plan.WindowingAcqX))});
            const int acqY = int(plan.WindowingAcqY) - 1;
            send({10, acqY, FailureText("clSerialWrite: !C%04d\n\r fail", acqY)});
            if (FullFrameWindow)
                send(serDataWrite);
            send({0, tint, FailureText("Couldn't set INTvalue to %d.\n", tint)});
            if (bSendCorners) {
                corners(true);
                for (const WindowWrite& w : writes)
                    send(w);
            }
            const std::pair<int, std::pair<int, const char*>> voltages[] = {
                {1, {P::DAC_A, "clSerialWrite: !2%04d\n\r fail"}},
                {2, {P::DAC_B, "clSerialWrite: !3%04d\n\r fail"}},
                {11, {P::DAC_C, "clSerialWrite: !D%04d\n\r fail"}},
                {12, {P::DAC_D, "clSerialWrite: !E%04d\n\r fail"}}};
            for (const auto& [id, cell] : voltages) {
                const int v = int(GetCurrent(r, cell.first));
                send({id, v, FailureText(cell.second, v)});
            }
        }

        // 11. The first failed write ends the press.
        if (!sFailure.isEmpty()) {
            std::cout << "ERROR set parameters" << std::endl;
            Log->writeLine("ERROR set parameters fail: " + sFailure);
            MessageBoxCritical(QStringLiteral("Critical"), QStringLiteral("ERROR set parameters fail: ") + sFailure);
            abandon();
            return;
        }
    }

    // 12. Set / reset flip.
    if (FullFrameWindow) {
        SetCurrent(r, P::SizeAActive, 1);
        SetCurrent(r, P::SizeBActive, 1);
        SetControlEnabled(MainControl::SizeABox, false);
        SetControlEnabled(MainControl::SizeBBox, false);
        SetCurrent(r, P::SizeAEnabled, 0);
        SetCurrent(r, P::SizeBEnabled, 0);
        FullFrameWindow = false;
        SetControlText(MainControl::SetWindowButton, QStringLiteral("Reset Window"));
    } else {
        SetControlChecked(MainControl::SizeABox, true);
        SetControlChecked(MainControl::SizeBBox, true);
        SetCurrent(r, P::SizeAActive, 1);
        SetCurrent(r, P::SizeBActive, 1);
        SetControlEnabled(MainControl::SizeABox, true);
        SetControlEnabled(MainControl::SizeBBox, true);
        SetCurrent(r, P::SizeAEnabled, 1);
        SetCurrent(r, P::SizeBEnabled, 1);
        FullFrameWindow = true;
        SetControlText(MainControl::SetWindowButton, QStringLiteral("Set Window"));
    }
    SetControlEnabled(MainControl::SetWindowButton, true);
    SetCurrent(r, P::SetWindowButtonEnabled, 1);

    // 13. Restart through the main button.
    if (kind == BoardKind::Arvex || kind == BoardKind::Belmor) {
        // Their grabber channel is not set up again here: a disconnection that
        // kept the windowing flag would leave no channel for the next start.
        // The full restart loads the new camera file.
        g_bWindowingInProgress = false;
        Windowing_asked(false);
        return;
    }
    if (kind == BoardKind::Dunstel)
        StopAcquisition = true;
    PushButton_Start();
    g_bWindowingInProgress = false;
}
