// The shape of the proxy parameter table, shared by the table and its start-up fill.
#pragma once

#include <cstdint>

constexpr int kProxyRecordCount = 25;
constexpr int kProxyParameterCount = 409;

// A cell holding this value is not defined for the proxy (except the two
// image-offset maxima, 148 and 204, whose range really ends at 65535).
constexpr uint32_t ProxyParameterNotSet = 65535;
