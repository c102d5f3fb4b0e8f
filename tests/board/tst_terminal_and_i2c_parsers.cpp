// The terminal's USB3 command grammar and the I2C configuration file reader, without their windows.
#include "board/i2c_configuration_file.h"
#include "board/terminal_command.h"

#include <QtTest>

class TestTerminalAndI2CParsers : public QObject
{
    Q_OBJECT

private slots:
    void corvaneGrammar_data();
    void corvaneGrammar();
    void corvaneReplyText();
    void i2cFile_data();
    void i2cFile();
    void i2cHexCells_data();
    void i2cHexCells();
};

void TestTerminalAndI2CParsers::corvaneGrammar_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("name");
    const int W = CorvaneTerminalCommand::Write, N = CorvaneTerminalCommand::NoParameter,
              D = CorvaneTerminalCommand::Drop;
    QTest::newRow("TINT 100") << QByteArray("!10100") << W << 0 << 100 << "TINT";
    QTest::newRow("ADD02") << QByteArray("!24095") << W << 1 << 4095 << "ADD02";
    QTest::newRow("ADD03") << QByteArray("!30000") << W << 2 << 0 << "ADD03";
    QTest::newRow("CKDIV") << QByteArray("!40100") << W << 3 << 100 << "CKDIV";
    QTest::newRow("GMS") << QByteArray("!60007") << W << 4 << 7 << "GMS";
    QTest::newRow("Yfirst") << QByteArray("!70001") << W << 5 << 1 << "Yfirst";
    QTest::newRow("Ylast") << QByteArray("!80002") << W << 6 << 2 << "Ylast";
    QTest::newRow("Xfirst") << QByteArray("!90003") << W << 7 << 3 << "Xfirst";
    QTest::newRow("Xlast") << QByteArray("!A0004") << W << 8 << 4 << "Xlast";
    QTest::newRow("Xacqsize") << QByteArray("!B0640") << W << 9 << 640 << "Xacqsize";
    QTest::newRow("Yacqsize") << QByteArray("!C0480") << W << 10 << 480 << "Yacqsize";
    QTest::newRow("ADD0C") << QByteArray("!D1234") << W << 11 << 1234 << "ADD0C";
    QTest::newRow("ADD0D") << QByteArray("!E2345") << W << 12 << 2345 << "ADD0D";
    QTest::newRow("proxy number, five digits") << QByteArray("!P00012") << W << 16 << 12 << "Proxy Number";
    QTest::newRow("proxy number has no limit") << QByteArray("!P99999") << W << 16 << 99999 << "Proxy Number";
    QTest::newRow("letter 5 names nothing") << QByteArray("!50100") << N << -1 << 100 << "";
    QTest::newRow("letter F names nothing") << QByteArray("!F0001") << N << -1 << 1 << "";
    QTest::newRow("lower case names nothing") << QByteArray("!a0001") << N << -1 << 1 << "";
    QTest::newRow("above 4095") << QByteArray("!15000") << D << -1 << 0 << "";
    QTest::newRow("no !") << QByteArray("10100") << D << -1 << 0 << "";
    QTest::newRow("empty") << QByteArray("") << D << -1 << 0 << "";
    QTest::newRow("! alone") << QByteArray("!") << D << -1 << 0 << "";
    // Short lines used to read their missing bytes as digits.
    QTest::newRow("three digits") << QByteArray("!1010") << D << -1 << 0 << "";
    QTest::newRow("letter only") << QByteArray("!1") << D << -1 << 0 << "";
    QTest::newRow("proxy with four digits") << QByteArray("!P0012") << D << -1 << 0 << "";
    QTest::newRow("non-digit in the value") << QByteArray("!1 100") << D << -1 << 0 << "";
    QTest::newRow("sign in the value") << QByteArray("!1-100") << D << -1 << 0 << "";
    QTest::newRow("colon is above 9") << QByteArray("!10:00") << D << -1 << 0 << "";
    QTest::newRow("trailing characters") << QByteArray("!10100x") << D << -1 << 0 << "";
    QTest::newRow("long line") << QByteArray("!10100000000000000000") << D << -1 << 0 << "";
    QTest::newRow("unknown letter, short") << QByteArray("!5") << D << -1 << 0 << "";
}

void TestTerminalAndI2CParsers::corvaneGrammar()
{
    QFETCH(QByteArray, line);
    QFETCH(int, action);
    QFETCH(int, id);
    QFETCH(int, value);
    QFETCH(QString, name);
    const CorvaneTerminalCommand command = ParseCorvaneTerminalCommand(line);
    QCOMPARE(int(command.LineAction), action);
    if (action == CorvaneTerminalCommand::Drop)
        return;
    QCOMPARE(command.RegisterId, id);
    QCOMPARE(command.Value, long(value));
    QCOMPARE(command.ParameterName, name);
}

void TestTerminalAndI2CParsers::corvaneReplyText()
{
    QCOMPARE(CorvaneTerminalReply(ParseCorvaneTerminalCommand("!10100")),
             QStringLiteral("\nValue 100 send to the TINT parameter of DB_Corvane\n"));
    QCOMPARE(CorvaneTerminalReply(ParseCorvaneTerminalCommand("!50100")),
             QStringLiteral("\nValue 100 send to the  parameter of DB_Corvane\n"));
}

using Rows = QList<QStringList>;

void TestTerminalAndI2CParsers::i2cFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Rows>("rows");  // type, name, address, value
    QTest::addColumn<int>("skipped");
    QTest::newRow("heading only") << QByteArray("Type;Name;Address;Value") << Rows{} << 0;
    QTest::newRow("heading with its line end") << QByteArray("Type;Name;Address;Value\n") << Rows{} << 0;
    QTest::newRow("empty file") << QByteArray() << Rows{} << 0;
    QTest::newRow("one row, h as 0x") << QByteArray("T;N;A;V\nA;B;h10;h20\n") << Rows{{"A", "B", "0x10", "0x20"}} << 0;
    QTest::newRow("last line without its end") << QByteArray("T;N;A;V\nA;B;h10;h20") << Rows{{"A", "B", "0x10", "0x20"}}
                                               << 0;
    QTest::newRow("CRLF, extra fields ignored")
        << QByteArray("T;N;A;V\r\nREG;GAIN;0x1F;3A;note;more\r\n") << Rows{{"REG", "GAIN", "0x1F", "3A"}} << 0;
    QTest::newRow("empty line ends the data")
        << QByteArray("T;N;A;V\nA;one;h01;h02\n\r\nA;two;h03;h04\n") << Rows{{"A", "one", "0x01", "0x02"}} << 0;
    QTest::newRow("short line skipped, the rest read")
        << QByteArray("T;N;A;V\nA;one;h01\nA;two;h03;h04\n") << Rows{{"A", "two", "0x03", "0x04"}} << 1;
    QTest::newRow("empty fields count") << QByteArray("T;N;A;V\n;;;\n") << Rows{{"", "", "", ""}} << 0;
    QTest::newRow("h only in address and value, case kept")
        << QByteArray("T;N;A;V\nhigh;ch;1Fh;H1F\n") << Rows{{"high", "ch", "1F0x", "H1F"}} << 0;
    const QByteArray longName(300, 'n');
    QTest::newRow("a long line is read whole")
        << QByteArray("T;N;A;V\nREG;" + longName + ";h10;h20\n") << Rows{{"REG", QString(longName), "0x10", "0x20"}} << 0;
    QTest::newRow("UTF-8 names") << QByteArray("T;N;A;V\nREG;r\xc3\xa9glage;h10;h20\n")
                                 << Rows{{"REG", QString::fromUtf8("r\xc3\xa9glage"), "0x10", "0x20"}} << 0;
}

void TestTerminalAndI2CParsers::i2cFile()
{
    QFETCH(QByteArray, text);
    QFETCH(Rows, rows);
    QFETCH(int, skipped);
    const I2CConfigurationFile file = ParseI2CConfiguration(text);
    Rows got;
    for (const I2CConfigurationRow& row : file.Rows)
        got << QStringList{row.TypeMem, row.Name, row.Address, row.Value};
    QCOMPARE(got, rows);
    QCOMPARE(file.Skipped.size(), skipped);
}

void TestTerminalAndI2CParsers::i2cHexCells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<qulonglong>("value");
    QTest::newRow("0x1F") << "0x1F" << 31ULL;
    QTest::newRow("1F") << "1F" << 31ULL;
    QTest::newRow("lower case digits") << "0x3a" << 58ULL;
    QTest::newRow("h suffix became 0x") << "1F0x" << 0ULL;
    QTest::newRow("upper-case H") << "H1F" << 0ULL;
    QTest::newRow("empty") << "" << 0ULL;
    QTest::newRow("0x alone") << "0x" << 0ULL;
    QTest::newRow("0x100 is out of range, not cut") << "0x100" << 256ULL;
    QTest::newRow("too large for 32 bits stays out of range") << "0xFFFFFFFFFFFFFFFFFF" << 0x100000000ULL;
}

void TestTerminalAndI2CParsers::i2cHexCells()
{
    QFETCH(QString, cell);
    QFETCH(qulonglong, value);
    QCOMPARE(ParseI2CHexCell(cell), value);
}

QTEST_GUILESS_MAIN(TestTerminalAndI2CParsers)
#include "tst_terminal_and_i2c_parsers.moc"
