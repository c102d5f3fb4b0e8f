// The three start-up fills enter disjoint sets of cells: no value has two sources.
#include "params/proxy_parameter_fill.h"
#include "params/proxy_parameter_table.h"

#include <QtTest>
#include <set>
#include <utility>

namespace {
using CellSet = std::set<std::pair<int, int>>;

void ClearTable()
{
    for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
        for (int iCell = 0; iCell < kProxyParameterCount; ++iCell)
            AssignProxyStartValue(iRecord, iCell, ProxyParameterNotSet);
}

// The cells that one fill gives a value other than 65535. (The two cells whose
// real value is 65535, the image-offset maxima, belong to the descriptor fill
// and are not missed by the comparison below.)
CellSet CellsEnteredBy(void (*p_pFill)(proxy_fill::CellAssign))
{
    ClearTable();
    p_pFill(AssignProxyStartValue);
    CellSet cells;
    for (int iRecord = 0; iRecord < kProxyRecordCount; ++iRecord)
        for (int iCell = 0; iCell < kProxyParameterCount; ++iCell)
            if (GetDefault(iRecord, iCell) != ProxyParameterNotSet)
                cells.insert({iRecord, iCell});
    return cells;
}
} // namespace

class TestParameterFillGroups : public QObject
{
    Q_OBJECT
private slots:
    // A cell entered by two fills has two copies of its value in the source,
    // and the later fill silently wins when the copies drift apart.
    void fillsAreDisjoint()
    {
        const CellSet descriptors = CellsEnteredBy(proxy_fill::FillControlDescriptorCells);
        const CellSet geometry = CellsEnteredBy(proxy_fill::FillGeometryAndRegisterCells);
        const CellSet frameRates = CellsEnteredBy(proxy_fill::FillFrameRateCells);
        QVERIFY(!descriptors.empty() && !geometry.empty() && !frameRates.empty());
        auto firstShared = [](const CellSet& a, const CellSet& b) {
            for (const auto& cell : a)
                if (b.count(cell))
                    return QString("record %1 cell %2").arg(cell.first).arg(cell.second);
            return QString();
        };
        QCOMPARE(firstShared(descriptors, geometry), QString());
        QCOMPARE(firstShared(descriptors, frameRates), QString());
        QCOMPARE(firstShared(geometry, frameRates), QString());
    }

    void cleanupTestCase() { InitProxyParameterTable(); }
};

QTEST_GUILESS_MAIN(TestParameterFillGroups)
#include "tst_parameter_fill_groups.moc"
