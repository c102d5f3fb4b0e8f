// Start-up values: descriptors of the main form's sensor controls.
#include "params/proxy_parameter_fill.h"

void proxy_fill::FillControlDescriptorCells()
{
}
