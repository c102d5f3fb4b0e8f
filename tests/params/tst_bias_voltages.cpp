// The bias-voltage rows: the arithmetic of one code and which models share a row.
#include "params/bias_voltages.h"

#include <QtTest>

class tst_bias_voltages : public QObject
{
    Q_OBJECT

private slots:
    // Single-precision ratio, double product and sum, single result: the
    // labels' last decimal depends on it.
    void voltageArithmetic()
    {
        // The Z602 row of ADD02: 0.8 V at code 0, 2.4 V more at full scale.
        QCOMPARE(BiasVoltage(BiasInput::ADD02, "Z602", 1000), 1.38608062f);
        QCOMPARE(BiasVoltage(BiasInput::ADD02, "Z602", 0), 0.8f);
        QCOMPARE(BiasVoltage(BiasInput::ADD02, "Z602", 4095), 3.2f);
    }

    void sharedRows_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("sharesWith");
        QTest::newRow("02 Z603 as Z602") << int(BiasInput::ADD02) << "Z603" << "Z602";
        QTest::newRow("02 Y420 as Z1641") << int(BiasInput::ADD02) << "Y420" << "Z1641";
        QTest::newRow("03 Z668 as Z663") << int(BiasInput::ADD03) << "Z668" << "Z663";
        QTest::newRow("0C Z668P as Z602") << int(BiasInput::ADD0C) << "Z668P" << "Z602";
        QTest::newRow("0D Y1437 as Z1641") << int(BiasInput::ADD0D) << "Y1437" << "Z1641";
    }
    void sharedRows()
    {
        QFETCH(int, input);
        QFETCH(QString, model);
        QFETCH(QString, sharesWith);
        for (int iCode : {0, 1000, 4095}) {
            const float fVoltage = BiasVoltage(BiasInput(input), model.toStdString(), iCode);
            QCOMPARE(fVoltage, BiasVoltage(BiasInput(input), sharesWith.toStdString(), iCode));
            QVERIFY(iCode == 0 || fVoltage > 0.0f);
        }
    }

    // A model is matched by its whole name: a prefix, another case or an
    // empty name has no row.
    void unknownModels_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("empty") << "";
        QTest::newRow("lower case") << "z602";
        QTest::newRow("prefix") << "Z60";
        QTest::newRow("longer") << "Z6022";
        QTest::newRow("no bias inputs") << "X1550";
    }
    void unknownModels()
    {
        QFETCH(QString, model);
        for (BiasInput input : {BiasInput::ADD02, BiasInput::ADD03, BiasInput::ADD0C, BiasInput::ADD0D})
            QCOMPARE(BiasVoltage(input, model.toStdString(), 4095), 0.0f);
    }
};

QTEST_GUILESS_MAIN(tst_bias_voltages)
#include "tst_bias_voltages.moc"
