// The proxy-board test window: proxy captions and defaults, the three presets, and the test sequence's signals, prompts and waits.
#include "params/proxy_lookup.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "support/test_app_folder.h"
#include "tools/Window_TestProxy.h"
#include "ui_Window_TestProxy.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// Every signal of the window, in the order emitted, as "name value", with
// the time each came (ns on one clock).
struct Recorder : QObject
{
    QStringList Calls;
    QList<qint64> Times;
    QStringList Prompts;
    QTimer Poll;
    QElapsedTimer Clock;
    void note(const QString& p_sCall)
    {
        Times << Clock.nsecsElapsed();
        Calls << p_sCall;
    }
    explicit Recorder(Window_TestProxy* w)
    {
        Clock.start();
        auto rec = [this](const char* n) { return [this, n](int v) { note(QString("%1 %2").arg(n).arg(v)); }; };
        connect(w, &Window_TestProxy::ValueTINT_changed, this, rec("TINT"));
        connect(w, &Window_TestProxy::ValueDAC_A_changed, this, rec("DACA"));
        connect(w, &Window_TestProxy::ValueDAC_B_changed, this, rec("DACB"));
        connect(w, &Window_TestProxy::ValueDAC_C_changed, this, rec("DACC"));
        connect(w, &Window_TestProxy::ValueDAC_D_changed, this, rec("DACD"));
        connect(w, &Window_TestProxy::ValueGain_changed, this, rec("Gain"));
        connect(w, &Window_TestProxy::ValueOffset_changed, this, rec("Offset"));
        connect(w, &Window_TestProxy::PushButton_SetParam, this, [this]() { note("SetParam"); });
        connect(w, &Window_TestProxy::PushButtonConnect, this, [this]() { note("Connect"); });
        connect(w, &Window_TestProxy::PushButtonTakeFPN, this, [this]() { note("TakeFPN"); });
        connect(w, &Window_TestProxy::SaveBMPImage, this, [this](QString s) { note("Save " + s); });
        // The prompts as the operator sees them.
        connect(&Poll, &QTimer::timeout, this, [this]() {
            for (QWidget* pTop : QApplication::topLevelWidgets())
                if (auto* pBox = qobject_cast<QMessageBox*>(pTop); pBox && pBox->isVisible()) {
                    const QString s = pBox->windowTitle() + "|" + pBox->text();
                    if (Prompts.isEmpty() || Prompts.last() != s)
                        Prompts << s;
                }
        });
        Poll.start(50);
    }
};

void Run(Window_TestProxy& w)
{
    QSignalSpy finished(&w, &Window_TestProxy::TestFinished);
    QTest::mouseClick(w.ui->pushButton, Qt::LeftButton);
    QVERIFY(finished.wait(60000));
}

} // namespace

class TestTestProxyWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitProxyParameterTable(); }
    void openedWithTheStandardPreset();
    void proxyListIsTheSharedListWithoutZ633();
    void proxyChoice_data();
    void proxyChoice();
    void presets_data();
    void presets();
    void everyOptionOff();
    void fullSequenceOnGskDacB();
    void gskVariationWithoutAChannel();
    void closeDuringARunDisconnectsFirst();
    void waitsNeverEndEarly();
    void progressFollowsTheRun();
    void connectedBoardIsTakenDownFirst();
    void stoppedRunDisconnectsAndKeepsItsProgress();
};

// The window shows the parameter library's proxy texts, in their order, with
// only Z633 left out; a text it offers selects the record the library names
// for it, or the "No Proxy" record when the test has no entry for the model.
void TestTestProxyWindow::proxyListIsTheSharedListWithoutZ633()
{
    TestAppFolder folder;
    Window_TestProxy w;
    QComboBox* pList = w.ui->comboBox_SelectProxy;
    QStringList expected;
    for (const char* szName : kProxyListNames)
        if (QLatin1String(szName) != QLatin1String("Z633"))
            expected << QString::fromLatin1(szName);
    QStringList shown;
    for (int i = 0; i < pList->count(); ++i)
        shown << pList->itemText(i);
    QCOMPARE(shown, expected);
    QCOMPARE(shown.size(), kProxyListSize - 1);

    for (int i = 2; i < pList->count(); ++i) {
        pList->setCurrentIndex(i);
        const int iRecord = GetProxyIndexFromName(pList->itemText(i).toStdString()) + 1;
        QCOMPARE(QString::fromLatin1(ProxyModelName(iRecord)), pList->itemText(i));
        if (w.proxyIndex() != 13)
            QCOMPARE(int(w.proxyIndex()), iRecord);
    }
}

void TestTestProxyWindow::openedWithTheStandardPreset()
{
    TestAppFolder folder;
    Window_TestProxy w;
    auto* ui = w.ui;
    QCOMPARE(ui->comboBox_SelectProxy->count(), 22);
    QCOMPARE(ui->comboBox_SelectProxy->itemText(0), QStringLiteral("Proxy Board..."));
    QCOMPARE(ui->comboBox_SelectProxy->itemText(21), QStringLiteral("T230"));
    QCOMPARE(ui->comboBox_PredefinedTest->count(), 3);
    QCOMPARE(ui->comboBox_PredefinedTest->currentText(), QStringLiteral("Standard"));
    for (QCheckBox* pBox : {ui->checkBox_SaveReport, ui->checkBox_SaveBMP, ui->checkBox_ChangeBIAS, ui->checkBox_NUC,
                            ui->checkBox_GSKVariation})
        QVERIFY(pBox->isChecked());
    QCOMPARE(ui->spinBox_Gain->value(), 12);
    QCOMPARE(ui->spinBox_Offset->value(), 2500);
    QCOMPARE(ui->spinBox_GSKVariation->value(), 50);
    QCOMPARE(ui->spinBox_ObservationTime->value(), 5000);
    QVERIFY(ui->spinBox_TINT->isEnabled());
    QVERIFY(ui->spinBox_Gain->isEnabled());
    QVERIFY(ui->spinBox_GSKVariation->isEnabled());
    QVERIFY(!ui->spinBox_ObservationTime->isEnabled());
    QCOMPARE(ui->label_DACA->text(), QStringLiteral("DAC A"));
    QCOMPARE(w.proxyIndex(), uint8_t(13));
}

void TestTestProxyWindow::proxyChoice_data()
{
    QTest::addColumn<QString>("proxy");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("Y1436") << "Y1436" << 6 << QStringList{"TINT", "VSK", "GFID", "VBUS", "GSK"};
    QTest::newRow("Z668") << "Z668" << 2 << QStringList{"TINT", "GFID", "GSK", "", ""};
    QTest::newRow("Z602 as No Proxy") << "Z602" << 13 << QStringList{"", "", "", "", ""};
    QTest::newRow("No Proxy") << "No Proxy" << 13 << QStringList{"", "", "", "", ""};
}

void TestTestProxyWindow::proxyChoice()
{
    QFETCH(QString, proxy);
    QFETCH(int, index);
    QFETCH(QStringList, captions);
    Window_TestProxy w;
    w.show();
    w.ui->comboBox_SelectProxy->setCurrentText(proxy);
    QCOMPARE(int(w.proxyIndex()), index);
    QCOMPARE(w.selectedProxyName(), index == 13 ? QString() : proxy);
    QLabel* labels[5] = {w.ui->label_TINT, w.ui->label_DACA, w.ui->label_DACB, w.ui->label_DACC, w.ui->label_DACD};
    QSpinBox* boxes[5] = {w.ui->spinBox_TINT, w.ui->spinBox_DACA, w.ui->spinBox_DACB, w.ui->spinBox_DACC,
                          w.ui->spinBox_DACD};
    const int cells[5] = {ProxyParameterId::TINT, ProxyParameterId::DAC_A, ProxyParameterId::DAC_B,
                          ProxyParameterId::DAC_C, ProxyParameterId::DAC_D};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(labels[i]->text(), captions[i]);
        QCOMPARE(boxes[i]->isVisible(), !captions[i].isEmpty());
        QCOMPARE(boxes[i]->value(), int(std::min<uint32_t>(GetCurrent(index, cells[i]), 4095)));
    }
}

void TestTestProxyWindow::presets_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<bool>("report");
    QTest::addColumn<bool>("bias");
    QTest::addColumn<int>("variation");
    QTest::addColumn<int>("observation");
    QTest::newRow("Quick") << "Quick" << false << false << 100 << 1000;
    QTest::newRow("Standard") << "Standard" << true << true << 50 << 5000;
    QTest::newRow("Intensive") << "Intensive" << true << true << 100 << 5000;
}

void TestTestProxyWindow::presets()
{
    QFETCH(QString, preset);
    QFETCH(bool, report);
    QFETCH(bool, bias);
    QFETCH(int, variation);
    QFETCH(int, observation);
    Window_TestProxy w;
    w.ui->comboBox_PredefinedTest->setCurrentText("Intensive");
    w.ui->comboBox_PredefinedTest->setCurrentText(preset);
    QCOMPARE(w.ui->checkBox_SaveReport->isChecked(), report);
    QCOMPARE(w.ui->checkBox_SaveBMP->isChecked(), bias);
    QCOMPARE(w.ui->checkBox_ChangeBIAS->isChecked(), bias);
    // The boxes were clicked, so their spin boxes follow.
    QCOMPARE(w.ui->spinBox_TINT->isEnabled(), bias);
    QVERIFY(w.ui->checkBox_NUC->isChecked());
    QVERIFY(w.ui->checkBox_GSKVariation->isChecked());
    QCOMPARE(w.ui->spinBox_GSKVariation->value(), variation);
    QCOMPARE(w.ui->spinBox_ObservationTime->value(), observation);
    QCOMPARE(w.ui->spinBox_Gain->value(), 12);
    QCOMPARE(w.ui->spinBox_Offset->value(), 2500);
}

void TestTestProxyWindow::everyOptionOff()
{
    Window_TestProxy w;
    w.show();
    Recorder r(&w);
    for (QCheckBox* pBox : {w.ui->checkBox_SaveBMP, w.ui->checkBox_ChangeBIAS, w.ui->checkBox_NUC,
                            w.ui->checkBox_GSKVariation})
        pBox->click();
    w.ui->spinBox_ObservationTime->setValue(300);
    QElapsedTimer t;
    t.start();
    Run(w);
    // Two presses 500 ms apart, two observation waits, the third press.
    QVERIFY2(t.elapsed() >= 1400, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(r.Calls, (QStringList{"Connect", "Connect", "Connect"}));
    QVERIFY(r.Prompts.isEmpty());
    QCOMPARE(w.ui->progressBar->value(), 100);
    QVERIFY(w.ui->pushButton->isEnabled());
}

void TestTestProxyWindow::fullSequenceOnGskDacB()
{
    // Z668: GSK on DAC B. Standard preset with a short observation time.
    Window_TestProxy w;
    w.show();
    w.ui->comboBox_SelectProxy->setCurrentText("Z668");
    w.ui->spinBox_TINT->setValue(100);
    w.ui->spinBox_DACA->setValue(1000);
    w.ui->spinBox_DACB->setValue(4050);
    w.ui->spinBox_DACC->setValue(3);
    w.ui->spinBox_DACD->setValue(4);
    w.ui->spinBox_GSKVariation->setValue(100);
    w.ui->spinBox_ObservationTime->setValue(200);
    Recorder r(&w);
    bool bStartRefused = false;
    QTimer::singleShot(700, &w, [&]() { bStartRefused = !w.ui->pushButton->isEnabled(); });
    Run(w);
    QVERIFY(bStartRefused);
    // The window neither clamps the GSK sums nor restores the DAC.
    QCOMPARE(r.Calls, (QStringList{"Connect", "Connect", "TINT 100", "DACA 1000", "DACB 4050", "DACC 3", "DACD 4",
                                   "SetParam", "Save Test.bmp", "TakeFPN", "Gain 12", "Offset 2500", "DACB 4150",
                                   "SetParam", "DACB 3950", "SetParam", "Connect"}));
    QCOMPARE(r.Prompts, (QStringList{"Put shutter|Please put a shutter in front of the lens. ",
                                     "Remove shutter|Please remove the shutter."}));
}

void TestTestProxyWindow::gskVariationWithoutAChannel()
{
    Window_TestProxy w;
    w.show();
    w.ui->comboBox_SelectProxy->setCurrentText("No Proxy");
    w.ui->comboBox_PredefinedTest->setCurrentText("Quick");
    w.ui->checkBox_NUC->click();
    w.ui->spinBox_ObservationTime->setValue(100);
    Recorder r(&w);
    Run(w);
    QCOMPARE(r.Calls, (QStringList{"Connect", "Connect", "SetParam", "SetParam", "Connect"}));
}

void TestTestProxyWindow::closeDuringARunDisconnectsFirst()
{
    auto* w = new Window_TestProxy;
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<Window_TestProxy> guard(w);
    w->show();
    w->ui->spinBox_ObservationTime->setValue(3000);
    Recorder r(w);
    QTimer::singleShot(1500, w, [w]() { QVERIFY(!w->close()); });
    QTest::mouseClick(w->ui->pushButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 10000);
    // Connected and started by the two presses, then the closing press: disconnected.
    QCOMPARE(r.Calls.first(), QStringLiteral("Connect"));
    QCOMPARE(r.Calls.count("Connect"), 3);
    QCOMPARE(r.Calls.last(), QStringLiteral("Connect"));
}

void TestTestProxyWindow::waitsNeverEndEarly()
{
    // Each wait from the signal that precedes it to the one that follows: the
    // opening presses 500 ms apart, BIAS 2000 ms and the observation time, the
    // shutter prompts 2000 ms each, then every GSK step one observation time.
    Window_TestProxy w;
    w.show();
    w.ui->comboBox_SelectProxy->setCurrentText("Z668");
    w.ui->checkBox_SaveBMP->click();
    constexpr int kObserve = 300;
    w.ui->spinBox_ObservationTime->setValue(kObserve);
    Recorder r(&w);
    // The prompts close themselves; the operator leaves them alone.
    Run(w);
    QCOMPARE(r.Calls, (QStringList{"Connect", "Connect", "TINT " + QString::number(w.ui->spinBox_TINT->value()),
                                   r.Calls.value(3), r.Calls.value(4), r.Calls.value(5), r.Calls.value(6), "SetParam",
                                   "TakeFPN", "Gain 12", "Offset 2500", r.Calls.value(11), "SetParam",
                                   r.Calls.value(13), "SetParam", "Connect"}));
    const struct
    {
        int From, To, AtLeastMs;
    } waits[] = {{0, 1, 500}, {1, 2, 500}, {7, 8, 2000 + kObserve + 2000}, {8, 9, 2000},
                 {10, 11, kObserve}, {12, 13, kObserve}, {14, 15, kObserve}};
    for (const auto& wait : waits) {
        const qint64 iNs = r.Times[wait.To] - r.Times[wait.From];
        // The opening presses are timed from just before the press is made.
        const qint64 iSlackNs = wait.From < 2 ? 1000000 : 0;
        QVERIFY2(iNs + iSlackNs >= qint64(wait.AtLeastMs) * 1000000,
                 qPrintable(QString("%1 -> %2: %3 ms, asked %4 ms")
                                .arg(r.Calls[wait.From], r.Calls[wait.To])
                                .arg(iNs / 1e6)
                                .arg(wait.AtLeastMs)));
    }
}

void TestTestProxyWindow::progressFollowsTheRun()
{
    Window_TestProxy w;
    w.show();
    // As the form has it before the first run.
    QCOMPARE(w.ui->progressBar->value(), 24);
    QCOMPARE(w.windowTitle(), QStringLiteral("Form"));
    w.ui->comboBox_PredefinedTest->setCurrentText("Quick");
    w.ui->spinBox_ObservationTime->setValue(100);
    Recorder r(&w);
    QList<int> values;
    connect(w.ui->progressBar, &QProgressBar::valueChanged, &w, [&](int v) { values << v; });
    Run(w);
    QVERIFY2(values.size() > 5, qPrintable(QString::number(values.size())));
    QCOMPARE(values.first(), 0);
    QCOMPARE(values.last(), 100);
    for (int i = 1; i < values.size(); ++i)
        QVERIFY(values[i] > values[i - 1]);
}

void TestTestProxyWindow::connectedBoardIsTakenDownFirst()
{
    Window_TestProxy w;
    w.show();
    w.ui->comboBox_PredefinedTest->setCurrentText("Quick");
    w.ui->checkBox_NUC->click();
    w.ui->checkBox_GSKVariation->click();
    w.ui->spinBox_ObservationTime->setValue(50);
    w.setBoardConnected(true);
    Recorder r(&w);
    // The main window takes the board down some time after it is asked.
    QSignalSpy asked(&w, &Window_TestProxy::DisconnectBoard);
    connect(&w, &Window_TestProxy::DisconnectBoard, &w, [&]() {
        r.note("Disconnect");
        QTimer::singleShot(300, &w, [&]() { w.setBoardConnected(false); });
    });
    // The presses connect the board, and the closing one takes it down again.
    int iPresses = 0;
    connect(&w, &Window_TestProxy::PushButtonConnect, &w, [&]() { w.setBoardConnected(++iPresses < 3); });
    Run(w);
    QCOMPARE(asked.count(), 1);
    QCOMPARE(r.Calls, (QStringList{"Disconnect", "Connect", "Connect", "Connect"}));
    QVERIFY(r.Times[1] - r.Times[0] >= 300 * 1000000LL);
    QCOMPARE(w.ui->progressBar->value(), 100);
}

void TestTestProxyWindow::stoppedRunDisconnectsAndKeepsItsProgress()
{
    // The main window stops the run when the BIAS parameters do not go out.
    Window_TestProxy w;
    w.show();
    w.ui->spinBox_ObservationTime->setValue(100);
    Recorder r(&w);
    connect(&w, &Window_TestProxy::PushButton_SetParam, &w, [&]() { w.stopRun(); });
    Run(w);
    QCOMPARE(r.Calls.mid(r.Calls.indexOf("SetParam")), (QStringList{"SetParam", "Connect"}));
    QCOMPARE(r.Calls.count("Connect"), 3);
    QVERIFY(r.Prompts.isEmpty());
    QVERIFY(w.ui->progressBar->value() < 100);
    QVERIFY(!w.isRunning());
    QVERIFY(w.ui->pushButton->isEnabled());
}

QTEST_MAIN(TestTestProxyWindow)
#include "tst_test_proxy_window.moc"
