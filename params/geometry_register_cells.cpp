// Start-up values: sensor geometry, register defaults and windowing.
#include "params/proxy_parameter_fill.h"

void proxy_fill::FillGeometryAndRegisterCells()
{
}
