// Which correction a frame takes: none, the program's chain, or the board's own.
#pragma once

enum class CorrectionPath {
    None,     // no board: the corrected frame keeps its content
    Software, // the whole software chain
    Board,    // the board corrects; only the optional inversion is ours
};
