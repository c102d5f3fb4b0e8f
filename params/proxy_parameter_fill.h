// The start-up fill, split by cell group; used only by InitProxyParameterTable.
// The groups know the table's shape only: they write through Assign, which the
// table provides, so the table depends on its fill and never the other way.
#pragma once

#include "params/proxy_table_shape.h"

#include <cstdint>

namespace proxy_fill {

// Assigns one start-up value to both halves of a cell.
void Assign(int p_iProxyIndex, int p_iParameterId, uint32_t p_uValue);

void FillControlDescriptorCells();      // descriptors of the form's controls
void FillGeometryAndRegisterCells();    // geometry, register defaults, windowing
void FillFrameRateCells();              // frame-rate blocks and GSK channel codes

} // namespace proxy_fill
