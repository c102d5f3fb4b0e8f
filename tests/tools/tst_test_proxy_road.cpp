// The proxy-board test's three presets end to end: opened from the main window, connecting, writing to and disconnecting a simulated GigE board, with the operator's prompts and the saved test image.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/road_bench.h"

#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "sim/core/board_registry.h"
#include "tools/Window_TestProxy.h"
#include "ui_Window_TestProxy.h"

#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>

#include <memory>

#include <opencv2/imgcodecs.hpp>

using namespace sim;

namespace {

// Z668: 640 x 480, GSK on DAC B.
constexpr int kZ668 = 2;

// The values the board received for one register, in order: the GigE UART "!<letter><4 digits>"
// commands ('1' TINT, '3' ADD03, which carries the GSK of Z668).
QList<int> UartWrites(char p_cLetter)
{
    QList<int> out;
    for (const QByteArray& b : RecordedBytes(BoardKind::Dunstel, "uart"))
        if (b.size() >= 6 && b[0] == '!' && b[1] == p_cLetter)
            out << b.mid(2, 4).toInt();
    return out;
}

QList<int> Tail(const QList<int>& p_List, int p_iCount)
{
    return p_List.mid(std::max(0, int(p_List.size()) - p_iCount));
}

// The prompts as the operator sees them: every message box shown, in order.
struct PromptWatcher
{
    QStringList Prompts;
    QTimer Poll;
    PromptWatcher()
    {
        QObject::connect(&Poll, &QTimer::timeout, [this]() {
            for (QWidget* pTop : QApplication::topLevelWidgets())
                if (auto* pBox = qobject_cast<QMessageBox*>(pTop); pBox && pBox->isVisible()) {
                    const QString s = pBox->windowTitle() + "|" + pBox->text();
                    if (Prompts.isEmpty() || Prompts.last() != s)
                        Prompts << s;
                }
        });
        Poll.start(20);
    }
};

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

int TestWindows()
{
    int n = 0;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (qobject_cast<Window_TestProxy*>(pWidget) && pWidget->isVisible())
            ++n;
    return n;
}

} // namespace

class TestTestProxyRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void cleanupTestCase() { SetFastMode(false); }
    void presetOnASimulatedBoard_data();
    void presetOnASimulatedBoard();
    void startedWhileStreaming();
    void declinedTintEndsTheRun();
    void secondPressRaisesTheRunningTest();
};

void TestTestProxyRoad::presetOnASimulatedBoard_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<bool>("bias");        // BIAS / TINT written, and the raw image saved
    QTest::addColumn<int>("variation");
    QTest::newRow("Quick") << "Quick" << false << 100;
    QTest::newRow("Standard") << "Standard" << true << 50;
    QTest::newRow("Intensive") << "Intensive" << true << 100;
}

void TestTestProxyRoad::presetOnASimulatedBoard()
{
    QFETCH(QString, preset);
    QFETCH(bool, bias);
    QFETCH(int, variation);
    Road road(BoardKind::Dunstel, kZ668);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(BoardKindIndex(::BoardKind::Dunstel));
    // The image is saved relative to the working folder.
    const QString sWorking = QDir::currentPath();
    QVERIFY(QDir::setCurrent(road.Folder.rootPath()));
    struct Restore
    {
        QString Path;
        ~Restore() { QDir::setCurrent(Path); }
    } restore{sWorking};

    road.ui()->actionProxy_Test->setEnabled(true);
    road.ui()->actionProxy_Test->trigger();
    QPointer<Window_TestProxy> window = w.TestProxyWindow.data();
    QVERIFY(window);
    Ui::Window_TestProxy* ui = window->ui;
    ui->comboBox_SelectProxy->setCurrentText("Z668");
    ui->comboBox_PredefinedTest->setCurrentText(preset);
    QCOMPARE(ui->checkBox_ChangeBIAS->isChecked(), bias);
    QCOMPARE(ui->checkBox_SaveBMP->isChecked(), bias);
    QVERIFY(ui->checkBox_NUC->isChecked());
    QVERIFY(ui->checkBox_GSKVariation->isChecked());
    QCOMPARE(ui->spinBox_GSKVariation->value(), variation);
    QCOMPARE(ui->spinBox_ObservationTime->value(), preset == "Quick" ? 1000 : 5000);
    // Every wait a quarter of the operator's: the board streams fast enough.
    window->setWaitDivisor(4);
    const int iGsk = ui->spinBox_DACB->value();
    QCOMPARE(iGsk, int(GetCurrent(kZ668, ProxyParameterId::DAC_B)));
    if (bias) {
        ui->spinBox_TINT->setValue(300);
        ui->spinBox_DACB->setValue(iGsk - 20);
    }
    const int iBaseGsk = ui->spinBox_DACB->value();
    // The operator's own values in the main window before the run.
    const int iGainBefore = road.ui()->spinBox_ImageGain->value();
    const int iOffsetBefore = road.ui()->spinBox_ImageOffset->value();
    const int iTintBefore = road.ui()->spinBox_TINT->value();
    const int iDacBBefore = road.ui()->spinBox_DAC_B->value();
    QVERIFY(iGainBefore != 12 || iOffsetBefore != 2500);
    int iGainInRun = -1, iOffsetInRun = -1;
    connect(window.data(), &Window_TestProxy::ValueOffset_changed, this, [&]() {
        iGainInRun = road.ui()->spinBox_ImageGain->value();
        iOffsetInRun = road.ui()->spinBox_ImageOffset->value();
    });

    // What the board had received when the sequence's last parameters were sent
    // (the safe disconnection writes its own values after).
    QList<int> gskWrites, tintWrites;
    connect(window.data(), &Window_TestProxy::PushButton_SetParam, this, [&]() {
        gskWrites = UartWrites('3');
        tintWrites = UartWrites('1');
    });
    PromptWatcher watcher;
    QSignalSpy finished(window.data(), &Window_TestProxy::TestFinished);
    bool bStreamed = false;
    QTimer streaming;
    connect(&streaming, &QTimer::timeout, this, [&]() { bStreamed = bStreamed || w.FrameCounter > 3; });
    streaming.start(20);
    QTest::mouseClick(ui->pushButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 90000);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000);
    QVERIFY2(bStreamed, "the two opening presses connected and started the acquisition");

    // Beside the main window's own "Connecting" and "Deinitializing" notices.
    const QStringList prompts = watcher.Prompts.filter(QRegularExpression("^(Put|Remove) shutter\\|"));
    QVERIFY2(prompts.size() == 2, qPrintable(watcher.Prompts.join('\n')));
    QCOMPARE(prompts, (QStringList{"Put shutter|Please put a shutter in front of the lens. ",
                                           "Remove shutter|Please remove the shutter."}));
    // The GSK of the proxy (DAC B) stepped up, then down, by the variation around the window's value;
    // with BIAS the window's own values went to the board first.
    QList<int> expectedGsk{iBaseGsk + variation, iBaseGsk - variation};
    if (bias)
        expectedGsk.prepend(iBaseGsk);
    QCOMPARE(Tail(gskWrites, expectedGsk.size()), expectedGsk);
    QCOMPARE(tintWrites.contains(300), bias);   // TINT
    // Gain and offset reach the main window's boxes during the run; once it
    // is over the operator's own values are back, and those of the registers.
    QCOMPARE(iGainInRun, 12);
    QCOMPARE(iOffsetInRun, 2500);
    QCOMPARE(road.ui()->spinBox_ImageGain->value(), iGainBefore);
    QCOMPARE(road.ui()->spinBox_ImageOffset->value(), iOffsetBefore);
    QCOMPARE(road.ui()->spinBox_TINT->value(), iTintBefore);
    QCOMPARE(road.ui()->spinBox_DAC_B->value(), iDacBBefore);
    QCOMPARE(ui->progressBar->value(), 100);
    QCOMPARE(window->windowTitle(), QStringLiteral("Form"));

    const QString sImage = road.Folder.rootPath() + "/Test.bmp";
    QCOMPARE(QFileInfo::exists(sImage), bias);
    if (bias) {
        const cv::Mat image = cv::imread(sImage.toStdString(), cv::IMREAD_UNCHANGED);
        QCOMPARE(image.cols, 640);
        QCOMPARE(image.rows, 480);
    }
    window->close();
    QTRY_VERIFY(window.isNull());
}

void TestTestProxyRoad::startedWhileStreaming()
{
    Road road(BoardKind::Dunstel, kZ668);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(BoardKindIndex(::BoardKind::Dunstel));
    const QString sWorking = QDir::currentPath();
    QVERIFY(QDir::setCurrent(road.Folder.rootPath()));
    struct Restore
    {
        QString Path;
        ~Restore() { QDir::setCurrent(Path); }
    } restore{sWorking};
    road.press();
    QVERIFY2(w.Connected, qPrintable(road.Recorder.Boxes.join('\n')));
    const int iGainBefore = road.ui()->spinBox_ImageGain->value();
    const int iOffsetBefore = road.ui()->spinBox_ImageOffset->value();

    // The operator starts the stream, then the test from its menu action.
    PromptWatcher watcher;
    QPointer<Window_TestProxy> window;
    std::unique_ptr<QSignalSpy> finished;
    QStringList stateAtParameters;
    auto* pPoll = new QTimer(&w);
    connect(pPoll, &QTimer::timeout, &w, [&]() {
        if (road.ui()->pushButton_Start->text() != "Safe\ndisconnection" || !road.ui()->pushButton_Start->isEnabled()
            || w.StopAcquisition || w.FrameCounter <= 3)
            return;
        pPoll->stop();
        road.ui()->actionProxy_Test->setEnabled(true);
        road.ui()->actionProxy_Test->trigger();
        window = w.TestProxyWindow.data();
        window->ui->comboBox_SelectProxy->setCurrentText("Z668");
        window->ui->comboBox_PredefinedTest->setCurrentText("Quick");
        window->setWaitDivisor(4);
        finished = std::make_unique<QSignalSpy>(window.data(), &Window_TestProxy::TestFinished);
        // Where the board is whenever the test sends parameters.
        connect(window.data(), &Window_TestProxy::PushButton_SetParam, &w, [&]() {
            stateAtParameters << QString("%1 %2").arg(w.Connected ? "connected" : "disconnected",
                                                      road.ui()->pushButton_Start->text());
        });
        QTest::mouseClick(window->ui->pushButton, Qt::LeftButton);
    });
    pPoll->start(10);
    QTimer::singleShot(0, &w, [&]() { road.press(); });   // the stream runs below this press
    QTRY_VERIFY_WITH_TIMEOUT(finished && finished->count() == 1, 90000);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000);

    QVERIFY2(road.Recorder.Boxes.filter("ERROR set parameters").isEmpty(), qPrintable(road.Recorder.Boxes.join('\n')));
    // The two GSK steps, each on the stream the test started itself.
    QCOMPARE(stateAtParameters, (QStringList{"connected Safe\ndisconnection", "connected Safe\ndisconnection"}));
    const QStringList prompts = watcher.Prompts.filter(QRegularExpression("^(Put|Remove) shutter\\|"));
    QCOMPARE(prompts, (QStringList{"Put shutter|Please put a shutter in front of the lens. ",
                                   "Remove shutter|Please remove the shutter."}));
    QCOMPARE(window->ui->progressBar->value(), 100);
    QCOMPARE(road.ui()->spinBox_ImageGain->value(), iGainBefore);
    QCOMPARE(road.ui()->spinBox_ImageOffset->value(), iOffsetBefore);
    QCOMPARE(road.ui()->pushButton_Start->text(), QStringLiteral("Connect"));
    window->close();
    QTRY_VERIFY(window.isNull());
}

void TestTestProxyRoad::declinedTintEndsTheRun()
{
    Road road(BoardKind::Dunstel, kZ668);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(BoardKindIndex(::BoardKind::Dunstel));
    const QString sWorking = QDir::currentPath();
    QVERIFY(QDir::setCurrent(road.Folder.rootPath()));
    struct Restore
    {
        QString Path;
        ~Restore() { QDir::setCurrent(Path); }
    } restore{sWorking};
    // The operator answers "No" to the TINT question.
    QStringList boxes;
    SetMessageBoxPresenter([&](const MessageBoxRequest& p_Request) {
        boxes << p_Request.title;
        return p_Request.title == "TINT Value outside nominal range" ? 1 : 0;
    });

    road.ui()->actionProxy_Test->setEnabled(true);
    road.ui()->actionProxy_Test->trigger();
    QPointer<Window_TestProxy> window = w.TestProxyWindow.data();
    Ui::Window_TestProxy* ui = window->ui;
    ui->comboBox_SelectProxy->setCurrentText("Z668");
    ui->comboBox_PredefinedTest->setCurrentText("Standard");
    window->setWaitDivisor(4);
    // A sensor read at half its width: the window's TINT is beyond the nominal
    // range once sent (the main box keeps it within the full width).
    ui->spinBox_TINT->setValue(4095);
    const uint32_t uDivisor = GetCurrent(kZ668, ProxyParameterId::WindowingDivisor);
    connect(window.data(), &Window_TestProxy::ValueTINT_changed, this,
            [&]() { SetCurrent(kZ668, ProxyParameterId::WindowingDivisor, 2); });
    const int iTintBefore = road.ui()->spinBox_TINT->value();
    PromptWatcher watcher;
    QSignalSpy finished(window.data(), &Window_TestProxy::TestFinished);
    QSignalSpy fpn(window.data(), &Window_TestProxy::PushButtonTakeFPN);
    QTest::mouseClick(ui->pushButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000);
    SetCurrent(kZ668, ProxyParameterId::WindowingDivisor, uDivisor);
    QVERIFY2(boxes.contains("TINT Value outside nominal range"), qPrintable(boxes.join('\n')));
    QVERIFY2(boxes.filter("Critical").isEmpty(), qPrintable(boxes.join('\n')));
    // Nothing after the declined parameters: no image, no shutter, no FPN.
    QCOMPARE(fpn.count(), 0);
    QVERIFY(watcher.Prompts.filter(QRegularExpression("^(Put|Remove) shutter\\|")).isEmpty());
    QVERIFY(!QFileInfo::exists(road.Folder.rootPath() + "/Test.bmp"));
    QVERIFY(ui->progressBar->value() < 100);
    QCOMPARE(road.ui()->spinBox_TINT->value(), iTintBefore);
    QVERIFY(ui->pushButton->isEnabled());
    window->close();
    QTRY_VERIFY(window.isNull());
    SetMessageBoxPresenter([](const MessageBoxRequest&) { return 0; });
}

void TestTestProxyRoad::secondPressRaisesTheRunningTest()
{
    Road road(BoardKind::Dunstel, kZ668);
    MainWindow& w = *road.Window;
    road.ui()->comboBox_SelectDigiBoard->setCurrentIndex(BoardKindIndex(::BoardKind::Dunstel));
    const QString sWorking = QDir::currentPath();
    QVERIFY(QDir::setCurrent(road.Folder.rootPath()));
    struct Restore
    {
        QString Path;
        ~Restore() { QDir::setCurrent(Path); }
    } restore{sWorking};
    road.ui()->actionProxy_Test->setEnabled(true);
    road.ui()->actionProxy_Test->trigger();
    QPointer<Window_TestProxy> first = w.TestProxyWindow.data();
    QVERIFY(first);
    first->ui->comboBox_SelectProxy->setCurrentText("Z668");
    first->ui->comboBox_PredefinedTest->setCurrentText("Quick");
    first->setWaitDivisor(4);
    FrontCounter front;
    first->installEventFilter(&front);
    QSignalSpy finished(first.data(), &Window_TestProxy::TestFinished);
    bool bChecked = false;
    // The second press comes while the first test runs, minimised meanwhile.
    connect(first.data(), &Window_TestProxy::PushButtonTakeFPN, this, [&]() {
        QVERIFY(first->isRunning());
        first->showMinimized();
        front.Raised = 0;
        road.ui()->actionProxy_Test->trigger();
        QCOMPARE(w.TestProxyWindow.data(), first.data());
        QCOMPARE(TestWindows(), 1);
        QVERIFY(!first->isMinimized());
        QVERIFY(front.Raised > 0);
        bChecked = true;
    });
    QTest::mouseClick(first->ui->pushButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 90000);
    QVERIFY(bChecked);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000);
    // Once the run is over the action makes a new window again.
    road.ui()->actionProxy_Test->trigger();
    QPointer<Window_TestProxy> second = w.TestProxyWindow.data();
    QVERIFY(second && second != first);

    // A window opened before is refused while the newer one runs: the
    // running one comes to the front instead.
    QSignalSpy firstStarted(first.data(), &Window_TestProxy::TestStarted);
    QSignalSpy firstFinished(first.data(), &Window_TestProxy::TestFinished);
    QSignalSpy firstPresses(first.data(), &Window_TestProxy::PushButtonConnect);
    QSignalSpy secondFinished(second.data(), &Window_TestProxy::TestFinished);
    second->ui->comboBox_SelectProxy->setCurrentText("Z668");
    second->ui->comboBox_PredefinedTest->setCurrentText("Quick");
    second->setWaitDivisor(4);
    FrontCounter secondFront;
    second->installEventFilter(&secondFront);
    bool bRefused = false;
    connect(second.data(), &Window_TestProxy::PushButtonTakeFPN, this, [&]() {
        secondFront.Raised = 0;
        QTest::mouseClick(first->ui->pushButton, Qt::LeftButton);
        bRefused = !first->isRunning() && secondFront.Raised > 0;
    });
    QTest::mouseClick(second->ui->pushButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(secondFinished.count() == 1, 90000);
    QVERIFY(bRefused);
    QCOMPARE(firstStarted.count(), 1);
    QCOMPARE(firstFinished.count(), 1);
    QCOMPARE(firstPresses.count(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Connected, 10000);
    first->close();
    second->close();
    QTRY_VERIFY(first.isNull() && second.isNull());
}

QTEST_MAIN(TestTestProxyRoad)
#include "tst_test_proxy_road.moc"
