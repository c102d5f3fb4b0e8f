// One fault-conformance bench for the six board kinds, driven through the main window as an operator would.
#pragma once

#include "road_bench.h"

#include "sim/core/fault_injector.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>

// Each row: a board kind, a fault armed before or during streaming, and what
// the operator must see: the exact boxes and log lines. Every row ends in the same place: not connected, the
// main button "Connect" and enabled, and a second connection that streams.
namespace conformance {

// Combo-box index of each simulated board.
inline int ComboIndex(sim::BoardKind p_Board)
{
    return static_cast<int>(p_Board);
}

// The proxy each board is set up for: 640 x 480, or the serial-port board's 84 x 80.
inline int ProxyFor(sim::BoardKind p_Board)
{
    return p_Board == sim::BoardKind::Eskra ? 5 : 2;
}

// The log lines written so far in this run.
inline QStringList LogLines(const Road& p_Road)
{
    QFile file(p_Road.Window->Log->filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// The texts of the boxes the window shows: those asked of the presenter, and
// the non-modal ones it opens itself (the USB3 watchdog's).
inline QStringList BoxTexts(const Road& p_Road)
{
    QStringList texts = p_Road.Recorder.Boxes;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* pBox = qobject_cast<QMessageBox*>(pWidget); pBox && pBox->isVisible())
            texts << pBox->windowTitle() + "|" + pBox->text();
    return texts;
}

// What the window showed: its boxes, and the log lines after p_iFromLine.
inline QString Shown(const Road& p_Road, int p_iFromLine = 0)
{
    return BoxTexts(p_Road).join(" / ") + "\n--- log:\n" + LogLines(p_Road).mid(p_iFromLine).join('\n');
}

// The boxes shown, the connecting box left out: it is the procedure's own,
// not a report.
inline QStringList Reports(const Road& p_Road)
{
    QStringList reports;
    for (const QString& sBox : BoxTexts(p_Road))
        if (!sBox.startsWith(QLatin1String("Information|Connecting in progress")))
            reports << sBox;
    return reports;
}

// Empty when the window showed exactly p_Boxes (title|text, in this order)
// and wrote every line of p_Lines to the log after p_iFromLine; otherwise
// what differs.
// p_MayAlsoShow: boxes whose showing depends on timing, left out of the comparison.
inline QString Mismatch(const Road& p_Road, int p_iFromLine, const QStringList& p_Boxes,
                        const QStringList& p_Lines, const QStringList& p_MayAlsoShow = {})
{
    QString sWhy;
    QStringList reports = Reports(p_Road);
    for (const QString& sBox : p_MayAlsoShow)
        reports.removeAll(sBox);
    if (reports != p_Boxes)
        sWhy += "boxes: " + Reports(p_Road).join(" / ") + "\n   expected: " + p_Boxes.join(" / ") + "\n";
    // Each log line reads "<date> - <time> : <text>".
    QStringList lines;
    for (const QString& sLine : LogLines(p_Road).mid(p_iFromLine))
        lines << sLine.section(QLatin1String(" : "), 1);
    for (const QString& sLine : p_Lines)
        if (!lines.contains(sLine))
            sWhy += "no log line \"" + sLine + "\"\n";
    return sWhy.isEmpty() ? QString() : sWhy + Shown(p_Road, p_iFromLine);
}

// Waits until the window is back at rest: not connected, "Connect" enabled.
// False when that takes longer than p_iBoundMs.
inline bool BackAtRest(Road& p_Road, int p_iBoundMs)
{
    QElapsedTimer clock;
    clock.start();
    Ui::MainWindow* ui = p_Road.ui();
    while (clock.elapsed() < p_iBoundMs) {
        if (!p_Road.Window->Connected && !p_Road.Window->Connecting && ui->pushButton_Start->isEnabled()
            && ui->pushButton_Start->text() == QLatin1String("Connect"))
            return true;
        QTest::qWait(50);
    }
    return false;
}

// Connects (the serial-port board has no connection step) and starts; true
// once frames are shown. The Belmor board asks for its proxy first.
inline bool ConnectAndStream(Road& p_Road, sim::BoardKind p_Board, int p_iBoundMs)
{
    MainWindow& w = *p_Road.Window;
    const int iShownBefore = w.FramesDisplayed;
    if (p_Board != sim::BoardKind::Eskra) {
        if (p_Board == sim::BoardKind::Belmor)
            p_Road.confirmBelmorProxyLater(9);
        p_Road.press();
        if (!w.Connected)
            return false;
    }
    // The Start press returns only when acquisition ends for most kinds:
    // the stop is pressed from inside it once frames are shown.
    bool bStreaming = false, bDone = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &w, [&]() {
        if (bDone)
            return;
        if (w.FramesDisplayed > iShownBefore + 2 || clock.elapsed() > p_iBoundMs) {
            bDone = true;
            bStreaming = w.FramesDisplayed > iShownBefore + 2;
            poll.stop();
            p_Road.press();
        }
    });
    poll.start(20);
    p_Road.press();
    while (!bDone && clock.elapsed() < p_iBoundMs + 2000)
        QTest::qWait(20);
    return bStreaming;
}

} // namespace conformance
