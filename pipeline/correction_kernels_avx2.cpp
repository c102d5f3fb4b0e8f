// The correction chain's per-pixel passes, compiled for AVX2.
#include "pipeline/correction_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace kernels_avx2 {
#include "pipeline/correction_kernels.inc"
} // namespace kernels_avx2
