// The codes of the selected interface board (DigiBoardKind), the index of the board combo box.
#pragma once

namespace BoardKind {
constexpr int None = 0;
constexpr int Arvex = 1;
constexpr int Belmor = 2;
constexpr int BelmorPlus = 3;
constexpr int Dunstel = 4;
constexpr int Eskra = 5;
constexpr int Corvane = 6;
} // namespace BoardKind
