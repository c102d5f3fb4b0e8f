// The board set-up window on its own: lists, board kinds, the custom pixel clock, the frame rate read back and "Set config".
#include "tools/Setup_DigiBoard.h"
#include "ui_Setup_DigiBoard.h"

#include "app/kv_log.h"
#include "app/message_boxes.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "sim/core/board_registry.h"
#include "sim/core/message_recorder.h"
#include "support/test_app_folder.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr int kArvex = 1, kBelmor = 2, kBelmorPlus = 3, kDunstel = 4, kEskra = 5, kCorvane = 6;

struct WindowBench
{
    TestAppFolder Folder;
    QList<MessageBoxRequest> Boxes;
    QList<int> Answers;  // one per box, in order; 0 (the first button) once they run out
    Setup_DigiBoard Window;

    WindowBench()
    {
        InitProxyParameterTable();
        sim::ResetSimulation();
        SetMessageBoxPresenter([this](const MessageBoxRequest& p_Request) {
            Boxes << p_Request;
            return Answers.isEmpty() ? 0 : Answers.takeFirst();
        });
    }
    ~WindowBench()
    {
        SetMessageBoxPresenter(nullptr);
        sim::ResetSimulation();
    }
    Ui::Setup_DigiBoard* ui() { return Window.ui; }
    void choose(const QString& p_sProxy, int p_iFrequencyItem)
    {
        ui()->comboBox_SelectProxy->setCurrentText(p_sProxy);
        ui()->comboBox_SelectFreq->setCurrentIndex(p_iFrequencyItem);
    }
    QList<int> availableItems()
    {
        QList<int> items;
        for (int i = 0; i < ui()->comboBox_SelectFreq->count(); ++i)
            if (Window.isFrequencyItemAvailable(i))
                items << i;
        return items;
    }
    QStringList boxTitles() const
    {
        QStringList titles;
        for (const MessageBoxRequest& box : Boxes)
            titles << box.title;
        return titles;
    }
};

} // namespace

class TestSetupDigiBoard : public QObject
{
    Q_OBJECT

private slots:
    void formAtConstruction();
    void proxyChoiceGreysUnofferedRates_data();
    void proxyChoiceGreysUnofferedRates();
    void boardKinds_data();
    void boardKinds();
    void customFrequencyWidgets();
    void pixelClockSearchFollowsTheBoard();
    void frequencyReadFromTheBoard_data();
    void frequencyReadFromTheBoard();
    void confirmationsDeclinedSendNothing();
    void unavailableRateIsRefusedBeforeSending();
    void eskraReportsSuccessAndClosesTheWindow();
    void failedWritesShowTheFailureBox();
};

void TestSetupDigiBoard::formAtConstruction()
{
    WindowBench b;
    QCOMPARE(b.Window.windowTitle(), QStringLiteral("Setup DigiBoard"));
    QCOMPARE(b.Window.size(), QSize(380, 340));
    QCOMPARE(b.ui()->comboBox_SelectProxy->count(), 23);
    QCOMPARE(b.ui()->comboBox_SelectProxy->itemText(0), QStringLiteral("Proxy Board..."));
    QCOMPARE(b.ui()->comboBox_SelectProxy->itemText(22), QStringLiteral("T230"));
    QStringList rates;
    for (int i = 0; i < b.ui()->comboBox_SelectFreq->count(); ++i)
        rates << b.ui()->comboBox_SelectFreq->itemText(i);
    QCOMPARE(rates, (QStringList{"Default frequency", "25 FPS", "30 FPS", "50 FPS", "60 FPS", "100 FPS", "120 FPS",
                                 "200 FPS", "Custom frequency"}));
    QVERIFY(!b.ui()->pushButton_SetConf->isEnabled());
    // Before any proxy has been checked no rate counts as available.
    QCOMPARE(b.availableItems(), QList<int>{});
}

void TestSetupDigiBoard::proxyChoiceGreysUnofferedRates_data()
{
    QTest::addColumn<QString>("proxy");
    QTest::addColumn<QList<int>>("available");
    QTest::addColumn<int>("row");
    QTest::newRow("Z647") << "Z647" << QList<int>{1, 2, 3, 7} << 11;
    QTest::newRow("Y1437P") << "Y1437P" << QList<int>{1, 2, 3, 4, 5, 6} << 9;
    QTest::newRow("No Proxy") << "No Proxy" << QList<int>{} << 13;
    QTest::newRow("Proxy Board...") << "Proxy Board..." << QList<int>{} << 0;
}

void TestSetupDigiBoard::proxyChoiceGreysUnofferedRates()
{
    QFETCH(QString, proxy);
    QFETCH(QList<int>, available);
    QFETCH(int, row);
    WindowBench b;
    b.ui()->comboBox_SelectProxy->setCurrentIndex(5);  // another proxy first: the list is refreshed, not only set
    b.ui()->comboBox_SelectFreq->setCurrentIndex(8);
    b.ui()->comboBox_SelectProxy->setCurrentText(proxy);
    b.Window.ComboBox_SelectProxyCard();
    QCOMPARE(b.Window.proxyRow(), row);
    QCOMPARE(b.availableItems(), available);
    QCOMPARE(b.ui()->comboBox_SelectFreq->currentIndex(), 0);
    // Greyed in place: every item keeps its index and text, the flags say 0 or 33.
    QCOMPARE(b.ui()->comboBox_SelectFreq->count(), 9);
    for (int i = 1; i <= 7; ++i)
        QCOMPARE(b.ui()->comboBox_SelectFreq->itemData(i, Setup_DigiBoard::ItemFlagsRole).toInt(),
                 available.contains(i) ? 33 : 0);
    QVERIFY(!b.ui()->comboBox_SelectFreq->itemData(0, Setup_DigiBoard::ItemFlagsRole).isValid());
    QVERIFY(!b.ui()->comboBox_SelectFreq->itemData(8, Setup_DigiBoard::ItemFlagsRole).isValid());
}

void TestSetupDigiBoard::boardKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("standard");
    QTest::addColumn<bool>("options");
    QTest::addColumn<bool>("lists");
    QTest::addColumn<bool>("setConfig");
    QTest::addColumn<double>("wanted");
    QTest::newRow("Arvex") << kArvex << "Arvex" << true << true << true << true << 100.0;
    QTest::newRow("Belmor") << kBelmor << "Belmor - Dynamic Configuration disabled" << false << false << false << false
                            << 100.0;
    QTest::newRow("Belmor+") << kBelmorPlus << "Belmor+" << true << true << true << true << 100.0;
    QTest::newRow("Dunstel") << kDunstel << "Dunstel" << true << false << true << true << 60.0;
    QTest::newRow("Eskra") << kEskra << "Eskra" << false << false << false << true << 60.0;
    QTest::newRow("Corvane") << kCorvane << "Corvane" << true << false << true << true << 100.0;
    QTest::newRow("none") << 0 << "No digiboard" << false << false << false << false << 100.0;
}

void TestSetupDigiBoard::boardKinds()
{
    QFETCH(int, kind);
    QFETCH(QString, label);
    QFETCH(bool, standard);
    QFETCH(bool, options);
    QFETCH(bool, lists);
    QFETCH(bool, setConfig);
    QFETCH(double, wanted);
    WindowBench b;
    b.Window.setDigiBoard(kind);
    QCOMPARE(b.ui()->label_DigiBoard->text(), label);
    QCOMPARE(b.ui()->groupBox_BasicConfiguration->isEnabled(), standard);
    QCOMPARE(b.ui()->groupBox_Options->isEnabled(), options);
    QCOMPARE(b.ui()->comboBox_SelectFreq->isEnabled(), lists);
    QCOMPARE(b.ui()->comboBox_SelectProxy->isEnabled(), lists);
    QCOMPARE(b.ui()->pushButton_SetConf->isEnabled(), setConfig);
    QCOMPARE(b.ui()->doubleSpinBox_FreqWanted->value(), wanted);
    QCOMPARE(b.ui()->doubleSpinBox_FreqGen->value(), wanted);
    QCOMPARE(b.ui()->doubleSpinBox_FreqWanted->maximum(), 120.0);
    if (kind == kEskra) {
        QCOMPARE(b.Window.getProxyText(), QStringLiteral("Z603"));
        QCOMPARE(b.Window.proxyRow(), 17);
    }
}

void TestSetupDigiBoard::customFrequencyWidgets()
{
    WindowBench b;
    b.Window.setDigiBoard(kBelmorPlus);
    const QList<QWidget*> custom{b.ui()->spinBox_CKDIV, b.ui()->spinBox_GSK, b.ui()->doubleSpinBox_FreqWanted,
                                 b.ui()->checkBox_InvTx, b.ui()->checkBox_InvPx, b.ui()->checkBox_InvDV,
                                 b.ui()->checkBox_DisableDV, b.ui()->checkBox_InvMCLK, b.ui()->label_Freq};
    b.ui()->comboBox_SelectFreq->setCurrentIndex(8);
    for (QWidget* pWidget : custom)
        QVERIFY2(pWidget->isEnabled(), qPrintable(pWidget->objectName()));
    QVERIFY(!b.ui()->doubleSpinBox_FreqGen->isEnabled());
    QCOMPARE(b.ui()->label_Freq->text(), QStringLiteral("Error : %"));
    b.ui()->comboBox_SelectFreq->setCurrentIndex(0);
    for (QWidget* pWidget : custom)
        QVERIFY2(!pWidget->isEnabled(), qPrintable(pWidget->objectName()));
    QCOMPARE(b.ui()->label_Freq->text(), QString());
}

void TestSetupDigiBoard::pixelClockSearchFollowsTheBoard()
{
    WindowBench b;
    b.Window.setDigiBoard(kBelmorPlus);
    b.ui()->comboBox_SelectFreq->setCurrentIndex(8);
    // Not connected: nothing is searched.
    b.ui()->doubleSpinBox_FreqWanted->setValue(74.25);
    QCOMPARE(b.ui()->label_Freq->text(), QStringLiteral("Error : %"));
    QCOMPARE(b.Window.multiplier(), 2);

    b.Window.setStatusConnexion(true);
    b.ui()->doubleSpinBox_FreqWanted->setValue(74.2);
    b.ui()->doubleSpinBox_FreqWanted->setValue(74.25);
    QCOMPARE(b.Window.multiplier(), 173);
    QCOMPARE(b.Window.divider(), 233);
    QCOMPARE(b.ui()->doubleSpinBox_FreqGen->value(), 74.2489);
    QCOMPARE(b.ui()->label_Freq->text(), QStringLiteral("Error: -0.001445%"));
    b.ui()->doubleSpinBox_FreqWanted->setValue(0.0);
    QCOMPARE(b.ui()->doubleSpinBox_FreqGen->value(), 0.7843);
    QCOMPARE(b.ui()->label_Freq->text(), QString());

    // Arvex and Corvane take the wanted frequency itself.
    b.Window.setDigiBoard(kCorvane);
    b.ui()->doubleSpinBox_FreqWanted->setValue(42.999);
    QCOMPARE(b.ui()->doubleSpinBox_FreqGen->value(), 42.999);
    QCOMPARE(b.ui()->label_Freq->text(), QString());
    QCOMPARE(b.Window.multiplier(), 2);
    QCOMPARE(b.Window.divider(), 255);
}

void TestSetupDigiBoard::frequencyReadFromTheBoard_data()
{
    QTest::addColumn<QString>("proxy");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("notTested");
    QTest::newRow("offered rate") << "Z647" << 200 << 7 << false;
    QTest::newRow("rate the proxy does not offer") << "Z647" << 60 << 0 << true;
    QTest::newRow("no proxy chosen yet") << "Proxy Board..." << 30 << 0 << true;
    QTest::newRow("unknown code") << "Z647" << 75 << 0 << true;
    QTest::newRow("custom") << "Z647" << 254 << 8 << false;
    QTest::newRow("default") << "Z647" << 255 << 0 << false;
    QTest::newRow("0 is the default") << "Z647" << 0 << 0 << false;
}

void TestSetupDigiBoard::frequencyReadFromTheBoard()
{
    QFETCH(QString, proxy);
    QFETCH(int, code);
    QFETCH(int, item);
    QFETCH(bool, notTested);
    WindowBench b;
    b.Window.setDigiBoard(kArvex);
    b.ui()->comboBox_SelectProxy->setCurrentText(proxy);
    b.ui()->comboBox_SelectFreq->setCurrentIndex(5);
    QSignalSpy spy(&b.Window, &Setup_DigiBoard::FrequencyNotTested);
    b.Window.setFrequency(code);
    QCOMPARE(b.ui()->comboBox_SelectFreq->currentIndex(), item);
    QCOMPARE(b.Window.getFrequency(), code);
    QCOMPARE(spy.count(), notTested ? 1 : 0);
    if (notTested)
        QCOMPARE(spy.first().first().toInt(), code);
}

void TestSetupDigiBoard::confirmationsDeclinedSendNothing()
{
    WindowBench b;
    b.Window.setDigiBoard(kBelmorPlus);
    QSignalSpy pressed(&b.Window, &Setup_DigiBoard::ButtonConfigPressed);
    QSignalSpy update(&b.Window, &Setup_DigiBoard::UpdateGSK_CKDIV);

    // GSK 0 with a custom frequency asks; Cancel ends it.
    b.choose("Y1437P", 8);
    b.Answers = {1};
    b.Window.PushButton_Set();
    QCOMPARE(b.boxTitles(), QStringList{"GSK Value"});
    QCOMPARE(b.Boxes.first().buttons, (QStringList{"OK", "Cancel"}));

    // GSK 0 with a preset asks nothing; 200 FPS on Z647 asks the fast-pixel question; No ends it.
    b.Boxes.clear();
    b.choose("Z647", 7);
    b.Answers = {1};
    b.Window.PushButton_Set();
    QCOMPARE(b.boxTitles(), QStringList{"FastPixel sensor only"});
    QCOMPARE(b.Boxes.first().buttons, (QStringList{"Yes", "No"}));
    QCOMPARE(pressed.count(), 0);
    QCOMPARE(update.count(), 0);
    QVERIFY(sim::RecordedMessages(sim::BoardKind::BelmorPlus).empty());
}

void TestSetupDigiBoard::unavailableRateIsRefusedBeforeSending()
{
    WindowBench b;
    b.Window.setDigiBoard(kArvex);
    QSignalSpy pressed(&b.Window, &Setup_DigiBoard::ButtonConfigPressed);
    QSignalSpy update(&b.Window, &Setup_DigiBoard::UpdateGSK_CKDIV);
    // Y420 offers 25 FPS, but has no pixel frequency for it, which is what Arvex takes.
    b.choose("Y420", 1);
    QCOMPARE(b.ui()->comboBox_SelectFreq->currentIndex(), 1);
    b.Window.PushButton_Set();
    QCOMPARE(b.boxTitles(), QStringList{"Frequency not available"});
    QVERIFY(b.Boxes.first().text.contains("25 FPS"));
    QCOMPARE(pressed.count(), 0);
    QCOMPARE(update.count(), 0);
    QVERIFY(sim::RecordedMessages(sim::BoardKind::Arvex).empty());
}

void TestSetupDigiBoard::eskraReportsSuccessAndClosesTheWindow()
{
    WindowBench b;
    b.Window.show();
    b.Window.setDigiBoard(kEskra);
    QSignalSpy pressed(&b.Window, &Setup_DigiBoard::ButtonConfigPressed);
    QSignalSpy update(&b.Window, &Setup_DigiBoard::UpdateGSK_CKDIV);
    QSignalSpy closed(&b.Window, &Setup_DigiBoard::CloseWindow);
    QTest::mouseClick(b.ui()->pushButton_SetConf, Qt::LeftButton);
    QCOMPARE(b.boxTitles(), QStringList{"Warning"});
    QCOMPARE(b.Boxes.first().text,
             QStringLiteral("The Digiboard has been well configured.\nPlease restart the Digiboard to start the acquisition."));
    QCOMPARE(update.count(), 1);
    QCOMPARE(update.first().first().toInt(), 0);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(pressed.count(), 1);
    QVERIFY(!b.Window.isVisible());
    QVERIFY(sim::RecordedMessages(sim::BoardKind::Eskra).empty());
}

void TestSetupDigiBoard::failedWritesShowTheFailureBox()
{
    // Belmor+ with no Camera Link port open: every write fails.
    WindowBench b;
    b.Window.show();
    b.Window.setDigiBoard(kBelmorPlus);
    b.choose("Y1437P", 5);
    QSignalSpy pressed(&b.Window, &Setup_DigiBoard::ButtonConfigPressed);
    QSignalSpy update(&b.Window, &Setup_DigiBoard::UpdateGSK_CKDIV);
    b.Window.PushButton_Set();
    QCOMPARE(b.boxTitles(), QStringList{"Error"});
    QVERIFY(b.Window.isVisible());
    QCOMPARE(update.count(), 1);
    QCOMPARE(update.first().first().toInt(), 100);
    // The main window disconnects in both outcomes.
    QCOMPARE(pressed.count(), 1);
}

QTEST_MAIN(TestSetupDigiBoard)
#include "tst_setup_digiboard.moc"
