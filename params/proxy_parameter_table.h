// The proxy parameter table: 25 proxy configurations x 409 {default, current} cells.
#pragma once

#include "params/proxy_table_shape.h"

#include <atomic>
#include <cstdint>

// One parameter of one proxy. The halves are atomics because the frame path
// reads current halves on acquisition threads while the GUI thread writes them;
// each access is a whole 32-bit word, relaxed ordering is enough.
struct ProxyParameterCell
{
    std::atomic<uint32_t> Default{ProxyParameterNotSet};
    std::atomic<uint32_t> Current{ProxyParameterNotSet};
};

struct ProxyRecord
{
    ProxyParameterCell Cells[kProxyParameterCount];
};

// The one table of the process, indexed by ProxyIndex (0..24) then ProxyParameterId (0..408).
extern ProxyRecord ProxyParameterTable[kProxyRecordCount];

// Fills the whole table: every cell to 65535, then the start-up values, both
// halves equal. Called once by the main-window constructor; calling it again
// restores the start-up state (tests rely on that).
void InitProxyParameterTable();

// One start-up value into both halves of a cell: what the fill groups are
// handed to write through.
void AssignProxyStartValue(int p_iProxyIndex, int p_iParameterId, uint32_t p_uValue);

// Fills the table once if nobody has yet; for code that may run before the
// main window exists (the simulated boards read the start-up geometry).
void EnsureProxyParameterTableFilled();

inline uint32_t GetDefault(int p_iProxyIndex, int p_iParameterId)
{
    return ProxyParameterTable[p_iProxyIndex].Cells[p_iParameterId].Default.load(std::memory_order_relaxed);
}
inline uint32_t GetCurrent(int p_iProxyIndex, int p_iParameterId)
{
    return ProxyParameterTable[p_iProxyIndex].Cells[p_iParameterId].Current.load(std::memory_order_relaxed);
}
inline void SetCurrent(int p_iProxyIndex, int p_iParameterId, uint32_t p_uValue)
{
    ProxyParameterTable[p_iProxyIndex].Cells[p_iParameterId].Current.store(p_uValue, std::memory_order_relaxed);
}
// Copies the default half into the current half of one cell.
inline void ResetCurrent(int p_iProxyIndex, int p_iParameterId)
{
    SetCurrent(p_iProxyIndex, p_iParameterId, GetDefault(p_iProxyIndex, p_iParameterId));
}
