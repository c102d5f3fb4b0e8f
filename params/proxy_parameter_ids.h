// Named ProxyParameterId cells: ProxyParameterId::X is the cell number of X.
#pragma once

#include "params/control_descriptor_ids.h"
#include "params/data_cell_ids.h"
