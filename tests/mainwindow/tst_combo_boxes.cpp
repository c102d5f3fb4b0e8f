// The bad-pixel mode, interpolation and Bayer selectors: where each choice is stored and what reaches the board.
#include "mainwindow/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/kv_log.h"
#include "board/cameralink_serial.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "sim/core/board_registry.h"
#include "sim/core/message_recorder.h"
#include "sim/core/simulation_settings.h"
#include "support/test_app_folder.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

struct Bench
{
    TestAppFolder folder;
    std::unique_ptr<MainWindow> window;

    Bench()
    {
        sim::ResetSimulation();
        KV_Log::setMessageSink([](QMessageBox::Icon, const QString&, const QString&) {});
        SetMessageBoxPresenter([](const MessageBoxRequest&) { return 0; });
        window = std::make_unique<MainWindow>();
    }
    ~Bench()
    {
        window.reset();
        CloseCameraLinkSerial();
        SetMessageBoxPresenter(nullptr);
        KV_Log::setMessageSink(KV_Log::MessageSink());
        sim::ResetSimulation();
    }
    Ui::MainWindow* ui() const { return window->ui; }
    QString logText() const
    {
        const QStringList logs = QDir(folder.filePath("Logs")).entryList({"Log_*.txt"}, QDir::Files);
        if (logs.isEmpty())
            return QString();
        QFile file(folder.filePath("Logs/" + logs.first()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // Connects the board so that its serial link is open.
    void connect(int p_iKind)
    {
        ui()->comboBox_SelectDigiBoard->setCurrentIndex(p_iKind);
        window->PushButton_Start();
        QCOMPARE(ui()->pushButton_Start->text(), QString("Start"));
        sim::ClearRecordedMessages();
    }
};

} // namespace

class tst_combo_boxes : public QObject
{
    Q_OBJECT

private slots:
    void filledInItemOrder();
    void emptyTextDoesNothing();
    void badPixelModeOnBelmorPlus_data();
    void badPixelModeOnBelmorPlus();
    void arvexWithoutRefreshSendsNothing();
    void interpolationAndBayer();
    void unknownBoardNameDisablesTheButton();
};

void tst_combo_boxes::filledInItemOrder()
{
    Bench bench;
    QComboBox* pBoards = bench.ui()->comboBox_SelectDigiBoard;
    const QStringList boards = {"Digi board ...", "Arvex", "Belmor", "Belmor+", "Dunstel", "Eskra", "Corvane"};
    QCOMPARE(pBoards->count(), boards.size());
    for (int i = 0; i < boards.size(); ++i)
        QCOMPARE(pBoards->itemText(i), boards.at(i));
    QCOMPARE(bench.ui()->comboBox_BPCorrectionMode->itemText(6), QString("Mean Pixel"));
    QCOMPARE(bench.ui()->comboBox_InterpolationMethod->itemText(3), QString("Lanczoz4 Type"));
    QCOMPARE(bench.ui()->comboBox_BayerMode->itemText(4), QString("GR2RGB"));
    // One start-up line per selector, in the fill order.
    const QString sLog = bench.logText();
    const int iBP = sLog.indexOf("Change BP Correction Mode to No correction");
    const int iInterpolation = sLog.indexOf("Changed Interpolation method to NN Type");
    const int iBoard = sLog.indexOf("DigiBoard changed to Digi board ...");
    const int iBayer = sLog.indexOf("Changed Bayer Mode to No Bayer");
    QVERIFY(iBP >= 0 && iBP < iInterpolation && iInterpolation < iBoard && iBoard < iBayer);
}

void tst_combo_boxes::emptyTextDoesNothing()
{
    Bench bench;
    const QString sBefore = bench.logText();
    bench.window->ComboBox_BPCorrectionMode(QString());
    bench.window->ComboBox_InterpolationMethod(QString());
    bench.window->ComboBox_BayerMode(QString());
    bench.window->ComboBox_SelectDigiBoard(QString());
    QCOMPARE(bench.logText(), sBefore);
}

void tst_combo_boxes::badPixelModeOnBelmorPlus_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("fpgaValue"); // -1: software, nothing sent
    QTest::newRow("record 3, previous pixel") << 3 << 1 << 0;
    QTest::newRow("record 3, blink") << 3 << 4 << 6;
    QTest::newRow("record 4, black") << 4 << 2 << 10;
    QTest::newRow("no correction") << 3 << 0 << -1;
    QTest::newRow("line") << 3 << 5 << -1;
    QTest::newRow("mean pixel") << 4 << 6 << -1;
}

void tst_combo_boxes::badPixelModeOnBelmorPlus()
{
    QFETCH(int, record);
    QFETCH(int, mode);
    QFETCH(int, fpgaValue);
    Bench bench;
    sim::SimulationSettings().setProxyIndex(sim::BoardKind::BelmorPlus, record);
    bench.connect(3);
    QCOMPARE(bench.window->CurrentProxyIndex.load(), record);
    // Mode 0 is current already; start from another one so the change fires.
    bench.ui()->comboBox_BPCorrectionMode->setCurrentIndex(mode == 3 ? 2 : 3);
    sim::ClearRecordedMessages();
    bench.window->BadPixelFillReset = false;
    bench.ui()->comboBox_BPCorrectionMode->setCurrentIndex(mode);
    QCOMPARE(GetCurrent(record, ProxyParameterId::BPCorrectionMode), uint32_t(mode));
    const QList<QByteArray> sent = sim::RecordedBytes(sim::BoardKind::BelmorPlus, "serial");
    if (fpgaValue >= 0) {
        QCOMPARE(sent, (QList<QByteArray>{"!a016", "!b" + QByteArray::number(fpgaValue).rightJustified(3, '0')}));
        QVERIFY(!bench.window->BadPixelFillReset);
    } else {
        QVERIFY(sent.isEmpty());
        QVERIFY(bench.window->BadPixelFillReset);
    }
}

void tst_combo_boxes::arvexWithoutRefreshSendsNothing()
{
    Bench bench;
    bench.connect(1);
    bench.window->BadPixelFillReset = false;
    bench.ui()->comboBox_BPCorrectionMode->setCurrentIndex(3);
    QVERIFY(sim::RecordedBytes(sim::BoardKind::Arvex, "serial").isEmpty());
    QVERIFY(!bench.window->BadPixelFillReset);
    QCOMPARE(GetCurrent(bench.window->CurrentProxyIndex, ProxyParameterId::BPCorrectionMode), 3u);
}

void tst_combo_boxes::interpolationAndBayer()
{
    Bench bench;
    bench.ui()->comboBox_InterpolationMethod->setCurrentIndex(2);
    QCOMPARE(GetCurrent(0, ProxyParameterId::InterpolationMethod), 2u);
    bench.window->ComboBox_InterpolationMethod("fit linear type"); // case ignored
    QCOMPARE(GetCurrent(0, ProxyParameterId::InterpolationMethod), 1u);
    bench.window->ComboBox_InterpolationMethod("Unknown");
    QCOMPARE(GetCurrent(0, ProxyParameterId::InterpolationMethod), 1u);
    bench.ui()->comboBox_BayerMode->setCurrentIndex(3);
    QCOMPARE(bench.window->BayerCode.load(), 3);
    QVERIFY(bench.logText().contains("Changed Bayer Mode to GB2RGB"));
    bench.window->DisableInterpolationComboBox();
    QVERIFY(bench.ui()->comboBox_InterpolationMethod->testAttribute(Qt::WA_ForceDisabled));
    bench.window->EnableInterpolationComboBox();
    QVERIFY(!bench.ui()->comboBox_InterpolationMethod->testAttribute(Qt::WA_ForceDisabled));
}

void tst_combo_boxes::unknownBoardNameDisablesTheButton()
{
    Bench bench;
    bench.window->ComboBox_SelectDigiBoard("Digi board ...");
    QCOMPARE(bench.window->DigiBoardKind.load(), BoardKind::None);
    QVERIFY(!bench.ui()->pushButton_Start->testAttribute(Qt::WA_ForceDisabled));
    bench.window->ComboBox_SelectDigiBoard("Nonesuch");
    QCOMPARE(bench.window->DigiBoardKind.load(), BoardKind::None);
    QVERIFY(bench.ui()->pushButton_Start->testAttribute(Qt::WA_ForceDisabled));
    QCOMPARE(bench.ui()->label_State->text(), QString("Ready"));
    bench.window->ComboBox_SelectDigiBoard("belmor+");
    QCOMPARE(bench.window->DigiBoardKind.load(), BoardKind::BelmorPlus);
    QVERIFY(!bench.ui()->checkBox_WindowingEnabled->isHidden());
}

QTEST_MAIN(tst_combo_boxes)
#include "tst_combo_boxes.moc"
