// Start, stream, "Set parameters" and safe disconnection through the real main window, for every board family.
#include "connection_bench.h"
#include "support/build_speed.h"

class tst_connection_streaming : public QObject
{
    Q_OBJECT

private slots:
    void corvaneStreamsSetsParametersAndDisconnects();
    void streamsSetsParametersAndDisconnects_data();
    void streamsSetsParametersAndDisconnects();
    void eskraOnePressStreamsAndDefersParameters();
    void eskraSetParametersThreeTimesKeepsStreaming();
};

namespace {

// What the nested wait of a streaming board saw before the disconnect press.
struct StreamCheck
{
    bool framesArrived = false;
    QString caption;
    QList<QByteArray> registers;
};

} // namespace

void tst_connection_streaming::corvaneStreamsSetsParametersAndDisconnects()
{
    Bench bench;
    bench.settings().setProxyIndex(sim::BoardKind::Corvane, 3);
    bench.open();
    bench.selectBoard(Corvane);
    bench.pressMain();
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
    bench.pressMain(); // Start: the USB3 path returns at once, frames come on the capture thread
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Safe\ndisconnection"));
    QTRY_VERIFY_WITH_TIMEOUT(bench.window->FramesDisplayed > 0, 10000);

    Ui::MainWindow* ui = bench.ui();
    TickOnly(ui, ui->checkBox_Enable_DAC_A);
    sim::ClearRecordedMessages();
    bench.window->PushButton_SetModuleParameters();
    QCOMPARE(sim::RecordedBytes(sim::BoardKind::Corvane, "register"),
             QList<QByteArray>{"1=" + QByteArray::number(ui->spinBox_DAC_A->value())});

    QTRY_VERIFY_WITH_TIMEOUT(ui->pushButton_Start->isEnabled(), 5000);
    bench.pressMain();
    QVERIFY(bench.logged("Disconnect Button Pressed"));
    QTRY_COMPARE_WITH_TIMEOUT(ui->pushButton_Start->text(), QString("Connect"), 10000);
    QVERIFY(!bench.window->Connected);
    QCOMPARE(ui->label_Connection_Val->text(), QString("Disconnected"));
}

void tst_connection_streaming::streamsSetsParametersAndDisconnects_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("channel");
    QTest::addColumn<QByteArray>("suffix"); // what the family adds to "!3" + four digits
    QTest::newRow("Arvex") << int(Arvex) << QByteArray("serial") << QByteArray(2, '\0');
    QTest::newRow("Belmor") << int(Belmor) << QByteArray("serial") << QByteArray();
    QTest::newRow("Belmor+") << int(BelmorPlus) << QByteArray("serial") << QByteArray();
    QTest::newRow("Dunstel") << int(Dunstel) << QByteArray("uart") << QByteArray("\n\r");
}

// The Camera Link and GigE paths stream inside the Start press; the checks,
// "Set parameters" and the disconnect press run nested in its wait, as the
// operator's clicks would.
void tst_connection_streaming::streamsSetsParametersAndDisconnects()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, channel);
    QFETCH(QByteArray, suffix);
    const sim::BoardKind board = static_cast<sim::BoardKind>(kind);
    Bench bench;
    bench.settings().setProxyIndex(board, kind == Dunstel ? 5 : 3);
    // On the grabber's shared connector "!" texts reach Belmor+ whenever it is there.
    if (kind == Belmor)
        bench.settings().setBoardPresent(sim::BoardKind::BelmorPlus, false);
    PvDeviceFinderWnd::SetAutomaticChoice(0);
    bench.open();
    bench.selectBoard(kind);
    if (kind == Belmor)
        QTimer::singleShot(300, [&bench]() {
            MW_ProxyBelmor* pSelector = bench.window->ProxySelector;
            pSelector->ui->comboBox_SelectProxy->setCurrentIndex(10); // Z668P, record 3
            pSelector->ui->lineEdit_PW->setText("Ravensdal_KPTWv3");
            pSelector->PushButton_Start();
        });
    bench.pressMain();
    PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
    QCOMPARE(bench.ui()->pushButton_Start->text(), QString("Start"));
    Ui::MainWindow* ui = bench.ui();

    StreamCheck check;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    bool bDone = false;
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        if (bDone)
            return;
        const bool bFlowing = bench.window->FramesDisplayed > 0 && ui->pushButton_Start->isEnabled();
        if (!bFlowing && clock.elapsed() < 10000)
            return;
        bDone = true;
        poll.stop();
        check.framesArrived = bFlowing;
        check.caption = ui->pushButton_Start->text();
        TickOnly(ui, ui->checkBox_Enable_DAC_B);
        bench.window->FrameWidth = 100000;
        sim::ClearRecordedMessages();
        bench.window->PushButton_SetModuleParameters();
        check.registers = sim::RecordedBytes(board, channel);
        bench.pressMain();
    });
    poll.start(50);
    bench.pressMain();

    QVERIFY(check.framesArrived);
    QCOMPARE(check.caption, QString("Safe\ndisconnection"));
    const QByteArray expected = "!3" + QByteArray::number(ui->spinBox_DAC_B->value()).rightJustified(4, '0') + suffix;
    QCOMPARE(check.registers, QList<QByteArray>{expected});
    QVERIFY(bench.logged("Disconnect Button Pressed"));
    QTRY_COMPARE_WITH_TIMEOUT(ui->pushButton_Start->text(), QString("Connect"), 10000);
    QVERIFY(!bench.window->Connected);
    QVERIFY(bench.boxes.isEmpty());
}

void tst_connection_streaming::eskraOnePressStreamsAndDefersParameters()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Eskra);
    Ui::MainWindow* ui = bench.ui();
    SetParametersPending = false;

    StreamCheck check;
    bool bPendingAfterPress = false;
    bool bSentBeforeFrame = true;
    QList<QByteArray> sent;
    qint64 iGapMs = 0;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    int iStage = 0;
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        if (iStage == 0) {
            if (bench.window->FramesDisplayed == 0 && clock.elapsed() < 15000)
                return;
            check.framesArrived = bench.window->FramesDisplayed > 0;
            check.caption = ui->pushButton_Start->text();
            TickOnly(ui, ui->checkBox_Enable_DAC_A);
            ui->checkBox_Enable_DAC_B->setChecked(true);
            bench.window->FrameWidth = 100000;
            sim::ClearRecordedMessages();
            bench.window->PushButton_SetModuleParameters(); // the operator's press
            bPendingAfterPress = SetParametersPending;
            bSentBeforeFrame = !sim::RecordedBytes(sim::BoardKind::Eskra, "serial").isEmpty();
            clock.restart();
            iStage = 1;
            return;
        }
        if (iStage == 1) {
            if (SetParametersPending && clock.elapsed() < 15000)
                return;
            const std::vector<sim::RecordedMessage> messages = sim::RecordedMessages(sim::BoardKind::Eskra, "serial");
            for (const sim::RecordedMessage& m : messages)
                sent << m.bytes;
            if (messages.size() >= 2)
                iGapMs = (messages[1].timestampNs - messages[0].timestampNs) / 1000000;
            iStage = 2;
            poll.stop();
            bench.pressMain();
        }
    });
    poll.start(20);
    bench.pressMain(); // connects, initialises and streams until the disconnect press

    QVERIFY(check.framesArrived);
    QCOMPARE(check.caption, QString("Safe\ndisconnection"));
    QVERIFY(!bench.logged("Connection to the DigiBoard"));
    QVERIFY(bPendingAfterPress);
    QVERIFY(!bSentBeforeFrame);
    QVERIFY(!SetParametersPending);
    QCOMPARE(sent, (QList<QByteArray>{"!2" + QByteArray::number(ui->spinBox_DAC_A->value()).rightJustified(4, '0'),
                                      "!3" + QByteArray::number(ui->spinBox_DAC_B->value()).rightJustified(4, '0')}));
    QVERIFY2(iGapMs >= 90, qPrintable(QString::number(iGapMs)));
    QTRY_COMPARE_WITH_TIMEOUT(ui->pushButton_Start->text(), QString("Connect"), 10000);
}

// The port was read on a worker thread and written on the GUI thread: Qt's
// notifiers broke, the second press sent nothing and the frames stopped.
void tst_connection_streaming::eskraSetParametersThreeTimesKeepsStreaming()
{
    static std::atomic<bool> s_bCrossThread;
    s_bCrossThread = false;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& p_s) {
        if (p_s.contains("another thread"))
            s_bCrossThread = true;
    });
    Bench bench;
    bench.open();
    bench.selectBoard(Eskra);
    Ui::MainWindow* ui = bench.ui();
    SetParametersPending = false;
    QList<QByteArray> expected;
    QList<QList<QByteArray>> sent;
    QList<int> framesPerPress; // the one-second rate 1.5 s after each press
    int iPress = 0;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        if (iPress == 0 && bench.window->FramesDisplayed == 0 && clock.elapsed() < 15000)
            return;
        if (iPress > 0 && clock.elapsed() < 1500)
            return;
        if (iPress > 0) {
            sent << sim::RecordedBytes(sim::BoardKind::Eskra, "serial");
            framesPerPress << ui->label_Framerate_Acq_Val->text().section(' ', 0, 0).toInt();
        }
        if (iPress == 3) {
            poll.stop();
            bench.pressMain();
            return;
        }
        if (iPress == 0) {
            // The connection fills the boxes from the proxy record: tick after it.
            TickOnly(ui, ui->checkBox_Enable_DAC_A);
            ui->checkBox_Enable_DAC_B->setChecked(true);
            expected = {"!2" + QByteArray::number(ui->spinBox_DAC_A->value()).rightJustified(4, '0'),
                        "!3" + QByteArray::number(ui->spinBox_DAC_B->value()).rightJustified(4, '0')};
        }
        ++iPress;
        sim::ClearRecordedMessages();
        clock.restart();
        QTest::mouseClick(ui->pushButton_SetParameters, Qt::LeftButton);
    });
    poll.start(20);
    bench.pressMain(); // connects, initialises and streams until the disconnect press
    qInstallMessageHandler(previous);

    QCOMPARE(sent.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(sent[i] == expected, qPrintable(QString("press %1: %2").arg(i).arg(QString(sent[i].join(' ')))));
        // A little under seven frames a second at the line rate; a loaded
        // machine or a sanitizer build shows fewer (down to one seen on a
        // busy machine), but the stream goes on after each press: the fault
        // stopped it at 0.
        QVERIFY2(framesPerPress[i] >= 1, qPrintable(QString("press %1: %2 frames a second").arg(i).arg(framesPerPress[i])));
    }
    QTRY_COMPARE_WITH_TIMEOUT(ui->pushButton_Start->text(), QString("Connect"), 10000);
    QVERIFY(bench.boxes.isEmpty());
    QVERIFY2(!s_bCrossThread, "the port was used from another thread");
}

QTEST_MAIN(tst_connection_streaming)
#include "tst_connection_streaming.moc"
