// libFuzzer target: any bytes as the simulator's "Simulation.ini"; every value read stays in its range.
#include "fuzz_support.h"
#include "sim/core/simulation_settings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    const QString sPath = fuzz::WriteInput(p_pData, p_uSize, "Simulation.ini");
    const sim::SimulationSettings settings(sPath);
    settings.simulationEnabled();
    for (int iKind = 1; iKind <= 6; ++iKind) {
        const auto kind = static_cast<sim::BoardKind>(iKind);
        settings.boardPresent(kind);
        const int iProxy = settings.proxyIndex(kind);
        if (iProxy < 0 || iProxy > 24)
            abort();
        settings.frameRateCode(kind);
    }
    return 0;
}
