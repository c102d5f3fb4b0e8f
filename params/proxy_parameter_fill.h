// The start-up fill, split by cell group; used only by InitProxyParameterTable.
// The groups know the table's shape only: they write through the assignment
// the table hands them, so the table depends on its fill and never the other way.
#pragma once

#include "params/proxy_table_shape.h"

#include <cstdint>

namespace proxy_fill {

// Assigns one start-up value to both halves of a cell; the table passes its
// own to each group, so that no group calls back into the table.
using CellAssign = void (*)(int p_iProxyIndex, int p_iParameterId, uint32_t p_uValue);

void FillControlDescriptorCells(CellAssign p_Assign);      // descriptors of the form's controls
void FillGeometryAndRegisterCells(CellAssign p_Assign);    // geometry, register defaults, windowing
void FillFrameRateCells(CellAssign p_Assign);              // frame-rate blocks and GSK channel codes

} // namespace proxy_fill
