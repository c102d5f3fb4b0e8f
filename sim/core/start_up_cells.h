// The proxy-record cells a simulated sensor starts from.
//
// Their start-up values are read out of the parameter table when the bench is
// built (sim_start_up_values writes sensor_start_up_values.inc), so the bench
// and whatever links it (Quenlin) carry them without the table itself.
#pragma once

#include "params/proxy_parameter_ids.h"

namespace sim {

// Index of a cell in a row of kSensorStartUpValues.
enum StartUpCell {
    StartUpTint,
    StartUpDacA,
    StartUpDacB,
    StartUpDacC,
    StartUpDacD,
    StartUpCkdiv,
    StartUpGsk30Fps,         // the GSK value of the 30 FPS rate: the model starts at that rate
    StartUpGskChannel,       // the DAC that carries the GSK voltage
    StartUpAcqBufferWidth,
    StartUpAcqBufferHeight,
    StartUpCellCount
};

static_assert(ProxyParameterId::kFrameRates[1] == 30, "the second rate of a frame-rate block is 30 FPS");

// The table cell behind each StartUpCell, in the same order.
constexpr int kStartUpCellIds[StartUpCellCount] = {
    ProxyParameterId::TINT,
    ProxyParameterId::DAC_A,
    ProxyParameterId::DAC_B,
    ProxyParameterId::DAC_C,
    ProxyParameterId::DAC_D,
    ProxyParameterId::CKDIV,
    ProxyParameterId::GSKPerFrameRate + 1,
    ProxyParameterId::GSKChannel,
    ProxyParameterId::AcqBufferWidth,
    ProxyParameterId::AcqBufferHeight,
};

// A cell the record leaves undefined, in kSensorStartUpValues.
constexpr int kStartUpNotSet = -1;

} // namespace sim
