// Text dump of proxy records, one "cell: default current" line per cell.
#pragma once

#include <string>

// All 409 cells of one record, in cell order, each line "cell: default current\n".
// Returns an empty string for a record index outside 0..24.
std::string DumpProxyRecord(int p_iProxyIndex);
