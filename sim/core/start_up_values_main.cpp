// Writes the start-up values of the cells a simulated sensor starts from, one
// row per proxy record, as C++ source for sensor_model.cpp.
#include "params/proxy_parameter_table.h"
#include "sim/core/start_up_cells.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    InitProxyParameterTable();
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Written by sim_start_up_values from the proxy parameter table.\n");
    std::fprintf(out, "constexpr int kStartUpRecordCount = %d;\n", kProxyRecordCount);
    std::fprintf(out, "constexpr int kSensorStartUpValues[kStartUpRecordCount][StartUpCellCount] = {\n");
    for (int iProxy = 0; iProxy < kProxyRecordCount; ++iProxy) {
        std::fprintf(out, "    {");
        for (int iCell = 0; iCell < sim::StartUpCellCount; ++iCell) {
            const uint32_t u = GetDefault(iProxy, sim::kStartUpCellIds[iCell]);
            std::fprintf(out, "%s%ld", iCell ? ", " : "",
                         u == ProxyParameterNotSet ? long(sim::kStartUpNotSet) : long(u));
        }
        std::fprintf(out, "},\n");
    }
    std::fprintf(out, "};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
