// Proxy names, the name look-up and the three board-number tables.
#include "params/proxy_lookup.h"

#include <QtTest>
#include <climits>
#include <string>

class TestProxyLookup : public QObject
{
    Q_OBJECT
private slots:
    void nameLookup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("result");
        QTest::newRow("Proxy Board...") << "Proxy Board..." << -1;
        QTest::newRow("No Proxy") << "No Proxy" << 12;
        QTest::newRow("Z654") << "Z654" << 0;
        QTest::newRow("Z668") << "Z668" << 1;
        QTest::newRow("Z668P") << "Z668P" << 2;
        QTest::newRow("Z646") << "Z646" << 3;
        QTest::newRow("Z602") << "Z602" << 4;
        QTest::newRow("Y1436") << "Y1436" << 5;
        QTest::newRow("Y1437") << "Y1437" << 6;
        QTest::newRow("Z671") << "Z671" << 7;
        QTest::newRow("Y1437P") << "Y1437P" << 8;
        QTest::newRow("Z671P") << "Z671P" << 9;
        QTest::newRow("Z647") << "Z647" << 10;
        QTest::newRow("X1550") << "X1550" << 13;
        QTest::newRow("Z615") << "Z615" << 14;
        QTest::newRow("T230") << "T230" << 15;
        QTest::newRow("Z603") << "Z603" << 16;
        QTest::newRow("Z641") << "Z641" << 17;
        QTest::newRow("Z663") << "Z663" << 18;
        QTest::newRow("Y420") << "Y420" << 19;
        QTest::newRow("Z671Pv2") << "Z671Pv2" << 20;
        QTest::newRow("Z1641") << "Z1641" << 22;
        QTest::newRow("Z633") << "Z633" << 23;
        // Unknown texts: the comparison is exact and case-sensitive.
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("lower case") << "z654" << -1;
        QTest::newRow("trailing space") << "Z654 " << -1;
        QTest::newRow("prefix of a name") << "Z67" << -1;
        QTest::newRow("longer than a name") << "Z671Pv3" << -1;
        QTest::newRow("no proxy lower") << "no proxy" << -1;
        QTest::newRow("board kind") << "Belmor" << -1;
    }
    void nameLookup()
    {
        QFETCH(QString, name);
        QFETCH(int, result);
        QCOMPARE(GetProxyIndexFromName(name.toStdString()), result);
    }

    // A name with an embedded zero must not match the name before the zero.
    void embeddedZeroDoesNotMatch()
    {
        const std::string sName("Z654\0X", 6);
        QCOMPARE(GetProxyIndexFromName(sName), -1);
    }

    void modelNames_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        const char* const aNames[] = {"Proxy Board...", "Z654", "Z668", "Z668P", "Z646", "Z602", "Y1436",
                                      "Y1437", "Z671", "Y1437P", "Z671P", "Z647", "Y1437P", "No Proxy",
                                      "X1550", "Z615", "T230", "Z603", "Z641", "Z663", "Y420", "Z671Pv2",
                                      "", "Z1641", "Z633"};
        for (int i = 0; i < 25; ++i)
            QTest::addRow("%d", i) << i << QString(aNames[i]);
        QTest::newRow("-1") << -1 << QString();
        QTest::newRow("25") << 25 << QString();
        QTest::newRow("INT_MIN") << INT_MIN << QString();
    }
    void modelNames()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QCOMPARE(QString(ProxyModelName(index)), name);
    }

    // Every named record is found again from its name (+1), except the 120 FPS
    // variant, which shares the name of record 9.
    void namesRoundTrip()
    {
        for (int i = 0; i < 25; ++i) {
            if (i == 22)
                continue;
            const int iExpected = i == 12 ? 9 : i;
            QCOMPARE(GetProxyIndexFromName(ProxyModelName(i)) + 1, iExpected);
        }
        QCOMPARE(GetProxyIndexFromName(ProxyModelName(22)), -1);
    }

    void proxyList()
    {
        const char* const aExpected[kProxyListSize] = {
            "Proxy Board...", "No Proxy", "Z633", "Z602", "Z603", "Z615", "Z641", "Z646", "Z647", "Z654", "Z663",
            "Z668", "Z668P", "Z671", "Z671P", "Z671Pv2", "Z1641", "Y420", "Y1436", "Y1437", "Y1437P", "X1550", "T230"};
        for (int i = 0; i < kProxyListSize; ++i)
            QCOMPARE(QString(kProxyListNames[i]), QString(aExpected[i]));
    }

    void boardNumbers_data()
    {
        QTest::addColumn<uint>("number");
        QTest::addColumn<int>("positionA");
        QTest::addColumn<int>("positionB");
        QTest::addColumn<int>("positionC");
        // ProxyIndex that the selected list entry leads to, for A / B / C.
        QTest::addColumn<int>("proxyA");
        QTest::addColumn<int>("proxyB");
        QTest::addColumn<int>("proxyC");
        QTest::newRow("0") << 0u << 9 << 9 << 9 << 1 << 1 << 1;
        QTest::newRow("1") << 1u << 11 << 11 << 11 << 2 << 2 << 2;
        QTest::newRow("2") << 2u << 12 << 12 << 12 << 3 << 3 << 3;
        QTest::newRow("3") << 3u << 7 << 7 << 7 << 4 << 4 << 4;
        QTest::newRow("4") << 4u << 3 << 3 << 3 << 5 << 5 << 5;
        QTest::newRow("5") << 5u << 18 << 18 << 18 << 6 << 6 << 6;
        QTest::newRow("6") << 6u << 19 << 19 << 19 << 7 << 7 << 7;
        QTest::newRow("7") << 7u << 13 << 13 << 13 << 8 << 8 << 8;
        QTest::newRow("8") << 8u << 20 << 20 << 20 << 9 << 9 << 9;
        QTest::newRow("9") << 9u << 14 << 14 << 14 << 10 << 10 << 10;
        QTest::newRow("10") << 10u << 8 << 14 << 8 << 11 << 10 << 11;
        QTest::newRow("11") << 11u << 20 << 20 << 20 << 9 << 9 << 9;
        QTest::newRow("12") << 12u << 1 << 1 << 1 << 13 << 13 << 13;
        QTest::newRow("13") << 13u << 21 << 21 << 21 << 14 << 14 << 14;
        QTest::newRow("14") << 14u << 5 << 5 << 5 << 15 << 15 << 15;
        QTest::newRow("15") << 15u << 22 << 22 << 22 << 16 << 16 << 16;
        QTest::newRow("16") << 16u << 4 << 4 << 4 << 17 << 17 << 17;
        QTest::newRow("17") << 17u << 6 << 6 << 6 << 18 << 18 << 18;
        QTest::newRow("18") << 18u << 10 << 10 << 10 << 19 << 19 << 19;
        QTest::newRow("19") << 19u << 17 << 17 << 17 << 20 << 20 << 20;
        QTest::newRow("20") << 20u << 15 << 15 << 15 << 21 << 21 << 21;
        QTest::newRow("21") << 21u << 16 << 16 << 1 << 23 << 23 << 13;
        QTest::newRow("22") << 22u << 16 << 0 << 16 << 23 << 0 << 23;
        QTest::newRow("23") << 23u << 2 << 0 << 2 << 24 << 0 << 24;
        QTest::newRow("24") << 24u << 0 << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("1000") << 1000u << 0 << 0 << 0 << 0 << 0 << 0;
        // -1 read from a board arrives as the largest unsigned value.
        QTest::newRow("-1") << uint(UINT_MAX) << 0 << 0 << 0 << 0 << 0 << 0;
    }
    void boardNumbers()
    {
        QFETCH(uint, number);
        QFETCH(int, positionA);
        QFETCH(int, positionB);
        QFETCH(int, positionC);
        QFETCH(int, proxyA);
        QFETCH(int, proxyB);
        QFETCH(int, proxyC);
        QCOMPARE(ProxyIndexFromBoardNumber_A(number), positionA);
        QCOMPARE(ProxyIndexFromBoardNumber_B(number), positionB);
        QCOMPARE(ProxyIndexFromBoardNumber_C(number), positionC);
        // The caller reads the entry's text back and adds 1 to the look-up.
        QCOMPARE(GetProxyIndexFromName(kProxyListNames[positionA]) + 1, proxyA);
        QCOMPARE(GetProxyIndexFromName(kProxyListNames[positionB]) + 1, proxyB);
        QCOMPARE(GetProxyIndexFromName(kProxyListNames[positionC]) + 1, proxyC);
    }
};

QTEST_GUILESS_MAIN(TestProxyLookup)
#include "tst_proxy_lookup.moc"
