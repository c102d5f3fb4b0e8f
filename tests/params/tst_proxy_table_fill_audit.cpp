// Audit of the start-up fill itself: every assignment it makes, recorded.
//
// The three fill functions are compiled into this test with a recording
// Assign in place of the table's, so that what the table cannot show (a cell
// written twice with the same value, a "not defined" value written explicitly)
// becomes visible.
#include "params/proxy_parameter_fill.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

#include <QtTest>

#include <map>
#include <utility>

namespace {
struct Recorded
{
    int count = 0;
    uint32_t value = 0;
};
std::map<std::pair<int, int>, Recorded> g_Assignments;
int g_iOutOfRange = 0;

void Record(int p_iProxyIndex, int p_iParameterId, uint32_t p_uValue)
{
    if (p_iProxyIndex < 0 || p_iProxyIndex >= kProxyRecordCount
        || p_iParameterId < 0 || p_iParameterId >= kProxyParameterCount) {
        ++g_iOutOfRange;
        return;
    }
    Recorded& r = g_Assignments[{p_iProxyIndex, p_iParameterId}];
    ++r.count;
    r.value = p_uValue;
}
} // namespace

class tst_proxy_table_fill_audit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyAssignmentIsInRange();
    void noCellIsAssignedTwice();
    void notDefinedIsNeverWrittenExplicitly();
    void leadingCellsAreNeverAssigned();
    void assignedCellCount();
};

void tst_proxy_table_fill_audit::initTestCase()
{
    proxy_fill::FillControlDescriptorCells(Record);
    proxy_fill::FillGeometryAndRegisterCells(Record);
    proxy_fill::FillFrameRateCells(Record);
}

void tst_proxy_table_fill_audit::everyAssignmentIsInRange()
{
    QCOMPARE(g_iOutOfRange, 0);
}

// The three fills cover disjoint cells; a cell filled by two of them means
// two copies of one value that can drift apart.
void tst_proxy_table_fill_audit::noCellIsAssignedTwice()
{
    QStringList twice;
    for (const auto& a : g_Assignments)
        if (a.second.count > 1)
            twice << QString("record %1 cell %2").arg(a.first.first).arg(a.first.second);
    QVERIFY2(twice.isEmpty(), qPrintable(twice.join(", ")));
}

// "Not defined" cells keep the value of the first fill step; only the two
// image-offset maxima hold 65535 as a real number.
void tst_proxy_table_fill_audit::notDefinedIsNeverWrittenExplicitly()
{
    QStringList explicitNotSet;
    for (const auto& a : g_Assignments) {
        const int cell = a.first.second;
        if (a.second.value == ProxyParameterNotSet && cell != ProxyParameterId::ImageOffsetSliderMax
            && cell != ProxyParameterId::ImageOffsetMax)
            explicitNotSet << QString("record %1 cell %2").arg(a.first.first).arg(cell);
    }
    QVERIFY2(explicitNotSet.isEmpty(), qPrintable(explicitNotSet.join(", ")));
}

void tst_proxy_table_fill_audit::leadingCellsAreNeverAssigned()
{
    for (const auto& a : g_Assignments)
        QVERIFY2(a.first.second > 7, qPrintable(QString("record %1 cell %2")
                                                     .arg(a.first.first).arg(a.first.second)));
}

// The number of start-up values that the data sheets give, the image-offset
// maxima included: a dropped row or an extra one changes it.
void tst_proxy_table_fill_audit::assignedCellCount()
{
    QCOMPARE(int(g_Assignments.size()), 8163);
}

QTEST_GUILESS_MAIN(tst_proxy_table_fill_audit)
#include "tst_proxy_table_fill_audit.moc"
