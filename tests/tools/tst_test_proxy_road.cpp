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

} // namespace

class TestTestProxyRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetFastMode(true); }
    void cleanupTestCase() { SetFastMode(false); }
    void presetOnASimulatedBoard_data();
    void presetOnASimulatedBoard();
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
    // Gain and offset reach the main window's boxes (sent with its next parameters).
    QCOMPARE(road.ui()->spinBox_ImageGain->value(), 12);
    QCOMPARE(road.ui()->spinBox_ImageOffset->value(), 2500);

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

QTEST_MAIN(TestTestProxyRoad)
#include "tst_test_proxy_road.moc"
