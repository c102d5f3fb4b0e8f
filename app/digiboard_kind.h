// The kinds of interface board (DigiBoardKind); the value is the index of the board combo box.
#pragma once

#include <QMetaType>

enum class BoardKind : int { None = 0, Arvex = 1, Belmor = 2, BelmorPlus = 3, Dunstel = 4, Eskra = 5, Corvane = 6 };

Q_DECLARE_METATYPE(BoardKind)

// The combo-box index of a kind, and back; an index that is no kind gives None.
constexpr int BoardKindIndex(BoardKind p_Kind) { return static_cast<int>(p_Kind); }
constexpr BoardKind BoardKindFromIndex(int p_iIndex)
{
    return p_iIndex >= 1 && p_iIndex <= 6 ? static_cast<BoardKind>(p_iIndex) : BoardKind::None;
}

// The three Camera Link boards (Arvex, Belmor, Belmor+).
constexpr bool IsCameraLinkBoard(BoardKind p_Kind)
{
    return p_Kind == BoardKind::Arvex || p_Kind == BoardKind::Belmor || p_Kind == BoardKind::BelmorPlus;
}
