// The frame-statistics report end to end: revealed by holding F1 and F4 on the streaming main window, opened from its "Debug Mode" action, and written from the simulated board's frames.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/road_bench.h"

#include "app/globals.h"
#include "pipeline/debug_report.h"
#include "tools/Window_Debug.h"
#include "ui_Window_Debug.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

using namespace sim;

namespace {

constexpr int kZ668 = 2;

QByteArray ReadAll(const QString& p_sPath)
{
    QFile f(p_sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestDebugWindowRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void cleanupTestCase() { SetFastMode(false); }
    void reportCarriesTheStatisticsOfTheStreamedFrames_data();
    void reportCarriesTheStatisticsOfTheStreamedFrames();

private:
    // Runs inside the acquisition's event loop (the start press returns at the disconnection).
    void reportWhileStreaming(Road& p_Road, const QString& p_sPath);
};

void TestDebugWindowRoad::reportCarriesTheStatisticsOfTheStreamedFrames_data()
{
    QTest::addColumn<int>("board");
    // Arvex with its own NUC: the board-corrected path, frames from the Camera Link grabber.
    QTest::newRow("Arvex") << int(BoardKind::Arvex);
    QTest::newRow("Dunstel") << int(BoardKind::Dunstel);
}

void TestDebugWindowRoad::reportCarriesTheStatisticsOfTheStreamedFrames()
{
    QFETCH(int, board);
    Road road(BoardKind(board), kZ668);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(BoardKindIndex(::BoardKind(board)));
    road.press();   // connect
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    if (BoardKind(board) == BoardKind::Arvex)
        QVERIFY(!w.SoftwareNUC);
    const QString sPath = road.Folder.rootPath() + "/report.csv";
    bool bDone = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&]() {
        // Streaming: the start sequence has ended its waits and frames reach the view.
        if (w.StopAcquisition || w.FrameCounter <= 3 || road.ui()->pushButton_Start->text() != "Safe\ndisconnection"
            || !road.ui()->pushButton_Start->isEnabled())
            return;
        poll.stop();
        reportWhileStreaming(road, sPath);
        road.press();   // safe disconnection
        bDone = true;
    });
    poll.start(20);
    road.press();   // start the acquisition; returns once disconnected
    QTRY_VERIFY_WITH_TIMEOUT(bDone, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000);
}

void TestDebugWindowRoad::reportWhileStreaming(Road& p_Road, const QString& p_sPath)
{
    Road& road = p_Road;
    MainWindow& w = *road.Window;

    // Both keys held together reveal the action.
    QVERIFY(!road.ui()->actionDebug_Mode->isEnabled());
    QTest::keyPress(&w, Qt::Key_F1);
    QTest::keyPress(&w, Qt::Key_F4);
    QTest::keyRelease(&w, Qt::Key_F4);
    QTest::keyRelease(&w, Qt::Key_F1);
    QVERIFY(road.ui()->actionDebug_Mode->isEnabled());
    QVERIFY(road.Recorder.Boxes.contains("Debug Mode enabled|The Debug Mode has been enabled !"));
    road.Recorder.Boxes.clear();

    road.ui()->actionDebug_Mode->trigger();
    QPointer<Window_Debug> window = w.DebugWindow.data();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    Ui::Window_Debug* ui = window->ui;

    QTimer::singleShot(100, window, [window, p_sPath]() {
        auto* pDialog = window->findChild<QFileDialog*>();
        QVERIFY(pDialog);
        const QFileInfo info(p_sPath);
        pDialog->setDirectory(info.absolutePath());
        auto* pEdit = pDialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(pEdit);
        pEdit->setText(info.fileName());
        static_cast<QDialog*>(pDialog)->accept();
    });
    QTest::mouseClick(ui->pushButton_BrowseFile, Qt::LeftButton);
    QCOMPARE(window->filePath(), p_sPath);

    ui->checkBox_RAWImages->setChecked(true);
    ui->checkBox_MinVal->setChecked(true);
    ui->checkBox_MeanVal->setChecked(true);
    ui->spinBox_NumberImages->setValue(5);

    // The frames the main window hands the report, in order (after the window's own slot).
    QList<FrameStatistics> sent;
    const QMetaObject::Connection c =
        connect(&w, &MainWindow::SendImageToDebug, this, [&sent](cv::Mat p_Raw, cv::Mat) {
            sent << ComputeFrameStatistics(p_Raw);
        });
    QTest::mouseClick(ui->pushButton_StartDebug, Qt::LeftButton);
    QVERIFY(window->isRunning());
    QTRY_VERIFY2_WITH_TIMEOUT(!window->isRunning(), qPrintable(QString("lines %1 frames shown %2 sent %3 counter %4 busy %5 ready %6 stop %7").arg(window->linesWritten()).arg(w.FramesDisplayed.load()).arg(sent.size()).arg(w.FrameCounter.load()).arg(bool(g_bDisplayBusy)).arg(bool(w.CameraLinkFrameReady)).arg(bool(w.StopAcquisition))), 30000);
    disconnect(c);
    QVERIFY2(road.Recorder.Boxes.isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
    QCOMPARE(ui->pushButton_StartDebug->text(), QStringLiteral("START"));
    QVERIFY(!w.DebugRunning);

    // Five lines from the first five frames; the sixth ends the report.
    QVERIFY(sent.size() >= 6);
    const QByteArray text = ReadAll(p_sPath);
    const int iBody = text.indexOf("#Measure;Mean;Std;Min;Max;Mean;Std;Min;Max\n");
    QVERIFY(iBody > 0);
    const int iEnd = text.indexOf("\n\nEnding Time: ");
    QVERIFY2(iEnd > iBody, text.constData());
    const QList<QByteArray> lines = text.mid(iBody, iEnd - iBody + 1).split('\n').mid(1, 5);
    DebugReportChoice choice;
    choice.Raw = true;
    choice.Mean = true;
    choice.Min = true;
    for (int i = 0; i < 5; ++i) {
        // The simulated sensor's pedestal keeps the mean well above 0 (its
        // planted dead pixels may give a minimum of 0).
        QVERIFY(sent[i].Mean > 5000);
        QVERIFY(sent[i].Mean > sent[i].Min);
        QCOMPARE(lines[i] + '\n', DebugReportMeasureLine(i + 1, choice, sent[i], FrameStatistics{}));
    }
    QVERIFY(text.endsWith('\n'));
    QCOMPARE(text.mid(iEnd).count('\n'), 3);
}

QTEST_MAIN(TestDebugWindowRoad)
#include "tst_debug_window_road.moc"
