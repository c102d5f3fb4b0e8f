// The main window's side of the debug, bad-pixel detection and proxy-test windows: made once or anew, handed the proxy and GSK, and wired to the main window's controls and flags.
#include "mainwindow/MainWindow.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "support/test_app_folder.h"
#include "tools/Window_Debug.h"
#include "tools/Window_DetectBP.h"
#include "tools/Window_TestProxy.h"
#include "ui_MainWindow.h"
#include "ui_Window_DetectBP.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestAnalysisWindows : public QObject
{
    Q_OBJECT

private slots:
    void lifeCycleAndWiring();
    void secondPressRaisesTheRunningDetection();
};

namespace {

// Counts the times a window is put in front of the others.
struct FrontCounter : QObject
{
    int Raised = 0;
    bool eventFilter(QObject*, QEvent* p_pEvent) override
    {
        if (p_pEvent->type() == QEvent::ZOrderChange)
            ++Raised;
        return false;
    }
};

template <class W>
int TopLevels()
{
    int n = 0;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (qobject_cast<W*>(pWidget) && pWidget->isVisible())
            ++n;
    return n;
}

} // namespace

void TestAnalysisWindows::lifeCycleAndWiring()
{
    TestAppFolder folder;
    SetMessageBoxPresenter([](const MessageBoxRequest&) { return 0; });
    {
        MainWindow w;
        // The debug window is made once by the constructor and only shown by its action.
        QPointer<Window_Debug> debug = w.DebugWindow;
        QVERIFY(debug);
        QVERIFY(!debug->isVisible());
        w.ui->actionDebug_Mode->trigger();
        QVERIFY(debug->isVisible());
        QCOMPARE(w.DebugWindow.data(), debug.data());
        // Its start hands over the settings and switches the frame hand-off on; its stop switches it off.
        w.ui->spinBox_TINT->setValue(123);
        emit debug->signalDebugStart();
        QVERIFY(w.DebugRunning);
        emit debug->signalDebugStop();
        QVERIFY(!w.DebugRunning);

        // A new detection window at every use, given the record's GSK value.
        w.CurrentProxyIndex = 2;   // GSK on DAC B
        SetCurrent(2, ProxyParameterId::DAC_B, 1960);
        w.ui->actionDetectBP->setEnabled(true);
        w.ui->actionDetectBP->trigger();
        QPointer<Window_DetectBP> first = w.DetectBPWindow;
        w.ui->actionDetectBP->trigger();
        QPointer<Window_DetectBP> second = w.DetectBPWindow;
        QVERIFY(first && second && first != second);
        QVERIFY(second->Configured);
        QCOMPARE(second->CurrentProxyIndex, uint16_t(2));
        QCOMPARE(second->ui->spinBox_GSK_Min->value(), 1910);
        QCOMPARE(second->ui->spinBox_GSK_Max->value(), 2010);
        QVERIFY(second->testAttribute(Qt::WA_DeleteOnClose));
        // Its signals reach the main window's DAC box and detection flag; frames come back.
        const int iMax = w.ui->spinBox_DAC_B->maximum();
        emit second->ValueDAC_B_changed(iMax + 10);
        QCOMPARE(w.ui->spinBox_DAC_B->value(), iMax);
        emit second->BadPixelDetectionStaus(true);
        QVERIFY(w.BadPixelDetectionRunning);
        emit w.setImageForBPDetection(cv::Mat(4, 4, CV_16UC1, cv::Scalar(7)));
        QCOMPARE(second->LatestFrame.at<uint16_t>(0, 0), uint16_t(7));
        emit second->BadPixelDetectionStaus(false);
        QVERIFY(!w.BadPixelDetectionRunning);
        first->close();
        QTRY_VERIFY(first.isNull());

        // The proxy test drives the main window's spin boxes.
        w.ui->actionProxy_Test->setEnabled(true);
        w.ui->actionProxy_Test->trigger();
        QPointer<Window_TestProxy> test = w.TestProxyWindow;
        QVERIFY(test);
        emit test->ValueTINT_changed(321);
        emit test->ValueGain_changed(12);
        emit test->ValueOffset_changed(2500);
        QCOMPARE(w.ui->spinBox_TINT->value(), 321);
        QCOMPARE(w.ui->spinBox_ImageGain->value(), 12);
        QCOMPARE(w.ui->spinBox_ImageOffset->value(), 2500);

        w.close();
        QTRY_VERIFY(second.isNull());
        QTRY_VERIFY(test.isNull());
    }
    SetMessageBoxPresenter({});
}

void TestAnalysisWindows::secondPressRaisesTheRunningDetection()
{
    TestAppFolder folder;
    SetMessageBoxPresenter([](const MessageBoxRequest&) { return 0; });
    {
        MainWindow w;
        w.CurrentProxyIndex = 2;
        w.ui->actionDetectBP->setEnabled(true);
        w.ui->actionDetectBP->trigger();
        QPointer<Window_DetectBP> first = w.DetectBPWindow;
        QVERIFY(first);
        // An idle window is no obstacle: the action makes a new one, as before.
        w.ui->actionDetectBP->trigger();
        QPointer<Window_DetectBP> running = w.DetectBPWindow;
        QVERIFY(running && running != first);
        first->close();
        FrontCounter front;
        running->installEventFilter(&front);
        running->ui->checkBoxGSKAdjustment->click();
        bool bChecked = false;
        QTimer::singleShot(500, running.data(), [&]() {
            QVERIFY(running->isRunning());
            running->showMinimized();
            front.Raised = 0;
            w.ui->actionDetectBP->trigger();
            QCOMPARE(w.DetectBPWindow.data(), running.data());
            QCOMPARE(TopLevels<Window_DetectBP>(), 1);
            QVERIFY(!running->isMinimized());
            QVERIFY(front.Raised > 0);
            bChecked = true;
            running->close();   // ends the run first
        });
        QTest::mouseClick(running->ui->pushButton_Start, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(bChecked, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(running.isNull(), 20000);
        w.ui->actionDetectBP->trigger();
        QVERIFY(w.DetectBPWindow);
        w.close();
    }
    SetMessageBoxPresenter({});
}

QTEST_MAIN(TestAnalysisWindows)
#include "tst_analysis_windows.moc"
