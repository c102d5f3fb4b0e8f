// The operator's road through the real main window: choose a board, connect, see the proxy, set parameters.
#include "connection_bench.h"

class tst_connection_flow : public QObject
{
    Q_OBJECT

private slots:
    void belmorPlusReportsItsProxyAndRate();
    void arvexNumberTenIsZ671P();
    void corvaneNoProxySwitchesAutoStartOff();
    void silentCameraLinkBoardIsUnknown();
    void belmorSelectorConfirmed();
    void belmorSelectorClosedStillConnects();
    void belmorAttemptReusesTheOpenPort();
    void noBoardAttemptOpensNothing();
    void eskraPressOnlyMarksSetParametersPending();
    void setParametersOnBelmorPlus();
    void setParametersStopsAtTheFailingWrite();
    void setParametersTintQuestion_data();
    void setParametersTintQuestion();
    void boardChangeResetsTheButton();
    void dunstelReportsItsProxyAndRate();
    void dunstelNothingChosen();
    void eskraFailedPassStaysPending();
    void setParametersOnCorvane();
    void clockWordAndClockMode_data();
    void clockWordAndClockMode();
    void tintInLinesSendsEXP();
    void undefinedValueIsNotSent();
};

void tst_connection_flow::belmorPlusReportsItsProxyAndRate()
{
    Bench bench;
    bench.settings().setProxyIndex(sim::BoardKind::BelmorPlus, 9);
    bench.settings().setFrameRateCode(sim::BoardKind::BelmorPlus, 120);
    bench.open();
    bench.selectBoard(BelmorPlus);
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Connect"));
    bench.pressMain();

    QVERIFY(bench.logged("Connection to the DigiBoard"));
    QVERIFY(bench.logged("Belmor+ sent the following configuration: Proxy = 20 @120FPS"));
    QVERIFY(bench.logged("Connection to the DigiBoard OK"));
    // The board names record 9; at 120 FPS the controls then work on its 120 FPS variant.
    QVERIFY(bench.logged("Proxy Number = 9"));
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 12);
    QCOMPARE(bench.window->FrameRate.load(), 120);
    QCOMPARE(bench.ui()->label_Info_Proxy_Freq->text(), QString("with Y1437P working @ 120 FPS"));
    QVERIFY(bench.ui()->checkBox_2Tap->isChecked());
    QCOMPARE(GetCurrent(9, 16), 1u);
    QCOMPARE(GetCurrent(12, 16), 1u);
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
    QCOMPARE(bench.ui()->label_State->text(), QString("Connected !"));
    QVERIFY(bench.ui()->pushButton_Start->isEnabled());
    QVERIFY(bench.window->Connected);
    QVERIFY(bench.boxes.isEmpty());
    // The "Connecting in progress" box is gone once the procedure has ended.
    for (QMessageBox* pBox : bench.window->findChildren<QMessageBox*>())
        QVERIFY2(!pBox->isVisible(), qPrintable(pBox->text()));
}

void tst_connection_flow::arvexNumberTenIsZ671P()
{
    Bench bench;
    // The simulated Arvex answers one below its stored index: 11 answers "10".
    bench.settings().setProxyIndex(sim::BoardKind::Arvex, 11);
    bench.settings().setFrameRateCode(sim::BoardKind::Arvex, 60);
    bench.open();
    bench.selectBoard(Arvex);
    bench.pressMain();
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 10);
    QCOMPARE(bench.ui()->label_Info_Proxy_Freq->text(), QString("with Z671P working @ 60 FPS"));
    QVERIFY(!bench.ui()->checkBox_2Tap->isChecked());
    QVERIFY(bench.logged("Proxy Number = 10"));
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
}

void tst_connection_flow::corvaneNoProxySwitchesAutoStartOff()
{
    Bench bench;
    // Corvane number 21 (record 22) is "No Proxy" in the Corvane table.
    bench.settings().setProxyIndex(sim::BoardKind::Corvane, 22);
    bench.open();
    bench.window->AutoStart = true;
    bench.ui()->actionAuto_Start->setChecked(true);
    bench.selectBoard(Corvane);
    bench.pressMain();
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 13);
    QVERIFY(bench.logged("Disable AutoStart feature. Proxy read from DigiBoard incorrect"));
    QVERIFY(!bench.window->AutoStart);
    QVERIFY(!bench.ui()->actionAuto_Start->isChecked());
    QVERIFY(bench.ui()->label_Info_Proxy_Freq->text().startsWith("with No Proxy working @ "));
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
}

void tst_connection_flow::silentCameraLinkBoardIsUnknown()
{
    Bench bench;
    bench.open();
    bench.window->AutoStart = true;
    bench.selectBoard(BelmorPlus);
    // The port is open already (it answered its probe); then the board stays
    // silent for the proxy and rate queries.
    char szMessage[CameraLinkMessageBufferSize] = {};
    QCOMPARE(SelectCameraLinkPort(nullptr, szMessage, sizeof szMessage), 0);
    bench.window->CameraLinkSerialOpen = true;
    sim::InjectFault(sim::BoardKind::BelmorPlus, sim::Fault::ReplyTimeout);
    bench.pressMain();
    QVERIFY(bench.logged("Belmor+ sent the following configuration: Proxy = 0 @255FPS"));
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 0);
    QCOMPARE(bench.window->FrameRate.load(), 255);
    QVERIFY(!bench.window->AutoStart);
    QVERIFY(bench.logged("Disable AutoStart feature. Proxy read from DigiBoard incorrect"));
    QCOMPARE(bench.ui()->label_Info_Proxy_Freq->text(), QString("with Proxy Board... working @ Default frequency"));
    for (const QString& sLine : bench.logLines())
        QVERIFY2(!sLine.contains("-255"), qPrintable(sLine));
}

void tst_connection_flow::belmorSelectorConfirmed()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Belmor);
    QTimer::singleShot(300, [&bench]() {
        MW_ProxyBelmor* pSelector = bench.window->ProxySelector;
        QVERIFY(pSelector->isVisible());
        pSelector->ui->comboBox_SelectProxy->setCurrentIndex(9);
        pSelector->ui->lineEdit_PW->setText("Ravensdal_KPTWv3");
        QTest::mouseClick(pSelector->ui->pushButton_Start, Qt::LeftButton);
    });
    bench.pressMain();
    QVERIFY(bench.logged("Mode Belmor selected"));
    QVERIFY(bench.logged("Init CameraLink Serial Port ..."));
    QVERIFY(bench.logged("Password correct !"));
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 2);
    QVERIFY(bench.logged("Proxy 2 - Z668 wanted"));
    QCOMPARE(bench.window->FrameRate.load(), 255);
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
    QVERIFY(!bench.window->ProxySelector->Accepted);
    QVERIFY(!bench.window->ProxySelector->Closed);
}

void tst_connection_flow::belmorSelectorClosedStillConnects()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Belmor);
    const int iProxyBefore = bench.window->CurrentProxyIndex;
    // A press while the selector waits asks to stop; closing the selector ends
    // the first attempt with 0x10, which still connects.
    QTimer::singleShot(300, [&bench]() { bench.pressMain(); });
    QTimer::singleShot(600, [&bench]() { bench.window->ProxySelector->close(); });
    bench.pressMain();
    QVERIFY(bench.logged("Stop connection asked"));
    QCOMPARE(bench.window->CurrentProxyIndex.load(), iProxyBefore);
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
    QVERIFY(bench.window->CameraLinkSerialOpen);
    // The stop asked during the first attempt does not linger for the next connection.
    QVERIFY(!bench.window->StopConnectionAsked);
}

void tst_connection_flow::belmorAttemptReusesTheOpenPort()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Belmor);
    QTimer::singleShot(300, [&bench]() { bench.window->ProxySelector->close(); });
    QCOMPARE(bench.window->ConnectToBoard(0), 0x10);
    QCOMPARE(bench.logLines().count("Init CameraLink Serial Port ..."), 1);
    QVERIFY(bench.window->CameraLinkSerialOpen);
    // The next attempt shows the selector again on the port already open.
    QTimer::singleShot(300, [&bench]() {
        QVERIFY(bench.window->ProxySelector->isVisible());
        bench.window->ProxySelector->close();
    });
    QCOMPARE(bench.window->ConnectToBoard(1), 0x10);
    QCOMPARE(bench.logLines().count("Init CameraLink Serial Port ..."), 1);
    QCOMPARE(bench.logLines().count("Mode Belmor selected"), 2);
    QVERIFY(!bench.window->Connected);
}

void tst_connection_flow::noBoardAttemptOpensNothing()
{
    Bench bench;
    bench.open();
    QCOMPARE(bench.window->DigiBoardKind.load(), BoardKind::None);
    QCOMPARE(bench.window->ConnectToBoard(0), 0);
    QVERIFY(!bench.window->Connected);
    QVERIFY(!bench.window->CameraLinkSerialOpen);
}

void tst_connection_flow::eskraPressOnlyMarksSetParametersPending()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Eskra);
    SetParametersPending = false;
    bench.window->PushButton_SetModuleParameters();
    QVERIFY(SetParametersPending);
    QVERIFY(!bench.logged("Send the following parameters :"));
    QVERIFY(!bench.ui()->pushButton_SetParameters->testAttribute(Qt::WA_ForceDisabled));
    SetParametersPending = false;
}

namespace {

// Connects a Belmor+ board on record 9 and ticks every register's box.
void ConnectBelmorPlusForParameters(Bench& p_Bench)
{
    p_Bench.settings().setProxyIndex(sim::BoardKind::BelmorPlus, 9);
    p_Bench.settings().setFrameRateCode(sim::BoardKind::BelmorPlus, 60);
    p_Bench.open();
    p_Bench.selectBoard(BelmorPlus);
    p_Bench.pressMain();
    QCOMPARE(p_Bench.window->CurrentProxyIndex.load(), 9);
    Ui::MainWindow* ui = p_Bench.ui();
    for (QCheckBox* pBox : {ui->checkBox_Enable_TINT, ui->checkBox_Enable_DAC_A, ui->checkBox_Enable_DAC_B,
                            ui->checkBox_Enable_DAC_C, ui->checkBox_Enable_DAC_D, ui->checkBox_GMS})
        pBox->setChecked(true);
    ui->spinBox_TINT->setValue(ui->spinBox_TINT->minimum() + 3);
    p_Bench.window->FrameWidth = 100000; // well inside the nominal range
    p_Bench.ui()->pushButton_SetParameters->setEnabled(true);
    sim::ClearRecordedMessages();
}

QByteArray Cmd(char p_cLetter, int p_iValue)
{
    return QByteArray("!") + p_cLetter + QByteArray::number(p_iValue).rightJustified(4, '0');
}

} // namespace

void tst_connection_flow::setParametersOnBelmorPlus()
{
    Bench bench;
    ConnectBelmorPlusForParameters(bench);
    Ui::MainWindow* ui = bench.ui();
    const int iGms = int(bench.window->getGMSValue());
    QTest::mouseClick(ui->pushButton_SetParameters, Qt::LeftButton);

    const QList<QByteArray> expected = {Cmd('1', ui->spinBox_TINT->value()), Cmd('2', ui->spinBox_DAC_A->value()),
                                        Cmd('3', ui->spinBox_DAC_B->value()), Cmd('D', ui->spinBox_DAC_C->value()),
                                        Cmd('E', ui->spinBox_DAC_D->value()), Cmd('6', iGms)};
    QCOMPARE(sim::RecordedBytes(sim::BoardKind::BelmorPlus, "serial"), expected);
    QVERIFY(bench.logged("Send the following parameters :"));
    QVERIFY(bench.logged("TINT  = " + QString::number(ui->spinBox_TINT->value())));
    QVERIFY(bench.logged("GMS   = " + QString::number(iGms) + " with:"));
    QCOMPARE(bench.window->LastSentParameters[0], ui->spinBox_TINT->value());
    QCOMPARE(bench.window->LastSentParameters[1], ui->spinBox_DAC_A->value());
    QCOMPARE(GetCurrent(9, 112), 1u);
    QCOMPARE(GetCurrent(9, 9), 1u);
    QVERIFY(ui->pushButton_SetParameters->isEnabled());
    QVERIFY(bench.boxes.isEmpty());
}

void tst_connection_flow::setParametersStopsAtTheFailingWrite()
{
    Bench bench;
    ConnectBelmorPlusForParameters(bench);
    Ui::MainWindow* ui = bench.ui();
    const int iSentBefore = bench.window->LastSentParameters[0];
    // TINT, ADD02 and ADD03 pass; ADD0C fails.
    sim::InjectFault(sim::BoardKind::BelmorPlus, sim::Fault::WriteFailure, 1, 3);
    QTest::mouseClick(ui->pushButton_SetParameters, Qt::LeftButton);

    QCOMPARE(sim::RecordedBytes(sim::BoardKind::BelmorPlus, "serial").size(), 3);
    QCOMPARE(bench.boxes.size(), 1);
    QCOMPARE(bench.boxes.first().title, QString("Critical"));
    const QString sFailure = "Couldn't set ADD0C to " + QString::number(ui->spinBox_DAC_C->value()) + ".\n";
    QCOMPARE(bench.boxes.first().text, "ERROR set parameters fail: " + sFailure);
    QVERIFY(bench.logged("Set Parameter Failed ... Couldn't set ADD0C to " + QString::number(ui->spinBox_DAC_C->value())
                         + "."));
    QCOMPARE(bench.window->LastSentParameters[0], iSentBefore);
    QCOMPARE(GetCurrent(9, 112), 0u);
    QVERIFY(ui->pushButton_SetParameters->isEnabled());
}

void tst_connection_flow::setParametersTintQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << 0;
    QTest::newRow("no") << 1;
}

void tst_connection_flow::setParametersTintQuestion()
{
    QFETCH(int, answer);
    Bench bench;
    bench.open();
    bench.answer = answer;
    // No board and no acquisition (frame width 0): every TINT asks.
    bench.window->PushButton_SetModuleParameters();
    QCOMPARE(bench.boxes.size(), 1);
    QCOMPARE(bench.boxes.first().title, QString("TINT Value outside nominal range"));
    QCOMPARE(bench.logged("Send the following parameters :"), answer == 0);
    QCOMPARE(GetCurrent(0, 112), answer == 0 ? 1u : 0u);
    // Enabled again either way (its group box is what keeps it out of reach here).
    QVERIFY(!bench.ui()->pushButton_SetParameters->testAttribute(Qt::WA_ForceDisabled));
}

void tst_connection_flow::boardChangeResetsTheButton()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Corvane);
    bench.pressMain();
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
    bench.selectBoard(Arvex);
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Connect"));
    QCOMPARE(bench.ui()->label_State->text(), QString("Ready"));
    QVERIFY(!bench.window->Connected);
    QVERIFY(bench.ui()->label_Info_Proxy_Freq->text().isEmpty());
    QVERIFY(bench.logged("DigiBoard changed to Arvex"));
}

void tst_connection_flow::dunstelReportsItsProxyAndRate()
{
    Bench bench;
    bench.settings().setProxyIndex(sim::BoardKind::Dunstel, 9);
    bench.settings().setFrameRateCode(sim::BoardKind::Dunstel, 30);
    PvDeviceFinderWnd::SetAutomaticChoice(0);
    bench.open();
    bench.selectBoard(Dunstel);
    bench.pressMain();
    PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
    QVERIFY(bench.logged("Select the GigE in the Pleora Window"));
    QVERIFY(bench.logged("Dunstel sent the following configuration: Proxy = 20 @30FPS"));
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 9);
    QCOMPARE(bench.ui()->label_Info_Proxy_Freq->text(), QString("with Y1437P working @ 30 FPS"));
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
    QVERIFY(bench.window->GigESerialPort != nullptr);
}

void tst_connection_flow::dunstelNothingChosen()
{
    Bench bench;
    PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kCancel);
    bench.open();
    bench.selectBoard(Dunstel);
    bench.pressMain();
    PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
    // Not retried, no box, one log line.
    QVERIFY(bench.logged("Error 0x00000008 - No Dunstel selected"));
    QVERIFY(!bench.logged("Attempt to connect: 1"));
    QVERIFY(bench.boxes.isEmpty());
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Connect"));
    QVERIFY(bench.window->GigEDevice == nullptr);
    QVERIFY(!bench.window->Connected);
}

void tst_connection_flow::eskraFailedPassStaysPending()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Eskra);
    bench.window->FrameWidth = 100000;
    bench.ui()->checkBox_Enable_TINT->setChecked(false);
    bench.ui()->checkBox_Enable_DAC_A->setChecked(true);
    // The frame loop's call after a frame with a request pending; the port is closed, so the write fails.
    SetParametersPending = true;
    bench.window->PushButton_SetModuleParameters();
    QCOMPARE(bench.boxes.size(), 1);
    QCOMPARE(bench.boxes.first().text, "ERROR set parameters fail: Couldn't set ADD02 to "
                                           + QString::number(bench.ui()->spinBox_DAC_A->value()) + ".\n");
    QVERIFY(SetParametersPending);
    SetParametersPending = false;
}


void tst_connection_flow::setParametersOnCorvane()
{
    Bench bench;
    bench.settings().setProxyIndex(sim::BoardKind::Corvane, 3);
    bench.open();
    bench.selectBoard(Corvane);
    bench.pressMain();
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 3);
    Ui::MainWindow* ui = bench.ui();
    TickRegisters(ui);
    bench.window->FrameWidth = 100000;
    const int iGms = int(bench.window->getGMSValue());
    sim::ClearRecordedMessages();
    bench.window->PushButton_SetModuleParameters();
    auto reg = [](int p_iAddress, int p_iValue) { return QByteArray::number(p_iAddress) + "=" + QByteArray::number(p_iValue); };
    const QList<QByteArray> expected = {reg(0, ui->spinBox_TINT->value()), reg(1, ui->spinBox_DAC_A->value()),
                                        reg(2, ui->spinBox_DAC_B->value()), reg(11, ui->spinBox_DAC_C->value()),
                                        reg(12, ui->spinBox_DAC_D->value()), reg(4, iGms)};
    QCOMPARE(sim::RecordedBytes(sim::BoardKind::Corvane, "register"), expected);
    QVERIFY(bench.boxes.isEmpty());
    QCOMPARE(GetCurrent(3, 112), 1u);
}

void tst_connection_flow::clockWordAndClockMode_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<bool>("clockMode");
    QTest::newRow("record 4 takes the clock mode") << 4 << true;
    QTest::newRow("record 24 has no clock mode") << 24 << false;
}

void tst_connection_flow::clockWordAndClockMode()
{
    QFETCH(int, record);
    QFETCH(bool, clockMode);
    Bench bench;
    // Belmor+ reports records 1..11 and 24 under their own numbers.
    bench.settings().setProxyIndex(sim::BoardKind::BelmorPlus, record);
    bench.open();
    bench.selectBoard(BelmorPlus);
    bench.pressMain();
    QCOMPARE(bench.window->CurrentProxyIndex.load(), record);
    Ui::MainWindow* ui = bench.ui();
    TickOnly(ui, nullptr);
    bench.window->AdvancedUserAuthenticated = 1;
    ui->checkBox_Advanced_user->setChecked(true);
    ui->checkBox_InvPClock->setChecked(true);
    ui->spinBox_CKDIV->setValue(3);
    bench.window->FrameWidth = 100000;
    sim::ClearRecordedMessages();
    // A record that does not offer the board's 30 FPS has been warned about at connection.
    bench.boxes.clear();
    bench.window->PushButton_SetModuleParameters();

    const uint32_t uWord = ComputeClockWord(3, true, record, false);
    QCOMPARE(uWord, 2051u);
    QCOMPARE(GetCurrent(record, ProxyParameterId::CKDIV), uWord);
    QVERIFY(bench.logged("CKDIV = 2051"));
    QList<QByteArray> expected = {"!42051"};
    const std::optional<uint32_t> mode = ComputeFPGAClockMode(
        uWord, GetCurrent(record, ProxyParameterId::FPGAClockModeBase),
        GetCurrent(record, ProxyParameterId::FPGAClockModeModulus), GetCurrent(record, ProxyParameterId::FPGAClockModeShift));
    QCOMPARE(mode.has_value(), clockMode);
    if (clockMode)
        expected << "!a004" << ("!b" + QByteArray::number(*mode).rightJustified(3, '0'));
    else
        QVERIFY(bench.logged("FPGA clock mode not defined for proxy 24: FPGA register 4 not sent"));
    QCOMPARE(sim::RecordedBytes(sim::BoardKind::BelmorPlus, "serial"), expected);
    QVERIFY(bench.boxes.isEmpty());
}

void tst_connection_flow::tintInLinesSendsEXP()
{
    Bench bench;
    // Record 14 (X1550) counts its integration time in lines.
    bench.settings().setProxyIndex(sim::BoardKind::BelmorPlus, 14);
    bench.settings().setFrameRateCode(sim::BoardKind::BelmorPlus, 30);
    bench.open();
    bench.selectBoard(BelmorPlus);
    bench.pressMain();
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 14);
    Ui::MainWindow* ui = bench.ui();
    TickOnly(ui, ui->checkBox_Enable_TINT);
    bench.window->AdvancedUserAuthenticated = 1;
    ui->checkBox_Advanced_user->setChecked(true);
    ui->checkBox_InvPClock->setChecked(false);
    ui->spinBox_CKDIV->setValue(1);
    ui->spinBox_TINT->setMaximum(100000);
    ui->spinBox_TINT->setValue(1000);
    bench.window->FrameWidth = 100000;
    const uint32_t uClockBefore = GetCurrent(14, ProxyParameterId::CKDIV);
    sim::ClearRecordedMessages();
    bench.window->PushButton_SetModuleParameters();

    const uint32_t uExp = ComputeEXP(1000, 30, uClockBefore);
    const QList<QByteArray> expected = {"!1" + QByteArray::number(uExp).rightJustified(4, '0'), "!40001"};
    QCOMPARE(sim::RecordedBytes(sim::BoardKind::BelmorPlus, "serial"), expected);
    // The TINT range follows the divider just chosen (2 at 30 FPS).
    const TintRange range = ComputeTintRange(30, 1);
    QCOMPARE(ui->spinBox_TINT->minimum(), range.Minimum);
    QCOMPARE(ui->spinBox_TINT->maximum(), range.Maximum);
    QCOMPARE(ui->spinBox_TINT->singleStep(), range.SingleStep);
    QCOMPARE(ui->horizontalSlider_TINT->maximum(), range.Maximum);
}

void tst_connection_flow::undefinedValueIsNotSent()
{
    Bench bench;
    bench.settings().setProxyIndex(sim::BoardKind::BelmorPlus, 3);
    bench.open();
    bench.selectBoard(BelmorPlus);
    bench.pressMain();
    Ui::MainWindow* ui = bench.ui();
    TickOnly(ui, ui->checkBox_Enable_DAC_A);
    ui->checkBox_Enable_DAC_B->setChecked(true);
    ui->spinBox_DAC_A->setMaximum(70000);
    ui->spinBox_DAC_A->setValue(65535);
    bench.window->FrameWidth = 100000;
    sim::ClearRecordedMessages();
    bench.window->PushButton_SetModuleParameters();
    // ADD02 "not defined" stays as the board has it; ADD03 still goes.
    QCOMPARE(sim::RecordedBytes(sim::BoardKind::BelmorPlus, "serial"),
             QList<QByteArray>{"!3" + QByteArray::number(ui->spinBox_DAC_B->value()).rightJustified(4, '0')});
    QVERIFY(bench.logged("ADD02 not defined for proxy 3: not sent"));
    QVERIFY(bench.boxes.isEmpty());
}

QTEST_MAIN(tst_connection_flow)
#include "tst_connection_flow.moc"
