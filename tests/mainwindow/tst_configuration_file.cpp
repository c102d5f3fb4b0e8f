// The ".conf" configuration file: its 41 lines as written, and reading them back by position.
#include "mainwindow/configuration_file.h"

#include <QBuffer>
#include <QtTest>

namespace {

// Every member different, so a value read into the wrong member shows.
ConfigurationSettings Sample()
{
    ConfigurationSettings s;
    s.DigiBoard = "Belmor+";
    s.Proxy = "Z668";
    int* flags[] = {&s.GMS,   &s.OAdj2, &s.OAdj1, &s.OAdj0, &s.MAdj2,  &s.MAdj1,  &s.MAdj0, &s.Ref1,
                    &s.Ref0,  &s.Gain1, &s.Gain2, &s.Gain3, &s.UpCol,  &s.UpRow,  &s.bTINT, &s.bDACA,
                    &s.bDACB, &s.bDACC, &s.bDACD, &s.bCKDIV, &s.bInvBW, &s.bHDR, &s.bGamma, &s.bAGC};
    for (int i = 0; i < int(std::size(flags)); ++i)
        *flags[i] = i % 3 == 0 ? 1 : 0;
    s.TINT = 2500;
    s.DACA = 1201;
    s.DACB = 1302;
    s.DACC = 1403;
    s.DACD = 1504;
    s.CKDIV = 3;
    s.Gamma = 1.5f;
    s.AGCGain = 42;
    s.AGCCentre = -7;
    s.Bayer = 2;
    s.Interpol = 1;
    s.OffsetImage = -120;
    s.GainImage = 4;
    return s;
}

QStringList Lines(const QString& p_sText)
{
    QStringList lines = p_sText.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

ConfigurationReadResult Read(const QByteArray& p_Bytes)
{
    QBuffer buffer;
    buffer.setData(p_Bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    return ReadConfigurationFile(buffer);
}

QByteArray Join(const QStringList& p_Lines)
{
    return (p_Lines.join('\n') + '\n').toUtf8();
}

const QDateTime kWritten(QDate(2026, 3, 7), QTime(9, 5, 2));

} // namespace

Q_DECLARE_METATYPE(ConfigurationSettings)

class tst_configuration_file : public QObject
{
    Q_OBJECT

private slots:
    void writtenLines();
    void gammaNotation_data();
    void gammaNotation();
    void roundTrip();
    void lineValue_data();
    void lineValue();
    void readByPosition_data();
    void readByPosition();
    void completeness_data();
    void completeness();
};

void tst_configuration_file::writtenLines()
{
    const QStringList lines = Lines(ConfigurationFileText(Sample(), kWritten));
    QCOMPARE(lines.size(), ConfigurationFileLineCount);
    QCOMPARE(lines.at(0), "Configuration file - 2026 " + QLocale::system().monthName(3) + " 07 - 09:05:02");
    QCOMPARE(lines.at(1), QString());
    QCOMPARE(lines.at(2), QStringLiteral("DigiBoard       = Belmor+"));
    QCOMPARE(lines.at(3), QStringLiteral("Proxy           = Z668"));
    QCOMPARE(lines.at(4), QStringLiteral("GMS             = 1"));
    QCOMPARE(lines.at(13), QStringLiteral("Gain1           = 1")); // the tenth flag, checkBox_Gain0
    QCOMPARE(lines.at(28), QStringLiteral("TINT            = 2500"));
    QCOMPARE(lines.at(34), QStringLiteral("Gamma           = 1.5"));
    QCOMPARE(lines.at(36), QStringLiteral("AGCCentre       = -7"));
    QCOMPARE(lines.at(39), QStringLiteral("Offset Image    = -120"));
    QCOMPARE(lines.at(40), QStringLiteral("Gain Image      = 4"));
    // Every key field is 18 characters wide, whatever the key.
    for (int i = 2; i < lines.size(); ++i)
        QCOMPARE(lines.at(i).mid(16, 2), QStringLiteral("= "));

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(WriteConfigurationFile(buffer, Sample(), kWritten));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF")); // no byte-order mark
    QCOMPARE(QString::fromUtf8(bytes), ConfigurationFileText(Sample(), kWritten));
}

void tst_configuration_file::gammaNotation_data()
{
    QTest::addColumn<float>("gamma");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 1.0f << "1";
    QTest::newRow("single precision tenth") << 0.1f << "0.1";
    QTest::newRow("seven digits cut to six") << 2.345678f << "2.34568";
    QTest::newRow("tiny in exponent form") << 1.0e-7f << "1e-07";
}

void tst_configuration_file::gammaNotation()
{
    QFETCH(float, gamma);
    QFETCH(QString, text);
    ConfigurationSettings s = Sample();
    s.Gamma = gamma;
    QCOMPARE(Lines(ConfigurationFileText(s, kWritten)).at(34), "Gamma           = " + text);
}

void tst_configuration_file::roundTrip()
{
    const ConfigurationSettings s = Sample();
    const ConfigurationReadResult r = Read(ConfigurationFileText(s, kWritten).toUtf8());
    QCOMPARE(r.Status, ConfigurationReadStatus::Complete);
    QCOMPARE(ConfigurationFileText(r.Settings, kWritten), ConfigurationFileText(s, kWritten));

    // A file made on Windows (CR LF) reads the same.
    QByteArray crlf = ConfigurationFileText(s, kWritten).toUtf8();
    crlf.replace("\n", "\r\n");
    const ConfigurationReadResult w = Read(crlf);
    QCOMPARE(w.Status, ConfigurationReadStatus::Complete);
    QCOMPARE(ConfigurationFileText(w.Settings, kWritten), ConfigurationFileText(s, kWritten));
}

void tst_configuration_file::lineValue_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("value");
    QTest::newRow("key field") << "TINT            = 2500" << "2500";
    QTest::newRow("blanks inside removed") << "Proxy = Y 1437 P" << "Y1437P";
    QTest::newRow("second = ends it") << "A = 12 = 13" << "12";
    QTest::newRow("nothing after =") << "A =" << "";
    QTest::newRow("no =") << "TINT 2500" << "";
    QTest::newRow("empty") << "" << "";
}

void tst_configuration_file::lineValue()
{
    QFETCH(QString, line);
    QFETCH(QString, value);
    QCOMPARE(ConfigurationLineValue(line), value);
}

// One line of a complete file replaced (1-based line number), and what the reader makes of it.
void tst_configuration_file::readByPosition_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("member"); // what to look at
    QTest::addColumn<double>("expected");

    QTest::newRow("real in an integer line") << 29 << "TINT = 1.5" << "TINT" << 0.0;
    QTest::newRow("flag 2 kept as 2") << 28 << "bAGC = 2" << "bAGC" << 2.0;
    QTest::newRow("negative") << 40 << "Offset Image = -33" << "OffsetImage" << -33.0;
    QTest::newRow("text") << 30 << "DACA = abc" << "DACA" << 0.0;
    QTest::newRow("beyond int") << 30 << "DACA = 99999999999" << "DACA" << 0.0;
    QTest::newRow("no = sign") << 31 << "DACB 77" << "DACB" << 0.0;
    QTest::newRow("keys not checked") << 29 << "Gamma = 12" << "TINT" << 12.0;
    QTest::newRow("gamma real") << 35 << "Gamma = 0.45" << "Gamma" << double(0.45f);
    QTest::newRow("gamma nan") << 35 << "Gamma = nan" << "Gamma" << 0.0;
    QTest::newRow("gamma inf") << 35 << "Gamma = inf" << "Gamma" << 0.0;
    QTest::newRow("gamma beyond float") << 35 << "Gamma = 1e300" << "Gamma" << 0.0;
    QTest::newRow("line 41 anything") << 41 << "rubbish" << "GainImage" << 0.0;
}

void tst_configuration_file::readByPosition()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(QString, member);
    QFETCH(double, expected);
    QStringList lines = Lines(ConfigurationFileText(Sample(), kWritten));
    lines[line - 1] = text;
    const ConfigurationReadResult r = Read(Join(lines));
    QCOMPARE(r.Status, ConfigurationReadStatus::Complete);
    const ConfigurationSettings& s = r.Settings;
    const QHash<QString, double> values{{"TINT", s.TINT},       {"bAGC", s.bAGC},   {"OffsetImage", s.OffsetImage},
                                        {"DACA", s.DACA},       {"DACB", s.DACB},   {"Gamma", double(s.Gamma)},
                                        {"GainImage", s.GainImage}};
    QVERIFY(values.contains(member));
    QCOMPARE(values.value(member), expected);
}

void tst_configuration_file::completeness_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("proxy");
    QTest::addColumn<int>("gainImage");

    const QStringList lines = Lines(ConfigurationFileText(Sample(), kWritten));
    QTest::newRow("41 lines") << Join(lines) << true << "Belmor+" << "Z668" << 4;
    QTest::newRow("41 lines, no final line end") << lines.join('\n').toUtf8() << true << "Belmor+" << "Z668" << 4;
    QTest::newRow("40 lines") << Join(lines.mid(0, 40)) << false << "Belmor+" << "Z668" << 0;
    QTest::newRow("4 lines") << Join(lines.mid(0, 4)) << false << "Belmor+" << "Z668" << 0;
    QTest::newRow("empty") << QByteArray() << false << "" << "" << 0;
    QTest::newRow("lines after 41 ignored") << Join(lines + QStringList{"Extra = 9", "More = 1"}) << true << "Belmor+"
                                            << "Z668" << 4;
    // A first line of 250 characters is read as 200 and a 50-character line 2:
    // everything moves down by one, the image gain line reads the offset line
    // and the 41st line falls off the end.
    QStringList longFirst = lines;
    longFirst[0] = QString(250, 'x');
    QTest::newRow("long line 1") << Join(longFirst) << true << "" << "Belmor+" << -120;
    // Line 3 over 200 characters: its rest becomes the proxy line.
    QStringList longBoard = lines;
    longBoard[2] = "DigiBoard = " + QString(188, 'B') + "= Tail";
    QTest::newRow("long line 3") << Join(longBoard) << true << QString(188, 'B') << "Tail" << -120;
}

void tst_configuration_file::completeness()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, complete);
    QFETCH(QString, board);
    QFETCH(QString, proxy);
    QFETCH(int, gainImage);
    const ConfigurationReadResult r = Read(bytes);
    QCOMPARE(r.Status == ConfigurationReadStatus::Complete, complete);
    QCOMPARE(r.Settings.DigiBoard, board);
    QCOMPARE(r.Settings.Proxy, proxy);
    QCOMPARE(r.Settings.GainImage, gainImage);
}

QTEST_GUILESS_MAIN(tst_configuration_file)
#include "tst_configuration_file.moc"
