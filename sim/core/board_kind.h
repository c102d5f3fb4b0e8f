// The six simulated interface-board kinds and the simulator-wide switches.
#pragma once

#include "app/digiboard_kind.h"

#include <QString>

namespace sim {

// The program's own kinds, so that a kind reads the same everywhere (a simulated
// board is never BoardKind::None).
using BoardKind = ::BoardKind;

constexpr int kBoardKindCount = 6;
constexpr BoardKind kAllBoardKinds[kBoardKindCount] = {
    BoardKind::Arvex, BoardKind::Belmor, BoardKind::BelmorPlus,
    BoardKind::Dunstel, BoardKind::Eskra, BoardKind::Corvane};

// "Arvex", "Belmor", "BelmorPlus", "Dunstel", "Eskra", "Corvane": also the
// group names of Simulation.ini.
QString BoardKindName(BoardKind p_Kind);

// 0..5, for per-board arrays.
inline int BoardSlot(BoardKind p_Kind) { return static_cast<int>(p_Kind) - 1; }

// Fast mode drops every line-rate and frame-rate pacing (tests use it); the
// data the boards send stays the same. Off unless KESTIVO_SIM_FAST=1 is set.
void SetFastMode(bool p_bFast);
bool FastMode();

} // namespace sim
