// One-second statistics of the main window and the no-frame watchdog (MainWindow::TimeOut1s).
#include "board/frame_statistics.h"

#include "board/acquisition_state.h"

#include "app/globals.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/message_boxes.h"
#include "platform/ebus/ebus.h"

#include <QMessageBox>

#include <opencv2/core.hpp>

#include <cmath>
#include <iostream>

double FrameBandwidthMbits(int p_iWidth, int p_iHeight, int p_iFrames)
{
    const uint64_t bits = uint64_t(uint32_t(std::max(p_iWidth, 0))) * uint64_t(uint32_t(std::max(p_iHeight, 0)))
                          * uint64_t(uint32_t(std::max(p_iFrames, 0))) * 16u;
    return double(bits) / 1048576.0;
}

QString BandwidthText(double p_dMbits)
{
    return QString::number(p_dMbits, 'g', 6) + " Mbits/s";
}

WatchdogAction WatchdogTick(BoardKind p_Kind, int p_iFrameCounter, int& p_rSeconds, bool p_bDebugRunning)
{
    const int f = p_iFrameCounter;
    if (p_Kind == BoardKind::Dunstel || p_Kind == BoardKind::Eskra) {
        if (!p_bDebugRunning && f == 0 && p_rSeconds < 10) {
            ++p_rSeconds;
            return WatchdogAction::Counted;
        }
        if (f > 0) {
            p_rSeconds = 0;
            return WatchdogAction::FrameSeen;
        }
        if (!p_bDebugRunning && f == 0 && p_rSeconds >= 10)
            return WatchdogAction::Disconnect;
        return WatchdogAction::None;
    }
    if (p_Kind == BoardKind::Corvane) {
        if (f > 0) {
            p_rSeconds = 0;
            return WatchdogAction::FrameSeen;
        }
        if (p_bDebugRunning || f != 0)
            return WatchdogAction::None;
        if (p_rSeconds == 4) {
            p_rSeconds = 5;
            return WatchdogAction::ShowWarning;
        }
        if (p_rSeconds >= 10)
            return WatchdogAction::Disconnect;
        ++p_rSeconds;
        return WatchdogAction::CountedAndPrint;
    }
    return WatchdogAction::None;
}

namespace {

void CloseWarningBox()
{
    if (g_pNoFrameWarningBox && g_pNoFrameWarningBox->isVisible()) {
        g_pNoFrameWarningBox->close();
        delete g_pNoFrameWarningBox.data();
    }
    g_pNoFrameWarningBox = nullptr;
}

} // namespace

void MainWindow::TimeOut1s()
{
    SetControlText(MainControl::AcquiredFrameRateLabel, QString::number(FramesReceived.load()) + " FPS");
    SetControlText(MainControl::ShownFrameRateLabel, QString::number(FramesDisplayed.load()) + " FPS");

    if (!MatDisplayGrey.empty()) {
        cv::Scalar mean, stddev;
        cv::meanStdDev(MatDisplayGrey, mean, stddev);
        double dMin = 0, dMax = 0;
        cv::minMaxLoc(MatDisplayGrey, &dMin, &dMax);
        SetControlText(MainControl::MeanValueLabel, QString::number(std::nearbyint(mean[0]), 'f', 0));
        SetControlText(MainControl::StdValueLabel, QString::number(stddev[0], 'g', 6));
        SetControlText(MainControl::MaxValueLabel, QString::number(dMax, 'g', 6));
        SetControlText(MainControl::MinValueLabel, QString::number(dMin, 'g', 6));
    }
    if (WindowingCurrentFps)
        WindowingCurrentFps(uint16_t(FramesReceived.load()));

    const BoardKind kind = DigiBoardKind;
    double dMbits = 0;
    if (kind == BoardKind::Dunstel) {
        double dBandwidth = 0;
        if (auto* pFloat = dynamic_cast<PvGenFloat*>(GigEBandwidthParameter))
            pFloat->GetValue(dBandwidth);
        dMbits = dBandwidth / 1048576.0;
    } else {
        dMbits = FrameBandwidthMbits(FrameWidth, FrameHeight, FramesReceived);
    }
    SetControlText(MainControl::BandwidthLabel, BandwidthText(dMbits));

    int seconds = NoFrameSeconds;
    const WatchdogAction action = WatchdogTick(kind, FrameCounter, seconds, DebugRunning);
    NoFrameSeconds = seconds;
    switch (action) {
    case WatchdogAction::CountedAndPrint:
        std::cout << "No frame since " << seconds << "seconds" << std::endl;
        break;
    case WatchdogAction::FrameSeen:
        if (kind == BoardKind::Corvane)
            CloseWarningBox();
        break;
    case WatchdogAction::ShowWarning: {
        CloseWarningBox();
        auto* pBox = new QMessageBox(QMessageBox::Warning, QStringLiteral("Warning"),
                                     QStringLiteral("Corvane is deconnecting...\nRecovering in progress"),
                                     QMessageBox::Ok, this);
        pBox->setModal(false);
        g_pNoFrameWarningBox = pBox;
        pBox->show();
        std::cout << "No frame since " << 4 << "seconds" << std::endl;
        break;
    }
    case WatchdogAction::Disconnect:
        if (kind == BoardKind::Corvane) {
            CloseWarningBox();
            auto* pBox = new QMessageBox(QMessageBox::Critical, QStringLiteral("Critical"),
                                         QStringLiteral("Corvane is deconnected...\nPlease check connexion"),
                                         QMessageBox::Ok, this);
            pBox->setAttribute(Qt::WA_DeleteOnClose);
            pBox->setModal(true);
            pBox->show();
            Deinit();
        } else {
            StopAcquisition = true;
            Deinit();
            PresentMessageBox({this, QMessageBox::Critical, QStringLiteral("Critical"),
                               kind == BoardKind::Dunstel ? QStringLiteral("Dunstel is deconnected...\nPlease check connexion")
                                         : QStringLiteral("Eskra is deconnected...\nPlease check connexion"),
                               {QStringLiteral("OK")}});
        }
        break;
    default:
        break;
    }

    // A disconnection leaves the counter at -1 (no acquisition) as Deinit set it.
    if (action != WatchdogAction::Disconnect)
        FrameCounter = 0;
    FramesDisplayed = 0;
    FramesReceived = 0;
}
