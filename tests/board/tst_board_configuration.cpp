// Decoding the boards' proxy and frame-rate replies, the frame-rate entry texts and the bounded name copy.
#include "board/board_configuration.h"

#include <QtTest>

#include <cstring>

class tst_board_configuration : public QObject
{
    Q_OBJECT

private slots:
    void leadingDecimal_data();
    void leadingDecimal();
    void identifyCameraLinkAndGigE_data();
    void identifyCameraLinkAndGigE();
    void identifyCorvane_data();
    void identifyCorvane();
    void frameRateEntryText_data();
    void frameRateEntryText();
    void boundedCopy_data();
    void boundedCopy();
};

void tst_board_configuration::leadingDecimal_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("read");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QByteArray("120") << true << 120;
    QTest::newRow("trailing text") << QByteArray("9\r\n>") << true << 9;
    QTest::newRow("leading line end") << QByteArray("\r\n30") << true << 30;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("no digits") << QByteArray("ERR") << false << 0;
    QTest::newRow("too large") << QByteArray("99999999999") << false << 0;
}

void tst_board_configuration::leadingDecimal()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, read);
    QFETCH(int, value);
    int iValue = -7;
    QCOMPARE(ReadLeadingDecimal(reply, &iValue), read);
    QCOMPARE(iValue, read ? value : -7);
}

void tst_board_configuration::identifyCameraLinkAndGigE_data()
{
    QTest::addColumn<int>("kind"); // 1 Arvex, 3 Belmor+, 4 Dunstel
    QTest::addColumn<QByteArray>("proxy");
    QTest::addColumn<QByteArray>("rate");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("proxyIndex");
    QTest::addColumn<int>("frameRate");

    QTest::newRow("Belmor+ 9 @120") << 3 << QByteArray("9") << QByteArray("120") << "Y1437P" << 9 << 120;
    QTest::newRow("Arvex 8") << 1 << QByteArray("8") << QByteArray("60") << "Y1437P" << 9 << 60;
    QTest::newRow("Arvex 10") << 1 << QByteArray("10") << QByteArray("30") << "Z671P" << 10 << 30;
    QTest::newRow("Dunstel 7") << 4 << QByteArray("7") << QByteArray("25") << "Y1437P" << 9 << 25;
    QTest::newRow("Belmor+ 11 via table A") << 3 << QByteArray("11") << QByteArray("255") << "Z647" << 11 << 255;
    // Silence is "unknown": no proxy and the default frame rate, never 0 FPS.
    QTest::newRow("Belmor+ silent") << 3 << QByteArray() << QByteArray() << "Proxy Board..." << 0 << 255;
    QTest::newRow("Arvex silent") << 1 << QByteArray() << QByteArray() << "Proxy Board..." << 0 << 255;
    QTest::newRow("Dunstel silent") << 4 << QByteArray() << QByteArray() << "Proxy Board..." << 0 << 255;
    QTest::newRow("Belmor+ 0 gives -1") << 3 << QByteArray("0") << QByteArray("30") << "Proxy Board..." << 0 << 30;
    QTest::newRow("rate 0 is taken") << 3 << QByteArray("9") << QByteArray("0") << "Y1437P" << 9 << 0;
}

void tst_board_configuration::identifyCameraLinkAndGigE()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, proxy);
    QFETCH(QByteArray, rate);
    QFETCH(QString, model);
    QFETCH(int, proxyIndex);
    QFETCH(int, frameRate);
    const BoardIdentification id = kind == 1   ? IdentifyArvex(proxy, rate)
                                   : kind == 3 ? IdentifyBelmorPlus(proxy, rate)
                                               : IdentifyDunstel(proxy, rate);
    QCOMPARE(ProxyListText(id.ProxyListPosition), model);
    QCOMPARE(ProxyIndexFromListPosition(id.ProxyListPosition), proxyIndex);
    QCOMPARE(id.FrameRate, frameRate);
}

void tst_board_configuration::identifyCorvane_data()
{
    QTest::addColumn<int>("proxyStatus");
    QTest::addColumn<int>("proxyNumber");
    QTest::addColumn<int>("rateStatus");
    QTest::addColumn<int>("rateNumber");
    QTest::addColumn<int>("proxyIndex");
    QTest::addColumn<int>("frameRate");

    QTest::newRow("Z668P") << 0 << 2 << 0 << 60 << 3 << 60;
    QTest::newRow("number 21 is No Proxy") << 0 << 21 << 0 << 30 << 13 << 30;
    QTest::newRow("no proxy stored") << 0 << -1 << 0 << 30 << 0 << 30;
    QTest::newRow("rate read failed") << 0 << 2 << -1 << -255 << 0 << 255;
    QTest::newRow("proxy read failed") << -1 << -255 << 0 << 120 << 0 << 120;
    QTest::newRow("nothing read") << -1 << -255 << -1 << -255 << 0 << 255;
}

void tst_board_configuration::identifyCorvane()
{
    QFETCH(int, proxyStatus);
    QFETCH(int, proxyNumber);
    QFETCH(int, rateStatus);
    QFETCH(int, rateNumber);
    QFETCH(int, proxyIndex);
    QFETCH(int, frameRate);
    const BoardIdentification id = IdentifyCorvane(proxyStatus, proxyNumber, rateStatus, rateNumber);
    QCOMPARE(ProxyIndexFromListPosition(id.ProxyListPosition), proxyIndex);
    QCOMPARE(id.FrameRate, frameRate);
}

void tst_board_configuration::frameRateEntryText_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("text");
    QTest::newRow("120") << 120 << "120 FPS";
    QTest::newRow("200") << 200 << "200 FPS";
    QTest::newRow("25") << 25 << "25 FPS";
    QTest::newRow("default") << 255 << "Default frequency";
    QTest::newRow("custom") << 254 << "Custom frequency";
    QTest::newRow("unlisted") << 40 << "Custom frequency";
}

void tst_board_configuration::frameRateEntryText()
{
    QFETCH(int, rate);
    QFETCH(QString, text);
    QCOMPARE(FrameRateEntryText(rate), text);
}

void tst_board_configuration::boundedCopy_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("copied");
    QTest::addColumn<bool>("fits");
    QTest::newRow("empty") << QString() << 50 << QByteArray() << true;
    QTest::newRow("model") << "Y1437P" << 50 << QByteArray("Y1437P") << true;
    QTest::newRow("exactly fits") << "abc" << 4 << QByteArray("abc") << true;
    QTest::newRow("one too long") << "abcd" << 4 << QByteArray("abc") << false;
    QTest::newRow("not half a character") << QString::fromUtf8("ab\xC2\xB5") << 4 << QByteArray("ab") << false;
}

void tst_board_configuration::boundedCopy()
{
    QFETCH(QString, text);
    QFETCH(int, size);
    QFETCH(QByteArray, copied);
    QFETCH(bool, fits);
    char buffer[64];
    std::memset(buffer, 'X', sizeof buffer);
    QCOMPARE(CopyUtf8Bounded(text, buffer, size_t(size)), fits);
    QCOMPARE(QByteArray(buffer), copied);
    // Nothing written past the buffer.
    QCOMPARE(buffer[size], 'X');
}

QTEST_GUILESS_MAIN(tst_board_configuration)
#include "tst_board_configuration.moc"
