// The simulator's settings file, "Simulation.ini" next to the executable.
#pragma once

#include "sim/core/board_kind.h"

#include <QString>

namespace sim {

// Reads and writes the settings through QSettings (INI format). Every getter
// reads the file as it stands and every setter writes it at once, so a board
// set-up survives a restart and two objects on one file agree. Any thread.
//
//   [Simulation]
//   Enabled=true          ; false: the stand-ins report absent hardware
//   [Corvane]             ; one group per board: Arvex, Belmor, BelmorPlus,
//   Present=true          ;   Dunstel, Eskra, Corvane
//   ProxyIndex=2          ; the proxy record the board is set up for (0..24)
//   FrameRate=30          ; frame-rate code: 25..200, 254 custom, 255 default
//
// A missing file or key means: simulation on, every board present, the
// board's default set-up below. A value that cannot be read (not a boolean,
// not a number, out of range) is ignored for the default, with one warning
// (qWarning) naming the file, the key and the value.
class SimulationSettings
{
public:
    // The file at p_sFilePath; empty: DefaultFilePath() at construction time.
    explicit SimulationSettings(const QString& p_sFilePath = QString());

    static QString DefaultFilePath();   // ApplicationDirPath() + "/Simulation.ini"
    static int DefaultProxyIndex(BoardKind p_Kind);      // 2 (640 x 480); Eskra 5 (80 x 80)
    static constexpr int kDefaultFrameRateCode = 30;

    QString filePath() const { return m_sFilePath; }

    bool simulationEnabled() const;
    void setSimulationEnabled(bool p_bEnabled);

    bool boardPresent(BoardKind p_Kind) const;
    void setBoardPresent(BoardKind p_Kind, bool p_bPresent);
    // Simulation on and the board present.
    bool boardAvailable(BoardKind p_Kind) const { return simulationEnabled() && boardPresent(p_Kind); }

    int proxyIndex(BoardKind p_Kind) const;           // out-of-range values read as the default
    void setProxyIndex(BoardKind p_Kind, int p_iProxyIndex);
    int frameRateCode(BoardKind p_Kind) const;
    void setFrameRateCode(BoardKind p_Kind, int p_iCode);

private:
    QString m_sFilePath;
};

} // namespace sim
