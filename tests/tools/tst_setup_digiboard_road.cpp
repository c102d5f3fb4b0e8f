// The board set-up window from the main window: opened from its menu, a set-up sent to a simulated board, read back after a restart.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/connection_bench.h"
#include "sim/core/board_kind.h"

#include "tools/Setup_DigiBoard.h"
#include "ui_Setup_DigiBoard.h"

#include "app/header_constants.h"
#include "params/proxy_lookup.h"



namespace {

QStringList BoxTitles(const QList<MessageBoxRequest>& p_Boxes)
{
    QStringList titles;
    for (const MessageBoxRequest& box : p_Boxes)
        titles << box.title;
    return titles;
}

void Connect(Bench& p_Bench, int p_iKind)
{
    PvDeviceFinderWnd::SetAutomaticChoice(0);
    p_Bench.pressMain();
    PvDeviceFinderWnd::SetAutomaticChoice(PvDeviceFinderWnd::kAsk);
    QVERIFY(p_Bench.window->Connected);
    QCOMPARE(int(p_Bench.window->DigiBoardKind.load()), p_iKind);
}

} // namespace

class TestSetupDigiBoardRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void cleanupTestCase() { sim::SetFastMode(false); }
    void setUpSurvivesARestart_data();
    void setUpSurvivesARestart();
    void openWithoutConnectionOffersToConnect();
    void proxyOfTheWindowDrivesTheControls();
};

void TestSetupDigiBoardRoad::setUpSurvivesARestart_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<sim::BoardKind>("board");
    QTest::addColumn<QString>("proxy");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("stored");  // the record the board keeps
    QTest::newRow("Belmor+ Z647 at 25 FPS") << int(BelmorPlus) << sim::BoardKind::BelmorPlus << "Z647" << 1 << 25 << 11;
    // Y1437P at 120 FPS is record 12 on the board.
    QTest::newRow("Arvex Y1437P at 120 FPS") << int(Arvex) << sim::BoardKind::Arvex << "Y1437P" << 6 << 120 << 12;
    QTest::newRow("Corvane Z603 at 50 FPS") << int(Corvane) << sim::BoardKind::Corvane << "Z603" << 3 << 50 << 17;
    QTest::newRow("Dunstel Z647 at 30 FPS") << int(Dunstel) << sim::BoardKind::Dunstel << "Z647" << 2 << 30 << 11;
}

void TestSetupDigiBoardRoad::setUpSurvivesARestart()
{
    QFETCH(int, kind);
    QFETCH(sim::BoardKind, board);
    QFETCH(QString, proxy);
    QFETCH(int, item);
    QFETCH(int, rate);
    QFETCH(int, stored);
    Bench bench;
    bench.open();
    bench.selectBoard(kind);
    Connect(bench, kind);

    // Opening the window, a second time only raises it.
    bench.window->ui->action_OpenSetupDigiBoardWindow->trigger();
    bench.window->ui->action_OpenSetupDigiBoardWindow->trigger();
    Setup_DigiBoard* pSetup = bench.window->SetupWindow;
    QVERIFY(pSetup->isVisible());
    QVERIFY(bench.window->SetupWindowOpen);
    QCOMPARE(bench.logLines().count("Open Setup DigiBoard window"), 1);

    pSetup->ui->comboBox_SelectProxy->setCurrentText(proxy);
    pSetup->ui->comboBox_SelectFreq->setCurrentIndex(item);
    QCOMPARE(pSetup->ui->comboBox_SelectFreq->currentIndex(), item);
    QTest::mouseClick(pSetup->ui->pushButton_SetConf, Qt::LeftButton);

    QCOMPARE(BoxTitles(bench.boxes), QStringList{"Warning"});
    QVERIFY(bench.logged("The Digiboard has been well configured"));
    QVERIFY(!pSetup->isVisible());
    QVERIFY(!bench.window->SetupWindowOpen);
    // The main window disconnects: the board has to be restarted.
    QVERIFY(!bench.window->Connected);

    // What the board stores survives a power cycle.
    QCOMPARE(bench.settings().proxyIndex(board), stored);
    QCOMPARE(bench.settings().frameRateCode(board), rate);
    sim::ResetBoards();

    bench.boxes.clear();
    Connect(bench, kind);
    QCOMPARE(bench.window->FrameRate.load(), rate);
    QCOMPARE(bench.window->CurrentProxyIndex.load(), stored);
    QCOMPARE(pSetup->getProxyText(), proxy);
    QCOMPARE(pSetup->getFrequencyText(), HeaderConstants::FrameRateChoices.at(item));
    QCOMPARE(pSetup->getFrequency(), rate);
    QVERIFY(bench.boxes.isEmpty());
}

void TestSetupDigiBoardRoad::openWithoutConnectionOffersToConnect()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Corvane);
    bench.window->AutoStart = true;

    // Cancel: nothing opens.
    bench.answer = 1;
    bench.window->ActionSetupDigi();
    QCOMPARE(BoxTitles(bench.boxes), QStringList{"Start connexion first"});
    QCOMPARE(bench.boxes.first().buttons, (QStringList{"Connect", "Cancel"}));
    QVERIFY(bench.logged("Setup Digiboard window can't be opened because no connexion with a DigiBoard is made"));
    QVERIFY(!bench.window->SetupWindow->isVisible());
    QVERIFY(!bench.window->Connected);

    // Connect: one attempt without starting acquisition, then the window.
    bench.boxes.clear();
    bench.answer = 0;
    bench.window->ActionSetupDigi();
    QVERIFY(bench.window->Connected);
    QVERIFY(!bench.window->bInitDriverDone);
    QVERIFY(bench.window->AutoStart);
    QVERIFY(bench.window->SetupWindow->isVisible());
    QCOMPARE(bench.window->SetupWindow->ui->label_DigiBoard->text(), QStringLiteral("Corvane"));
}

void TestSetupDigiBoardRoad::proxyOfTheWindowDrivesTheControls()
{
    // The main window takes the record of the proxy shown in the set-up window.
    Bench bench;
    bench.settings().setProxyIndex(sim::BoardKind::Corvane, 11);
    bench.open();
    bench.selectBoard(Corvane);
    Connect(bench, Corvane);
    QCOMPARE(bench.window->SetupWindow->getProxyText(), QStringLiteral("Z647"));
    bench.window->InitGUIWithProxy();
    QCOMPARE(bench.window->CurrentProxyIndex.load(), 11);
}

QTEST_MAIN(TestSetupDigiBoardRoad)
#include "tst_setup_digiboard_road.moc"
