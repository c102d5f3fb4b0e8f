// The serial terminal from the main window: typed lines to each simulated board kind and what the window shows.
#include "ui_MainWindow.h"
#include "ui_MW_ProxyBelmor.h"

#include "board/connection_bench.h"
#include "sim/core/board_kind.h"

#include "tools/Window_Terminal.h"
#include "ui_Window_Terminal.h"


namespace {

// Types the line and presses Return, as the operator does.
void Type(Window_Terminal* p_pTerminal, const QString& p_sLine)
{
    p_pTerminal->ui->lineEdit_Send->setText(p_sLine);
    QTest::keyClick(p_pTerminal->ui->lineEdit_Send, Qt::Key_Return);
}

} // namespace

class TestTerminalWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { sim::SetFastMode(true); }
    void cleanupTestCase() { sim::SetFastMode(false); }
    void formAndLifeCycle();
    void kindNumbersThatAreNoBoardBecomeNone_data();
    void kindNumbersThatAreNoBoardBecomeNone();
    void cameraLinkAndGigELinesGetTheBoardsReply_data();
    void cameraLinkAndGigELinesGetTheBoardsReply();
    void corvaneGrammarBecomesRegisterWrites();
    void eskraSendsNothing();
    void replyIsShownAsPlainText();
};

void TestTerminalWindow::formAndLifeCycle()
{
    Bench bench;
    bench.open();
    Window_Terminal* pTerminal = bench.window->TerminalWindow;
    QCOMPARE(pTerminal->windowTitle(), QStringLiteral("Terminal"));
    QCOMPARE(pTerminal->size(), QSize(245, 385));
    QVERIFY(!pTerminal->isConnected());
    QVERIFY(!pTerminal->pollTimer()->isActive());

    // Not connected: refused with a box and a log line.
    bench.window->ui->action_OpenTerminal->trigger();
    QCOMPARE(bench.boxes.size(), 1);
    QCOMPARE(bench.boxes.first().title, QStringLiteral("Start connexion first"));
    QVERIFY(bench.logged("Terminal Window can't be opened because no connection with a DigiBoard is made"));
    QVERIFY(!pTerminal->isVisible());

    bench.connectBoard(Corvane);
    QVERIFY(pTerminal->isConnected());
    QCOMPARE(pTerminal->digiBoard(), int(Corvane));
    bench.window->ui->action_OpenTerminal->trigger();
    bench.window->ui->action_OpenTerminal->trigger();
    QVERIFY(pTerminal->isVisible());
    QCOMPARE(bench.logLines().count("Open Terminal Window"), 1);
    pTerminal->close();
    QVERIFY(bench.logged("Close Terminal Window"));
    QVERIFY(!bench.window->TerminalWindowOpen);
    bench.window->ui->action_OpenTerminal->trigger();
    QVERIFY(pTerminal->isVisible());

    // A disconnection reaches the window; a send is then refused and keeps the line.
    bench.window->Deinit();
    QVERIFY(!pTerminal->isConnected());
    bench.boxes.clear();
    Type(pTerminal, "!10100");
    QCOMPARE(bench.boxes.size(), 1);
    QCOMPARE(pTerminal->ui->lineEdit_Send->text(), QStringLiteral("!10100"));
    QCOMPARE(pTerminal->ui->textEdit->toPlainText(), QString());
}

void TestTerminalWindow::cameraLinkAndGigELinesGetTheBoardsReply_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<sim::BoardKind>("board");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("channel");
    QTest::newRow("Belmor+") << int(BelmorPlus) << sim::BoardKind::BelmorPlus << "!p" << QByteArray("serial");
    QTest::newRow("Arvex") << int(Arvex) << sim::BoardKind::Arvex << "*p" << QByteArray("serial");
    QTest::newRow("Dunstel") << int(Dunstel) << sim::BoardKind::Dunstel << "!p" << QByteArray("uart");
}

void TestTerminalWindow::cameraLinkAndGigELinesGetTheBoardsReply()
{
    QFETCH(int, kind);
    QFETCH(sim::BoardKind, board);
    QFETCH(QString, line);
    QFETCH(QByteArray, channel);
    Bench bench;
    bench.open();
    bench.connectBoard(kind);
    Window_Terminal* pTerminal = bench.window->TerminalWindow;
    bench.window->ActionTerminal();
    sim::ClearRecordedMessages();

    // The mouse press on SEND sends once.
    pTerminal->ui->lineEdit_Send->setText(line);
    QTest::mouseClick(pTerminal->ui->pushButton_SEND, Qt::LeftButton);
    QCOMPARE(sim::RecordedBytes(board, channel), QList<QByteArray>{line.toUtf8()});
    QCOMPARE(pTerminal->ui->lineEdit_Send->text(), QString());
    const QString sShown = pTerminal->ui->textEdit->toPlainText();
    QVERIFY2(sShown.startsWith(line) && sShown.size() > line.size(), qPrintable(sShown));

    // CLEAR empties the area and logs it.
    QTest::mouseClick(pTerminal->ui->pushButton_CLEAR, Qt::LeftButton);
    QCOMPARE(pTerminal->ui->textEdit->toPlainText(), QString());
    QVERIFY(bench.logged("Clear Terminal"));
}

void TestTerminalWindow::corvaneGrammarBecomesRegisterWrites()
{
    Bench bench;
    bench.open();
    bench.connectBoard(Corvane);
    Window_Terminal* pTerminal = bench.window->TerminalWindow;
    sim::ClearRecordedMessages();

    Type(pTerminal, "!10100");
    QCOMPARE(pTerminal->ui->textEdit->toPlainText(),
             QStringLiteral("!10100\nValue 100 send to the TINT parameter of DB_Corvane\n"));
    QCOMPARE(sim::RecordedBytes(sim::BoardKind::Corvane, "register"), QList<QByteArray>{"0=100"});

    // Keep data sent leaves the line for the next send.
    pTerminal->ui->checkBox_keep->setChecked(true);
    Type(pTerminal, "!40100");
    QCOMPARE(pTerminal->ui->lineEdit_Send->text(), QStringLiteral("!40100"));
    pTerminal->ui->checkBox_keep->setChecked(false);

    // Refused lines: nothing sent, nothing shown, the line stays.
    pTerminal->ui->textEdit->clear();
    sim::ClearRecordedMessages();
    for (const char* szLine : {"!15000", "10100", "!1010", "!1a100"}) {
        Type(pTerminal, szLine);
        QCOMPARE(pTerminal->ui->lineEdit_Send->text(), QString::fromLatin1(szLine));
    }
    QCOMPARE(pTerminal->ui->textEdit->toPlainText(), QString());
    QVERIFY(sim::RecordedBytes(sim::BoardKind::Corvane, "register").isEmpty());

    // A letter that names nothing sends nothing but shows the reply.
    Type(pTerminal, "!50100");
    QCOMPARE(pTerminal->ui->textEdit->toPlainText(),
             QStringLiteral("!50100\nValue 100 send to the  parameter of DB_Corvane\n"));
    QVERIFY(sim::RecordedBytes(sim::BoardKind::Corvane, "register").isEmpty());
    QVERIFY(bench.boxes.isEmpty());
}

void TestTerminalWindow::eskraSendsNothing()
{
    Bench bench;
    bench.open();
    Window_Terminal* pTerminal = bench.window->TerminalWindow;
    bench.selectBoard(Eskra);
    QCOMPARE(pTerminal->digiBoard(), int(Eskra));
    pTerminal->setStatusConnexion(true);
    sim::ClearRecordedMessages();
    Type(pTerminal, "!10100");
    QCOMPARE(pTerminal->ui->textEdit->toPlainText(), QStringLiteral("!10100"));
    QVERIFY(sim::RecordedMessages(sim::BoardKind::Eskra).empty());
}

void TestTerminalWindow::replyIsShownAsPlainText()
{
    Bench bench;
    bench.open();
    Window_Terminal* pTerminal = bench.window->TerminalWindow;
    bench.selectBoard(Eskra);
    pTerminal->setStatusConnexion(true);
    // Text that looks like markup is kept byte for byte.
    Type(pTerminal, "<b>x</b>");
    Type(pTerminal, "a<br>b&amp;");
    QCOMPARE(pTerminal->ui->textEdit->toPlainText(), QStringLiteral("<b>x</b>a<br>b&amp;"));
}

// The window keeps the board kind as a kind: a combo index that names no
// board is taken as no board, so no link is used for it.
void TestTerminalWindow::kindNumbersThatAreNoBoardBecomeNone_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("kind");
    QTest::newRow("Arvex") << 1 << 1;
    QTest::newRow("Corvane") << 6 << 6;
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("past the last kind") << 7 << 0;
    QTest::newRow("negative") << -1 << 0;
}

void TestTerminalWindow::kindNumbersThatAreNoBoardBecomeNone()
{
    QFETCH(int, number);
    QFETCH(int, kind);
    Window_Terminal window;
    window.setDigiBoard(number);
    QCOMPARE(window.digiBoard(), kind);
}

QTEST_MAIN(TestTerminalWindow)
#include "tst_terminal_window.moc"
