// The sensor model of each connected simulated board, shared by its transports.
#pragma once

#include "sim/core/board_kind.h"
#include "sim/core/sensor_model.h"

#include <memory>

namespace sim {

// The board's model, created at first use from Simulation.ini (the stored
// proxy index and frame-rate code); later changes of either are written back
// to that file. The same object for every caller until ResetBoards. Any thread.
std::shared_ptr<SensorModel> SensorFor(BoardKind p_Board);

// Power-cycles every simulated board: drops the models, so the next SensorFor
// starts from the settings file again (a "restart"). Holders of an old model
// keep a valid object that no longer persists anything.
void ResetBoards();

// ResetBoards, ClearAllFaults and ClearRecordedMessages: a clean bench for a test.
void ResetSimulation();

} // namespace sim
