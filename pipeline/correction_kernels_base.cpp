// The correction chain's per-pixel passes, for the baseline instruction set.
#include "pipeline/correction_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace kernels_base {
#include "pipeline/correction_kernels.inc"
} // namespace kernels_base
