// The DAC-code-to-voltage rows of the sensor bias inputs, per proxy model.
#pragma once

#include <string_view>

// The sensor bias inputs whose voltage the DAC labels show.
enum class BiasInput { ADD02, ADD03, ADD0C, ADD0D };

// The voltage of DAC code p_iCode (0..4095 spans the row) on the input for
// the model, in volts; 0 for a model without a row. Names match exactly.
float BiasVoltage(BiasInput p_Input, std::string_view p_sModel, int p_iCode);
