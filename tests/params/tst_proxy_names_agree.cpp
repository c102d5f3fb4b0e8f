// The application's proxy list texts and the parameter library's look-up names agree.
#include "app/header_constants.h"
#include "params/proxy_lookup.h"

#include <QtTest>

class TestProxyNamesAgree : public QObject
{
    Q_OBJECT
private slots:
    // The board set-up window fills its list from the application's constants
    // and the board-number tables point into the library's copy: the two must
    // stay the same list, or a board number selects the wrong proxy.
    void listsAreIdentical()
    {
        QCOMPARE(HeaderConstants::ProxyModelNames.size(), kProxyListSize);
        for (int i = 0; i < kProxyListSize; ++i)
            QCOMPARE(HeaderConstants::ProxyModelNames.at(i), QString::fromUtf8(kProxyListNames[i]));
    }

    // Every text of the list finds a record; only "Proxy Board..." leads to record 0.
    void everyListTextFindsItsRecord()
    {
        for (int i = 0; i < kProxyListSize; ++i) {
            const int iProxyIndex =
                GetProxyIndexFromName(HeaderConstants::ProxyModelNames.at(i).toStdString()) + 1;
            QCOMPARE(iProxyIndex == 0, i == 0);
            if (i > 0)
                QCOMPARE(QString::fromUtf8(ProxyModelName(iProxyIndex)), HeaderConstants::ProxyModelNames.at(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestProxyNamesAgree)
#include "tst_proxy_names_agree.moc"
