// Parameter-table cells that the image pipeline reads and writes.
#pragma once

#include "params/proxy_parameter_ids.h"

// The pipeline names its cells by the table's own ids.
namespace PipelineCell = ProxyParameterId;
