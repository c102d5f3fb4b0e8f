// The I2C configuration sender from the main window: a file into the table, its checked rows to the simulated sensor.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/connection_bench.h"
#include "sim/core/board_kind.h"

#include "tools/MW_I2C_Configuration.h"
#include "ui_MW_I2C_Configuration.h"

#include <QFileDialog>
#include <QLineEdit>


namespace {

QString WriteFile(const Bench& p_Bench, const QString& p_sName, const QByteArray& p_Text)
{
    const QString sPath = p_Bench.folder.rootPath() + "/I2C_Configurations/" + p_sName;
    QDir().mkpath(QFileInfo(sPath).path());
    QFile file(sPath);
    file.open(QIODevice::WriteOnly);
    file.write(p_Text);
    return sPath;
}

QStringList Row(QTableWidget* p_pTable, int p_iRow)
{
    QStringList cells;
    for (int c = 0; c < 4; ++c)
        cells << p_pTable->item(p_iRow, c)->text();
    return cells;
}

QFileDialog* VisibleDialog(QWidget* p_pWindow)
{
    for (QFileDialog* pDialog : p_pWindow->findChildren<QFileDialog*>())
        if (pDialog->isVisible())
            return pDialog;
    return nullptr;
}

const QByteArray kThreeRows = "Type mem;Name;Address;Value\nA;B;h10;h20\nREG;GAIN;0x1F;3A\nREG;BIAS;1F;h02\n";

} // namespace

class TestI2CWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void cleanupTestCase() { sim::SetFastMode(false); }
    void fileIntoTheTable();
    void kindNumbersThatAreNoBoardBecomeNone_data();
    void kindNumbersThatAreNoBoardBecomeNone();
    void checkedRowsReachTheBoard_data();
    void checkedRowsReachTheBoard();
    void outOfRangeStopsWithAMessage();
    void boardsWithoutAPathCountEveryRow();
    void fileDialogLoadsTheChosenFile();
    void lifeCycleFromTheMenu();
};

void TestI2CWindow::fileIntoTheTable()
{
    Bench bench;
    bench.open();
    MW_I2C_Configuration* pWindow = bench.window->I2CWindow;
    QCOMPARE(pWindow->windowTitle(), QStringLiteral("Send I2C Configuration file to the sensor"));
    QTableWidget* pTable = pWindow->ui->tableWidget;
    QCOMPARE(pTable->horizontalHeaderItem(0)->text(), QStringLiteral("Name"));
    QCOMPARE(pTable->horizontalHeaderItem(3)->text(), QStringLiteral("Value"));

    pWindow->loadFile(WriteFile(bench, "three.csv", kThreeRows + "REG;short\n\nREG;AFTER;h01;h01\n"));
    QCOMPARE(pWindow->rowCount(), 3);
    QCOMPARE(Row(pTable, 0), (QStringList{"B", "A", "0x10", "0x20"}));
    QCOMPARE(pTable->item(0, 0)->checkState(), Qt::Checked);
    QCOMPARE(pTable->rowHeight(0), 20);
    QVERIFY(bench.logged("I2C configuration line skipped (fewer than 4 fields): REG;short"));
    QVERIFY(pWindow->ui->lineEdit_fileName->text().endsWith("three.csv"));

    // A file that does not open keeps the table.
    pWindow->loadFile(bench.folder.rootPath() + "/I2C_Configurations/missing.csv");
    QCOMPARE(bench.boxes.size(), 1);
    QCOMPARE(bench.boxes.first().title, QStringLiteral("Error"));
    QCOMPARE(bench.boxes.first().text, QStringLiteral("Error when opening I2C configuration file"));
    QCOMPARE(pWindow->rowCount(), 3);

    // A file with no data lines empties it; SEND then does nothing at all.
    pWindow->loadFile(WriteFile(bench, "heading.csv", "Type mem;Name;Address;Value"));
    QCOMPARE(pWindow->rowCount(), 0);
    const int iLines = bench.logLines().size();
    pWindow->SendCommands();
    QCOMPARE(bench.logLines().size(), iLines);
}

void TestI2CWindow::checkedRowsReachTheBoard_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<sim::BoardKind>("board");
    QTest::addColumn<QByteArray>("channel");
    QTest::addColumn<QList<QByteArray>>("sent");
    QTest::newRow("Belmor+") << int(BelmorPlus) << sim::BoardKind::BelmorPlus << QByteArray("serial")
                             << QList<QByteArray>{"!a016", "!b032", "!a031", "!b002"};
    QTest::newRow("Dunstel") << int(Dunstel) << sim::BoardKind::Dunstel << QByteArray("uart")
                             << QList<QByteArray>{"!a0016\n\r", "!b0032\n\r", "!a0031\n\r", "!b0002\n\r"};
    QTest::newRow("Corvane") << int(Corvane) << sim::BoardKind::Corvane << QByteArray("register")
                             << QList<QByteArray>{"14=16", "15=32", "14=31", "15=2"};
}

void TestI2CWindow::checkedRowsReachTheBoard()
{
    QFETCH(int, kind);
    QFETCH(sim::BoardKind, board);
    QFETCH(QByteArray, channel);
    QFETCH(QList<QByteArray>, sent);
    Bench bench;
    bench.open();
    bench.connectBoard(kind);
    MW_I2C_Configuration* pWindow = bench.window->I2CWindow;
    QCOMPARE(pWindow->digiBoard(), kind);
    QVERIFY(pWindow->isConnected());
    pWindow->loadFile(WriteFile(bench, "three.csv", kThreeRows));
    // Row 2 unchecked: not sent, not counted, but the log numbers rows by their place.
    pWindow->ui->tableWidget->item(1, 0)->setCheckState(Qt::Unchecked);
    sim::ClearRecordedMessages();

    QList<int> progress;
    QList<bool> buttonsDuringSend;
    connect(pWindow->ui->progressBar, &QProgressBar::valueChanged, [&](int p_iValue) {
        progress << p_iValue;
        buttonsDuringSend << (pWindow->ui->pushButton_Send->isEnabled() || pWindow->ui->pushButton_Browze->isEnabled());
    });
    QTest::mouseClick(pWindow->ui->pushButton_Send, Qt::LeftButton);
    QCOMPARE(sim::RecordedBytes(board, channel), sent);
    QCOMPARE(pWindow->ui->progressBar->maximum(), 2);
    QCOMPARE(progress, (QList<int>{1, 2}));
    QCOMPARE(buttonsDuringSend, (QList<bool>{false, false}));
    QVERIFY(pWindow->ui->pushButton_Send->isEnabled());
    QVERIFY(pWindow->ui->pushButton_Browze->isEnabled());
    QVERIFY(bench.logged("Sending i2C Commands"));
    QVERIFY(bench.logged("I2C Command #1 to address 16 with value 32 sent"));
    QVERIFY(bench.logged("I2C Command #3 to address 31 with value 2 sent"));
    QVERIFY(!bench.logged("I2C Command #2 to address 31 with value 58 sent"));
    QVERIFY(bench.boxes.isEmpty());
}

void TestI2CWindow::outOfRangeStopsWithAMessage()
{
    Bench bench;
    bench.open();
    bench.connectBoard(BelmorPlus);
    MW_I2C_Configuration* pWindow = bench.window->I2CWindow;
    pWindow->loadFile(WriteFile(bench, "range.csv", "T;N;A;V\nA;ok;h01;h02\nA;big;h100;h02\nA;after;h03;h04\n"));
    sim::ClearRecordedMessages();
    pWindow->SendCommands();
    QCOMPARE(bench.boxes.size(), 1);
    QCOMPARE(bench.boxes.first().title, QStringLiteral("Invalid parameter"));
    QVERIFY(bench.boxes.first().text.startsWith("Address or value is out of range (Add: 256 Val: 2"));
    QCOMPARE(sim::RecordedBytes(sim::BoardKind::BelmorPlus, "serial"), (QList<QByteArray>{"!a001", "!b002"}));
    QCOMPARE(pWindow->ui->progressBar->value(), 1);
    QVERIFY(pWindow->ui->pushButton_Send->isEnabled());
}

void TestI2CWindow::boardsWithoutAPathCountEveryRow()
{
    Bench bench;
    bench.open();
    MW_I2C_Configuration* pWindow = bench.window->I2CWindow;
    pWindow->setDigiBoard(Eskra);
    pWindow->loadFile(WriteFile(bench, "three.csv", kThreeRows));
    sim::ClearRecordedMessages();
    pWindow->SendCommands();
    QCOMPARE(pWindow->ui->progressBar->value(), 3);
    QVERIFY(bench.logged("I2C Command #2 to address 31 with value 58 sent"));
    QVERIFY(sim::RecordedMessages(sim::BoardKind::Eskra).empty());
}

void TestI2CWindow::fileDialogLoadsTheChosenFile()
{
    Bench bench;
    bench.open();
    MW_I2C_Configuration* pWindow = bench.window->I2CWindow;
    const QString sPath = WriteFile(bench, "chosen.csv", kThreeRows);
    pWindow->show();
    QString sDirectory;
    // The operator picks the file in the non-modal dialog.
    QTimer::singleShot(200, [&]() {
        QFileDialog* pDialog = VisibleDialog(pWindow);
        if (!pDialog)
            return;
        sDirectory = pDialog->directory().absolutePath();
        // Typed into the name field, as the operator does.
        if (auto* pName = pDialog->findChild<QLineEdit*>("fileNameEdit"))
            pName->setText(sPath);
        static_cast<QDialog*>(pDialog)->accept();
    });
    QTest::mouseClick(pWindow->ui->pushButton_Browze, Qt::LeftButton);
    QCOMPARE(QDir(sDirectory).canonicalPath(), QDir(bench.folder.rootPath() + "/I2C_Configurations").canonicalPath());
    QCOMPARE(pWindow->rowCount(), 3);
    QVERIFY(bench.logged("Selection of a I2C configuration file"));
    QVERIFY(bench.logged("File selected : " + sPath));

    // Cancelled: nothing changes.
    QTimer::singleShot(200, [&]() {
        if (QFileDialog* pDialog = VisibleDialog(pWindow))
            pDialog->reject();
    });
    pWindow->selectFile();
    QCOMPARE(pWindow->rowCount(), 3);
}

void TestI2CWindow::lifeCycleFromTheMenu()
{
    Bench bench;
    bench.open();
    bench.selectBoard(Corvane);
    // Not connected: Cancel stops without a log line.
    bench.answer = 1;
    bench.window->ui->action_Send_I2C_Configuration_file->trigger();
    QCOMPARE(bench.boxes.size(), 1);
    QCOMPARE(bench.boxes.first().title, QStringLiteral("Start connexion first"));
    QVERIFY(!bench.window->I2CWindow->isVisible());
    // Connect: the attempt, then the window.
    bench.answer = 0;
    bench.window->ui->action_Send_I2C_Configuration_file->trigger();
    QVERIFY(bench.window->Connected);
    QVERIFY(bench.window->I2CWindow->isVisible());
    QVERIFY(bench.window->I2CWindow->isConnected());
    bench.window->I2CWindow->close();
    QVERIFY(bench.logged("Close I2C Commands Window"));
    QVERIFY(!bench.window->I2CWindowOpen);
    bench.window->Deinit();
    QVERIFY(!bench.window->I2CWindow->isConnected());
}

// The window keeps the board kind as a kind: a combo index that names no
// board is taken as no board, so no link is used for it.
void TestI2CWindow::kindNumbersThatAreNoBoardBecomeNone_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("kind");
    QTest::newRow("Arvex") << 1 << 1;
    QTest::newRow("Corvane") << 6 << 6;
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("past the last kind") << 7 << 0;
    QTest::newRow("negative") << -1 << 0;
}

void TestI2CWindow::kindNumbersThatAreNoBoardBecomeNone()
{
    QFETCH(int, number);
    QFETCH(int, kind);
    MW_I2C_Configuration window;
    window.setDigiBoard(number);
    QCOMPARE(window.digiBoard(), kind);
}

QTEST_MAIN(TestI2CWindow)
#include "tst_i2c_window.moc"
