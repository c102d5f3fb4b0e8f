// The one place that picks a board's behaviour by its kind.
#pragma once

#include "board/board_link.h"

#include <memory>

// The link of a board kind; null for a kind whose link still lives in the main window's methods.
std::unique_ptr<BoardLink> MakeBoardLink(BoardKind p_Kind);
