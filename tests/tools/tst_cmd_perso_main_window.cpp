// The advanced-commands window as the main window wires it: each connected board kind and button, and the bytes the simulated board receives.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/connection_bench.h"
#include "sim/core/board_kind.h"

#include "tools/Cmd_Perso.h"
#include "ui_Cmd_Perso.h"

#include <QCheckBox>

namespace {

// What the board received on the channel. Every Camera Link board is cabled
// on the bench, and the simulated cabling hands a text to a board that speaks
// its dialect: the serial bytes are read off all three.
QList<QByteArray> Received(sim::BoardKind p_Board, const QByteArray& p_Channel)
{
    if (p_Channel != "serial")
        return sim::RecordedBytes(p_Board, p_Channel);
    QList<QByteArray> bytes;
    for (sim::BoardKind k : {sim::BoardKind::Arvex, sim::BoardKind::Belmor, sim::BoardKind::BelmorPlus})
        bytes << sim::RecordedBytes(k, p_Channel);
    return bytes;
}

} // namespace

class TestCmdPersoMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void cleanupTestCase() { sim::SetFastMode(false); }

    void buttonsReachTheConnectedBoard_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<sim::BoardKind>("board");   // the board connected
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("channel");
        QTest::addColumn<QList<QByteArray>>("bytes");
        QTest::newRow("Belmor+, manual") << int(BelmorPlus) << sim::BoardKind::BelmorPlus << "manual"
                                         << QByteArray("serial") << QList<QByteArray>{"!a003", "!b009"};
        QTest::newRow("Belmor+, FPGA") << int(BelmorPlus) << sim::BoardKind::BelmorPlus << "fpga"
                                       << QByteArray("serial") << QList<QByteArray>{"!a007", "!b052"};
        QTest::newRow("Arvex, FPGA") << int(Arvex) << sim::BoardKind::Arvex << "fpga" << QByteArray("serial")
                                     << QList<QByteArray>{"!a007", "!b052"};
        QTest::newRow("Corvane, manual") << int(Corvane) << sim::BoardKind::Corvane << "manual"
                                         << QByteArray("register") << QList<QByteArray>{"14=3", "15=9"};
        QTest::newRow("Corvane, pixel clock") << int(Corvane) << sim::BoardKind::Corvane << "clock"
                                              << QByteArray("register") << QList<QByteArray>{"20=1"};
        QTest::newRow("Corvane, USB3 command") << int(Corvane) << sim::BoardKind::Corvane << "usb3"
                                               << QByteArray("register")
                                               << QList<QByteArray>{"51=1", "52=3", "53=7", "50=0"};
        QTest::newRow("Dunstel, manual") << int(Dunstel) << sim::BoardKind::Dunstel << "manual"
                                         << QByteArray("uart") << QList<QByteArray>{"!a0003\n\r", "!b0009\n\r"};
    }
    void buttonsReachTheConnectedBoard()
    {
        QFETCH(int, kind);
        QFETCH(sim::BoardKind, board);
        QFETCH(QString, button);
        QFETCH(QByteArray, channel);
        QFETCH(QList<QByteArray>, bytes);
        Bench bench;
        bench.open();
        bench.connectBoard(kind);
        Cmd_Perso* pCommands = bench.window->CommandsWindow;
        QVERIFY(pCommands != nullptr);
        Ui::Cmd_Perso* ui = pCommands->ui;
        sim::ClearRecordedMessages();
        bench.boxes.clear();

        if (button == QLatin1String("manual")) {
            ui->spinBox_AddressManual->setValue(3);
            ui->spinBox_DataManual->setValue(9);
            pCommands->PushButton_SendCommand();
        } else if (button == QLatin1String("fpga")) {
            ui->comboBox_FPGARegister->setCurrentText("Contrast");
            ui->spinBox_Value->setValue(4660);
            pCommands->PushButton_SEND_FPGARegister();
        } else if (button == QLatin1String("clock")) {
            QTest::mouseClick(ui->checkBox_InvertPXClockUSB, Qt::LeftButton);
        } else {
            ui->comboBox_DestinationBoard->setCurrentText("Interface Board");
            ui->spinBox_SliderReg->setValue(3);
            ui->spinBox_SliderValue->setValue(7);
            pCommands->PushButton_SetUSB3_Slider();
        }
        QCOMPARE(Received(board, channel), bytes);
        QVERIFY(bench.boxes.isEmpty());
    }
};

QTEST_MAIN(TestCmdPersoMainWindow)
#include "tst_cmd_perso_main_window.moc"
