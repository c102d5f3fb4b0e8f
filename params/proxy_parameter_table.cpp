// The table's storage and its start-up fill.
#include "params/proxy_parameter_table.h"
#include "params/proxy_parameter_fill.h"

#include <mutex>

ProxyRecord ProxyParameterTable[kProxyRecordCount];

namespace {
std::once_flag g_EnsureFilled;
std::atomic<bool> g_bFilled{false};
} // namespace

void AssignProxyStartValue(int p_iProxyIndex, int p_iParameterId, uint32_t p_uValue)
{
    ProxyParameterCell& cell = ProxyParameterTable[p_iProxyIndex].Cells[p_iParameterId];
    cell.Default.store(p_uValue, std::memory_order_relaxed);
    cell.Current.store(p_uValue, std::memory_order_relaxed);
}

void InitProxyParameterTable()
{
    for (ProxyRecord& record : ProxyParameterTable)
        for (ProxyParameterCell& cell : record.Cells) {
            cell.Default.store(ProxyParameterNotSet, std::memory_order_relaxed);
            cell.Current.store(ProxyParameterNotSet, std::memory_order_relaxed);
        }
    proxy_fill::FillControlDescriptorCells(AssignProxyStartValue);
    proxy_fill::FillGeometryAndRegisterCells(AssignProxyStartValue);
    proxy_fill::FillFrameRateCells(AssignProxyStartValue);
    g_bFilled.store(true);
}

void EnsureProxyParameterTableFilled()
{
    std::call_once(g_EnsureFilled, [] {
        if (!g_bFilled.load())
            InitProxyParameterTable();
    });
}
