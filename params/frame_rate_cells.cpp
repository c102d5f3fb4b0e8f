// Start-up values: frame-rate blocks and GSK channel codes.
#include "params/proxy_parameter_fill.h"

void proxy_fill::FillFrameRateCells()
{
}
